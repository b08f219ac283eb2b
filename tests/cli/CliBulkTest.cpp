// ramvel-cli shift and repeat run as a program on a board built in the test: the board saved
// when the edit passes, left byte for byte as it was when it is refused.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "NetBuilder.h"
#include "TestSupport.h"
#include "engine/UrwBrdData.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;

constexpr int32_t A = 1001, B = 2001, C = 3001, D = 4001;
constexpr int32_t k0600 = 7200;

void Add(TBrdData& brd, TCarObj& c, const std::string& no, int32_t from, int32_t to, int32_t home,
         int32_t side, int32_t dep) {
  c.TmTbl.Add({no + ",普通", dep, dep, MakeEntCode(from, home, side)});
  c.TmTbl.Add({"", dep + 177, dep + 207, MakeEntCode(B, home, side)});
  c.TmTbl.Add({"", dep + 384, -1, MakeEntCode(to, home, side)});
  brd.TrainReg(c.Id, no);
}

// Board "B": A - B - C - D on one track, the line 本線 over them. Set 1 at A/1 runs 101 A -> C at
// 06:00 and 102 back at 06:20; set 2 at D/2 runs 402 to C/1 at 07:30 (there at 07:32:57) and
// stays. A stop-to-stop section takes 177 s.
class CliBulk : public ::testing::Test {
 protected:
  void SetUp() override {
    TBrdData brd;
    TStaObj* s[4];
    for (int i = 0; i < 4; ++i) {
      const std::string name(1, static_cast<char>('A' + i));
      s[i] = test::PutStation(brd, test::TwoPlatformStation((i + 1) * 1000 + 1, name), i * 22, 0);
    }
    brd.RailReg({11, 0}, {11, 0}, s[0], s[1], 1);
    brd.RailReg({33, 0}, {11, 0}, s[1], s[2], 1);
    brd.RailReg({55, 0}, {11, 0}, s[2], s[3], 1);
    Add(brd, *brd.FindCar(brd.CarReg({0, "", 0, 4, 72}, MakeEntCode(A, 1, 0)), ""), "101", A, C, 1,
        1, k0600);
    Add(brd, *brd.FindCar(1, ""), "102", C, A, 1, 0, k0600 + 1200);
    TCarObj* c2 = brd.FindCar(brd.CarReg({0, "", 0, 4, 72}, MakeEntCode(D, 2, 0)), "");
    c2->TmTbl.Add({"402,普通", k0600 + 5400, k0600 + 5400, MakeEntCode(D, 2, 0)});
    c2->TmTbl.Add({"", k0600 + 5577, -1, MakeEntCode(C, 1, 0)});
    brd.TrainReg(c2->Id, "402");
    fs::create_directories(Board());
    ASSERT_TRUE(brd.SaveBrd(Board(), false).ok());
    ASSERT_TRUE(brd.SetLine("本線").ok());
    brd.LineStas = {"1001", "2001", "3001", "4001"};
    ASSERT_TRUE(brd.SaveLine(Board()).ok());
    QImage land(100, 20, QImage::Format_RGB32);
    land.fill(Qt::white);
    ASSERT_TRUE(land.save(QString::fromStdString(Board() + "/Land.bmp"), "BMP"));
  }
  std::string Board() const { return dir_ / "B"; }
  test::TProgramRun Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, Board());
    return test::RunProgram(RAMVEL_CLI, args, dir_.Path());
  }
  // Step times of train set no as saved: "arr/dep" from step 1 on.
  std::vector<std::string> Saved(int32_t no) {
    TBrdData brd;
    EXPECT_TRUE(brd.LoadBrd(dir_.Path(), "B").ok());
    std::vector<std::string> out;
    const TCarObj* car = brd.FindCar(no, "");
    for (int32_t i = 1; car && i < car->TmTbl.Count(); ++i) {
      out.push_back(IntText(car->TmTbl.At(i).TmStart) + "/" + IntText(car->TmTbl.At(i).TmEnd));
    }
    return out;
  }

  TTempDir dir_;
};

TEST_F(CliBulk, ShiftWithFollowingSavesTheMovedTrains) {
  const test::TProgramRun run = Run({"shift", "101", "5", "--following"});
  ASSERT_EQ(0, run.Exit) << run.Err;
  EXPECT_EQ("列車101以降の2本の時刻を+5分ずらしました\n", run.Out);
  const int32_t d = k0600 + 300, u = k0600 + 1500;
  EXPECT_EQ((std::vector<std::string>{
                IntText(d) + "/" + IntText(d), IntText(d + 177) + "/" + IntText(d + 207),
                IntText(d + 384) + "/-1", IntText(u) + "/" + IntText(u),
                IntText(u + 177) + "/" + IntText(u + 207), IntText(u + 384) + "/-1"}),
            Saved(1));
}

TEST_F(CliBulk, RefusedEditsLeaveTheBoardByteForByte) {
  const auto before = test::DirTree(Board());
  const struct {
    std::vector<std::string> Args;
    int Exit;
    std::string Says;
  } cases[] = {
      {{"shift", "102", "75"}, 1, "列車102を+75分ずらすと、C駅の1番ホームで列車402と重なります"},
      {{"shift", "999", "5"}, 2, "train 999 does not run along one line"},
      {{"shift", "101", "x"}, 2, "MINUTES"},
      {{"repeat", "1", "2", "60", "25:99", "2"}, 2, "25:99 is not a time"},
      {{"repeat", "2", "1", "60", "1000", "2"},
       1,
       "列車402の始発駅（D駅）に戻る往復になっていません"},
      {{"repeat", "7", "1", "60", "1000", "2"}, 2, "no train set 7"},
  };
  for (const auto& c : cases) {
    const test::TProgramRun run = Run(c.Args);
    EXPECT_EQ(c.Exit, run.Exit) << c.Args[0] << " " << c.Args[1];
    EXPECT_NE(std::string::npos, run.Err.find(c.Says)) << run.Err;
  }
  EXPECT_EQ(before, test::DirTree(Board()));
}

TEST_F(CliBulk, RepeatSavesTheCopiesAndSaysWhyItStopped) {
  const test::TProgramRun run = Run({"repeat", "1", "2", "60", "10:00", "2"});
  ASSERT_EQ(0, run.Exit) << run.Err;
  EXPECT_EQ(
      "4回分（8本）の列車を作成しました。次の複製は1000より後に発車するため、ここで終わりました。"
      "\n",
      run.Out);
  EXPECT_EQ(6u + 4 * 6, Saved(1).size());
  const test::TProgramRun help = test::RunProgram(RAMVEL_CLI, {"--help"}, dir_.Path());
  EXPECT_NE(std::string::npos, help.Out.find("ramvel-cli repeat BOARD CARSET K EVERY UNTIL"));
  EXPECT_NE(std::string::npos, help.Out.find("ramvel-cli shift BOARD TRAIN MINUTES [--following]"));
  for (const char* cmd : {"shift", "repeat"}) {
    EXPECT_NE(std::string::npos, help.Out.find(std::string("Example: ramvel-cli ") + cmd)) << cmd;
  }
}

}  // namespace
}  // namespace ramvel
