// The live checks of placing: on land, ends that may be joined, bends of at most 23 degrees,
// clear of the sea, of other rails and stations and of rails branching from the same side.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdio>

#include "engine/UrwLayoutEdit.h"

namespace ramvel {

namespace {

TPoint Dots(TPoint metres) { return {metres.x / kGridM, metres.y / kGridM}; }
TPoint Metres(TPoint dots) { return {dots.x * kGridM, dots.y * kGridM}; }
TPointF ToF(TPoint p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

// The end of obj lying on dot d; -1 when neither does.
int32_t EndAt(const TBaseObj& obj, TPoint d) {
  for (int32_t side = 0; side < 2; ++side) {
    if (TBrdData::EndAtDot(side, d, obj)) return side;
  }
  return -1;
}

bool SideAllFree(const TBaseObj& obj, int32_t side) {
  const int32_t n = std::min(obj.EntCount[side], kMaxSlots);
  for (int32_t slot = 1; slot <= n; ++slot) {
    if (obj.EntConn[side][slot] != 0) return false;
  }
  return true;
}

int32_t FirstFreeSlot(const TBaseObj& obj, int32_t side) {
  const int32_t n = std::min(obj.EntCount[side], kMaxSlots);
  for (int32_t slot = 1; slot <= n; ++slot) {
    if (obj.EntConn[side][slot] == 0) return slot;
  }
  return 0;
}

}  // namespace

// ---- Objects at a dot --------------------------------------------------------------------------

TStaObj* TLayoutEdit::StaAtDot(TPoint d, int32_t& side) {
  for (auto& [key, sta] : Brd.Stas) {
    if (sta->Id == View.CurObjId) continue;
    side = EndAt(*sta, d);
    if (side >= 0) return sta.get();
  }
  return nullptr;
}

TRailObj* TLayoutEdit::RailAtDot(TPoint d, int32_t& side) {
  for (auto& [key, rail] : Brd.Rails) {
    side = EndAt(*rail, d);
    if (side >= 0) return rail.get();
  }
  return nullptr;
}

// ---- CheckPut ----------------------------------------------------------------------------------

bool TLayoutEdit::CheckPut(bool forSta, TPoint p, TPoint v) {
  putWhy_.clear();
  std::set<int32_t> excl{View.CurObjId};
  if (v.x == 0 && v.y == 0) return false;
  if (!View.Land.IsLand(p.x, p.y)) {
    SetStatus(1, "海上には設置できません");
    return false;
  }
  const TPoint e{p.x + v.x, p.y + v.y};
  if (CheckEndPoint(forSta, p, 1, v, excl) || CheckEndPoint(forSta, e, -1, v, excl)) return false;
  if (CheckSeaAndCross(p, v, excl)) return false;
  char buf[96];
  const TPoint s0 = Metres(p);
  std::snprintf(buf, sizeof buf, "at(%d,%d)", s0.x, s0.y);
  std::string text = buf;
  if (View.EditMode == kEditPutRail) {
    const double len = std::hypot(static_cast<double>(v.x), static_cast<double>(v.y));
    std::snprintf(buf, sizeof buf, " - 長さ %dm", RoundInt(len * kGridM));
    text += buf;
  }
  SetStatus(1, text);
  return true;
}

// True when the end at dot d (sign +1 the start, -1 the far end) cannot be joined.
bool TLayoutEdit::CheckEndPoint(bool forSta, TPoint d, int32_t sign, TPoint v,
                                std::set<int32_t>& excl) {
  int32_t side = 0;
  if (TStaObj* sta = StaAtDot(d, side)) {
    excl.insert(sta->Id);
    if (forSta) {
      SetStatus(1, "駅と駅を直接接続することはできません");
      return true;
    }
    if (CheckWithObj(forSta, d, sign, v, *sta)) return true;
    for (auto& [key, rail] : Brd.Rails) {
      if (EndAt(*rail, d) < 0) continue;
      const TPoint r{rail->EndPos[1].x - rail->EndPos[0].x, rail->EndPos[1].y - rail->EndPos[0].y};
      if (int64_t{r.x} * v.y - int64_t{r.y} * v.x == 0) {
        SetStatus(1, "分岐レールと重なっています");
        return true;
      }
      excl.insert(rail->Id);
    }
    return false;
  }
  if (TRailObj* rail = RailAtDot(d, side)) {
    excl.insert(rail->Id);
    return CheckWithObj(forSta, d, sign, v, *rail);
  }
  return false;
}

// True when the new object may not meet o at dot d: no entries there, or a bend over 23°.
bool TLayoutEdit::CheckWithObj(bool forSta, TPoint d, int32_t sign, TPoint v, const TBaseObj& o) {
  if (forSta) {
    const TStaObj* placing = Brd.FindSta(View.CurObjId, "");
    if (placing != nullptr && placing->EntCount[sign > 0 ? 0 : 1] <= 0) {
      SetStatus(1, "駅のエントリがない側には接続できません");
      return true;
    }
  }
  const int32_t n = EndAt(o, d);
  if (n < 0) return false;
  if (o.IsSta() && o.EntCount[n] <= 0) {
    SetStatus(1, "駅のエントリがない側には接続できません");
    return true;
  }
  const TPoint a = Dots({o.EndPos[1 - n].x - o.EndPos[n].x, o.EndPos[1 - n].y - o.EndPos[n].y});
  const double lenV = std::hypot(static_cast<double>(v.x), static_cast<double>(v.y));
  const double lenA = std::hypot(static_cast<double>(a.x), static_cast<double>(a.y));
  if (lenV == 0 || lenA == 0) return false;
  const double e = (static_cast<double>(a.x) * v.x + static_cast<double>(a.y) * v.y) * sign;
  const double c = e / lenV / lenA;
  if (c > -kCosMaxBend) {
    // Straight on, the two directions are opposite (c = -1); the bend is what is left of 180°.
    const double bend = 180.0 - std::acos(std::clamp(c, -1.0, 1.0)) * 180.0 / std::numbers::pi;
    // Whole degrees, unless they would read as the limit itself.
    char deg[16];
    std::snprintf(deg, sizeof deg, std::lround(bend) > kMaxBendDeg ? "%.0f" : "%.2f", bend);
    SetStatus(1, "曲がりが" + IntText(kMaxBendDeg) + "度を超えています（" + deg + "度）");
    return true;
  }
  return false;
}

bool TLayoutEdit::CheckSeaAndCross(TPoint p, TPoint v, const std::set<int32_t>& excl) {
  const TPoint e{p.x + v.x, p.y + v.y};
  const TPoint ev = View.LandDotToPix(e.x, e.y);
  if (ev.x < 0 || ev.x > Brd.ScrWidth || ev.y < 0 || ev.y > Brd.ScrHeight) {
    SetStatus(1, "表示エリアからはみ出ています");
    return true;
  }
  const TPointF s0 = ToF(Metres(p)), s1 = ToF(Metres(e));
  for (const TSeaEdge& g : View.SeaEdges) {
    if (SegCross(s0, s1, ToF({g.X1, g.Y1}), ToF({g.X2, g.Y2}))) {
      SetStatus(1, "海上には設置できません");
      return true;
    }
  }
  const auto crosses = [&](const auto& list) {
    for (const auto& [key, obj] : list) {
      if (excl.count(obj->Id) > 0) continue;
      if (SegCross(s0, s1, ToF(obj->EndPos[0]), ToF(obj->EndPos[1]))) return true;
    }
    return false;
  };
  if (crosses(Brd.Rails)) {
    SetStatus(1, "レールと交差しています");
    return true;
  }
  if (crosses(Brd.Stas)) {
    SetStatus(1, "駅と交差しています");
    return true;
  }
  return false;
}

// ---- Connections of a new rail -----------------------------------------------------------------

bool TLayoutEdit::GetConnectedObj(TPoint p, TPoint q, TConnAt& out) {
  out = {};
  int32_t side = 0;
  TBaseObj* obj = StaAtDot(p, side);
  if (obj == nullptr) obj = RailAtDot(p, side);
  if (obj == nullptr) return true;
  out.Obj = obj;
  out.Free = FreeSlotRun(*obj, side).Count;
  if (!obj->IsSta() || SideAllFree(*obj, side)) return true;
  if (CrossesBranch(static_cast<TStaObj&>(*obj), side, q)) {
    ShowMsgBox(kCapError, "駅からの分岐レールと交差しています");
    return false;
  }
  return true;
}

// Whether a rail from the first free entry of the station's side towards dot q would cross a
// track of a rail already joined to that side, all in view pixels.
bool TLayoutEdit::CrossesBranch(TStaObj& sta, int32_t side, TPoint q) {
  const int32_t free = FirstFreeSlot(sta, side);
  if (free == 0) return false;
  SetViewTransform(sta);
  const TPointF f = ToF(EntPoint(sta, free, side));
  const TPointF qv = ToF(View.LandDotToPix(q.x, q.y));
  const int32_t n = std::min(sta.EntCount[side], kMaxSlots);
  for (int32_t i = 1; i <= n; ++i) {
    const int32_t code = sta.EntConn[side][i];
    if (code == 0) continue;
    const TEntCode c = SplitEntCode(code);
    TRailObj* rail = Brd.FindRail(c.Id, "GetConnectedObj-RAIL-1");
    if (rail == nullptr) continue;
    SetViewTransform(*rail);
    const TPointF a = ToF(EntPoint(sta, i, side));
    const TPointF b = ToF(EntPoint(*rail, c.Slot, 1 - c.Side));
    if (SegCross(a, b, qv, f)) return true;
  }
  return false;
}

// The transform of the board view, so that entry positions are view pixels even for objects
// made since the last recompute.
void TLayoutEdit::SetViewTransform(TBaseObj& obj) {
  const TPoint origin = View.BrdToPix(obj.EndPos[0]);
  if (obj.IsSta()) {
    obj.OrgX = origin.x;
    obj.OrgY = origin.y;
    SetStaTransform(obj, obj.Rote, View.ScaleAcross, View.ScaleAlong);
  } else {
    SetRailTransform(obj, origin, View.ScaleAcross, View.ScaleAlong);
  }
}

}  // namespace ramvel
