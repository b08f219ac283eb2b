// The day a delay run played, which run mode can show instead of the timetables (the 計画 /
// 遅延 switch). It lives beside the board, never in it: the board's train sets keep their own
// timetables, which are the only ones ever saved; while the switch shows the delayed day, the
// location of the train sets borrows the delayed timetables for as long as it runs and gives
// them back before anything else can see the train sets.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

struct TPlayDay {
  const TBrdData* Brd = nullptr;         // the board the day was played on
  std::map<int32_t, TTmTblObj> Tables;   // per train set number, the ones that ran otherwise
  // The same train sets' timetables as planned when the day was played: a set whose timetable
  // has been edited since runs its own, since the delayed one no longer belongs to it.
  std::map<int32_t, TTmTblObj> Planned;
  bool Delayed = false;                  // run mode shows the delayed day
};

// The one delayed day of the program.
TPlayDay& PlayDay();
// Whether brd has a delayed day to show.
bool HasPlayDay(const TBrdData& brd);
// Makes tables the delayed day of brd, kept hidden until the switch shows it.
void SetPlayDay(const TBrdData& brd, std::map<int32_t, TTmTblObj> tables);
// Forgets the delayed day (the board emptied for another).
void ClearPlayDay();

// While it lives, the train sets of brd run the delayed day when the switch shows it.
class TPlayDaySwap {
 public:
  explicit TPlayDaySwap(TBrdData& brd);
  ~TPlayDaySwap();
  TPlayDaySwap(const TPlayDaySwap&) = delete;
  TPlayDaySwap& operator=(const TPlayDaySwap&) = delete;

 private:
  std::vector<TCarObj*> swapped_;
};

}  // namespace ramvel
