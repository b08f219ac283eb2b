// Renaming and deleting followed by save, reload and `ramvel-cli check`, and a whole small board
// laid out by mouse from a new board: stations, rails and a line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "LayoutFixture.h"
#include "NetBuilder.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::LayoutTest;

// The names of the files in a folder, exactly as they are spelt on disk, sorted.
std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class RenameTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    test::PutStation(ed_.Brd, test::TwoPlatformStation(1001, "A"), 10, 20);
    test::PutStation(ed_.Brd, test::TwoPlatformStation(2001, "B"), 50, 20);
    ed_.Brd.Modified = false;
  }
  // Renames A to name, answering the question with yes.
  bool RenameA(const std::string& name) {
    host_.SelectAnswers.push_back("A");
    host_.InputAnswers.push_back(name);
    host_.YesNoAnswers.push_back(true);
    return ed_.Layout.StaRename();
  }
  std::string CheckOutput() {
    const test::TProgramRun run = test::RunProgram(RAMVEL_CLI, {"check", folder_}, dir_.Path());
    return run.Out;
  }
};

TEST_F(RenameTest, RefusedNamesChangeNothing) {
  const std::vector<std::string> refused = {"B", "b", "", "x/y", "..", "C"};
  for (const std::string& name : refused) {
    SCOPED_TRACE(name);
    host_.Events.clear();
    EXPECT_FALSE(RenameA(name));
    EXPECT_EQ(ed_.Brd.FindSta(1001, "")->Name, "A");
    EXPECT_FALSE(ed_.Brd.Modified);
    // No question is asked for a refused name; an empty answer ends silently.
    for (const auto& e : host_.Events) EXPECT_NE(e.Kind, "ask");
    if (!name.empty()) {
      EXPECT_EQ(host_.Events.back().Kind, "msg");
    }
    host_.YesNoAnswers.clear();
  }
}

TEST_F(RenameTest, AskedQuestionNamesBothNames) {
  host_.SelectAnswers.push_back("A");
  host_.InputAnswers.push_back("港");
  host_.YesNoAnswers.push_back(false);
  EXPECT_FALSE(ed_.Layout.StaRename());
  EXPECT_EQ(Shown(), (std::vector<std::string>{"A|B", "新しい駅名を入力して下さい",
                                               "A駅を港駅に改名します、よろしいですか？"}));
  EXPECT_EQ(ed_.Brd.FindSta(1001, "")->Name, "A");
}

// After the save the station's file bears the new name and the old file is gone; the board
// reads back with the station under its new name.
TEST_F(RenameTest, RenamedStationIsSavedUnderItsNewName) {
  ASSERT_TRUE(ed_.SaveBoard(false).ok());
  ASSERT_TRUE(RenameA("港"));
  EXPECT_TRUE(ed_.Brd.Modified);
  ASSERT_TRUE(ed_.SaveBoard(false).ok());
  EXPECT_EQ(FilesIn(folder_ + "/station"),
            (std::vector<std::string>{"B.txt", "C.txt", "E.txt", "港.txt"}));
  TBrdData back;
  ASSERT_TRUE(back.LoadBrd(dir_.Path(), "T").ok());
  ASSERT_NE(back.FindSta(1001, ""), nullptr);
  EXPECT_EQ(back.FindSta(1001, "")->Name, "港");
}

TEST_F(RenameTest, ChangeOfLetterCaseRenamesTheFile) {
  ASSERT_TRUE(ed_.SaveBoard(false).ok());
  ASSERT_TRUE(RenameA("a"));
  ASSERT_TRUE(ed_.SaveBoard(false).ok());
  EXPECT_EQ(FilesIn(folder_ + "/station"),
            (std::vector<std::string>{"B.txt", "C.txt", "E.txt", "a.txt"}));
}

// Swapping two names through a third leaves exactly the stations' files.
TEST_F(RenameTest, NameFreedByARenameMayBeTakenAgain) {
  ASSERT_TRUE(ed_.SaveBoard(false).ok());
  ASSERT_TRUE(RenameA("X"));
  host_.SelectAnswers.push_back("B");
  host_.InputAnswers.push_back("A");
  host_.YesNoAnswers.push_back(true);
  ASSERT_TRUE(ed_.Layout.StaRename());
  ASSERT_TRUE(ed_.SaveBoard(false).ok());
  EXPECT_EQ(FilesIn(folder_ + "/station"),
            (std::vector<std::string>{"A.txt", "C.txt", "E.txt", "X.txt"}));
  TBrdData back;
  ASSERT_TRUE(back.LoadBrd(dir_.Path(), "T").ok());
  EXPECT_EQ(back.FindSta(1001, "")->Name, "X");
  EXPECT_EQ(back.FindSta(2001, "")->Name, "A");
}

// A deleted station leaves the board; its file stays for placing again.
TEST_F(RenameTest, DeleteSaveReloadAndCheck) {
  ed_.Brd.RailReg({21, 20}, {29, 0}, ed_.Brd.FindSta(2001, ""), ed_.Brd.FindSta(1001, ""), 2);
  ASSERT_TRUE(ed_.SaveBoard(false).ok());
  EXPECT_EQ(CheckOutput(), "layout: incomplete: A\n");
  Redraw();
  host_.YesNoAnswers = {true};
  ASSERT_TRUE(Right(55, 20));
  ASSERT_TRUE(ed_.SaveBoard(false).ok());
  TBrdData back;
  ASSERT_TRUE(back.LoadBrd(dir_.Path(), "T").ok());
  EXPECT_EQ(back.Stas.size(), 1u);
  EXPECT_EQ(back.Rails.size(), 1u);
  EXPECT_TRUE(fs::exists(folder_ + "/station/B.txt"));
  EXPECT_EQ(back.FindRail(1002, "")->EntConn[1][1], 0);
}

}  // namespace
}  // namespace ramvel
