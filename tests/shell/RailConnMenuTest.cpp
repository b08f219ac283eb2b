// The board view asks for a rail's connections through the main window, which answers with the
// rail connection dialog; the drawing code itself never opens a window.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "NetBuilder.h"
#include "ShellFixture.h"
#include "windows/common/UrwRailConn.h"

namespace ramvel::test {
namespace {

using RailConnMenu = ShellTest;

TEST_F(RailConnMenu, TheMainWindowAnswersTheRailConnectionQuestionWithItsDialog) {
  TFrmMain& m = Main();
  ASSERT_TRUE(m.Edit.Layout.RailConn) << "the main window supplies the dialog";
  TStaObj* a = PutStation(m.Edit.Brd, TwoPlatformStation(1001, "A"), 10, 20);
  TRailObj* rail = m.Edit.Brd.RailReg({21, 20}, {9, 0}, a, nullptr, 1);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(rail, nullptr);

  // Whatever modal window is up once the dialog runs: it must be the rail connection dialog,
  // and Cancel closes it. Every modal window is closed so that a wrong one cannot hang the test.
  int seen = 0;
  bool wasRailConn = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || !w->isModal()) continue;
      ++seen;
      wasRailConn |= qobject_cast<TFrmRailConn*>(w) != nullptr;
      if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    }
  });
  EXPECT_FALSE(m.Edit.Layout.RailConn(*a, *rail, 1)) << "Cancel writes no connection";
  EXPECT_EQ(seen, 1);
  EXPECT_TRUE(wasRailConn);
}

}  // namespace
}  // namespace ramvel::test
