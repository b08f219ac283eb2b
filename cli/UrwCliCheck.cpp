// ramvel-cli check: the layout's connections, then for every line its stations joined by rails,
// overlaps in the rebuilt occupancy, standing sets met, sections without a route and train
// numbers of two train sets.
#include <algorithm>

#include "cli/UrwCli.h"
#include "cli/UrwCliBoard.h"
#include "timetable/UrwLineCheck.h"

namespace ramvel::cli {

namespace {

// The problems of one line; false when the line file cannot be used. A line whose stations are
// not rail neighbours has that one problem: its sections there have no blocks to check.
bool CheckOneLine(TOpenBoard& board, const std::string& name, std::vector<std::string>& problems,
                  std::ostream& err) {
  TBrdData& brd = board.Brd;
  TStatus st = brd.SetLine(name);
  if (st) st = brd.LoadLine(board.Folder);
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return false;
  }
  int32_t a = 0, b = 0;
  if (brd.FindLineGap(a, b)) {
    problems = {"no rail between " + brd.FindSta(a, "")->Name + " and " +
                brd.FindSta(b, "")->Name};
    return true;
  }
  problems = CheckLineProblems(brd);
  return true;
}

}  // namespace

int RunCheck(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "ramvel-cli: check needs BOARD\n";
    return 2;
  }
  auto board = OpenBoard(args[0], err);
  if (!board) return 2;
  TScriptedHost host;  // lookups that fail become problems of their own
  TUiHostScope scope(host);
  bool clean = board->Notes.empty();
  for (std::string note : board->Notes) {
    std::replace(note.begin(), note.end(), '\n', ' ');
    out << "board: " << note << "\n";
  }
  std::string name;
  if (!board->Brd.LostStas.empty()) {
    // Stations left out make the layout incomplete, however well the rest is joined.
    out << "layout: incomplete: stations left out:";
    for (const std::string& lost : board->Brd.LostStas) out << " " << lost;
    out << "\n";
    clean = false;
  } else if (board->Brd.CheckAllConn(name)) {
    out << "layout: ok\n";
  } else {
    out << "layout: incomplete: " << name << "\n";
    clean = false;
  }
  for (const std::string& line : LineNames(board->Folder)) {
    std::vector<std::string> problems;
    if (!CheckOneLine(*board, line, problems, err)) return 2;
    for (const auto& e : host.Events) problems.push_back(e.Text);
    host.Events.clear();
    if (problems.empty()) {
      out << "line " << line << ": ok\n";
      continue;
    }
    clean = false;
    for (const std::string& p : problems) out << "line " << line << ": " << p << "\n";
  }
  return clean ? 0 : 1;
}

}  // namespace ramvel::cli
