// Train location: where every train set is at a time of day and the polyline of its body,
// from its timetable alone.
#include <algorithm>

#include "engine/UrwBrdData.h"
#include "engine/UrwPlayDay.h"

namespace ramvel {

namespace {

constexpr int kMaxBodyElements = 10000;

int32_t ItemCount(const TCarObj& car) { return static_cast<int32_t>(car.PathItems.size()); }



}  // namespace

const std::vector<TCarObj*>& TBrdData::TickCars(bool rebuild) {
  const bool same = !rebuild && tickCarsEnds_ == TCarLife::Ends() &&
                    tickCars_.size() == Cars.size() &&
                    (Cars.empty() || (tickCars_.front() == Cars.begin()->second.get() &&
                                      tickCars_.back() == Cars.rbegin()->second.get()));
  if (same) return tickCars_;
  tickCars_.clear();
  tickCars_.reserve(Cars.size());
  for (const auto& [key, car] : Cars) tickCars_.push_back(car.get());
  tickCarsEnds_ = TCarLife::Ends();
  return tickCars_;
}

void TBrdData::CalcCarLocation(int32_t step, int32_t now) {
  const TPlayDaySwap played(*this);  // the delayed day, when run mode shows it
  for (TCarObj* carPtr : TickCars(step == 0)) {
    TCarObj& car = *carPtr;
    car.StaPosKind = TStaPosKind::kElsewhere;
    if (step == 0) {
      ActionAtInit(car, now);
      continue;
    }
    switch (car.LocState) {
      case kLocStand:
        if (car.LocTm > now || car.LocTm < 0) {
          CalcStopPoint(car);
        } else {
          ActionAtInit(car, now);
        }
        break;
      case kLocHidden:
        if (car.LocTm <= now) ActionAtInit(car, now);
        break;
      case kLocRun:
        if (AdvanceCar(car, car.LocTm, car.RunTm + static_cast<float>(step))) {
          LayCarBody(car);
        } else {
          ActionAtInit(car, now);
        }
        break;
      default:
        break;
    }
  }
}

void TBrdData::ActionAtInit(TCarObj& car, int32_t now) {
  car.BodyPts.clear();
  if (car.TmTbl.Count() == 0) {
    car.LocState = kLocError;
    return;
  }
  const int32_t b = car.StepAt(now);
  const TTmTbl cur = car.TmTbl.Get(b);
  const TEntCode at = SplitEntCode(cur.Loc);
  TStaObj* s = FindSta(at.Id, "ActionAtInit-STA-4");
  if (s == nullptr) {
    car.LocState = kLocError;
    return;
  }
  const bool last = b + 1 >= car.TmTbl.Count();
  // A last step whose departure has passed has nowhere to run: the set stays where it is.
  if (cur.TmEnd < 0 || cur.TmEnd > now || last) {
    if (cur.TmEnd >= 0 && !last) {
      car.LocTm = cur.TmEnd;
    } else {
      car.LocTm = last ? kDayEnd : car.TmTbl.At(b + 1).TmStart;
    }
    car.LocState = s->ShowDetail ? kLocStand : kLocHidden;
    if (car.LocState == kLocStand) {
      car.PathItems = {IntText(cur.Loc)};
      CalcStopPoint(car);
    }
    return;
  }
  const TTmTbl next = car.TmTbl.Get(b + 1);
  car.PassFrom = IsPass(cur);
  car.PassTo = IsPass(next);
  const TEntCode to = SplitEntCode(next.Loc);
  TStaObj* s2 = FindSta(to.Id, "ActionAtInit-STA-5");
  if (s2 == nullptr) {
    car.LocState = kLocError;
    return;
  }
  if (!(s->NearFlag || s->ShowDetail || s2->ShowDetail)) {
    car.LocState = kLocHidden;
    car.LocTm = next.TmStart;
    return;
  }
  std::vector<std::string> routes;
  GetPathToNextSta(at.Id, at.Slot, at.Side, to.Id, to.Slot, routes);
  if (routes.empty()) {
    car.LocState = kLocError;
    return;
  }
  car.LocState = kLocRun;
  car.PathItems = SplitComma(TextAfter(routes.front(), '='));
  if (!AdvanceCar(car, 0, static_cast<float>(now - cur.TmEnd))) {
    // The timetable allows more than the run needs: wait at the end of the route.
    car.LocTm = ItemCount(car) - 1;
    car.RunTm = StaRunTime(car, true, car.PassTo);
  }
  LayCarBody(car);
}

void TBrdData::CalcStopPoint(TCarObj& car) {
  car.RunTm = 0;
  const TEntCode at = SplitEntCode(car.PathItems.empty() ? 0 : IntOr0(car.PathItems[0]));
  TStaObj* s = FindSta(at.Id, "CalcStopPoint-STA-3");
  if (s == nullptr) {
    car.LocState = kLocError;
    return;
  }
  float rem = 0;
  s->LayBodyOnSta(car, TStaObj::HomePathText(MakeEntCode(at.Id, 0, at.Side), at.Slot), rem);
}

bool TBrdData::AdvanceCar(TCarObj& car, int32_t a, float x) {
  const int32_t n = ItemCount(car);
  const float v = car.SpdMps();
  for (; a < n; ++a) {
    float t = 0;
    if (a == 0 || a == n - 1) {
      FindSta(PartCode(car.PathItems[static_cast<size_t>(a)]), "CalcCarLocation-STA-2");
      t = a == 0 ? StaRunTime(car, false, car.PassFrom) : StaRunTime(car, true, car.PassTo);
    } else if (const TRailObj* rail =
                   FindRail(IntOr0(car.PathItems[static_cast<size_t>(a)]), "CalcCarLocation-RAIL-2")) {
      t = static_cast<float>(rail->Length) / v;
    }
    if (x < t) {
      car.LocTm = a;
      car.RunTm = x;
      return true;
    }
    x -= t;
  }
  return false;
}

void TBrdData::LayCarBody(TCarObj& car) {
  const int32_t n = ItemCount(car);
  float rem = 0;
  for (int32_t i = car.LocTm, laid = 0; i >= 0 && i < n && laid < kMaxBodyElements;
       --i, ++laid) {
    const std::string& item = car.PathItems[static_cast<size_t>(i)];
    if (i == 0 || i == n - 1) {
      TStaObj* sta = FindSta(PartCode(item), "CalcCarLocation-STA-1");
      if (sta == nullptr) break;
      sta->LayBodyOnSta(car, item, rem);
    } else {
      const TRailObj* rail = FindRail(IntOr0(item), "CalcCarLocation-RAIL-1");
      if (rail == nullptr) break;
      LayBodyOnRail(*rail, car, IntOr0(item), rem, GetRailConnObj(*rail, 1),
                    GetRailConnObj(*rail, 0));
    }
    if (rem <= 0) break;
  }
}

}  // namespace ramvel
