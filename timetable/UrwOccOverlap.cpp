// Finding overlaps of different train sets in occupancy records.
#include "timetable/UrwOccOverlap.h"

#include <algorithm>

namespace ramvel {

int32_t CarOfOccLabel(TBrdData& brd, const std::string& label) {
  int32_t no = 0;
  if (label.size() > 2 && label.front() == '[' && label.back() == ']' &&
      ParseInt(label.substr(1, label.size() - 2), no)) {
    return no;
  }
  const TCarObj* car = brd.FindTrainCar(OccLabelTrain(label), "");
  return car != nullptr ? car->Id : 0;
}

std::string OccLabelTrain(const std::string& label) { return TextBefore(label + ",", ","); }

std::vector<TOverlap> TableOverlaps(TBrdData& brd, const std::vector<TTmTbl>& items) {
  std::vector<TOverlap> out;
  for (size_t i = 0; i < items.size(); ++i) {
    for (size_t j = i + 1; j < items.size() && items[j].TmStart < items[i].TmEnd; ++j) {
      const TTmTbl& a = items[i];
      const TTmTbl& b = items[j];
      if (b.TmEnd <= a.TmStart || CarOfOccLabel(brd, a.Txt) == CarOfOccLabel(brd, b.Txt)) continue;
      out.push_back({b.TmStart, std::min(a.TmEnd, b.TmEnd), a.Txt, b.Txt});
    }
  }
  return out;
}

std::vector<TOverlap> TurnoutOverlaps(TBrdData& brd, const std::vector<TPtUse>& uses, int32_t pt) {
  std::vector<TOverlap> out;
  for (size_t i = 0; i < uses.size(); ++i) {
    for (size_t j = i + 1; j < uses.size(); ++j) {
      const TPtUse& a = uses[i];
      const TPtUse& b = uses[j];
      if (a.Pt != pt || b.Pt != pt || a.R == b.R || b.First > a.Last || a.First > b.Last) continue;
      if (CarOfOccLabel(brd, a.Label) == CarOfOccLabel(brd, b.Label)) continue;
      out.push_back({std::max(a.First, b.First) * kPtSlotSec,
                     std::min(a.Last, b.Last) * kPtSlotSec + kPtSlotSec - 1, a.Label, b.Label});
    }
  }
  return out;
}

}  // namespace ramvel
