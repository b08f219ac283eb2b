// Entering the sample's timetables through the diagram editor's automatic entry, and the check
// of the finished board.
#include "timetable/UrwDiaAutoEntry.h"
#include "timetable/UrwLineCheck.h"
#include "tools/MkSample.h"

namespace ramvel::mksample {

namespace {

// Records every box the editor opens while the lines are checked.
class TSampleHost : public TUiHost {
 public:
  std::vector<std::string> Msgs;

  void ShowMsgBox(const std::string&, const std::string& text) override { Msgs.push_back(text); }
  // Checking asks nothing; a question would be a fault to report, answered No.
  bool AskYesNo(const std::string&, const std::string& text) override {
    Msgs.push_back(text);
    return false;
  }
  void ShowPlainMsg(const std::string& text) override { Msgs.push_back(text); }

  void Clear() { Msgs.clear(); }
};

}  // namespace

TStatus EnterTimetables(TBrdData& brd, const std::string& folder,
                        const std::vector<TLinePlan>& plans, int32_t& late) {
  late = 0;
  for (const TLinePlan& plan : plans) {
    if (TStatus st = brd.SetLine(plan.Line); !st) return st;
    if (TStatus st = brd.LoadLine(folder); !st) return st;
    std::vector<TTrainEntry> results;
    const TStatus st = EnterLinePlan(brd, plan, TAutoEntryOptions{}, results);
    for (const TTrainEntry& r : results) late += r.Entered && r.Late > 0;
    if (!st) return st;
  }
  return TStatus::Ok();
}

// ---- The check of the finished board -----------------------------------------------------------

std::vector<std::string> CheckLines(TBrdData& brd, const std::string& folder) {
  TSampleHost host;
  TUiHostScope scope(host);
  std::vector<std::string> out;
  std::string open;
  if (!brd.CheckAllConn(open)) out.push_back("layout: incomplete: " + open);
  for (const TLineDef& def : SampleLines()) {
    if (!brd.SetLine(def.Name) || !brd.LoadLine(folder)) {
      out.push_back("line " + def.Name + ": cannot be read");
      continue;
    }
    std::vector<std::string> problems = CheckLineProblems(brd);
    for (std::string& m : host.Msgs) problems.push_back(std::move(m));
    host.Clear();
    for (const std::string& p : problems) {
      if (!p.empty()) out.push_back("line " + def.Name + ": " + p);
    }
  }
  return out;
}

}  // namespace ramvel::mksample
