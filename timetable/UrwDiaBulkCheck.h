// The section checks of the bulk timetable edits: trains of one train set entered into the
// current line's occupancy section by section, each section checked as the diagram editor checks
// an entered one, with the train and the place named when it meets another train.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

constexpr int32_t kMinStopSec = 30;  // least time from an arrival to the next departure

// One section as planned: from the current station to the next line station.
struct TSectionPlan {
  std::string TrNo;
  TEntCode From;    // station, platform, and the side the train leaves by
  int32_t Arr = 0;  // arrival at From; at an origin, when the train set began standing
  int32_t Dep = 0;  // departure from From; it must not move
  bool PassCur = false;
  int32_t NextId = 0;  // the next station
  bool PassNext = false;
  int32_t NextDep = -1;  // departure planned at the next station; -1: the train ends there
};

// A train of a train set: its number and its step range.
struct TSetTrain {
  std::string TrNo;
  int32_t First = 0;
  int32_t Last = 0;
};
std::vector<TSetTrain> SetTrains(const TCarObj& car);

class TBulkBooker {
 public:
  // brd and car must outlive the booker.
  TBulkBooker(TBrdData& brd, const TCarObj& car) : brd_(brd), car_(car) {}

  // Whether every step of steps[first..last] lies on the current line, each next to the one
  // before it.
  bool OnLine(const std::vector<TTmTbl>& steps, int32_t first, int32_t last) const;
  // Rebuilds the line's occupancy from every train on it except those numbered in skip.
  void Rebuild(const std::vector<std::string>& skip);
  // Removes the train set's stand booked from t at the platform of place, as the editor does
  // before the set leaves it.
  void DropStand(int32_t place, int32_t t);
  // The route lines ("label=route") from `from` to station nextId, any platform (home -1) or
  // one; from.Side changes to the other side when none leaves by it.
  std::vector<std::string> Routes(TEntCode& from, int32_t nextId, int32_t home);
  // Seconds the train set runs the route, as RegPathToNextSta books it.
  int32_t RunSec(const std::string& route, bool passNext, bool passCur) const;
  // The editor's checks of one section over route: the departure platform free from the
  // arrival until the departure, and the route free at the departure with no wait. Books the
  // section when both pass (arrived: the arrival as booked); otherwise nothing is booked and
  // the message names the place and the train met.
  TStatus Section(const TSectionPlan& s, const std::string& route, TTmTbl& arrived);
  // Whether the platform of place stays free from t until `until` (for the set standing there).
  TStatus HomeFree(int32_t place, int32_t t, int32_t until, const std::string& trNo);
  // What a start of s over route at s.Dep meets first, as "<place>で<occupant>と重なります";
  // empty when it meets nothing.
  std::string RouteMeets(const TSectionPlan& s, const std::string& route);
  // Whether the train, leaving at dep over route, finds the platform it reaches free of other
  // standing sets from its running in until `until` (-1: for the shortest stop, or while it
  // passes). The refusal names the set, the platform, the set's stand and the earliest arrival
  // that would be accepted.
  TStatus ArrivalFree(const std::string& route, int32_t dep, bool passNext, bool passCur,
                      int32_t until);

 private:
  std::string HomePlace(const TStaObj& sta, int32_t home) const;
  std::string SectionPlace(int32_t fromId, int32_t toId);
  std::string Meets(const std::string& place, const std::string& label) const;
  std::string RouteBlocker(const std::string& route, const TSectionPlan& s, std::string& where);
  std::string PartBlocker(const std::string& part, int32_t t, int32_t dur, const std::string& own);

  TBrdData& brd_;
  const TCarObj& car_;
};

// The occupant of a label as a user reads it: "列車201", or "留置中の編成7".
std::string OccupantText(const std::string& label);
// A time as a refusal names it, as the grid shows times: "605.30", "605" on a whole minute.
std::string RefusalTime(int32_t t);
// The refusal of a stay that meets a standing set: the set, the platform and its stand; for an
// arrival also from when the platform would be free (what the planner may choose instead).
std::string StandMeetMsg(TBrdData& brd, int32_t staId, int32_t home, const TTmTbl& stand,
                         bool arriving);

}  // namespace ramvel
