// How a timetable absorbs trouble: primary delays given to some trains spread to the trains
// behind them by the line's booked blocking times. A train takes a block, station track or
// turnout only once the train that held it before it in the timetable has released it (the
// order stays as timetabled), never leaves before its timetabled departure, stands at least the
// minimum stop and runs its booked running times, so a timetable's slack (standing time beyond
// the minimum, gaps between trains) recovers time.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "analysis/UrwLineOcc.h"

namespace ramvel {

// Primary delays in seconds per train and call: the train leaves that call so much later than
// it otherwise could. [train][call].
using TPrimary = std::vector<std::vector<int32_t>>;

struct TDelayOpts {
  double Share = 0.2;    // of trains given a random delay
  double MeanMin = 3.0;  // mean of the exponentially distributed delay, minutes
  int32_t AtSta = 0;     // station id where the random delays happen; 0: each train's first departure
  // Given delays (train number, seconds) at the train's first departure, or at AtSta. When any
  // is given, no random delay is drawn.
  std::vector<std::pair<std::string, int32_t>> Given;
  uint64_t Seed = 1;
  int32_t Runs = 1;
  int32_t MinStop = 30;  // least standing time at a stop, seconds
};

// The primary delays of one run: the given ones, or random ones drawn with seed. A given train
// that is not on the line is named in bad.
TPrimary DrawPrimary(const TLineOcc& occ, const TDelayOpts& opts, uint64_t seed, std::string& bad);

struct TDelayRun {
  std::vector<std::vector<int32_t>> ArrDelay;  // [train][call]; -1 at the train's origin
  std::vector<std::vector<int32_t>> DepDelay;  // [train][call]; -1 where the train ends
  std::vector<int64_t> Primary;                // [train] seconds given
  std::vector<int64_t> Caused;                 // [train] seconds others waited for it
  int64_t PrimarySec = 0;
  int64_t KnockOnSec = 0;
};

// The blocking times of a line prepared for delay runs; read only while runs go on, so several
// runs may share one.
class TDelayModel {
 public:
  TDelayModel(const TLineOcc& occ, int32_t minStop);
  TDelayRun Run(const TPrimary& primary) const;
  const TLineOcc& Occ() const { return occ_; }

 private:
  struct TLeg {
    int32_t Train = 0;
    int32_t Leg = 0;  // 0: the way into the line; c + 1: the departure from call c
    int32_t Key = 0;  // planned time, for the order of the sweep
    int32_t RecFirst = 0, RecLast = 0;  // into recs_
  };
  struct TRec {
    int32_t Start = 0, End = 0;
    int32_t Anchor = 0;  // the leg whose delay moves this record's release
    int32_t PredFirst = 0, PredLast = 0;  // into preds_
  };
  struct TPred {
    int32_t Train = 0;
    int32_t Rec = 0;  // into recs_ of that train's record
  };
  const TLineOcc& occ_;
  int32_t minStop_;
  std::vector<TLeg> legs_;          // in sweep order
  std::vector<int32_t> legBase_;    // [train] index of its leg 0 in the per-train delay array
  std::vector<TRec> recs_;
  std::vector<int32_t> recTrain_;
  std::vector<TPred> preds_;
};

// Share of arrivals at most 1, 3 and 5 minutes late.
inline constexpr int32_t kPunctLimits[3] = {60, 180, 300};
struct TPunct {
  int64_t Arrivals = 0;
  int64_t Within[3] = {0, 0, 0};
  double Percent(int k) const { return Arrivals > 0 ? 100.0 * Within[k] / Arrivals : 100.0; }
};

// Figures of several runs: means and standard deviations.
struct TMeanSd {
  double Mean = 0, Sd = 0;
};
struct TDelayReport {
  int32_t Runs = 0;
  TMeanSd Within[3];           // overall punctuality, per cent
  TMeanSd PrimaryMin, KnockOnMin;
  std::vector<int32_t> Stations;          // station ids in line order
  std::vector<std::array<double, 3>> StaWithin;  // mean punctuality per station, per cent
  std::vector<int64_t> StaArrivals;       // arrivals per station and run
  std::vector<std::vector<double>> ArrDelay;  // [train][call] mean arrival delay, s; -1 origin
  std::vector<std::vector<double>> DepDelay;  // [train][call] mean departure delay, s; -1 none
  std::vector<std::pair<int32_t, double>> Spreaders;  // train, mean minutes others waited, most first
  TDelayRun FirstRun;  // the run with the first seed, as drawn and played
};

// Runs opts.Runs delay runs with seeds Seed, Seed + 1, ... on up to `threads` threads (0: all
// cores); bad names a given train not on the line (nothing is run then).
TDelayReport RunDelays(const TDelayModel& model, const TDelayOpts& opts, int32_t threads,
                       std::string& bad);
// The figures of one run.
TDelayReport ReportOfRun(const TDelayModel& model, const TDelayRun& run);

// The paths of the trains the run made late, as they ran.
std::vector<TAnPath> DelayedPaths(const TLineOcc& occ, const TDelayRun& run);

// The train sets' timetables as the run played the day: every call of the line's trains moved
// by its delay, and the steps after them kept from running earlier than the ones before. Only
// the train sets that changed are in the result.
std::map<int32_t, TTmTblObj> DelayedTimetables(TBrdData& brd, const TLineOcc& occ,
                                               const TDelayRun& run);

}  // namespace ramvel
