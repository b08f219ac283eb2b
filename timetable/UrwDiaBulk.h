// Bulk edits of the current line's timetable: a train moved in time (時刻をずらす) and a round
// trip repeated at a fixed interval (繰り返し作成). Every section is checked against the line's
// occupancy with the rules the diagram editor applies when a section is entered; a train set's
// timetable changes only once the whole edit (for a repeat: the whole copy) has passed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/UrwBrdData.h"

namespace ramvel {

// What a bulk edit did. Ok when the board changed; Msg, in Japanese, says what was done or
// why nothing was (a repeat that stops after some copies is Ok and names the reason).
struct TBulkResult {
  bool Ok = false;
  int32_t Copies = 0;  // repeat: round trips made
  int32_t Trains = 0;  // trains moved or made
  std::string Msg;
};

// Moves train trNo by `minutes` (negative: earlier) and, with following, every later train of
// its train set by the same. Refused with nothing changed when a moved train leaves the current
// line, a time leaves 04:00..27:00, a train would leave less than 30 s after its train set has
// arrived, or a section meets another train (the message names the moved train, the other
// train and the place).
// The board's current line must be loaded and its blocks made (MakeLineBlk). The checks book
// into the line's occupancy: callers rebuild it afterwards, whatever the result.
TBulkResult ShiftTrain(TBrdData& brd, const std::string& trNo, int32_t minutes, bool following);

struct TRepeatOrder {
  int32_t CarNo = 0;
  int32_t K = 1;          // the train set's last K trains make the round trip
  int32_t Every = 0;      // minutes between two copies
  int32_t Until = 0;      // no copy leaves later than this, s from 04:00
  int32_t Increment = 0;  // added to each train number once per copy
};

// Appends to the train set copies of its last K trains, which must bring it back to the station
// its first one leaves from, every `Every` minutes while a copy leaves by `Until`. A copy keeps
// the routes and platforms of the original where they are free and takes another free platform
// of the station where not. It stops at the first copy that cannot be entered, which leaves
// nothing of itself; the message gives the count made and the reason it stopped. Same
// preconditions and occupancy contract as ShiftTrain.
TBulkResult RepeatTrains(TBrdData& brd, const TRepeatOrder& order);

// Whether every step of train trNo lies on the board's current line, each next to the one
// before it: the trains a bulk edit can check.
bool TrainOnLine(TBrdData& brd, const std::string& trNo);

// "1830", "18:30", "6:05" (with ".ss" seconds allowed) as seconds from 04:00; false outside
// 04:00..27:00 or malformed.
bool ParseClock(std::string_view s, int32_t& t);
// no with its last run of digits increased by add, keeping at least its width ("0995" + 10 =
// "1005", "M101" + 2 = "M103"); empty when no holds no digit.
std::string BumpTrainNo(const std::string& no, int64_t add);

}  // namespace ramvel
