// Fuzzes the backup reader and the restore: any bytes are either refused, leaving the program
// folder exactly as it was, or restored inside the one board folder the backup names (the state
// before kept in bakup/), each file holding the last section packed for it.
#include <cstdint>
#include <filesystem>
#include <map>

#include "FuzzSupport.h"
#include "engine/UrwBackup.h"
#include "foundation/UrwTextRec.h"

namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Tree(const std::string& dir) {
  std::map<std::string, std::string> tree;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (e.path().filename() == ".ramvel-lock") continue;
    const std::string rel = fs::relative(e.path(), dir).string();
    tree[rel] = e.is_directory() ? "<dir>" : ramvel::fuzz::ReadRaw(e.path().string());
  }
  return tree;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ramvel;
  const std::string dir = fuzz::ScratchDir();
  const std::string base = dir + "/prog/";
  const uint8_t board[] = "SCR_XLEFT=0\r\n";
  fuzz::WriteRaw(base + "B1/Board.txt", board, sizeof board - 1);
  fuzz::WriteRaw(base + "B2/Board.txt", board, sizeof board - 1);
  const std::string file = dir + "/B1261206_1649.dat";
  fuzz::WriteRaw(file, data, size);
  const auto before = Tree(base);
  TBackup bak;
  const bool parsed = ParseBackup("B1261206_1649.dat", fuzz::ReadRaw(file), bak).ok();
  TRestored done;
  if (!RestoreBackup(base, file, done).ok()) {
    if (Tree(base) != before) std::abort();
    return 0;
  }
  if (!parsed || done.BrdName != "B1") std::abort();
  std::map<std::string, std::string> expected;
  for (const TBakSection& s : bak.Sections) expected[UpperName(s.Target)] = s.Bytes;
  for (const auto& [rel, bytes] : Tree(base)) {
    if (rel == "bakup" || rel.rfind("bakup/", 0) == 0) continue;  // the state before
    if (rel != "B1" && rel.rfind("B1/", 0) != 0) {
      // Outside the board and its backups: never touched.
      const auto was = before.find(rel);
      if (was == before.end() || was->second != bytes) std::abort();
      continue;
    }
    const auto it = expected.find(UpperName(rel.size() > 3 ? rel.substr(3) : ""));
    if (it != expected.end() && it->second != bytes) std::abort();
  }
  return 0;
}
