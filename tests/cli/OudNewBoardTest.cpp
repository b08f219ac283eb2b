// A new board made from a hand-written OuDia file of five stations and forty trains: it checks
// clean and its trains run; a folder that is not empty is refused and left as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "StaPicture.h"
#include "TestSupport.h"
#include "CliInProcess.h"
#include "cli/UrwCli.h"
#include "foundation/UrwCmnDef.h"
#include "foundation/UrwUiHost.h"
#include "interop/UrwOudBoard.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

std::string Hm(int32_t min) { return IntText(min / 60 * 100 + min % 60); }

// 青葉-桜台-緑町-若松-港南. Locals (普通) stop everywhere, 3, 4, 3 and 5 minutes apart going
// down (5, 3, 4, 3 going up) with a minute at each station; every fourth train is a 快速 passing
// 桜台 and 若松 untimed, 7 minutes from 青葉 to 緑町 and again from 緑町 to 港南. Down trains
// leave every 30 minutes from 6:00, up trains from 6:15; twenty each.
std::string FortyTrains() {
  const int32_t run[4] = {3, 4, 3, 5};
  std::string f = "FileType=OuDia.1.02\nRosen.\nRosenmei=青葉線\n";
  for (const char* name : {"青葉", "桜台", "緑町", "若松", "港南"}) {
    f += std::string("Eki.\nEkimei=") + name +
         "\nEkijikokukeisiki=Jikokukeisiki_Hatsuchaku\nEkikibo=Ekikibo_Ippan\n.\n";
  }
  f += "Ressyasyubetsu.\nSyubetsumei=普通\n.\nRessyasyubetsu.\nSyubetsumei=快速\n.\n";
  f += "Dia.\nDiaName=平日\n";
  for (const bool up : {false, true}) {
    f += up ? "Nobori.\n" : "Kudari.\n";
    for (int32_t j = 0; j < 20; ++j) {
      int32_t t = 6 * 60 + 30 * j + (up ? 15 : 0);
      const bool rapid = j % 4 == 3;
      // Cells in travel order.
      std::string cells = "1;" + Hm(t);
      if (rapid) {
        cells += ",2,1;" + Hm(t + 7) + "/" + Hm(t + 8) + ",2,1;" + Hm(t + 15) + "/";
      }
      for (int32_t k = 0; !rapid && k < 4; ++k) {
        t += run[up ? 3 - k : k];
        cells += ",1;" + Hm(t) + "/";
        if (k < 3) cells += Hm(++t);  // a minute's stop
      }
      f += std::string("Ressya.\nHoukou=") + (up ? "Nobori" : "Kudari") +
           "\nSyubetsu=" + (rapid ? "1" : "0") +
           "\nRessyabangou=" + IntText(101 + 2 * j + (up ? 1 : 0)) + "\nEkiJikoku=" + cells +
           "\n.\n";
    }
    f += ".\n";
  }
  return f + ".\nKitenJikoku=400\n.\n";
}

using test::Cli;
using test::TCliRun;

// The state and head x of the train set running train no, from `locate` output; -1 when absent.
std::pair<int, double> Where(const std::string& located, const std::string& no) {
  std::istringstream in(located);
  std::string id, state, label, head;
  while (std::getline(in, id, '\t') && std::getline(in, state, '\t') &&
         std::getline(in, label, '\t') && std::getline(in, head, '\t')) {
    std::string rest;
    std::getline(in, rest);
    if (label.rfind(no + ",", 0) == 0) return {std::stoi(state), std::stod(head)};
  }
  return {-1, 0};
}

TEST(OudNewBoard, PlanTakesTheFastestTimesAndAtLeastTwoTracks) {
  TOudDoc doc;
  ASSERT_TRUE(ReadOudDoc(FortyTrains(), false, doc).ok());
  TOudBoardPlan plan;
  ASSERT_TRUE(PlanOudBoard(doc, TOudImportOptions{}, plan).ok());
  // Locals: 3, 4, 3, 5 minutes down, 3 the fastest up on every interval but the second and
  // fourth, where the rapid's 7 minutes over two intervals (3.5 each) beat 4 and 5.
  EXPECT_EQ(plan.RunSec, (std::vector<int32_t>{180, 210, 180, 210}));
  // Before the first up train comes in, the sets of the 6:00 and 6:30 down trains wait at 青葉:
  // two at once, so two tracks each way with the spare. At 緑町 trains never meet (locals held
  // :05-:10 and :35-:40 going down, :21-:26 and :51-:56 going up, rapids within those hours).
  EXPECT_EQ(plan.Standing[0], 2);
  EXPECT_EQ(plan.PerSide[0], 2);
  EXPECT_EQ(plan.Standing[2], 1);
  EXPECT_EQ(plan.PerSide[2], 1);
}

TEST(OudNewBoard, FortyTrainsBecomeABoardThatChecksCleanAndRuns) {
  test::TTempDir dir;
  const std::string oud = dir / "aoba.oud";
  TOudDoc doc;
  ASSERT_TRUE(ReadOudDoc(FortyTrains(), false, doc).ok());
  test::WriteBytes(oud, FortyTrains());
  const std::string board = dir / "Aoba";
  const TCliRun made = Cli({"import-oud", "--new-board", board, oud});
  ASSERT_EQ(made.Exit, 0) << made.Out << made.Err;
  EXPECT_NE(made.Out.find("入れられない列車 0本"), std::string::npos) << made.Out;
  const TCliRun check = Cli({"check", board});
  EXPECT_EQ(check.Exit, 0) << check.Out;
  EXPECT_NE(check.Out.find("line 青葉線: ok"), std::string::npos) << check.Out;
  // 113 leaves 青葉 at 9:00 eastwards, 114 leaves 港南 at 9:15 westwards.
  const auto [s1, x1] = Where(Cli({"locate", board, "901"}).Out, "113");
  const auto [s2, x2] = Where(Cli({"locate", board, "902"}).Out, "113");
  EXPECT_EQ(s1, 2);
  EXPECT_EQ(s2, 2);
  EXPECT_GT(x2, x1);
  const auto [u1, ux1] = Where(Cli({"locate", board, "916"}).Out, "114");
  const auto [u2, ux2] = Where(Cli({"locate", board, "917"}).Out, "114");
  EXPECT_EQ(u1, 2);
  EXPECT_EQ(u2, 2);
  EXPECT_LT(ux2, ux1);
  for (const auto& e : fs::directory_iterator(dir.Path())) {
    EXPECT_EQ(e.path().filename().string().find(".making"), std::string::npos);
  }
}

// 甲 to 己, six stations: locals at 6:00, 6:20 and 6:40, two minutes a station and a minute's stop;
// expresses at 6:10, 6:30 and 6:50 passing 乙 to 戊 untimed, ten minutes to 己.
std::string LocalsAndExpresses() {
  std::string f = "FileType=OuDia.1.02\nRosen.\nRosenmei=甲己線\n";
  for (const char* name : {"甲", "乙", "丙", "丁", "戊", "己"}) {
    f += std::string("Eki.\nEkimei=") + name +
         "\nEkijikokukeisiki=Jikokukeisiki_Hatsuchaku\nEkikibo=Ekikibo_Ippan\n.\n";
  }
  f += "Ressyasyubetsu.\nSyubetsumei=普通\n.\nRessyasyubetsu.\nSyubetsumei=急行\n.\n";
  f += "Dia.\nDiaName=平日\nKudari.\n";
  for (int32_t j = 0; j < 6; ++j) {
    const bool express = j % 2 == 1;
    int32_t t = 6 * 60 + 10 * j;
    std::string cells = "1;" + Hm(t);
    if (express) {
      cells += ",2,2,2,2,1;" + Hm(t + 10) + "/";
    } else {
      for (int32_t k = 1; k < 6; ++k) {
        t += 2;
        cells += ",1;" + Hm(t) + "/";
        if (k < 5) cells += Hm(++t);  // a minute's stop
      }
    }
    f += std::string("Ressya.\nHoukou=Kudari\nSyubetsu=") + (express ? "1" : "0") +
         "\nRessyabangou=" + IntText(201 + 2 * j) + "\nEkiJikoku=" + cells + "\n.\n";
  }
  return f + ".\nNobori.\n.\n.\nKitenJikoku=400\n.\n";
}

// The rails are laid for the locals at the sets' 100 km/h (2 minutes from stop to stop leave
// 116 s of running). An express passing four stations at that speed would run ahead of its
// times onto the local before it: its set runs at the slowest speed that still keeps its ten
// minutes. Over five intervals of 864 m rails with stops at both ends only, 6 cars: the even
// share of (600 s - halves - 3 s a rail) per rail must reach 864 m; at 70 km/h it is 849 m, at
// 80 km/h 1,174 m. Every train keeps its times.
TEST(OudNewBoard, AnExpressRunsAtTheSpeedThatKeepsItsTimes) {
  test::TTempDir dir;
  TOudDoc doc;
  ASSERT_TRUE(ReadOudDoc(LocalsAndExpresses(), false, doc).ok());
  TOudBoardReport made;
  ASSERT_TRUE(MakeOudBoard(test::StdPanels(), doc, dir / "Kou", TOudImportOptions{}, made).ok());
  ASSERT_EQ(made.Dias.size(), 1u);
  const TOudImportReport& r = made.Dias[0].Report;
  std::string lines;
  for (const std::string& l : made.Lines()) lines += l + "\n";
  EXPECT_EQ(r.OnTime, 6) << lines;
  EXPECT_EQ(made.Plan.Kmh, 100);
  EXPECT_EQ(made.Plan.GapDots, (std::vector<int32_t>{8, 8, 8, 8, 8}));
  TScriptedHost host;
  TUiHostScope scope(host);
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(dir.Path(), "Kou").ok());
  for (const auto& [no, kmh] : std::vector<std::pair<std::string, int32_t>>{
           {"201", 100}, {"203", 80}, {"205", 100}, {"207", 80}, {"209", 100}, {"211", 80}}) {
    const TCarObj* car = brd.FindTrainCar(no, "");
    ASSERT_NE(car, nullptr) << no;
    EXPECT_EQ(car->Spd, kmh) << no;
  }
  EXPECT_EQ(Cli({"check", dir / "Kou"}).Exit, 0);
}

TEST(OudNewBoard, AFolderThatIsNotEmptyIsRefusedAndKept) {
  test::TTempDir dir;
  const std::string oud = dir / "aoba.oud";
  test::WriteBytes(oud, FortyTrains());
  const std::string board = dir / "Mine";
  fs::create_directories(board);
  test::WriteBytes(board + "/memo.txt", "keep");
  const TCliRun run = Cli({"import-oud", "--new-board", board, oud});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_NE(run.Err.find("空でないフォルダ"), std::string::npos) << run.Err;
  EXPECT_EQ(test::ReadBytes(board + "/memo.txt"), "keep");
  EXPECT_EQ(std::distance(fs::directory_iterator(board), fs::directory_iterator()), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace ramvel
