// The sample's timetable plan: which train sets run on each line, where they stand at the start
// and the end of the day, and when each of their trains is meant to leave. The diagram editor
// works out every arrival; a train that comes in late only delays the set's next departure.
#include <algorithm>
#include <cstdlib>
#include <map>

#include "tools/MkSample.h"

namespace ramvel::mksample {

namespace {

constexpr int32_t kMin = 60;
constexpr int32_t kHour = 3600;
// Clock times as seconds from 04:00.
constexpr int32_t At(int32_t h, int32_t m) { return (h - 4) * kHour + m * kMin; }

constexpr int32_t kDown = 1, kUp = -1;
// How long a local may be held on 川辺's loops while a faster train overtakes it.
constexpr int32_t kLoopSlack = 8 * kMin;

// Colours as the car file keeps them, 0x00BBGGRR.
constexpr int32_t Bgr(int32_t r, int32_t g, int32_t b) { return b << 16 | g << 8 | r; }

// A train before its number is known.
struct TDraft {
  TTrainClass Class = TTrainClass::kLocal;
  int32_t Dir = kDown;
  int32_t FromSlot = 0;
  int32_t Sections = 0;
  int32_t Dep = 0;
  int32_t LastHome = 0;  // platform wanted at the terminal; 0: as the line's table says
};

struct TCarDraft {
  TCarProp Prop;
  int32_t StabSlot = 0;
  std::vector<int32_t> StabHomes;
  std::vector<TDraft> Trains;
};

// ---- The line's stations ------------------------------------------------------------------------

struct TLineInfo {
  std::vector<int32_t> Ids;  // station ids in line order
};

TLineInfo LineInfo(TBrdData& brd, const std::string& name) {
  TLineInfo info;
  for (const TLineDef& def : SampleLines()) {
    if (def.Name != name) continue;
    for (const std::string& sta : def.Stations) {
      for (auto& [key, obj] : brd.Stas) {
        if (obj->Name != sta) continue;
        info.Ids.push_back(obj->Id);
      }
    }
  }
  return info;
}

// Metres of rail between two neighbouring stations.
int32_t RailLen(TBrdData& brd, int32_t a, int32_t b) {
  for (int32_t side = 0; side < 2; ++side) {
    std::vector<std::string> list;
    brd.ListUpConnSta(a, b, list, side, 0);
    for (const std::string& line : list) {
      const std::vector<std::string> el = SplitComma(line);
      int32_t len = 0, last = 0;
      if (el.size() < 2 || !ParseInt(el.front(), len) || !ParseInt(el.back(), last)) continue;
      if (SplitEntCode(last).Id == b) return len;
    }
  }
  return 0;
}

// Seconds a train set of speed kmh needs from slot `from` over n sections stopping everywhere,
// as the editor will book it (without waits).
int32_t RunEstimate(TBrdData& brd, const TLineInfo& line, int32_t from, int32_t dir, int32_t n,
                    int32_t nCar, int32_t kmh) {
  TCarObj car;
  car.NCar = nCar;
  car.Spd = kmh;
  const int32_t halves =
      RoundInt(StaRunTime(car, false, false)) + RoundInt(StaRunTime(car, true, false));
  int32_t t = 0;
  for (int32_t j = 0; j < n; ++j) {
    const int32_t a = line.Ids[from + j * dir], b = line.Ids[from + (j + 1) * dir];
    t += halves + RoundInt(RailLen(brd, a, b) / car.SpdMps()) + (j > 0 ? 30 : 0);
  }
  return t;
}

// ---- 環状線: six train sets, three each way round, every ten minutes --------------------------

// Where a ring train set stands overnight: station slot and platform.
struct TRingSet {
  int32_t Slot;
  int32_t Home;
};

constexpr int32_t kRingLoop = 6;    // sections of one round
constexpr int32_t kRingLast = 114;  // the last departures from 中央: 24:00 down, 24:05 up
constexpr int32_t kRingHeadway = 10 * kMin;
constexpr int32_t kRingCars = 6;
constexpr int32_t kRingKmh = 100;

// Platforms of the ring's through trains: {down, up} by station slot 0..6.
int32_t RingHome(int32_t slot, int32_t dir) {
  static const int32_t kHomes[7][2] = {{1, 4}, {1, 2}, {3, 2}, {2, 1}, {2, 1}, {2, 3}, {1, 4}};
  return kHomes[slot][dir == kDown ? 0 : 1];
}

// One ring train set running direction dir and taking departure j, j + 3, j + 6 ... from 中央,
// where departure k leaves at first + 10 k minutes, up to departure kRingLast. A set that stands
// elsewhere overnight first runs to 中央 and runs its last round only as far as home again.
TCarDraft RingCar(TBrdData& brd, const TLineInfo& line, int32_t dir, int32_t j, TRingSet home,
                  int32_t first) {
  const int32_t centre = dir == kDown ? 0 : kRingLoop;  // 中央 as the start of a round
  TCarDraft car;
  car.Prop = {0, "", Bgr(154, 205, 50), kRingCars, kRingKmh};
  car.StabSlot = home.Slot;
  car.StabHomes = {home.Home};
  const int32_t toHome = std::abs(home.Slot - centre);  // sections from 中央 home
  if (toHome > 0) {
    const int32_t n = kRingLoop - toHome;
    const int32_t slot = first + j * kRingHeadway;
    const int32_t run = RunEstimate(brd, line, home.Slot, dir, n, kRingCars, kRingKmh);
    car.Trains.push_back(
        {TTrainClass::kLocal, dir, home.Slot, n, (slot - run - 3 * kMin) / 30 * 30, 0});
  }
  for (int32_t k = j; k <= kRingLast; k += 3) {
    const bool lastRound = k + 3 > kRingLast && toHome > 0;
    car.Trains.push_back({TTrainClass::kLocal, dir, centre, lastRound ? toHome : kRingLoop,
                          first + k * kRingHeadway, lastRound ? home.Home : 0});
  }
  return car;
}

std::vector<TCarDraft> RingCars(TBrdData& brd, const TLineInfo& line) {
  // Down: 中央 (slot 0) -> 東町 ... 本町 -> 中央 (slot 6); up the other way. Overnight the down
  // sets stand at 中央, 本町's and 西町's loops, the up sets at 中央, 北野's loop and 本町's.
  const TRingSet down[3] = {{0, 1}, {5, 1}, {4, 3}}, up[3] = {{6, 4}, {2, 1}, {5, 4}};
  std::vector<TCarDraft> cars;
  for (int32_t j = 0; j < 3; ++j) cars.push_back(RingCar(brd, line, kDown, j, down[j], At(5, 0)));
  for (int32_t j = 0; j < 3; ++j) cars.push_back(RingCar(brd, line, kUp, j, up[j], At(5, 5)));
  return cars;
}

// ---- 本線: locals every quarter hour, a 特急 and a 急行 each hour ------------------------------

constexpr int32_t kMainEnd = At(24, 0);  // no train leaves later, on 臨港線 either

// 特急 and 急行: down from 中央 and up from 港 once an hour each. The 特急 stands at 中央
// overnight, the 急行 at 港, whose first train comes up to 中央.
std::vector<TCarDraft> ExpressCars() {
  struct TExpress {
    TTrainClass Class;
    int32_t Down, Up;  // the first departures from 中央 and from 港
    int32_t StabSlot;
    TCarProp Prop;
  };
  const TExpress ex[] = {
      {TTrainClass::kLimited, At(5, 5), At(5, 50), 0, {0, "", Bgr(220, 30, 40), 6, 130}},
      {TTrainClass::kExpress, At(5, 35), At(5, 20), 3, {0, "", Bgr(255, 140, 0), 6, 120}},
  };
  std::vector<TCarDraft> cars;
  for (const TExpress& e : ex) {
    TCarDraft car;
    car.Prop = e.Prop;
    car.StabSlot = e.StabSlot;
    car.StabHomes = e.StabSlot == 0 ? std::vector<int32_t>{3, 2} : std::vector<int32_t>{1, 2, 3, 4};
    int32_t down = e.Down, up = e.Up;
    if (e.StabSlot == 3) {
      car.Trains.push_back({e.Class, kUp, 3, 3, up, 0});
      up += kHour;
    }
    for (; down <= kMainEnd; down += kHour, up += kHour) {
      car.Trains.push_back({e.Class, kDown, 0, 3, down, 0});
      if (up > kMainEnd) break;
      car.Trains.push_back({e.Class, kUp, 3, 3, up, 0});
    }
    cars.push_back(std::move(car));
  }
  return cars;
}

// Locals: departure k from 中央 at 05:00 + 15 k goes to set k mod 3, which comes back from 港
// 26 minutes later. Set 0 starts at 中央, sets 1 and 2 come up from 港 first.
std::vector<TCarDraft> LocalCars() {
  constexpr int32_t kBack = 26 * kMin, kHeadway = 15 * kMin, kLast = 76;
  const int32_t firstUp[3] = {0, At(4, 56), At(5, 11)};
  std::vector<TCarDraft> cars;
  for (int32_t j = 0; j < 3; ++j) {
    TCarDraft car;
    car.Prop = {0, "", Bgr(30, 110, 230), 4, 100};
    car.StabSlot = j == 0 ? 0 : 3;
    car.StabHomes = j == 0 ? std::vector<int32_t>{2, 3} : std::vector<int32_t>{3, 4, 1, 2};
    if (j > 0) car.Trains.push_back({TTrainClass::kLocal, kUp, 3, 3, firstUp[j], 0});
    for (int32_t k = j; k <= kLast; k += 3) {
      const int32_t down = At(5, 0) + k * kHeadway;
      car.Trains.push_back({TTrainClass::kLocal, kDown, 0, 3, down, 0});
      if (down + kBack > kMainEnd) break;
      car.Trains.push_back({TTrainClass::kLocal, kUp, 3, 3, down + kBack, 0});
    }
    cars.push_back(std::move(car));
  }
  return cars;
}

// The expresses first: they are entered before the locals, which then wait for them.
std::vector<TCarDraft> MainCars() {
  std::vector<TCarDraft> cars = ExpressCars();
  for (TCarDraft& c : LocalCars()) cars.push_back(std::move(c));
  return cars;
}

// ---- 臨港線: a shuttle every half hour ---------------------------------------------------------

std::vector<TCarDraft> HarbourCars() {
  std::vector<TCarDraft> cars;
  for (int32_t j = 0; j < 2; ++j) {
    TCarDraft car;
    car.Prop = {0, "", Bgr(150, 80, 200), 3, 90};
    car.StabSlot = j;  // set 0 at 港, set 1 at 東町
    car.StabHomes = j == 0 ? std::vector<int32_t>{5, 6} : std::vector<int32_t>{3, 4};
    int32_t dir = j == 0 ? kDown : kUp;
    for (int32_t dep = At(5, 0); dep <= kMainEnd; dep += 30 * kMin, dir = -dir) {
      car.Trains.push_back({TTrainClass::kLocal, dir, dir == kDown ? 0 : 1, 1, dep, 0});
    }
    cars.push_back(std::move(car));
  }
  return cars;
}

// ---- Stops -------------------------------------------------------------------------------------

// The platforms wanted at station `slot` of the line by a train of class cls running dir.
TStopPlan StopAt(const std::string& line, int32_t slot, int32_t dir, TTrainClass cls) {
  if (line == "環状線") return {false, {RingHome(slot, dir)}};
  if (line == "臨港線") return {false, {slot == 0 ? 5 : 3, slot == 0 ? 6 : 4}};
  const bool local = cls == TTrainClass::kLocal;
  switch (slot) {
    case 0:
      return {false, {2, 3}};
    case 1:  // 川辺: stopping trains on the loops, the others on the main tracks
      return local ? TStopPlan{false, {dir == kDown ? 4 : 1}, kLoopSlack}
                   : TStopPlan{true, {dir == kDown ? 3 : 2}};
    case 2:  // 浜田: the 特急 passes
      return {cls == TTrainClass::kLimited, {dir == kDown ? 2 : 1}};
    default:
      return {false, local ? std::vector<int32_t>{3, 4, 1, 2} : std::vector<int32_t>{1, 2, 4, 3}};
  }
}

std::string KindText(TTrainClass cls) {
  switch (cls) {
    case TTrainClass::kLimited:
      return TrainKindText({"特急", "しおかぜ"});
    case TTrainClass::kExpress:
      return TrainKindText({"急行", "みなと"});
    default:
      return TrainKindText({"普通", ""});
  }
}

// First train numbers by line and class: down trains count up by two from the base, up trains
// from base + 1.
int32_t NumberBase(const std::string& line, TTrainClass cls) {
  if (line == "環状線") return 1001;
  if (line == "臨港線") return 3001;
  if (cls == TTrainClass::kLimited) return 1;
  if (cls == TTrainClass::kExpress) return 101;
  return 201;
}

TTrainPlan MakeTrainPlan(const std::string& line, const TDraft& d) {
  TTrainPlan t;
  t.Kind = KindText(d.Class);
  t.Dir = d.Dir;
  t.Dep = d.Dep;
  for (int32_t j = 1; j <= d.Sections; ++j) {
    TStopPlan s = StopAt(line, d.FromSlot + j * d.Dir, d.Dir, d.Class);
    if (j == d.Sections && d.LastHome > 0) s.Homes = {d.LastHome};
    t.Stops.push_back(std::move(s));
  }
  return t;
}

// Numbers the trains of a line in the order of their planned departures.
void NumberTrains(const std::string& line, const std::vector<TCarDraft>& drafts,
                  std::vector<TCarPlan>& cars) {
  struct TRef {
    int32_t Dep;
    size_t Car, Train;
  };
  std::map<std::pair<int, int>, std::vector<TRef>> groups;  // (class, dir)
  for (size_t c = 0; c < drafts.size(); ++c) {
    for (size_t i = 0; i < drafts[c].Trains.size(); ++i) {
      const TDraft& d = drafts[c].Trains[i];
      groups[{static_cast<int>(d.Class), d.Dir}].push_back({d.Dep, c, i});
    }
  }
  for (auto& [key, refs] : groups) {
    std::stable_sort(refs.begin(), refs.end(),
                     [](const TRef& a, const TRef& b) { return a.Dep < b.Dep; });
    const int32_t base = NumberBase(line, static_cast<TTrainClass>(key.first));
    for (size_t n = 0; n < refs.size(); ++n) {
      const int32_t no = base + (key.second == kDown ? 0 : 1) + 2 * static_cast<int32_t>(n);
      cars[refs[n].Car].Trains[refs[n].Train].TrNo = IntText(no);
    }
  }
}

TLinePlan MakePlan(const std::string& line, const std::vector<TCarDraft>& drafts) {
  TLinePlan plan;
  plan.Line = line;
  for (const TCarDraft& d : drafts) {
    TCarPlan car;
    car.Prop = d.Prop;
    car.StabSlot = d.StabSlot;
    car.StabHomes = d.StabHomes;
    for (const TDraft& t : d.Trains) car.Trains.push_back(MakeTrainPlan(line, t));
    plan.Cars.push_back(std::move(car));
  }
  NumberTrains(line, drafts, plan.Cars);
  return plan;
}

}  // namespace

std::vector<TLinePlan> SamplePlans(TBrdData& brd) {
  return {
      MakePlan("環状線", RingCars(brd, LineInfo(brd, "環状線"))),
      MakePlan("本線", MainCars()),
      MakePlan("臨港線", HarbourCars()),
  };
}

}  // namespace ramvel::mksample
