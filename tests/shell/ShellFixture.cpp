// Helpers of the window tests.
#include "ShellFixture.h"

#include <QImage>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "NetBuilder.h"
#include "engine/UrwBrdData.h"
#include "engine/UrwShellState.h"

namespace ramvel::test {

namespace fs = std::filesystem;

namespace {

QtMessageHandler g_prevHandler = nullptr;

// The offscreen platform warns about every window it cannot size by hints; keep the rest.
void QuietHandler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
  if (msg.contains(QStringLiteral("propagateSizeHints"))) return;
  if (g_prevHandler != nullptr) {
    g_prevHandler(type, ctx, msg);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(msg));
  }
}

// Owns the application object and ends it after the last test, while Qt's own globals are
// still alive (ending it among the program's static objects crashes in Qt).
class TQtEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete App;
    App = nullptr;
  }
  QApplication* App = nullptr;
};

TQtEnvironment* const g_qtEnv =
    static_cast<TQtEnvironment*>(::testing::AddGlobalTestEnvironment(new TQtEnvironment));

}  // namespace

QApplication& App() {
  if (g_qtEnv->App == nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_prevHandler = qInstallMessageHandler(QuietHandler);
    static int argc = 1;
    static char arg0[] = "test_shell";
    static char* argv[] = {arg0, nullptr};
    g_qtEnv->App = new QApplication(argc, argv);
  }
  return *g_qtEnv->App;
}

void OnModal(std::function<void(QWidget*)> act) {
  auto* poll = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, tries, act] {
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr) {
      if (++*tries > 200) {
        ADD_FAILURE() << "no modal dialog was shown";
        poll->deleteLater();
        poll->stop();
      }
      return;
    }
    poll->stop();
    poll->deleteLater();
    act(w);
  });
  poll->start(5);
}

void WriteLand(const std::string& path, int w, int h, const std::vector<QPoint>& sea) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(QColor(255, 255, 255));
  for (const QPoint& p : sea) img.setPixelColor(p, QColor(0, 0, 255));
  fs::create_directories(fs::path(path).parent_path());
  ASSERT_TRUE(img.save(QString::fromStdString(path), "BMP"));
}

namespace {

void SaveBoardFolder(TBrdData& brd, const std::string& base, const std::string& name, int landW,
                     int landH) {
  std::string path;
  ASSERT_TRUE(MakeBrdFolder(base, name, path).ok());
  ASSERT_TRUE(MakeBrdSubFolders(path).ok());
  brd.SCR_MPERP = 18;
  const TStatus st = brd.SaveBrd(path, false);
  ASSERT_TRUE(st.ok()) << st.Msg();
  WriteLand(path + "/Land.bmp", landW, landH);
}

}  // namespace

void MakeBoard(const std::string& base, const std::string& name, int32_t dep, int landW,
               int landH) {
  TBrdData brd;
  TStaObj* a = PutStation(brd, TwoPlatformStation(1001, "A"), 2, 2);
  TStaObj* b = PutStation(brd, TwoPlatformStation(2001, "B"), 24, 2);
  brd.RailReg({13, 2}, {11, 0}, a, b, 2);
  brd.ID_STA = 2;
  const int32_t no = brd.CarReg({0, "", 0x0000FF, 4, 72}, MakeEntCode(1001, 1, 1));
  TCarObj* car = brd.FindCar(no, "");
  car->TmTbl.Add({"101,普通", dep, dep, MakeEntCode(1001, 1, 1)});
  car->TmTbl.Add({"", dep + 179, -1, MakeEntCode(2001, 1, 0)});
  brd.TrainReg(no, "101");
  SaveBoardFolder(brd, base, name, landW, landH);
}

void MakeEmptyBoard(const std::string& base, const std::string& name, int landW, int landH) {
  TBrdData brd;
  SaveBoardFolder(brd, base, name, landW, landH);
}

// ---- The main window ---------------------------------------------------------------------------

ShellTest::ShellTest() { App(); }

ShellTest::~ShellTest() {
  if (main_) main_->Timer.stop();
  main_.reset();
}

TFrmMain& ShellTest::Main(int w, int h) {
  main_ = std::make_unique<TFrmMain>(base_.Path());
  main_->OpenDocument = [](const std::string&) { return true; };
  main_->show();
  SetBoardArea(w, h);
  return *main_;
}

void ShellTest::SetBoardArea(int w, int h) {
  for (int i = 0; i < 3; ++i) {
    QApplication::processEvents();
    const QSize area = main_->BoardArea->size();
    if (area == QSize(w, h)) break;
    main_->resize(main_->size() + QSize(w, h) - area);
  }
  QApplication::processEvents();
  ASSERT_EQ(main_->BoardArea->size(), QSize(w, h));
}

}  // namespace ramvel::test
