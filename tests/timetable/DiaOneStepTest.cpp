// The one-section dialog without its window: what it shows at an origin, a stop and a passed
// station, the stop-length choices, and the check of the user's choice.
#include <gtest/gtest.h>

#include "foundation/UrwCmnDef.h"
#include "timetable/UrwDiaOneStep.h"

namespace ramvel {
namespace {

using Texts = std::vector<std::string>;

constexpr int32_t k1000 = 21600;  // 10:00:00 in seconds from 04:00

const Texts kTwoRoutes = {"B  1番ホーム=-1001|H;1,1012,2011|H;1",
                          "B  2番ホーム=-1001|H;1,1012,2011|1;12|H;2"};

class OneStep : public ::testing::Test {
 protected:
  TDiaOneStep f_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(OneStep, AStopOffersTheShortestStopAndNineWholeMinutes) {
  // Reached at 10:00:00: the earliest departure is 30 s later.
  f_.SetupStep("B", "C", kTwoRoutes, k1000 + 30, 1, false, false);
  EXPECT_EQ(f_.LbxStart, (Texts{"1000.30 (最短停車)", "1001.00 (1分停車)", "1002.00 (2分停車)",
                                "1003.00 (3分停車)", "1004.00 (4分停車)", "1005.00 (5分停車)",
                                "1006.00 (6分停車)", "1007.00 (7分停車)", "1008.00 (8分停車)",
                                "1009.00 (9分停車)"}));
  EXPECT_EQ(f_.StartIndex, 0);
  EXPECT_EQ(f_.EdtCurSta, "1000.30");
  EXPECT_EQ(f_.LblCurSta, "現在の駅「B」- 停車駅です");
  EXPECT_EQ(f_.Lbl4CurSta, "発車時刻を入れて下さい。");
  EXPECT_EQ(f_.LblNextSta, "次の駅「C」");
  EXPECT_TRUE(f_.EdtCurStaVisible && f_.LbxStartVisible && f_.BtnCancelEnabled);
  EXPECT_EQ(f_.BtnCancelCaption, "現在駅を終点とする");
  // Two routes: none chosen. The list is 2 rows of 15 px + 5; the stop list reaches lower.
  EXPECT_EQ(f_.LbxSta, (Texts{"B  1番ホーム", "B  2番ホーム"}));
  EXPECT_EQ(f_.StaIndex, -1);
  EXPECT_EQ(f_.LbxStaHeight, 35);
  EXPECT_EQ(f_.ClientHeight, 88 + 178 + 10);
}

TEST_F(OneStep, StopChoicesAreRoundedUpToWholeMinutes) {
  // Reached at 10:00:15: one minute after the earliest 10:00:45 less 30 s is 10:01:15, shown
  // as 10:02:00.
  EXPECT_EQ(StopChoiceText(k1000 + 45, 1), "1002.00 (1分停車)");
  EXPECT_EQ(StopChoiceText(k1000 + 45, 9), "1010.00 (9分停車)");
  EXPECT_EQ(StopChoiceText(k1000 + 45, 0), "1000.45 (最短停車)");
}

TEST_F(OneStep, AnOriginAsksForAFormedTimeNotBeforeTheEarliest) {
  f_.SetupStep("A", "B", {kTwoRoutes[0]}, 0, 0, false, true);
  EXPECT_EQ(f_.EdtCurSta, " 400");
  EXPECT_EQ(f_.LblCurSta, "現在の駅「A」- 始発駅です");
  EXPECT_FALSE(f_.LbxStartVisible);
  EXPECT_EQ(f_.BtnCancelCaption, "キャンセル");
  EXPECT_EQ(f_.StaIndex, 0);  // one route: chosen already
  EXPECT_EQ(f_.ClientHeight, 64 + 20 + 10);
  f_.EdtCurSta = "9:57";
  EXPECT_FALSE(f_.BtnOkClick());
  EXPECT_EQ(f_.Focus, TOneStepFocus::kDep);
  f_.EdtCurSta = "９５７．０３";  // full-width digits are read as half-width
  ASSERT_TRUE(f_.BtnOkClick());
  EXPECT_EQ(f_.ChosenDep, k1000 - 177);
  EXPECT_FALSE(f_.PassNext);
  // After an earlier train the origin may not leave before the earliest departure offered.
  f_.SetupStep("A", "B", {kTwoRoutes[0]}, k1000 + 60, 0, false, true);
  EXPECT_EQ(f_.EdtCurSta, "1001");
  f_.EdtCurSta = "1000";
  EXPECT_FALSE(f_.BtnThruClick());
  EXPECT_EQ(host_.Texts(), (Texts{"発車時刻が正しく入力されていません", "発車時刻が早すぎます"}));
}

TEST_F(OneStep, APassedStationLeavesAtItsArrival) {
  f_.SetupStep("C", "D", kTwoRoutes, k1000 + 200, 2, true, false);
  EXPECT_EQ(f_.LblCurSta, "現在の駅「C」- 通過駅です");
  EXPECT_EQ(f_.Lbl4CurSta, "");
  EXPECT_FALSE(f_.EdtCurStaVisible || f_.LbxStartVisible || f_.BtnCancelEnabled);
  EXPECT_EQ(f_.ClientHeight, 64 + 35 + 10);
  EXPECT_FALSE(f_.BtnOkClick());  // no route chosen
  EXPECT_EQ(f_.Focus, TOneStepFocus::kRoute);
  f_.StaIndex = 1;
  ASSERT_TRUE(f_.BtnThruClick());
  EXPECT_EQ(f_.ChosenDep, k1000 + 200);
  EXPECT_TRUE(f_.PassNext);
  EXPECT_EQ(f_.ChosenRoute(), "-1001|H;1,1012,2011|1;12|H;2");
  EXPECT_EQ(host_.Texts(), Texts{"次の駅が選択されていません"});
}

TEST_F(OneStep, AStopChecksTheTimeTypedOrChosen) {
  f_.SetupStep("B", "C", {kTwoRoutes[0]}, k1000 + 30, 1, false, false);
  ASSERT_TRUE(f_.BtnOkClick());  // the shortest stop as offered
  EXPECT_EQ(f_.ChosenDep, k1000 + 30);
  f_.EdtCurSta = "1000.20";
  EXPECT_FALSE(f_.BtnOkClick());
  f_.EdtCurSta = "10:01";
  EXPECT_FALSE(f_.BtnOkClick());
  f_.LbxStartClick(3);
  EXPECT_EQ(f_.EdtCurSta, "1003.00");
  ASSERT_TRUE(f_.BtnOkClick());
  EXPECT_EQ(f_.ChosenDep, k1000 + 180);
  f_.EdtCurSta = "1004";
  ASSERT_TRUE(f_.BtnOkClick());
  EXPECT_EQ(f_.ChosenDep, k1000 + 240);
  EXPECT_EQ(host_.Texts(), (Texts{"発車時刻が早すぎます", "発車時刻が正しく入力されていません"}));
}

TEST(StopShort, NamesMinutesOnlyFromOneMinuteOn) {
  EXPECT_EQ(StopShortMsg(90), "停車を更に1分30秒増やす必要があります");
  EXPECT_EQ(StopShortMsg(75), "停車を更に1分15秒増やす必要があります");
  EXPECT_EQ(StopShortMsg(45), "停車を更に45秒増やす必要があります");
  EXPECT_EQ(StopShortMsg(120), "停車を更に2分0秒増やす必要があります");
}

}  // namespace
}  // namespace ramvel
