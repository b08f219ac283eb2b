// Laying a train's body along a station path, from the head backwards.
#include <cmath>

#include "model/UrwCarObj.h"
#include "model/UrwStaObj.h"

namespace ramvel {

namespace {

bool Covers(const StaRail& r, float u) {
  const int32_t ui = RoundInt(u);
  return r.P[0].x <= ui && ui <= r.P[1].x;
}

// v at along-axis position u on the segment, clamped to its ends.
float VAt(const StaRail& r, float u) {
  if (r.P[1].x == r.P[0].x) return static_cast<float>(r.P[0].y);
  float f = (u - static_cast<float>(r.P[0].x)) / static_cast<float>(r.P[1].x - r.P[0].x);
  f = std::fmin(1.0f, std::fmax(0.0f, f));
  return static_cast<float>(r.P[0].y) + f * static_cast<float>(r.P[1].y - r.P[0].y);
}

void AddPoint(const TStaObj& sta, TCarObj& car, float u, float v) {
  const TPointF p = LocalToScreen(sta, u, v, 1, 0);
  car.BodyPts.push_back(PtToTenthsText(p.x, p.y));
}

void NoteSegment(TCarObj& car, const StaRail& r) {
  if (r.Mark != 2) car.StaPosKind = static_cast<TStaPosKind>(r.Mark);
}

}  // namespace

void TStaObj::LayFrom(TCarObj& car, const std::vector<StaRail*>& segs, int32_t dir, float pos,
                      float& rem) {
  int head = -1;
  for (size_t i = 0; i < segs.size() && head < 0; ++i) {
    if (segs[i] != nullptr && Covers(*segs[i], pos)) head = static_cast<int>(i);
  }
  if (head < 0) {
    // Nothing holds the head: lay nothing rather than guess.
    rem = 0;
    return;
  }
  NoteSegment(car, *segs[static_cast<size_t>(head)]);
  AddPoint(*this, car, pos, VAt(*segs[static_cast<size_t>(head)], pos));
  float tail = pos + static_cast<float>(dir) * rem;
  if (dir < 0) {
    rem = tail >= 0 ? 0 : -tail;
    tail = std::fmax(tail, 0.0f);
  } else {
    rem = tail > kStaAxisM ? tail - kStaAxisM : 0;
    tail = std::fmin(tail, static_cast<float>(kStaAxisM));
  }
  const int k = dir < 0 ? 0 : 1;
  int i = head;
  for (; i > 0; --i) {
    const StaRail* r = segs[static_cast<size_t>(i)];
    if (r == nullptr) continue;
    if (Covers(*r, tail)) break;
    NoteSegment(car, *r);
    AddPoint(*this, car, static_cast<float>(r->P[k].x), static_cast<float>(r->P[k].y));
  }
  if (segs[static_cast<size_t>(i)] != nullptr) {
    NoteSegment(car, *segs[static_cast<size_t>(i)]);
    AddPoint(*this, car, tail, VAt(*segs[static_cast<size_t>(i)], tail));
  }
  if (car.StaPosKind != TStaPosKind::kElsewhere) car.CurSta = Id;
}

void TStaObj::LayBodyOnSta(TCarObj& car, std::string_view path, float& rem) {
  // Laid at every clock tick: the path is read in place, and its pieces go to a list kept per
  // thread, so nothing is allocated once the list has held the longest path.
  thread_local std::vector<StaRail*> segs;
  segs.clear();
  int32_t code0 = 0;
  bool firstIsHome = false;
  for (size_t i = 0, start = 0;; ++i) {
    const size_t bar = path.find('|', start);
    const std::string_view item =
        path.substr(start, bar == std::string_view::npos ? path.npos : bar - start);
    if (i == 0) {
      ParseInt(item, code0);
    } else {
      const TPathItem it = ParseItem(item);
      if (i == 1) firstIsHome = it.Kind == kRailHome;
      segs.push_back(GetRailInSta(it.Kind, it.No));
    }
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  const int32_t s = SplitEntCode(code0).Side;
  if (segs.empty()) {
    rem = 0;
    return;
  }
  if (rem != 0) {
    LayFrom(car, segs, s == 1 ? -1 : 1, s == 1 ? float{kStaAxisM} : 0.0f, rem);
    return;
  }
  rem = static_cast<float>(car.NCar * kCarLenM);
  car.BodyPts.clear();
  const float e = car.SpdMps() * car.RunTm;
  if (!firstIsHome) {
    const float d = static_cast<float>(kStaMidM + car.NCar * kCarLenM / 2);
    const float x = car.PassTo ? e : e - e * e / (4 * d);
    if (s == 1) {
      LayFrom(car, segs, 1, kStaAxisM - x, rem);
    } else {
      LayFrom(car, segs, -1, x, rem);
    }
  } else {
    const float d = static_cast<float>(kStaMidM - car.NCar * kCarLenM / 2);
    const float x = car.PassFrom ? e : e * e / (4 * d);
    if (s == 1) {
      LayFrom(car, segs, -1, kStaAxisM - (d - x), rem);
    } else {
      LayFrom(car, segs, 1, d - x, rem);
    }
  }
}

}  // namespace ramvel
