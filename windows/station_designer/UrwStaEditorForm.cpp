// The station designer's window.
#include "windows/station_designer/UrwStaEditorForm.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QVBoxLayout>
#include <utility>

#include "windows/station_designer/UrwStaEntConnForm.h"
#include "windows/common/UrwSelStaForm.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr int kSelStaKindDesigner = 0;  // every station file of the board

QLabel* Caption(const char* text, QWidget* parent) {
  return new QLabel(QString::fromUtf8(text), parent);
}

QComboBox* EntCombo(QWidget* parent) {
  auto* cbx = new QComboBox(parent);
  cbx->setEditable(true);
  cbx->setInsertPolicy(QComboBox::NoInsert);
  for (int n = 0; n <= kMaxStaEnt; ++n) cbx->addItem(QString::number(n));
  cbx->setMaxVisibleItems(kMaxStaEnt + 1);
  cbx->setFixedWidth(56);
  return cbx;
}

}  // namespace

// ---- The picture -------------------------------------------------------------------------------

TStaEditPic::TStaEditPic(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(kStaClientW, kStaPicH);
  Pic = QImage(kStaClientW, kStaPicH, QImage::Format_RGB32);
  Pic.fill(Qt::gray);
}

void TStaEditPic::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, Pic);
}

void TStaEditPic::mouseMoveEvent(QMouseEvent* e) {
  emit MouseMoved(e->position().toPoint().x(), e->position().toPoint().y());
}

void TStaEditPic::mouseReleaseEvent(QMouseEvent* e) {
  emit MouseReleased(e->button(), e->modifiers(), e->position().toPoint().x(),
                     e->position().toPoint().y());
}

void TStaEditPic::leaveEvent(QEvent*) { emit MouseLeft(); }

// ---- The window --------------------------------------------------------------------------------

TFrmStaEditor::TFrmStaEditor(QWidget* parent, TFrmSelSta* selSta)
    : QDialog(parent), selSta_(selSta) {
  setFont(UiFont(true, 12));
  if (selSta_ == nullptr) selSta_ = new TFrmSelSta(this);
  entForm_ = new TFrmStaEnt(this);
  MakeMenu();
  MakeLayout();
  ConnectMenu();
  ConnectFields();
  ConnectPicture();
  Ed.SetHooks({[this](TStaEntConn& conn) { return entForm_->Execute(conn); },
               [this](const std::string& brdDir) -> std::optional<std::string> {
                 std::string name;
                 if (!selSta_->SelectSta(kSelStaKindDesigner, brdDir, nullptr, name)) {
                   return std::nullopt;
                 }
                 return name;
               }});
  ShowState();
}

TStatus TFrmStaEditor::Open(const std::string& progDir, const std::string& brdName, int32_t idSta,
                            const std::string& pieceDir) {
  const TStatus st = Ed.Open(progDir, brdName, idSta, pieceDir);
  if (st) ShowState();
  return st;
}

void TFrmStaEditor::MakeMenu() {
  MainMenu = new QMenuBar(this);
  MnuFile = MainMenu->addMenu(QStringLiteral("ファイル(&F)"));
  MnuNew = MnuFile->addAction(QStringLiteral("新規作成(&N)"));
  MnuNew->setShortcut(QKeySequence::New);
  MnuCopy = MnuFile->addAction(QStringLiteral("コピーして作成"));
  MnuOpen = MnuFile->addAction(QStringLiteral("開く(&O)"));
  MnuOpen->setShortcut(QKeySequence::Open);
  MnuSave = MnuFile->addAction(QStringLiteral("保存(&S)"));
  MnuSave->setShortcut(QKeySequence::Save);
  MnuFile->addSeparator();
  MnuExit = MnuFile->addAction(QStringLiteral("終了"));
  MnuEdit = MainMenu->addMenu(QStringLiteral("編集(&E)"));
  MnuUndoRedo = AddUndoActions(MnuEdit);
  MnuEdit->addSeparator();
  MnuRevV = MnuEdit->addAction(QStringLiteral("上下反転(&1)"));
  MnuRevH = MnuEdit->addAction(QStringLiteral("左右反転(&2)"));
  MnuEdit->addSeparator();
  MnuMovU = MnuEdit->addAction(QStringLiteral("上に１つ移動(&U)"));
  MnuMovD = MnuEdit->addAction(QStringLiteral("下に1つ移動(&D)"));
  MnuEntCrs = MainMenu->addMenu(QStringLiteral("立体交差(&C)"));
  MnuEntCrsL = MnuEntCrs->addAction(QStringLiteral("立体交差の設定(左)"));
  MnuEntCrsR = MnuEntCrs->addAction(QStringLiteral("立体交差の設定(右)"));
  MnuHome = MainMenu->addMenu(QStringLiteral("ホーム番号(&H)"));
  MnuHomeU = MnuHome->addAction(QStringLiteral("上から順に123と振る(&U)"));
  MnuHomeL = MnuHome->addAction(QStringLiteral("下から順に123と振る(&L)"));
}

void TFrmStaEditor::MakeLayout() {
  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);
  col->setMenuBar(MainMenu);
  ImgSta = new TStaEditPic(this);
  ImgSta->setFocusPolicy(Qt::ClickFocus);  // a typed entry count is confirmed by a click
  col->addWidget(ImgSta);
  MakeNamePanel();
  col->addWidget(PnlName);
  SBar = new QLabel(this);
  SBar->setFrameShape(QFrame::Panel);
  SBar->setFrameShadow(QFrame::Sunken);
  SBar->setContentsMargins(4, 1, 4, 1);
  col->addWidget(SBar);
  col->setSizeConstraint(QLayout::SetFixedSize);
}

void TFrmStaEditor::MakeNamePanel() {
  PnlName = new QFrame(this);
  PnlName->setFrameShape(QFrame::Panel);
  PnlName->setFrameShadow(QFrame::Raised);
  auto* row = new QHBoxLayout(PnlName);
  row->setContentsMargins(8, 6, 8, 6);
  row->setSpacing(6);
  EdtName = new QLineEdit(PnlName);
  EdtName->setFixedWidth(160);
  CbxEntL = EntCombo(PnlName);
  CbxEntR = EntCombo(PnlName);
  EdtDesc = new QLineEdit(PnlName);
  row->addWidget(Caption("駅名", PnlName));
  row->addWidget(EdtName);
  row->addSpacing(12);
  row->addWidget(Caption("エントリ数(左)", PnlName));
  row->addWidget(CbxEntL);
  row->addWidget(Caption("(右)", PnlName));
  row->addWidget(CbxEntR);
  row->addSpacing(12);
  row->addWidget(Caption("備考", PnlName));
  row->addWidget(EdtDesc, 1);
}

void TFrmStaEditor::ConnectMenu() {
  connect(MnuNew, &QAction::triggered, this, [this] { MnuNewClick(); });
  connect(MnuCopy, &QAction::triggered, this, [this] { MnuCopyClick(); });
  connect(MnuOpen, &QAction::triggered, this, [this] { MnuOpenClick(); });
  connect(MnuSave, &QAction::triggered, this, [this] { MnuSaveClick(); });
  connect(MnuExit, &QAction::triggered, this, [this] { close(); });
  connect(MnuUndoRedo.Undo, &QAction::triggered, this, [this] { MnuUndoClick(false); });
  connect(MnuUndoRedo.Redo, &QAction::triggered, this, [this] { MnuUndoClick(true); });
  connect(MnuRevV, &QAction::triggered, this, [this] { MnuRevVClick(); });
  connect(MnuRevH, &QAction::triggered, this, [this] { MnuRevHClick(); });
  connect(MnuMovU, &QAction::triggered, this, [this] { MnuMovUClick(); });
  connect(MnuMovD, &QAction::triggered, this, [this] { MnuMovDClick(); });
  connect(MnuEntCrsL, &QAction::triggered, this, [this] { MnuEntCrsClick(0); });
  connect(MnuEntCrsR, &QAction::triggered, this, [this] { MnuEntCrsClick(1); });
  connect(MnuHomeU, &QAction::triggered, this, [this] { MnuHomeClick(0); });
  connect(MnuHomeL, &QAction::triggered, this, [this] { MnuHomeClick(1); });
}

void TFrmStaEditor::ConnectFields() {
  // The model commits the fields before every command, so it always holds what they show.
  connect(EdtName, &QLineEdit::textChanged, this,
          [this](const QString& s) { Ed.Fields().Name = s.toStdString(); });
  connect(EdtDesc, &QLineEdit::textChanged, this,
          [this](const QString& s) { Ed.Fields().Desc = s.toStdString(); });
  connect(CbxEntL, &QComboBox::editTextChanged, this, [this](const QString& s) {
    Ed.Fields().EntL = s.toStdString();
    entEdited_[0] = true;
  });
  connect(CbxEntR, &QComboBox::editTextChanged, this, [this](const QString& s) {
    Ed.Fields().EntR = s.toStdString();
    entEdited_[1] = true;
  });
  // A count chosen from the list, or typed and confirmed with Enter or by leaving the field.
  for (const int tag : {0, 1}) {
    QComboBox* cbx = tag == 0 ? CbxEntL : CbxEntR;
    connect(cbx, &QComboBox::activated, this, [this, tag] { CbxEntChange(tag); });
    connect(cbx->lineEdit(), &QLineEdit::editingFinished, this, [this, tag] { CbxEntChange(tag); });
  }
}

void TFrmStaEditor::ConnectPicture() {
  connect(ImgSta, &TStaEditPic::MouseMoved, this, &TFrmStaEditor::ImgStaMouseMove);
  connect(ImgSta, &TStaEditPic::MouseReleased, this, &TFrmStaEditor::ImgStaMouseUp);
  connect(ImgSta, &TStaEditPic::MouseLeft, this, [this] {
    Pointer.In = false;
    Redraw();
  });
}

// ---- Handlers ----------------------------------------------------------------------------------

void TFrmStaEditor::MnuEntCrsClick(int tag) {
  RunCommitted([this, tag] { Ed.EditEntCrs(tag); });
}

void TFrmStaEditor::MnuUndoClick(bool redo) {
  Run([this, redo] { redo ? Ed.Redo() : Ed.Undo(); });
}

void TFrmStaEditor::MnuHomeClick(int tag) {
  RunCommitted([this, tag] { Ed.NumberHomes(tag); });
}

void TFrmStaEditor::CbxEntChange(int tag) {
  if (!std::exchange(entEdited_[tag], false)) return;
  QComboBox* cbx = tag == 0 ? CbxEntL : CbxEntR;
  Ed.CbxEntChange(tag, cbx->currentText().toStdString());
  ShowState();
}

void TFrmStaEditor::ImgStaMouseMove(int x, int y) {
  Pointer = {true, x, y};
  Redraw();
}

void TFrmStaEditor::ImgStaMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x,
                                  int y) {
  if (button != Qt::LeftButton && button != Qt::RightButton) return;
  Pointer = {true, x, y};
  Ed.MouseUp(button == Qt::RightButton ? TMouseBtn::kRight : TMouseBtn::kLeft,
             (mods & Qt::ShiftModifier) != 0, x, y);
  ShowState();
}

void TFrmStaEditor::reject() {
  if (Ed.CanClose()) {
    QDialog::reject();
  } else {
    ShowState();
  }
}

// ---- Showing the model -------------------------------------------------------------------------

void TFrmStaEditor::ShowState() {
  setWindowTitle(QStr(Ed.Caption()));
  const TStaFields& f = Ed.Fields();
  const auto show = [](QLineEdit* edit, const std::string& text) {
    if (edit->text().toStdString() != text) edit->setText(QStr(text));
  };
  show(EdtName, f.Name);
  show(EdtDesc, f.Desc);
  show(CbxEntL->lineEdit(), f.EntL);
  show(CbxEntR->lineEdit(), f.EntR);
  entEdited_[0] = entEdited_[1] = false;  // the boxes show what the model holds
  ShowUndoState(MnuUndoRedo, Ed.History());
  EdtName->setReadOnly(Ed.NameReadOnly());
  // A name that cannot be changed looks like it: on the window's ground, not the edit colour.
  QPalette pal = EdtDesc->palette();
  if (Ed.NameReadOnly()) pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  EdtName->setPalette(pal);
  switch (Ed.TakeFocus()) {
    case TStaFocus::kName:
      EdtName->setFocus();
      break;
    case TStaFocus::kEntL:
      CbxEntL->setFocus();
      break;
    case TStaFocus::kEntR:
      CbxEntR->setFocus();
      break;
    case TStaFocus::kNone:
      break;
  }
  Redraw();
}

void TFrmStaEditor::Redraw() {
  const TStaCheck check = Ed.CheckAndDisplay();
  QPainter p(&ImgSta->Pic);
  DrawStaEditor(p, Ed, check, Pointer);
  p.end();
  ImgSta->update();
  SBar->setText(QStr(StatusText(check)));
}

std::string TFrmStaEditor::StatusText(const TStaCheck& check) const {
  std::string where;
  const TStaHit hit = Pointer.In ? StaHitTest(Pointer.X, Pointer.Y) : TStaHit{};
  switch (hit.Zone) {
    case TStaZone::kMatrix:
      where = IntText(hit.Col) + "列 " + IntText(hit.Row) + "行";
      break;
    case TStaZone::kLeftStrip:
      where = "クリックで立体交差の設定(左)";
      break;
    case TStaZone::kRightStrip:
      where = "クリックで立体交差の設定(右)";
      break;
    case TStaZone::kPalette:
      if (const int32_t no = Ed.Panels().PanelAtTbl(hit.Col, hit.Row); no != kNoPanel) {
        where = "部品" + IntText(no) + "：クリックでつかむ";
      }
      break;
    case TStaZone::kNone:
      break;
  }
  std::string text = check.IsErr ? "接続エラーがあります" : "エラーなし";
  if (Ed.Modified()) text += "  (未保存)";
  if (Ed.Held() != kNoPanel) text += "  部品" + IntText(Ed.Held()) + "を配置中（右クリックで放す）";
  if (Ed.FillStart()) text += "  同じ行をクリックすると、その間を直線で埋めます";
  if (!where.empty()) text += "    " + where;
  return text;
}

}  // namespace ramvel
