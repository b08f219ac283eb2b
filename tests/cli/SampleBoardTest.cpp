// The sample board that ships beside the program, run through ramvel-cli: its layout and lines
// are free of problems, every line has trains both ways, every train set can be located, and
// the generator makes exactly the shipped files again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "TestSupport.h"
#include "engine/UrwBrdData.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;

using TRun = test::TProgramRun;

// Standard error goes to a scratch folder of the test program.
test::TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
  static const TTempDir scratch;
  return test::RunProgram(program, args, scratch.Path());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string f; std::getline(in, f, '\t');) out.push_back(f);
  if (!line.empty() && line.back() == '\t') out.push_back("");
  return out;
}

// Every file under dir by its path relative to dir, with its bytes.
std::map<std::string, std::string> Tree(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) {
      files[fs::relative(e.path(), dir).generic_string()] = ReadBytes(e.path().string());
    }
  }
  return files;
}

// The names of a folder's entries without the extension, as they are spelt on disk.
std::vector<std::string> Stems(const fs::path& dir) {
  std::vector<std::string> stems;
  for (const auto& e : fs::directory_iterator(dir)) stems.push_back(e.path().stem().string());
  std::sort(stems.begin(), stems.end());
  return stems;
}

// The hour and minutes of a timetable cell's first time, four digits: "500.00#2" gives "0500".
std::string Clock(const std::string& cell) {
  const std::string hm = cell.substr(0, cell.find('.'));
  return std::string(4 - std::min<size_t>(4, hm.size()), '0') + hm;
}

// The timetable cell of a pass: "<arrival>=#<platform>".
bool IsPass(const std::string& cell) { return cell.find("=#") != std::string::npos; }
// A stop with its arrival and departure: "<arrival>/<departure>#<platform>".
bool IsStop(const std::string& cell) {
  const size_t slash = cell.find('/'), hash = cell.find('#');
  return slash != std::string::npos && hash != std::string::npos && hash > slash + 1;
}

class SampleBoard : public ::testing::Test {
 protected:
  static fs::path BinDir() { return fs::path(RAMVEL_CLI).parent_path(); }
  static std::string Board() { return (BinDir() / "Sample").string(); }

  void SetUp() override {
    ASSERT_TRUE(fs::exists(fs::path(Board()) / "Board.txt")) << Board() << " is not laid out";
  }
  TRun Cli(std::vector<std::string> args) {
    args.insert(args.begin() + 1, Board());
    return RunProgram(RAMVEL_CLI, args);
  }
};

TEST_F(SampleBoard, CheckFindsNoProblem) {
  const std::vector<std::string> lines = Stems(fs::path(Board()) / "line");
  ASSERT_GE(lines.size(), 2u);
  std::string want = "layout: ok\n";
  for (const std::string& line : lines) want += "line " + line + ": ok\n";
  const TRun run = Cli({"check"});
  EXPECT_EQ(run.Out, want);
  EXPECT_EQ(run.Exit, 0);
}

TEST_F(SampleBoard, OneLineIsARing) {
  int rings = 0;
  for (const auto& e : fs::directory_iterator(fs::path(Board()) / "line")) {
    const std::vector<std::string> ids = Lines(ReadBytes(e.path().string()));
    ASSERT_GE(ids.size(), 2u) << e.path();
    if (ids.front() == ids.back()) ++rings;
  }
  EXPECT_GE(rings, 1);
}

// Each line in both directions: the header names the line's stations, and at least one train
// follows, every one of them with a known type and a cell at some station.
TEST_F(SampleBoard, EveryLineHasTrainsBothWays) {
  const std::map<std::string, std::string> headers = {
      {"環状線", "列車番号\t種別\t中央\t東町\t北野\t新町\t西町\t本町\t中央"},
      {"本線", "列車番号\t種別\t中央\t川辺\t浜田\t港"},
      {"臨港線", "列車番号\t種別\t港\t東町"},
  };
  const std::set<std::string> types = {"普通", "快速", "準急", "急行", "特急", "回送"};
  for (const auto& [line, header] : headers) {
    for (const char* dir : {"down", "up"}) {
      const TRun run = Cli({"timetable", line, dir});
      ASSERT_EQ(run.Exit, 0) << line << " " << dir;
      const std::vector<std::string> rows = Lines(run.Out);
      ASSERT_GE(rows.size(), 2u) << line << " " << dir;
      EXPECT_EQ(rows[0], header);
      const size_t cols = Fields(header).size();
      for (size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string> f = Fields(rows[i]);
        ASSERT_EQ(f.size(), cols) << rows[i];
        EXPECT_EQ(types.count(f[1].substr(0, f[1].find(' '))), 1u) << rows[i];
        EXPECT_TRUE(std::any_of(f.begin() + 2, f.end(), [](const std::string& c) {
          return !c.empty();
        })) << rows[i];
      }
    }
  }
}

// The main line runs locals that stop everywhere and faster trains that pass, from before half
// past five in the morning to after midnight.
TEST_F(SampleBoard, MainLineHasLocalsAndExpressesAllDay) {
  const TRun run = Cli({"timetable", "本線", "down"});
  ASSERT_EQ(run.Exit, 0);
  bool local = false, express = false, pass = false;
  std::string first = "9999", last = "0000";
  for (const std::string& row : Lines(run.Out)) {
    const std::vector<std::string> f = Fields(row);
    if (f.size() != 6 || f[0] == "列車番号" || f[2].empty() || f[5].empty()) continue;
    local = local || (f[1] == "普通" && IsStop(f[3]) && IsStop(f[4]));
    express = express || f[1].rfind("特急", 0) == 0 || f[1].rfind("急行", 0) == 0;
    pass = pass || IsPass(f[3]) || IsPass(f[4]);
    first = std::min(first, Clock(f[2]));  // the departure from 中央
    last = std::max(last, Clock(f[5]));    // the arrival at 港
  }
  EXPECT_TRUE(local);
  EXPECT_TRUE(express);
  EXPECT_TRUE(pass);
  EXPECT_LT(first, "0530");
  EXPECT_GT(last, "2400");
}

TEST_F(SampleBoard, EveryTrainSetIsLocatedAtEight) {
  std::vector<std::string> ids = Stems(fs::path(Board()) / "car");
  ASSERT_GE(ids.size(), 12u);
  std::sort(ids.begin(), ids.end());  // the board's list order: as text
  const TRun run = Cli({"locate", "800"});
  ASSERT_EQ(run.Exit, 0);
  const std::vector<std::string> rows = Lines(run.Out);
  ASSERT_EQ(rows.size(), ids.size());
  int running = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::vector<std::string> f = Fields(rows[i]);
    ASSERT_EQ(f.size(), 5u) << rows[i];
    EXPECT_EQ(f[0], ids[i]);
    EXPECT_NE(f[1], "3") << rows[i];
    if (f[1] == "2") ++running;
  }
  EXPECT_GT(running, 0);  // the morning rush is under way
}

// At least eight stations, no two laid out alike, with turnouts, crossovers, a grade-separated
// entry crossing and from two to six platforms.
TEST_F(SampleBoard, StationsAreOfDifferentDesigns) {
  TScriptedHost host;
  TUiHostScope scope(host);
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(BinDir().string(), "Sample").ok());
  EXPECT_TRUE(host.Events.empty());
  ASSERT_GE(brd.Stas.size(), 8u);
  std::set<int32_t> homeCounts;
  bool crossing = false, crossover = false;
  std::vector<const TStaObj*> seen;
  for (const auto& [key, sta] : brd.Stas) {
    EXPECT_FALSE(sta->IsErr) << sta->Name;
    for (const TStaObj* other : seen) EXPECT_NE(sta->Cells, other->Cells) << sta->Name;
    seen.push_back(sta.get());
    std::set<int32_t> homes;
    for (const StaRail& r : sta->Rails) {
      if (r.Kind == kRailHome) homes.insert(r.No);
    }
    homeCounts.insert(static_cast<int32_t>(homes.size()));
    crossing = crossing || sta->EntCrs[0] != 0 || sta->EntCrs[1] != 0;
    for (const TPtStatus& pt : sta->Pts) {
      for (int32_t r = 1; r <= pt.RouteCnt; ++r) {
        crossover = crossover || pt.Routes[static_cast<size_t>(r)].find(',') != std::string::npos;
      }
    }
  }
  EXPECT_TRUE(crossing);
  EXPECT_TRUE(crossover);
  EXPECT_EQ(*homeCounts.begin(), 2);
  EXPECT_EQ(*homeCounts.rbegin(), 6);
}

// Every rail carries two tracks; the terrain is a 24-bit bitmap with both sea (pure blue) and
// land.
TEST_F(SampleBoard, DoubleTrackOnATerrainWithACoast) {
  TScriptedHost host;
  TUiHostScope scope(host);
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(BinDir().string(), "Sample").ok());
  ASSERT_FALSE(brd.Rails.empty());
  for (const auto& [key, rail] : brd.Rails) {
    EXPECT_EQ(rail->EntCount[0], 2) << key;
    EXPECT_EQ(rail->EntCount[1], 2) << key;
  }
  const std::string bmp = ReadBytes((fs::path(Board()) / "Land.bmp").string());
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  const auto u16 = [&bmp](size_t at) {
    return static_cast<uint8_t>(bmp[at]) | static_cast<uint8_t>(bmp[at + 1]) << 8;
  };
  EXPECT_EQ(u16(28), 24);                                             // bits per pixel
  EXPECT_EQ(u16(30), 0);                                              // uncompressed
  const std::string sea("\xFF\x00\x00", 3), land("\xFF\xFF\xFF", 3);  // blue, green, red
  bool hasSea = false, hasLand = false;
  const size_t width = u16(18), rowBytes = (width * 3 + 3) / 4 * 4;
  for (size_t row = 54; row + rowBytes <= bmp.size(); row += rowBytes) {
    for (size_t x = 0; x < width; ++x) {
      const std::string px = bmp.substr(row + 3 * x, 3);
      hasSea = hasSea || px == sea;
      hasLand = hasLand || px == land;
    }
  }
  EXPECT_TRUE(hasSea);
  EXPECT_TRUE(hasLand);
}

// The generator writes the same bytes on every run, and they are the shipped board's.
TEST_F(SampleBoard, GeneratorMakesTheShippedBoard) {
  const fs::path tool = BinDir() / "ramvel-mksample";
  if (!fs::exists(tool)) GTEST_SKIP() << "ramvel-mksample is not built";
  TTempDir dir;
  const std::string a = dir / "A", b = dir / "B";
  ASSERT_EQ(RunProgram(tool.string(), {a}).Exit, 0);
  ASSERT_EQ(RunProgram(tool.string(), {b}).Exit, 0);
  const std::map<std::string, std::string> made = Tree(a);
  EXPECT_GT(made.size(), 10u);
  EXPECT_TRUE(made == Tree(b)) << "two runs of the generator differ";
  EXPECT_TRUE(made == Tree(Board())) << "the shipped sample is not what the generator makes: "
                                        "regenerate it (see README)";
}

}  // namespace
}  // namespace ramvel
