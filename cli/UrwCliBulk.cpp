// What the bulk timetable commands share: the line of the edited trains and the save.
#include "cli/UrwCliBulk.h"

#include <QGuiApplication>

#include "cli/UrwCliBoard.h"
#include "cli/UrwCliRender.h"
#include "view/UrwBrdEditor.h"

namespace ramvel::cli {

namespace {

// The first line, in name order, that carries train trNo; false when none does.
bool UseLineOf(TBrdData& brd, const std::string& folder, const std::string& trNo) {
  for (const std::string& name : LineNames(folder)) {
    if (!brd.SetLine(name) || !brd.LoadLine(folder)) continue;
    if (TrainOnLine(brd, trNo)) return true;
  }
  return false;
}

}  // namespace

int RunBulkOnLine(const std::string& board,
                  const std::function<std::string(TBrdData&, std::ostream&)>& trainOf,
                  const std::function<TBulkResult(TBrdData&)>& edit, std::ostream& out,
                  std::ostream& err) {
  const std::unique_ptr<QGuiApplication> app = EnsureGuiApp();  // the terrain is a picture
  TBrdEdit ed(nullptr);
  std::string root, name;
  SplitBoardPath(board, root, name);
  if (const TStatus st = ed.LoadBoard(root, name); !st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 2;
  }
  if (!UseDiaArg(ed.Brd, err)) return 2;
  const std::string trNo = trainOf(ed.Brd, err);
  if (trNo.empty()) return 2;
  if (!UseLineOf(ed.Brd, ed.View.BrdPath, trNo)) {
    err << "ramvel-cli: train " << trNo << " does not run along one line of the board\n";
    return 2;
  }
  ed.Brd.MakeLineBlk();
  const TBulkResult r = edit(ed.Brd);
  if (!r.Ok) {
    err << r.Msg << "\n";
    return 1;
  }
  if (const TStatus st = ed.SaveBoard(false); !st) {
    err << "ramvel-cli: the board was not saved: " << st.Msg() << "\n";
    return 1;
  }
  out << r.Msg << "\n";
  return 0;
}

}  // namespace ramvel::cli
