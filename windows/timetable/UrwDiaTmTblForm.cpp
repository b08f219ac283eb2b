// The time grid of the diagram editor: its contents, the drawing of its cells, the mouse over
// it with the popup, and the special views.
#include <QMenu>

#include "windows/timetable/UrwDiaEditorForm.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

const QColor kClYellow(255, 255, 0);
const QColor kClWhite(255, 255, 255);
const QColor kClBlack(0, 0, 0);

}  // namespace

// ---- Contents ----------------------------------------------------------------------------------

void TFrmDiaEditor::DrawTmTbl() {
  if (!Ed) return;
  const TDiaObj& dia = Ed->Dia;
  GrdTm->SetCell(0, 0, Ed->ShowTrNoCol ? "列車番号" : "編成ID");
  const TOrderList& order = *dia.ViewOrder;
  GrdTm->SetRowCount(order.empty() ? 2 : static_cast<int>(order.size()) + 1);
  if (order.empty()) {
    for (int c = 0; c < GrdTm->ColCount(); ++c) GrdTm->SetCell(c, 1, "");
    return;
  }
  const int32_t stas = static_cast<int32_t>(StaCols.size());
  for (size_t k = 0; k < order.size(); ++k) {
    const int row = static_cast<int>(k) + 1;
    const int32_t t = order[k].Tr;
    std::string head = dia.TrInfo[t].TrNo;
    if (!Ed->ShowTrNoCol) {
      const TCarObj* c = brd_->FindTrainCar(head, "");  // filled on resizing too: no box
      if (c == nullptr) NoteDrawError("DrawTmTbl-TR-1", head);
      head = c != nullptr ? IntText(c->Id) : "";
    }
    GrdTm->SetCell(0, row, head);
    for (int32_t c = 0; c < stas; ++c) {
      GrdTm->SetCell(2 * c + 1, row, dia.HasCell(t, Ed->LeftSta + c) ? "!" : "");
    }
    for (int32_t i = 1; i <= stas && 2 * i < GrdTm->ColCount(); ++i) {
      const bool runs = dia.Cell(t, Ed->LeftSta + i - 1).TmStart >= 0 &&
                        dia.Cell(t, Ed->LeftSta + i).TmStart >= 0;
      GrdTm->SetCell(2 * i, row, runs ? "*" : "");
    }
  }
  GrdTm->update();
}

// ---- Cells -------------------------------------------------------------------------------------

bool TFrmDiaEditor::RunsLeftwards(int32_t tr) const {
  if (!Ed->EdtCarId.empty()) return Ed->Dia.TrInfo[tr].Dir == -1;
  return !Ed->KudariMode;
}

// Text centred on a quarter (1), the half (2) or three quarters (3) of the cell.
void TFrmDiaEditor::DrawTimeInCell(QPainter& p, const QRect& r, int pos, const QString& text,
                                   bool inverted) {
  const QFontMetrics fm(p.font());
  const int w = fm.horizontalAdvance(text);
  const int cx = r.left() + r.width() * pos / 4;
  const QRect box(cx - w / 2, r.top() + (r.height() - fm.height()) / 2, w, fm.height());
  if (inverted) p.fillRect(box, kClBlack);
  p.setPen(inverted ? kClWhite : kClBlack);
  p.drawText(box, Qt::AlignCenter, text);
}

void TFrmDiaEditor::GrdTmDrawCell(QPainter& p, int col, int row, const QRect& rect) {
  if (!Ed) return;
  const int32_t markCol = Ed->MarkCol, markRow = Ed->MarkRow;
  QColor back = kClWhite;
  if (row == 0 || col == 0) {
    back = palette().color(QPalette::Button);
  } else if ((row == markRow && (markCol == kNoMark || col == markCol)) ||
             (markRow == kNoMark && col == markCol)) {
    back = kClYellow;
  }
  p.fillRect(rect, back);
  const std::string& text = GrdTm->Cell(col, row);
  if (text.empty()) return;
  if (row == 0 || col == 0) {
    DrawTimeInCell(p, rect, 2, QStr(text), false);
    return;
  }
  int32_t slot = 0, tr = 0;
  if (!CellToDia(col, row, slot, tr)) return;
  const bool left = RunsLeftwards(tr);
  if (text == "*") {
    DrawTimeInCell(p, rect, 2, left ? QStringLiteral("←") : QStringLiteral("→"), false);
    return;
  }
  const TTmTbl& c = Ed->Dia.Cell(tr, slot);
  const int a = left ? 3 : 1, d = left ? 1 : 3;
  const auto time = [](int32_t t) { return t < 0 ? QString() : QStr(TimeToText(t, true)); };
  if (Ed->Dia.IsOriginCell(tr, slot)) {
    DrawTimeInCell(p, rect, d, time(c.TmEnd), false);
  } else if (c.TmStart == c.TmEnd) {
    const QString arrow = left ? QStringLiteral("←") : QStringLiteral("→");
    DrawTimeInCell(p, rect, a, arrow, false);
    DrawTimeInCell(p, rect, d, arrow, false);
  } else {
    DrawTimeInCell(p, rect, a, time(c.TmStart), false);
    DrawTimeInCell(p, rect, d, time(c.TmEnd), false);
  }
  DrawTimeInCell(p, rect, 2, QStr(IntText(SplitEntCode(c.Loc).Slot)), true);
}

bool TFrmDiaEditor::CellToDia(int col, int row, int32_t& slot, int32_t& tr) const {
  if (!Ed || row < 1 || col < 1) return false;
  const TOrderList& order = *Ed->Dia.ViewOrder;
  if (row - 1 >= static_cast<int>(order.size())) return false;
  tr = order[row - 1].Tr;
  slot = (col - 1) / 2 + Ed->LeftSta;
  return tr >= 0 && tr < Ed->Dia.TrCount;
}

// ---- Mouse -------------------------------------------------------------------------------------

void TFrmDiaEditor::GrdTmMouseMove(QPoint pos) {
  int col = 0, row = 0;
  HoverCarId = -1;
  if (!Ed || !GrdTm->MouseToCell(pos, col, row)) return;
  const std::string& head = GrdTm->Cell(0, row);
  if (row < 1 || head.empty()) return;
  // Silent lookups: a box popping up under a moving mouse would only get in the way.
  const TCarObj* c = nullptr;
  if (Ed->ShowTrNoCol) {
    c = brd_->FindTrainCar(head, "");
  } else if (int32_t no = 0; ParseInt(head, no)) {
    c = brd_->FindCar(no, "");
  }
  if (c != nullptr) HoverCarId = c->Id;
  HoverStaId = -1;
  ShowHoverNote(col, row);
}

// The note of the train under the mouse in the status bar and as the grid's tip, so that it can
// be read without a dialog; the bar is left to other texts when the mouse is on a train without
// one.
void TFrmDiaEditor::ShowHoverNote(int col, int row) {
  int32_t slot = 0, tr = 0;
  std::string note, trNo;
  if (col >= 1 && CellToDia(col, row, slot, tr)) {
    trNo = Ed->Dia.TrInfo[tr].TrNo;
  } else if (Ed->ShowTrNoCol) {
    trNo = GrdTm->Cell(0, row);
  }
  if (const TCarObj* c = trNo.empty() ? nullptr : brd_->FindTrainCar(trNo, "")) {
    note = c->TrNote(trNo);
  }
  if (!note.empty()) {
    const QString text = QStr("列車 " + trNo + " の備考：" + note);
    SBarDia->setText(text);
    GrdTm->setToolTip(text);
    noteShown_ = true;
  } else if (noteShown_) {
    SBarDia->clear();
    GrdTm->setToolTip(QString());
    noteShown_ = false;
  }
}

void TFrmDiaEditor::FormMouseMove(QPoint picPos) {
  HoverStaId = -1;
  for (const TStaCol& s : StaCols) {
    if (picPos.x() >= s.From && picPos.x() < s.To) {
      HoverStaId = s.StaId;
      HoverCarId = -1;
      return;
    }
  }
}

int TFrmDiaEditor::PopupTagCol() const { return popupTag_ / 10000; }
int TFrmDiaEditor::PopupTagRow() const { return popupTag_ % 10000; }

// Which popup items the clicked cell offers; the items carry the train or the cell.
void TFrmDiaEditor::MarkForPopup(int col, int row, int32_t slot, int32_t tr) {
  const TDiaObj& dia = Ed->Dia;
  const TTmTbl& c = dia.Cell(tr, slot);
  const bool pass = c.TmStart >= 0 && c.TmStart == c.TmEnd && !dia.IsOriginCell(tr, slot);
  MnuHint->setVisible(pass);
  N9->setVisible(pass);
  if (pass) MnuHint->setText(QStr("通過時刻：" + TimeToText(c.TmStart, true)));
  for (QAction* a : {MnuTrNote2, MnuTrainDel2, MnuKukanAdd, MnuShowOneCar, MnuCarDiv, MnuCarMarge,
                     MnuShiftTime2, MnuRepeat2}) {
    a->setData(tr);
  }
  MnuShowPath->setData(row);
  popupTag_ = col * 10000 + row;
  const bool normal = !pass && Ed->EdtCarId.empty();
  const TCarObj* car = brd_->FindTrainCar(dia.TrInfo[tr].TrNo, "KukanDelete-CAR-1");
  const bool last = car != nullptr && IsLastTrain(*car, dia.TrInfo[tr].TrNo);
  const bool terminal = c.TmEnd < 0;
  const bool nextExists = Ed->KudariMode ? slot <= dia.StaCount - 2 : slot > 0;
  N6->setVisible(last && normal);
  MnuKukanDelAll->setVisible(last && normal && !terminal);
  MnuKukanAdd->setVisible(terminal && normal && last && nextExists);
  N8->setVisible(normal);
  MnuCarDiv->setVisible(normal && !last);
  MnuCarMarge->setVisible(last && normal);
  // The bulk edits follow the 列車 menu: only in the normal view.
  N11->setVisible(Ed->EdtCarId.empty());
  MnuShiftTime2->setVisible(Ed->EdtCarId.empty());
  MnuRepeat2->setVisible(Ed->EdtCarId.empty() && last);
}

void TFrmDiaEditor::GrdTmMouseUp(Qt::MouseButton, QPoint pos) {
  int col = 0, row = 0;
  if (!Ed || !GrdTm->MouseToCell(pos, col, row)) return;
  if (col == 0) {
    Ed->ShowTrNoCol = !Ed->ShowTrNoCol;
    RefreshView(true);
    return;
  }
  int32_t slot = 0, tr = 0;
  if (row < 1 || GrdTm->Cell(col, row) != "!" || !CellToDia(col, row, slot, tr)) return;
  MarkForPopup(col, row, slot, tr);
  PMnuGrid->popup(GrdTm->mapToGlobal(GrdTm->CellRect(col, row).center()));
}

// ---- Special views -----------------------------------------------------------------------------

void TFrmDiaEditor::MnuShowOneStaClick() {
  int32_t slot = 0, tr = 0;
  if (!CellToDia(PopupTagCol(), PopupTagRow(), slot, tr)) return;
  Ed->MarkCol = PopupTagCol();
  Ed->MarkRow = kNoMark;  // the whole column
  Ed->EdtCarId = "*" + IntText(slot);
  Ed->Dia.MakeStaOrder(slot);
  RefreshView(true);
}

void TFrmDiaEditor::EdtCarIdClick() {
  if (!Ed) return;
  if (const std::optional<int32_t> no =
          Ed->SelectCar(kSelBothDir, "両方向表示がしたい編成を選択して下さい")) {
    ShowOneCar(*no);
  }
}

void TFrmDiaEditor::MnuShowOneCarClick() {
  const int32_t t = MnuShowOneCar->data().toInt();
  if (t < 0 || t >= Ed->Dia.TrCount) return;
  const TCarObj* c = brd_->FindTrainCar(Ed->Dia.TrInfo[t].TrNo, "MnuShowOneCarClick-TR-1");
  if (c != nullptr) ShowOneCar(c->Id);
}

void TFrmDiaEditor::ShowOneCar(int32_t n) {
  const TCarObj* c = brd_->FindCar(n, "EdtCarIdClick-CAR-1");
  if (c == nullptr) return;
  Ed->EdtCarId = IntText(n);
  Ed->Dia.MakeCarOrder(*c);
  Ed->MarkCol = Ed->MarkRow = kNoMark;
  RefreshView(true);
}

void TFrmDiaEditor::MnuOccupyStatusClick() {
  int32_t slot = 0, tr = 0;
  if (!CellToDia(PopupTagCol(), PopupTagRow(), slot, tr)) return;
  Ed->MarkRow = PopupTagRow();
  Ed->MarkCol = PopupTagCol();
  SetBlkPack(false);
  Ed->OccTm = Ed->Dia.Cell(tr, slot).TmStart;
  Ed->DiaMode = TDiaMode::kNormal;
  RefreshView(true);
}

void TFrmDiaEditor::MnuShowPathClick() {
  const int row = MnuShowPath->data().toInt();
  int32_t slot = 0, tr = 0;
  if (!CellToDia(1, row, slot, tr)) return;
  Ed->OccTm = -1;
  Ed->DiaMode = TDiaMode::kPathShown;
  Ed->MarkRow = row;
  Ed->MarkCol = kNoMark;
  Ed->Dia.CurTr = tr;
  RefreshView(true);
}

}  // namespace ramvel
