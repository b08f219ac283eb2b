// ramvel-cli backup and restore.
#include "cli/UrwCliBackup.h"

#include <filesystem>

#include "engine/UrwBackup.h"
#include "foundation/UrwTextRec.h"

namespace ramvel::cli {

namespace fs = std::filesystem;

namespace {

// A reason on one line: the messages of the backup unit may hold line breaks.
std::string OneLine(std::string s) {
  for (char& c : s) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return s;
}

}  // namespace

int RunBackup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "ramvel-cli: backup needs BOARD\n";
    return 2;
  }
  std::error_code ec;
  const fs::path board = fs::absolute(args[0], ec).lexically_normal();
  const fs::path folder = board.has_filename() ? board : board.parent_path();
  if (ec || !fs::is_directory(folder, ec)) {
    err << "ramvel-cli: " << args[0] << ": no such board folder\n";
    return 2;
  }
  std::string path;
  const TStatus st = MakeBackup(PathJoin(folder.parent_path().string(), ""),
                                folder.filename().string(), LocalBakTime(), path);
  if (!st) {
    err << "ramvel-cli: " << OneLine(st.Msg()) << "\n";
    return 2;
  }
  out << path << "\n";
  return 0;
}

int RunRestore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "ramvel-cli: restore needs PROGRAM_FOLDER FILE.dat\n";
    return 2;
  }
  std::error_code ec;
  if (!fs::is_directory(args[0], ec)) {
    err << "ramvel-cli: " << args[0] << ": no such program folder\n";
    return 2;
  }
  const std::string base = PathJoin(args[0], "");
  TRestored done;
  const TStatus st = RestoreBackup(base, args[1], done);
  if (!st) {
    err << "ramvel-cli: " << OneLine(st.Msg()) << "\n";
    return 2;
  }
  out << base << done.BrdName << "\n";
  if (!done.AutoBak.empty()) out << "the board as it was is kept in " << done.AutoBak << "\n";
  return 0;
}

}  // namespace ramvel::cli
