// A small board made in the main window alone: a new board from a terrain bitmap, three
// stations placed and joined by rails with the mouse, a line made by clicks, saved and checked.
#include <QAction>
#include <QCursor>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>

#include "NetBuilder.h"
#include "ShellFixture.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

class LayoutScenario : public ShellTest {
 protected:
  // A release of button at the pixel of terrain dot (i, j), after a move there.
  // A move with no button held, as the board area sees it.
  void Move(int i, int j) {
    QApplication::processEvents();  // the pointer set into the board area arrives first
    const QPoint at(6 * i, 6 * j);
    QCursor::setPos(main_->BoardArea->mapToGlobal(at));  // where moves the window makes up land
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(main_->BoardArea->mapToGlobal(at)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(main_->BoardArea, &move);
  }
  // The window as it is now into RAMVEL_SHOT_DIR, when that is set.
  void Shot(const std::string& name) {
    if (const char* dir = std::getenv("RAMVEL_SHOT_DIR")) {
      QApplication::processEvents();
      main_->grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
    }
  }
  // A move there, then a press and release.
  void Click(Qt::MouseButton button, int i, int j) {
    const QPoint at(6 * i, 6 * j);
    Move(i, j);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
      QMouseEvent e(type, QPointF(at), QPointF(main_->BoardArea->mapToGlobal(at)), button, held,
                    Qt::NoModifier);
      QApplication::sendEvent(main_->BoardArea, &e);
    }
  }
  void Place(const std::string& name, int i, int j) {
    host_.SelectAnswers.push_back(name);
    main_->MnuStaAdd->trigger();
    ASSERT_EQ(main_->Edit.View.EditMode, kEditPutSta) << name;
    EXPECT_TRUE(main_->Gbx4StaEdit->isVisible());
    Click(Qt::LeftButton, i, j);
    ASSERT_EQ(main_->Edit.View.EditMode, kEditIdle) << name;
  }
  void WriteSta(const std::string& dir, TStaObj sta) {
    ASSERT_TRUE(sta.SaveSta(dir + "station").ok());
  }
};

// 西 (terminus) from (10, 20), 中 (passing loop) from (35, 20), 東 (terminus) from (60, 20), all
// facing east, at 18 m per pixel: dot (i, j) is pixel (6i, 6j).
TEST_F(LayoutScenario, SmallBoardMadeByMouseChecksClean) {
  TFrmMain& m = Main();
  WriteLand(Base() + "terrain.bmp", 100, 50, {QPoint(95, 5), QPoint(96, 5)});
  host_.InputAnswers.push_back("小線");
  host_.FileAnswers.push_back(Base() + "terrain.bmp");
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kNew));
  const std::string dir = Base() + "小線/";
  WriteSta(dir, SingleTerminal(1001, "西", 1));
  WriteSta(dir, PassingLoopStation(2001, "中"));
  WriteSta(dir, SingleTerminal(3001, "東", 0));
  EXPECT_TRUE(m.MnuStaAdd->isEnabled());

  Place("西", 10, 20);
  Place("中", 35, 20);
  host_.SelectAnswers.push_back("東");
  m.MnuStaAdd->trigger();
  for (int k = 0; k < 3; ++k) m.BtnStaRoteR->click();  // clockwise to (4, 10)
  EXPECT_EQ(m.Edit.View.StaMuki, 1);
  Move(37, 15);  // across 中 at (39, 20)
  EXPECT_EQ(m.SBarPanel[1]->text().toStdString(), "駅と交差しています");
  Shot("place_red");
  for (int k = 0; k < 3; ++k) m.BtnStaRoteL->click();
  Move(60, 20);
  EXPECT_EQ(m.SBarPanel[1]->text().toStdString(), "at(6480,2160)");
  Shot("place_green");
  Click(Qt::LeftButton, 60, 20);
  EXPECT_EQ(m.Edit.View.EditMode, kEditIdle);
  // Rails: from 西's east end by a bend to 中, and straight from 中 to 東.
  Click(Qt::LeftButton, 20, 20);
  ASSERT_EQ(m.Edit.View.EditMode, kEditPutRail);
  Click(Qt::LeftButton, 28, 21);
  Click(Qt::LeftButton, 35, 20);
  Click(Qt::LeftButton, 45, 20);
  ASSERT_EQ(m.Edit.View.EditMode, kEditPutRail);
  Click(Qt::LeftButton, 60, 20);
  EXPECT_EQ(m.Edit.View.EditMode, kEditIdle);
  EXPECT_EQ(m.Edit.Brd.Rails.size(), 3u);
  EXPECT_TRUE(m.MnuLineNew->isEnabled());

  host_.InputAnswers.push_back(" 本線 ");
  m.MnuLineNew->trigger();
  ASSERT_EQ(m.Edit.View.EditMode, kEditLine);
  EXPECT_FALSE(m.MnuLineFix->isEnabled());
  Click(Qt::LeftButton, 15, 20);
  EXPECT_FALSE(m.MnuLineFix->isEnabled());
  Click(Qt::LeftButton, 40, 20);
  EXPECT_TRUE(m.MnuLineFix->isEnabled());
  Click(Qt::LeftButton, 65, 20);
  m.MnuLineFix->trigger();
  EXPECT_EQ(m.Edit.View.EditMode, kEditIdle);
  EXPECT_EQ(ReadBytes(dir + "line/本線.txt"), "1001\r\n2001\r\n3001\r\n");
  m.MnuSave->trigger();
  EXPECT_FALSE(m.Edit.Brd.Modified);

  const TProgramRun run = RunProgram(RAMVEL_CLI, {"check", dir}, base_.Path());
  EXPECT_EQ(run.Out, "layout: ok\nline 本線: ok\n");
  EXPECT_EQ(run.Exit, 0) << run.Err;
  for (const auto& e : host_.Events) EXPECT_NE(e.Kind, "msg") << e.Text;
}

// The arrow keys turn the station being placed and check it again where the pointer is.
TEST_F(LayoutScenario, ArrowKeysTurnTheStationBeingPlaced) {
  TFrmMain& m = Main();
  WriteLand(Base() + "terrain.bmp", 100, 50);
  host_.InputAnswers.push_back("鍵");
  host_.FileAnswers.push_back(Base() + "terrain.bmp");
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kNew));
  WriteSta(Base() + "鍵/", PassingLoopStation(2001, "中"));
  host_.SelectAnswers.push_back("中");
  m.MnuStaAdd->trigger();
  ASSERT_EQ(m.Edit.View.EditMode, kEditPutSta);
  Move(30, 20);
  const auto key = [&](int k) {
    QKeyEvent e(QEvent::KeyRelease, k, Qt::NoModifier);
    QApplication::sendEvent(&m, &e);
  };
  key(Qt::Key_Up);
  EXPECT_EQ(m.Edit.View.StaMuki, 5);
  EXPECT_EQ(m.Edit.View.PutVec, (TPoint{10, -4}));
  key(Qt::Key_Down);
  key(Qt::Key_Down);
  EXPECT_EQ(m.Edit.View.StaMuki, 3);
  EXPECT_EQ(m.Edit.View.PutPos, (TPoint{30, 20}));
  EXPECT_EQ(m.SBarPanel[1]->text().toStdString(), "at(3240,2160)");
  key(Qt::Key_Left);  // other keys do nothing here
  EXPECT_EQ(m.Edit.View.StaMuki, 3);
}

}  // namespace
}  // namespace ramvel::test
