// The synthetic timetable: services laid out over the day per direction, then placed one by
// one against those placed before them, a local held at a passing station (or its departure
// moved) until it keeps two minutes from every train of its direction.
#include "tools/oud/UrwOudSynth.h"

#include <algorithm>
#include <cmath>

#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace {

constexpr int32_t kHeadway = 2;   // minutes between two trains of a direction at any station
constexpr int32_t kRunMin = 2;    // minutes from one station to the next, either kind
constexpr int32_t kStopMin = 1;   // a stop
constexpr int32_t kMaxHold = 20;  // a train held longer than this in all is left out
constexpr int32_t kDayFrom = 5 * 60, kDayTo = 24 * 60 + 30;

struct TService {
  bool Express = false;
  int32_t From = 0, To = 0;  // travel indices, From < To
  int32_t Dep = 0;           // minutes from midnight at From
};

// A train as placed: its departure and arrival per travel index (-1 outside its run).
struct TPlaced {
  TService Svc;
  std::vector<int32_t> Arr, Dep;
};

class TDirection {
 public:
  TDirection(int32_t n, bool up) : n_(n), up_(up), intervals_(static_cast<size_t>(n - 1)) {}

  int32_t Station(int32_t k) const { return up_ ? n_ - 1 - k : k; }
  bool Passing(int32_t k) const {
    const int32_t s = Station(k);
    return s % 5 == 0 || s == n_ - 1;
  }
  bool Stops(const TService& svc, int32_t k) const { return !svc.Express || Passing(k); }

  // Places the service if it can be held into a free path; false when it is left out.
  bool Place(const TService& svc, std::vector<TPlaced>& out) {
    std::vector<int32_t> hold(static_cast<size_t>(n_), 0);
    for (int32_t tries = 0; tries < 60; ++tries) {
      TPlaced p{svc, std::vector<int32_t>(static_cast<size_t>(n_), -1),
                std::vector<int32_t>(static_cast<size_t>(n_), -1)};
      Simulate(svc, hold, p);
      int32_t k = 0, need = 0;
      if (!FirstConflict(p, k, need)) {
        for (int32_t i = svc.From; i < svc.To; ++i) {
          intervals_[static_cast<size_t>(i)].push_back({p.Dep[i], p.Arr[i + 1]});
        }
        out.push_back(std::move(p));
        return true;
      }
      int32_t j = k;  // the latest stop at or before k where waiting is possible
      while (j > svc.From && !(Passing(j) && Stops(svc, j))) --j;
      hold[static_cast<size_t>(j)] += need;
      int32_t total = 0;
      for (const int32_t h : hold) total += h;
      if (total > kMaxHold) return false;
    }
    return false;
  }

 private:
  void Simulate(const TService& svc, const std::vector<int32_t>& hold, TPlaced& p) const {
    int32_t t = svc.Dep + hold[static_cast<size_t>(svc.From)];
    p.Dep[svc.From] = t;
    for (int32_t k = svc.From + 1; k <= svc.To; ++k) {
      t += kRunMin;
      p.Arr[k] = t;
      if (k == svc.To) break;
      if (Stops(svc, k)) t += kStopMin + hold[static_cast<size_t>(k)];
      p.Dep[k] = t;
    }
  }

  // The first interval where p comes within the headway of a placed train or overtakes it,
  // and how many minutes later p must run there to follow it.
  bool FirstConflict(const TPlaced& p, int32_t& at, int32_t& need) const {
    for (int32_t k = p.Svc.From; k < p.Svc.To; ++k) {
      const int32_t d = p.Dep[k], a = p.Arr[k + 1];
      for (const auto& [pd, pa] : intervals_[static_cast<size_t>(k)]) {
        const bool ahead = pd <= d - kHeadway && pa <= a - kHeadway;
        const bool behind = pd >= d + kHeadway && pa >= a + kHeadway;
        if (ahead || behind) continue;
        at = k;
        need = std::max(pd + kHeadway - d, pa + kHeadway - a);
        return true;
      }
    }
    return false;
  }

  int32_t n_;
  bool up_;
  std::vector<std::vector<std::pair<int32_t, int32_t>>> intervals_;
};

bool Peak(int32_t m) { return (m >= 7 * 60 && m < 9 * 60 + 30) || (m >= 17 * 60 && m < 19 * 60 + 30); }

// Departures every `peak` minutes in the peaks and `off` minutes otherwise, from..to.
std::vector<int32_t> Every(int32_t peak, int32_t off, int32_t from, int32_t to, int32_t offset) {
  std::vector<int32_t> out;
  for (int32_t m = from + offset; m < to; m += Peak(m) ? peak : off) out.push_back(m);
  return out;
}

// count departures spread over the day, twice as dense in the peaks as peakWeight says.
std::vector<int32_t> Spread(int32_t count, double peakWeight, int32_t offset) {
  std::vector<double> cum{0};
  for (int32_t m = kDayFrom; m < kDayTo; ++m) cum.push_back(cum.back() + (Peak(m) ? peakWeight : 1));
  std::vector<int32_t> out;
  for (int32_t j = 0; j < count; ++j) {
    const double q = (j + 0.5) / count * cum.back();
    const size_t at = static_cast<size_t>(std::upper_bound(cum.begin(), cum.end(), q) - cum.begin());
    out.push_back(kDayFrom + static_cast<int32_t>(at) - 1 + offset);
  }
  return out;
}

TOudDia MakeDia(const std::string& name, int32_t n, int32_t trains, double peakWeight,
                int32_t cut, size_t& placed) {
  std::vector<TPlaced> all[2];
  for (int32_t d = 0; d < 2; ++d) {
    TDirection dir(n, d == 1);
    const auto range = [&](int32_t a, int32_t b, bool express, int32_t dep) {
      const int32_t ka = d == 1 ? n - 1 - b : a, kb = d == 1 ? n - 1 - a : b;
      return TService{express, ka, kb, dep};
    };
    std::vector<TService> fast, slow;
    for (const int32_t m : Every(peakWeight > 1.5 ? 10 : 15, 20, kDayFrom + 30, 23 * 60 + 30, 0)) {
      fast.push_back(range(0, n - 1, true, m));
    }
    for (const int32_t m : Every(15, 30, kDayFrom, 23 * 60 + 30, 5)) slow.push_back(range(0, n - 1, false, m));
    const int32_t mid = n / 2;
    for (const int32_t m : Every(15, 30, kDayFrom, kDayTo, 8)) {
      slow.push_back(range(0, mid, false, m));
      slow.push_back(range(mid, n - 1, false, m + 3));
    }
    // Locals over stretches of about ten stations fill the rest.
    std::vector<int32_t> cuts;
    for (int32_t s = 0; s < n - 1; s += 10) cuts.push_back(s);
    cuts.push_back(n - 1);
    const int32_t segs = static_cast<int32_t>(cuts.size()) - 1;
    const int32_t rest =
        std::max(0, trains / 2 - static_cast<int32_t>(fast.size() + slow.size()));
    for (int32_t s = 0; s < segs; ++s) {
      const int32_t count = rest / segs + (s < rest % segs ? 1 : 0);
      for (const int32_t m : Spread(count, peakWeight, s % 3)) {
        slow.push_back(range(cuts[static_cast<size_t>(s)], cuts[static_cast<size_t>(s) + 1], false, m));
      }
    }
    std::stable_sort(slow.begin(), slow.end(),
                     [](const TService& a, const TService& b) { return a.Dep < b.Dep; });
    for (const TService& s : fast) dir.Place(s, all[d]);
    for (const TService& s : slow) dir.Place(s, all[d]);
  }
  placed = all[0].size() + all[1].size();
  // The cut: the earliest departures of both directions.
  std::vector<std::pair<int32_t, const TPlaced*>> order;
  for (int32_t d = 0; d < 2; ++d) {
    for (const TPlaced& p : all[d]) order.push_back({p.Dep[p.Svc.From] * 2 + d, &p});
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  if (cut > 0 && order.size() > static_cast<size_t>(cut)) order.resize(static_cast<size_t>(cut));
  TOudDia dia;
  dia.Name = name;
  for (int32_t d = 0; d < 2; ++d) {
    int32_t serial = 0;
    for (const auto& [key, p] : order) {
      if (key % 2 != d) continue;
      TOudTrain t;
      t.Nobori = d == 1;
      t.Kind = p->Svc.Express ? 1 : 0;
      t.No = IntText(1001 + 2 * serial++ + d) + (p->Svc.Express ? "E" : "M");
      t.Cells.assign(static_cast<size_t>(n), TOudCell{});
      for (int32_t k = p->Svc.From; k <= p->Svc.To; ++k) {
        TOudCell& c = t.Cells[static_cast<size_t>(d == 1 ? n - 1 - k : k)];
        const bool stops = k == p->Svc.From || k == p->Svc.To || !p->Svc.Express ||
                           (d == 1 ? (n - 1 - k) % 5 == 0 : k % 5 == 0);
        c.Stop = stops ? TOudStop::kStop : TOudStop::kPass;
        if (!stops) continue;
        if (k > p->Svc.From) c.Arr = p->Arr[k] * 60 % 86400;
        if (k < p->Svc.To) c.Dep = p->Dep[k] * 60 % 86400;
      }
      dia.Trains.push_back(std::move(t));
    }
  }
  return dia;
}

}  // namespace

TOudDoc MakeSynthOud(const TOudSynthShape& shape) {
  TOudDoc doc;
  doc.Second = true;
  doc.FileType = "OuDiaSecond.1.07";
  doc.LineName = "合成線";
  const int32_t n = std::max(2, shape.Stations);
  for (int32_t s = 0; s < n; ++s) {
    TOudStation st;
    st.Name = "駅" + IntText(s + 1);
    st.Format = "Jikokukeisiki_Hatsuchaku";
    if (s % 5 == 0 || s == n - 1) st.Size = "Ekikibo_Syuyou";
    doc.Stations.push_back(std::move(st));
  }
  doc.Kinds.push_back(TOudKind{"普通", "普", 0xFF000000u});
  doc.Kinds.push_back(TOudKind{"急行", "急", 0xFF0000FFu});
  // Some services find no free path and are left out: more are laid out until the timetable
  // comes within 2 % of the trains asked for.
  const auto dia = [&](const std::string& name, int32_t trains, double peakWeight) {
    TOudDia out;
    for (int32_t extra = 0, round = 0; round < 4; ++round) {
      size_t placed = 0;
      out = MakeDia(name, n, trains + extra, peakWeight, shape.Cut, placed);
      if (placed * 50 >= static_cast<size_t>(trains) * 49) break;
      extra += trains - static_cast<int32_t>(placed);
    }
    return out;
  };
  doc.Dias.push_back(dia("平日", shape.Trains, 2.0));
  doc.Dias.push_back(dia("土休日", shape.Trains * shape.HolidayShare / 100, 1.2));
  doc.StartTime = 4 * 3600;
  return doc;
}

}  // namespace ramvel
