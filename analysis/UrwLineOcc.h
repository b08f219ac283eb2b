// The blocking times of a line as the capacity and delay analyses read them: every block,
// station track and turnout occupation that the timetable booking of the line holds, per train,
// with the places of the line (sections between neighbouring stations and station areas) they
// belong to, and each train's calls at the line's stations. Nothing here books anything: the
// records are the ones the diagram editor books and audits, so the analyses and the editor can
// never disagree about who holds what when.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

// One occupation of one resource by one train, seconds from 04:00. A later train may take the
// resource from End on. Two occupations of one turnout on the same route do not exclude each
// other (Route > 0 only for turnouts).
struct TOccRec {
  int32_t Res = 0;    // index into TLineOcc::Res
  int32_t Start = 0;
  int32_t End = 0;
  int32_t Route = 0;
  int32_t Train = 0;  // index into TLineOcc::Trains
};

// One call of a train at a line station, in running order.
struct TTrainCall {
  int32_t Sta = 0;      // station id
  int32_t LineIdx = 0;  // its position in the line
  int32_t Arr = -1;     // arrival (passing time at a pass); -1 at the train's origin
  int32_t Dep = -1;     // departure; -1 where the train ends
  bool Pass = false;
};

struct TLineTrain {
  std::string TrNo;
  int32_t CarNo = 0;
  int32_t Dir = 1;  // +1 running the line's order, -1 against it
  std::vector<TTrainCall> Calls;
};

// A place of the line: the blocks between two neighbouring stations, or one station's tracks
// and turnouts.
struct TLinePlace {
  bool IsStation = false;
  int32_t StaA = 0, StaB = 0;  // a station area has StaA = StaB
  int32_t LineIdx = 0;         // position of StaA in the line
  std::string Name;            // "A駅－B駅" or "A駅 構内"
};

struct TLineRes {
  int32_t Place = 0;
  std::string Name;  // "閉塞3", "A駅 2番ホーム", "A駅 分岐器1"
};

// A train's path as the time-space diagram draws it: times at positions along the line (the index
// of a line station; on a ring line the closing station counts as one past the last).
struct TPathPt {
  int32_t Tm = 0;
  int32_t LineIdx = 0;
};
struct TAnPath {
  int32_t Train = 0;  // index into TLineOcc::Trains
  int32_t Dir = 1;
  std::vector<TPathPt> Pts;
};

struct TLineOcc {
  bool Ring = false;  // the line's last station is its first again
  std::vector<TLineTrain> Trains;
  std::vector<TLinePlace> Places;  // along the line: station, section, station, ...
  std::vector<TLineRes> Res;
  std::vector<TOccRec> Recs;       // ordered by resource, then start
};

// Makes the current line's blocks and books the line from every train that runs on it, as the
// line check does; returns the train numbers booked.
std::vector<std::string> BookLineForAnalysis(TBrdData& brd);

// Reads the booking of the current line for the trains trNos (blocks made, occupancy booked).
// Occupations of standing sets are left out: they belong to no train that could be moved.
TLineOcc CollectLineOcc(TBrdData& brd, const std::vector<std::string>& trNos);

// "A駅－B駅" for the section between two stations.
std::string SectionName(const std::string& a, const std::string& b);

}  // namespace ramvel
