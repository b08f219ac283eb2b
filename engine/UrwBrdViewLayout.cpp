// The board view's recompute: visibility and near flags, transforms, sea edges, draw flags and
// entry lead marks, and the layout layer's other non-pixel data.
#include <algorithm>

#include "engine/UrwBrdView.h"

namespace ramvel {

namespace {

TPointF ToF(TPoint p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

// Whether every record of a range looks like an entry lead of the side: a plain segment that
// reaches the station edge.
bool LooksLikeLeads(const TStaObj& sta, int32_t side, int32_t first, int32_t count) {
  for (int32_t k = first; k < first + count; ++k) {
    const StaRail& r = sta.Rails[static_cast<size_t>(k)];
    const bool atEdge = side == 0 ? r.P[0].x == 0 : r.P[1].x == kStaAxisM;
    if (r.Kind != kRailPlain || !atEdge) return false;
  }
  return true;
}

}  // namespace

// ---- Recompute
// -----------------------------------------------------------------------------------

void TBrdView::Recompute(int32_t dx, int32_t dy) {
  ScrollView(dx, dy);
  ClampView();
  Brd.TrackWide = TrackWideFor(Brd.SCR_MPERP);
  UpdateScales();
  SeaEdges.clear();
  if (DesignMode) CollectViewSeaEdges();
  ClearMarks();
  DrawFlags = 0;
  if (DesignMode && Brd.SCR_MPERP <= 36) DrawFlags |= kDrawJoints;
  if (Brd.SCR_MPERP <= 36) DrawFlags |= kDrawCrossings;
  if (Brd.SCR_MPERP <= 6) DrawFlags |= kDrawDouble;
  MarkRails();
  MarkStations();
}

int32_t TBrdView::TrackWideFor(int32_t mperp) { return mperp > 2 ? 10 : 6; }

void TBrdView::UpdateScales() {
  ScaleAlong = static_cast<float>(Mpp());
  ScaleAcross = ScaleAlong / static_cast<float>(Brd.TrackWide > 0 ? Brd.TrackWide : 1);
}

void TBrdView::ClearMarks() {
  for (auto& [key, rail] : Brd.Rails) rail->ShowDetail = false;
  for (auto& [key, sta] : Brd.Stas) {
    sta->ShowDetail = false;
    sta->NearFlag = false;
  }
}

// Every rail in view is marked before any walk starts, so that a walk towards the nearest
// stations stops at the first rail that is in view itself.
void TBrdView::MarkRails() {
  for (auto& [key, rail] : Brd.Rails) {
    rail->ShowDetail = IsInView(*rail);
    SetRailTransform(*rail, BrdToPix(rail->EndPos[0]), ScaleAcross, ScaleAlong);
  }
  for (auto& [key, rail] : Brd.Rails) {
    if (rail->ShowDetail) Brd.SetNearStaFlag(*rail);
  }
}

// Every station gets its transform, in view or not: the train location lays bodies through
// stations near the view as well. Only the station being placed stays hidden.
void TBrdView::MarkStations() {
  for (auto& [key, sta] : Brd.Stas) {
    SetStaView(*sta);
    if (EditMode == kEditPutSta && sta->Id == CurObjId) continue;
    sta->ShowDetail = IsInView(*sta);
    if (sta->ShowDetail && (DrawFlags & kDrawCrossings) != 0) MarkEntLeads(*sta);
  }
}

void TBrdView::SetStaView(TStaObj& sta) {
  const TPoint origin = BrdToPix(sta.EndPos[0]);
  sta.OrgX = origin.x;
  sta.OrgY = origin.y;
  SetStaTransform(sta, sta.Rote, ScaleAcross, ScaleAlong);
}

bool TBrdView::IsInView(const TBaseObj& obj) const {
  const TPoint a = obj.EndPos[0], b = obj.EndPos[1];
  const int32_t l = Brd.SCR_XLEFT, r = Brd.ScrXRight, t = Brd.SCR_YTOP, btm = Brd.ScrYBottom;
  if ((a.x < l && b.x < l) || (a.x > r && b.x > r) || (a.y < t && b.y < t) ||
      (a.y > btm && b.y > btm)) {
    return false;
  }
  const auto inside = [&](TPoint p) { return InRange(p.x, l, r) && InRange(p.y, t, btm); };
  if (inside(a) || inside(b)) return true;
  const TPointF pa = ToF(a), pb = ToF(b);
  const TPointF tl = ToF({l, t}), tr = ToF({r, t}), bl = ToF({l, btm}), br = ToF({r, btm});
  return SegCross(pa, pb, tl, tr) || SegCross(pa, pb, tr, br) || SegCross(pa, pb, bl, br) ||
         SegCross(pa, pb, tl, bl);
}

// ---- Sea
// -----------------------------------------------------------------------------------------

void TBrdView::CollectViewSeaEdges() {
  const TDotRange d = ViewDots();
  for (int32_t j = d.J0; j <= d.J1; ++j) {
    for (int32_t i = d.I0; i <= d.I1; ++i) {
      if (Land.IsSea(i, j)) CollectSeaEdges(i, j);
    }
  }
}

void TBrdView::CollectSeaEdges(int32_t i, int32_t j) {
  if (!Land.IsSea(i, j)) return;
  const auto faces = [&](int32_t ni, int32_t nj) {
    return Land.Inside(ni, nj) && !Land.IsSea(ni, nj);
  };
  const int32_t x0 = i * kGridM, x1 = (i + 1) * kGridM, y0 = j * kGridM, y1 = (j + 1) * kGridM;
  if (faces(i - 1, j)) SeaEdges.push_back({x0, y0, x0, y1});
  if (faces(i + 1, j)) SeaEdges.push_back({x1, y0, x1, y1});
  if (faces(i, j - 1)) SeaEdges.push_back({x0, y0, x1, y0});
  if (faces(i, j + 1)) SeaEdges.push_back({x0, y1, x1, y1});
}

// ---- Layer data
// ----------------------------------------------------------------------------------

TDotRange TBrdView::ViewDots() const {
  return {Brd.SCR_XLEFT / kGridM, Brd.ScrXRight / kGridM, Brd.SCR_YTOP / kGridM,
          Brd.ScrYBottom / kGridM};
}

int32_t TBrdView::DotSize() const { return kGridM / Mpp() + 1; }

TOutside TBrdView::Outside() const {
  TOutside o;
  if (LandWidth < Brd.ScrXRight) o.FromX = LandWidth / Mpp() + 1;
  if (LandHeight < Brd.ScrYBottom) o.FromY = LandHeight / Mpp() + 1;
  return o;
}

TPixRect TBrdView::MiniMapFrame(int32_t thumbW, int32_t thumbH) const {
  if (Land.W <= 0 || Land.H <= 0) return {};
  const auto along = [](int32_t thumb, int32_t m, int32_t dots) {
    return static_cast<int32_t>(int64_t{thumb} * (m / kGridM) / dots);
  };
  return {along(thumbW, Brd.SCR_XLEFT, Land.W), along(thumbH, Brd.SCR_YTOP, Land.H),
          along(thumbW, Brd.ScrXRight, Land.W), along(thumbH, Brd.ScrYBottom, Land.H)};
}

int32_t TBrdView::ThumbHeight(int32_t thumbW) const {
  if (Land.W <= 0) return 0;
  return static_cast<int32_t>(int64_t{thumbW} * Land.H / Land.W);
}

uint32_t TBrdView::ThumbColour(uint32_t rgb) {
  if (rgb == kRgbSeaDot) return kClrSea;
  if (rgb == kRgbLandDot) return kClrLand;
  return rgb;
}

uint32_t TBrdView::StaColour(const TStaObj& sta) const {
  if (EditMode != kEditLine) return kClrTrack;
  const std::string id = IntText(sta.Id);
  const bool inLine = std::find(Brd.LineStas.begin(), Brd.LineStas.end(), id) != Brd.LineStas.end();
  return inLine ? kClrLineSta : kClrTrack;
}

int32_t TBrdView::CrossingPenWidth(uint8_t flags) const {
  if ((flags & kDrawLeadShift) != 0) return 5;
  if (ScaleAcross <= 0) return 1;
  return RoundInt(3.0 / static_cast<double>(ScaleAcross));
}

// ---- Entry lead marks
// ----------------------------------------------------------------------------

TLeadRange TBrdView::EntLeads(const TStaObj& sta, int32_t side) {
  const int32_t e0 = sta.EntCount[0], e1 = sta.EntCount[1];
  const auto n = static_cast<int64_t>(sta.Rails.size());
  if (side < 0 || side > 1 || e0 < 0 || e1 < 0 || e0 > kMaxSlots || e1 > kMaxSlots || e0 + e1 > n) {
    return {};
  }
  TLeadRange r;
  r.Count = side == 0 ? e0 : e1;
  r.First = static_cast<int32_t>(n) - (side == 0 ? e0 + e1 : e1);
  if (!LooksLikeLeads(sta, side, r.First, r.Count)) return {};
  r.Valid = true;
  if (sta.EntCrs[side] > 0) r.CrsCount = std::min(sta.EntCrs[side] % 100, r.Count);
  return r;
}

void TBrdView::MarkEntLeads(TStaObj& sta) {
  for (int32_t side = 0; side < 2; ++side) {
    // A side without crossing leads has nothing to pass under.
    const TLeadRange r = EntLeads(sta, side);
    if (!r.Valid || r.CrsCount == 0) continue;
    const int32_t crsFirst = r.First + r.Count - r.CrsCount;
    for (int32_t k = r.First; k < r.First + r.Count; ++k) {
      sta.Rails[static_cast<size_t>(k)].Mark = k >= crsFirst ? 0 : 1;
    }
  }
}

}  // namespace ramvel
