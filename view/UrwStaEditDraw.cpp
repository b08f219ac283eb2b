// The station designer's pictures.
#include "view/UrwStaEditDraw.h"

#include <QPalette>
#include <QPen>
#include <QPointF>

#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr int32_t kHomeNoPt = 11;  // platform numbers, points
constexpr int32_t kLeadW = 3;      // entry leads
constexpr int32_t kCrsUnderW = 7;  // the white line under a crossing lead
constexpr int32_t kMarkW = 3;      // red edge marks of badly joined pieces
constexpr int32_t kLeadInnerX[2] = {65, 675};
constexpr int32_t kLeadOuterX[2] = {5, 735};
constexpr int32_t kHeldDx = 15, kHeldDy = 10;  // the held piece hangs this far up-left
constexpr int32_t kHintTop = kTblRows * kStaCellH + 8;
const QColor kGridLine(0, 0, 0, 40);  // darkens the ground it lies on a little

// The user's short guide below the palette, one line each.
constexpr const char* kHints[] = {
    "左クリック:",       "  部品を取る・置く",   "右クリック:", "  部品を放す・外す",
    "Shift+左クリック:", "  直線で行を埋める",   "ホーム線:",   "  クリックで番号",
    "左右の帯:",         "  クリックで立体交差",
};

QPoint CellTopLeft(int32_t x0, int32_t col, int32_t row) {
  return {x0 + kStaCellW * (col - 1), kStaCellH * (row - 1)};
}

int32_t RowMiddle(int32_t row) { return kStaCellH * (row - 1) + kStaCellH / 2; }

// A track line drawn as two white lines 2 pixels above and below it. The lines run through the
// middle of their pixel rows, so that level ones stay one crisp pixel wide when smoothed.
void DrawTrackLine(QPainter& p, QPoint a, QPoint b) {
  p.setPen(QPen(Qt::white, 1, Qt::SolidLine, Qt::FlatCap));
  for (const double dy : {-1.5, 2.5})
    p.drawLine(QPointF(a) + QPointF(0, dy), QPointF(b) + QPointF(0, dy));
}

void DrawTrackPiece(QPainter& p, const TStaPanel& panel, QPoint tl, QColor fill) {
  const QRect box(tl, QSize(kStaCellW, kStaCellH * panel.Cells));
  p.fillRect(box, fill);
  p.setPen(Qt::black);
  p.setBrush(Qt::NoBrush);
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.setRenderHint(QPainter::Antialiasing, true);
  for (const TPanelPair& pair : panel.Pairs) {
    DrawTrackLine(p, tl + QPoint(0, 10 * pair.L), tl + QPoint(kStaCellW, 10 * pair.R));
  }
  p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawHomeTrack(QPainter& p, const TStaPanel& panel, QPoint tl, const TPieceLook& look) {
  const QRect box(tl, QSize(kStaCellW * panel.Cells, kStaCellH));
  p.fillRect(box, look.Fill);
  const int32_t mid = tl.y() + kStaCellH / 2;
  p.setRenderHint(QPainter::Antialiasing, true);
  DrawTrackLine(p, {box.left(), mid}, {box.right() + 1, mid});
  p.setRenderHint(QPainter::Antialiasing, false);
  if (look.HomeNo < 0) return;
  p.setFont(UiFont(false, PointsToPixels(kHomeNoPt)));
  const QString text = QStringLiteral(" %1 ").arg(look.HomeNo);
  const QColor fore = RgbColour(look.HomeNoDup ? kClrHomeNoDup : kClrHomeNo);
  DrawBoxedText(p, tl + QPoint(kStaCellW + 10, 3), text, fore, look.Fill);
}

void DrawStrips(QPainter& p, const TStaEditor& ed, const TStaCheck& check) {
  p.fillRect(0, 0, kStripW, kStaPicH, Qt::white);
  p.fillRect(kRightStripX, 0, kStripW, kStaPicH, Qt::white);
  p.setRenderHint(QPainter::Antialiasing, true);
  for (int32_t side = 0; side < 2; ++side) {
    for (const TStripLead& lead : ed.StripLeads(side, check)) {
      const QPoint in(kLeadInnerX[side], RowMiddle(lead.InnerRow));
      const QPoint out(kLeadOuterX[side], RowMiddle(lead.OuterRow));
      if (lead.Crossing) DrawPlainLine(p, in, out, Qt::white, kCrsUnderW);
      DrawPlainLine(p, in, out, RgbColour(lead.Unreached ? kClrLeadBad : kClrLead), kLeadW);
    }
  }
  p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawGround(QPainter& p) {
  p.fillRect(kMatrixX, 0, kStaCellW * kStaCols, kMatrixH, RgbColour(kClrStaBack));
  p.fillRect(CellTopLeft(kMatrixX, kHomeCol, 1).x(), 0, kStaCellW * (kBandLastCol - kHomeCol + 1),
             kMatrixH, RgbColour(kClrStaBand));
  p.setPen(kGridLine);
  for (int32_t c = 1; c < kStaCols; ++c) {
    const int32_t x = kMatrixX + kStaCellW * c;
    p.drawLine(x, 0, x, kMatrixH - 1);
  }
  for (int32_t r = 1; r < kStaRows; ++r) {
    p.drawLine(kMatrixX, kStaCellH * r, kRightStripX - 1, kStaCellH * r);
  }
}

// The red marks on the edges where a piece meets nothing that fits.
void DrawErrMarks(QPainter& p, const TStaPanel& panel, QPoint tl, const TPieceCheck& pc) {
  const int32_t w = kStaCellW * panel.Cols(), h = kStaCellH * panel.Rows();
  if (pc.ErrL()) p.fillRect(tl.x(), tl.y(), kMarkW, h, RgbColour(kClrErrMark));
  if (pc.ErrR()) p.fillRect(tl.x() + w - kMarkW, tl.y(), kMarkW, h, RgbColour(kClrErrMark));
}

void DrawPieces(QPainter& p, const TStaEditor& ed, const TStaCheck& check) {
  for (const TPieceCheck& pc : check.Pieces) {
    const TStaPanel* panel = ed.Panels().Get(pc.PanelNo);
    if (panel == nullptr) continue;
    TPieceLook look{PieceColour(pc.Type)};
    if (panel->IsTrack() && !pc.Err.empty()) look.Fill = RgbColour(kClrPieceErr);
    if (pc.Type == kPanelHomeTrack) {
      look.HomeNo = pc.HomeNo;
      look.HomeNoDup = pc.ErrH();
    }
    const QPoint tl = CellTopLeft(kMatrixX, pc.Col, pc.Row);
    DrawStaPiece(p, *panel, tl, look);
    DrawErrMarks(p, *panel, tl, pc);
  }
  if (const auto& start = ed.FillStart()) {
    p.fillRect(QRect(CellTopLeft(kMatrixX, start->Col, start->Row), QSize(kStaCellW, kStaCellH)),
               RgbColour(kClrFillStart));
  }
}

void DrawPalette(QPainter& p, const TStaEditor& ed, const TStaPointer& ptr) {
  const TStaPanels& panels = ed.Panels();
  p.fillRect(kPaletteX, 0, kStaCellW * kTblCols, kStaCellH * kTblRows, RgbColour(kClrStaBack));
  const TStaHit hit = ptr.In ? StaHitTest(ptr.X, ptr.Y) : TStaHit{};
  const int32_t picked =
      hit.Zone == TStaZone::kPalette ? panels.PanelAtTbl(hit.Col, hit.Row) : kNoPanel;
  for (int32_t r = 1; r <= kTblRows; ++r) {
    for (int32_t c = 1; c <= kTblCols; ++c) {
      const int32_t no = panels.PanelAtTbl(c, r);
      const TStaPanel* panel = panels.Get(no);
      if (panel == nullptr || !panels.TblDrawsAt(c, r)) continue;
      const QColor fill = no == picked ? RgbColour(kClrPalettePick) : PieceColour(panel->Type);
      DrawStaPiece(p, *panel, CellTopLeft(kPaletteX, c, r), {fill});
    }
  }
}

void DrawHints(QPainter& p) {
  p.setFont(UiFont(true, 12));
  p.setPen(QPalette().color(QPalette::WindowText));
  int32_t y = kHintTop;
  for (const char* line : kHints) {
    p.drawText(QRect(kPaletteX + 4, y, kStaCellW * kTblCols - 4, 16), Qt::AlignLeft,
               QString::fromUtf8(line));
    y += 16;
  }
}

void DrawHeld(QPainter& p, const TStaEditor& ed, const TStaPointer& ptr) {
  const TStaPanel* panel = ed.Panels().Get(ed.Held());
  if (panel == nullptr || !ptr.In) return;
  const TStaHit hit = StaHitTest(ptr.X, ptr.Y);
  const bool fits = hit.Zone == TStaZone::kMatrix && ed.CanPlace(ed.Held(), hit.Col, hit.Row);
  DrawStaPiece(p, *panel, {ptr.X - kHeldDx, ptr.Y - kHeldDy},
               {RgbColour(fits ? kClrPiece : kClrErrMark)});
}

}  // namespace

QColor PieceColour(int32_t type) {
  switch (type) {
    case kPanelHome:
      return RgbColour(kClrStaHome);
    case kPanelHomeTrack:
      return RgbColour(kClrHomeTrack);
    default:
      return RgbColour(kClrPiece);
  }
}

void DrawStaPiece(QPainter& p, const TStaPanel& panel, QPoint topLeft, const TPieceLook& look) {
  switch (panel.Type) {
    case kPanelHome: {
      const QRect box(topLeft, QSize(kStaCellW * panel.Cells, kStaCellH));
      p.fillRect(box, look.Fill);
      p.setPen(RgbColour(kClrHomeEdge));
      p.setBrush(Qt::NoBrush);
      p.drawRect(box.adjusted(0, 0, -1, -1));
      return;
    }
    case kPanelHomeTrack:
      return DrawHomeTrack(p, panel, topLeft, look);
    default:
      return DrawTrackPiece(p, panel, topLeft, look.Fill);
  }
}

void DrawStaEditor(QPainter& p, const TStaEditor& ed, const TStaCheck& check,
                   const TStaPointer& ptr) {
  p.fillRect(0, 0, kStaClientW, kStaPicH, QPalette().color(QPalette::Button));
  DrawStrips(p, ed, check);
  DrawGround(p);
  DrawPieces(p, ed, check);
  DrawPalette(p, ed, ptr);
  DrawHints(p);
  DrawHeld(p, ed, ptr);
}

// ---- The crossing dialog -----------------------------------------------------------------------

void DrawEntConn(QPainter& p, const TStaEntConn& conn) {
  using TCol = TStaEntConn::TColumn;
  const QColor land = RgbColour(kClrEntLand);
  const int32_t size = TStaEntConn::kPicSize, r = TStaEntConn::kRadius;
  p.fillRect(0, 0, size, size, land);
  p.setFont(UiFont(true, PointsToPixels(11)));
  for (const auto& [col, text] :
       {std::pair{TCol::kInner, "内側"}, std::pair{TCol::kOuter, "外側"}}) {
    DrawBoxedTextCentred(p, {conn.LabelX(col), size / 2}, QString::fromUtf8(text), Qt::black, land);
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  for (const TEntJoin& lead : conn.Leads()) {
    const QPoint in(conn.ColumnX(TCol::kInner), conn.EntY(lead.Inner));
    const QPoint out(conn.ColumnX(TCol::kOuter), conn.EntY(lead.Outer));
    if (lead.Crossing) DrawPlainLine(p, in, out, land, kCrsUnderW);
    DrawPlainLine(p, in, out, Qt::white, kLeadW);
  }
  p.setPen(Qt::black);
  for (int32_t e = 1; e <= conn.EntCnt(); ++e) {
    for (const TCol col : {TCol::kInner, TCol::kOuter}) {
      p.setBrush(conn.InCrossing(col, e) ? QColor(Qt::white) : QColor(128, 128, 128));
      p.drawEllipse(QPoint(conn.ColumnX(col), conn.EntY(e)), r, r);
    }
  }
  p.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace ramvel
