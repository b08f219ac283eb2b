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

std::string HomeText(TBrdData& brd, const TEntCode& at) {
  return StaName(brd, at.Id) + " " + IntText(at.Slot) + "番ホーム";
}

// Every section between neighbouring line stations, of every train of the line over its whole
// timetable, for which the blocks give no route.
void MissingRoutes(TBrdData& brd, const TDiaObj& dia, std::vector<std::string>& out) {
  for (const std::string& trNo : dia.TrNos()) {
    const TCarObj* car = brd.FindTrainCar(trNo, "");
    if (car == nullptr) continue;
    const TTrainRange r = car->FindTrain(trNo);
    for (int32_t i = r.First; i >= 0 && i < r.Last; ++i) {
      const TEntCode f = SplitEntCode(car->TmTbl.At(i).Loc);
      const TEntCode t = SplitEntCode(car->TmTbl.At(i + 1).Loc);
      if (car->TmTbl.At(i).TmEnd < 0 || brd.FindStaInLine(f.Id) < 0 ||
          !brd.AreLineNeighbours(f.Id, t.Id)) {
        continue;
      }
      std::vector<std::string> routes;
      brd.ListUpNextStaCanGo(f.Id, f.Slot, f.Side, t.Id, t.Slot, routes);
      if (routes.empty()) {
        out.push_back("train " + trNo + ": no route from " + HomeText(brd, f) + " to " +
                      HomeText(brd, t));
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
  brd.InitObjTmTbl(dia.TrNos(), dia.CarIds, moves);
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
