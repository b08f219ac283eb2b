// The new board from an OuDia file: the plan (run times, platform needs, spacing) worked out
// first, then the board built in a work folder and saved whole, with a report of what was left
// out.
#include "interop/UrwOudBoard.h"

#include <unistd.h>
#include <algorithm>
#include <array>
#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <system_error>

#include "engine/UrwBrdBuild.h"
#include "foundation/UrwCmnDef.h"
#include "foundation/UrwUiHost.h"
#include "station_designer/UrwStaGridPic.h"
#include "timetable/UrwDiaEditorUi.h"

namespace ramvel {

namespace {

namespace fs = std::filesystem;

constexpr int32_t kDay = 86400;
constexpr int32_t kDot = 108;         // metres per terrain dot
constexpr int32_t kStaDots = 11;      // a station's length along the line
constexpr int32_t kMinGapDots = 4;    // the shortest rail run between two stations
constexpr int32_t kMaxStepDots = 30;  // the longest single rail of a run
constexpr int32_t kMargin = 6;        // land round the layout
constexpr int32_t kLandH = 2 * kMargin + 12;
constexpr int32_t kLineY = kLandH / 2;
constexpr int32_t kShortStopSec = 30;  // the shortest stop the diagram editor books
// Seconds kept in hand per station interval for the booking's rounding to whole seconds.
constexpr double kRoundingSec = 3;
constexpr int32_t kSpeedStep = 10;      // km/h between the speeds tried
// Shares of the work told to the progress function: the layout up to the first, the trains up
// to the second, the save after it.
constexpr double kLayoutShare = 0.05;
constexpr double kEntryEnd = 0.97;
// A train timed at one station only still stands there this long.
constexpr int32_t kLeastStandSec = 30;
constexpr int32_t kApproachSec = 180;  // a platform is held before the train stops there
constexpr int32_t kLeaveSec = 60;      // and after it has left

// Seconds since the start of the file's day, so that trains after midnight sort after the rest.
int32_t DayTime(int32_t t, int32_t start) { return ((t - start) % kDay + kDay) % kDay; }

// A cell's time for arriving and for leaving, either standing in for the other; -1 when none.
int32_t ArrOf(const TOudCell& c) { return c.Arr >= 0 ? c.Arr : c.Dep; }
int32_t DepOf(const TOudCell& c) { return c.Dep >= 0 ? c.Dep : c.Arr; }

// The fastest train's time per station interval: a train's time between two timed stations is
// shared evenly among the intervals it covers (passing stations are often left untimed).
std::vector<int32_t> RunTimes(const TOudDoc& doc, const TOudDia& dia) {
  const size_t n = doc.Stations.size();
  std::vector<int32_t> best(n - 1, -1);
  for (const TOudTrain& tr : dia.Trains) {
    int32_t prev = -1, prevT = -1;  // the last timed station in travel order
    for (size_t k = 0; k < n && k < tr.Cells.size(); ++k) {
      const size_t i = tr.Nobori ? n - 1 - k : k;
      if (i >= tr.Cells.size()) continue;
      const TOudCell& c = tr.Cells[i];
      if (c.Stop != TOudStop::kStop && c.Stop != TOudStop::kPass) continue;
      const int32_t arr = ArrOf(c);
      if (arr < 0) continue;
      if (prev >= 0) {
        const int32_t span = ((arr - prevT) % kDay + kDay) % kDay;
        const int32_t steps = std::abs(static_cast<int32_t>(i) - prev);
        const int32_t each = std::max(1, span / steps);
        for (int32_t s = std::min<int32_t>(prev, i); s < std::max<int32_t>(prev, i); ++s) {
          if (best[s] < 0 || each < best[s]) best[s] = each;
        }
      }
      prev = static_cast<int32_t>(i);
      prevT = DepOf(c);
    }
  }
  return best;
}

// The running model the board books by: a set crosses the half of a station before its stopping
// point, and the half after it, at half its top speed where it stops (accelerating or braking)
// and at full speed where it passes; the rails between stations at full speed.
struct TRunModel {
  double Mps = 0;
  int32_t Cars = 0;
  double Half(bool arriving, bool passes) const {
    const double dist = kStaMidM + (arriving ? 0.5 : -0.5) * Cars * kCarLenM;
    return dist / (passes ? Mps : Mps / 2);
  }
};

// Lowers best[s] to the longest rails (m) between station s and s + 1 that let train tr keep
// its published times at the model's speed (below zero where no rails would do). A train timed at two stations with untimed passes
// or stops between shares its time evenly among the intervals.
void TrainGaps(const TOudDoc& doc, const TOudTrain& tr, const TRunModel& m,
               std::vector<double>& best) {
  const size_t n = doc.Stations.size();
  std::vector<size_t> order;  // the stations the train serves, in travel order
  for (size_t k = 0; k < n && k < tr.Cells.size(); ++k) {
    const size_t i = tr.Nobori ? n - 1 - k : k;
    if (i < tr.Cells.size() &&
        (tr.Cells[i].Stop == TOudStop::kStop || tr.Cells[i].Stop == TOudStop::kPass)) {
      order.push_back(i);
    }
  }
  // The first station is never passed, whatever the file says, nor the last.
  const auto passes = [&](size_t q) {
    return q != 0 && q + 1 != order.size() && tr.Cells[order[q]].Stop == TOudStop::kPass;
  };
  int32_t fromT = -1;  // the departure from the last timed station
  size_t from = 0;
  for (size_t j = 0; j < order.size(); ++j) {
    const TOudCell& c = tr.Cells[order[j]];
    const bool pass = c.Stop == TOudStop::kPass;
    const bool origin = j == 0, terminal = j + 1 == order.size();
    if (ArrOf(c) < 0) continue;
    if (fromT >= 0) {
      // A stop given by its departure alone leaves room for the shortest stop first.
      const int32_t arr = c.Arr >= 0 ? c.Arr : c.Dep - (pass || terminal ? 0 : kShortStopSec);
      const int32_t budget = ((arr - fromT) % kDay + kDay) % kDay;
      double fixed = 0;
      for (size_t q = from; q < j; ++q) {
        fixed += m.Half(false, passes(q)) + m.Half(true, passes(q + 1)) + kRoundingSec;
        if (q + 1 != j && !passes(q + 1)) fixed += kShortStopSec;  // an untimed stop
      }
      const double each = m.Mps * (budget - fixed) / static_cast<double>(j - from);
      for (size_t q = from; q < j; ++q) {
        const size_t s = std::min(order[q], order[q + 1]);
        best[s] = std::min(best[s], each);
      }
    }
    from = j;
    fromT = c.Dep >= 0 ? c.Dep : c.Arr + (pass || origin ? 0 : kShortStopSec);
  }
}

// The longest rails (m) between each pair of neighbouring stations that let every train of the
// timetable keep its published times at the model's speed; -1 where no train is timed.
std::vector<double> LongestGaps(const TOudDoc& doc, const TOudDia& dia, const TRunModel& m) {
  constexpr double kNone = std::numeric_limits<double>::infinity();
  std::vector<double> best(doc.Stations.size() - 1, kNone);
  for (const TOudTrain& tr : dia.Trains) TrainGaps(doc, tr, m, best);
  for (double& b : best) b = b == kNone ? -1 : std::max(b, 0.0);
  return best;
}

// The slowest speed, in the editor's steps up to the plan's, at which train tr keeps its
// published times on the rails the plan lays; the plan's speed when it has no two timed stations.
int32_t FittedKmh(const TOudDoc& doc, const TOudBoardPlan& plan, int32_t cars,
                  const TOudTrain& tr) {
  for (int32_t kmh = kMinSpd; kmh < plan.Kmh; kmh += kSpeedStep) {
    // Infinite where the train sets no bound: a bound below zero is a bound too.
    constexpr double kNone = std::numeric_limits<double>::infinity();
    std::vector<double> best(plan.GapDots.size(), kNone);
    TrainGaps(doc, tr, TRunModel{kmh / 3.6, cars}, best);
    bool fits = true, timed = false;
    for (size_t s = 0; s < best.size(); ++s) {
      fits = fits && best[s] >= plan.GapDots[s] * kDot;
      timed = timed || best[s] != kNone;
    }
    if (!timed) break;  // nothing to keep: the plan's speed
    if (fits) return kmh;
  }
  return plan.Kmh;
}

// The most trains standing at each station at once, per direction (0 down, 1 up) and in all
// (2). A train stands from arrival to departure. At the end of its run its train set stands on,
// as the import chains sets: until the earliest train not yet taken that leaves there the other
// way at least turnSec later, or to the end of the day; a train no set comes in for stands from
// the start of the day.
void Standing(const TOudDoc& doc, const TOudDia& dia, int32_t turnSec,
              std::vector<std::array<int32_t, 3>>& most) {
  const size_t n = doc.Stations.size();
  std::vector<std::array<std::vector<std::pair<int32_t, int32_t>>, 2>> events(n);
  struct TEnd {
    int32_t T, Dir;
  };
  std::vector<std::vector<TEnd>> arrivals(n);
  std::vector<std::array<std::multiset<int32_t>, 2>> departures(n);
  struct TBlockRun {
    size_t From;
    int32_t Dep;
    size_t To;
    int32_t Arr, Dir;
  };
  std::map<std::string, std::vector<TBlockRun>> blockRuns;
  // A platform is held from the train's approach until a little after it leaves, as the
  // automatic entry keeps it when it stables a set.
  const auto stand = [&](size_t i, int32_t dir, int32_t from, int32_t to) {
    events[i][dir].push_back({std::max(0, from - kApproachSec), 1});
    events[i][dir].push_back({std::max(to, from) + kLeaveSec, -1});  // leaving sorts first
  };
  for (const TOudTrain& tr : dia.Trains) {
    std::vector<size_t> stops;
    for (size_t i = 0; i < n && i < tr.Cells.size(); ++i) {
      if (tr.Cells[i].Stop == TOudStop::kStop && ArrOf(tr.Cells[i]) >= 0) stops.push_back(i);
    }
    if (stops.empty()) continue;
    const size_t first = tr.Nobori ? stops.back() : stops.front();
    const size_t last = tr.Nobori ? stops.front() : stops.back();
    const int32_t dir = tr.Nobori ? 1 : 0;
    for (const size_t i : stops) {
      const TOudCell& c = tr.Cells[i];
      const int32_t arr = DayTime(ArrOf(c), doc.StartTime);
      const int32_t dep = DayTime(DepOf(c), doc.StartTime);
      if (i != first && i != last) stand(i, dir, arr, std::max(dep, arr + kLeastStandSec));
    }
    const int32_t dep = DayTime(DepOf(tr.Cells[first]), doc.StartTime);
    const int32_t arr = DayTime(ArrOf(tr.Cells[last]), doc.StartTime);
    if (!tr.Block.empty()) {
      blockRuns[tr.Block].push_back({first, dep, last, arr, dir});
    } else {
      departures[first][dir].insert(dep);
      if (first != last) arrivals[last].push_back({arr, dir});
    }
  }
  // A block's trips are one train set and take no other trains: it stands where each trip ends
  // until the block's next trip leaves, from the start of the day before its first trip, and to
  // the end of the day after its last.
  for (auto& [block, runs] : blockRuns) {
    std::sort(runs.begin(), runs.end(),
              [](const TBlockRun& a, const TBlockRun& b) { return a.Dep < b.Dep; });
    stand(runs.front().From, runs.front().Dir, 0, runs.front().Dep);
    for (size_t k = 0; k < runs.size(); ++k) {
      const bool more = k + 1 < runs.size();
      stand(runs[k].To, runs[k].Dir, runs[k].Arr, more ? runs[k + 1].Dep : kDay);
    }
  }
  for (size_t i = 0; i < n; ++i) {
    std::sort(arrivals[i].begin(), arrivals[i].end(),
              [](const TEnd& a, const TEnd& b) { return a.T < b.T; });
    for (const TEnd& a : arrivals[i]) {
      std::multiset<int32_t>& next = departures[i][1 - a.Dir];
      const auto it = next.lower_bound(a.T + turnSec);
      if (it == next.end()) {
        stand(i, a.Dir, a.T, kDay);
      } else {
        stand(i, a.Dir, a.T, *it);
        next.erase(it);
      }
    }
    for (int32_t dir = 0; dir < 2; ++dir) {
      for (const int32_t d : departures[i][dir]) stand(i, dir, 0, d);
    }
  }
  most.assign(n, {0, 0, 0});
  for (size_t i = 0; i < n; ++i) {
    std::vector<std::pair<int32_t, int32_t>> all;
    for (int32_t dir = 0; dir < 2; ++dir) {
      std::vector<std::pair<int32_t, int32_t>>& ev = events[i][dir];
      all.insert(all.end(), ev.begin(), ev.end());
      std::sort(ev.begin(), ev.end());
      int32_t now = 0;
      for (const auto& [t, d] : ev) most[i][dir] = std::max(most[i][dir], now += d);
    }
    std::sort(all.begin(), all.end());
    int32_t now = 0;
    for (const auto& [t, d] : all) most[i][2] = std::max(most[i][2], now += d);
  }
}

TLandGrid AllLand(int32_t w) {
  TLandGrid land;
  land.W = w;
  land.H = kLandH;
  land.Rgb.assign(static_cast<size_t>(w) * kLandH, kRgbLandDot);
  return land;
}

// A folder beside target that nothing else uses, for writing the board before it is renamed.
fs::path WorkFolder(const fs::path& target) {
  const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string stem = "." + target.filename().string() + ".making-" + IntText(getpid());
  fs::path p = parent / stem;
  std::error_code ec;
  for (int32_t k = 1; fs::exists(p, ec); ++k) p = parent / (stem + "-" + IntText(k));
  return p;
}

// Designs the stations, places them along the line, lays the rails and makes the line, all in
// folder. Any box the designer or the board would show is a failure.
TStatus BuildLayout(const TStaPanels& panels, const TOudDoc& doc, const TOudBoardPlan& plan,
                    const std::string& folder, const std::string& lineName,
                    const TProgressFn& progress, TBrdData& brd) {
  TScriptedHost quiet;
  TUiHostScope scope(quiet);
  const size_t n = doc.Stations.size();
  for (size_t i = 0; i < n; ++i) {
    if (progress && !progress(kLayoutShare * double(i) / double(n))) {
      return TStatus::Error(kWorkCancelled);
    }
    const TStaPicture pic =
        PassingStationPic(doc.Stations[i].Name, plan.PerSide[i], i > 0, i + 1 < n);
    if (TStatus st = SavePictureSta(pic, panels, folder, brd.ID_STA); !st) {
      return TStatus::Error(doc.Stations[i].Name + ": 駅を設計できません: " + st.Msg());
    }
  }
  int32_t x = kMargin;
  for (size_t i = 0; i < n; ++i) {
    int32_t id = 0;
    if (TStatus st = brd.StaReg(folder, doc.Stations[i].Name, id); !st) return st;
    if (brd.FindSta(id, "")->IsErr) {
      return TStatus::Error(doc.Stations[i].Name + ": 駅の設計に誤りがあります");
    }
    if (!brd.StaPlace(id, {x, kLineY}, {kStaDots, 0}, nullptr, nullptr)) {
      return TStatus::Error(doc.Stations[i].Name + ": 駅を置けません");
    }
    if (i + 1 < n) x += kStaDots + plan.GapDots[i];
  }
  for (size_t i = 0; i + 1 < n; ++i) {
    TRailRun run{doc.Stations[i].Name, 1, {}, doc.Stations[i + 1].Name, 0, 2};
    for (int32_t left = plan.GapDots[i]; left > 0;) {
      const int32_t step = left > kMaxStepDots ? std::min(kMaxStepDots, left / 2) : left;
      run.Steps.push_back({step, 0});
      left -= step;
    }
    if (TStatus st = LayRailRun(brd, run); !st) return st;
  }
  std::string open;
  if (!brd.CheckAllConn(open)) return TStatus::Error("線路がつながっていません: " + open);
  TLineDef def{lineName, {}};
  for (const TOudStation& s : doc.Stations) def.Stations.push_back(s.Name);
  if (TStatus st = BuildLine(brd, folder, def); !st) return st;
  if (!quiet.Events.empty()) return TStatus::Error(quiet.Events.front().Text);
  return TStatus::Ok();
}

TStatus Build(const TStaPanels& panels, const TOudDoc& doc, const std::string& folder,
              const TOudImportOptions& options, TOudBoardReport& report) {
  const TOudBoardPlan& plan = report.Plan;
  int32_t width = 2 * kMargin + kStaDots;
  for (const int32_t g : plan.GapDots) width += kStaDots + g;
  if (width > kMaxLandDots) return TStatus::Error("路線が長すぎて地形に収まりません");
  if (TStatus st = WriteBmp24(AllLand(width), folder + "/Land.bmp"); !st) return st;
  TBrdData brd;
  report.LineName = doc.LineName.empty() ? "本線" : doc.LineName;
  if (!brd.SetLine(report.LineName)) {
    report.Plan.Notes.push_back("路線名「" + report.LineName +
                                "」はファイル名にできないため「本線」にしました");
    report.LineName = "本線";
  }
  if (TStatus st = BuildLayout(panels, doc, plan, folder, report.LineName, options.Progress, brd);
      !st) {
    return st;
  }
  if (TStatus st = brd.LoadLine(folder); !st) return st;
  {
    TScriptedHost host;  // the editor's own boxes are answered by the automatic entry
    TUiHostScope scope(host);
    TOudImportOptions fitted = options;
    fitted.DefaultKmh = plan.Kmh;
    fitted.FitKmh = [&doc, &plan, cars = options.DefaultCars](const TOudTrain& t) {
      return FittedKmh(doc, plan, cars, t);
    };
    if (options.Progress) {
      fitted.Progress = [&options](double share) {
        return options.Progress(kLayoutShare + (kEntryEnd - kLayoutShare) * share);
      };
    }
    if (TStatus st = ImportOudAllDias(brd, doc, fitted, report.Dias); !st) return st;
  }
  if (options.Progress && !options.Progress(kEntryEnd)) return TStatus::Error(kWorkCancelled);
  return brd.SaveBrd(folder, false);
}

}  // namespace

TStatus PlanOudBoard(const TOudDoc& doc, const TOudImportOptions& options, TOudBoardPlan& plan) {
  const size_t n = doc.Stations.size();
  if (n < 2) return TStatus::Error("駅が2つ以上ないため路線を作れません");
  if (TStatus st = CheckOudSize(doc); !st) return st;
  std::set<std::string> seen;
  for (size_t i = 0; i < n; ++i) {
    const std::string& name = doc.Stations[i].Name;
    if (name.empty())
      return TStatus::Error(IntText(static_cast<int64_t>(i + 1)) + "番目の駅に名前がありません");
    if (!seen.insert(name).second) {
      return TStatus::Error("駅名「" + name + "」が2度あります (同じ駅を2度通る路線は作れません)");
    }
  }
  static const TOudDia kNoTrains;
  const TOudDia& dia = doc.Dias.empty() ? kNoTrains : doc.Dias.front();
  TOudBoardPlan out;
  for (const TOudStation& s : doc.Stations) out.Names.push_back(s.Name);
  out.RunSec = RunTimes(doc, dia);
  // The slowest speed the editor allows from the default up at which every interval has room
  // for rails: faster sets only help the spacing, which is never made longer than the fastest
  // train's times allow.
  const int32_t minGapM = kMinGapDots * kDot;
  TRunModel model{0, options.DefaultCars};
  std::vector<double> gaps;
  out.Kmh = std::clamp(options.DefaultKmh, kMinSpd, kMaxSpd);
  for (;; out.Kmh += kSpeedStep) {
    out.Kmh = std::min(out.Kmh, kMaxSpd);
    model.Mps = out.Kmh / 3.6;
    // The layout serves every timetable of the file: each interval as short as any needs.
    gaps.assign(n - 1, -1);
    for (const TOudDia& d : doc.Dias) {
      const std::vector<double> g = LongestGaps(doc, d, model);
      for (size_t i = 0; i + 1 < n; ++i) {
        if (g[i] >= 0 && (gaps[i] < 0 || g[i] < gaps[i])) gaps[i] = g[i];
      }
    }
    const bool fits = std::all_of(gaps.begin(), gaps.end(), [&](double g) {
      return g < 0 || g >= minGapM;
    });
    if (fits || out.Kmh >= kMaxSpd) break;
  }
  if (out.Kmh != options.DefaultKmh) {
    out.Notes.push_back("時刻表の走行時間に間に合うよう、編成の最高速度を" + IntText(out.Kmh) +
                        "km/hにしました");
  }
  int64_t width = 2 * kMargin + kStaDots;
  for (size_t i = 0; i + 1 < n; ++i) {
    const std::string between = doc.Stations[i].Name + "-" + doc.Stations[i + 1].Name;
    if (out.RunSec[i] < 0) {
      out.RunSec[i] = 120;
      out.Notes.push_back(between + ": 時刻のある列車がないため2分としました");
      gaps[i] = model.Mps * (120 - model.Half(false, false) - model.Half(true, false));
    }
    double gapM = gaps[i];
    const double km0 = doc.Stations[i].Km, km1 = doc.Stations[i + 1].Km;
    if (km0 >= 0 && km1 >= 0) gapM = std::min(gapM, std::abs(km1 - km0) * 1000 - kStaDots * kDot);
    if (gaps[i] < minGapM) {
      out.Notes.push_back(between + ": 最短の駅間でも時刻表の走行時間に間に合わないため、遅れる列車があります");
    }
    out.GapDots.push_back(std::max(kMinGapDots, static_cast<int32_t>(gapM / kDot)));
    width += kStaDots + out.GapDots.back();
  }
  // Shorter rails only bring trains in earlier: a line too long for the terrain is shortened.
  if (width > kMaxLandDots) {
    const double share = static_cast<double>(kMaxLandDots - (2 * kMargin + kStaDots) * n) /
                         static_cast<double>(width - (2 * kMargin + kStaDots) * n);
    for (int32_t& g : out.GapDots) g = std::max(kMinGapDots, static_cast<int32_t>(g * share));
  }
  std::vector<std::array<int32_t, 3>> most(n, {0, 0, 0});
  for (const TOudDia& d : doc.Dias) {
    std::vector<std::array<int32_t, 3>> one;
    Standing(doc, d, options.TurnSec, one);
    for (size_t i = 0; i < n; ++i) {
      for (size_t k = 0; k < 3; ++k) most[i][k] = std::max(most[i][k], one[i][k]);
    }
  }
  for (size_t i = 0; i < n; ++i) {
    out.Standing.push_back(most[i][2]);
    const int32_t want = std::max(1, (most[i][2] + 2) / 2);
    out.PerSide.push_back(std::min(want, kMaxTracksPerSide));
    if (want > kMaxTracksPerSide) {
      out.Notes.push_back(doc.Stations[i].Name + ": 同時に" + IntText(most[i][2]) +
                          "本が停車しますが、番線は" + IntText(2 * kMaxTracksPerSide) +
                          "までにしました");
    }
  }
  plan = std::move(out);
  return TStatus::Ok();
}

std::vector<std::string> TOudBoardReport::Lines() const {
  std::vector<std::string> out = Plan.Notes;
  out.push_back("路線 " + LineName + ": " + IntText(static_cast<int64_t>(Plan.Names.size())) +
                "駅");
  for (size_t i = 0; i < Plan.PerSide.size(); ++i) {
    std::string l = "駅 " + Plan.Names[i] + ": " + IntText(2 * Plan.PerSide[i]) +
                    "番線 (同時停車 " + IntText(Plan.Standing[i]) + "本)";
    if (i < Plan.GapDots.size()) {
      l += "、次の駅まで " + IntText(Plan.RunSec[i]) + "秒、" +
           IntText((Plan.GapDots[i] + kStaDots) * kDot) + "m";
    }
    out.push_back(l);
  }
  for (const TOudDiaReport& d : Dias) {
    if (Dias.size() > 1) out.push_back("ダイヤ「" + d.Name + "」:");
    for (const std::string& l : d.Report.Lines()) out.push_back(l);
  }
  return out;
}

int32_t TOudBoardReport::Refused() const {
  int32_t n = 0;
  for (const TOudDiaReport& d : Dias) n += d.Report.Refused;
  return n;
}

TStatus MakeOudBoard(const TStaPanels& panels, const TOudDoc& doc, const std::string& folder,
                     const TOudImportOptions& options, TOudBoardReport& report) {
  // "DIR/" names DIR itself, not a folder inside it.
  fs::path target = fs::path(folder).lexically_normal();
  if (target.filename().empty() && target.has_parent_path()) target = target.parent_path();
  std::error_code ec;
  if (fs::exists(target, ec)) {
    if (!fs::is_directory(target, ec)) return TStatus::Error(folder + ": フォルダではありません");
    if (!fs::is_empty(target, ec)) {
      return TStatus::Error(folder + ": 空でないフォルダには作れません (中身は変更していません)");
    }
  }
  if (TStatus st = CheckOudShiftJis(doc); !st) return st;
  if (TStatus st = PlanOudBoard(doc, options, report.Plan); !st) return st;
  const fs::path work = WorkFolder(target);
  fs::path made;  // the outermost folder above the work folder that this call makes
  for (fs::path p = work.parent_path(); !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    made = p;
    if (p == p.parent_path()) break;
  }
  fs::create_directories(work / "station", ec);
  TStatus st;
  if (ec) st = TStatus::Error(work.string() + ": フォルダを作れません: " + ec.message());
  if (st) st = Build(panels, doc, work.string(), options, report);
  if (st) {
    fs::rename(work, target, ec);  // replaces an empty folder in one step
    if (ec) st = TStatus::Error(folder + ": 名前を変えられません: " + ec.message());
  }
  if (!st) {
    fs::remove_all(work, ec);  // only what this call made
    if (!made.empty()) fs::remove_all(made, ec);
  }
  if (st && options.Progress) options.Progress(1);
  return st;
}

}  // namespace ramvel
