// ramvel-cli export-gtfs run as a program on the sample board: the feed written and summed up,
// and bad arguments refused with exit 2 and nothing written.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"

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
      {{"export-gtfs", board, out, "--origin"}, 2, "--origin"},
      {{"export-gtfs", board}, 2, "export-gtfs needs BOARD OUT.zip"},
      {{"export-gtfs", dir / "nothing", out}, 2, "no such board folder"},
      {{"export-gtfs", board, dir / "no/such/folder/feed.zip"}, 2, "feed.zip"},
      {{"export-gtfs", board, out, "--origin", "35.68,139.76"},
       0,
       "駅 9（のりば 32）、路線 3、便 542"},
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

}  // namespace
}  // namespace ramvel
