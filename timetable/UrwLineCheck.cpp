// Checking a line's timetable as a whole.
#include "timetable/UrwLineCheck.h"

#include "engine/UrwBrdAudit.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

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

}  // namespace

std::vector<std::string> CheckLineProblems(TBrdData& brd) {
  brd.MakeLineBlk();
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  std::string moves;
  brd.InitObjTmTbl(dia, moves);
  std::vector<std::string> problems;
  // The empty-move texts come as lines each led by "\n".
  for (size_t start = 0; start < moves.size();) {
    size_t end = moves.find('\n', start);
    if (end == std::string::npos) end = moves.size();
    if (end > start) problems.push_back(moves.substr(start, end - start));
    start = end + 1;
  }
  MissingRoutes(brd, dia, problems);
  for (std::string& o : AuditOccupancy(brd)) problems.push_back(std::move(o));
  return problems;
}

}  // namespace ramvel
