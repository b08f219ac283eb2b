// ramvel-cli run as a program on boards built in the tests: whole outputs and exit codes.
#include <gtest/gtest.h>

#include <filesystem>

#include "NetBuilder.h"
#include "TestSupport.h"
#include "engine/UrwBrdData.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;

using TRun = test::TProgramRun;

TRun RunCli(const std::vector<std::string>& args, const TTempDir& dir) {
  return test::RunProgram(RAMVEL_CLI, args, dir.Path());
}

constexpr int32_t k0600 = 2 * 3600;

// Board "B": stations A and B joined by two tracks, train set 1 running train 101 from A at
// 06:00 to B, and the line 本線 over A and B.
class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    TBrdData brd;
    TStaObj* a = test::PutStation(brd, test::TwoPlatformStation(1001, "A"), 0, 0);
    TStaObj* b = test::PutStation(brd, test::TwoPlatformStation(2001, "B"), 22, 0);
    brd.RailReg({11, 0}, {11, 0}, a, b, 2);
    const int32_t no = brd.CarReg({0, "", 0, 4, 72}, MakeEntCode(1001, 1, 1));
    TCarObj* car = brd.FindCar(no, "");
    car->TmTbl.Add({"101,普通", k0600, k0600, MakeEntCode(1001, 1, 1)});
    car->TmTbl.Add({"", k0600 + 179, -1, MakeEntCode(2001, 1, 0)});
    fs::create_directories(Board());
    ASSERT_TRUE(brd.SaveBrd(Board(), false).ok());
    ASSERT_TRUE(brd.SetLine("本線").ok());
    brd.LineStas = {"1001", "2001"};
    ASSERT_TRUE(brd.SaveLine(Board()).ok());
  }
  std::string Board() const { return dir_ / "B"; }
  TRun Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, Board());
    return RunCli(args, dir_);
  }

  TTempDir dir_;
};

TEST_F(Cli, RoutesOnePerPlatform) {
  const TRun all = Run({"routes", "A", "1", "1", "B"});
  EXPECT_EQ(all.Exit, 0) << all.Err;
  EXPECT_EQ(all.Out,
            "B  1番ホーム=-1001|H;1|R;7|1;21|R;9|R;11,1012,2011|R;1|R;3|1;11|R;5|H;1\n"
            "B  2番ホーム=-1001|H;1|R;7|2;22|R;10|R;12,1022,2021|R;2|R;4|1;13|R;6|H;2\n");
  const TRun one = Run({"routes", "a", "1", "1", "b", "2"});
  EXPECT_EQ(one.Out, "B  2番ホーム=-1001|H;1|R;7|2;22|R;10|R;12,1022,2021|R;2|R;4|1;13|R;6|H;2\n");
  const TRun bad = Run({"routes", "A", "1", "3", "B"});
  EXPECT_EQ(bad.Exit, 2);
  EXPECT_EQ(bad.Err, "ramvel-cli: side must be 0 or 1\n");
  const TRun none = Run({"routes", "A", "1", "1", "Nowhere"});
  EXPECT_EQ(none.Exit, 2);
  EXPECT_EQ(none.Err, "ramvel-cli: no station named Nowhere\n");
}

TEST_F(Cli, LocateLaysEveryTrainSetAtOneMetrePerPixel) {
  const TRun run = Run({"locate", "600.10"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, "1\t2\t101,普通\t652.1,0.0\t572.1,0.0\n");
  const TRun early = Run({"locate", "500"});
  EXPECT_EQ(early.Out, "1\t0\t[1]\t634.0,0.0\t554.0,0.0\n");
  EXPECT_EQ(Run({"locate", "359"}).Exit, 2);
}

TEST_F(Cli, TimetableAsTextAndCsv) {
  TRun run = Run({"timetable", "本線"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, "列車番号\t種別\tA\tB\n101\t普通\t600.00#1\t602.59/#1\n");
  run = Run({"timetable", "本線", "up", "--csv"});
  EXPECT_EQ(run.Out, "列車番号,種別,A,B\r\n");
  run = Run({"timetable", "本線", "down", "--csv"});
  EXPECT_EQ(run.Out, "列車番号,種別,A,B\r\n101,普通,600.00#1,602.59/#1\r\n");
  EXPECT_EQ(Run({"timetable", "支線"}).Exit, 2);
}

TEST_F(Cli, UnusableBoardsExitWithTwoAndOneLine) {
  TRun run = RunCli({"locate", dir_ / "missing", "600"}, dir_);
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "ramvel-cli: " + (dir_ / "missing") + ": no such board folder\n");
  std::string rail = ReadBytes(Board() + "/rail/1002.txt");
  rail.replace(rail.find("LENGTH="), 7, "LENGTH=x");
  test::WriteBytes(Board() + "/rail/1002.txt", rail);
  run = Run({"locate", "600"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err.rfind("ramvel-cli: rail/1002.txt: LENGTH が数値ではありません"), 0u) << run.Err;
}

TEST_F(Cli, HelpExplainsEveryCommand) {
  const TRun run = RunCli({"--help"}, dir_);
  EXPECT_EQ(run.Exit, 0);
  for (const char* cmd : {"check", "routes", "locate", "timetable", "render", "save"}) {
    EXPECT_NE(run.Out.find(std::string("ramvel-cli ") + cmd + " "), std::string::npos) << cmd;
    const TRun one = RunCli({cmd, "--help"}, dir_);
    EXPECT_EQ(one.Exit, 0);
    EXPECT_NE(one.Out.find("Example: ramvel-cli " + std::string(cmd)), std::string::npos);
  }
  EXPECT_EQ(RunCli({"frobnicate"}, dir_).Exit, 2);
  EXPECT_EQ(RunCli({}, dir_).Exit, 2);
}

}  // namespace
}  // namespace ramvel

namespace ramvel {
namespace {

TEST_F(Cli, CheckReportsOpenSlotsAndAnOkLine) {
  const TRun run = Run({"check"});
  EXPECT_EQ(run.Exit, 1) << run.Err;
  EXPECT_EQ(run.Out, "layout: incomplete: A\nline 本線: ok\n");
}

TEST_F(Cli, CheckFindsAnOverlapPlantedInAHandEditedCarFile) {
  // Train set 2 runs train 201 over the same track 30 s behind train 101.
  std::string bytes;
  ASSERT_TRUE(Utf8ToCp932("USAGE=\r\nCOLOR=255\r\nN_CAR=4\r\nSPD=72\r\nTM_COUNT=3\r\n"
                          "TM1=-1|-1|-1021|\r\nTM2=7230|7230|-1011|201,普通\r\n"
                          "TM3=7409|-1|2011|\r\n",
                          bytes));
  test::WriteBytes(Board() + "/car/2.txt", bytes);
  const TRun run = Run({"check"});
  EXPECT_EQ(run.Exit, 1) << run.Err;
  EXPECT_NE(run.Out.find("line 本線: block 1: 101"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find(" and 201"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.find("line 本線: ok"), std::string::npos);
}

}  // namespace
}  // namespace ramvel

#include <unistd.h>

#include <sstream>

#include "cli/UrwCli.h"

namespace ramvel {
namespace {

TEST_F(Cli, CheckSaysTheLayoutIsIncompleteWhileAStationIsLeftOut) {
  std::string b = ReadBytes(Board() + "/station/B.txt");
  b.replace(b.find("RAIL_CNT="), 9, "RAIL_CNT=x");
  test::WriteBytes(Board() + "/station/B.txt", b);
  const TRun run = Run({"check"});
  EXPECT_EQ(run.Exit, 1) << run.Err;
  EXPECT_EQ(run.Out.find("layout: ok"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("layout: incomplete: stations left out: B\n"), std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find("board: B駅のデータ読み込みに失敗"), std::string::npos) << run.Out;
}

TEST_F(Cli, CheckTakesTheBoardFolderItRunsIn) {
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(chdir(Board().c_str()), 0);
  std::ostringstream out, err;
  const int exit = cli::CliMain({"check", "."}, out, err);
  ASSERT_EQ(chdir(here), 0);
  EXPECT_EQ(exit, 1) << err.str();  // A's open slots, as for the board named from outside
  EXPECT_EQ(out.str(), "layout: incomplete: A\nline 本線: ok\n");
}

TEST_F(Cli, RoutesFromOrToAPlatformThatDoesNotExistExitWithTwo) {
  TRun run = Run({"routes", "A", "7", "1", "B"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "ramvel-cli: A has no platform 7\n");
  run = Run({"routes", "A", "1", "1", "B", "9"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Err, "ramvel-cli: B has no platform 9\n");
}

TEST_F(Cli, SaveWritesTheBoardAsTheProgramDoesAndWholeIntoANewFolder) {
  fs::copy_file(RAMVEL_SOURCE_DIR "/data/boards/Sample/Land.bmp", Board() + "/Land.bmp");
  const std::string car = ReadBytes(Board() + "/car/1.txt");
  fs::remove(Board() + "/car/1.txt");
  test::WriteBytes(Board() + "/car/01.txt", car);  // saved under its number
  TRun run = Run({"save"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(ReadBytes(Board() + "/car/1.txt"), car);
  EXPECT_FALSE(fs::exists(Board() + "/car/01.txt"));
  const std::string to = dir_ / "COPY";
  run = Run({"save", "--to", to});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  for (const char* f : {"Board.txt", "Land.bmp", "station/A.txt", "station/B.txt", "rail/1002.txt",
                        "car/1.txt", "line/本線.txt"}) {
    EXPECT_EQ(ReadBytes(to + "/" + f), ReadBytes(Board() + "/" + f)) << f;
  }
  EXPECT_EQ(Run({"save", "--to", to}).Exit, 2);  // never over another board
  EXPECT_EQ(RunCli({"check", to}, dir_).Out, Run({"check"}).Out);
}

}  // namespace
}  // namespace ramvel
