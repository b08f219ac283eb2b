// The integrity of a line's timetable as the editor keeps it: every section of every train is
// booked whatever the grid shows, no command leaves a train without a departure or a terminal
// that passes, the lists offer only what can be done, and refusals say why.
#include <gtest/gtest.h>

#include <algorithm>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "NetBuilder.h"
#include "timetable/UrwDiaEditor.h"
#include "timetable/UrwLineCheck.h"

namespace ramvel {
namespace {

using test::AddCar;
using test::MakeLine;
using test::MakeStep;
using test::StopVia;
using Texts = std::vector<std::string>;

constexpr int32_t A = 1001, B = 2001, C = 3001, D = 4001, X = 9001;

bool Holds(const Texts& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// Line A - B - C - D of single-track sections of 1188 m (one block each, 59 s at 20 m/s);
// station X lies off the line, joined to A's side 0. A stop takes 55 s to leave a station and
// 63 s to come in, so a section between two stops takes 55 + 59 + 63 = 177 s.
class Integrity : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<TStaObj*> line = MakeLine(brd_, {"A", "B", "C", "D"});
    TStaObj* x = test::PutStation(brd_, test::TwoPlatformStation(X, "X"), -22, 0);
    brd_.RailReg({-11, 0}, {11, 0}, x, line[0], 1);
  }
  void AddTrain(TCarObj& c, const std::vector<TTmTbl>& steps) {
    for (const TTmTbl& s : steps) c.TmTbl.Add(s);
    ASSERT_TRUE(brd_.TrainReg(c.Id, TextBefore(steps.front().Txt, ",")));
  }
  int32_t Tr(const std::string& no) const {
    for (int32_t k = 0; k < ed_.Dia.TrCount; ++k) {
      if (ed_.Dia.TrInfo[k].TrNo == no) return k;
    }
    ADD_FAILURE() << "no train " << no;
    return -1;
  }
  std::vector<std::pair<std::string, int32_t>> BlkOcc(int32_t no) {
    std::vector<std::pair<std::string, int32_t>> out;
    for (const TTmTbl& r : brd_.Blks.at(IntText(no))->Occ.Items())
      out.push_back({r.Txt, r.TmStart});
    return out;
  }
  TCarObj& Car(int32_t no) { return *brd_.FindCar(no, ""); }

  TBrdData brd_;
  test::TScriptedDiaDialogs dlg_;
  TDiaEditor ed_{brd_, dlg_};
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

// ---- Every section is booked -------------------------------------------------------------------

// Train 21 of set 1 runs D -> C -> B -> A, out to X and back, A -> B -> C. The grid keeps one
// run per train, its last (A -> B -> C); the rebuild books the first run as well.
class Revisit : public Integrity {
 protected:
  void SetUp() override {
    Integrity::SetUp();
    AddTrain(AddCar(brd_, D, 1),
             {MakeStep(D, 1, 0, 20000, 20000, "21,普通"), MakeStep(C, 1, 0, 20177, 20207),
              MakeStep(B, 1, 0, 20384, 20414), MakeStep(A, 1, 0, 20591, 20621),
              MakeStep(X, 1, 1, 20800, 21000), MakeStep(A, 1, 1, 21200, 21230),
              MakeStep(B, 1, 1, 21407, 21437), MakeStep(C, 1, 1, 21614, -1)});
  }
};

TEST_F(Revisit, EverySectionOfTheTimetableIsBookedNotOnlyTheShownRun) {
  ed_.OpenDia();
  ASSERT_EQ(ed_.Dia.TrCount, 1);
  EXPECT_EQ(ed_.Dia.TrInfo[0].CellCount, 3);  // the grid shows A -> B -> C only
  // Each block is entered when the train has left a station, 55 s after its departure.
  EXPECT_EQ(BlkOcc(3), (std::vector<std::pair<std::string, int32_t>>{{"21", 20055}}));
  EXPECT_EQ(BlkOcc(2),
            (std::vector<std::pair<std::string, int32_t>>{{"21", 20262}, {"21", 21492}}));
  EXPECT_EQ(BlkOcc(1),
            (std::vector<std::pair<std::string, int32_t>>{{"21", 20469}, {"21", 21285}}));
  EXPECT_EQ(ed_.ChkMsg, "");
}

TEST_F(Revisit, AStartIntoTheUnshownRunIsHeld) {
  TCarObj& c2 = AddCar(brd_, D, 2);
  ed_.OpenDia();
  std::vector<std::string> routes;
  brd_.ListUpNextStaCanGo(D, 2, 0, C, 1, routes);
  ASSERT_EQ(routes.size(), 1u);
  // 21 holds block C - D from 20055 to 20114 and C's platform 1 from its coming in at 20114
  // until it has left, 20207 + 55 = 20262. A start from D at 20000 would run into both. C's
  // part is tested from the moment the train enters the block before it, 55 s after the start,
  // so the start is held until 20262 - 55.
  int32_t t = 20000;
  EXPECT_TRUE(brd_.CalcTimeCanStart(c2, TextAfter(routes[0], '='), t, false, false));
  EXPECT_EQ(t, 20207);
}

TEST_F(Revisit, TheCheckSeesATrainMeetingTheUnshownRun) {
  AddTrain(AddCar(brd_, D, 2),
           {MakeStep(D, 2, 0, 20030, 20030, "22,普通"), MakeStep(C, 1, 0, 20207, -1)});
  // 22 enters block C - D at 20085, while 21 holds it from 20055 to 20114.
  EXPECT_TRUE(Holds(CheckLineProblems(brd_), "block 3: 21 and 22 overlap 934.45-935.14"));
}

// ---- Commands that would leave a broken train are refused -------------------------------------

// Train 31 of set 1 runs A -> B -> C.
class OneTrain : public Integrity {
 protected:
  void SetUp() override {
    Integrity::SetUp();
    AddTrain(AddCar(brd_, A, 1), {MakeStep(A, 1, 1, 20000, 20000, "31,普通"),
                                  MakeStep(B, 1, 1, 20177, 20207), MakeStep(C, 1, 1, 20384, -1)});
    ed_.OpenDia();
  }
};

TEST_F(OneTrain, DeletingEverySectionFromTheOriginIsRefused) {
  const std::vector<TTmTbl> before = Car(1).TmTbl.Items();
  host_.YesNoAnswers = {true};
  EXPECT_FALSE(ed_.KukanDelAll(Tr("31"), 0));
  EXPECT_FALSE(ed_.KukanDelete(Tr("31"), 0));
  const std::string why =
      "始発駅から先の区間を全て削除すると列車が残りません。"
      "列車をなくすには「列車を削除する」を選んで下さい";
  // Refused before the question is asked.
  EXPECT_EQ(host_.Texts(), (Texts{why, why}));
  const std::vector<TTmTbl>& after = Car(1).TmTbl.Items();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].TmEnd, before[i].TmEnd) << i;
    EXPECT_EQ(after[i].Txt, before[i].Txt) << i;
  }
  EXPECT_EQ(ed_.ChkMsg, "");
  // Beyond B the train keeps A -> B.
  host_.YesNoAnswers = {true};
  EXPECT_TRUE(ed_.KukanDelAll(Tr("31"), 1));
  EXPECT_EQ(Car(1).TmTbl.Count(), 3);
  EXPECT_EQ(Car(1).TmTbl.GetLast().TmEnd, -1);
  EXPECT_EQ(ed_.ChkMsg, "");
}

TEST_F(Integrity, ThePassedStationCannotBecomeTheTerminal) {
  // 32 passes B: 55 + 59 + 32 s after leaving A, and reaches C 28 + 59 + 63 s later.
  AddTrain(AddCar(brd_, A, 1), {MakeStep(A, 1, 1, 20000, 20000, "32,普通"),
                                MakeStep(B, 1, 1, 20146, 20146), MakeStep(C, 1, 1, 20296, -1)});
  ed_.OpenDia();
  host_.YesNoAnswers = {true};
  EXPECT_FALSE(ed_.KukanDelAll(Tr("32"), 1));
  EXPECT_EQ(host_.Texts(), Texts{"通過駅を終点にはできないので削除できません"});
  EXPECT_EQ(Car(1).TmTbl.Count(), 4);
  EXPECT_EQ(ed_.ChkMsg, "");
}

TEST_F(Integrity, TheLastStationOfTheLineCannotBePassed) {
  AddCar(brd_, A, 1);
  ed_.OpenDia();
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"101", "普通"}};
  dlg_.Steps = {StopVia("B  1番ホーム", "1000"), StopVia("C  1番ホーム"),
                test::PassVia("D  1番ホーム"), StopVia("D  1番ホーム")};
  EXPECT_TRUE(ed_.TrainNew());
  ASSERT_EQ(dlg_.StepsShown.size(), 3u);
  EXPECT_TRUE(dlg_.StepsShown[1].BtnThruEnabled);
  EXPECT_FALSE(dlg_.StepsShown[2].BtnThruEnabled);
  EXPECT_EQ(host_.Texts(), (Texts{"次の駅は路線の終点なので通過できません", "列車を追加しました"}));
  // D is the terminal, reached as a stop: 10:00 + 3 x 177 + 2 x 30 = 10:09:51.
  EXPECT_EQ(Car(1).TmTbl.GetLast().TmStart, 21600 + 3 * 177 + 2 * 30);
  EXPECT_EQ(ed_.ChkMsg, "");
  EXPECT_EQ(CheckLineProblems(brd_), Texts{});
}

TEST_F(Integrity, AnEntryEndingWhereTheTrainPassesEndsAtItsLastStop) {
  AddCar(brd_, A, 1);
  ed_.OpenDia();
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"101", "普通"}};
  // B is a stop, C is passed; the dialog for the section after C is closed.
  dlg_.Steps = {StopVia("B  1番ホーム", "1000"), test::PassVia("C  1番ホーム"), test::Cancel()};
  EXPECT_TRUE(ed_.TrainNew());
  EXPECT_EQ(host_.Texts(),
            (Texts{"通過駅を終点にはできないので、最後の停車駅から先の区間を取り消しました",
                   "列車を追加しました"}));
  const TCarObj& c = Car(1);
  ASSERT_EQ(c.TmTbl.Count(), 3);
  EXPECT_EQ(c.TmTbl.GetLast().Loc, MakeEntCode(B, 1, 1));
  EXPECT_EQ(c.TmTbl.GetLast().TmStart, 21600 + 177);
  EXPECT_EQ(c.TmTbl.GetLast().TmEnd, -1);
  EXPECT_EQ(ed_.ChkMsg, "");
  EXPECT_EQ(CheckLineProblems(brd_), Texts{});
}

// ---- Lists and continuations -------------------------------------------------------------------

// Set 1 (A/1): 51 A -> B, arriving at B at 19500. Set 2 (X/1): 52 X -> A, arriving at A's
// platform 1 at 19500. Set 3 (B/2): 53 B -> A -> X, leaving the line at A. Set 4 (C/2): 54 C -> D
// and 55 D -> C. Set 5 (C/1): 56 C -> D.
// 31 runs A 1 out to X and back to A 1; 32 then leaves A 1. Without 31 the set is still where
// 32 starts, so 31 can go although it is not the set's last train.
TEST_F(Integrity, ATrainInTheMiddleGoesWhenTheRestStillJoins) {
  TCarObj& c = test::AddCar(brd_, A, 1);
  AddTrain(c, {MakeStep(A, 1, 0, 20000, 20000, "31,普通"), MakeStep(X, 1, 1, 20200, 20400),
               MakeStep(A, 1, 1, 20600, -1)});
  AddTrain(c, {MakeStep(A, 1, 1, 21000, 21000, "32,普通"), MakeStep(B, 1, 1, 21177, -1)});
  ed_.OpenDia();
  host_.YesNoAnswers = {true};
  EXPECT_TRUE(ed_.TrainDel2(Tr("31")));
  EXPECT_EQ(host_.Texts(), Texts{"「31」を削除してよろしいですか？"});
  ASSERT_EQ(c.TmTbl.Count(), 3);
  EXPECT_EQ(c.TmTbl.At(1).Txt, "32,普通");
  EXPECT_EQ(brd_.FindTrainCar("31", ""), nullptr);
}

class Sets : public Integrity {
 protected:
  void SetUp() override {
    Integrity::SetUp();
    AddTrain(AddCar(brd_, A, 1),
             {MakeStep(A, 1, 1, 19323, 19323, "51,普通"), MakeStep(B, 1, 1, 19500, -1)});
    AddTrain(AddCar(brd_, X, 1),
             {MakeStep(X, 1, 1, 19300, 19300, "52,普通"), MakeStep(A, 1, 1, 19500, -1)});
    AddTrain(AddCar(brd_, B, 2), {MakeStep(B, 2, 0, 20000, 20000, "53,普通"),
                                  MakeStep(A, 1, 0, 20177, 20207), MakeStep(X, 2, 0, 20400, -1)});
    TCarObj& c4 = AddCar(brd_, C, 2);
    AddTrain(c4, {MakeStep(C, 2, 1, 21000, 21000, "54,普通"), MakeStep(D, 2, 1, 21177, -1)});
    AddTrain(c4, {MakeStep(D, 2, 0, 22000, 22000, "55,普通"), MakeStep(C, 2, 0, 22177, -1)});
    AddTrain(AddCar(brd_, C, 1),
             {MakeStep(C, 1, 1, 23000, 23000, "56,普通"), MakeStep(D, 1, 1, 23177, -1)});
    ed_.OpenDia();
  }
  void ShowUp() {
    ed_.KudariMode = false;
    ed_.ApplyDir();
  }
};

TEST_F(Sets, ANewTrainIsOfferedOnlyToSetsThatEndOnTheLine) {
  const Texts offered = ed_.CarSelList(kSelNewTrain);
  EXPECT_EQ(
      offered,
      (Texts{"   1 ( 4両編成 始発駅：B駅 1番ホーム)", "   2 ( 4両編成 始発駅：A駅 1番ホーム)",
             "   4 ( 4両編成 始発駅：C駅 2番ホーム)", "   5 ( 4両編成 始発駅：D駅 1番ホーム)"}));
  // Set 3 ends at X; its properties can still be looked at.
  EXPECT_TRUE(Holds(ed_.CarSelList(kSelSpec), "   3 ( 4両編成 始発駅：X駅 2番ホーム)"));
}

TEST_F(Sets, GoingOnFromATerminalOrFromAnotherLineOffersTheSameFirstDeparture) {
  // Both arrived at 19500 (09:25:00): each may leave 30 s later, 09:25:30, offered as the
  // shortest stop; the next whole minute, 09:26, is proposed.
  dlg_.Steps = {test::Cancel()};
  EXPECT_FALSE(ed_.KukanAdd(Tr("51")));
  dlg_.Selections = {0};
  dlg_.Steps = {test::Cancel()};
  EXPECT_FALSE(ed_.TrainBridge());
  ASSERT_EQ(dlg_.StepsShown.size(), 2u);
  EXPECT_EQ(dlg_.StepsShown[0].LblCurSta, "現在の駅「B」- 停車駅です");
  EXPECT_EQ(dlg_.StepsShown[0].FirstDep, 19530);
  EXPECT_EQ(dlg_.StepsShown[1].LblCurSta, "現在の駅「A」- 停車駅です");
  EXPECT_EQ(dlg_.StepsShown[1].FirstDep, 19530);
  EXPECT_EQ(dlg_.StepsShown[0].LbxStart.front(), " 925.30 (最短停車)");
  EXPECT_EQ(dlg_.StepsShown[0].EdtCurSta, " 926");
}

TEST_F(Sets, AddingSectionsIsCheckedFirstAndRefusedWithItsReason) {
  struct TCase {
    bool Up;
    std::string TrNo;
    std::string Why;
  };
  for (const TCase& k : {
           TCase{false, "54", "編成にとって最終列車ではないので区間を追加できません"},
           TCase{true, "53", "列車の終着駅ではないので区間を追加できません"},
           TCase{true, "51", "表示中の方向と列車の進行方向が異なるので区間を追加できません"},
           TCase{false, "56", "この先に駅がないので区間を追加できません"},
       }) {
    if (k.Up) ShowUp();
    host_.Events.clear();
    ed_.Dia.CurTr = -1;
    EXPECT_FALSE(ed_.KukanAdd(Tr(k.TrNo))) << k.TrNo;
    EXPECT_EQ(host_.Texts(), Texts{k.Why}) << k.TrNo;
    EXPECT_EQ(ed_.DiaMode, TDiaMode::kNormal) << k.TrNo;
    EXPECT_EQ(ed_.Dia.CurTr, -1) << k.TrNo;
    EXPECT_TRUE(dlg_.StepsShown.empty()) << k.TrNo;
    ed_.KudariMode = true;
    ed_.ApplyDir();
  }
}

// ---- The train's kind text ---------------------------------------------------------------------

TEST(TrainKind, TypeAndNicknameRoundTripThroughTheTrainDialog) {
  struct TCase {
    std::string Kind;
    int32_t Type;  // index into kTrainTypes
    std::string Nick;
  };
  for (const TCase& k : {TCase{"快速 みなと", 1, "みなと"}, TCase{" みなと", -1, "みなと"},
                         TCase{"", -1, ""}, TCase{"快速", 1, ""}, TCase{"回送", 5, ""},
                         TCase{"特急 しおかぜ 3号", 4, "しおかぜ 3号"}}) {
    TTrainForm f;
    f.Setup(k.Kind, "12", true);
    EXPECT_EQ(f.Caption, "列車番号の変更");
    EXPECT_EQ(f.CbxTrType, k.Type) << k.Kind;
    EXPECT_EQ(f.EdtTrNick, k.Nick) << k.Kind;
    EXPECT_EQ(f.Result().Kind, k.Kind);
    EXPECT_EQ(f.Result().TrNo, "12");
    EXPECT_EQ(TrainKindText(SplitTrainKind(k.Kind)), k.Kind);
  }
  // What the user types: blanks around the nickname and the number go.
  TTrainForm f;
  f.Setup("", "", false);
  EXPECT_EQ(f.Caption, "列車の新規作成");
  f.EdtTrNo = " 12A ";
  f.CbxTrType = 0;
  f.EdtTrNick = " はやて ";
  EXPECT_EQ(f.Result().TrNo, "12A");
  EXPECT_EQ(f.Result().Kind, "普通 はやて");
  f.BtnClrTrTypeClick();
  EXPECT_EQ(f.Result().Kind, " はやて");
}

TEST_F(Sets, TheNumberChangeDialogShowsTheTrainsTypeAndNickname) {
  TTmTbl head = Car(5).TmTbl.At(1);
  head.Txt = "56,快速 みなと";
  Car(5).TmTbl.Delete(1);
  Car(5).TmTbl.Add(head);
  ed_.RebuildDia();
  Texts shown;
  for (const TOrderEntry& e : *ed_.Dia.ViewOrder) shown.push_back(e.TrNo);
  dlg_.Selections = {
      static_cast<int32_t>(std::find(shown.begin(), shown.end(), "56") - shown.begin())};
  dlg_.Trains = {std::nullopt};
  EXPECT_FALSE(ed_.ChgTrNo());
  ASSERT_EQ(dlg_.TrainsShown.size(), 1u);
  const TTrainForm& f = dlg_.TrainsShown[0].Form;
  EXPECT_EQ(f.EdtTrNo, "56");
  EXPECT_EQ(f.CbxTrType, 1);
  EXPECT_EQ(f.EdtTrNick, "みなと");
  EXPECT_EQ(f.Result().Kind, "快速 みなと");
}

}  // namespace
}  // namespace ramvel
