// Fuzzes reading a whole board folder: the input is cut at lines "====" into Board.txt, a station
// file A, a rail file 1002 and a car file 1. Whatever loads must save, load again and save to
// the same files.
#include <cstdint>
#include <filesystem>
#include <map>

#include "FuzzSupport.h"
#include "engine/UrwBrdData.h"

namespace {

namespace fs = std::filesystem;
using namespace ramvel;

std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = fuzz::ReadRaw(e.path());
  }
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TScriptedHost host;
  TUiHostScope scope(host);
  const std::string base = fuzz::ScratchDir();
  const std::string in(reinterpret_cast<const char*>(data), size);
  static const char* kParts[] = {"B/Board.txt", "B/station/A.txt", "B/rail/1002.txt", "B/car/1.txt"};
  fuzz::WriteParts(base, in, kParts);
  TBrdData brd;
  if (!brd.LoadBrd(base, "B").ok()) return 0;
  fs::create_directories(base + "/C");  // a board folder exists before it is saved
  fs::create_directories(base + "/D");
  if (!brd.SaveBrd(base + "/C", false).ok()) return 0;  // e.g. a name Shift-JIS cannot hold
  TBrdData again;
  if (!again.LoadBrd(base, "C").ok()) std::abort();
  if (!again.SaveBrd(base + "/D", false).ok()) std::abort();
  if (Snapshot(base + "/C") != Snapshot(base + "/D")) std::abort();
  return 0;
}
