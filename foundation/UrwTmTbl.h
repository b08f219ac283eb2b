// Timetable steps and occupancy intervals (TTmTbl) and their start-ordered list (TTmTblObj).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ramvel {

// One timetable step or one occupancy interval. Times are seconds from 04:00, -1 = none.
struct TTmTbl {
  std::string Txt;      // train header on a train's first step / occupant label
  int32_t TmStart = 0;  // arrival / interval start
  int32_t TmEnd = 0;    // departure / interval end
  int32_t Loc = 0;      // MakeEntCode(station, platform, flag) for steps; 0 for intervals
};

// What a timetable step is: the stabling step (no times), a train's start (no standing time,
// with a header), a pass, a stop, or an arrival with no departure.
enum class TStepKind : int32_t { kStabling, kStart, kPass, kStop, kArrival };
TStepKind StepKind(const TTmTbl& r);
bool IsPass(const TTmTbl& r);

// Records kept in ascending TmStart; equal starts keep their order of insertion.
class TTmTblObj {
 public:
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  void Add(const TTmTbl& rec);
  void Delete(int32_t index);  // index in 0..Count-1
  void DeleteByStart(int32_t tm);
  void DeleteByTxt(std::string_view txt);
  void Clear() {
    Touch();
    items_.clear();
  }
  TTmTbl Get(int32_t index) const { return items_.at(index); }
  const TTmTbl& At(int32_t index) const { return items_.at(index); }
  TStepKind GetKind(int32_t index, TTmTbl& rec) const;
  TTmTbl GetLast() const { return items_.back(); }  // not called on an empty table
  // The label of the first record covering t; empty when none does.
  std::string TxtAt(int32_t t) const;
  // Looking at the first record ending after t: 82800 when there is none; its start when t is
  // before it; otherwise minus its index (0 for index 0, read as "no free time").
  int32_t FreeUntil(int32_t t) const;
  // Seconds after t until dur seconds are free; a "[" label (a stabled set) ends the search.
  int32_t WaitFor(int32_t t, int32_t dur) const;

  const std::vector<TTmTbl>& Items() const { return items_; }
  // Tells one content of the list from every other that any list of this process has held:
  // each change draws a new value, and a copy carries its source's. A cache built from the
  // list stays valid exactly while Version is the one it was built at.
  uint64_t Version() const { return version_; }

 private:
  void Touch();

  std::vector<TTmTbl> items_;
  uint64_t version_ = 0;  // 0: the empty list no change has touched
};

}  // namespace ramvel
