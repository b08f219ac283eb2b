// Fuzz target for the car file: whatever loads must save, load again and save to the same bytes,
// and a file the program wrote itself must always load.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "model/UrwCarObj.h"

namespace {

namespace fs = std::filesystem;

// A private folder for this process, removed at exit. Held by a pointer that is never freed so
// that it is still there when the exit handler runs.
const fs::path& WorkDir() {
  static const fs::path* dir = [] {
    std::string tmpl = (fs::temp_directory_path() / "ramvel-fuzz-car-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) abort();
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(WorkDir(), ec);
    });
    return new fs::path(tmpl);
  }();
  return *dir;
}

// An empty sub-folder of the work folder.
std::string FreshDir(const char* name) {
  const fs::path p = WorkDir() / name;
  std::error_code ec;
  fs::remove_all(p, ec);
  fs::create_directory(p);
  return p.string();
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ramvel;
  const std::string in = FreshDir("in");
  const std::string a = FreshDir("a");
  const std::string b = FreshDir("b");
  {
    std::ofstream out(in + "/3.txt", std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  TCarObj first;
  if (!first.LoadCar(in, "3").ok()) return 0;
  const std::string stem = IntText(first.Id);
  if (!first.SaveCar(a).ok()) abort();
  TCarObj second;
  if (!second.LoadCar(a, stem).ok()) abort();
  if (!second.SaveCar(b).ok()) abort();
  if (ReadAll(a + "/" + stem + ".txt") != ReadAll(b + "/" + stem + ".txt")) abort();
  return 0;
}
