// ramvel-cli check: the layout's connections, then for every line the empty moves needed,
// sections without a route and overlaps in the rebuilt occupancy.
#include "cli/UrwCli.h"
#include "cli/UrwCliBoard.h"
#include "engine/UrwBrdAudit.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel::cli {

namespace {

std::string StaName(TBrdData& brd, int32_t id) {
  const TStaObj* sta = brd.FindSta(id, "");
  return sta != nullptr ? sta->Name : IntText(id);
}

// Every section of every train of the line for which the blocks give no route.
void MissingRoutes(TBrdData& brd, const TDiaObj& dia, std::vector<std::string>& out) {
  for (int32_t k = 0; k < dia.TrCount; ++k) {
    const TTrInfo& tr = dia.TrInfo[static_cast<size_t>(k)];
    for (int32_t c = 1; c < tr.CellCount; ++c) {
      const TEntCode f = SplitEntCode(dia.Cell(k, tr.FirstSta + (c - 1) * tr.Dir).Loc);
      const TEntCode t = SplitEntCode(dia.Cell(k, tr.FirstSta + c * tr.Dir).Loc);
      std::vector<std::string> routes;
      brd.ListUpNextStaCanGo(f.Id, f.Slot, f.Side, t.Id, t.Slot, routes);
      if (routes.empty()) {
        out.push_back("train " + tr.TrNo + ": no route from " + StaName(brd, f.Id) + " " +
                      IntText(f.Slot) + "番ホーム to " + StaName(brd, t.Id) + " " +
                      IntText(t.Slot) + "番ホーム");
      }
    }
  }
}

// The problems of one line; false when the line file cannot be used.
bool CheckLine(TOpenBoard& board, const std::string& name, std::vector<std::string>& problems,
               std::ostream& err) {
  TBrdData& brd = board.Brd;
  TStatus st = brd.SetLine(name);
  if (st) st = brd.LoadLine(board.Folder);
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return false;
  }
  brd.MakeLineBlk();
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  std::string moves;
  brd.InitObjTmTbl(dia, moves);
  for (std::string line; !moves.empty();) {
    const size_t nl = moves.find('\n', 1);
    line = moves.substr(moves[0] == '\n' ? 1 : 0, nl == std::string::npos ? nl : nl - 1);
    if (!line.empty()) problems.push_back(line);
    moves = nl == std::string::npos ? std::string() : moves.substr(nl);
  }
  MissingRoutes(brd, dia, problems);
  for (std::string& o : AuditOccupancy(brd)) problems.push_back(std::move(o));
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
  for (const std::string& note : board->Notes) out << "station: " << note << "\n";
  std::string name;
  if (board->Brd.CheckAllConn(name)) {
    out << "layout: ok\n";
  } else {
    out << "layout: incomplete: " << name << "\n";
    clean = false;
  }
  for (const std::string& line : LineNames(board->Folder)) {
    std::vector<std::string> problems;
    if (!CheckLine(*board, line, problems, err)) return 2;
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
