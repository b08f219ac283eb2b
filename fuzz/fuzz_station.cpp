// libFuzzer target for station files: whatever loads must save, load again and save again to
// the very same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "model/UrwStaObj.h"

namespace {

namespace fs = std::filesystem;

// One work folder per process with the sub-folders "in", "a" and "b", removed at exit. Kept on
// the heap so that it outlives the static destructors that run before the exit handler.
const std::string& WorkDir() {
  static const std::string* dir = [] {
    const fs::path p =
        fs::temp_directory_path() / ("ramvel-fuzz-station-" + std::to_string(::getpid()));
    for (const char* sub : {"in", "a", "b"}) fs::create_directories(p / sub);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(WorkDir(), ec);
    });
    return new std::string(p.string());
  }();
  return *dir;
}

void WriteAll(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Loads name from folder and saves it into out; false when the file does not load. A station
// that loaded but cannot be saved again is a fault.
bool LoadAndSave(const std::string& folder, const std::string& out) {
  ramvel::TStaObj sta;
  if (!sta.LoadSta(folder, "FUZZ").ok()) return false;
  if (!sta.SaveSta(out).ok()) std::abort();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = WorkDir();
  WriteAll(dir + "/in/FUZZ.txt", data, size);
  if (!LoadAndSave(dir + "/in/", dir + "/a/")) return 0;
  if (!LoadAndSave(dir + "/a/", dir + "/b/")) std::abort();  // our own file must load
  if (ReadAll(dir + "/a/FUZZ.txt") != ReadAll(dir + "/b/FUZZ.txt")) std::abort();
  return 0;
}
