#include "engine/UrwPlayDay.h"

#include <utility>

#include "foundation/UrwTextRec.h"

namespace ramvel {

TPlayDay& PlayDay() {
  static TPlayDay day;
  return day;
}

bool HasPlayDay(const TBrdData& brd) {
  return PlayDay().Brd == &brd && !PlayDay().Tables.empty();
}

void ClearPlayDay() { PlayDay() = TPlayDay(); }

void SetPlayDay(const TBrdData& brd, std::map<int32_t, TTmTblObj> tables) {
  TPlayDay& day = PlayDay();
  const bool delayed = day.Brd == &brd && day.Delayed;
  day = TPlayDay();
  day.Brd = &brd;
  day.Delayed = delayed;
  for (const auto& [no, tbl] : tables) {
    const auto it = brd.Cars.find(IntText(no));
    if (it != brd.Cars.end()) day.Planned[no] = it->second->TmTbl;
  }
  day.Tables = std::move(tables);
}

namespace {

bool SameSteps(const TTmTblObj& a, const TTmTblObj& b) {
  if (a.Count() != b.Count()) return false;
  for (int32_t i = 0; i < a.Count(); ++i) {
    const TTmTbl& x = a.At(i);
    const TTmTbl& y = b.At(i);
    if (x.Txt != y.Txt || x.TmStart != y.TmStart || x.TmEnd != y.TmEnd || x.Loc != y.Loc) {
      return false;
    }
  }
  return true;
}

}  // namespace

// Swapping is its own inverse, so the destructor gives back exactly what was lent.
TPlayDaySwap::TPlayDaySwap(TBrdData& brd) {
  TPlayDay& day = PlayDay();
  if (!day.Delayed || !HasPlayDay(brd)) return;
  for (auto& [no, tbl] : day.Tables) {
    const auto it = brd.Cars.find(IntText(no));
    const auto plan = day.Planned.find(no);
    if (it == brd.Cars.end() || plan == day.Planned.end()) continue;
    TCarObj* car = it->second.get();
    if (!SameSteps(car->TmTbl, plan->second)) continue;
    std::swap(car->TmTbl, tbl);
    swapped_.push_back(car);
  }
}

TPlayDaySwap::~TPlayDaySwap() {
  for (TCarObj* car : swapped_) std::swap(car->TmTbl, PlayDay().Tables[car->Id]);
}

}  // namespace ramvel
