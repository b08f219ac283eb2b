// Timetable occupancy: the earliest start of a section, the booking of a section, and the
// rebuilding of all platform, turnout and block occupancy of the current line from its trains.
#include <cmath>

#include "engine/UrwBrdData.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

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

  // The duration used while testing element i: the stations' halves are taken the other way
  // round than when booking.
  int32_t TestSec(size_t i, bool passTo, bool passFrom) const {
    if (i == 0) return HalfSec(car_, true, passFrom);
    if (i + 1 == el_.size()) return HalfSec(car_, false, passTo);
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

bool TBrdData::CalcTimeCanStart(const TCarObj& car, const std::string& route, int32_t& t,
                                bool passTo, bool passFrom) {
  const TRouteRun run(*this, car, route);
  const size_t n = run.Count();
  size_t i = 0;
  int32_t time = t, wait = 0;
  int attempts = 0;
  while (i < n && attempts < kMaxStartTries) {
    // Element i and the one after it must both be free while the train runs element i.
    const int32_t dur = run.TestSec(i, passTo, passFrom);
    int32_t delay = run.Delay(i, time, dur);
    if (delay <= 0 && i + 1 < n) delay = run.Delay(i + 1, time, dur);
    if (delay <= 0) {
      time += dur;
      ++i;
    } else {
      wait += delay;
      if (wait >= kMaxHoldSec) return false;
      time = t + wait;
      i = 0;
    }
    ++attempts;
  }
  t += wait;
  if (i < n) ShowPlainMsg("BrdData.CalcTimeCanStartで無限ループ？");
  return true;
}

void TBrdData::RegPathToNextSta(const TCarObj& car, const std::string& label, TTmTbl& step,
                                int32_t depAtArrival, int32_t start, bool passTo, bool passFrom,
                                const std::string& route) {
  const TRouteRun run(*this, car, route);
  const size_t n = run.Count();
  int32_t time = start, loc = 0;
  for (size_t i = 0; i < n; ++i) {
    int32_t d = 0;
    if (i == 0) {
      d = HalfSec(car, false, passFrom);
      if (TStaObj* sta = run.Sta(i, "RegPathToNextSta-STA-1")) {
        sta->OccupyRoute(label, time, run.El(i), -1, d);
      }
    } else if (i + 1 == n) {
      d = HalfSec(car, true, passTo);
      if (TStaObj* sta = run.Sta(i, "RegPathToNextSta-STA-1")) {
        loc = sta->OccupyRoute(label, time, run.El(i), depAtArrival, d);
      }
    } else if (TBlkObj* blk = run.Blk(i)) {
      d = BlkSec(*blk, car);
      blk->Occupy(label, time, d);
    }
    time += d;
  }
  step = TTmTbl{"", time, -1, loc};
}

// ---- Rebuilding the line's occupancy -----------------------------------------------------------

namespace {

// The train set's step that a cell of the diagram shows: the last step of the train at the
// cell's station arriving at the cell's time; FindTrainStep when none matches exactly.
int32_t StepOfCell(const TCarObj& car, const std::string& trNo, const TTmTbl& cell) {
  const TTrainRange range = car.FindTrain(trNo);
  const int32_t staId = SplitEntCode(cell.Loc).Id;
  for (int32_t i = range.Last; i >= range.First && i >= 0; --i) {
    const TTmTbl& s = car.TmTbl.At(i);
    if (SplitEntCode(s.Loc).Id == staId && s.TmStart == cell.TmStart) return i;
  }
  return car.FindTrainStep(trNo, staId);
}

// Whether the train runs through the station of cell s without stopping. A train's origin has
// equal times too, but it starts there.
bool PassesAt(const TDiaObj& dia, int32_t k, int32_t s) {
  const TTmTbl& cell = dia.Cell(k, s);
  return cell.TmStart == cell.TmEnd && !dia.IsOriginCell(k, s);
}

std::string FirstRoute(const std::vector<std::string>& routes) {
  return routes.empty() ? std::string() : TextAfter(routes.front(), '=');
}

// The way into the line from the step before the train's first cell, over the rails: only the
// line station's part is booked.
void RegEntry(TBrdData& brd, const TCarObj& car, const TDiaObj& dia, int32_t k) {
  const TTrInfo& tr = dia.TrInfo[k];
  const TTmTbl& cell = dia.Cell(k, tr.FirstSta);
  const int32_t i = StepOfCell(car, tr.TrNo, cell);
  if (i < 2) return;  // no step before it but the stabling step
  const TEntCode prev = SplitEntCode(car.TmTbl.At(i - 1).Loc);
  const TEntCode at = SplitEntCode(cell.Loc);
  std::vector<std::string> routes;
  brd.GetPathToNextSta(prev.Id, prev.Slot, prev.Side, at.Id, at.Slot, routes);
  const std::vector<std::string> el = SplitComma(FirstRoute(routes));
  if (el.empty()) return;
  TStaObj* sta = brd.FindSta(at.Id, "InitObjTmTbl-STA-1");
  if (sta == nullptr) return;
  const int32_t d = HalfSec(car, true, PassesAt(dia, k, tr.FirstSta));
  sta->OccupyRoute(tr.TrNo, cell.TmStart - d, el.back(), cell.TmEnd, d);
}

// The way out of the line to the step after the train's last cell.
void RegExit(TBrdData& brd, const TCarObj& car, const TDiaObj& dia, int32_t k) {
  const TTrInfo& tr = dia.TrInfo[k];
  const int32_t s = dia.LastSta(k);
  const TTmTbl& cell = dia.Cell(k, s);
  const int32_t i = StepOfCell(car, tr.TrNo, cell);
  if (i < 0 || i + 1 > car.FindTrain(tr.TrNo).Last) return;
  const TEntCode at = SplitEntCode(cell.Loc);
  const TEntCode next = SplitEntCode(car.TmTbl.At(i + 1).Loc);
  std::vector<std::string> routes;
  brd.GetPathToNextSta(at.Id, at.Slot, at.Side, next.Id, next.Slot, routes);
  const std::vector<std::string> el = SplitComma(FirstRoute(routes));
  if (el.empty()) return;
  TStaObj* sta = brd.FindSta(at.Id, "InitObjTmTbl-STA-1");
  if (sta == nullptr) return;
  const bool passes = PassesAt(dia, k, s);
  sta->OccupyRoute(tr.TrNo, cell.TmEnd, el.front(), -1, HalfSec(car, false, passes));
  TTmTbl occ;
  if (!passes) sta->OccupyHome(cell.TmStart, at.Slot, tr.TrNo, occ);
}

// Every section of train k on the line, with its ways in and out.
void RegTrain(TBrdData& brd, const TDiaObj& dia, int32_t k) {
  const TTrInfo& tr = dia.TrInfo[k];
  if (tr.CellCount <= 0 || tr.FirstSta < 0) return;
  const TCarObj* car = brd.FindTrainCar(tr.TrNo, "InitObjTmTbl-TR-1");
  if (car == nullptr) return;
  const TTmTbl* from = &dia.Cell(k, tr.FirstSta);
  bool passFrom = false;
  if (!tr.IsOrigin) {
    passFrom = from->TmStart == from->TmEnd;
    RegEntry(brd, *car, dia, k);
  }
  for (int32_t c = 1; c < tr.CellCount; ++c) {
    const TTmTbl* to = &dia.Cell(k, tr.FirstSta + c * tr.Dir);
    const TEntCode f = SplitEntCode(from->Loc), t = SplitEntCode(to->Loc);
    std::vector<std::string> routes;
    brd.ListUpNextStaCanGo(f.Id, f.Slot, f.Side, t.Id, t.Slot, routes);
    const bool passTo = to->TmStart == to->TmEnd;
    TTmTbl scratch;
    brd.RegPathToNextSta(*car, tr.TrNo, scratch, to->TmEnd, from->TmEnd, passTo, passFrom,
                         FirstRoute(routes));
    from = to;
    passFrom = passTo;
  }
  if (from->TmEnd >= 0) RegExit(brd, *car, dia, k);
}

std::string MoveOutMsg(int32_t carNo, const std::string& staName, int32_t home) {
  return "\n編成" + IntText(carNo) + "は" + staName + "駅の" + IntText(home) +
         "番ホームから回送が必要です";
}

// The train set stands at place from `from` until `until`: booked as "[n]" on a line station,
// with a line in msg when the platform is not free for the whole time.
void StandCheck(TBrdData& brd, const TCarObj& car, int32_t place, int32_t from, int32_t until,
                TDiaObj& dia, std::string& msg) {
  const TEntCode at = SplitEntCode(place);
  if (brd.FindStaInLine(at.Id) < 0) return;
  if (dia.CarIds.count(CarIdKey(car.Id)) == 0) dia.CarIds.insert(ParkedCarIdKey(car.Id));
  TStaObj* sta = brd.FindSta(at.Id, "InitObjTmTbl-STA-2");
  if (sta == nullptr) return;
  TTmTbl occ;
  const int32_t free = sta->OccupyHome(from, at.Slot, "[" + IntText(car.Id) + "]", occ);
  if (free < until && from + until > 0) msg += MoveOutMsg(car.Id, sta->Name, at.Slot);
}

// Walks the timetable backwards so that each stand knows when the set leaves again.
void RegStands(TBrdData& brd, const TCarObj& car, TDiaObj& dia, std::string& msg) {
  int32_t until = kDayEnd;
  for (int32_t i = car.TmTbl.Count() - 1; i >= 0; --i) {
    TTmTbl s;
    switch (car.TmTbl.GetKind(i, s)) {
      case 1:
        until = s.TmEnd;
        break;
      case 4:
        StandCheck(brd, car, s.Loc, s.TmStart, until, dia, msg);
        break;
      case 0:
        StandCheck(brd, car, s.Loc, 0, until, dia, msg);
        break;
      default:
        break;
    }
  }
}

}  // namespace

void TBrdData::InitObjTmTbl(TDiaObj& dia, std::string& msg) {
  for (const std::string& id : LineStas) {
    if (TStaObj* sta = FindSta(id, "InitObjTmTbl-STA-3")) {
      sta->ResetOcc();
      sta->ResetPtOcc();
    }
  }
  for (auto& [key, blk] : Blks) blk->ClearOcc();
  for (int32_t k = 0; k < dia.TrCount; ++k) RegTrain(*this, dia, k);
  msg.clear();
  for (const auto& [key, car] : Cars) RegStands(*this, *car, dia, msg);
}

}  // namespace ramvel
