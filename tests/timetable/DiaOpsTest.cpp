// The train set and train commands of the diagram editor: selection lists, creating, showing
// and deleting train sets, deleting and renumbering trains, adding and deleting sections,
// continuing a train from another line, dividing and merging train sets.
#include <gtest/gtest.h>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "NetBuilder.h"
#include "timetable/UrwDiaEditor.h"

namespace ramvel {
namespace {

using test::AddCar;
using test::MakeLine;
using test::MakeStep;
using test::StopVia;
using Texts = std::vector<std::string>;

constexpr int32_t A = 1001, B = 2001, C = 3001, D = 4001, X = 9001;

void AddTrain(TBrdData& brd, TCarObj& c, const std::vector<TTmTbl>& steps) {
  for (const TTmTbl& s : steps) c.TmTbl.Add(s);
  ASSERT_TRUE(brd.TrainReg(c.Id, TextBefore(steps.front().Txt, ",")));
}

// Line A - B - C - D; station X lies off the line.
//   set 1 at A/1: 11 A -> B -> C, 12 C -> D, 13 D -> C -> B (ends at B/1)
//   set 2 at A/2: no train
//   set 3 at X/1: 31 X -> B, coming in from another line (ends at B/1)
//   set 4 at X/2: no train, off the line
class Ops : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeLine(brd_, {"A", "B", "C", "D"});
    test::PutStation(brd_, test::TwoPlatformStation(X, "X"), 0, 30);
    TCarObj& c1 = AddCar(brd_, A, 1);
    AddTrain(brd_, c1,
             {MakeStep(A, 1, 1, 20000, 20000, "11,普通"), MakeStep(B, 1, 1, 20177, 20207),
              MakeStep(C, 1, 1, 20384, -1)});
    AddTrain(brd_, c1, {MakeStep(C, 1, 1, 21000, 21000, "12,普通"), MakeStep(D, 1, 1, 21177, -1)});
    AddTrain(brd_, c1,
             {MakeStep(D, 1, 0, 22000, 22000, "13,普通"), MakeStep(C, 1, 0, 22177, 22207),
              MakeStep(B, 1, 0, 22384, -1)});
    AddCar(brd_, A, 2);
    TCarObj& c3 = AddCar(brd_, X, 1);
    AddTrain(brd_, c3, {MakeStep(X, 1, 0, 19000, 19000, "31,普通"), MakeStep(B, 1, 0, 19500, -1)});
    AddCar(brd_, X, 2);
    ed_.OpenDia();
  }
  int32_t Tr(const std::string& no) const {
    for (int32_t k = 0; k < ed_.Dia.TrCount; ++k) {
      if (ed_.Dia.TrInfo[k].TrNo == no) return k;
    }
    ADD_FAILURE() << "no train " << no;
    return -1;
  }
  TCarObj& Car(int32_t no) { return *brd_.FindCar(no, ""); }
  Texts Headers(int32_t carNo) {
    Texts out;
    for (const TTmTbl& s : Car(carNo).TmTbl.Items()) {
      if (!s.Txt.empty()) out.push_back(s.Txt);
    }
    return out;
  }
  int32_t IndexOf(const Texts& list, const std::string& item) {
    const auto it = std::find(list.begin(), list.end(), item);
    return it == list.end() ? -1 : static_cast<int32_t>(it - list.begin());
  }

  TBrdData brd_;
  test::TScriptedDiaDialogs dlg_;
  TDiaEditor ed_{brd_, dlg_};
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

// ---- Train sets --------------------------------------------------------------------------------

TEST(CarSel, LinesNameTheFinalPosition) {
  EXPECT_EQ(CarSelLine(7, 4, "始発駅", "S", 2), "   7 ( 4両編成 始発駅：S駅 2番ホーム)");
  EXPECT_EQ(CarSelLine(1234, 8, "最終位置", "東京", 12),
            "1234 ( 8両編成 最終位置：東京駅 12番ホーム)");
}

TEST_F(Ops, SelectionListsOfTheFourKinds) {
  EXPECT_EQ(std::vector<std::string>(ed_.Dia.CarIds.begin(), ed_.Dia.CarIds.end()),
            (Texts{"  1", "  2*", "  3"}));
  EXPECT_EQ(ed_.CarSelList(kSelNewTrain),
            (Texts{"   1 ( 4両編成 始発駅：B駅 1番ホーム)", "   2 ( 4両編成 始発駅：A駅 2番ホーム)",
                   "   3 ( 4両編成 始発駅：B駅 1番ホーム)"}));
  EXPECT_EQ(ed_.CarSelList(kSelDelete), (Texts{"   2 ( 4両編成 始発駅：A駅 2番ホーム)"}));
  EXPECT_EQ(ed_.CarSelList(kSelBothDir), (Texts{"   1 ( 4両編成 最終位置：B駅 1番ホーム)",
                                                "   3 ( 4両編成 最終位置：B駅 1番ホーム)"}));
  EXPECT_EQ(ed_.CarSelList(kSelBridge), (Texts{"   3 ( 4両編成 乗り入れ駅：B駅 1番ホーム)"}));
}

TEST_F(Ops, SelectingATrainSetReadsTheNumberBeforeTheBracket) {
  dlg_.Selections = {1};
  EXPECT_EQ(SelectCarId(dlg_, {"   3 ( a)", "  12 ( b)"}, "p"), std::optional<int32_t>(12));
  EXPECT_EQ(dlg_.SelShown.at(0).Prompt, "p");
  EXPECT_EQ(SelectCarId(dlg_, {}, "p"), std::nullopt);
  EXPECT_EQ(dlg_.SelShown.size(), 1u);  // an empty list opens no dialog
  EXPECT_EQ(host_.Texts(), Texts{"選択できるものがありません"});
}

TEST_F(Ops, ANewTrainSetIsCheckedBeforeItIsRegistered) {
  const auto choice = [](int32_t spd, int32_t place) {
    return TNewCarChoice{TCarProp{0, "", 0x0000FF, 6, spd}, place};
  };
  dlg_.NewCars = {choice(29, MakeEntCode(D, 2, 0)), choice(160, MakeEntCode(A, 1, 0)),
                  choice(160, MakeEntCode(X, 1, 0)), choice(30, MakeEntCode(D, 2, 0))};
  EXPECT_FALSE(ed_.CarNew());  // too slow
  EXPECT_FALSE(ed_.CarNew());  // train set 1 stands there at 04:00
  EXPECT_FALSE(ed_.CarNew());  // not a station of the line
  EXPECT_EQ(brd_.Cars.size(), 4u);
  EXPECT_TRUE(ed_.CarNew());
  EXPECT_EQ(host_.Texts(),
            (Texts{"速度の入力が正しくありません",
                   "指定の留置場所が始業時に空いていません（留置中の編成1が使っています）",
                   "始業時留置駅を入力して下さい"}));
  const TCarObj& c5 = Car(5);
  EXPECT_EQ(c5.NCar, 6);
  EXPECT_EQ(c5.Spd, 30);
  EXPECT_EQ(c5.Color, 0x0000FF);
  EXPECT_EQ(c5.TmTbl.GetLast().Loc, MakeEntCode(D, 2, 0));
  EXPECT_EQ(ed_.Dia.CarIds.count("  5*"), 1u);
}

TEST_F(Ops, PropertiesShowTheFinalPosition) {
  dlg_.Selections = {0};
  ed_.CarSpec();
  EXPECT_EQ(dlg_.SelShown.at(0).Prompt, "編成を選択して下さい");
  EXPECT_EQ(dlg_.Specs, Texts{"1 B 1"});
}

TEST_F(Ops, OnlyATrainSetWithoutTrainsCanBeDeleted) {
  dlg_.Selections = {0};
  EXPECT_TRUE(ed_.CarDel());
  EXPECT_EQ(dlg_.SelShown.at(0).Prompt, "削除したい編成を選択して下さい");
  EXPECT_EQ(brd_.FindCar(2, ""), nullptr);
  EXPECT_EQ(ed_.Dia.CarIds.count("  2*"), 0u);
  EXPECT_TRUE(ed_.CarSelList(kSelDelete).empty());
}

// ---- Trains ------------------------------------------------------------------------------------

// 11 started at A 1; the set's next train, 12, starts at C 1: without 11 the set would not be
// there. 13, the last train, can go.
TEST_F(Ops, ATrainIsDeletedOnlyWhenTheRestStillJoins) {
  Texts shown;
  for (const TOrderEntry& e : *ed_.Dia.ViewOrder) shown.push_back(e.TrNo);
  dlg_.Selections = {IndexOf(shown, "11")};
  EXPECT_FALSE(ed_.TrainDel());
  EXPECT_EQ(dlg_.SelShown.at(0).Prompt, "列車を選択して下さい");
  host_.YesNoAnswers = {true};
  EXPECT_TRUE(ed_.TrainDel2(Tr("13")));
  EXPECT_EQ(host_.Texts(),
            (Texts{"列車11を削除すると、次の列車12の始発（C駅1番ホーム）に編成1がいなくなります"
                   "（A駅1番ホームに残ります）。削除できません",
                   "「13」を削除してよろしいですか？"}));
  EXPECT_EQ(Headers(1), (Texts{"11,普通", "12,普通"}));
  EXPECT_EQ(brd_.FindTrainCar("13", ""), nullptr);
  EXPECT_EQ(ed_.Dia.TrCount, 3);
}

TEST(OpsEmpty, DeletingWithNoTrainShownOffersNothing) {
  TBrdData brd;
  MakeLine(brd, {"A", "B"});
  test::TScriptedDiaDialogs dlg;
  TScriptedHost host;
  TUiHostScope scope(host);
  TDiaEditor ed(brd, dlg);
  ed.OpenDia();
  EXPECT_FALSE(ed.TrainDel());
  EXPECT_FALSE(ed.ChgTrNo());
  EXPECT_TRUE(dlg.SelShown.empty());
  EXPECT_EQ(host.Texts(), (Texts{"選択できるものがありません", "選択できるものがありません"}));
}

TEST_F(Ops, ANewNumberKeepsTheTrainsSteps) {
  Texts shown;
  for (const TOrderEntry& e : *ed_.Dia.ViewOrder) shown.push_back(e.TrNo);
  dlg_.Selections = {IndexOf(shown, "12"), IndexOf(shown, "12")};
  dlg_.Trains = {TTrainChoice{"11", ""}, TTrainChoice{" 12A ", "快速 X"}};
  const std::vector<TTmTbl> before = Car(1).TmTbl.Items();
  EXPECT_FALSE(ed_.ChgTrNo());  // 11 is taken
  EXPECT_TRUE(ed_.ChgTrNo());
  ASSERT_EQ(dlg_.TrainsShown.size(), 2u);
  EXPECT_EQ(dlg_.TrainsShown[0].Kind, "普通");
  EXPECT_EQ(dlg_.TrainsShown[0].Number, "12");
  EXPECT_TRUE(dlg_.TrainsShown[0].Change);
  EXPECT_EQ(dlg_.TrainsShown[0].StaName, "C");
  EXPECT_EQ(dlg_.TrainsShown[0].HomeText, "1");
  EXPECT_EQ(host_.Texts(), Texts{"既に存在する列車番号です"});
  const std::vector<TTmTbl>& after = Car(1).TmTbl.Items();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].Txt, i == 4 ? "12A,快速 X" : before[i].Txt) << i;
    EXPECT_EQ(after[i].TmStart, before[i].TmStart) << i;
    EXPECT_EQ(after[i].Loc, before[i].Loc) << i;
  }
  EXPECT_EQ(brd_.FindTrainCar("12A", ""), &Car(1));
  EXPECT_EQ(brd_.FindTrainCar("12", ""), nullptr);
  EXPECT_GE(Tr("12A"), 0);
}

TEST_F(Ops, SectionsBeyondAStationAreDeletedOnlyFromTheLastTrain) {
  EXPECT_FALSE(ed_.KukanDelete(Tr("11"), 1));
  // Slot 0 (A) is not one of 13's cells (D, C, B): the train would keep nothing.
  EXPECT_FALSE(ed_.KukanDelete(Tr("13"), 0));
  EXPECT_EQ(Car(1).TmTbl.Count(), 9);
  host_.YesNoAnswers = {true};
  EXPECT_TRUE(ed_.KukanDelAll(Tr("13"), 2));  // beyond C
  EXPECT_EQ(host_.Texts(), (Texts{"編成にとって最終列車ではないので削除できません",
                                  "区間が一つしかないので削除できません",
                                  "この先の区間を全て削除してよろしいですか？"}));
  ASSERT_EQ(Car(1).TmTbl.Count(), 8);
  const TTmTbl last = Car(1).TmTbl.GetLast();
  EXPECT_EQ(last.Loc, MakeEntCode(C, 1, 0));
  EXPECT_EQ(last.TmStart, 22177);
  EXPECT_EQ(last.TmEnd, -1);  // C is now the terminal
  EXPECT_EQ(ed_.Dia.TrInfo[Tr("13")].CellCount, 2);
}

TEST_F(Ops, DeletingBeyondTheLastLineStationEndsTheTrainThere) {
  TCarObj& c4 = Car(4);
  AddTrain(brd_, c4,
           {MakeStep(C, 1, 1, 23000, 23000, "41,普通"), MakeStep(D, 1, 1, 23177, 23207),
            MakeStep(X, 1, 0, 23500, -1)});
  ed_.RebuildDia();
  host_.YesNoAnswers = {true};
  EXPECT_TRUE(ed_.KukanDelAll(Tr("41"), 3));
  ASSERT_EQ(c4.TmTbl.Count(), 3);
  EXPECT_EQ(c4.TmTbl.GetLast().Loc, MakeEntCode(D, 1, 1));
  EXPECT_EQ(c4.TmTbl.GetLast().TmEnd, -1);
  EXPECT_EQ(c4.TmTbl.At(1).Txt, "41,普通");
}

TEST_F(Ops, SectionsAreAddedAfterTheTerminalInTheShownDirection) {
  EXPECT_FALSE(ed_.KukanAdd(Tr("13")));  // a down view: 13 runs up
  ed_.KudariMode = false;
  ed_.ApplyDir();
  EXPECT_FALSE(ed_.KukanAdd(Tr("11")));  // not the train set's last train
  // Set 3 would stand at B 1 for the night, where 13 ends and would leave from again.
  brd_.TrainNos.erase("31");
  brd_.CarDel(3);
  ed_.RebuildDia();
  dlg_.Steps = {StopVia("A  1番ホーム")};
  EXPECT_TRUE(ed_.KukanAdd(Tr("13")));
  ASSERT_EQ(dlg_.StepsShown.size(), 1u);
  EXPECT_EQ(dlg_.StepsShown[0].LblCurSta, "現在の駅「B」- 停車駅です");
  // Arrived at 22384 (10:13:04): offered from 30 s later, 10:13:34, as for a train coming in
  // from another line; the next whole minute, 10:14:00, is proposed.
  EXPECT_EQ(dlg_.StepsShown[0].FirstDep, 22414);
  EXPECT_EQ(dlg_.StepsShown[0].EdtCurSta, "1014");
  EXPECT_EQ(host_.Texts(),
            (Texts{"表示中の方向と列車の進行方向が異なるので区間を追加できません",
                   "編成にとって最終列車ではないので区間を追加できません", "区間を追加しました"}));
  // B is left at 22440 and A reached 55 + 59 + 63 s later.
  const TCarObj& c1 = Car(1);
  ASSERT_EQ(c1.TmTbl.Count(), 10);
  EXPECT_EQ(c1.TmTbl.At(8).TmStart, 22384);
  EXPECT_EQ(c1.TmTbl.At(8).TmEnd, 22440);
  EXPECT_EQ(c1.TmTbl.At(8).Loc, MakeEntCode(B, 1, 0));
  EXPECT_EQ(c1.TmTbl.At(9).TmStart, 22440 + 177);
  EXPECT_EQ(c1.TmTbl.At(9).TmEnd, -1);
  EXPECT_EQ(c1.TmTbl.At(9).Loc, MakeEntCode(A, 1, 0));
  EXPECT_EQ(ed_.Dia.TrInfo[Tr("13")].CellCount, 4);
}

TEST_F(Ops, ATrainFromAnotherLineGoesOnFromItsLastArrival) {
  dlg_.Selections = {0};
  // C 1 is set 1's from 20384: the train goes on to C 2, from where no way leads on to D.
  dlg_.Steps = {StopVia("C  2番ホーム")};
  EXPECT_TRUE(ed_.TrainBridge());
  EXPECT_EQ(dlg_.SelShown.at(0).Prompt, "他路線から乗り入れる編成を選択して下さい");
  // Arrived at 19500: offered from 30 s later, as a stop; the next whole minute is proposed.
  ASSERT_EQ(dlg_.StepsShown.size(), 1u);
  EXPECT_EQ(dlg_.StepsShown[0].LblCurSta, "現在の駅「B」- 停車駅です");
  EXPECT_EQ(dlg_.StepsShown[0].FirstDep, 19530);
  EXPECT_EQ(host_.Texts(), Texts{"区間を追加しました"});
  const TCarObj& c3 = Car(3);
  ASSERT_EQ(c3.TmTbl.Count(), 4);
  EXPECT_EQ(c3.TmTbl.At(1).Txt, "31,普通");
  EXPECT_EQ(c3.TmTbl.At(2).Txt, "");
  EXPECT_EQ(c3.TmTbl.At(2).TmStart, 19500);
  EXPECT_EQ(c3.TmTbl.At(2).TmEnd, 19560);
  EXPECT_EQ(c3.TmTbl.At(2).Loc, MakeEntCode(B, 1, 1));
  EXPECT_EQ(c3.TmTbl.At(3).TmStart, 19560 + 177);
  EXPECT_EQ(c3.TmTbl.At(3).TmEnd, -1);
  EXPECT_EQ(ed_.Dia.TrInfo[Tr("31")].CellCount, 2);
  EXPECT_TRUE(ed_.CarSelList(kSelBridge).empty());
}

// ---- Dividing and merging ----------------------------------------------------------------------

TEST_F(Ops, DividingAfterATrainGivesTheRestToANewTrainSet) {
  EXPECT_FALSE(ed_.CarDiv(Tr("13")));  // nothing follows the last train
  EXPECT_TRUE(host_.Events.empty());
  host_.YesNoAnswers = {true};
  EXPECT_TRUE(ed_.CarDiv(Tr("12")));
  EXPECT_EQ(host_.Texts(), Texts{"編成を分割してよろしいですか？"});
  EXPECT_EQ(Headers(1), (Texts{"11,普通", "12,普通"}));
  EXPECT_EQ(Car(1).TmTbl.Count(), 6);
  const TCarObj& c5 = Car(5);
  EXPECT_EQ(Headers(5), Texts{"13,普通"});
  ASSERT_EQ(c5.TmTbl.Count(), 4);
  EXPECT_EQ(c5.TmTbl.At(0).TmStart, -1);
  EXPECT_EQ(c5.TmTbl.At(0).Loc, MakeEntCode(D, 1, 0));  // stabled where 13 starts
  EXPECT_EQ(c5.NCar, 4);
  EXPECT_EQ(c5.Spd, 72);
  EXPECT_EQ(c5.Color, Car(1).Color);
  EXPECT_EQ(brd_.FindTrainCar("13", ""), &c5);
  EXPECT_EQ(brd_.FindTrainCar("12", ""), &Car(1));
}

// Candidates for continuing where 13 ends (B/1 at 22384): set 5 leaves B/1 at 25000, set 6 at
// 24000, set 7 leaves B/2 at 23000 and set 8 leaves B/1 at 22300, before 13 has arrived.
class Merge : public Ops {
 protected:
  void AddCandidates(int32_t spd6, int32_t nCar6) {
    const auto cand = [&](int32_t home, int32_t dep, const std::string& no) -> TCarObj& {
      TCarObj& c = AddCar(brd_, B, home);
      AddTrain(brd_, c,
               {MakeStep(B, home, 1, dep, dep, no + ",普通"), MakeStep(C, 1, 1, dep + 177, -1)});
      return c;
    };
    cand(1, 25000, "51");
    TCarObj& c6 = cand(1, 24000, "61");
    c6.Spd = spd6;
    c6.NCar = nCar6;
    cand(2, 23000, "71");
    cand(1, 22300, "81");
    ed_.RebuildDia();
  }
};

TEST_F(Merge, TheSetLeavingFirstFromWhereTheTrainEndsJoinsIt) {
  AddCandidates(72, 4);
  host_.YesNoAnswers = {true};
  EXPECT_TRUE(ed_.CarMarge(Tr("13")));
  EXPECT_EQ(host_.Texts(), Texts{"併合対象の編成(ID=6)と併合してよろしいですね？"});
  EXPECT_EQ(brd_.FindCar(6, ""), nullptr);
  EXPECT_EQ(Headers(1), (Texts{"11,普通", "12,普通", "13,普通", "61,普通"}));
  EXPECT_EQ(Car(1).TmTbl.Count(), 11);  // the stabling step of 6 is dropped
  EXPECT_EQ(brd_.FindTrainCar("61", ""), &Car(1));
}

TEST_F(Merge, DifferentSpeedsCannotMergeOtherDifferencesAreAsked) {
  AddCandidates(90, 4);
  EXPECT_FALSE(ed_.CarMarge(Tr("13")));
  Car(6).Spd = 72;
  Car(6).NCar = 6;
  host_.YesNoAnswers = {false};
  EXPECT_FALSE(ed_.CarMarge(Tr("13")));
  EXPECT_EQ(host_.Texts(), (Texts{"併合対象の編成(ID=6)は速度が異なるので併合できません",
                                  "併合対象の編成(ID=6)は色(または車両数)が異なりますが、"
                                  "変更してよろしいですね？"}));
  EXPECT_NE(brd_.FindCar(6, ""), nullptr);
  EXPECT_EQ(Headers(1).size(), 3u);
}

TEST_F(Ops, WithoutACandidateNothingMerges) {
  EXPECT_FALSE(ed_.CarMarge(Tr("13")));
  EXPECT_FALSE(ed_.CarMarge(Tr("11")));  // not the last train: not offered
  EXPECT_EQ(host_.Texts(), Texts{"併合できる編成がありませんでした"});
}

}  // namespace
}  // namespace ramvel

namespace ramvel {
namespace {

// 備考: a train's note is typed in an input box (blanks around it dropped), follows the train
// when it is renumbered, and each change is one undo step; a text without a Shift-JIS form is
// refused with nothing changed.
TEST_F(Ops, ATrainsNoteIsEditedFollowsARenumberAndIsUndone) {
  host_.InputAnswers = {std::string("  土曜運休  "), std::string("土曜運休"),
                        std::string("臨時\xF0\x9F\x9A\x83")};
  EXPECT_TRUE(ed_.EditTrNote(Tr("12")));
  EXPECT_EQ(Car(1).TrNote("12"), "土曜運休");
  ASSERT_FALSE(host_.Events.empty());
  EXPECT_EQ(host_.Events.back().Kind, "input");
  EXPECT_EQ(host_.Events.back().Caption, "備考");
  EXPECT_FALSE(ed_.EditTrNote(Tr("12")));  // the same text: nothing to do
  EXPECT_FALSE(ed_.EditTrNote(Tr("12")));
  EXPECT_EQ(host_.Events.back().Caption, "エラー");
  EXPECT_EQ(Car(1).TrNote("12"), "土曜運休");

  Texts shown;
  for (const TOrderEntry& e : *ed_.Dia.ViewOrder) shown.push_back(e.TrNo);
  dlg_.Selections = {IndexOf(shown, "12")};
  dlg_.Trains = {TTrainChoice{"12A", "普通"}};
  ASSERT_TRUE(ed_.ChgTrNo());
  EXPECT_EQ(Car(1).TrNote("12A"), "土曜運休");
  EXPECT_EQ(Car(1).TrNote("12"), "");
  ASSERT_TRUE(ed_.Undo());  // the renumbering
  EXPECT_EQ(Car(1).TrNote("12"), "土曜運休");
  ASSERT_TRUE(ed_.Undo());  // the note
  EXPECT_TRUE(Car(1).TrNotes.empty());
}

}  // namespace
}  // namespace ramvel
