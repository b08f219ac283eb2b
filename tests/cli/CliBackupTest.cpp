// ramvel-cli backup and restore run as a program: printed paths, exit codes, and restores that
// are refused with one line and nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "TestSupport.h"
#include "engine/UrwBackup.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

class CliBackup : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(Base() + "/B1/Board.txt", "SCR_XLEFT=0\r\nSTA_COUNT=0\r\n");
    WriteBytes(Base() + "/B1/rail/1002.txt", "ID=1002\r\n");
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
  EXPECT_EQ(ReadBytes(path), "*>" + Base() + "/B1/Board.txt\r\nSCR_XLEFT=0\r\nSTA_COUNT=0\r\n" +
                                 "*>" + Base() + "/B1/rail/1002.txt\r\nID=1002\r\n");

  WriteBytes(Base() + "/B1/Board.txt", "damaged");
  const auto restored = Run({"restore", Base(), path});
  EXPECT_EQ(restored.Exit, 0) << restored.Err;
  EXPECT_EQ(restored.Out, Base() + "/B1\n");
  EXPECT_EQ(ReadBytes(Base() + "/B1/Board.txt"), "SCR_XLEFT=0\r\nSTA_COUNT=0\r\n");
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

}  // namespace
}  // namespace ramvel
