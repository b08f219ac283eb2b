// ramvel-cli capacity and delays on a board saved from the hand-timed follow line (see
// AnalysisBoards.h): the figures worked out there, read back through the commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "AnalysisBoards.h"
#include "CliInProcess.h"
#include "TestSupport.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

class CliAnalysis : public ::testing::Test {
 protected:
  void SetUp() override {
    TScriptedHost host;
    TUiHostScope scope(host);
    TBrdData brd;
    test::FillFollowLine(brd);
    fs::create_directories(Board());
    ASSERT_TRUE(brd.SaveBrd(Board(), false).ok());
    ASSERT_TRUE(brd.SaveLine(Board()).ok());
  }
  std::string Board() const { return dir_ / "F"; }
  test::TCliRun Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, Board());
    return test::Cli(args);
  }
  test::TTempDir dir_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    out.push_back(l);
  }
  return out;
}

// The window 04:16:40-04:26:40 is seconds 1000-1600: A-B is held 118 s of 600 s and A's tracks
// 135 s, buffers 41 s and 35 s, both trains 100 s apart at A; B-C sees train 1 alone, 59 s.
TEST_F(CliAnalysis, CapacityRowsMostUsedFirst) {
  const test::TCliRun run = Run({"capacity", "本線", "--from", "416.40", "--to", "426.40", "--csv"});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  const std::vector<std::string> rows = Lines(run.Out);
  ASSERT_GE(rows.size(), 4u);
  EXPECT_EQ(rows[0], "from,to,trains,consumption %,min headway s,mean headway s,min buffer s,over");
  auto has = [&](const std::string& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
  };
  EXPECT_TRUE(has("A,B,2,19.7,100,100,41,")) << run.Out;
  EXPECT_TRUE(has("B,C,1,9.8,,,,")) << run.Out;  // train 2 reaches B-C after the window
  EXPECT_TRUE(has("A,構内,2,22.5,100,100,35,")) << run.Out;
  double last = 1e9;
  for (size_t i = 1; i < rows.size(); ++i) {
    const std::vector<std::string> f = SplitComma(rows[i]);
    ASSERT_GE(f.size(), 4u) << rows[i];
    const double pct = std::stod(f[3]);
    EXPECT_LE(pct, last) << rows[i];
    last = pct;
  }
  // As text: the window and the reference figure first.
  const test::TCliRun text = Run({"capacity", "本線", "--from", "416.40", "--to", "426.40"});
  EXPECT_EQ(Lines(text.Out)[0],
            "line 本線: 416-426, 2 trains, UIC reference 85 % (suburban, peak hour)");
  // Over the whole clock day of mixed traffic the reference is 60 %; the line's own operating
  // day (04:16:40 to about 04:30) is under an hour, so the peak-hour 75 %.
  EXPECT_NE(Run({"capacity", "本線", "--from", "400", "--to", "2700", "--traffic", "mixed"})
                .Out.find("UIC reference 60 % (mixed, day)"),
            std::string::npos);
  EXPECT_NE(Run({"capacity", "本線", "--traffic", "mixed"}).Out.find("75 % (mixed, peak hour)"),
            std::string::npos);
}

TEST_F(CliAnalysis, BadArgumentsAreNamedWithExitTwo) {
  struct TCase {
    std::vector<std::string> Args;
    std::string Err;
  };
  const std::vector<TCase> cases = {
      {{"capacity", "本線", "--from", "2900"}, "ramvel-cli: 2900 is not a time from 400 to 2700\n"},
      {{"capacity", "本線", "--from", "800", "--to", "700"},
       "ramvel-cli: --to 700 is not after --from 800\n"},
      {{"capacity", "本線", "--traffic", "freight"},
       "ramvel-cli: --traffic takes suburban or mixed, not freight\n"},
      {{"capacity", "支線"}, ""},
      {{"delays", "本線", "--share", "120"}, "ramvel-cli: --share 120 is not a number from 0 to 100\n"},
      {{"delays", "本線", "--runs", "0"}, "ramvel-cli: --runs 0 is not from 1 to 10000\n"},
      {{"delays", "本線", "--delay", "15"}, "ramvel-cli: --delay takes TRAIN:MIN, not 15\n"},
      {{"delays", "本線", "--delay", "9:5"},
       "ramvel-cli: train 9 does not leave a station of line 本線\n"},
      {{"delays", "本線", "--at", "Z"}, "ramvel-cli: no station named Z\n"},
      {{"delays", "本線", "--mean"}, "ramvel-cli: --mean needs a value\n"},
  };
  for (const TCase& c : cases) {
    const test::TCliRun run = Run(c.Args);
    EXPECT_EQ(run.Exit, 2) << c.Args[0] << " " << c.Args.back();
    if (!c.Err.empty()) {
      EXPECT_EQ(run.Err, c.Err);
    }
    EXPECT_FALSE(run.Err.empty());
  }
}

// Train 1 five minutes late: 271 s knock-on for train 2, recovered at B (AnalysisBoards.h and the
// delay tests work it out).
TEST_F(CliAnalysis, DelaysOfOneGivenDelay) {
  const test::TCliRun run = Run({"delays", "本線", "--delay", "1:5"});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  const std::vector<std::string> l = Lines(run.Out);
  ASSERT_GE(l.size(), 3u);
  EXPECT_EQ(l[0], "line 本線: 2 trains, 1 run, seed 1; given delays at first departure");
  EXPECT_EQ(l[1], "punctuality (arrivals at most 1/3/5 min late): 25.0 % / 25.0 % / 100.0 %");
  EXPECT_EQ(l[2], "primary delay: 5.0 min; knock-on delay: 4.5 min");
  auto has = [&](const std::string& row) { return std::find(l.begin(), l.end(), row) != l.end(); };
  EXPECT_TRUE(has("1\t4.5")) << run.Out;  // the train that spread it
  EXPECT_TRUE(has("1\tA\t\t300")) << run.Out;
  EXPECT_TRUE(has("1\tB\t300\t207")) << run.Out;
  EXPECT_TRUE(has("1\tC\t207\t")) << run.Out;
  EXPECT_TRUE(has("2\tA\t\t271")) << run.Out;
  EXPECT_TRUE(has("2\tB\t271\t0")) << run.Out;
  EXPECT_FALSE(has("2\tC\t0\t")) << run.Out;  // on time: not a delayed call
}

TEST_F(CliAnalysis, SeededRunsRepeatExactly) {
  const std::vector<std::string> args = {"delays", "本線", "--share", "100", "--runs", "4",
                                         "--seed", "11", "--csv"};
  const test::TCliRun a = Run(args);
  const test::TCliRun b = Run(args);
  ASSERT_EQ(a.Exit, 0) << a.Err;
  EXPECT_EQ(a.Out, b.Out);
  EXPECT_NE(a.Out.find("\r\nstation,,A,"), std::string::npos) << a.Out;
}

}  // namespace
}  // namespace ramvel
