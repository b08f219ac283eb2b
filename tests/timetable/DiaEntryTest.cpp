// Entering a train section by section through the scripted one-section dialog: stops, passes,
// held starts confirmed and refused, the platform checks, and entries that add nothing.
#include <gtest/gtest.h>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "timetable/UrwDiaEditor.h"

namespace ramvel {
namespace {

using test::AddCar;
using test::Cancel;
using test::MakeLine;
using test::MakeStep;
using test::PassVia;
using test::StopVia;
using test::TStepAnswer;
using Texts = std::vector<std::string>;

constexpr int32_t A = 1001, B = 2001, C = 3001, D = 4001;
constexpr int32_t k1000 = 21600;  // 10:00:00

void ExpectSteps(const TCarObj& c, const std::vector<TTmTbl>& want) {
  const std::vector<TTmTbl>& got = c.TmTbl.Items();
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].Txt, want[i].Txt) << i;
    EXPECT_EQ(got[i].TmStart, want[i].TmStart) << i;
    EXPECT_EQ(got[i].TmEnd, want[i].TmEnd) << i;
    EXPECT_EQ(got[i].Loc, want[i].Loc) << i;
  }
}

// Line A - B - C - D, 1188 m between stations (one block of 59 s at 20 m/s). Train set 1 of 4
// cars at 72 km/h stands at A's platform 1. A stop takes 55 s to leave a station and 63 s to
// come in; a pass 28 s and 32 s.
class Entry : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeLine(brd_, {"A", "B", "C", "D"});
    car_ = &AddCar(brd_, A, 1);
  }
  void Open() {
    ed_.OpenDia();
    brd_.Modified = false;
  }
  // The new train "101,普通" of the first train set offered.
  bool NewTrain101() {
    dlg_.Selections.push_back(0);
    dlg_.Trains.push_back(TTrainChoice{"101", "普通"});
    return ed_.TrainNew();
  }
  TBlkObj& Blk(int32_t no) { return *brd_.Blks.at(IntText(no)); }
  TTmTblObj& HomeOcc(int32_t sta, int32_t home) {
    return *brd_.FindSta(sta, "")->GetRailInSta(kRailHome, home)->Occ;
  }

  TBrdData brd_;
  TCarObj* car_ = nullptr;
  test::TScriptedDiaDialogs dlg_;
  test::TCountingView view_;
  TDiaEditor ed_{brd_, dlg_, &view_};
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(Entry, ThreeSectionsWithAStopAPassAndAHeldStart) {
  Open();
  // Another train holds the block B - C until 10:01:45.
  Blk(2).Occupy("X", k1000, 105);
  dlg_.Steps = {
      // A, the origin: 09:57:03 reaches B at 21423 + 55 + 59 + 63 = 10:00:00.
      StopVia("B  1番ホーム", "957.03"),
      // B, a stop: too early first; then the shortest stop, passing C.
      StopVia("C  1番ホーム", "1000.20"),
      TStepAnswer{TStepAnswer::kPass, 0, std::nullopt, ""},
      // The start had to wait 75 s and was refused; asked again, the same choice is confirmed.
      TStepAnswer{TStepAnswer::kPass, 0, std::nullopt, "C  1番ホーム"},
      // C, passed at 10:01:45 + 55 + 59 + 32 = 10:04:11; on to D's platform 2.
      StopVia("D  2番ホーム"),
  };
  host_.YesNoAnswers = {false, true};
  EXPECT_TRUE(NewTrain101());

  EXPECT_EQ(dlg_.SelShown.at(0).Items, Texts{"   1 ( 4両編成 始発駅：A駅 1番ホーム)"});
  ASSERT_EQ(dlg_.StepsShown.size(), 4u);
  EXPECT_EQ(dlg_.StepsShown[0].EdtCurSta, " 400");  // only stabled so far
  EXPECT_EQ(dlg_.StepsShown[0].BtnCancelCaption, "キャンセル");
  EXPECT_EQ(dlg_.StepsShown[1].LbxStart.front(), "1000.30 (最短停車)");
  EXPECT_EQ(dlg_.StepsShown[1].LbxStart.back(), "1009.00 (9分停車)");
  EXPECT_EQ(dlg_.StepsShown[1].BtnCancelCaption, "現在駅を終点とする");
  EXPECT_EQ(dlg_.StepsShown[3].LblCurSta, "現在の駅「C」- 通過駅です");
  EXPECT_EQ(dlg_.StepsShown[3].FirstDep, k1000 + 251);
  EXPECT_FALSE(dlg_.StepsShown[3].BtnCancelEnabled);
  EXPECT_EQ(dlg_.Unanswered, 0);
  // The question names what holds the train and when it could leave.
  const std::string held =
      "停車を更に1分15秒増やす必要があります（B駅〜C駅間で列車Xと重なります。1001.45発なら"
      "入れます）。よろしいですか？";
  EXPECT_EQ(host_.Texts(), (Texts{"発車時刻が早すぎます", held, held, "列車を追加しました"}));

  // D is reached at 10:04:11 + 28 + 59 + 63 = 10:06:41.
  ExpectSteps(*car_,
              {MakeStep(A, 1, 0, -1, -1), MakeStep(A, 1, 1, k1000 - 177, k1000 - 177, "101,普通"),
               MakeStep(B, 1, 1, k1000, k1000 + 105), MakeStep(C, 1, 1, k1000 + 251, k1000 + 251),
               MakeStep(D, 2, 1, k1000 + 401, -1)});
  EXPECT_EQ(brd_.FindTrainCar("101", ""), car_);
  EXPECT_TRUE(brd_.Modified);
  // The editor is back in its normal state, rebuilt from the train sets: the other train's
  // block booking is gone, the new train's is there.
  EXPECT_EQ(ed_.DiaMode, TDiaMode::kNormal);
  ASSERT_EQ(ed_.Dia.TrCount, 1);
  EXPECT_EQ(ed_.Dia.TrInfo[0].CellCount, 4);
  EXPECT_TRUE(ed_.Dia.TrInfo[0].IsOrigin);
  ASSERT_EQ(Blk(2).Occ.Count(), 1);
  EXPECT_EQ(Blk(2).Occ.At(0).TmStart, k1000 + 105 + 55);
  EXPECT_EQ(ed_.ChkMsg, "");
  EXPECT_GT(view_.GridFills, 0);
}

TEST_F(Entry, APassedStationCannotHoldTheTrain) {
  Open();
  // Passing B: 21423 + 55 + 59 + 32 = 21569. The block B - C is taken until 21644, so the
  // start from B would have to wait 75 s.
  Blk(2).Occupy("X", 21500, 144);
  dlg_.Steps = {PassVia("B  1番ホーム", "957.03"), PassVia("C  1番ホーム"), Cancel()};
  EXPECT_FALSE(NewTrain101());
  EXPECT_EQ(
      host_.Texts(),
      (Texts{"停車を更に1分15秒増やす必要があります（B駅〜C駅間で列車Xと重なります。1000.44発なら"
             "入れます）が、現在駅は通過なので続行できません。やり直しをお願いします。",
             "通過駅を終点にはできないので、最後の停車駅から先の区間を取り消しました",
             "一区間も追加されなかったので処理をキャンセルします"}));
  // The train cannot end at B, where it was to pass: its only section is given up.
  ExpectSteps(*car_, {MakeStep(A, 1, 0, -1, -1)});
}

TEST_F(Entry, ThePlatformMustStayFreeUntilTheStart) {
  Open();
  // A visitor takes B's platform 1 from 10:00:50 to 10:01:40, after the train has come in.
  HomeOcc(B, 1).Add({"Y", k1000 + 50, k1000 + 100, 0});
  dlg_.Steps = {StopVia("B  1番ホーム", "957.03"),
                // Leaving at 10:01 is after the platform is taken.
                StopVia("C  1番ホーム", "1001.00"),
                // The shortest stop (10:00:30) is held by the visitor until 10:01:40.
                TStepAnswer{TStepAnswer::kStop, 0, std::nullopt, "C  1番ホーム"}, Cancel()};
  EXPECT_TRUE(NewTrain101());
  EXPECT_EQ(host_.Texts(),
            (Texts{"指定の発車時刻にはホームが空いていません。B駅の1番ホームで列車Yと重なります。"
                   "1000.50より前の発車なら入れます",
                   "停車時間を増やす必要がありますが、ホームの空き時間が十分ではありません。"
                   "B駅の1番ホームで列車Yと重なります。1000.50より前の発車なら入れます"
                   "（B駅で列車Yと重なります）",
                   "列車を追加しました"}));
  EXPECT_EQ(dlg_.StepsShown.at(1).BtnCancelCaption, "現在駅を終点とする");
  ExpectSteps(*car_, {MakeStep(A, 1, 0, -1, -1), MakeStep(A, 1, 1, 21423, 21423, "101,普通"),
                      MakeStep(B, 1, 1, k1000, -1)});
}

TEST_F(Entry, AStartHeldHalfAnHourIsRefusedAndNothingIsAdded) {
  Open();
  Blk(1).Occupy("X", 0, 30000);
  dlg_.Steps = {StopVia("B  1番ホーム", "957.03"), Cancel()};
  EXPECT_FALSE(NewTrain101());
  // Block A - B is taken until 30000: the earliest start is when it is free again, 12:20.
  EXPECT_EQ(host_.Texts(), (Texts{"停車時間を大幅に増やす必要があります（A駅〜B駅間で列車Xと重なります）。"
                                  "1220発なら入れます。やり直しをお願いします。",
                                  "一区間も追加されなかったので処理をキャンセルします"}));
  EXPECT_EQ(car_->TmTbl.Count(), 1);
  EXPECT_EQ(brd_.FindTrainCar("101", ""), nullptr);
  EXPECT_EQ(ed_.Dia.TrCount, 0);
  EXPECT_FALSE(brd_.Modified);
}

TEST_F(Entry, ANewTrainAfterAnotherStartsAtTheNextWholeMinute) {
  car_->TmTbl.Add(MakeStep(A, 1, 1, 21000, 21000, "100,普通"));
  car_->TmTbl.Add(MakeStep(B, 1, 0, k1000 + 10, -1));  // arrived 10:00:10
  brd_.TrainReg(1, "100");
  Open();
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"102", ""}};
  dlg_.Steps = {Cancel()};
  EXPECT_FALSE(ed_.TrainNew());
  ASSERT_EQ(dlg_.StepsShown.size(), 1u);
  EXPECT_EQ(dlg_.StepsShown[0].EdtCurSta, "1001");
  EXPECT_EQ(dlg_.StepsShown[0].LblCurSta, "現在の駅「B」- 始発駅です");
  ASSERT_EQ(dlg_.TrainsShown.size(), 1u);
  EXPECT_EQ(dlg_.TrainsShown[0].StaName, "B");
  EXPECT_EQ(dlg_.TrainsShown[0].HomeText, "1");
  EXPECT_FALSE(dlg_.TrainsShown[0].Change);
  EXPECT_EQ(car_->TmTbl.Count(), 3);
  // The train set's stay at B is booked again by the closing rebuild.
  EXPECT_EQ(HomeOcc(B, 1).GetLast().Txt, "[1]");
}

TEST_F(Entry, TheLastStationOfTheLineOffersNoSection) {
  AddCar(brd_, D, 1);
  Open();
  dlg_.Selections = {1};  // train set 2, at D
  dlg_.Trains = {TTrainChoice{"201", ""}};
  EXPECT_FALSE(ed_.TrainNew());
  EXPECT_TRUE(dlg_.StepsShown.empty());
  EXPECT_EQ(host_.Texts(), Texts{"一区間も追加されなかったので処理をキャンセルします"});
}

TEST_F(Entry, ATakenTrainNumberIsRefusedBeforeAnythingChanges) {
  car_->TmTbl.Add(MakeStep(A, 1, 1, 21000, 21000, "100,普通"));
  car_->TmTbl.Add(MakeStep(B, 1, 0, k1000 + 10, -1));
  brd_.TrainReg(1, "100");
  Open();
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"100", ""}};
  EXPECT_FALSE(ed_.TrainNew());
  EXPECT_EQ(host_.Texts(), Texts{"既に存在する列車番号です"});
  EXPECT_TRUE(dlg_.StepsShown.empty());
  EXPECT_EQ(ed_.Dia.TrCount, 1);
}

TEST_F(Entry, AnUpTrainRunsTowardsTheFirstStation) {
  AddCar(brd_, D, 2);
  brd_.CarDel(1);  // it would stand at A 1, where the train ends, all day
  Open();
  ed_.KudariMode = false;
  ed_.ApplyDir();
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"202", "快速 はやて"}};
  // D's platform 2 reaches the single track by its crossover; the line ends at A.
  // 11:00 is 25200 s after 04:00; C is reached 55 + 59 + 63 s later.
  dlg_.Steps = {StopVia("C  1番ホーム", "1100"), StopVia("B  1番ホーム"), StopVia("A  1番ホーム")};
  EXPECT_TRUE(ed_.TrainNew());
  const TCarObj& c2 = *brd_.FindCar(2, "");
  ASSERT_EQ(c2.TmTbl.Count(), 5);
  EXPECT_EQ(c2.TmTbl.At(1).Txt, "202,快速 はやて");
  EXPECT_EQ(c2.TmTbl.At(1).Loc, MakeEntCode(D, 2, 0));  // leaves D by side 0
  EXPECT_EQ(c2.TmTbl.At(2).TmStart, 25200 + 177);
  EXPECT_EQ(c2.TmTbl.At(2).TmEnd, 25200 + 207);
  EXPECT_EQ(c2.TmTbl.At(4).Loc, MakeEntCode(A, 1, 0));
  ASSERT_EQ(ed_.Dia.NoboriOrder.size(), 1u);
  EXPECT_EQ(ed_.Dia.TrInfo[ed_.Dia.NoboriOrder[0].Tr].Dir, -1);
  EXPECT_EQ(ed_.Dia.TrInfo[ed_.Dia.NoboriOrder[0].Tr].FirstSta, 3);
}

}  // namespace
}  // namespace ramvel
