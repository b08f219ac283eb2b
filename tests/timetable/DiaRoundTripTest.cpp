// A line's timetable entered section by section through the editor, rebuilt, saved, loaded and
// rebuilt again: the occupancy of every platform, track, turnout and block stays the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "TestSupport.h"
#include "timetable/UrwDiaEditor.h"

namespace ramvel {
namespace {

using test::AddCar;
using test::MakeLine;
using test::PassVia;
using test::StopVia;
using test::TStepAnswer;

constexpr int32_t A = 1001, D = 4001;

// Everything booked on the line, as text: each segment's and each block's intervals, and the
// runs of equal settings of each turnout.
std::string Occupancy(TBrdData& brd) {
  std::ostringstream out;
  for (const std::string& id : brd.LineStas) {
    TStaObj* sta = brd.FindSta(id, "");
    out << "station " << id << "\n";
    for (const StaRail& r : sta->Rails) {
      if (!r.Occ || r.Occ->Count() == 0) continue;
      out << "  " << int{r.Kind} << ";" << r.No << ":";
      for (const TTmTbl& iv : r.Occ->Items())
        out << " " << iv.Txt << "@" << iv.TmStart << "-" << iv.TmEnd;
      out << "\n";
    }
    for (size_t k = 0; k < sta->Pts.size(); ++k) {
      const auto& occ = sta->Pts[k].Occ;
      out << "  pt" << k + 1 << ":";
      for (size_t s = 0; s < occ.size(); ++s) {
        if (s == 0 || occ[s] != occ[s - 1]) out << " " << s << "=" << occ[s];
      }
      out << "\n";
    }
  }
  for (const auto& [key, blk] : brd.Blks) {
    out << "block " << key << ":";
    for (const TTmTbl& iv : blk->Occ.Items())
      out << " " << iv.Txt << "@" << iv.TmStart << "-" << iv.TmEnd;
    out << "\n";
  }
  return out.str();
}

std::string Timetables(const TBrdData& brd) {
  std::ostringstream out;
  for (const auto& [key, car] : brd.Cars) {
    out << "car " << key << " " << car->NCar << " " << car->Spd << " " << car->Color << "\n";
    for (const TTmTbl& s : car->TmTbl.Items()) {
      out << "  " << s.Txt << "|" << s.TmStart << "|" << s.TmEnd << "|" << s.Loc << "\n";
    }
  }
  return out.str();
}

class RoundTrip : public ::testing::Test {
 protected:
  test::TTempDir base_;
  test::TScriptedDiaDialogs dlg_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

TEST_F(RoundTrip, EnteredTimetableRebuildsTheSameAfterSaveAndLoad) {
  TBrdData brd;
  MakeLine(brd, {"A", "B", "C", "D"});
  AddCar(brd, A, 1);
  TDiaEditor ed(brd, dlg_);
  ed.OpenDia();

  // Train 101 of set 1 runs down from A at 10:00, stops at B, passes C and ends at D.
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"101", "普通"}};
  dlg_.Steps = {StopVia("B  1番ホーム", "1000"),
                TStepAnswer{TStepAnswer::kPass, 0, std::nullopt, "C  1番ホーム"},
                StopVia("D  1番ホーム")};
  ASSERT_TRUE(ed.TrainNew());

  // A new set of 6 cars at 90 km/h stands at D's platform 2; its train 202 runs up at 11:00,
  // stops at C, passes B and ends at A.
  dlg_.NewCars = {TNewCarChoice{TCarProp{0, "", 0x0080FF, 6, 90}, MakeEntCode(D, 2, 0)}};
  ASSERT_TRUE(ed.CarNew());
  ed.KudariMode = false;
  ed.ApplyDir();
  dlg_.Selections = {1};
  dlg_.Trains = {TTrainChoice{"202", "快速 はやて"}};
  dlg_.Steps = {StopVia("C  1番ホーム", "1100"),
                TStepAnswer{TStepAnswer::kPass, 0, std::nullopt, "B  1番ホーム"},
                StopVia("A  1番ホーム")};
  ASSERT_TRUE(ed.TrainNew());

  // Set 1 goes back up from D with 103 at the first minute offered and ends at B.
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"103", ""}};
  dlg_.Steps = {StopVia("C  1番ホーム"), StopVia("B  1番ホーム"), test::Cancel()};
  ASSERT_TRUE(ed.TrainNew());
  EXPECT_EQ(dlg_.Unanswered, 0);
  ASSERT_EQ(ed.Dia.TrCount, 3);

  ed.RebuildDia();
  const std::string occ = Occupancy(brd), tables = Timetables(brd), msg = ed.ChkMsg;
  // Set 1 stands at B's platform 1 after 103 for the rest of the day; 202 passes there.
  EXPECT_EQ(msg, "\n編成1はB駅の1番ホームから回送が必要です");
  EXPECT_NE(occ.find(" 202@"), std::string::npos);
  EXPECT_NE(occ.find(" 103@"), std::string::npos);

  const std::string folder = base_ / "RT";
  std::filesystem::create_directories(folder);  // a board is saved into its existing folder
  ASSERT_TRUE(brd.SaveBrd(folder, false).ok());
  ASSERT_TRUE(brd.SaveLine(folder).ok());

  TBrdData loaded;
  ASSERT_EQ(loaded.LoadBrd(base_.Path(), "RT").Msg(), "");
  ASSERT_TRUE(loaded.SetLine("本線").ok());
  ASSERT_TRUE(loaded.LoadLine(folder).ok());
  test::TScriptedDiaDialogs dlg2;
  TDiaEditor ed2(loaded, dlg2);
  ed2.OpenDia();
  EXPECT_EQ(Timetables(loaded), tables);
  EXPECT_EQ(Occupancy(loaded), occ);
  EXPECT_EQ(ed2.ChkMsg, msg);
  EXPECT_EQ(ed2.Dia.TrCount, 3);
  EXPECT_EQ(host_.Texts(), (std::vector<std::string>{"列車を追加しました", "列車を追加しました",
                                                     "列車を追加しました"}));
}

}  // namespace
}  // namespace ramvel
