// The board view's state: life cycle, terrain, conversions, view position and hit tests.
#include "engine/UrwBrdView.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <utility>

namespace ramvel {

namespace {

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// How far the view may start along one axis: a terrain narrower than the view shows from 0; a
// view reaching past the far terrain edge is pulled back onto the grid.
int32_t ClampAxis(int32_t land, int64_t span, int32_t pos) {
  if (land < span || pos < 0) return 0;
  if (land < span + pos) return Saturate((land - span) / kGridM * kGridM);
  return pos;
}

}  // namespace

// ---- Terrain
// -------------------------------------------------------------------------------------

bool TLandGrid::IsSea(int32_t i, int32_t j) const {
  return Inside(i, j) &&
         Rgb[static_cast<size_t>(j) * static_cast<size_t>(W) + static_cast<size_t>(i)] ==
             kRgbSeaDot;
}

bool TLandGrid::IsLand(int32_t i, int32_t j) const {
  return Inside(i, j) &&
         Rgb[static_cast<size_t>(j) * static_cast<size_t>(W) + static_cast<size_t>(i)] ==
             kRgbLandDot;
}

TStatus TBrdView::SetLand(TLandGrid land) {
  if (land.W <= 0 || land.H <= 0) return TStatus::Error("Land.bmp: 地形図が空です");
  if (land.W > kMaxLandDots || land.H > kMaxLandDots) {
    return TStatus::Error("Land.bmp: 地形図が大きすぎます（一辺 " + IntText(kMaxLandDots) +
                          " ドットまで）");
  }
  if (land.Rgb.size() != static_cast<size_t>(land.W) * static_cast<size_t>(land.H)) {
    return TStatus::Error("Land.bmp: 地形図の画素数が大きさと合いません");
  }
  Land = std::move(land);
  LandWidth = Land.W * kGridM;
  LandHeight = Land.H * kGridM;
  return TStatus::Ok();
}

std::string TBrdView::LandSizeText() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "横%dkm x 縦%dkm", LandWidth / 1000, LandHeight / 1000);
  return buf;
}

// ---- Life cycle
// ----------------------------------------------------------------------------------

void TBrdView::InitView(int32_t width, int32_t height) {
  ScaleIdx = kDefaultScaleIdx;
  Brd.SCR_XLEFT = 0;
  Brd.SCR_YTOP = 0;
  Brd.SCR_MPERP = kZooms[kDefaultScaleIdx];
  SetScrSize(width, height);
  Brd.ClearBrd();
}

void TBrdView::EndEdit() {
  DesignMode = true;
  EditMode = kEditIdle;
  CurObjId = -1;
}

void TBrdView::SyncScaleIdx() {
  const auto it = std::find(std::begin(kZooms), std::end(kZooms), Brd.SCR_MPERP);
  if (it != std::end(kZooms)) ScaleIdx = static_cast<int32_t>(it - std::begin(kZooms));
}

// ---- Conversions
// ---------------------------------------------------------------------------------

TPoint TBrdView::PixToMeter(int32_t x, int32_t y) const {
  return {Saturate(int64_t{x} * Mpp() + Brd.SCR_XLEFT),
          Saturate(int64_t{y} * Mpp() + Brd.SCR_YTOP)};
}

TPoint TBrdView::PixToLandDot(int32_t x, int32_t y) const {
  const TPoint m = PixToMeter(x, y);
  return {RoundInt(static_cast<double>(m.x) / kGridM), RoundInt(static_cast<double>(m.y) / kGridM)};
}

TPoint TBrdView::LandDotToPix(int32_t i, int32_t j) const {
  const double mpp = Mpp();
  return {RoundInt(static_cast<double>(int64_t{i} * kGridM - Brd.SCR_XLEFT) / mpp),
          RoundInt(static_cast<double>(int64_t{j} * kGridM - Brd.SCR_YTOP) / mpp)};
}

TPoint TBrdView::BrdToPix(TPoint p) const { return LandDotToPix(p.x / kGridM, p.y / kGridM); }

// ---- View position
// -------------------------------------------------------------------------------

void TBrdView::ScrollView(int32_t dx, int32_t dy) {
  Brd.SCR_XLEFT = Saturate(Brd.SCR_XLEFT + int64_t{dx} * Brd.ScrWidth * Mpp() / 2);
  Brd.SCR_YTOP = Saturate(Brd.SCR_YTOP + int64_t{dy} * Brd.ScrHeight * Mpp() / 2);
}

void TBrdView::ClampView() {
  const int64_t w = int64_t{Brd.ScrWidth} * Mpp(), h = int64_t{Brd.ScrHeight} * Mpp();
  Brd.SCR_XLEFT = ClampAxis(LandWidth, w, Brd.SCR_XLEFT);
  Brd.SCR_YTOP = ClampAxis(LandHeight, h, Brd.SCR_YTOP);
  Brd.ScrXRight = Saturate(Brd.SCR_XLEFT + w);
  Brd.ScrYBottom = Saturate(Brd.SCR_YTOP + h);
}

void TBrdView::SetScrSize(int32_t width, int32_t height) {
  Brd.ScrWidth = std::max(width, 0);
  Brd.ScrHeight = std::max(height, 0);
  Brd.ScrXRight = Saturate(Brd.SCR_XLEFT + int64_t{Brd.ScrWidth} * Mpp());
  Brd.ScrYBottom = Saturate(Brd.SCR_YTOP + int64_t{Brd.ScrHeight} * Mpp());
}

bool TBrdView::ZoomTo(int32_t idx) {
  if (idx < 0 || idx >= static_cast<int32_t>(std::size(kZooms))) return false;
  const int64_t oldW = int64_t{Mpp()} * Brd.ScrWidth, oldH = int64_t{Mpp()} * Brd.ScrHeight;
  ScaleIdx = idx;
  Brd.SCR_MPERP = kZooms[idx];
  const int64_t newW = int64_t{Mpp()} * Brd.ScrWidth, newH = int64_t{Mpp()} * Brd.ScrHeight;
  Brd.SCR_XLEFT = Saturate(Brd.SCR_XLEFT - (newW - oldW) / 2);
  Brd.SCR_YTOP = Saturate(Brd.SCR_YTOP - (newH - oldH) / 2);
  return true;
}

bool TBrdView::CentreAt(int32_t x, int32_t y) {
  if (x < 0 || x > Brd.ScrWidth || y < 0 || y > Brd.ScrHeight) return false;
  Brd.SCR_XLEFT = Saturate(Brd.SCR_XLEFT - int64_t{Brd.ScrWidth / 2 - x} * Mpp());
  Brd.SCR_YTOP = Saturate(Brd.SCR_YTOP - int64_t{Brd.ScrHeight / 2 - y} * Mpp());
  return true;
}

TEdgeScroll TBrdView::EdgeScroll(int32_t x, int32_t y) const {
  if (Brd.SCR_XLEFT > 0 && x <= 5) return {true, -1, 0};
  if (Brd.ScrXRight < LandWidth && std::abs(x - Brd.ScrWidth) <= 5) return {true, 1, 0};
  if (Brd.SCR_YTOP > 0 && y <= 5) return {true, 0, -1};
  if (Brd.ScrYBottom < LandHeight && std::abs(y - Brd.ScrHeight) <= 5) return {true, 0, 1};
  return {};
}

// ---- Objects under the pointer
// -------------------------------------------------------------------

bool TBrdView::HitTest(int32_t x, int32_t y, bool withRails) {
  CurObjId = 0;
  CurSide = 0;
  const TPoint p = PixToMeter(x, y);
  const int32_t r = Saturate(int64_t{10} * Mpp());
  TObjAtPoint hit = Brd.FindAtPoint(kKindSta, p, r);
  if (!hit.Found && withRails) hit = Brd.FindAtPoint(kKindRail, p, r);
  if (!hit.Found) return false;
  CurObjId = hit.Id;
  CurSide = static_cast<uint8_t>(hit.NearEnd);
  return true;
}

std::string TBrdView::ObjInfoText(int32_t id) const {
  if (id <= 0) return {};
  if (IdKind(id) == kKindSta) {
    const TStaObj* sta = Brd.FindSta(id, "");
    return sta != nullptr ? sta->Name : std::string();
  }
  if (IdKind(id) != kKindRail) return {};
  const TRailObj* rail = Brd.FindRail(id, "");
  if (rail == nullptr) return {};
  char buf[64];
  std::snprintf(buf, sizeof buf, "長さ %dm ( ID=%d )", rail->Length, rail->Id);
  return buf;
}

}  // namespace ramvel
