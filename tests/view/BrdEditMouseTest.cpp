// The board view's mouse dispatch: edge scrolling with its cursors, station names in run mode,
// hover information and the hand-over to the editing operations by edit mode.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "NetBuilder.h"
#include "ViewSupport.h"
#include "view/UrwBrdEditor.h"

namespace ramvel {
namespace {

// Records every call of the editing hooks with CurObjId and CurSide at that moment.
class TProbeEdit : public TBrdEdit {
 public:
  using TBrdEdit::TBrdEdit;
  std::vector<std::string> Calls;
  bool Answer = true;

 protected:
  bool LineEditClick(int32_t kind) override { return Note("line", kind); }
  bool StartRailAdd() override { return Note("rail", 0); }
  bool DelObj() override { return Note("del", 0); }
  bool StaPlaceEvent(int32_t kind, int32_t x, int32_t y) override {
    return Note("sta@" + std::to_string(x) + "," + std::to_string(y), kind);
  }
  bool RailPlaceEvent(int32_t kind, int32_t x, int32_t y) override {
    return Note("put@" + std::to_string(x) + "," + std::to_string(y), kind);
  }

 private:
  bool Note(const std::string& what, int32_t kind) {
    Calls.push_back(what + " k" + std::to_string(kind) + " id" + std::to_string(View.CurObjId) +
                    " s" + std::to_string(View.CurSide));
    return Answer;
  }
};

// A terrain of 100 x 50 dots viewed at 18 m per pixel, 200 x 100 pixels from (1080, 540) m, so
// that there is terrain beyond every edge. Station A runs from view pixel (12, 18) to (78, 18),
// and rail 1002 from A's side 1 on to (120, 18).
class Mouse : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApp();
    ed_.InitView(100, 200);
    ASSERT_TRUE(ed_.View.SetLand(test::LandGrid(100, 50)).ok());
    ed_.Brd.BrdName = "T";
    TStaObj* a = test::PutStation(ed_.Brd, test::TwoPlatformStation(1001, "A"), 12, 8);
    ed_.Brd.RailReg({23, 8}, {7, 0}, a, nullptr, 2);
    ed_.Brd.SCR_MPERP = 18;
    ed_.Brd.SCR_XLEFT = 1080;
    ed_.Brd.SCR_YTOP = 540;
    ed_.EndEdit();
    ed_.DrawBoard(nullptr, true);
    sink_.Cursors.clear();
    sink_.StatusLog.clear();
  }
  bool Ev(int32_t kind, int32_t x, int32_t y) { return ed_.MouseEvent(kind, x, y); }
  Qt::CursorShape LastCursor() const {
    return sink_.Cursors.empty() ? Qt::BlankCursor : sink_.Cursors.back();
  }

  TScriptedHost host_;
  TUiHostScope scope_{host_};
  test::TRecordingSink sink_;
  TProbeEdit ed_{&sink_};
};

TEST_F(Mouse, NothingHappensWhileNoBoardIsOpen) {
  ed_.Brd.BrdName.clear();
  EXPECT_FALSE(Ev(kMouseLeftUp, 3, 50));
  EXPECT_FALSE(Ev(kMouseMove, 40, 18));
  EXPECT_FALSE(Ev(kMouseLeftUp, 40, 18));
  EXPECT_TRUE(sink_.Cursors.empty());
  EXPECT_TRUE(ed_.Calls.empty());
  EXPECT_EQ(ed_.Brd.SCR_XLEFT, 1080);
}

TEST_F(Mouse, EdgesShowSplitCursorsAcrossAndUpDown) {
  const std::pair<QPoint, Qt::CursorShape> cases[] = {
      {{3, 50}, Qt::SplitHCursor},   {{197, 50}, Qt::SplitHCursor}, {{100, 2}, Qt::SplitVCursor},
      {{100, 98}, Qt::SplitVCursor}, {{2, 2}, Qt::SplitHCursor},  // across is tested first
  };
  for (const auto& [p, shape] : cases) {
    EXPECT_FALSE(Ev(kMouseMove, p.x(), p.y()));
    EXPECT_EQ(LastCursor(), shape) << p.x() << "," << p.y();
  }
  EXPECT_TRUE(ed_.Calls.empty());
}

TEST_F(Mouse, TheFourCursorsAreDistinct) {
  std::set<Qt::CursorShape> seen;
  for (const QPoint p : {QPoint(3, 50), QPoint(100, 2), QPoint(40, 18), QPoint(150, 60)}) {
    Ev(kMouseMove, p.x(), p.y());
    seen.insert(LastCursor());
  }
  EXPECT_EQ(seen, (std::set<Qt::CursorShape>{Qt::SplitHCursor, Qt::SplitVCursor,
                                             Qt::PointingHandCursor, Qt::ArrowCursor}));
}

TEST_F(Mouse, LeftReleaseAtAnEdgeScrollsHalfAView) {
  EXPECT_TRUE(Ev(kMouseLeftUp, 197, 50));
  EXPECT_EQ(ed_.Brd.SCR_XLEFT, 1080 + 200 * 18 / 2);
  EXPECT_TRUE(Ev(kMouseLeftUp, 100, 98));
  EXPECT_EQ(ed_.Brd.SCR_YTOP, 540 + 100 * 18 / 2);
  EXPECT_FALSE(Ev(kMouseOtherUp, 3, 50));  // another button does not scroll
  EXPECT_EQ(ed_.Brd.SCR_XLEFT, 2880);
  EXPECT_TRUE(ed_.Calls.empty());
}

TEST_F(Mouse, NoEdgeWhereTheTerrainEnds) {
  ed_.Brd.SCR_XLEFT = 0;
  ed_.DrawBoard(nullptr, true);
  EXPECT_FALSE(Ev(kMouseMove, 3, 50));
  EXPECT_EQ(LastCursor(), Qt::ArrowCursor);
  EXPECT_FALSE(Ev(kMouseLeftUp, 3, 50));
  EXPECT_EQ(ed_.Brd.SCR_XLEFT, 0);
}

TEST_F(Mouse, RunModeNamesTheStationUnderThePointer) {
  ed_.View.DesignMode = false;
  EXPECT_FALSE(Ev(kMouseMove, 40, 20));
  EXPECT_EQ(sink_.Status[1], "A");
  EXPECT_EQ(ed_.View.CurObjId, -1);
  EXPECT_EQ(LastCursor(), Qt::ArrowCursor);
  EXPECT_FALSE(Ev(kMouseMove, 100, 18));  // rails are not named in run mode
  EXPECT_EQ(sink_.Status[1], "");
  EXPECT_TRUE(ed_.Calls.empty());
}

TEST_F(Mouse, RunModeReleasesReachNoEditHandler) {
  ed_.View.DesignMode = false;
  EXPECT_FALSE(Ev(kMouseLeftUp, 40, 18));
  EXPECT_FALSE(Ev(kMouseOtherUp, 40, 18));  // a right click on the station deletes nothing
  EXPECT_TRUE(ed_.Calls.empty());
  ed_.View.DesignMode = true;
  EXPECT_TRUE(Ev(kMouseOtherUp, 40, 18));
  EXPECT_EQ(ed_.Calls, (std::vector<std::string>{"del k0 id1001 s0"}));
}

TEST_F(Mouse, IdleHoverShowsTheObject) {
  EXPECT_FALSE(Ev(kMouseMove, 100, 18));
  EXPECT_EQ(LastCursor(), Qt::PointingHandCursor);
  EXPECT_EQ(sink_.Status[1], "長さ 756m ( ID=1002 )");
  EXPECT_FALSE(Ev(kMouseMove, 40, 18));
  EXPECT_EQ(sink_.Status[1], "A");
  EXPECT_FALSE(Ev(kMouseMove, 150, 60));
  EXPECT_EQ(LastCursor(), Qt::ArrowCursor);
  EXPECT_EQ(sink_.Status[1], "");
  EXPECT_TRUE(ed_.Calls.empty());
}

TEST_F(Mouse, IdleReleasesStartARailOrDelete) {
  EXPECT_TRUE(Ev(kMouseLeftUp, 110, 18));  // the far half of the rail
  EXPECT_EQ(LastCursor(), Qt::ArrowCursor);
  EXPECT_TRUE(Ev(kMouseOtherUp, 20, 18));  // the near half of the station
  ed_.Answer = false;
  EXPECT_FALSE(Ev(kMouseLeftUp, 70, 18));
  EXPECT_FALSE(Ev(kMouseLeftUp, 150, 60));  // nothing there
  EXPECT_EQ(ed_.Calls, (std::vector<std::string>{"rail k0 id1002 s1", "del k0 id1001 s0",
                                                 "rail k0 id1001 s1"}));
}

TEST_F(Mouse, LineEditingSeesStationsOnly) {
  ed_.View.EditMode = kEditLine;
  EXPECT_FALSE(Ev(kMouseMove, 100, 18));
  EXPECT_EQ(LastCursor(), Qt::ArrowCursor);
  EXPECT_FALSE(Ev(kMouseLeftUp, 100, 18));
  EXPECT_FALSE(Ev(kMouseMove, 40, 18));
  EXPECT_EQ(LastCursor(), Qt::PointingHandCursor);
  EXPECT_EQ(sink_.Status[1], "A");
  EXPECT_TRUE(Ev(kMouseLeftUp, 40, 18));
  EXPECT_TRUE(Ev(kMouseOtherUp, 40, 18));
  EXPECT_EQ(ed_.Calls, (std::vector<std::string>{"line k2 id1001 s0", "line k3 id1001 s0"}));
}

TEST_F(Mouse, PlacingTakesEveryMoveAndRelease) {
  ed_.View.EditMode = kEditPutSta;
  EXPECT_TRUE(Ev(kMouseMove, 150, 60));
  EXPECT_TRUE(Ev(kMouseLeftUp, 40, 18));
  EXPECT_EQ(LastCursor(), Qt::ArrowCursor);
  ed_.View.EditMode = kEditPutRail;
  ed_.Answer = false;
  EXPECT_FALSE(Ev(kMouseOtherUp, 100, 18));
  EXPECT_EQ(ed_.Calls, (std::vector<std::string>{"sta@150,60 k1 id-1 s0", "sta@40,18 k2 id-1 s0",
                                                 "put@100,18 k3 id-1 s0"}));
}

// The view's own hooks hand the releases to the layout editor: a rail starts at A's side 0,
// a release with nothing to fix changes nothing, and the other button ends the rail.
TEST_F(Mouse, EditingHooksOfTheViewHandOverToTheLayoutEditor) {
  TBrdEdit plain(&sink_);
  plain.InitView(100, 200);
  ASSERT_TRUE(plain.View.SetLand(test::LandGrid(100, 50)).ok());
  plain.Brd.BrdName = "T";
  test::PutStation(plain.Brd, test::TwoPlatformStation(1001, "A"), 1, 1);
  plain.Brd.Modified = false;
  plain.EndEdit();
  plain.DrawBoard(nullptr, true);
  EXPECT_TRUE(plain.MouseEvent(kMouseLeftUp, 20, 6));
  EXPECT_EQ(plain.View.EditMode, kEditPutRail);
  EXPECT_EQ(plain.View.PutPos, (TPoint{1, 1}));
  EXPECT_FALSE(plain.MouseEvent(kMouseLeftUp, 20, 6));
  EXPECT_TRUE(plain.MouseEvent(kMouseOtherUp, 20, 6));
  EXPECT_EQ(plain.View.EditMode, kEditIdle);
  EXPECT_EQ(plain.Brd.Stas.size(), 1u);
  EXPECT_TRUE(plain.Brd.Rails.empty());
  EXPECT_FALSE(plain.Brd.Modified);
}

}  // namespace
}  // namespace ramvel
