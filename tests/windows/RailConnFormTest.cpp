// The rail connection dialog on the board view: opened by a click on a rail end whose tracks
// all meet a station, its markers, the pointer, OK writing and Cancel leaving things alone.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <cstdlib>
#include <memory>

#include "LayoutFixture.h"
#include "NetBuilder.h"
#include "windows/common/UrwRailConn.h"

namespace ramvel {
namespace {

// A (1001) from (10, 20) facing east with its two entries of side 1; a one-track rail from
// A's entry 1 to the free dot (30, 20).
class RailConnForm : public test::LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    dlg_ = std::make_unique<TFrmRailConn>();
    a_ = test::PutStation(ed_.Brd, test::TwoPlatformStation(1001, "A"), 10, 20);
    rail_ = ed_.Brd.RailReg({21, 20}, {9, 0}, a_, nullptr, 1);
    ed_.Brd.Modified = false;
    Redraw();
    ed_.Layout.RailConn = [this](TStaObj& sta, TRailObj& rail, int32_t side) {
      dlg_->Open(sta, rail, side);
      ++opened_;
      if (script_) script_();
      return dlg_->result() == QDialog::Accepted;
    };
  }
  // A left button pressed and released on the picture, as the window system delivers it.
  void ClickPic(TPoint p) {
    const QPointF at(p.x, p.y);
    const QPointF global(dlg_->ImgConn->mapToGlobal(QPoint(p.x, p.y)));
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(dlg_->ImgConn, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(dlg_->ImgConn, &release);
  }

  TStaObj* a_ = nullptr;
  TRailObj* rail_ = nullptr;
  std::unique_ptr<TFrmRailConn> dlg_;  // made once the application exists
  int opened_ = 0;
  std::function<void()> script_;
};

// Entry i of a side of two lies at M + (i - 1) x (0, 15) for a station facing east; M is the
// picture's centre (120, 120).
TEST_F(RailConnForm, ExtendingTheRunRenumbersAndOkWritesIt) {
  script_ = [this] {
    EXPECT_FALSE(dlg_->BtnOk->isEnabled());
    EXPECT_EQ(test::Px(dlg_->Picture, 120, 120), 0x00FFFFu);  // the run's end: cyan
    EXPECT_EQ(test::Px(dlg_->Picture, 120, 135), 0xFFFFFFu);  // free beside it: white
    ClickPic({120, 135});
    EXPECT_TRUE(dlg_->BtnOk->isEnabled());
    dlg_->BtnOk->click();
  };
  EXPECT_TRUE(Left(22, 20));
  EXPECT_EQ(opened_, 1);
  EXPECT_EQ(a_->EntConn[1][1], MakeEntCode(rail_->Id, 2, 0));
  EXPECT_EQ(a_->EntConn[1][2], MakeEntCode(rail_->Id, 1, 0));
  EXPECT_EQ(rail_->EntConn[0][1], MakeEntCode(1001, 2, 1));
  EXPECT_EQ(rail_->EntConn[0][2], MakeEntCode(1001, 1, 1));
  EXPECT_EQ(rail_->EntCount[0], 2);
  EXPECT_EQ(rail_->EntCount[1], 2);
  EXPECT_TRUE(ed_.Brd.Modified);
}

TEST_F(RailConnForm, CancelLeavesStationAndRailUntouched) {
  script_ = [this] {
    ClickPic({120, 135});
    EXPECT_EQ(dlg_->State.A[1], 2);
    dlg_->BtnCancel->click();
  };
  const int32_t before = a_->EntConn[1][1];
  EXPECT_FALSE(Left(22, 20));
  EXPECT_EQ(opened_, 1);
  EXPECT_EQ(a_->EntConn[1][1], before);
  EXPECT_EQ(a_->EntConn[1][2], 0);
  EXPECT_EQ(rail_->EntCount[0], 1);
  EXPECT_FALSE(ed_.Brd.Modified);
}

TEST_F(RailConnForm, PointerIsAHandOverAnEntryOnly) {
  script_ = [this] {
    dlg_->ImgMouseMove(123, 124);
    EXPECT_EQ(dlg_->CurEnt, 1);
    EXPECT_EQ(dlg_->ImgConn->cursor().shape(), Qt::PointingHandCursor);
    dlg_->ImgMouseMove(130, 128);
    EXPECT_EQ(dlg_->CurEnt, 0);
    EXPECT_EQ(dlg_->ImgConn->cursor().shape(), Qt::ArrowCursor);
    ClickPic({120, 120});  // the only track stays
    EXPECT_FALSE(dlg_->BtnOk->isEnabled());
    if (const char* dir = std::getenv("RAMVEL_SHOT_DIR")) {
      dlg_->grab().save(QString::fromStdString(std::string(dir) + "/railconn.png"));
    }
  };
  EXPECT_FALSE(Left(22, 20));
}

TEST_F(RailConnForm, RailJoinedAtBothEndsOrToARailIsRefused) {
  TRailObj* next = ed_.Brd.RailReg({30, 20}, {9, 0}, rail_, nullptr, 1);
  Redraw();
  EXPECT_FALSE(Left(22, 20));
  EXPECT_EQ(Shown().back(), "両端が接続済みのレールは駅との接続状況を変更できません");
  EXPECT_FALSE(Left(31, 20));  // next's start meets a rail
  EXPECT_EQ(Shown().back(), "そこにレールを追加することは出来ません");
  EXPECT_EQ(opened_, 0);
  EXPECT_NE(next, nullptr);
}

}  // namespace
}  // namespace ramvel
