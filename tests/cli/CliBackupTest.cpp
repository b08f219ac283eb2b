// ramvel-cli backup and restore run as a program: printed paths, exit codes, and restores that
// are refused with one line and nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "TestSupport.h"
#include "engine/UrwBackup.h"
#include "model/UrwRailObj.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

const std::string kBoardTxt =
    "SCR_XLEFT=0\r\nSCR_YTOP=0\r\nSCR_MPERP=108\r\nID_STA=0\r\nID_RAIL=1\r\nSTA_COUNT=0\r\n";

std::string RailText() {
  TRailObj r;
  r.Id = 1002;
  std::string text;
  for (const std::string& line : r.MakeRec().Lines) text += line + "\r\n";
  return text;
}

class CliBackup : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(Base() + "/B1/Board.txt", kBoardTxt);
    WriteBytes(Base() + "/B1/rail/1002.txt", RailText());
    WriteBytes(Base() + "/B2/Board.txt", "other\r\n");
  }
  std::string Base() const { return base_.Path(); }
  test::TProgramRun Run(const std::vector<std::string>& args) {
    return test::RunProgram(RAMVEL_CLI, args, scratch_.Path());
  }

  TTempDir base_, scratch_;
};

TEST_F(CliBackup, BackupPrintsItsPathAndRestoreBringsTheBoardBack) {
  const auto made = Run({"backup", Base() + "/B1/"});
  ASSERT_EQ(made.Exit, 0) << made.Err;
  ASSERT_FALSE(made.Out.empty());
  EXPECT_EQ(made.Out.back(), '\n');
  const std::string path = made.Out.substr(0, made.Out.size() - 1);
  EXPECT_EQ(fs::path(path).parent_path(), fs::path(Base() + "/bakup"));
  std::string brd;
  ASSERT_TRUE(BakBrdName(fs::path(path).filename().string(), brd).ok());
  EXPECT_EQ(brd, "B1");
  EXPECT_EQ(ReadBytes(path), "*>" + Base() + "/B1/Board.txt\r\n" + kBoardTxt + "*>" + Base() +
                                 "/B1/rail/1002.txt\r\n" + RailText());

  WriteBytes(Base() + "/B1/Board.txt", "damaged");
  WriteBytes(Base() + "/B1/car/5.txt", "made later");
  const auto restored = Run({"restore", Base(), path});
  EXPECT_EQ(restored.Exit, 0) << restored.Err;
  // The board folder, then where the board as it was is kept.
  const std::string head = Base() + "/B1\nthe board as it was is kept in " + Base() + "/bakup/B1";
  EXPECT_EQ(restored.Out.rfind(head, 0), 0u) << restored.Out;
  EXPECT_EQ(ReadBytes(Base() + "/B1/Board.txt"), kBoardTxt);
  EXPECT_FALSE(fs::exists(Base() + "/B1/car/5.txt"));
}

TEST_F(CliBackup, RefusedRestoreSaysWhyInOneLineAndWritesNothing) {
  const std::string file = scratch_.Path() + "/B1261206_1649.dat";
  WriteBytes(file, "*>C:\\R\\B1\\Board.txt\r\nnew\r\n*>C:\\R\\B1\\..\\B2\\Board.txt\r\nx\r\n");
  const auto before = test::DirTree(Base());
  const auto run = Run({"restore", Base(), file});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err.rfind("ramvel-cli: ", 0), 0u) << run.Err;
  EXPECT_NE(run.Err.find("3 行目"), std::string::npos) << run.Err;
  EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
  EXPECT_EQ(test::DirTree(Base()), before);
}

TEST_F(CliBackup, WrongArgumentsAreRefused) {
  EXPECT_EQ(Run({"backup"}).Exit, 2);
  EXPECT_EQ(Run({"backup", Base() + "/NOSUCH"}).Exit, 2);
  EXPECT_EQ(Run({"restore", Base()}).Exit, 2);
  EXPECT_EQ(Run({"restore", Base() + "/NOSUCH", Base() + "/x261206_1649.dat"}).Exit, 2);
  const auto missing = Run({"restore", Base(), Base() + "/B1261206_1649.dat"});
  EXPECT_EQ(missing.Exit, 2);
  EXPECT_NE(missing.Err.find("B1261206_1649.dat"), std::string::npos) << missing.Err;
  EXPECT_FALSE(fs::exists(Base() + "/bakup"));
}

// A name read from a board file reaches the terminal with its control characters written out.
TEST_F(CliBackup, MessagesNeverCarryControlCharacters) {
  WriteBytes(Base() + "/B1/Board.txt",
             "SCR_XLEFT=0\r\nSCR_YTOP=0\r\nSCR_MPERP=108\r\nID_STA=0\r\nID_RAIL=1\r\n"
             "STA_COUNT=1\r\nSTA1=x\x1b[2Jy\r\n");
  const auto run = Run({"check", Base() + "/B1"});
  const std::string all = run.Out + run.Err;
  EXPECT_EQ(all.find('\x1b'), std::string::npos) << all;
  EXPECT_NE(all.find("x\\x1B[2Jy"), std::string::npos) << all;
}

}  // namespace
}  // namespace ramvel
