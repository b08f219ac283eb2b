// Checking a line's timetable as a whole.
#include "timetable/UrwLineCheck.h"

#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

std::vector<TLineProblem> CheckLine(TBrdData& brd) {
  brd.MakeLineBlk();
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  std::string moves;  // every empty move needed is a standing set met, which the audit names
  brd.InitObjTmTbl(dia.TrNos(), dia.CarIds, moves);
  return AuditLine(brd, dia.TrNos());
}

std::vector<std::string> CheckLineProblems(TBrdData& brd) {
  std::vector<std::string> out;
  for (const TLineProblem& p : CheckLine(brd)) out.push_back(p.Text);
  return out;
}

}  // namespace ramvel
