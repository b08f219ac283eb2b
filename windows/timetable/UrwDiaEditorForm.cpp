// The diagram editor window: its parts, opening a line, redrawing, the direction and scroll
// panels, the menus and closing.
#include "windows/timetable/UrwDiaEditorForm.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "windows/timetable/UrwCarPropertyForm.h"
#include "windows/timetable/UrwDiaDialogsForm.h"
#include "windows/timetable/UrwDiaProblemForm.h"
#include "windows/common/UrwSelStaForm.h"
#include "windows/timetable/UrwDiaChoice.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {
constexpr int kPnlTopLeftW = 69;
constexpr int kPnlTopRightW = 26;
const char* const kBackToNormal = "通常の表示に戻るには「上り」か「下り」のボタンを押して下さい";
}  // namespace

TFrmDiaEditor::TFrmDiaEditor(TDiaDialogs* dialogs, TFrmSelSta* sel, QWidget* parent)
    : QDialog(parent) {
  if (dialogs == nullptr) {
    if (sel == nullptr) {
      ownSel_ = std::make_unique<TFrmSelSta>(this);
      sel = ownSel_.get();
    }
    ownDialogs_ = std::make_unique<TFrmDiaDialogs>(sel, this);
  }
  resize(870, 640);
  setFont(UiFont(true, 12));
  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);
  MakeMenus();
  col->setMenuBar(MainMenu1);
  auto* top = new QWidget(this);
  top->setFixedHeight(kPicH);
  MakeTopPanels(top);
  col->addWidget(top);
  SBarDia = new QLabel(this);
  SBarDia->setFrameShape(QFrame::StyledPanel);
  SBarDia->setFrameShadow(QFrame::Sunken);
  SBarDia->setMinimumHeight(19);
  col->addWidget(SBarDia);
  PnlTm = new QFrame(this);
  auto* tmCol = new QVBoxLayout(PnlTm);
  tmCol->setContentsMargins(0, 0, 0, 0);
  GrdTm = new TStrGrid(PnlTm);
  GrdTm->setFont(UiFont(false, 13));
  tmCol->addWidget(GrdTm);
  col->addWidget(PnlTm, 1);
  MakePopup();
  ConnectCommands();
  ed_dialogs_ = dialogs != nullptr ? dialogs : ownDialogs_.get();
}

TFrmDiaEditor::~TFrmDiaEditor() = default;

// ---- Parts -------------------------------------------------------------------------------------

void TFrmDiaEditor::MakeMenus() {
  MainMenu1 = new QMenuBar(this);
  MakeFileMenu();
  QMenu* sys = MainMenu1->addMenu(QStringLiteral("システム"));
  MnuChk = sys->addAction(QStringLiteral("チェック"));
  sys->addSeparator();
  MnuReg = sys->addAction(QStringLiteral("登録"));
  MnuEdit = MainMenu1->addMenu(QStringLiteral("編集(&E)"));
  MnuUndoRedo = AddUndoActions(MnuEdit);
  MnuCar = MainMenu1->addMenu(QStringLiteral("編成"));
  MnuCarNew = MnuCar->addAction(QStringLiteral("新規"));
  MnuCar->addSeparator();
  MnuCarSpec = MnuCar->addAction(QStringLiteral("スペック確認"));
  MnuCar->addSeparator();
  MnuCarDel = MnuCar->addAction(QStringLiteral("削除"));
  MnuTrain = MainMenu1->addMenu(QStringLiteral("列車"));
  MnuTrainNew = MnuTrain->addAction(QStringLiteral("新規設定"));
  MnuTrainBridge = MnuTrain->addAction(QStringLiteral("他路線から乗り入れ"));
  MnuTrain->addSeparator();
  MnuChgTrNo = MnuTrain->addAction(QStringLiteral("列車番号の変更"));
  MnuTrNote = MnuTrain->addAction(QStringLiteral("備考...(&N)"));
  MnuTrNote->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
  MnuTrain->addSeparator();
  MnuTrainDel = MnuTrain->addAction(QStringLiteral("削除"));
  MnuTrain->addSeparator();
  MnuShiftTime = MnuTrain->addAction(QStringLiteral("時刻をずらす...(&T)"));
  MnuShiftTime->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  MnuRepeat = MnuTrain->addAction(QStringLiteral("繰り返し作成...(&P)"));
  MnuRepeat->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  MakeViewMenu();
  MakeDiaChoice();
}

void TFrmDiaEditor::MakePopup() {
  PMnuGrid = new QMenu(this);
  MnuHint = PMnuGrid->addAction(QStringLiteral("Hint"));
  N9 = PMnuGrid->addSeparator();
  MnuTrNote2 = PMnuGrid->addAction(QStringLiteral("備考...(&N)"));
  MnuTrainDel2 = PMnuGrid->addAction(QStringLiteral("列車を削除する"));
  N4 = PMnuGrid->addSeparator();
  MnuKukanAdd = PMnuGrid->addAction(QStringLiteral("この先に区間を追加(&A)"));
  MnuKukanDelAll = PMnuGrid->addAction(QStringLiteral("この先の区間を全削除(&D)"));
  N8 = PMnuGrid->addSeparator();
  MnuCarDiv = PMnuGrid->addAction(QStringLiteral("編成を分割"));
  MnuCarMarge = PMnuGrid->addAction(QStringLiteral("編成を併合"));
  N6 = PMnuGrid->addSeparator();
  MnuShowPath = PMnuGrid->addAction(QStringLiteral("経路の表示(&R)"));
  MnuOccupyStatus = PMnuGrid->addAction(QStringLiteral("閉塞状況の表示(&B)"));
  MnuShowOneCar = PMnuGrid->addAction(QStringLiteral("編成限定表示(&C)"));
  MnuShowOneSta = PMnuGrid->addAction(QStringLiteral("駅限定表示(&S)"));
  N11 = PMnuGrid->addSeparator();
  MnuShiftTime2 = PMnuGrid->addAction(QStringLiteral("時刻をずらす...(&T)"));
  MnuRepeat2 = PMnuGrid->addAction(QStringLiteral("繰り返し作成...(&P)"));
}

QPushButton* TFrmDiaEditor::MakeMukiButton(QWidget* parent, const QString& caption, int tag, int x,
                                           int y) {
  auto* b = new QPushButton(caption, parent);
  b->setGeometry(x, y, 22, 60);
  QFont f = b->font();
  f.setBold(true);
  b->setFont(f);
  b->setFocusPolicy(Qt::NoFocus);
  connect(b, &QPushButton::clicked, this, [this, tag] { PnlMukiClick(tag); });
  return b;
}

void TFrmDiaEditor::MakeTopPanels(QWidget* top) {
  auto* row = new QHBoxLayout(top);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  PnlTopLeft = new QFrame(top);
  PnlTopLeft->setFixedWidth(kPnlTopLeftW);
  PnlNobori = new TClickPanel(QStringLiteral("上り"), -1, PnlTopLeft);
  PnlNobori->setGeometry(5, 5, 35, 65);
  PnlKudari = new TClickPanel(QStringLiteral("下り"), 1, PnlTopLeft);
  PnlKudari->setGeometry(5, 72, 35, 65);
  PnlBlkPack = new TClickPanel(QStringLiteral("圧縮"), 1, PnlTopLeft);
  PnlBlkPack->setGeometry(5, 167, 35, 25);
  Button1 = MakeMukiButton(PnlTopLeft, QStringLiteral("|<<"), -10, 44, 4);
  BtnL5 = MakeMukiButton(PnlTopLeft, QStringLiteral("<<"), -5, 44, 68);
  BtnL1 = MakeMukiButton(PnlTopLeft, QStringLiteral("<"), -1, 44, 132);
  LblCarID = new QLabel(QStringLiteral("編成ID"), PnlTopLeft);
  LblCarID->setGeometry(5, 199, 60, 15);
  LblCarID->setAlignment(Qt::AlignCenter);
  LblCarID->setStyleSheet(QStringLiteral("color: white; background-color: rgb(128, 128, 128);"));
  EdtCarId = new QLineEdit(PnlTopLeft);
  EdtCarId->setGeometry(5, 216, 60, 23);
  EdtCarId->setReadOnly(true);
  EdtCarId->installEventFilter(this);
  row->addWidget(PnlTopLeft);
  ImgLine = new TLinePicArea(top);
  ImgLine->Bmp = &BackBmp;
  row->addWidget(ImgLine, 1);
  PnlTopRight = new QFrame(top);
  PnlTopRight->setFixedWidth(kPnlTopRightW);
  Button2 = MakeMukiButton(PnlTopRight, QStringLiteral(">>|"), 10, 3, 4);
  BtnR5 = MakeMukiButton(PnlTopRight, QStringLiteral(">>"), 5, 3, 68);
  BtnR1 = MakeMukiButton(PnlTopRight, QStringLiteral(">"), 1, 3, 132);
  row->addWidget(PnlTopRight);
}

void TFrmDiaEditor::ConnectCommands() {
  PnlNobori->OnClick = [this] { PnlDirectClick(PnlNobori->Tag); };
  PnlKudari->OnClick = [this] { PnlDirectClick(PnlKudari->Tag); };
  PnlBlkPack->OnClick = [this] { PnlBlkPackClick(); };
  ImgLine->OnMouseMove = [this](QPoint p) { FormMouseMove(p); };
  // A station stays "under the mouse" only while the mouse is over the picture: on the way to the
  // menu bar it crosses the picture, and 番線使用図 should then ask rather than guess.
  ImgLine->OnLeave = [this] { HoverStaId = -1; };
  ImgLine->OnResize = [this] {
    if (Ed) RefreshView(true);
  };
  GrdTm->OnDrawCell = [this](QPainter& p, int c, int r, const QRect& rc) {
    GrdTmDrawCell(p, c, r, rc);
  };
  GrdTm->OnMouseMove = [this](QPoint p) { GrdTmMouseMove(p); };
  GrdTm->OnMouseUp = [this](Qt::MouseButton b, QPoint p) { GrdTmMouseUp(b, p); };
  const auto on = [this](QAction* a, std::function<void()> f) {
    connect(a, &QAction::triggered, this, [this, f] {
      if (Ed) f();
      UpdateUndoMenu();
    });
  };
  on(MnuUndoRedo.Undo, [this] { MnuUndoClick(false); });
  on(MnuUndoRedo.Redo, [this] { MnuUndoClick(true); });
  connect(MnuEdit, &QMenu::aboutToShow, this, [this] { UpdateUndoMenu(); });
  on(MnuChk, [this] { MnuChkClick(); });
  on(MnuReg, [this] { close(); });
  on(MnuCarNew, [this] { Ed->CarNew(); });
  on(MnuCarSpec, [this] { Ed->CarSpec(); });
  on(MnuCarDel, [this] { Ed->CarDel(); });
  on(MnuTrainNew, [this] { Ed->TrainNew(); });
  on(MnuTrainBridge, [this] { Ed->TrainBridge(); });
  on(MnuChgTrNo, [this] { Ed->ChgTrNo(); });
  on(MnuTrNote, [this] {
    if (Ed->EditTrNote(-1)) DrawTmTbl();
  });
  on(MnuTrNote2, [this] {
    if (Ed->EditTrNote(MnuTrNote2->data().toInt())) DrawTmTbl();
  });
  on(MnuTrainDel, [this] { Ed->TrainDel(); });
  on(MnuTrainDel2, [this] { Ed->TrainDel2(MnuTrainDel2->data().toInt()); });
  on(MnuKukanAdd, [this] { Ed->KukanAdd(MnuKukanAdd->data().toInt()); });
  on(MnuKukanDelAll, [this] {
    int32_t slot = 0, tr = 0;
    if (CellToDia(PopupTagCol(), PopupTagRow(), slot, tr)) Ed->KukanDelAll(tr, slot);
  });
  on(MnuCarDiv, [this] { Ed->CarDiv(MnuCarDiv->data().toInt()); });
  on(MnuCarMarge, [this] { Ed->CarMarge(MnuCarMarge->data().toInt()); });
  on(MnuShowPath, [this] { MnuShowPathClick(); });
  on(MnuOccupyStatus, [this] { MnuOccupyStatusClick(); });
  on(MnuShowOneCar, [this] { MnuShowOneCarClick(); });
  on(MnuShowOneSta, [this] { MnuShowOneStaClick(); });
  on(MnuShiftTime, [this] { MnuShiftTimeClick(-1); });
  on(MnuRepeat, [this] { MnuRepeatClick(-1); });
  on(MnuShiftTime2, [this] { MnuShiftTimeClick(MnuShiftTime2->data().toInt()); });
  on(MnuRepeat2, [this] { MnuRepeatClick(MnuRepeat2->data().toInt()); });
  on(MnuDiagram, [this] { MnuDiagramClick(); });
  on(MnuHomeChart, [this] { MnuHomeChartClick(); });
}

// ---- Opening -----------------------------------------------------------------------------------

void TFrmDiaEditor::OpenDia(TBrdData& brd) {
  brd_ = &brd;
  Ed = std::make_unique<TDiaEditor>(brd, *ed_dialogs_, this);
  BmpLeft = kPnlTopLeftW;
  Ed->OpenDia();
  if (ownDialogs_) ownDialogs_->CarProperty->KindBoard = &brd;
  FillDiaChoice(CbxDia, brd);
  UpdateCarMenus();
  UpdateUndoMenu();
}

void TFrmDiaEditor::MnuUndoClick(bool redo) {
  if (redo ? Ed->Redo() : Ed->Undo()) UpdateCarMenus();
}

void TFrmDiaEditor::UpdateUndoMenu() {
  if (Ed) ShowUndoState(MnuUndoRedo, Ed->History);
}

void TFrmDiaEditor::ApplyDir() {
  if (!Ed) return;
  Ed->ApplyDir();
  UpdateCarMenus();
}

void TFrmDiaEditor::SetPanelDown(TClickPanel* panel, bool down) {
  panel->setFrameShadow(down ? QFrame::Sunken : QFrame::Raised);
}

void TFrmDiaEditor::SetBlkPack(bool v) {
  if (Ed) Ed->SetBlkPack(v);
  SetPanelDown(PnlBlkPack, v);
}

void TFrmDiaEditor::UpdateCarMenus() {
  const bool normal = !Ed || Ed->EdtCarId.empty();
  MnuCar->setEnabled(normal);
  MnuTrain->setEnabled(normal);
  MnuCar->menuAction()->setEnabled(normal);
  MnuTrain->menuAction()->setEnabled(normal);
  // Their shortcuts work while the menu is closed: they follow the menu.
  MnuShiftTime->setEnabled(normal);
  MnuRepeat->setEnabled(normal);
  SBarDia->setText(normal ? QString() : QStr(kBackToNormal));
}

// The panels follow the model's view state, which the commands change.
void TFrmDiaEditor::RefreshView(bool full) {
  if (!Ed) return;
  if (full) {
    const bool special = !Ed->EdtCarId.empty();
    SetPanelDown(PnlNobori, !special && !Ed->KudariMode);
    SetPanelDown(PnlKudari, !special && Ed->KudariMode);
    SetPanelDown(PnlBlkPack, Ed->BlkPack);
    EdtCarId->setText(QStr(Ed->EdtCarId));
    UpdateCarMenus();
    MakePathElems();
    DrawStaLine();
    DrawTmTbl();
    RefreshCharts();
  }
  BackBmp = LineBmp;
  ImgLine->update();
}

void TFrmDiaEditor::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (parent() == nullptr || QGuiApplication::platformName() == "offscreen") return;
  if (QScreen* s = screen()) setGeometry(s->availableGeometry());
}

// ---- Direction, compression and scrolling ------------------------------------------------------

// The left slot a scroll button asks for, by the button's tag.
int32_t TFrmDiaEditor::MukiTarget(int tag) const {
  const int32_t left = Ed->LeftSta;
  if (tag == 10) return FitLeft(Ed->Dia.StaCount - 1);  // the last station at the right edge
  if (tag == -10) return 0;
  if (tag == -5) return FitLeft(left);  // the left station becomes the rightmost
  if (tag == 5) return left + static_cast<int32_t>(StaCols.size()) - 1;
  return left + tag;  // one station either way
}

void TFrmDiaEditor::PnlMukiClick(int tag) {
  if (!Ed) return;
  const int32_t old = Ed->LeftSta;
  Ed->LeftSta = std::clamp<int32_t>(MukiTarget(tag), 0, std::max<int32_t>(0, Ed->Dia.StaCount - 1));
  if (Ed->MarkCol != kNoMark) Ed->MarkCol -= 2 * (Ed->LeftSta - old);
  RefreshView(true);
}

void TFrmDiaEditor::PnlDirectClick(int tag) {
  if (!Ed) return;
  Ed->KudariMode = tag == 1;
  ApplyDir();
}

void TFrmDiaEditor::PnlBlkPackClick() {
  if (!Ed || Ed->OccTm >= 0) return;
  SetBlkPack(!Ed->BlkPack);
  RefreshView(true);
}

// ---- Menus -------------------------------------------------------------------------------------

void TFrmDiaEditor::MnuChkClick() {
  const std::vector<TLineProblem> problems = Ed->LineProblems();
  if (!problems.empty() || FrmProblems != nullptr) ShowProblems(problems);
  if (problems.empty()) {
    ShowMsgBox(kCapNotice, Ed->ChkMsg.empty() ? "不具合な箇所はありません" : Ed->ChkMsg);
  }
}

void TFrmDiaEditor::MnuShiftTimeClick(int32_t tr) {
  std::optional<TBulkResult> res;
  RunBulkEdit([&] {
    res = Ed->BulkShift(tr);
    return res && res->Ok;
  });
  if (res) Ed->ShowBulkResult(*res);
}

void TFrmDiaEditor::MnuRepeatClick(int32_t tr) {
  std::optional<TBulkResult> res;
  RunBulkEdit([&] {
    res = Ed->BulkRepeat(tr);
    return res && res->Ok;
  });
  if (res) Ed->ShowBulkResult(*res);
}

bool TFrmDiaEditor::RunBulkEdit(const std::function<bool()>& op) {
  const bool changed = op();
  // The checks of a bulk edit book into the occupancy whatever their result.
  Ed->ResetView(true);
  UpdateUndoMenu();
  return changed;
}

// ---- Keys and closing --------------------------------------------------------------------------

void TFrmDiaEditor::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F1) {
    if (OnDiagnostics) OnDiagnostics(HoverStaId, HoverCarId);
    return;
  }
  QDialog::keyPressEvent(e);
}

bool TFrmDiaEditor::eventFilter(QObject* obj, QEvent* e) {
  if (obj == EdtCarId && e->type() == QEvent::MouseButtonRelease) {
    EdtCarIdClick();
    return true;
  }
  return QDialog::eventFilter(obj, e);
}

// The question names the problems as the list shows them (the first few); without any, the
// empty moves the rebuild reported.
bool TFrmDiaEditor::FormCloseQuery() {
  if (!Ed) return true;
  constexpr size_t kShown = 8;
  const std::vector<TLineProblem> problems = Ed->LineProblems();
  std::string text = problems.empty() ? Ed->ChkMsg : "";
  for (size_t i = 0; i < problems.size() && i < kShown; ++i) {
    text += (i > 0 ? "\n" : "") + ProblemLine(problems[i]);
  }
  if (problems.size() > kShown) text += "\nほか" + IntText(static_cast<int64_t>(problems.size() - kShown)) + "件";
  if (text.empty()) return true;
  return AskYesNo(kCapNotice, "不具合な箇所がありますがこのまま終了しますか？：\n" + text);
}

// Every way of closing (the close button, Escape, 登録) comes here: problems pending are asked
// about first.
void TFrmDiaEditor::reject() {
  if (FormCloseQuery()) QDialog::reject();
}

}  // namespace ramvel
