// The program's folders: the program folder of a build against the user's data folder of an
// installed program, the first start there, and board folders named on the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "engine/UrwProgDirs.h"
#include "engine/UrwShellState.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using test::DirTree;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

// ---- Which folders -----------------------------------------------------------------------------

TEST(ProgDirsTest, BuildFolderIsTheProgramFolderAndAnInstallUsesTheUserFolders) {
  TTempDir root;
  const std::string r = root.Path();
  WriteBytes(r + "/build/bin/rw_panel.txt", "x");  // a build's program folder
  fs::create_directories(r + "/usr/bin");          // an install: no piece file in bin
  struct Case {
    const char* what;
    std::string exeDir;
    const char* home;
    const char* xdg;
    std::string base, data;
    bool installed;
  };
  const std::string home = r + "/home/u";
  const Case cases[] = {
      {"build", r + "/build/bin", home.c_str(), nullptr, r + "/build/bin/", r + "/build/bin/",
       false},
      {"installed, no XDG_DATA_HOME", r + "/usr/bin", home.c_str(), nullptr,
       home + "/.local/share/Ramvel/", r + "/usr/share/ramvel/", true},
      {"installed, XDG_DATA_HOME", r + "/usr/bin/", home.c_str(), "/srv/data", "/srv/data/Ramvel/",
       r + "/usr/share/ramvel/", true},
      // A relative XDG_DATA_HOME is invalid and ignored.
      {"installed, relative XDG_DATA_HOME", r + "/usr/bin", home.c_str(), "data",
       home + "/.local/share/Ramvel/", r + "/usr/share/ramvel/", true},
      // With nowhere else to go the program folder rule stays.
      {"installed, no home", r + "/usr/bin", nullptr, nullptr, r + "/usr/bin/", r + "/usr/bin/",
       false},
  };
  for (const Case& c : cases) {
    const TProgDirs d = ResolveProgDirs(c.exeDir, "../share/ramvel", c.home, c.xdg);
    EXPECT_EQ(d.Base, c.base) << c.what;
    EXPECT_EQ(d.Data, c.data) << c.what;
    EXPECT_EQ(d.Installed, c.installed) << c.what;
  }
}

// ---- First start of an installed program -------------------------------------------------------

class UserBaseTest : public ::testing::Test {
 protected:
  UserBaseTest() {
    dirs_.Data = share_.Path() + "/";
    dirs_.Base = home_.Path() + "/Ramvel/";
    dirs_.Installed = true;
    WriteBytes(share_ / "rw_panel.txt", "pieces");
    WriteBytes(share_ / "help/top.html", "<html></html>");
    WriteBytes(share_ / "Sample/Board.txt", "BOARD=1\r\n");
    WriteBytes(share_ / "Sample/station/1001.txt", "NAME=A\r\n");
    fs::create_directories(share_ / "Sample/line");
  }
  TTempDir share_, home_;
  TProgDirs dirs_;
};

TEST_F(UserBaseTest, FirstStartCopiesTheSampleBoardWholeAndListsItAsRecent) {
  ASSERT_TRUE(PrepareUserBase(dirs_).ok());
  EXPECT_EQ(DirTree(dirs_.Base + "Sample"), DirTree(share_ / "Sample"));
  // Only boards are copied: the help and the pieces stay in the share folder.
  EXPECT_FALSE(fs::exists(dirs_.Base + "help"));
  EXPECT_FALSE(fs::exists(dirs_.Base + "rw_panel.txt"));
  EXPECT_FALSE(fs::exists(dirs_.Base + "Sample.copying"));
  EXPECT_EQ(ReadRecentBrds(dirs_.Base + kRecentFile), Names{"Sample"});
}

TEST_F(UserBaseTest, TheUsersOwnFilesAreNeverOverwritten) {
  // A board of the sample's name in another letter case, and no recent list yet.
  WriteBytes(dirs_.Base + "SAMPLE/Board.txt", "MINE\r\n");
  ASSERT_TRUE(PrepareUserBase(dirs_).ok());
  EXPECT_EQ(ReadBytes(dirs_.Base + "SAMPLE/Board.txt"), "MINE\r\n");
  EXPECT_FALSE(fs::exists(dirs_.Base + kRecentFile));
}

TEST_F(UserBaseTest, AfterTheFirstStartADeletedSampleStaysDeleted) {
  WriteBytes(dirs_.Base + kSettingsFile, "0\r\n0\r\n");
  ASSERT_TRUE(PrepareUserBase(dirs_).ok());
  EXPECT_FALSE(fs::exists(dirs_.Base + "Sample"));
  EXPECT_FALSE(fs::exists(dirs_.Base + kRecentFile));
}

TEST_F(UserBaseTest, AFolderThatCannotBeMadeIsNamed) {
  WriteBytes(home_ / "Ramvel", "a file where the folder should be");
  const TStatus st = PrepareUserBase(dirs_);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("データフォルダを作成できませんでした"), std::string::npos);
  EXPECT_NE(st.Msg().find(dirs_.Base), std::string::npos);
}

// ---- Board folders on the command line ---------------------------------------------------------

TEST(FindBrdFolderTest, OnlyAFolderHoldingABoardIsOpened) {
  TTempDir dir;
  WriteBytes(dir / "Boards/Mine/Board.txt", "BOARD=1\r\n");
  WriteBytes(dir / "Boards/Empty/readme.txt", "");
  WriteBytes(dir / "file.txt", "");
  struct Case {
    std::string path;
    const char* problem;  // null: opened
  };
  const Case cases[] = {
      {dir / "Boards/Mine", nullptr},
      {dir / "Boards/Mine/", nullptr},
      {dir / "Boards/Gone", "ボードのフォルダが見つかりません"},
      {dir / "file.txt", "フォルダではない"},
      {dir / "Boards/Empty", "ボードではありません（Board.txt がありません）"},
      {"", "ボードのフォルダが見つかりません"},
  };
  for (const Case& c : cases) {
    std::string parent, name;
    const TStatus st = FindBrdFolder(c.path, parent, name);
    if (c.problem == nullptr) {
      ASSERT_TRUE(st.ok()) << c.path << ": " << st.Msg();
      EXPECT_EQ(parent, dir.Path() + "/Boards/");
      EXPECT_EQ(name, "Mine");
    } else {
      ASSERT_FALSE(st.ok()) << c.path;
      EXPECT_NE(st.Msg().find(c.problem), std::string::npos) << st.Msg();
      EXPECT_NE(st.Msg().find(c.path), std::string::npos) << st.Msg();
    }
  }
}

}  // namespace
}  // namespace ramvel
