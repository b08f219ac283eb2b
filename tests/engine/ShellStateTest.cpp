// The shell without a window: settings and recent-board files, board names and folders, the
// speed and zoom choices, the menu enabling rule and the clock time input.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "engine/UrwShellState.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

// ---- Settings ----------------------------------------------------------------------------------

TEST(ShellSettingsTest, MissingFileGivesDefaults) {
  TTempDir dir;
  EXPECT_EQ(ReadSettings(dir / kSettingsFile), TShellSettings{});
}

TEST(ShellSettingsTest, ReadsLevelAndLabelFlags) {
  struct Case {
    std::string bytes;
    TShellSettings want;
  };
  const Case cases[] = {
      {"2\r\n1[NICK][ONLY]\r\n", {2, true, true, true}},
      {"1\r\n1\r\n", {1, true, false, false}},
      {"0\r\n0[ONLY]\r\n", {0, false, false, true}},      // only-flag without numbers is kept
      {"1\r\n1[ONLY][NICK]\r\n", {1, true, true, true}},  // anywhere in the line
      {"x\r\n1[NICK]\r\n", {0, true, true, false}},       // bad level keeps its default only
      {"7\r\n1\r\n", {0, true, false, false}},            // a level the clock cannot use
      {"2\r\n\r\n", {2, false, false, false}},            // empty second line
      {"2\n", {2, false, false, false}},                  // second line missing, LF only
      {"", {}},
  };
  for (const Case& c : cases) {
    TTempDir dir;
    WriteBytes(dir / kSettingsFile, c.bytes);
    EXPECT_EQ(ReadSettings(dir / kSettingsFile), c.want) << c.bytes;
  }
}

TEST(ShellSettingsTest, WritesTwoLinesAndRoundTrips) {
  struct Case {
    TShellSettings s;
    std::string bytes;
  };
  const Case cases[] = {
      {{}, "0\r\n0\r\n"},
      {{2, true, true, true}, "2\r\n1[NICK][ONLY]\r\n"},
      {{1, false, false, true}, "1\r\n0[ONLY]\r\n"},
      {{0, true, false, false}, "0\r\n1\r\n"},
  };
  for (const Case& c : cases) {
    TTempDir dir;
    const std::string path = dir / kSettingsFile;
    ASSERT_TRUE(WriteSettings(path, c.s).ok());
    EXPECT_EQ(ReadBytes(path), c.bytes);
    EXPECT_EQ(ReadSettings(path), c.s);
    ASSERT_TRUE(WriteSettings(path, ReadSettings(path)).ok());
    EXPECT_EQ(ReadBytes(path), c.bytes);
  }
}

// ---- Recent boards -----------------------------------------------------------------------------

Names Added(Names names, const std::vector<std::string>& adds) {
  for (const std::string& n : adds) AddRecentBrd(names, n);
  return names;
}

TEST(RecentBrdsTest, OrdersOfOpening) {
  EXPECT_EQ(Added({"A", "B", "C"}, {"D"}), (Names{"D", "A", "B"}));
  EXPECT_EQ(Added({"A", "B", "C"}, {"D", "B"}), (Names{"B", "D", "A"}));
  EXPECT_EQ(Added({"A", "B", "C"}, {"A"}), (Names{"A", "B", "C"}));
  EXPECT_EQ(Added({}, {"A", "B"}), (Names{"B", "A"}));
  // Names differ only in case: the new spelling takes the old one's place.
  EXPECT_EQ(Added({"A", "B", "C"}, {"c"}), (Names{"c", "A", "B"}));
  EXPECT_EQ(Added({"A", "B"}, {""}), (Names{"A", "B"}));
}

TEST(RecentBrdsTest, LongerListGrowsByOneWithEachNewName) {
  EXPECT_EQ(Added({"A", "B", "C", "D", "E"}, {"F"}), (Names{"F", "A", "B", "C", "D", "E"}));
  EXPECT_EQ(Added({"A", "B", "C", "D", "E"}, {"D"}), (Names{"D", "A", "B", "C", "E"}));
}

TEST(RecentBrdsTest, FileRoundTripInShiftJis) {
  TTempDir dir;
  const std::string path = dir / kRecentFile;
  ASSERT_TRUE(WriteRecentBrds(path, {"テスト", "AB"}).ok());
  // テ 83 65, ス 83 58, ト 83 67.
  EXPECT_EQ(ReadBytes(path), "\x83\x65\x83\x58\x83\x67\r\nAB\r\n");
  EXPECT_EQ(ReadRecentBrds(path), (Names{"テスト", "AB"}));
  const std::string first = ReadBytes(path);
  ASSERT_TRUE(WriteRecentBrds(path, ReadRecentBrds(path)).ok());
  EXPECT_EQ(ReadBytes(path), first);
}

TEST(RecentBrdsTest, ALongListIsTrimmedToThreeWhenWritten) {
  TTempDir dir;
  ASSERT_TRUE(WriteRecentBrds(dir / kRecentFile, {"A", "B", "C", "D", "E"}).ok());
  EXPECT_EQ(ReadBytes(dir / kRecentFile), "A\r\nB\r\nC\r\n");
}

TEST(SettingsTest, AnUndecodableLineCostsOnlyItsOwnValue) {
  TTempDir dir;
  WriteBytes(dir / kSettingsFile, "2\r\n1[NICK]\x85\xff\r\n");
  TShellSettings s = ReadSettings(dir / kSettingsFile);
  EXPECT_EQ(s.IntvLevel, 2);
  EXPECT_FALSE(s.ShowTrNo);
  WriteBytes(dir / kSettingsFile, "\xff\r\n1[ONLY]\r\n");
  s = ReadSettings(dir / kSettingsFile);
  EXPECT_EQ(s.IntvLevel, 0);
  EXPECT_TRUE(s.ShowTrNo && s.ShowTrOnly);
}

TEST(RecentBrdsTest, EmptyListWritesAnEmptyFile) {
  TTempDir dir;
  ASSERT_TRUE(WriteRecentBrds(dir / kRecentFile, {}).ok());
  EXPECT_TRUE(fs::exists(dir / kRecentFile));
  EXPECT_EQ(ReadBytes(dir / kRecentFile), "");
}

TEST(RecentBrdsTest, UnreadableFilesGiveWhatCanBeUsed) {
  TTempDir dir;
  EXPECT_TRUE(ReadRecentBrds(dir / kRecentFile).empty());
  WriteBytes(dir / kRecentFile, "A\r\n\r\nB\nC\r\n");
  EXPECT_EQ(ReadRecentBrds(dir / kRecentFile), (Names{"A", "B", "C"}));
  WriteBytes(dir / kRecentFile, "A\r\n\x85\xff\r\n");  // not Shift-JIS
  EXPECT_TRUE(ReadRecentBrds(dir / kRecentFile).empty());
}

// ---- Board names and folders -------------------------------------------------------------------

TEST(BrdNameTest, RefusesNamesThatCannotBeFolders) {
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "a\tb", "..\\x", "\xF0\x9F\x9A\x83"}) {
    EXPECT_FALSE(CheckBrdName(bad).ok()) << bad;
  }
  for (const char* good : {"AB", "テスト路線", "東京 2"}) {
    EXPECT_TRUE(CheckBrdName(good).ok()) << good;
  }
}

TEST(BrdFolderTest, NewFolderAndItsSubFolders) {
  TTempDir base;
  std::string path;
  ASSERT_TRUE(MakeBrdFolder(base.Path(), "新線", path).ok());
  EXPECT_EQ(path, base / "新線");
  ASSERT_TRUE(MakeBrdSubFolders(path).ok());
  for (const char* sub : {"station", "rail", "car", "line"}) {
    EXPECT_TRUE(fs::is_directory(base / ("新線/" + std::string(sub)))) << sub;
  }
  RemoveBrdFolder(path);
  EXPECT_FALSE(fs::exists(path));
}

TEST(BrdFolderTest, ExistingEntryIsRefusedWithoutRegardToCase) {
  TTempDir base;
  fs::create_directory(base / "bakup");
  WriteBytes(base / "PLAIN", "x");
  std::string path;
  for (const char* name : {"bakup", "BAKUP", "plain"}) {
    const TStatus st = MakeBrdFolder(base.Path(), name, path);
    EXPECT_EQ(st.Msg(), "そのボード名は既に存在します") << name;
  }
  EXPECT_EQ(ReadBytes(base / "PLAIN"), "x");
}

TEST(BrdFolderTest, UnsafeNameCreatesNothing) {
  TTempDir base;
  const std::string outside = base / "outside";
  fs::create_directory(outside);
  std::string path;
  EXPECT_FALSE(MakeBrdFolder(outside, "../escape", path).ok());
  EXPECT_FALSE(MakeBrdFolder(outside, "..", path).ok());
  EXPECT_FALSE(fs::exists(base / "escape"));
  EXPECT_TRUE(fs::is_empty(outside));
}

TEST(BrdFolderTest, FolderNameFollowsTheDisk) {
  TTempDir base;
  fs::create_directory(base / "Sample");
  EXPECT_EQ(BrdFolderName(base.Path(), "SAMPLE"), "Sample");
  EXPECT_EQ(BrdFolderName(base.Path(), "OTHER"), "OTHER");
}

TEST(LandCopyTest, CopiesAndReplaces) {
  TTempDir base;
  WriteBytes(base / "src.bmp", "new terrain");
  WriteBytes(base / "brd/Land.bmp", "old terrain");
  ASSERT_TRUE(CopyLandFile(base / "src.bmp", base / "brd").ok());
  EXPECT_EQ(ReadBytes(base / "brd/Land.bmp"), "new terrain");
  EXPECT_EQ(fs::directory_iterator(base / "brd")->path().filename(), "Land.bmp");
}

TEST(LandCopyTest, OwnTerrainStaysIntact) {
  TTempDir base;
  WriteBytes(base / "brd/Land.bmp", "terrain");
  ASSERT_TRUE(CopyLandFile(base / "brd/Land.bmp", base / "brd").ok());
  EXPECT_EQ(ReadBytes(base / "brd/Land.bmp"), "terrain");
}

TEST(LandCopyTest, MissingSourceLeavesTheBoardAlone) {
  TTempDir base;
  WriteBytes(base / "brd/Land.bmp", "terrain");
  EXPECT_FALSE(CopyLandFile(base / "none.bmp", base / "brd").ok());
  EXPECT_EQ(ReadBytes(base / "brd/Land.bmp"), "terrain");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(base / "brd")) ++entries;
  EXPECT_EQ(entries, 1);
}

// ---- Choices -----------------------------------------------------------------------------------

TEST(ShellChoicesTest, SpeedAndZoomItems) {
  EXPECT_EQ(SpeedItems(), (Names{" 1倍速", " 2倍速", " 3倍速", " 4倍速", " 6倍速", "10倍速",
                                 "20倍速", "30倍速", "60倍速"}));
  EXPECT_EQ(ScaleItems(), (Names{"1/1", "1/2", "1/3", "1/4", "1/6", "1/9", "1/12", "1/18", "1/27",
                                 "1/36", "1/54", "1/108"}));
}

TEST(ShellChoicesTest, StepMultipleFromTheSpeedText) {
  EXPECT_EQ(StepMultiple(" 1倍速"), 1);
  EXPECT_EQ(StepMultiple(" 6倍速"), 6);
  EXPECT_EQ(StepMultiple("30倍速"), 30);
  EXPECT_EQ(StepMultiple("60倍速"), 60);
  EXPECT_EQ(StepMultiple(""), 0);
  EXPECT_EQ(StepMultiple("倍速"), 0);
}

// ---- Menus -------------------------------------------------------------------------------------

TEST(MenuStateTest, NoBoardLeavesOnlyTheAlwaysEnabledItems) {
  const TMenuState m = MenuState({false, true, kEditIdle, 5});
  EXPECT_FALSE(m.ModeSel || m.Save || m.SaveBAK || m.GbxDsp || m.Layout || m.StaEdit || m.DiaEdit ||
               m.LandLoad || m.StaAdd || m.LineNew || m.LineMod || m.LineDel || m.Gbx4StaEdit ||
               m.LineEdit || m.LineRing || m.LineCancel || m.LineFix);
}

TEST(MenuStateTest, RunModeAllowsFilesAndView) {
  const TMenuState m = MenuState({true, false, kEditIdle, 0});
  EXPECT_TRUE(m.ModeSel && m.Save && m.SaveBAK && m.GbxDsp);
  EXPECT_FALSE(m.Layout || m.StaEdit || m.DiaEdit || m.LandLoad || m.LineEdit);
}

TEST(MenuStateTest, DesignIdleAllowsEditing) {
  const TMenuState m = MenuState({true, true, kEditIdle, 0});
  EXPECT_TRUE(m.Layout && m.StaEdit && m.DiaEdit && m.LandLoad && m.StaAdd && m.LineNew &&
              m.LineMod && m.LineDel && m.LineEdit);
  EXPECT_FALSE(m.LineRing || m.LineCancel || m.LineFix || m.Gbx4StaEdit);
}

TEST(MenuStateTest, LineEditingNeedsTwoStationsToFix) {
  const TMenuState one = MenuState({true, true, kEditLine, 1});
  EXPECT_TRUE(one.LineEdit && one.LineRing && one.LineCancel);
  EXPECT_FALSE(one.LineFix || one.LineNew || one.Layout || one.StaEdit);
  EXPECT_TRUE(MenuState({true, true, kEditLine, 2}).LineFix);
}

TEST(MenuStateTest, PlacingAStationShowsItsTurnButtons) {
  const TMenuState m = MenuState({true, true, kEditPutSta, 0});
  EXPECT_TRUE(m.Gbx4StaEdit);
  EXPECT_FALSE(m.LineEdit || m.Layout);
  EXPECT_FALSE(MenuState({true, true, kEditPutRail, 0}).Gbx4StaEdit);
}

// ---- Clock time input --------------------------------------------------------------------------

class CurTimeInputTest : public ::testing::Test {
 protected:
  TScriptedHost host_;
  TUiHostScope scope_{host_};

  void Answer(std::optional<std::string> a) { host_.InputAnswers.push_back(std::move(a)); }
  int Asked() const {
    int n = 0;
    for (const auto& e : host_.Events) {
      if (e.Kind == "input") {
        EXPECT_EQ(e.Caption, "時刻の変更");
        ++n;
      }
    }
    return n;
  }
};

TEST_F(CurTimeInputTest, AcceptsTimesPastMidnight) {
  Answer("2530");
  int32_t t = -1;
  ASSERT_TRUE(AskCurTime(" 830", t));
  EXPECT_EQ(t, 25 * 3600 + 30 * 60 - 4 * 3600);
  EXPECT_EQ(Asked(), 1);
}

TEST_F(CurTimeInputTest, RefusedTimesAreAskedAgain) {
  Answer("0330");
  Answer("2710");
  Answer("1260");
  Answer("2400");
  int32_t t = -1;
  ASSERT_TRUE(AskCurTime(" 830", t));
  EXPECT_EQ(t, 20 * 3600);
  EXPECT_EQ(Asked(), 4);
}

TEST_F(CurTimeInputTest, FullWidthDigitsAndSeconds) {
  Answer("１２０５．３０");
  int32_t t = -1;
  ASSERT_TRUE(AskCurTime(" 830", t));
  EXPECT_EQ(t, 8 * 3600 + 5 * 60 + 30);
}

TEST_F(CurTimeInputTest, KeepingTheShownTimeOrCancellingChangesNothing) {
  Answer("0330");
  Answer(" 830");
  int32_t t = 123;
  EXPECT_FALSE(AskCurTime(" 830", t));
  EXPECT_EQ(Asked(), 2);
  Answer(std::nullopt);
  EXPECT_FALSE(AskCurTime(" 830", t));
  EXPECT_EQ(Asked(), 3);
}

}  // namespace
}  // namespace ramvel

namespace ramvel {
namespace {

TEST(ListBoards, OnlyFoldersHoldingABoardAreOffered) {
  test::TTempDir dir;
  test::WriteBytes(dir / "Sample/Board.txt", "STA_COUNT=0\r\n");
  test::WriteBytes(dir / "mine/BOARD.TXT", "STA_COUNT=0\r\n");
  test::WriteBytes(dir / "help/top.html", "<html></html>");
  test::WriteBytes(dir / "bakup/x.txt", "");
  test::WriteBytes(dir / "ramvel", "an executable has no extension here");
  test::WriteBytes(dir / "notes/Board.txt/x", "a folder named like the file");
  EXPECT_EQ(ListBoards(dir.Path()), (std::vector<std::string>{"MINE", "SAMPLE"}));
  EXPECT_TRUE(ListBoards(dir / "missing").empty());
}

}  // namespace
}  // namespace ramvel
