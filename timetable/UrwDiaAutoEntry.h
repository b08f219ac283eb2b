// Entering planned trains through the diagram editor as a user does: a new train set through
// its dialog, then every train through "列車 › 新規設定", one section dialog after another,
// choosing at each station a route and a platform that is free for the whole stay.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "foundation/UrwStatus.h"

namespace ramvel {

// One section as the train runs it: stop at or pass its next station, and the platforms wanted
// there, the first one free long enough taken.
struct TStopPlan {
  bool Pass = false;
  std::vector<int32_t> Homes;
  // Seconds a stopping train may be held there beyond the shortest stop while others pass.
  int32_t Slack = 60;
  // The departure wanted from that station when the train stops there (s from 04:00); -1: as
  // soon as the editor allows. Never earlier than the editor allows.
  int32_t Dep = -1;
  int32_t Arr = -1;  // the arrival the plan gives there, for the report only; -1 none
  // The times and the first platform come from a timetable that already holds them without
  // conflict: the platform is checked for the booked stay alone, without safety margins, since
  // margins would refuse a train next to one entered before it in another order.
  bool Exact = false;
  // Homes is every platform without a preference: those reached with fewer diverging turnouts
  // (the platforms of the train's own direction) are tried first.
  bool AnyHome = false;
};

struct TTrainPlan {
  std::string TrNo;
  std::string Kind;  // kind text: type, and " " + nickname
  int32_t Dir = 1;   // +1 down (station slots increase), -1 up
  int32_t Dep = 0;   // planned departure from where the train set stands, s from 04:00
  std::vector<TStopPlan> Stops;
  // Where a train set of its own would stand to start it (when the train before it in its set
  // is refused): the slot of its first station and the platforms there.
  int32_t FromSlot = -1;
  std::vector<int32_t> FromHomes;
};

struct TCarPlan {
  int32_t Car = 0;  // an existing train set that runs the trains from where it ends; 0: a new one
  TCarProp Prop;
  int32_t StabSlot = 0;  // slot of the line station the train set stands at from 04:00
  std::vector<int32_t> StabHomes;
  std::vector<TTrainPlan> Trains;
};

struct TLinePlan {
  std::string Line;
  std::vector<TCarPlan> Cars;  // in the order they are entered
};

// What became of one planned train.
struct TTrainEntry {
  std::string TrNo;
  bool Entered = false;
  int32_t Late = 0;  // seconds its latest departure or arrival lies behind the plan
  // Why it is late or refused (Japanese, for the user); empty for a train on time.
  std::string Why;
  int32_t Car = 0;  // the train set that runs it; 0 when refused
};

// Told the share of the work done (0 to 1) now and then; false stops the work.
using TProgressFn = std::function<bool(double share)>;

// The message of work stopped by its progress function.
inline constexpr const char* kWorkCancelled = "中止しました";

struct TAutoEntryOptions {
  int32_t Tries = 10;           // origin departures tried, a minute apart
  bool StopAtRefusal = true;    // fail the whole entry at the first train refused
  // Every platform is tried at a departure before the train is held longer; otherwise the first
  // platform whose route comes free within the editor's longest hold is taken, held as long as
  // that needs (the shipped sample board is made so, and stays as it is).
  bool EveryPlatformFirst = false;
  // The trains of all sets are entered in the order of their planned departures, not set by set,
  // so no train finds its way taken by a train that leaves after it. A set stands open-ended
  // after its last train entered only until its next train is known; until then its stand holds
  // a platform only up to the next train's planned departure and a turn's margin, and a train
  // leaving later than that checks its platform again from the set's arrival. Off, the sets go
  // in one after another, which the import and the shipped sample board still do: while every
  // new set stands from the start of the day, a set ended early by a refused train stands on to
  // the end of the day where trains entered in time order already run, and on a busy line more
  // trains are refused so than set by set.
  bool TimeOrder = false;
  // Told before every train set (every train, in time order); false stops the entry with
  // kWorkCancelled, the trains entered so far left on the board.
  TProgressFn Progress;
};

// Enters the plan on the board's current line (SetLine and LoadLine done). Each train is tried
// from its planned departure (never before its set's arrival plus a minute) a minute later each
// time; a train not taken whole, or leaving a new conflict behind, is deleted again. Conflicts
// the board had before are nobody's fault here and refuse nothing. With StopAtRefusal the first
// refused train fails the entry, naming it. Otherwise each train is judged on its own: a refused
// train ends its set at the set's last arrival (trains before it are taken back too while the
// set could not stand there until the end of the day), and the next train of the set starts a
// new set stabled where it starts; a set left without trains is deleted. The board has no
// conflict afterwards that it did not have before. results receives one entry per planned
// train, in plan order.
TStatus EnterLinePlan(TBrdData& brd, const TLinePlan& plan, const TAutoEntryOptions& options,
                      std::vector<TTrainEntry>& results);

}  // namespace ramvel
