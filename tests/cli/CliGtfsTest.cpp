// ramvel-cli export-gtfs and import-gtfs: the sample's feed written and summed up, bad arguments
// refused with exit 2 and nothing written; the scenario feed made into a board whose blocks are
// its train sets; and a board's own feed made into a board with the same timetable.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "GtfsTestFeed.h"
#include "TestSupport.h"
#include "CliInProcess.h"
#include "cli/UrwCli.h"
#include "interop/UrwGtfsImport.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

TEST(CliGtfs, WritesTheSampleFeedOrRefusesBadArguments) {
  test::TTempDir dir;
  const std::string board = std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample";
  const std::string out = dir / "feed.zip";
  struct TCase {
    std::vector<std::string> Args;
    int Exit;
    std::string Says;  // in the output on success, in the error stream otherwise
  };
  // The sample's station files hold 4+3+4+2+4+4+2+6+3 platforms; its car files 542 train headers.
  const std::vector<TCase> cases = {
      {{"export-gtfs", board, out, "--origin", "91,139"}, 2, "起点 91,139"},
      {{"export-gtfs", board, out, "--start", "20261301"}, 2, "運行開始日 20261301"},
      {{"export-gtfs", board, out, "--days", "ダイヤ=11111"}, 2, "運行日 11111"},
      {{"export-gtfs", board, out, "--days", "平日=1111100"}, 2, "ダイヤ「平日」がありません"},
      {{"export-gtfs", board, out, "--agency-url", "example.org"}, 2, "--agency-url"},
      {{"export-gtfs", board, out, "--origin"}, 2, "--origin"},
      {{"export-gtfs", board}, 2, "export-gtfs needs BOARD OUT.zip"},
      {{"export-gtfs", dir / "nothing", out}, 2, "no such board folder"},
      {{"export-gtfs", board, dir / "no/such/folder/feed.zip"}, 2, "feed.zip"},
      {{"export-gtfs", board, out, "--origin", "35.68,139.76"},
       0,
       "駅 9（のりば 32）、路線 3、ダイヤ 1、便 542"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Args.back());
    const test::TProgramRun run = test::RunProgram(RAMVEL_CLI, c.Args, dir.Path());
    EXPECT_EQ(run.Exit, c.Exit) << run.Err;
    EXPECT_NE((c.Exit == 0 ? run.Out : run.Err).find(c.Says), std::string::npos)
        << run.Out << run.Err;
    EXPECT_EQ(fs::exists(out), c.Exit == 0);
  }
  EXPECT_GT(fs::file_size(out), 1000u);
}

using test::Cli;
using test::TCliRun;

TEST(CliGtfs, TheScenarioRouteBecomesABoardWhoseBlocksAreItsTrainSets) {
  test::TTempDir dir;
  const std::string feed = dir / "feed.zip";
  test::WriteGtfsZip(feed, test::ScenarioFeed());
  const TCliRun list = Cli({"import-gtfs", feed});
  EXPECT_EQ(list.Exit, 0) << list.Err;
  EXPECT_EQ(list.Out, "R1\t2\t港線\n");  // the bus route R2 is not offered
  const std::string board = dir / "Minato";
  const TCliRun made =
      Cli({"import-gtfs", "--new-board", board, feed, "--route", "R1", "--date", "20260105"});
  ASSERT_EQ(made.Exit, 0) << made.Out << made.Err;
  EXPECT_NE(made.Out.find("GTFS 路線 R1（港線）: 20260105 に走る便 5 本"), std::string::npos)
      << made.Out;
  // Blocks B1 (1, 2) and B2 (4, 3) are two sets; G1 belongs to no block and is a third, though
  // B2's set stands at 南 when it leaves (by turnaround alone one set would run all five).
  EXPECT_NE(made.Out.find("時刻どおり 5本、遅れ 0本、入れられない列車 0本、新しい編成 3本"),
            std::string::npos)
      << made.Out;
  EXPECT_EQ(Cli({"check", board}).Exit, 0);
  struct TBad {
    std::vector<std::string> Args;
    int Exit;
    std::string Says;
  };
  const std::vector<TBad> bad = {
      {{"import-gtfs", "--new-board", dir / "X", feed}, 2, "--route ROUTE_ID"},
      {{"import-gtfs", "--new-board", dir / "X", feed, "--route", "R1", "--date", "2026-01-05"},
       2, "--date"},
      {{"import-gtfs", "--new-board", dir / "X", feed, "--route", "R2"}, 1, "鉄道ではありません"},
      {{"import-gtfs", "--new-board", board, feed, "--route", "R1"}, 1, "空でないフォルダ"},
      {{"import-gtfs", dir / "none.zip"}, 1, "none.zip を開けません"},
  };
  for (const TBad& b : bad) {
    const TCliRun run = Cli(b.Args);
    EXPECT_EQ(run.Exit, b.Exit) << b.Says;
    EXPECT_NE(run.Err.find(b.Says), std::string::npos) << run.Err;
  }
  EXPECT_FALSE(fs::exists(dir / "X"));
}

// The departures of a line's timetable: arrivals ("735.30/", "901.41=") and platforms ("#2")
// left out, since a new board's running times and platforms come from its own layout.
std::string DeparturesOf(const std::string& board, const std::string& line, const char* dir) {
  const TCliRun run = Cli({"timetable", board, line, dir});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  return std::regex_replace(run.Out, std::regex("[0-9.]+[/=]|#[0-9]+"), "");
}

// Every train of a document by number: direction, kind, name, and per station what it does
// with its arrival and departure (either standing in for the other).
std::map<std::string, std::string> TrainsOf(const TOudDoc& doc) {
  std::map<std::string, std::string> out;
  for (const TOudTrain& t : doc.Dias.at(0).Trains) {
    std::string& s = out[t.No];
    s = (t.Nobori ? "up " : "down ") + doc.Kinds.at(static_cast<size_t>(t.Kind)).Name + " " + t.Name;
    for (const TOudCell& c : t.Cells) {
      s += " " + std::to_string(static_cast<int>(c.Stop)) + ":" +
           std::to_string(c.Arr >= 0 ? c.Arr : c.Dep) + "/" + std::to_string(c.Dep >= 0 ? c.Dep : c.Arr);
    }
  }
  return out;
}

// A board's feed reads back as the board's own timetable (compared with its OuDiaSecond export,
// which keeps seconds), and makes a new board running the same trains with the same departures
// in the same train sets.
TEST(CliGtfs, ABoardsOwnFeedImportsBackToTheSameTimetable) {
  test::TTempDir dir;
  const std::string feed = dir / "feed.zip", board = dir / "First", again = dir / "Again";
  test::WriteGtfsZip(feed, test::ScenarioFeed());
  ASSERT_EQ(Cli({"import-gtfs", "--new-board", board, feed, "--route", "R1", "--date", "20260105"})
                .Exit,
            0);
  const std::string own = dir / "own.zip", twice = dir / "twice.zip", oud = dir / "own.oud2";
  ASSERT_EQ(Cli({"export-gtfs", board, own}).Exit, 0);
  ASSERT_EQ(Cli({"export-gtfs", board, twice}).Exit, 0);
  EXPECT_EQ(test::ReadBytes(own), test::ReadBytes(twice));  // the same board, the same bytes
  ASSERT_EQ(Cli({"export-oud", board, "港線", oud}).Exit, 0);
  TOudDoc fromOud, fromGtfs;
  ASSERT_TRUE(LoadOudFile(oud, fromOud).ok());
  TGtfsArchive archive;
  TGtfsImportInfo info;
  ASSERT_TRUE(archive.OpenFile(own).ok());
  ASSERT_TRUE(ReadGtfsRoute(archive, {"R1", ""}, fromGtfs, info).ok());
  ASSERT_EQ(fromGtfs.Stations.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(fromGtfs.Stations[i].Name, fromOud.Stations.at(i).Name);
  const auto trains = TrainsOf(fromGtfs);
  EXPECT_EQ(trains.size(), 5u);
  EXPECT_EQ(trains, TrainsOf(fromOud));
  const TCliRun back = Cli({"import-gtfs", "--new-board", again, own, "--route", "R1"});
  ASSERT_EQ(back.Exit, 0) << back.Out << back.Err;
  EXPECT_NE(back.Out.find("時刻どおり 5本、遅れ 0本、入れられない列車 0本、新しい編成 3本"),
            std::string::npos)
      << back.Out;
  for (const char* d : {"down", "up"}) {
    const std::string want = DeparturesOf(board, "港線", d);
    EXPECT_EQ(DeparturesOf(again, "港線", d), want) << d;
  }
  EXPECT_NE(DeparturesOf(again, "港線", "down").find("3\t快速 はまかぜ"), std::string::npos);
}

}  // namespace
}  // namespace ramvel
