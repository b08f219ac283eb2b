// Line editing through the board view's clicks and the scripted dialog host: starting, adding
// and taking off end stations, the refusals, a ring, cancelling and deleting line files.
#include <gtest/gtest.h>

#include <filesystem>

#include "LayoutFixture.h"
#include "NetBuilder.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

// Two complete networks. A triangle of passing loops L1 (1001) from (10, 5), L2 (2001) from
// (40, 5) and L3 (3001) from (25, 20), each station's side 1 joined to the next one's side 0
// round the ring (L2's side 1 to L3's side 1). Below, a row W (6001, terminus) from (5, 40),
// M1 (7001) from (25, 40), M2 (8001) from (45, 40), E2 (9001, terminus) from (65, 40).
class LineEdit : public test::LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    TBrdData& b = ed_.Brd;
    TStaObj* l1 = test::PutStation(b, test::PassingLoopStation(1001, "L1"), 10, 5);
    TStaObj* l2 = test::PutStation(b, test::PassingLoopStation(2001, "L2"), 40, 5);
    TStaObj* l3 = test::PutStation(b, test::PassingLoopStation(3001, "L3"), 25, 20);
    b.RailReg({21, 5}, {19, 0}, l1, l2, 1);
    b.RailReg({51, 5}, {-15, 15}, l2, l3, 1);
    b.RailReg({25, 20}, {-15, -15}, l3, l1, 1);
    TStaObj* w = test::PutStation(b, test::SingleTerminal(6001, "W", 1), 5, 40);
    TStaObj* m1 = test::PutStation(b, test::PassingLoopStation(7001, "M1"), 25, 40);
    TStaObj* m2 = test::PutStation(b, test::PassingLoopStation(8001, "M2"), 45, 40);
    TStaObj* e2 = test::PutStation(b, test::SingleTerminal(9001, "E2", 0), 65, 40);
    b.RailReg({16, 40}, {9, 0}, w, m1, 1);
    b.RailReg({36, 40}, {9, 0}, m1, m2, 1);
    b.RailReg({56, 40}, {9, 0}, m2, e2, 1);
    b.Modified = false;
    Redraw();
  }
  bool NewLine(const std::string& name) {
    host_.InputAnswers.push_back(name);
    const bool ok = ed_.Layout.StartLineEdit(true);
    if (ok) Redraw();
    return ok;
  }
  void WriteLine(const std::string& name, const std::string& bytes) {
    test::WriteBytes(folder_ + "/line/" + name + ".txt", bytes);
  }
  std::string LineFile(const std::string& name) {
    return test::ReadBytes(folder_ + "/line/" + name + ".txt");
  }
  std::vector<std::string> Stas() const { return ed_.Brd.LineStas; }
  using Ids = std::vector<std::string>;
};

TEST_F(LineEdit, IncompleteLayoutRefusesLineEditing) {
  ed_.Brd.ObjDel(1002);  // the rail L1 - L2
  EXPECT_FALSE(NewLine("x"));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"路面デザインが完成していません\r\rL1"}));
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
}

TEST_F(LineEdit, NewNamesThatCannotBeLinesAreRefused) {
  WriteLine("本線", "6001\r\n7001\r\n");
  ed_.Brd.LineName = "前";
  EXPECT_FALSE(NewLine("本線"));
  EXPECT_EQ(Shown().back(), "その路線名は既に存在します");
  EXPECT_FALSE(NewLine("a/b"));
  EXPECT_EQ(host_.Events.back().Kind, "msg");
  EXPECT_FALSE(NewLine("  "));
  EXPECT_EQ(ed_.Brd.LineName, "前");
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
  EXPECT_EQ(LineFile("本線"), "6001\r\n7001\r\n");
}

TEST_F(LineEdit, LineMadeByClicksWithItsRefusals) {
  ASSERT_TRUE(NewLine(" 下り "));
  EXPECT_EQ(ed_.Brd.LineName, "下り");
  EXPECT_EQ(sink_.Status[0], "路線の編集");
  EXPECT_EQ(ed_.View.EditMode, kEditLine);
  EXPECT_TRUE(Left(10, 40));   // W: any station starts the line
  EXPECT_FALSE(Left(50, 40));  // M2 is two stations away
  EXPECT_EQ(Shown().back(), "登録できるのは現在の始発駅(または終着駅)の隣駅だけです");
  EXPECT_TRUE(Left(30, 40));  // M1
  EXPECT_TRUE(Left(50, 40));  // M2
  EXPECT_EQ(Stas(), (Ids{"6001", "7001", "8001"}));
  EXPECT_FALSE(Left(30, 40));  // M1 is no end
  EXPECT_EQ(Shown().back(), "取り消せるのは現在の始発駅(または終着駅)だけです");
  EXPECT_TRUE(Left(10, 40));  // the first station comes off
  EXPECT_EQ(Stas(), (Ids{"7001", "8001"}));
  EXPECT_TRUE(Left(10, 40));  // W again, now at the front
  EXPECT_EQ(Stas(), (Ids{"6001", "7001", "8001"}));
  EXPECT_TRUE(Left(70, 40));  // E2 at the end
  EXPECT_EQ(ed_.View.CurObjId, -1);
  ASSERT_TRUE(ed_.Layout.LineFix());
  EXPECT_EQ(LineFile("下り"), "6001\r\n7001\r\n8001\r\n9001\r\n");
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
}

TEST_F(LineEdit, OnlyStationIsBothEndsAndComesOff) {
  ASSERT_TRUE(NewLine("x"));
  EXPECT_TRUE(Left(30, 40));
  EXPECT_TRUE(Left(30, 40));
  EXPECT_TRUE(Stas().empty());
}

TEST_F(LineEdit, LineStationsAreDrawnGreenWhileEditing) {
  ASSERT_TRUE(NewLine("x"));
  EXPECT_EQ(test::CountPx(ed_.LayerBmp, 0, 0, 599, 299, kClrLineSta), 0);
  EXPECT_TRUE(Left(30, 40));
  const int green =
      test::CountPx(ed_.LayerBmp, 6 * 25, 6 * 40 - 10, 6 * 36, 6 * 40 + 10, kClrLineSta);
  EXPECT_GT(green, 20);
  ed_.EndEdit();
  Redraw();
  EXPECT_EQ(test::CountPx(ed_.LayerBmp, 0, 0, 599, 299, kClrLineSta), 0);
}

TEST_F(LineEdit, RingIsClosedAndWritten) {
  ASSERT_TRUE(NewLine("環状線"));
  EXPECT_FALSE(ed_.Layout.MakeRing());
  EXPECT_EQ(Shown().back(), "少なくとも２駅を選択して下さい");
  EXPECT_TRUE(Left(15, 5));
  EXPECT_TRUE(Left(45, 5));
  EXPECT_TRUE(Left(30, 20));
  ASSERT_TRUE(ed_.Layout.MakeRing());
  EXPECT_EQ(LineFile("環状線"), "1001\r\n2001\r\n3001\r\n1001\r\n");
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
}

TEST_F(LineEdit, RingOfNoNeighboursIsRefused) {
  ASSERT_TRUE(NewLine("x"));
  EXPECT_TRUE(Left(10, 40));
  EXPECT_TRUE(Left(30, 40));
  EXPECT_FALSE(ed_.Layout.MakeRing());
  EXPECT_EQ(Shown().back(), "始発駅と現在の終着駅が隣駅ではありません");
  EXPECT_EQ(Stas(), (Ids{"6001", "7001"}));
  EXPECT_EQ(ed_.View.EditMode, kEditLine);
  EXPECT_FALSE(fs::exists(folder_ + "/line/x.txt"));
}

// Cancelling and the right-click end leave the line file as it was on disk.
TEST_F(LineEdit, CancelAndRightClickEndLeaveTheFileUntouched) {
  WriteLine("本線", "6001\r\n7001\r\n");
  host_.SelectAnswers.push_back("本線");
  ASSERT_TRUE(ed_.Layout.StartLineEdit(false));
  EXPECT_EQ(Stas(), (Ids{"6001", "7001"}));
  EXPECT_TRUE(Left(50, 40));
  host_.YesNoAnswers = {false, true};
  EXPECT_FALSE(ed_.Layout.LineCancel());
  EXPECT_EQ(ed_.View.EditMode, kEditLine);
  EXPECT_TRUE(ed_.Layout.LineCancel());
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
  EXPECT_EQ(LineFile("本線"), "6001\r\n7001\r\n");

  host_.SelectAnswers.push_back("本線");
  ASSERT_TRUE(ed_.Layout.StartLineEdit(false));
  EXPECT_TRUE(Left(50, 40));
  host_.YesNoAnswers = {true};
  EXPECT_TRUE(Right(50, 40));
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
  EXPECT_EQ(LineFile("本線"), "6001\r\n7001\r\n");
  EXPECT_EQ(Shown().back(), "路線編集を終わりますか？");
}

TEST_F(LineEdit, DeletingALineFileAsksFirst) {
  WriteLine("本線", "6001\r\n7001\r\n");
  host_.SelectAnswers = {"本線", "本線"};
  host_.YesNoAnswers = {false, true};
  EXPECT_FALSE(ed_.Layout.LineDel());
  EXPECT_TRUE(fs::exists(folder_ + "/line/本線.txt"));
  EXPECT_TRUE(ed_.Layout.LineDel());
  EXPECT_FALSE(fs::exists(folder_ + "/line/本線.txt"));
  EXPECT_EQ(Shown().back(), "削除してよろしいですか？");
}

}  // namespace
}  // namespace ramvel
