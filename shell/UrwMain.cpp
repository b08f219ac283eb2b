// The main window: start-up, the window's parts and its menu.
#include "shell/UrwMain.h"
#include "shell/UrwMainPlayDay.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTime>
#include <QUrl>
#include <QVBoxLayout>

#include "diagnostics/UrwForDebug.h"
#include "shell/UrwAbout.h"
#include "view/UrwDrawKit.h"
#include "windows/common/UrwRailConn.h"
#include "windows/common/UrwSelStaForm.h"

namespace ramvel {

namespace {

constexpr int kPnlMainW = 120;
constexpr int kSBarPanel0W = 150;
constexpr int kSBarPanel1W = 50;
constexpr int kClockImgSize = 32;
const QColor kClockOnFace(0, 160, 0);
const QColor kClockOffFace(128, 128, 128);

// A clock face with its hands at ten past ten: green while the clock runs, grey while stopped.
QPixmap ClockImage(bool running) {
  QPixmap pm(kClockImgSize, kClockImgSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(running ? kClockOnFace : kClockOffFace);
  p.drawEllipse(2, 2, kClockImgSize - 4, kClockImgSize - 4);
  const QPointF c(kClockImgSize / 2.0, kClockImgSize / 2.0);
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c, c + QPointF(-6, -5));
  p.drawLine(c, c + QPointF(8, -6));
  return pm;
}

// The eight scroll buttons by their Tags (dx = Tag mod 10 - 1, dy = Tag div 10 - 1), laid out
// on a 3 x 3 grid by their directions.
constexpr int kMukiTags[] = {0, 1, 2, 10, 12, 20, 21, 22};

// An arrow head pointing along (dx, dy): a triangle for the four sides, a corner for diagonals.
QIcon MukiIcon(int dx, int dy) {
  constexpr int kSize = 12;
  QPixmap pm(kSize, kSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  const double m = kSize - 1;
  QPolygonF tri;
  if (dx == 0) {  // up or down
    tri << QPointF(m / 2, dy < 0 ? 1 : m - 1) << QPointF(1, dy < 0 ? m - 2 : 2)
        << QPointF(m - 1, dy < 0 ? m - 2 : 2);
  } else if (dy == 0) {  // left or right
    tri << QPointF(dx < 0 ? 1 : m - 1, m / 2) << QPointF(dx < 0 ? m - 2 : 2, 1)
        << QPointF(dx < 0 ? m - 2 : 2, m - 1);
  } else {  // the corner the view moves towards, with its two legs running inwards
    const double x = dx < 0 ? 1 : m - 1, y = dy < 0 ? 1 : m - 1, leg = m - 3;
    tri << QPointF(x, y) << QPointF(x - dx * leg, y) << QPointF(x, y - dy * leg);
  }
  p.drawPolygon(tri);
  return QIcon(pm);
}

// A hint of the time group, wrapped where the words part.
QLabel* HintLabel(const char* first, const char* second, QWidget* parent) {
  auto* l = new QLabel(QString::fromUtf8(first) + QChar('\n') + QString::fromUtf8(second), parent);
  l->setFont(UiFont(true, 11));
  return l;
}

}  // namespace

// ---- The board area ----------------------------------------------------------------------------

TBoardArea::TBoardArea(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TBoardArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (Frame == nullptr || Frame->isNull()) {
    p.fillRect(rect(), RgbColour(kClrOutside));
    return;
  }
  p.drawImage(0, 0, *Frame);
  // A frame smaller than the area (just before a resize is handled) leaves no garbage around it.
  if (Frame->width() < width()) {
    p.fillRect(Frame->width(), 0, width() - Frame->width(), height(), RgbColour(kClrOutside));
  }
  if (Frame->height() < height()) {
    p.fillRect(0, Frame->height(), width(), height() - Frame->height(), RgbColour(kClrOutside));
  }
}

void TBoardArea::mouseMoveEvent(QMouseEvent* e) {
  emit MouseMoved(e->position().toPoint().x(), e->position().toPoint().y());
}

void TBoardArea::mouseReleaseEvent(QMouseEvent* e) {
  emit MouseReleased(e->button(), e->position().toPoint().x(), e->position().toPoint().y());
}

void TBoardArea::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    emit DoubleClicked(e->position().toPoint().x(), e->position().toPoint().y());
  }
}

void TBoardArea::resizeEvent(QResizeEvent*) { emit Resized(); }

void TBoardArea::leaveEvent(QEvent*) { emit PointerLeft(); }

// ---- Start-up ----------------------------------------------------------------------------------

TFrmMain::TFrmMain(const std::string& baseDir, QWidget* parent)
    : QMainWindow(parent), BaseDir(PathJoin(baseDir, "")), DataDir(BaseDir), BrdBase(BaseDir) {
  WallClock = [] {
    const QTime now = QTime::currentTime();
    return std::pair<int, int>(now.hour(), now.minute());
  };
  OpenDocument = [](const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QStr(path)));
  };
  FormCreate();
}

TFrmMain::~TFrmMain() {
  Timer.stop();
  Edit.SetSink(nullptr);
}

void TFrmMain::FormCreate() {
  setWindowTitle(QString::fromUtf8(kCapProgram));
  setFont(UiFont(true, 12));
  Edit.SetSink(this);
  // The board view only asks which entries a new rail takes; the dialog that answers is a window
  // and so is chosen here, above the view.
  Edit.Layout.RailConn = [](TStaObj& sta, TRailObj& rail, int32_t side) {
    TFrmRailConn dlg(QApplication::activeWindow());
    return dlg.Execute(sta, rail, side);
  };
  MakeMenu();
  MakePlayDayMenu(menuBar(), Help1->menuAction(), Edit.Brd, [this] { Redraw(true); });
  MakeBoardArea();
  MakePanel();
  MakeStatusBar();
  SelSta = new TFrmSelSta(this);
  Debug = new TFrmDebug(this);
  DiaDiagnostics = [this](int32_t staId, int32_t carNo) { ShowDebugFor(staId, carNo); };
  RecentBrds = ReadRecentBrds(BaseDir + kRecentFile);
  AddRecentBrd("");
  ApplySettings(ReadSettings(BaseDir + kSettingsFile));
  UpdateMenus();
  FillChoices();
  About = new TFrmAbout(this);
  ConnectEvents();
}

void TFrmMain::MakeMenu() {
  MnuFile = menuBar()->addMenu(QStringLiteral("&File"));
  MnuNew = MnuFile->addAction(QStringLiteral("ボードの新規作成(&N)"));
  MnuNewOud = MnuFile->addAction(QStringLiteral("OuDiaから新規作成(&O)..."));
  MnuNewGtfs = MnuFile->addAction(QStringLiteral("GTFSから新規作成(&T)..."));
  MnuLoad = MnuFile->addAction(QStringLiteral("ボードの読込(&L)"));
  MnuFile->addSeparator();
  for (int n = 0; n < 3; ++n) {
    MnuLog[n] = MnuFile->addAction(QStringLiteral("Log%1").arg(n + 1));
    MnuLog[n]->setData(n + 1);  // the Tag
  }
  MnuFile->addSeparator();
  MnuSave = MnuFile->addAction(QStringLiteral("ボードの上書き保存(&S)"));
  MnuFile->addSeparator();
  MnuSaveBAK = MnuFile->addAction(QStringLiteral("バックアップ作成(&B)"));
  MnuLoadBAK = MnuFile->addAction(QStringLiteral("バックアップ読込(&R)"));
  MnuFile->addSeparator();
  MakeDiaMenu();
  MnuFile->addSeparator();
  MnuGtfs = MnuFile->addAction(QStringLiteral("GTFSとして書き出し(&G)..."));
  MnuImage = MnuFile->addAction(QStringLiteral("画像として保存(&P)..."));
  MnuFile->addSeparator();
  MnuExit = MnuFile->addAction(QStringLiteral("終了(&E)"));
  MnuEdit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  MnuUndoRedo = AddUndoActions(MnuEdit);

  MnuModeSel = menuBar()->addAction(QStringLiteral("モード切り替え(&M)"));
  MnuStaEdit = menuBar()->addAction(QStringLiteral("駅データの編集(&S)"));
  MnuLineEdit = menuBar()->addMenu(QStringLiteral("路線の編集(&R)"));
  MnuLineNew = MnuLineEdit->addAction(QStringLiteral("新規"));
  MnuLineMod = MnuLineEdit->addAction(QStringLiteral("変更"));
  MnuLineDel = MnuLineEdit->addAction(QStringLiteral("削除"));
  MnuLineEdit->addSeparator();
  MnuLineRing = MnuLineEdit->addAction(QStringLiteral("環状線とする"));
  MnuLineEdit->addSeparator();
  MnuLineCancel = MnuLineEdit->addAction(QStringLiteral("中止"));
  MnuLineFix = MnuLineEdit->addAction(QStringLiteral("決定"));
  MnuDiaEdit = menuBar()->addAction(QStringLiteral("ダイヤの編集(&D)"));
  MnuLayout = menuBar()->addMenu(QStringLiteral("レイアウトの編集(&L)"));
  MnuStaAdd = MnuLayout->addAction(QStringLiteral("駅の追加(&A)"));
  MnuStaRename = MnuLayout->addAction(QStringLiteral("駅名の変更(&C)"));
  MnuLandLoad = menuBar()->addAction(QStringLiteral("地形図の差し替え"));
  MnuOpt = menuBar()->addAction(QStringLiteral("オプション(&O)"));
  Help1 = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  H1 = Help1->addAction(QStringLiteral("ヘルプの表示(&H)"));
  MnuAbout = Help1->addAction(QStringLiteral("このソフトについて(&A)..."));
}

void TFrmMain::MakeBoardArea() {
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  BoardArea = new TBoardArea(central);
  BoardArea->Frame = &Edit.FrameBmp;
  row->addWidget(BoardArea, 1);
  PnlMain = new QFrame(central);
  PnlMain->setFixedWidth(kPnlMainW);
  PnlMain->setFrameShape(QFrame::Panel);
  PnlMain->setFrameShadow(QFrame::Raised);
  row->addWidget(PnlMain);
  setCentralWidget(central);
}

void TFrmMain::MakePanel() {
  auto* col = new QVBoxLayout(PnlMain);
  col->setContentsMargins(3, 3, 3, 3);
  col->setSpacing(4);
  LblMode = new QLabel(PnlMain);
  LblMode->setAlignment(Qt::AlignCenter);
  LblMode->setFont(UiFont(true, 16));
  LblMode->setAutoFillBackground(true);
  LblMode->setStyleSheet(QStringLiteral("color: white; background-color: rgb(128, 128, 128);"));
  LblMode->setMinimumHeight(24);
  LblMode->setVisible(false);  // shown from the first board on
  col->addWidget(LblMode);
  col->addWidget(MakeDiaGroup());
  col->addWidget(MakeTimeGroup());
  col->addWidget(MakeDisplayGroup());
  LblLandSize = new QLabel(PnlMain);
  LblLandSize->setAlignment(Qt::AlignCenter);
  col->addWidget(LblLandSize);
  ImgLand = new QLabel(PnlMain);
  ImgLand->setFixedWidth(kMiniMapWidth);
  ImgLand->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ImgLand->setVisible(false);
  col->addWidget(ImgLand, 0, Qt::AlignHCenter);
  col->addWidget(MakeStaEditGroup());
  col->addStretch(1);
}

QGroupBox* TFrmMain::MakeTimeGroup() {
  GbxTm = new QGroupBox(QStringLiteral("時刻"), PnlMain);
  auto* g = new QGridLayout(GbxTm);
  g->setContentsMargins(4, 4, 4, 4);
  g->setSpacing(3);
  EdtCurTm = new QLineEdit(GbxTm);
  EdtCurTm->setReadOnly(true);
  EdtCurTm->setFont(UiFont(false, 20));
  EdtCurTm->setAlignment(Qt::AlignRight);
  EdtCurTm->setCursor(Qt::PointingHandCursor);
  EdtCurTmSec = new QLineEdit(GbxTm);
  EdtCurTmSec->setReadOnly(true);
  EdtCurTmSec->setFont(UiFont(false, 14));
  EdtCurTmSec->setFixedWidth(30);
  g->addWidget(EdtCurTm, 0, 0, 1, 2);
  g->addWidget(EdtCurTmSec, 0, 2, Qt::AlignBottom);
  CbxIntv = new QComboBox(GbxTm);
  g->addWidget(CbxIntv, 1, 0, 1, 3);
  PnlTmStat = new QFrame(GbxTm);
  PnlTmStat->setFrameShape(QFrame::Panel);
  PnlTmStat->setFrameShadow(QFrame::Raised);
  PnlTmStat->setLineWidth(2);
  auto* stat = new QHBoxLayout(PnlTmStat);
  stat->setContentsMargins(2, 2, 2, 2);
  ImgTmOn = new QLabel(PnlTmStat);
  ImgTmOn->setPixmap(ClockImage(true));
  ImgTmOff = new QLabel(PnlTmStat);
  ImgTmOff->setPixmap(ClockImage(false));
  for (QLabel* img : {ImgTmOn, ImgTmOff}) {
    img->setCursor(Qt::PointingHandCursor);
    stat->addWidget(img);
  }
  ImgTmOn->setVisible(false);
  g->addWidget(PnlTmStat, 2, 0, 1, 2, Qt::AlignLeft);
  BtnStep = new QPushButton(QStringLiteral("▼"), GbxTm);
  BtnStep->setFixedSize(30, 30);
  g->addWidget(BtnStep, 2, 2);
  g->addWidget(HintLabel("時分欄クリックで", "時刻変更", GbxTm), 3, 0, 1, 3);
  g->addWidget(HintLabel("時計ボタンで", "運行開始停止", GbxTm), 4, 0, 1, 3);
  GbxTm->setVisible(false);
  return GbxTm;
}

QGroupBox* TFrmMain::MakeDisplayGroup() {
  GbxDsp = new QGroupBox(QStringLiteral("表示サイズ・位置"), PnlMain);
  auto* g = new QGridLayout(GbxDsp);
  g->setContentsMargins(4, 4, 4, 4);
  g->setSpacing(2);
  CbxScale = new QComboBox(GbxDsp);
  g->addWidget(CbxScale, 0, 0, 1, 3);
  for (const int tag : kMukiTags) {
    auto* btn = new QPushButton(GbxDsp);
    btn->setIcon(MukiIcon(tag % 10 - 1, tag / 10 - 1));
    btn->setFixedSize(28, 24);
    btn->setProperty("Tag", tag);
    BtnMuki.push_back(btn);
    g->addWidget(btn, 1 + tag / 10, tag % 10);
  }
  GbxDsp->setVisible(false);
  return GbxDsp;
}

QGroupBox* TFrmMain::MakeStaEditGroup() {
  Gbx4StaEdit = new QGroupBox(QStringLiteral("駅の傾き"), PnlMain);
  auto* g = new QGridLayout(Gbx4StaEdit);
  g->setContentsMargins(4, 4, 4, 4);
  BtnStaRoteL = new QPushButton(QStringLiteral("▲"), Gbx4StaEdit);
  BtnStaRoteL->setProperty("Tag", 1);
  BtnStaRoteR = new QPushButton(QStringLiteral("▼"), Gbx4StaEdit);
  BtnStaRoteR->setProperty("Tag", -1);
  for (QPushButton* b : {BtnStaRoteL, BtnStaRoteR}) b->setFixedSize(28, 24);
  g->addWidget(BtnStaRoteL, 0, 0);
  g->addWidget(new QLabel(QStringLiteral("反時計回り"), Gbx4StaEdit), 0, 1);
  g->addWidget(BtnStaRoteR, 1, 0);
  g->addWidget(new QLabel(QStringLiteral("時計回り"), Gbx4StaEdit), 1, 1);
  Gbx4StaEdit->setVisible(false);
  return Gbx4StaEdit;
}

void TFrmMain::MakeStatusBar() {
  for (int i = 0; i < 2; ++i) {
    SBarPanel[i] = new QLabel(this);
    SBarPanel[i]->setFrameShape(QFrame::Panel);
    SBarPanel[i]->setFrameShadow(QFrame::Sunken);
  }
  SBarPanel[0]->setFixedWidth(kSBarPanel0W);
  SBarPanel[1]->setMinimumWidth(kSBarPanel1W);
  statusBar()->addWidget(SBarPanel[0]);
  statusBar()->addWidget(SBarPanel[1], 1);
  SBarDisk = new QLabel(QStringLiteral("ボードが他のプログラムで変更されています"), this);
  SBarDisk->setStyleSheet(QStringLiteral("color: #C00000; padding: 0 6px;"));
  SBarDisk->setToolTip(QStringLiteral(
      "このボードのファイルが、読み込んだ後に他のプログラムで書き換えられました。"
      "保存するときに、読み直すか、別の名前で保存するかを選べます"));
  SBarDisk->setVisible(false);
  statusBar()->addPermanentWidget(SBarDisk);
  BrdWatch = new QFileSystemWatcher(this);
  WatchDelay.setSingleShot(true);
  WatchDelay.setInterval(300);
  connect(BrdWatch, &QFileSystemWatcher::directoryChanged, this, [this] { WatchDelay.start(); });
  connect(BrdWatch, &QFileSystemWatcher::fileChanged, this, [this] { WatchDelay.start(); });
  connect(&WatchDelay, &QTimer::timeout, this, [this] { BrdDiskChanged(); });
}

void TFrmMain::FillChoices() {
  CbxIntv->clear();
  for (const std::string& s : SpeedItems()) CbxIntv->addItem(QStr(s));
  CbxIntv->setMaxVisibleItems(9);
  CbxIntv->setCurrentIndex(0);
  const QSignalBlocker block(CbxScale);
  CbxScale->setMaxVisibleItems(12);
  CbxScale->clear();
  for (const std::string& s : ScaleItems()) CbxScale->addItem(QStr(s));
  CbxScale->setCurrentIndex(Edit.View.ScaleIdx);
}

void TFrmMain::ConnectEvents() {
  connect(MnuNew, &QAction::triggered, this, [this] { MnuNewClick(); });
  connect(MnuNewOud, &QAction::triggered, this, [this] { MnuNewOudClick(); });
  connect(MnuNewGtfs, &QAction::triggered, this, [this] { MnuNewGtfsClick(); });
  connect(MnuLoad, &QAction::triggered, this, [this] { MnuLoadClick(); });
  for (QAction* log : MnuLog) {
    connect(log, &QAction::triggered, this, [this, log] { MnuLogClick(log->data().toInt()); });
  }
  connect(MnuSave, &QAction::triggered, this, [this] { MnuSaveClick(); });
  connect(MnuSaveBAK, &QAction::triggered, this, [this] { MnuSaveBAKClick(); });
  connect(MnuGtfs, &QAction::triggered, this, [this] { MnuGtfsClick(); });
  connect(MnuImage, &QAction::triggered, this, [this] { MnuImageClick(); });
  connect(MnuLoadBAK, &QAction::triggered, this, [this] { MnuLoadBAKClick(); });
  connect(MnuExit, &QAction::triggered, this, [this] { close(); });
  connect(MnuModeSel, &QAction::triggered, this, [this] { MnuModeSelClick(); });
  connect(MnuStaEdit, &QAction::triggered, this, [this] { MnuStaEditClick(); });
  connect(MnuLandLoad, &QAction::triggered, this, [this] { MnuLandLoadClick(); });
  connect(MnuOpt, &QAction::triggered, this, [this] { MnuOptClick(); });
  ConnectDiaEditor();
  connect(H1, &QAction::triggered, this, [this] { H1Click(); });
  connect(MnuAbout, &QAction::triggered, this, [this] { MnuAboutClick(); });
  connect(&Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
  connect(BtnStep, &QPushButton::clicked, this, [this] { BtnStepClick(); });
  connect(CbxIntv, &QComboBox::currentIndexChanged, this, [this] { CbxIntvChange(); });
  connect(CbxScale, &QComboBox::currentIndexChanged, this, [this](int i) { CbxScaleChange(i); });
  for (QPushButton* b : BtnMuki) {
    connect(b, &QPushButton::clicked, this,
            [this, b] { BtnMukiClick(b->property("Tag").toInt()); });
  }
  connect(BoardArea, &TBoardArea::MouseMoved, this, &TFrmMain::FormMouseMove);
  connect(BoardArea, &TBoardArea::MouseReleased, this, &TFrmMain::FormMouseUp);
  connect(BoardArea, &TBoardArea::PointerLeft, this, &TFrmMain::FormMouseLeave);
  connect(BoardArea, &TBoardArea::DoubleClicked, this, &TFrmMain::FormDblClick);
  connect(BoardArea, &TBoardArea::Resized, this, &TFrmMain::FormResize);
  ConnectLayoutEvents();
  for (QObject* o : {static_cast<QObject*>(EdtCurTm), static_cast<QObject*>(ImgTmOn),
                     static_cast<QObject*>(ImgTmOff)}) {
    o->installEventFilter(this);
  }
}

// Clicks on the time field and on the clock images, which are not buttons.
bool TFrmMain::eventFilter(QObject* obj, QEvent* e) {
  if (e->type() != QEvent::MouseButtonRelease ||
      static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton) {
    return QMainWindow::eventFilter(obj, e);
  }
  if (obj == EdtCurTm) {
    EdtCurTmClick();
  } else if (obj == ImgTmOff) {
    RunClock(true);  // ImgTmOffClick
  } else if (obj == ImgTmOn) {
    RunClock(false);  // ImgTmOnClick
  } else {
    return QMainWindow::eventFilter(obj, e);
  }
  return true;
}

// ---- The board view's outside
// --------------------------------------------------------------------

void TFrmMain::SetStatusText(int panel, const std::string& text) {
  if (panel == 0 || panel == 1) SBarPanel[panel]->setText(QStr(text));
}

void TFrmMain::SetViewCursor(Qt::CursorShape shape) {
  viewCursor_ = shape;
  BoardArea->setCursor(shape);
}

void TFrmMain::SetLandSizeText(const std::string& text) { LblLandSize->setText(QStr(text)); }

void TFrmMain::ShowMiniMap(const QImage& image) {
  ImgLand->setPixmap(QPixmap::fromImage(image));
  ImgLand->setFixedHeight(image.height());
  ImgLand->setVisible(true);
}

}  // namespace ramvel
