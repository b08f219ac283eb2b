// Timetable occupancy: the earliest start of a section, the booking of a section, and the
// rebuilding of all platform, turnout and block occupancy of the current line from its trains.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <unordered_set>

#include "engine/UrwBrdData.h"

namespace ramvel {

// Notes the objects a booking books in, for unbooking one train without the others.
struct TBookTrace {
  static void Note(TBrdData& brd, const std::string& label, TStaObj* sta) {
    if (brd.trace_ != nullptr) {
      brd.trace_->Add(sta);
    } else if (brd.booked_) {
      brd.booked_->Strays[label].Add(sta);
    }
  }
  static void Note(TBrdData& brd, const std::string& label, TBlkObj* blk) {
    if (brd.trace_ != nullptr) {
      brd.trace_->Add(blk);
    } else if (brd.booked_) {
      brd.booked_->Strays[label].Add(blk);
    }
  }
};

void TBrdData::TBookedObjs::Add(TStaObj* s) {
  if (std::find(Stas.begin(), Stas.end(), s) == Stas.end()) Stas.push_back(s);
}
void TBrdData::TBookedObjs::Add(TBlkObj* b) {
  if (std::find(Blks.begin(), Blks.end(), b) == Blks.end()) Blks.push_back(b);
}

namespace {

constexpr int32_t kMaxHoldSec = 1800;  // a start held this long is impossible
constexpr int kMaxStartTries = 1000;

// A running time as an interval length. A train set without speed (a damaged car file) would
// give an infinite time; it is held to the end of the day instead of overflowing.
int32_t Sec(float t) {
  if (!std::isfinite(t) || t >= static_cast<float>(kDayEnd)) return kDayEnd;
  return t <= 0 ? 0 : RoundInt(t);
}

// The arriving half (edge to stopping point) or the leaving half of a station, at full speed
// when the train passes, at half speed when it stops.
int32_t HalfSec(const TCarObj& car, bool arriving, bool passes) {
  return Sec(StaRunTime(car, arriving, passes));
}

int32_t BlkSec(const TBlkObj& blk, const TCarObj& car) { return Sec(blk.RunTime(car.SpdMps())); }

// One route split into its elements, with the running time of each.
class TRouteRun {
 public:
  TRouteRun(TBrdData& brd, const TCarObj& car, const std::string& route)
      : brd_(brd), car_(car), el_(SplitComma(route)) {}

  size_t Count() const { return el_.size(); }
  bool IsSta(size_t i) const { return i == 0 || i + 1 == el_.size(); }
  const std::string& El(size_t i) const { return el_[i]; }

  TStaObj* Sta(size_t i, std::string_view tag) const {
    return brd_.FindSta(PartCode(el_[i]), tag);
  }
  TBlkObj* Blk(size_t i) const { return brd_.FindBlkEnd(IntOr0(el_[i]), "BLOCK"); }

  // How long the train runs element i: the leaving half of the departure station, a block's
  // running time, the arriving half of the arrival station. The test and the booking use the
  // same durations, so that what is tested free is what gets booked.
  int32_t RunSec(size_t i, bool passTo, bool passFrom) const {
    if (i == 0) return HalfSec(car_, false, passFrom);
    if (i + 1 == el_.size()) return HalfSec(car_, true, passTo);
    const TBlkObj* blk = Blk(i);
    return blk == nullptr ? 0 : BlkSec(*blk, car_);
  }

  // Seconds after time until element i is free for dur seconds; 0 for a missing object.
  int32_t Delay(size_t i, int32_t time, int32_t dur) const {
    if (IsSta(i)) {
      TStaObj* sta = Sta(i, "CalcTimeCanStart-STA-1");
      return sta == nullptr ? 0 : sta->CanOccupy(time, dur, el_[i]);
    }
    const TBlkObj* blk = Blk(i);
    return blk == nullptr ? 0 : blk->WaitFor(time, dur);
  }

 private:
  TBrdData& brd_;
  const TCarObj& car_;
  std::vector<std::string> el_;
};

}  // namespace

// ---- One section -------------------------------------------------------------------------------

namespace {

// The search of CalcTimeCanStart: the wait after t until every element of the route is free
// while the train runs it; -1 when the wait would reach maxHold, and attempts out when the
// search gave up.
int32_t StartWait(const TRouteRun& run, int32_t t, bool passTo, bool passFrom, int32_t maxHold,
                  bool& gaveUp) {
  const size_t n = run.Count();
  size_t i = 0;
  int32_t time = t, wait = 0;
  int attempts = 0;
  while (i < n && attempts < kMaxStartTries) {
    // Element i and the one after it must both be free while the train runs element i.
    const int32_t dur = run.RunSec(i, passTo, passFrom);
    int32_t delay = run.Delay(i, time, dur);
    if (delay <= 0 && i + 1 < n) delay = run.Delay(i + 1, time, dur);
    if (delay <= 0) {
      time += dur;
      ++i;
    } else {
      wait += delay;
      if (wait >= maxHold) return -1;
      time = t + wait;
      i = 0;
    }
    ++attempts;
  }
  gaveUp = i < n;
  return gaveUp ? -1 : wait;
}

}  // namespace

bool TBrdData::CalcTimeCanStart(const TCarObj& car, const std::string& route, int32_t& t,
                                bool passTo, bool passFrom) {
  bool gaveUp = false;
  const int32_t wait = StartWait(TRouteRun(*this, car, route), t, passTo, passFrom, kMaxHoldSec,
                                 gaveUp);
  // Giving up without a free start: booking the wait so far would meet a train.
  if (gaveUp) ShowPlainMsg("BrdData.CalcTimeCanStartで無限ループ？");
  if (wait < 0) return false;
  t += wait;
  return true;
}

int32_t TBrdData::EarliestStart(const TCarObj& car, const std::string& route, int32_t t,
                                bool passTo, bool passFrom) {
  bool gaveUp = false;
  const int32_t wait =
      StartWait(TRouteRun(*this, car, route), t, passTo, passFrom, kDayEnd - t, gaveUp);
  return wait < 0 ? -1 : t + wait;
}

bool TBrdData::StandingSetAt(int32_t staId, int32_t home, int32_t from, int32_t until,
                             int32_t carNo, TTmTbl& stand) {
  TStaObj* sta = FindSta(staId, "");
  if (sta == nullptr) return false;
  const std::string own = StandLabel(carNo);
  for (const StaRail& r : sta->Rails) {
    if (r.Kind != kRailHome || r.No != home || !r.Occ) continue;
    for (const TTmTbl& b : r.Occ->Items()) {
      if (b.Txt.size() > 2 && b.Txt.front() == '[' && b.Txt != own && b.TmStart <= until &&
          b.TmEnd > from) {
        stand = b;
        return true;
      }
    }
  }
  return false;
}

void TBrdData::RegPathToNextSta(const TCarObj& car, const std::string& label, TTmTbl& step,
                                int32_t depAtArrival, int32_t start, bool passTo, bool passFrom,
                                const std::string& route) {
  const TRouteRun run(*this, car, route);
  const size_t n = run.Count();
  int32_t time = start, loc = 0;
  for (size_t i = 0; i < n; ++i) {
    int32_t d = 0;
    if (run.IsSta(i)) {
      d = run.RunSec(i, passTo, passFrom);
      if (TStaObj* sta = run.Sta(i, "RegPathToNextSta-STA-1")) {
        TBookTrace::Note(*this, label, sta);
        const int32_t at = sta->OccupyRoute(label, time, run.El(i), i == 0 ? -1 : depAtArrival, d);
        if (i > 0 && i + 1 == n) loc = at;
      }
    } else if (TBlkObj* blk = run.Blk(i)) {
      TBookTrace::Note(*this, label, blk);
      d = BlkSec(*blk, car);
      blk->Occupy(label, time, d);
    }
    time += d;
  }
  step = TTmTbl{"", time, -1, loc};
}

// ---- Rebuilding the line's occupancy -----------------------------------------------------------

namespace {

// One train on the current line: its train set, number and step range.
struct TLineTrain {
  const TCarObj& Car;
  const std::string& TrNo;
  TTrainRange Range;

  const TTmTbl& Step(int32_t i) const { return Car.TmTbl.At(i); }
  TEntCode Place(int32_t i) const { return SplitEntCode(Step(i).Loc); }
  // A train's first step is where it starts, never a pass, whatever its times.
  bool PassesAt(int32_t i) const { return i != Range.First && IsPass(Step(i)); }
};

std::string FirstRoute(const std::vector<std::string>& routes) {
  return routes.empty() ? std::string() : TextAfter(routes.front(), '=');
}

// The way over the rails from step `from` to step `to`, split into its elements; empty when
// there is none.
std::vector<std::string> RailRoute(TBrdData& brd, const TLineTrain& tr, int32_t from, int32_t to) {
  const TEntCode f = tr.Place(from), t = tr.Place(to);
  std::vector<std::string> routes;
  brd.GetPathToNextSta(f.Id, f.Slot, f.Side, t.Id, t.Slot, routes);
  return SplitComma(FirstRoute(routes));
}

// The way into the line station of step i from the step before it: only the line station's
// part is booked, from the arriving half before the arrival until the departure.
void RegEntry(TBrdData& brd, const TLineTrain& tr, int32_t i) {
  const std::vector<std::string> el = RailRoute(brd, tr, i - 1, i);
  if (el.empty()) return;
  TStaObj* sta = brd.FindSta(tr.Place(i).Id, "InitObjTmTbl-STA-1");
  if (sta == nullptr) return;
  TBookTrace::Note(brd, tr.TrNo, sta);
  const TTmTbl& at = tr.Step(i);
  const int32_t d = HalfSec(tr.Car, true, tr.PassesAt(i));
  sta->OccupyRoute(tr.TrNo, at.TmStart - d, el.back(), at.TmEnd, d);
}

// The way out of the line station of step i to the step after it.
void RegExit(TBrdData& brd, const TLineTrain& tr, int32_t i) {
  const std::vector<std::string> el = RailRoute(brd, tr, i, i + 1);
  if (el.empty()) return;
  TStaObj* sta = brd.FindSta(tr.Place(i).Id, "InitObjTmTbl-STA-1");
  if (sta == nullptr) return;
  TBookTrace::Note(brd, tr.TrNo, sta);
  const TTmTbl& at = tr.Step(i);
  const bool passes = tr.PassesAt(i);
  sta->OccupyRoute(tr.TrNo, at.TmEnd, el.front(), -1, HalfSec(tr.Car, false, passes));
  // A stop's platform is held until the departure; at the train's first step the train set's
  // stand up to the departure is booked with the stands.
  TTmTbl occ;
  if (!passes && i != tr.Range.First) sta->OccupyHome(at.TmStart, tr.Place(i).Slot, tr.TrNo, occ);
}

// The section from the line station of step i to its line neighbour of step i + 1.
void RegSection(TBrdData& brd, const TLineTrain& tr, int32_t i) {
  const TEntCode f = tr.Place(i), t = tr.Place(i + 1);
  std::vector<std::string> routes;
  brd.ListUpNextStaCanGo(f.Id, f.Slot, f.Side, t.Id, t.Slot, routes);
  const TTmTbl& from = tr.Step(i);
  const TTmTbl& to = tr.Step(i + 1);
  TTmTbl scratch;
  brd.RegPathToNextSta(tr.Car, tr.TrNo, scratch, to.TmEnd, from.TmEnd, tr.PassesAt(i + 1),
                       tr.PassesAt(i), FirstRoute(routes));
}

// Every section of train trNo between neighbouring line stations, and every way into and out
// of the line, over its whole timetable.
void RegTrain(TBrdData& brd, const std::string& trNo) {
  const TCarObj* car = brd.FindTrainCar(trNo, "InitObjTmTbl-TR-1");
  if (car == nullptr) return;
  const TLineTrain tr{*car, trNo, car->FindTrain(trNo)};
  if (tr.Range.First < 0) return;
  for (int32_t i = tr.Range.First; i <= tr.Range.Last; ++i) {
    const int32_t sta = tr.Place(i).Id;
    if (brd.FindStaInLine(sta) < 0) continue;
    if (i > tr.Range.First && !brd.AreLineNeighbours(tr.Place(i - 1).Id, sta)) {
      RegEntry(brd, tr, i);
    }
    if (i == tr.Range.Last || tr.Step(i).TmEnd < 0) continue;  // it ends here
    if (brd.AreLineNeighbours(sta, tr.Place(i + 1).Id)) {
      RegSection(brd, tr, i);
    } else {
      RegExit(brd, tr, i);
    }
  }
}

std::string MoveOutMsg(int32_t carNo, const std::string& staName, int32_t home) {
  return "\n編成" + IntText(carNo) + "は" + staName + "駅の" + IntText(home) +
         "番ホームから回送が必要です";
}

// Until when platform home is free of trains from t on (82800: to the end of the day), -1 when a
// train holds it at t. Stands are left out: a set that must make room for another set's stand is
// told by the audit, and a stand booked whole up to the end of the day (a set whose next train is
// not entered yet) must not ask every later set to move.
int32_t TrainFreeUntil(const TStaObj& sta, int32_t home, int32_t t) {
  int32_t free = kDayEnd;
  for (const StaRail& r : sta.Rails) {
    if (r.Kind != kRailHome || r.No != home || !r.Occ) continue;
    for (const TTmTbl& b : r.Occ->Items()) {
      if (b.TmEnd <= t || (!b.Txt.empty() && b.Txt.front() == '[')) continue;
      free = std::min(free, b.TmStart <= t ? -1 : b.TmStart);
    }
  }
  return free;
}

// The train set stands at place from `from` until `until`: booked as "[n]" on a line station,
// with a line in msg when the platform is not free for the whole time. The whole stand is
// booked, also where something else holds the platform, so that the meeting shows as an overlap
// and entries made later see the set for as long as it stands.
void StandCheck(TBrdData& brd, const TCarObj& car, int32_t place, int32_t from, int32_t until,
                TCarIdSet& carIds, std::string& msg) {
  const TEntCode at = SplitEntCode(place);
  if (brd.FindStaInLine(at.Id) < 0) return;
  if (carIds.count(CarIdKey(car.Id)) == 0) carIds.insert(ParkedCarIdKey(car.Id));
  TStaObj* sta = brd.FindSta(at.Id, "InitObjTmTbl-STA-2");
  if (sta == nullptr) return;
  const int32_t free = TrainFreeUntil(*sta, at.Slot, from);
  if (free < until && from + until > 0) msg += MoveOutMsg(car.Id, sta->Name, at.Slot);
  if (until > from) {
    sta->OccupyRoute(StandLabel(car.Id), from,
                     TStaObj::HomePathText(MakeEntCode(sta->Id, 0, 0), at.Slot), until, 0);
  }
}

// Walks the timetable backwards so that each stand knows when the set leaves again.
void RegStands(TBrdData& brd, const TCarObj& car, TCarIdSet& carIds, std::string& msg) {
  int32_t until = kDayEnd;
  for (int32_t i = car.TmTbl.Count() - 1; i >= 0; --i) {
    TTmTbl s;
    switch (car.TmTbl.GetKind(i, s)) {
      case TStepKind::kStart:
        until = s.TmEnd;
        break;
      case TStepKind::kArrival:
        StandCheck(brd, car, s.Loc, s.TmStart, until, carIds, msg);
        break;
      case TStepKind::kStabling:
        StandCheck(brd, car, s.Loc, 0, until, carIds, msg);
        break;
      default:
        break;
    }
  }
}


// What a train's booking depends on: its train set, the set's length and speed, and its steps.
uint64_t BookingSum(const TCarObj& car, const TTrainRange& r) {
  uint64_t h = 1469598103934665603ull;
  const auto mix = [&h](int64_t v) {
    for (int k = 0; k < 8; ++k) {
      h ^= static_cast<uint64_t>(v >> (8 * k)) & 0xFF;
      h *= 1099511628211ull;
    }
  };
  const float spd = car.SpdMps();
  uint32_t bits = 0;
  std::memcpy(&bits, &spd, sizeof bits);
  mix(car.Id);
  mix(car.NCar);
  mix(bits);
  mix(r.First);
  for (int32_t i = r.First; i <= r.Last && i >= 0; ++i) {
    const TTmTbl& s = car.TmTbl.At(i);
    mix(s.Loc);
    mix(s.TmStart);
    mix(s.TmEnd);
  }
  return h;
}

// Removes from the objects every interval and turnout setting not labelled with one of the
// kept trains: the trains re-booked, stands (all booked again) and anything booked there
// without a train behind it, as a full booking would not book it either.
void Unbook(const std::set<TStaObj*>& stas, const std::set<TBlkObj*>& blks,
            const std::unordered_set<std::string_view>& keep) {
  const auto gone = [&keep](const std::string& label) { return keep.count(label) == 0; };
  for (TStaObj* sta : stas) {
    for (StaRail& r : sta->Rails) {
      if (!r.Occ) continue;
      for (int32_t i = r.Occ->Count() - 1; i >= 0; --i) {
        if (gone(r.Occ->At(i).Txt)) r.Occ->Delete(i);
      }
    }
    const size_t uses = sta->PtUses.size();
    std::erase_if(sta->PtUses, [&](const TPtUse& u) { return gone(u.Label); });
    if (uses == sta->PtUses.size()) continue;
    // A turnout slot goes to the first setting booked: the settings kept are set again.
    std::vector<TPtUse> kept;
    kept.swap(sta->PtUses);
    sta->ResetPtOcc();
    for (const TPtUse& u : kept) {
      sta->PtSet(u.Pt, u.R, u.First * kPtSlotSec, (u.Last - u.First) * kPtSlotSec);
    }
    sta->PtUses = std::move(kept);
  }
  for (TBlkObj* blk : blks) {
    for (int32_t i = blk->Occ.Count() - 1; i >= 0; --i) {
      if (gone(blk->Occ.At(i).Txt)) blk->Occ.Delete(i);
    }
  }
}

}  // namespace

void TBrdData::InitObjTmTbl(const std::vector<std::string>& trNos, TCarIdSet& carIds,
                            std::string& msg) {
  for (const std::string& id : LineStas) {
    if (TStaObj* sta = FindSta(id, "InitObjTmTbl-STA-3")) {
      sta->ResetOcc();
      sta->ResetPtOcc();
    }
  }
  for (auto& [key, blk] : Blks) blk->ClearOcc();
  auto booking = std::make_unique<TBooking>();
  for (const std::string& trNo : trNos) {
    TBookedTrain& b = booking->Trains[trNo];
    if (const TCarObj* car = FindTrainCar(trNo, "")) b.Sum = BookingSum(*car, car->FindTrain(trNo));
    trace_ = &b.Objs;
    RegTrain(*this, trNo);
    trace_ = nullptr;
  }
  booked_ = std::move(booking);
  msg.clear();
  for (const auto& [key, car] : Cars) RegStands(*this, *car, carIds, msg);
}

void TBrdData::RebookLine(const std::vector<std::string>& trNos, TCarIdSet& carIds,
                          std::string& msg) {
  if (!booked_) {
    InitObjTmTbl(trNos, carIds, msg);
    return;
  }
  std::map<std::string, TBookedTrain> next;
  std::vector<std::pair<std::string, uint64_t>> toBook;
  std::set<TStaObj*> stas;
  std::set<TBlkObj*> blks;
  const auto clear = [&](const TBookedObjs& objs) {
    stas.insert(objs.Stas.begin(), objs.Stas.end());
    blks.insert(objs.Blks.begin(), objs.Blks.end());
  };
  for (const std::string& trNo : trNos) {
    const TCarObj* car = FindTrainCar(trNo, "");
    const uint64_t sum = car != nullptr ? BookingSum(*car, car->FindTrain(trNo)) : 0;
    const auto it = booked_->Trains.find(trNo);
    if (it != booked_->Trains.end() && it->second.Sum == sum && !booked_->Strays.count(trNo)) {
      next.emplace(trNo, std::move(it->second));
    } else {
      if (it != booked_->Trains.end()) clear(it->second.Objs);
      toBook.push_back({trNo, sum});
    }
    if (it != booked_->Trains.end()) booked_->Trains.erase(it);
  }
  for (const auto& [trNo, gone] : booked_->Trains) clear(gone.Objs);
  for (const auto& [label, objs] : booked_->Strays) clear(objs);
  std::unordered_set<std::string_view> keep;
  for (const auto& [trNo, b] : next) keep.insert(trNo);
  Unbook(stas, blks, keep);
  booked_->Trains.clear();
  booked_->Strays.clear();
  for (const auto& [trNo, sum] : toBook) {
    TBookedTrain& b = next[trNo];
    b.Sum = sum;
    trace_ = &b.Objs;
    RegTrain(*this, trNo);
    trace_ = nullptr;
  }
  booked_->Trains = std::move(next);
  // Every stand is booked again after the trains, as a full booking books them.
  for (const std::string& id : LineStas) {
    TStaObj* sta = FindSta(id, "");
    if (sta == nullptr) continue;
    for (StaRail& r : sta->Rails) {
      if (r.Kind != kRailHome || !r.Occ) continue;
      for (int32_t i = r.Occ->Count() - 1; i >= 0; --i) {
        const std::string& txt = r.Occ->At(i).Txt;
        if (!txt.empty() && txt.front() == '[') r.Occ->Delete(i);
      }
    }
  }
  msg.clear();
  for (const auto& [key, car] : Cars) RegStands(*this, *car, carIds, msg);
}

}  // namespace ramvel
