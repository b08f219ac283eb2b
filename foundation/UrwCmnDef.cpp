// Identifiers, entry codes, plane geometry and the base record of stations and rails.
#include "foundation/UrwCmnDef.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace ramvel {

int32_t IdKind(int32_t id) { return std::abs(id) % 10; }

int32_t MakeEntCode(int32_t id, int32_t slot, int32_t side) {
  const int32_t code = id + slot * 10;
  return side == 1 ? -code : code;
}

TEntCode SplitEntCode(int32_t code) {
  TEntCode e;
  const int32_t a = std::abs(code);
  e.Side = code < 0 ? 1 : 0;
  e.Slot = (a / 10) % 100;
  e.Id = a - e.Slot * 10;
  return e;
}

int32_t RoundInt(double v) { return static_cast<int32_t>(std::nearbyint(v)); }
int64_t RoundInt64(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

// ---- Geometry ----------------------------------------------------------------------------------

float DistPt(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int64_t dx = int64_t{x2} - x1;
  const int64_t dy = int64_t{y2} - y1;
  return static_cast<float>(std::sqrt(static_cast<long double>(dx * dx + dy * dy)));
}

float NormalizeAngle(float a) {
  if (a < -1.5807963267948966) return static_cast<float>(a + std::numbers::pi);
  if (a < 1.5707963267948966) return a;
  return static_cast<float>(a - std::numbers::pi);
}

bool PtEqual(TPoint p, TPoint q) { return p.x == q.x && p.y == q.y; }

bool InRange(int32_t v, int32_t lo, int32_t hi) { return lo <= v && v <= hi; }

namespace {

double Orient(TPointF a, TPointF b, TPointF c) {
  return (double{a.x} - b.x) * (double{c.y} - a.y) + (double{a.y} - b.y) * (double{a.x} - c.x);
}

bool Overlap(float a0, float a1, float b0, float b1) {
  return std::max(std::min(a0, a1), std::min(b0, b1)) <= std::min(std::max(a0, a1), std::max(b0, b1));
}

}  // namespace

bool SegCross(TPointF p0, TPointF p1, TPointF q0, TPointF q1) {
  const double d0 = Orient(p0, p1, q0);
  const double d1 = Orient(p0, p1, q1);
  if (d0 != 0 || d1 != 0) {
    if (d0 * d1 > 0) return false;
    return Orient(q0, q1, p0) * Orient(q0, q1, p1) <= 0;
  }
  if (p0.x != p1.x) return Overlap(p0.x, p1.x, q0.x, q1.x);
  return Overlap(p0.y, p1.y, q0.y, q1.y);
}

TNearHit PtNearSeg(TPoint a, TPoint b, TPoint p, int32_t r) {
  const int64_t lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
  if (p.x < int64_t{a.x} - r || p.x > int64_t{b.x} + r) return {};
  if (p.y < lo - r || p.y > hi + r) return {};
  const int64_t bx = int64_t{b.x} - a.x, by = int64_t{b.y} - a.y;
  const int64_t den = bx * bx + by * by;
  if (den == 0) return {};
  const int64_t num = -((int64_t{a.x} - p.x) * bx + (int64_t{a.y} - p.y) * by);
  const float t = static_cast<float>(static_cast<double>(num) / static_cast<double>(den));
  if (t < 0 || t > 1) return {};
  const float fx = static_cast<float>(a.x + double{t} * bx);
  const float fy = static_cast<float>(a.y + double{t} * by);
  const double ex = double{fx} - p.x, ey = double{fy} - p.y;
  if (ex * ex + ey * ey > static_cast<double>(r) * r) return {};
  return {true, t >= 0.5f};
}

float ObjLength(const TBaseObj& obj) {
  return DistPt(obj.EndPos[0].x, obj.EndPos[0].y, obj.EndPos[1].x, obj.EndPos[1].y);
}

void SetRote(TBaseObj& obj) {
  const double dy = static_cast<double>(obj.EndPos[1].y) - obj.EndPos[0].y;
  const double dx = static_cast<double>(obj.EndPos[1].x) - obj.EndPos[0].x;
  obj.Rote = NormalizeAngle(static_cast<float>(std::atan2(dy, dx)));
}

TPointF LocalToScreen(const TBaseObj& obj, float u, float v, int dir, float u0) {
  const float du = u - u0;
  return {dir * (du * obj.CosU + v * obj.NegSinV) + obj.OrgX,
          dir * (du * obj.SinU + v * obj.CosV) + obj.OrgY};
}

namespace {

void SetTransform(TBaseObj& obj, float angle, float acrossScale, float alongScale) {
  const double c = std::cos(double{angle}), s = std::sin(double{angle});
  obj.CosU = static_cast<float>(c / alongScale);
  obj.SinU = static_cast<float>(s / alongScale);
  obj.NegSinV = static_cast<float>(-s / acrossScale);
  obj.CosV = static_cast<float>(c / acrossScale);
}

}  // namespace

void SetRailTransform(TBaseObj& rail, TPoint origin, float acrossScale, float alongScale) {
  rail.OrgX = origin.x;
  rail.OrgY = origin.y;
  SetTransform(rail, rail.Rote, acrossScale, alongScale);
}

void SetStaTransform(TBaseObj& sta, float angle, float acrossScale, float alongScale) {
  // A turned station spans more than 1188 m on the board; stretch its axis over that distance.
  const float len = ObjLength(sta);
  if (sta.Rote != 0 && len > 0) alongScale = alongScale / len * kStaAxisM;
  SetTransform(sta, angle, acrossScale, alongScale);
}

int32_t CentredSlot(const TBaseObj& obj, int32_t slot, int32_t side) {
  return slot - (obj.EntCount[side] + 1) / 2;
}

TPoint EntPoint(const TBaseObj& obj, int32_t slot, int32_t side) {
  float u = 0;
  if (side == 1) u = obj.IsSta() ? float{kStaAxisM} : static_cast<float>(obj.Length);
  const float v = static_cast<float>(CentredSlot(obj, slot, side) * kSlotGapM);
  const TPointF p = LocalToScreen(obj, u, v, 1, 0);
  return {RoundInt(p.x), RoundInt(p.y)};
}

TPoint StaEntPoint(const TBaseObj& sta, int32_t slot, int32_t side) {
  return {side == 1 ? kStaAxisM : 0, CentredSlot(sta, slot, side) * kSlotGapM};
}

TSlotRun FreeSlotRun(const TBaseObj& obj, int32_t side) {
  TSlotRun run;
  const int32_t n = std::min(obj.EntCount[side], kMaxSlots);
  for (int32_t slot = 1; slot <= n; ++slot) {
    if (obj.EntConn[side][slot] == 0) {
      ++run.Count;
    } else if (run.Count > 0) {
      break;
    }
  }
  run.Any = run.Count > 0;
  return run;
}

// ---- Joining -----------------------------------------------------------------------------------

namespace {

// The next free slot after cur stepping by step, or a value outside 1..count.
int32_t NextFreeSlot(const TBaseObj& obj, int32_t end, int32_t cur, int32_t step, int32_t count) {
  do {
    cur += step;
  } while (cur >= 1 && cur <= count && obj.EntConn[end][cur] != 0);
  return cur;
}

int32_t SlotLimit(const TBaseObj& obj, int32_t end) {
  return std::clamp(obj.EntCount[end], 0, kMaxSlots);
}

}  // namespace

void ConnectEnds(TBaseObj& a, TBaseObj* b) {
  if (b == nullptr) return;
  static constexpr int kPairs[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  int32_t ea = 0, eb = 0;
  for (const auto& pr : kPairs) {
    if (PtEqual(a.EndPos[pr[0]], b->EndPos[pr[1]])) {
      ea = pr[0];
      eb = pr[1];
      break;
    }
  }
  const int32_t na = SlotLimit(a, ea), nb = SlotLimit(*b, eb);
  const int32_t bStep = ea == eb ? -1 : 1;
  int32_t bCur = ea == eb ? nb + 1 : 0;
  int32_t aCur = 0;
  for (;;) {
    aCur = NextFreeSlot(a, ea, aCur, 1, na);
    if (aCur > na) break;
    bCur = NextFreeSlot(*b, eb, bCur, bStep, nb);
    if (bCur < 1 || bCur > nb) break;
    a.EntConn[ea][aCur] = MakeEntCode(b->Id, bCur, eb);
    b->EntConn[eb][bCur] = MakeEntCode(a.Id, aCur, ea);
  }
  if (!a.IsSta()) {
    a.EntOwner[ea] = false;
    if (!b->IsSta()) b->EntOwner[eb] = true;
  } else {
    b->EntOwner[eb] = false;
  }
}

int32_t PlaceRail(TBaseObj& obj, TPoint start, TPoint delta, TBaseObj* endObj1,
                  TBaseObj* endObj2) {
  obj.EndPos[0] = {start.x * kGridM, start.y * kGridM};
  obj.EndPos[1] = {(start.x + delta.x) * kGridM, (start.y + delta.y) * kGridM};
  if (delta.x < 0 || (delta.x == 0 && delta.y > 0)) std::swap(obj.EndPos[0], obj.EndPos[1]);
  SetRote(obj);
  ConnectEnds(obj, endObj2);
  ConnectEnds(obj, endObj1);
  obj.Length = RoundInt(ObjLength(obj));
  return obj.Length;
}

// ---- Base record -------------------------------------------------------------------------------

void WriteBaseRec(const TBaseObj& obj, TextRec& rec) {
  rec.Add("LBL_ID", IntText(obj.Id));
  rec.Add("ROTE", RealText(obj.Rote));
  for (int side = 0; side < 2; ++side) {
    rec.Add(SideKey("LBL_CONN", side),
            JoinInts(std::span<const int32_t>(&obj.EntConn[side][1], kMaxSlots)));
  }
  const int32_t pos[4] = {obj.EndPos[0].x, obj.EndPos[0].y, obj.EndPos[1].x, obj.EndPos[1].y};
  rec.Add("LBL_POS", JoinInts(pos));
  rec.Add("ENT0", IntText(obj.EntCount[0]));
  rec.Add("ENT1", IntText(obj.EntCount[1]));
}

namespace {

// Fails the read unless every value lies in -limit..limit.
void CheckRange(TRecReader& rd, std::string_view key, const std::vector<int32_t>& v,
                int32_t limit) {
  for (const int32_t x : v) {
    if (!rd.Failed() && (x < -limit || x > limit)) rd.Fail(key, WhyOutOfRange(-limit, limit));
  }
}

}  // namespace

void ReadBaseRec(TBaseObj& obj, TRecReader& rd) {
  const int32_t id = rd.Int("LBL_ID");
  const float rote = rd.Real("ROTE");
  const std::vector<int32_t> conn0 = rd.Ints("LBL_CONN0", kMaxSlots);
  const std::vector<int32_t> conn1 = rd.Ints("LBL_CONN1", kMaxSlots);
  const std::vector<int32_t> pos = rd.Ints("LBL_POS", 4);
  const int32_t ent0 = rd.Count("ENT0", kMaxSlots);
  const int32_t ent1 = rd.Count("ENT1", kMaxSlots);
  CheckRange(rd, "LBL_ID", {id}, kMaxCode);
  CheckRange(rd, "LBL_CONN0", conn0, kMaxCode);
  CheckRange(rd, "LBL_CONN1", conn1, kMaxCode);
  CheckRange(rd, "LBL_POS", pos, kMaxBoardM);
  if (rd.Failed()) return;
  obj.Id = id;
  obj.Rote = rote;
  for (int slot = 1; slot <= kMaxSlots; ++slot) {
    obj.EntConn[0][slot] = conn0[slot - 1];
    obj.EntConn[1][slot] = conn1[slot - 1];
  }
  obj.EndPos[0] = {pos[0], pos[1]};
  obj.EndPos[1] = {pos[2], pos[3]};
  obj.EntCount[0] = ent0;
  obj.EntCount[1] = ent1;
}

}  // namespace ramvel
