// ramvel-cli export-oud: a line's timetable as an OuDia file.
#include "cli/UrwCliBoard.h"
#include "cli/UrwCliOud.h"
#include "interop/UrwOudExport.h"

namespace ramvel::cli {

namespace {

bool HasOudExtension(const std::string& path) {
  if (IsOud2Path(path)) return true;
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == ".oud";
}

}  // namespace

int RunExportOud(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3 || !HasOudExtension(args[2])) {
    err << "ramvel-cli: export-oud needs BOARD LINE OUT.oud|OUT.oud2\n";
    return 2;
  }
  auto board = OpenBoard(args[0], err);
  if (!board) return 2;
  TBrdData& brd = board->Brd;
  if (!OpenLine(*board, args[1], err)) return 2;
  std::vector<std::string> summary;
  if (const TStatus st = ExportOudFile(brd, args[2], summary); !st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 1;
  }
  for (const std::string& s : summary) out << s << "\n";
  return 0;
}

}  // namespace ramvel::cli
