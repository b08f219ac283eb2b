// The board view's painting: the layout layer (terrain, sea, minimap, stations, rails) and the
// frame over it (rubber band in design mode, trains in run mode).
#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>
#include <exception>

#include "view/UrwBrdEditor.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

// ---- Frame
// ---------------------------------------------------------------------------------------

void TBrdEdit::DrawBoard(QPainter* canvas, bool recompute, int32_t dx, int32_t dy) {
  if (recompute) {
    View.Recompute(dx, dy);
    DrawLayout();
    if (!View.DesignMode && View.CurTime >= 0) Brd.CalcCarLocation(0, View.CurTime);
  }
  ComposeFrame();
  if (canvas != nullptr && !FrameBmp.isNull()) canvas->drawImage(0, 0, FrameBmp);
}

void TBrdEdit::ComposeFrame() {
  FrameBmp = LayerBmp;  // shared until something is painted over it
  if (FrameBmp.isNull()) return;
  if (View.DesignMode) {
    if (View.EditMode != kEditPutSta && View.EditMode != kEditPutRail) return;
    QPainter p(&FrameBmp);
    PaintRubberBand(p);
    return;
  }
  QPainter p(&FrameBmp);
  PaintTrains(p);
}

void TBrdEdit::PaintRubberBand(QPainter& p) {
  const TPoint a = View.LandDotToPix(View.PutPos.x, View.PutPos.y);
  const TPoint b = View.LandDotToPix(View.PutPos.x + View.PutVec.x, View.PutPos.y + View.PutVec.y);
  DrawPlainLine(p, QPt(a), QPt(b), RgbColour(View.PutOk != 0 ? kClrBandOk : kClrBandBad));
}

// ---- Layout layer
// --------------------------------------------------------------------------------

void TBrdEdit::DrawLayout() {
  UpdateMiniMap();
  const int w = Brd.ScrWidth, h = Brd.ScrHeight;
  if (w <= 0 || h <= 0) {
    LayerBmp = QImage();
    return;
  }
  if (LayerBmp.size() != QSize(w, h)) LayerBmp = QImage(w, h, QImage::Format_RGB32);
  QPainter p(&LayerBmp);
  p.setRenderHint(QPainter::Antialiasing, false);
  PaintTerrain(p);
  PaintStations(p);
  PaintRails(p);
}

void TBrdEdit::PaintTerrain(QPainter& p) {
  const int w = LayerBmp.width(), h = LayerBmp.height();
  p.fillRect(0, 0, w, h, RgbColour(kClrLand));
  const QColor grey = RgbColour(kClrOutside);
  const TOutside o = View.Outside();
  if (o.FromX >= 0 && o.FromX < w) p.fillRect(o.FromX, 0, w - o.FromX, h, grey);
  if (o.FromY >= 0 && o.FromY < h) p.fillRect(0, o.FromY, w, h - o.FromY, grey);
  PaintSea(p);
}

// Each sea dot is a square of DotSize pixels at its view position. Squares of neighbouring dots
// overlap or touch, so a row's run of sea dots is filled as one rectangle with the same pixels.
void TBrdEdit::PaintSea(QPainter& p) {
  const TLandGrid& land = View.Land;
  const TDotRange d = View.ViewDots();
  const int32_t i0 = std::max(d.I0, 0), i1 = std::min(d.I1, land.W - 1);
  const int32_t j0 = std::max(d.J0, 0), j1 = std::min(d.J1, land.H - 1);
  const int32_t s = View.DotSize();
  const QColor sea = RgbColour(kClrSea);
  for (int32_t j = j0; j <= j1; ++j) {
    for (int32_t i = i0; i <= i1; ++i) {
      if (!land.IsSea(i, j)) continue;
      int32_t k = i;
      while (k < i1 && land.IsSea(k + 1, j)) ++k;
      const TPoint a = View.LandDotToPix(i, j), b = View.LandDotToPix(k, j);
      p.fillRect(a.x, a.y, b.x - a.x + s, s, sea);
      i = k;
    }
  }
}

void TBrdEdit::UpdateMiniMap() {
  if (LandThumb.isNull()) return;
  MiniMapBmp = LandThumb.copy();
  const TPixRect r = View.MiniMapFrame(LandThumb.width(), LandThumb.height());
  QPainter p(&MiniMapBmp);
  const QColor white = RgbColour(kClrMiniFrame);
  // The outline covers the rectangle's pixels from Left and Top up to Right - 1 and Bottom - 1.
  const QPoint tl(r.Left, r.Top), tr(r.Right - 1, r.Top);
  const QPoint bl(r.Left, r.Bottom - 1), br(r.Right - 1, r.Bottom - 1);
  DrawPlainLine(p, tl, tr, white);
  DrawPlainLine(p, tr, br, white);
  DrawPlainLine(p, br, bl, white);
  DrawPlainLine(p, bl, tl, white);
  p.end();
  if (sink_ != nullptr) sink_->ShowMiniMap(MiniMapBmp);
}

TStaDrawArgs TBrdEdit::StaArgs(const TStaObj& sta, uint8_t flags) const {
  TStaDrawArgs a;
  a.Origin = View.BrdToPix(sta.EndPos[0]);
  a.Angle = sta.Rote;
  a.AcrossScale = View.ScaleAcross;
  a.AlongScale = View.ScaleAlong;
  a.Flags = flags;
  a.BackColour = kClrLand;
  a.TrackColour = View.StaColour(sta);
  return a;
}

// Stations in view; the station being placed has no ShowDetail and stays out.
void TBrdEdit::PaintStations(QPainter& p) {
  for (const auto& [key, sta] : Brd.Stas) {
    if (sta->ShowDetail) DrawSta(p, *sta, StaArgs(*sta, View.DrawFlags));
  }
}

void TBrdEdit::PaintRails(QPainter& p) {
  for (const auto& [key, rail] : Brd.Rails) {
    if (rail->ShowDetail) PaintRail(p, *rail);
  }
}

// Every track from the very entry slot it joins at one end to the one at the other end.
void TBrdEdit::PaintRail(QPainter& p, TRailObj& rail) {
  const TBaseObj* at0 = Brd.GetRailConnObj(rail, 0);
  const TBaseObj* at1 = Brd.GetRailConnObj(rail, 1);
  const QColor c = RgbColour(kClrTrack);
  const QPoint half(RoundInt(rail.NegSinV / 2.0), RoundInt(rail.CosV / 2.0));
  const int32_t n = std::clamp(rail.EntCount[0], 0, kMaxSlots);
  for (int32_t k = 1; k <= n; ++k) {
    const QPoint a = QPt(TrackEndPoint(rail, k, 0, at0));
    const QPoint b = QPt(TrackEndPoint(rail, k, 1, at1));
    if ((View.DrawFlags & kDrawDouble) != 0) {
      DrawPlainLine(p, a + half, b + half, c);
      DrawPlainLine(p, a - half, b - half, c);
    } else {
      DrawPlainLine(p, a, b, c);
    }
    if ((View.DrawFlags & kDrawJoints) != 0) {
      DrawJointDot(p, a, c);
      DrawJointDot(p, b, c);
    }
  }
}

// ---- Trains
// --------------------------------------------------------------------------------------

// Trains on the lead of a station that passes under an entry crossing stay hidden: after the
// first pass the crossings of their stations are drawn again over them, and the second pass
// draws once more only the trains on the crossing leads.
void TBrdEdit::PaintTrains(QPainter& p) {
  // One font for every label of the frame.
  const QFont font = UiFont(true, PointsToPixels(kTrainLabelPoints));
  labels_.UseFont(font);
  p.setFont(font);
  if (!DrawTrain(p, 1)) return;
  for (const int32_t id : View.OverlayStas()) {
    const TStaObj* sta = Brd.FindSta(id, "");
    if (sta != nullptr) DrawSta(p, *sta, StaArgs(*sta, View.DrawFlags | kDrawOverlay));
  }
  p.setFont(font);
  DrawTrain(p, 2);
}

// True when a train set drawn in this pass stands or runs on a marked lead.
bool TBrdEdit::DrawTrain(QPainter& p, int pass) {
  bool onLead = false;
  for (const auto& [key, car] : Brd.Cars) {
    if (car->LocState == kLocError) {
      SetStatus(1, DrawTrainErrText(2, car->Id));
      continue;
    }
    if (!TBrdView::DrawnInPass(*car, pass)) continue;
    bool drawn = false;
    try {
      drawn = PaintTrain(p, *car);
    } catch (const std::exception&) {
      drawn = false;
    }
    if (!drawn) {
      SetStatus(1, DrawTrainErrText(3, car->Id));
      continue;
    }
    if (car->StaPosKind != TStaPosKind::kElsewhere) onLead = true;
  }
  return onLead;
}

bool TBrdEdit::PaintTrain(QPainter& p, const TCarObj& car) {
  TTrainShape shape;
  if (!View.TrainShape(car, shape)) return false;
  const QColor c = CarColour(car.Color);
  for (const TCarShape& s : shape.Cars) {
    if (s.Kind == TCarShapeKind::kQuad) {
      p.setPen(RgbColour(kClrCarOutline));
      p.setBrush(c);
      p.drawPolygon(QPolygon({QPt(s.Pts[0]), QPt(s.Pts[1]), QPt(s.Pts[2]), QPt(s.Pts[3])}));
      p.setBrush(Qt::NoBrush);
    } else {
      const int width = s.Kind == TCarShapeKind::kLine3 ? 3 : 1;
      DrawPlainLine(p, QPt(s.Pts[0]), QPt(s.Pts[1]), c, width);
    }
  }
  PaintTrainLabel(p, car, shape.Head);
  return true;
}

// A leader line from the head down to the right, then a line under the label's text.
void TBrdEdit::PaintTrainLabel(QPainter& p, const TCarObj& car, TPoint head) {
  const TTrainLabel label = View.TrainLabel(car);
  if (!label.Show) return;
  const QString text = QStr(label.Text);
  const int width = labels_.Get(text).Width;
  const QColor blue = RgbColour(kClrTrainLabel);
  const QPoint h = QPt(head), corner = h + QPoint(30, 30);
  DrawPlainLine(p, h, corner, blue);
  DrawPlainLine(p, corner, corner + QPoint(width + 5, 0), blue);
  labels_.DrawBoxed(p, QPoint(corner.x() + 5, corner.y() - labels_.Height()), text, blue,
                    RgbColour(kClrLand));
}

}  // namespace ramvel
