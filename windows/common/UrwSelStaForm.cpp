// The selection dialog: a fixed-height owner-drawn list, in text or picture mode.
#include "windows/common/UrwSelStaForm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

#include "engine/UrwBrdData.h"
#include "engine/UrwShellState.h"
#include "view/UrwDrawKit.h"
#include "view/UrwStaDraw.h"

namespace ramvel {

namespace {

constexpr int kFormW = 438;
constexpr int kFormH = 313;
constexpr int kListX = 8, kListY = 8, kListW = 337;
constexpr int kBtnX = 352, kBtnW = 75, kBtnH = 25;
constexpr int kPicTextX = 105;  // text starts here beside a picture
const QColor kClGray(128, 128, 128);

// Hands every item to the dialog's drawing and gives it the mode's fixed height.
class TSelItemDelegate : public QStyledItemDelegate {
 public:
  explicit TSelItemDelegate(TFrmSelSta& dlg) : QStyledItemDelegate(&dlg), dlg_(dlg) {}

  void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& idx) const override {
    dlg_.LbxStaDrawItem(*p, idx.row(), opt.rect, (opt.state & QStyle::State_Selected) != 0);
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {kListW, dlg_.ItemHeight()};
  }

 private:
  TFrmSelSta& dlg_;
};

}  // namespace

TFrmSelSta::TFrmSelSta(QWidget* parent) : QDialog(parent) {
  setFont(UiFont(true, 12));
  resize(kFormW, kFormH);
  LbxSta = new QListWidget(this);
  LbxSta->setGeometry(kListX, kListY, kListW, kFormH - 2 * kListY);
  LbxSta->setFont(UiFont(true, 15));
  LbxSta->setUniformItemSizes(true);
  LbxSta->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  LbxSta->setItemDelegate(new TSelItemDelegate(*this));
  LbxSta->installEventFilter(this);
  BtnOk = new QPushButton(QStringLiteral("OK"), this);
  BtnOk->setGeometry(kBtnX, 8, kBtnW, kBtnH);
  BtnOk->setAutoDefault(false);
  BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  BtnCancel->setGeometry(kBtnX, 40, kBtnW, kBtnH);
  BtnCancel->setAutoDefault(false);
  ItemPic = QImage(kPicW, kPicItemH, QImage::Format_RGB32);
  // A click or a key that chooses an item enables OK (LbxStaClick).
  connect(LbxSta, &QListWidget::itemSelectionChanged, this,
          [this] { BtnOk->setEnabled(SelectedIndex() >= 0); });
  connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

// ---- The common part ---------------------------------------------------------------------------

bool TFrmSelSta::ShowSelList(const std::vector<std::string>& list, const std::string& prompt,
                             bool textMode) {
  if (list.empty()) {
    ShowMsgBox(kCapNotice, "選択できるものがありません");
    return false;
  }
  FillList(list, prompt, textMode);
  return exec() == QDialog::Accepted && SelectedIndex() >= 0;
}

void TFrmSelSta::FillList(const std::vector<std::string>& list, const std::string& prompt,
                          bool textMode) {
  const TSelGeometry g = SelGeometry(list.size(), textMode);
  TextMode = textMode;
  LbxSta->clear();
  for (const std::string& item : list) LbxSta->addItem(QStr(item));
  LbxSta->setFixedHeight(g.ListH);
  setWindowTitle(QStr(prompt));
  if (list.size() == 1) {
    LbxSta->setCurrentRow(0);
  } else {
    LbxSta->setCurrentRow(-1);
    LbxSta->clearSelection();
  }
  BtnOk->setEnabled(list.size() == 1);
  setFixedSize(kFormW, g.ClientH);
}

int TFrmSelSta::SelectedIndex() const {
  const QList<QListWidgetItem*> sel = LbxSta->selectedItems();
  return sel.isEmpty() ? -1 : LbxSta->row(sel.front());
}

std::string TFrmSelSta::SelectedText() const {
  const int i = SelectedIndex();
  return i < 0 ? std::string() : LbxSta->item(i)->text().toStdString();
}

void TFrmSelSta::LbxStaDrawItem(QPainter& p, int index, const QRect& rect, bool selected) {
  const QPalette& pal = LbxSta->palette();
  p.fillRect(rect, selected ? pal.highlight() : pal.base());
  int x = 0;
  if (!TextMode && !StaPics.isNull()) {
    ItemPic.fill(kClGray);
    QPainter ip(&ItemPic);
    ip.drawImage(0, 0, StaPics, 0, kPicItemH * index, kPicW, kPicItemH);
    ip.end();
    p.drawImage(rect.topLeft(), ItemPic);
    x = kPicTextX;
  }
  QListWidgetItem* item = LbxSta->item(index);
  if (item == nullptr) return;
  p.setFont(LbxSta->font());
  p.setPen(selected ? pal.highlightedText().color() : pal.text().color());
  const QFontMetrics fm(LbxSta->font());
  const int top = rect.top() + ItemHeight() / 2 - fm.height() / 2;
  p.drawText(rect.left() + x, top + fm.ascent(), item->text());
}

// ---- Keys --------------------------------------------------------------------------------------

bool TFrmSelSta::FormKeyUp(int key) {
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && SelectedIndex() >= 0) {
    accept();
    return true;
  }
  if (key == Qt::Key_Escape) {
    reject();
    return true;
  }
  return false;
}

void TFrmSelSta::keyReleaseEvent(QKeyEvent* e) {
  if (!FormKeyUp(e->key())) QDialog::keyReleaseEvent(e);
}

bool TFrmSelSta::eventFilter(QObject* obj, QEvent* e) {
  if (obj == LbxSta && e->type() == QEvent::KeyRelease) {
    return FormKeyUp(static_cast<QKeyEvent*>(e)->key());
  }
  return QDialog::eventFilter(obj, e);
}

void TFrmSelSta::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  LbxSta->setFocus();
}

// ---- The choices -------------------------------------------------------------------------------

bool TFrmSelSta::SelectSta(int kind, const std::string& brdFolder, const TBrdData* brd,
                           std::string& name) {
  const std::vector<std::string> list = StaFilesToOffer(kind, brdFolder, brd);
  DrawStaPics(list, brdFolder);
  if (!ShowSelList(list, "駅を選択して下さい", false)) return false;
  name = SelectedText();
  return true;
}

bool TFrmSelSta::SelectLine(const std::string& brdFolder, std::string& name) {
  if (!ShowSelList(ListFiles(ResolveIn(brdFolder, "line"), "txt"), "路線を選択して下さい", true)) {
    return false;
  }
  name = SelectedText();
  return true;
}

bool TFrmSelSta::SelectBrd(const std::string& baseDir, std::string& name) {
  if (!ShowSelList(ListBoards(baseDir), "ボードを選択して下さい", true)) return false;
  name = SelectedText();
  return true;
}

bool TFrmSelSta::SelectCarId(const std::vector<std::string>& list, const std::string& prompt,
                             int32_t& no) {
  return ShowSelList(list, prompt, true) && CarIdOfItem(SelectedText(), no);
}

bool TFrmSelSta::SelectTrNo(const std::vector<std::string>& list, std::string& trNo) {
  if (!ShowSelList(list, "列車を選択して下さい", true)) return false;
  trNo = SelectedText();
  return true;
}

// ---- Station pictures --------------------------------------------------------------------------

void TFrmSelSta::DrawStaPics(const std::vector<std::string>& names, const std::string& brdFolder) {
  StaPics = QImage(kPicW, std::max<int>(1, static_cast<int>(names.size())) * kPicItemH,
                   QImage::Format_RGB32);
  StaPics.fill(kClGray);
  const std::string staDir = ResolveIn(brdFolder, "station");
  QPainter p(&StaPics);
  for (size_t b = 0; b < names.size(); ++b) {
    TStaObj sta;
    if (!sta.LoadSta(staDir, names[b])) continue;
    sta.ShowDetail = true;
    TStaDrawArgs args;
    args.Origin = {0, kPicItemH * static_cast<int32_t>(b) + kPicItemH / 2};
    args.AcrossScale = 1.3333334f;  // the single nearest to 4/3
    args.AlongScale = 9.6f;
    args.Flags = kDrawLeadShift;
    args.BackColour = kClrOutside;  // grey
    args.TrackColour = kClrTrack;   // white
    DrawSta(p, sta, args);
  }
}

}  // namespace ramvel
