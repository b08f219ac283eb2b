// Delay runs over the booked blocking times.
#include "analysis/UrwDelaySim.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace {

// A small generator whose sequence is the same on every platform and library, so a seed gives
// the same figures everywhere (the standard distributions are free to differ).
class TSplitMix {
 public:
  explicit TSplitMix(uint64_t seed) : s_(seed) {}
  uint64_t Next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }  // [0, 1)

 private:
  uint64_t s_;
};

// The call where a train's primary delay happens: its first departure, or its first departure
// from station atSta; -1 when it has none.
int32_t PrimaryCall(const TLineTrain& tr, int32_t atSta) {
  for (size_t c = 0; c < tr.Calls.size(); ++c) {
    if (tr.Calls[c].Dep >= 0 && (atSta == 0 || tr.Calls[c].Sta == atSta)) {
      return static_cast<int32_t>(c);
    }
  }
  return -1;
}

constexpr int32_t kMaxSweeps = 200;  // delays only grow, so sweeps settle; this bounds bad data

}  // namespace

TPrimary DrawPrimary(const TLineOcc& occ, const TDelayOpts& opts, uint64_t seed, std::string& bad) {
  TPrimary p(occ.Trains.size());
  for (size_t t = 0; t < occ.Trains.size(); ++t) p[t].assign(occ.Trains[t].Calls.size(), 0);
  bad.clear();
  if (!opts.Given.empty()) {
    for (const auto& [trNo, sec] : opts.Given) {
      size_t t = 0;
      while (t < occ.Trains.size() && !SameNoCase(occ.Trains[t].TrNo, trNo)) ++t;
      const int32_t c = t < occ.Trains.size() ? PrimaryCall(occ.Trains[t], opts.AtSta) : -1;
      if (c < 0) {
        bad = trNo;
        return p;
      }
      p[t][c] += sec;
    }
    return p;
  }
  TSplitMix rng(seed);
  for (size_t t = 0; t < occ.Trains.size(); ++t) {
    const double u1 = rng.Uniform();
    const double u2 = rng.Uniform();  // drawn for every train, so one train's luck never shifts another's
    if (u1 >= opts.Share) continue;
    const int32_t c = PrimaryCall(occ.Trains[t], opts.AtSta);
    if (c < 0) continue;
    p[t][c] = static_cast<int32_t>(std::nearbyint(-opts.MeanMin * 60.0 * std::log1p(-u2)));
  }
  return p;
}

TDelayModel::TDelayModel(const TLineOcc& occ, int32_t minStop) : occ_(occ), minStop_(minStop) {
  const size_t nTrains = occ.Trains.size();
  legBase_.resize(nTrains);
  int32_t total = 0;
  for (size_t t = 0; t < nTrains; ++t) {
    legBase_[t] = total;
    total += static_cast<int32_t>(occ.Trains[t].Calls.size()) + 1;
  }
  // Each occupation belongs to the leg that books it: the way in before the first call, or the
  // run after a departure. A platform held on until the next call's departure is released when
  // the train leaves there.
  const size_t nRecs = occ.Recs.size();
  std::vector<int32_t> legOf(nRecs), anchorOf(nRecs);
  for (size_t r = 0; r < nRecs; ++r) {
    const TOccRec& rec = occ.Recs[r];
    const std::vector<TTrainCall>& calls = occ.Trains[rec.Train].Calls;
    const int32_t n = static_cast<int32_t>(calls.size());
    int32_t leg = 0;
    for (int32_t c = 0; c < n; ++c) {
      if (calls[c].Dep >= 0 && calls[c].Dep <= rec.Start) leg = c + 1;
    }
    legOf[r] = leg;
    // Only the platform is booked until the departure; a turnout's last slot may outlast the
    // arrival by some seconds and is still released by the running train.
    anchorOf[r] = leg < n && calls[leg].Arr >= 0 && calls[leg].Dep >= 0 && rec.End >= calls[leg].Dep
                      ? leg + 1
                      : leg;
  }
  std::vector<int32_t> order(nRecs);
  for (size_t r = 0; r < nRecs; ++r) order[r] = static_cast<int32_t>(r);
  std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
    const TOccRec& x = occ.Recs[a];
    const TOccRec& y = occ.Recs[b];
    if (x.Train != y.Train) return x.Train < y.Train;
    return legOf[a] < legOf[b];
  });
  std::vector<int32_t> pos(nRecs);
  for (size_t i = 0; i < nRecs; ++i) pos[order[i]] = static_cast<int32_t>(i);

  // The trains each occupation waits for: on a track or block the one that held it last before,
  // on a turnout that one per other route.
  std::vector<std::vector<int32_t>> predsOf(nRecs);
  size_t i = 0;
  while (i < nRecs) {
    size_t j = i;
    while (j < nRecs && occ.Recs[j].Res == occ.Recs[i].Res) ++j;
    std::map<int32_t, int32_t> lastByRoute;
    for (size_t x = i; x < j; ++x) {
      const TOccRec& b = occ.Recs[x];
      for (const auto& [route, a] : lastByRoute) {
        if (occ.Recs[a].Train == b.Train || (b.Route > 0 && route == b.Route)) continue;
        predsOf[x].push_back(a);
      }
      auto it = lastByRoute.find(b.Route);
      if (it == lastByRoute.end() || b.End >= occ.Recs[it->second].End) {
        lastByRoute[b.Route] = static_cast<int32_t>(x);
      }
    }
    i = j;
  }
  recs_.resize(nRecs);
  recTrain_.resize(nRecs);
  for (size_t k = 0; k < nRecs; ++k) {
    const int32_t r = order[k];
    TRec& out = recs_[k];
    out.Start = occ.Recs[r].Start;
    out.End = occ.Recs[r].End;
    out.Anchor = anchorOf[r];
    out.PredFirst = static_cast<int32_t>(preds_.size());
    for (const int32_t p : predsOf[r]) preds_.push_back({occ.Recs[p].Train, pos[p]});
    out.PredLast = static_cast<int32_t>(preds_.size());
    recTrain_[k] = occ.Recs[r].Train;
  }
  // Legs: the way in, then one per departure, with their occupations.
  size_t k = 0;
  for (size_t t = 0; t < nTrains; ++t) {
    const std::vector<TTrainCall>& calls = occ.Trains[t].Calls;
    const int32_t n = static_cast<int32_t>(calls.size());
    for (int32_t leg = 0; leg <= n; ++leg) {
      TLeg l;
      l.Train = static_cast<int32_t>(t);
      l.Leg = leg;
      l.RecFirst = static_cast<int32_t>(k);
      while (k < nRecs && recTrain_[k] == static_cast<int32_t>(t) && legOf[order[k]] == leg) ++k;
      l.RecLast = static_cast<int32_t>(k);
      if (leg == 0) {
        l.Key = l.RecFirst < l.RecLast ? recs_[l.RecFirst].Start : (n > 0 ? calls[0].Arr : 0);
      } else {
        if (calls[leg - 1].Dep < 0) continue;
        l.Key = calls[leg - 1].Dep;
      }
      legs_.push_back(l);
    }
  }
  std::stable_sort(legs_.begin(), legs_.end(),
                   [](const TLeg& a, const TLeg& b) { return a.Key < b.Key; });
}

TDelayRun TDelayModel::Run(const TPrimary& primary) const {
  const size_t nTrains = occ_.Trains.size();
  std::vector<int32_t> d(legBase_.empty() ? 0 : legBase_.back() + occ_.Trains.back().Calls.size() + 1, 0);
  // The delay of a leg from the legs it waits for (need) and from its own train (base).
  auto eval = [&](const TLeg& l, int64_t& base, int64_t& need, int32_t& blame) {
    const int32_t b0 = legBase_[l.Train];
    need = 0;
    blame = -1;
    for (int32_t r = l.RecFirst; r < l.RecLast; ++r) {
      const TRec& rec = recs_[r];
      for (int32_t p = rec.PredFirst; p < rec.PredLast; ++p) {
        const TPred& pr = preds_[p];
        const TRec& pre = recs_[pr.Rec];
        // A timetable may already hold two trains in one place at once (a file edited by hand,
        // which the line check reports): the overlap it plans is kept, never made a cause of
        // waiting, or the two would wait for each other without end.
        const int64_t planned = std::max<int64_t>(0, pre.End - rec.Start);
        const int64_t w = static_cast<int64_t>(pre.End) + d[legBase_[pr.Train] + pre.Anchor] -
                          rec.Start - planned;
        if (w > need) {
          need = w;
          blame = pr.Train;
        }
      }
    }
    base = 0;
    if (l.Leg == 0) return;
    const int32_t c = l.Leg - 1;
    const TTrainCall& call = occ_.Trains[l.Train].Calls[c];
    const int32_t give = primary.empty() ? 0 : primary[l.Train][c];
    if (call.Arr < 0) {
      base = give;
      return;
    }
    const int32_t minDwell = call.Pass ? 0 : std::min(minStop_, std::max(0, call.Dep - call.Arr));
    const int64_t ready = static_cast<int64_t>(call.Arr) + d[b0 + c] + minDwell;
    base = std::max<int64_t>(0, ready - call.Dep) + give;
  };
  for (int32_t sweep = 0; sweep < kMaxSweeps; ++sweep) {
    bool changed = false;
    for (const TLeg& l : legs_) {
      int64_t base = 0, need = 0;
      int32_t blame = -1;
      eval(l, base, need, blame);
      const int32_t v = static_cast<int32_t>(std::min<int64_t>(std::max(base, need), 82800));
      int32_t& cur = d[legBase_[l.Train] + l.Leg];
      if (v != cur) {
        cur = v;
        changed = true;
      }
    }
    if (!changed) break;
  }
  TDelayRun run;
  run.Caused.assign(nTrains, 0);
  run.Primary.assign(nTrains, 0);
  for (const TLeg& l : legs_) {
    int64_t base = 0, need = 0;
    int32_t blame = -1;
    eval(l, base, need, blame);
    if (need > base && blame >= 0) {
      run.Caused[blame] += need - base;
      run.KnockOnSec += need - base;
    }
  }
  run.ArrDelay.resize(nTrains);
  run.DepDelay.resize(nTrains);
  for (size_t t = 0; t < nTrains; ++t) {
    const std::vector<TTrainCall>& calls = occ_.Trains[t].Calls;
    const int32_t b0 = legBase_[t];
    for (size_t c = 0; c < calls.size(); ++c) {
      run.ArrDelay[t].push_back(calls[c].Arr < 0 ? -1 : d[b0 + c]);
      run.DepDelay[t].push_back(calls[c].Dep < 0 ? -1 : d[b0 + c + 1]);
      if (!primary.empty()) run.Primary[t] += primary[t][c];
    }
    run.PrimarySec += run.Primary[t];
  }
  return run;
}

namespace {

struct TRunFigures {
  TPunct All;
  std::vector<TPunct> Sta;
};

TRunFigures Figures(const TLineOcc& occ, const std::vector<int32_t>& stations, const TDelayRun& run) {
  TRunFigures f;
  f.Sta.resize(stations.size());
  for (size_t t = 0; t < occ.Trains.size(); ++t) {
    const std::vector<TTrainCall>& calls = occ.Trains[t].Calls;
    for (size_t c = 0; c < calls.size(); ++c) {
      if (calls[c].Arr < 0 || calls[c].Pass) continue;
      const auto s = std::find(stations.begin(), stations.end(), calls[c].Sta);
      const int32_t late = run.ArrDelay[t][c];
      for (TPunct* p : {&f.All, s != stations.end() ? &f.Sta[s - stations.begin()] : nullptr}) {
        if (p == nullptr) continue;
        ++p->Arrivals;
        for (int k = 0; k < 3; ++k) p->Within[k] += late <= kPunctLimits[k] ? 1 : 0;
      }
    }
  }
  return f;
}

void MeanSd(const std::vector<double>& xs, TMeanSd& out) {
  if (xs.empty()) return;
  double sum = 0;
  for (const double x : xs) sum += x;
  out.Mean = sum / xs.size();
  double sq = 0;
  for (const double x : xs) sq += (x - out.Mean) * (x - out.Mean);
  out.Sd = xs.size() > 1 ? std::sqrt(sq / (xs.size() - 1)) : 0;
}

TDelayReport Aggregate(const TDelayModel& model, const std::vector<TDelayRun>& runs) {
  const TLineOcc& occ = model.Occ();
  TDelayReport rep;
  rep.Runs = static_cast<int32_t>(runs.size());
  for (const TLinePlace& p : occ.Places) {
    if (p.IsStation) rep.Stations.push_back(p.StaA);
  }
  const size_t nSta = rep.Stations.size();
  const size_t nTrains = occ.Trains.size();
  rep.StaWithin.assign(nSta, {0, 0, 0});
  rep.StaArrivals.assign(nSta, 0);
  rep.ArrDelay.resize(nTrains);
  rep.DepDelay.resize(nTrains);
  for (size_t t = 0; t < nTrains; ++t) {
    rep.ArrDelay[t].assign(occ.Trains[t].Calls.size(), 0);
    rep.DepDelay[t].assign(occ.Trains[t].Calls.size(), 0);
  }
  std::vector<double> within[3], prim, knock;
  std::vector<double> caused(nTrains, 0);
  for (const TDelayRun& run : runs) {
    const TRunFigures f = Figures(occ, rep.Stations, run);
    for (int k = 0; k < 3; ++k) within[k].push_back(f.All.Percent(k));
    prim.push_back(run.PrimarySec / 60.0);
    knock.push_back(run.KnockOnSec / 60.0);
    for (size_t s = 0; s < nSta; ++s) {
      for (int k = 0; k < 3; ++k) rep.StaWithin[s][k] += f.Sta[s].Percent(k) / runs.size();
      rep.StaArrivals[s] = f.Sta[s].Arrivals;
    }
    for (size_t t = 0; t < nTrains; ++t) {
      for (size_t c = 0; c < rep.ArrDelay[t].size(); ++c) {
        rep.ArrDelay[t][c] += static_cast<double>(run.ArrDelay[t][c]) / runs.size();
        rep.DepDelay[t][c] += static_cast<double>(run.DepDelay[t][c]) / runs.size();
      }
      caused[t] += run.Caused[t] / 60.0 / runs.size();
    }
  }
  for (int k = 0; k < 3; ++k) MeanSd(within[k], rep.Within[k]);
  MeanSd(prim, rep.PrimaryMin);
  MeanSd(knock, rep.KnockOnMin);
  for (size_t t = 0; t < nTrains; ++t) {
    if (caused[t] > 0) rep.Spreaders.push_back({static_cast<int32_t>(t), caused[t]});
  }
  std::stable_sort(rep.Spreaders.begin(), rep.Spreaders.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  if (!runs.empty()) rep.FirstRun = runs.front();
  return rep;
}

}  // namespace

TDelayReport ReportOfRun(const TDelayModel& model, const TDelayRun& run) {
  return Aggregate(model, {run});
}

TDelayReport RunDelays(const TDelayModel& model, const TDelayOpts& opts, int32_t threads,
                       std::string& bad) {
  const int32_t n = std::max(1, opts.Runs);
  // Draw every run's primary delays first: a given train that is not on the line is refused
  // before anything runs.
  std::vector<TPrimary> primaries(n);
  for (int32_t r = 0; r < n; ++r) {
    primaries[r] = DrawPrimary(model.Occ(), opts, opts.Seed + static_cast<uint64_t>(r), bad);
    if (!bad.empty()) return {};
  }
  std::vector<TDelayRun> runs(n);
  if (threads <= 0) threads = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
  threads = std::min(threads, n);
  std::vector<std::thread> pool;
  for (int32_t w = 1; w < threads; ++w) {
    pool.emplace_back([&, w] {
      for (int32_t r = w; r < n; r += threads) runs[r] = model.Run(primaries[r]);
    });
  }
  for (int32_t r = 0; r < n; r += threads) runs[r] = model.Run(primaries[r]);
  for (std::thread& th : pool) th.join();
  return Aggregate(model, runs);
}

std::vector<TAnPath> DelayedPaths(const TLineOcc& occ, const TDelayRun& run) {
  std::vector<TAnPath> out;
  const int32_t last = static_cast<int32_t>(occ.Places.size() + 1) / 2;  // stations of a ring once
  for (size_t t = 0; t < occ.Trains.size(); ++t) {
    const TLineTrain& tr = occ.Trains[t];
    bool late = false;
    TAnPath path{static_cast<int32_t>(t), tr.Dir, {}};
    for (size_t c = 0; c < tr.Calls.size(); ++c) {
      int32_t idx = tr.Calls[c].LineIdx;
      // On a ring line the run back to the first station ends one past the last.
      if (occ.Ring && idx == 0 && c > 0 && tr.Calls[c - 1].LineIdx == last - 1) idx = last;
      const int32_t arr = run.ArrDelay[t][c], dep = run.DepDelay[t][c];
      late = late || arr > 0 || dep > 0;
      if (tr.Calls[c].Arr >= 0) path.Pts.push_back({tr.Calls[c].Arr + std::max(0, arr), idx});
      if (tr.Calls[c].Dep >= 0) path.Pts.push_back({tr.Calls[c].Dep + std::max(0, dep), idx});
    }
    if (late && path.Pts.size() >= 2) out.push_back(std::move(path));
  }
  return out;
}

std::map<int32_t, TTmTblObj> DelayedTimetables(TBrdData& brd, const TLineOcc& occ,
                                               const TDelayRun& run) {
  std::map<int32_t, std::vector<TTmTbl>> steps;
  for (size_t t = 0; t < occ.Trains.size(); ++t) {
    const TLineTrain& tr = occ.Trains[t];
    bool late = false;
    for (size_t c = 0; c < tr.Calls.size(); ++c) {
      late = late || run.ArrDelay[t][c] > 0 || run.DepDelay[t][c] > 0;
    }
    if (!late) continue;
    const TCarObj* car = brd.FindCar(tr.CarNo, "");
    if (car == nullptr) continue;
    auto it = steps.find(car->Id);
    if (it == steps.end()) it = steps.emplace(car->Id, car->TmTbl.Items()).first;
    std::vector<TTmTbl>& st = it->second;
    const TTrainRange r = car->FindTrain(tr.TrNo);
    size_t c = 0;
    for (int32_t i = r.First; i >= 0 && i <= r.Last && c < tr.Calls.size(); ++i) {
      if (brd.FindStaInLine(SplitEntCode(st[i].Loc).Id) < 0) continue;
      // A train that starts without standing time keeps doing so, only later.
      const bool startsRunning = i == r.First && st[i].TmStart == st[i].TmEnd;
      if (run.ArrDelay[t][c] > 0 && i != r.First) st[i].TmStart += run.ArrDelay[t][c];
      if (run.DepDelay[t][c] > 0 && st[i].TmEnd >= 0) st[i].TmEnd += run.DepDelay[t][c];
      if (startsRunning) st[i].TmStart = st[i].TmEnd;
      ++c;
    }
  }
  std::map<int32_t, TTmTblObj> out;
  for (auto& [carNo, st] : steps) {
    // Later steps of the set (other lines, its next trains) cannot happen before the delayed
    // ones: they wait for the set.
    for (size_t i = 2; i < st.size(); ++i) {
      const TTmTbl& prev = st[i - 1];
      const int32_t lo = prev.TmEnd >= 0 ? prev.TmEnd : prev.TmStart;
      if (st[i].TmStart < lo) {
        const int32_t shift = lo - st[i].TmStart;
        st[i].TmStart += shift;
        if (st[i].TmEnd >= 0) st[i].TmEnd = std::max(st[i].TmEnd + shift, st[i].TmStart);
      }
    }
    TTmTblObj& tbl = out[carNo];
    for (const TTmTbl& s : st) tbl.Add(s);
  }
  return out;
}

}  // namespace ramvel
