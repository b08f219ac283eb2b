// The audit of a line's timetable after its occupancy has been rebuilt: every place where two
// different train sets hold one block, one station track or one turnout (on different routes) at
// the same time, trains meeting a set that stands at a platform, sections without a route over
// the line's blocks, and train numbers used by two train sets. The editor refuses these while
// entering; files edited by hand or written by other programs can hold them. The command line
// check, the editor's problem list and the charts all read them from here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

// ---- Overlaps in occupancy records -------------------------------------------------------------

struct TOverlap {
  int32_t From = 0;            // seconds from 04:00, first second held by both
  int32_t To = 0;              // end of the common span
  std::string LabelA, LabelB;  // occupant labels as booked (train header or "[n]")
  int32_t RouteA = 0, RouteB = 0;  // the turnout routes wanted; 0 for tracks and blocks
};

// The train set behind an occupancy label: "[n]" for a standing set, else the train set running
// the train number before the first ","; 0 when none is known.
int32_t CarOfOccLabel(TBrdData& brd, const std::string& label);
// The train number shown for a label: the text before the first "," ("[n]" stays as it is).
std::string OccLabelTrain(const std::string& label);
// Whether a label books a standing train set ("[n]").
bool IsStandLabel(const std::string& label);

// Overlaps among records kept in start order (an occupancy table's items).
std::vector<TOverlap> TableOverlaps(TBrdData& brd, const std::vector<TTmTbl>& items);
// Overlaps of one turnout (1-based number pt) set to different routes at once.
std::vector<TOverlap> TurnoutOverlaps(TBrdData& brd, const std::vector<TPtUse>& uses,
                                      int32_t pt);

// ---- Train numbers -----------------------------------------------------------------------------

// A train number that heads trains of two train sets.
struct TDupTrainNo {
  std::string TrNo;
  int32_t CarA = 0;  // the lower-numbered set, which the board's train numbers list keeps
  int32_t CarB = 0;
};
// Every train number used by more than one train set (compared without regard to case), each
// further set paired with the first.
std::vector<TDupTrainNo> DuplicateTrainNos(TBrdData& brd);
// "列車番号「n」が編成aと編成bの両方にあります。編成bの列車は…" for a load notice; empty when none.
std::string DuplicateTrainNoNote(const std::vector<TDupTrainNo>& dups);

// ---- The line's problems -----------------------------------------------------------------------

enum class TProblemKind {
  kBlock,    // two train sets in one block
  kTrack,    // two train sets on one station track or platform
  kTurnout,  // one turnout wanted on two routes at once
  kStand,    // a train or a set meets a set standing at a platform
  kNoRoute,  // a section between line neighbours with no route over the blocks
  kDupTrNo,  // a train number of two train sets
};
// The kind as the problem list names it: "閉塞", "番線", "分岐器", "留置", "経路なし", "列車番号".
const char* ProblemKindName(TProblemKind kind);

struct TLineProblem {
  TProblemKind Kind = TProblemKind::kBlock;
  std::string Place;           // as a user reads it: "閉塞3", "中央駅 2番ホーム", "中央駅 分岐器2"
  int32_t From = -1, To = -1;  // seconds from 04:00; -1 when the problem has no time
  std::string TrA, TrB;        // train numbers, or "[n]" for a standing set; TrB may be empty
  std::string Text;            // the line of ramvel-cli check
};

// Every problem of the board's current line, whose blocks have been made and whose occupancy has
// been rebuilt from the trains trNos (the diagram model's train numbers). Overlaps of the same two
// train sets at one place that touch are one problem.
std::vector<TLineProblem> AuditLine(TBrdData& brd, const std::vector<std::string>& trNos);

// The overlaps alone, one text each, in board order: blocks, then stations' tracks and turnouts.
std::vector<std::string> AuditOccupancy(TBrdData& brd);

}  // namespace ramvel
