// A board folder that is not what it seems: two files whose names differ only in case, a folder
// that cannot be listed, a save cut off before a backup, record files that are not text.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "BoardFixture.h"
#include "engine/UrwBackup.h"
#include "foundation/UrwSaveBatch.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::BoardTest;
using test::ReadBytes;
using test::WriteBytes;

class BoardFolderFaults : public BoardTest {
 protected:
  void SetUp() override { MakeSmallBoard(); }
};

// Reading one file and writing the other would destroy one of them: the load refuses, naming
// both, and a backup does too.
TEST_F(BoardFolderFaults, CaseTwinsAreRefusedNamingBoth) {
  struct TCase {
    const char* Copy;
    const char* Twin;
  } cases[] = {
      {"station/A.txt", "station/a.txt"},
      {"rail/1002.txt", "rail/1002.TXT"},
      {"car/1.txt", "car/1.Txt"},
      {"Board.txt", "BOARD.TXT"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Twin);
    WriteBytes(Folder() + "/" + c.Twin, ReadBytes(Folder() + "/" + c.Copy));
    TBrdData brd;
    const TStatus st = brd.LoadBrd(base_.Path(), "B");
    ASSERT_FALSE(st.ok());
    const std::string copyName = fs::path(c.Copy).filename().string();
    const std::string twinName = fs::path(c.Twin).filename().string();
    EXPECT_NE(st.Msg().find(copyName), std::string::npos) << st.Msg();
    EXPECT_NE(st.Msg().find(twinName), std::string::npos) << st.Msg();
    EXPECT_TRUE(brd.BrdName.empty());
    std::string bytes;
    EXPECT_FALSE(PackBoard(base_.Path(), "B", bytes).ok());
    fs::remove(Folder() + "/" + c.Twin);
  }
}

// A folder that cannot be listed is an error, not an empty folder: no load, no backup without
// its files, no save that would take its train sets for gone.
TEST_F(BoardFolderFaults, AFolderThatCannotBeListedIsAnError) {
  if (::geteuid() == 0) GTEST_SKIP() << "folder modes do not bind the superuser";
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  ::chmod((Folder() + "/car").c_str(), 0);
  TBrdData again;
  const TStatus load = again.LoadBrd(base_.Path(), "B");
  std::string bytes;
  const TStatus pack = PackBoard(base_.Path(), "B", bytes);
  const TStatus save = brd.SaveBrd(Folder(), false);
  ::chmod((Folder() + "/car").c_str(), 0755);
  for (const TStatus* st : {&load, &pack, &save}) {
    EXPECT_FALSE(st->ok());
    EXPECT_NE(st->Msg().find("car"), std::string::npos) << st->Msg();
  }
  EXPECT_TRUE(fs::exists(Folder() + "/car/1.txt"));
}

// A backup made after a save was cut off past its commit packs the saved board, not a mix.
TEST_F(BoardFolderFaults, ABackupCompletesASaveThatWasCutOffFirst) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    TBrdData brd;
    if (!brd.LoadBrd(base_.Path(), "B")) ::_exit(1);
    brd.FindCar(1, "")->Usage = "saved";
    brd.CarDel(2);
    // Cut off after the journal is committed and the first file is switched.
    static int steps = 0, commitAt = 0;
    SetSaveStepHook([] {
      ++steps;
      if (fs::exists(".rvsave") && commitAt == 0) commitAt = steps;
      if (commitAt != 0 && steps == commitAt + 1) ::raise(SIGKILL);
    });
    ::chdir(Folder().c_str());
    static_cast<void>(brd.SaveBrd(Folder(), false));  // killed inside; never returns
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status)) << "the save was not cut off";
  ASSERT_TRUE(fs::exists(Folder() + "/.rvsave"));
  std::string bytes;
  ASSERT_TRUE(PackBoard(base_.Path(), "B", bytes).ok());
  EXPECT_NE(bytes.find("saved"), std::string::npos);
  EXPECT_EQ(bytes.find("/car/2.txt"), std::string::npos);
  EXPECT_FALSE(fs::exists(Folder() + "/.rvsave"));
}

// Record files that are not text are refused at load, naming the file and where.
TEST_F(BoardFolderFaults, ARecordWithANulOrTooManyLinesIsRefused) {
  const std::string car = ReadBytes(Folder() + "/car/2.txt");
  WriteBytes(Folder() + "/car/2.txt", car + std::string("NAME=a\0b\r\n", 10));
  TBrdData brd;
  TStatus st = brd.LoadBrd(base_.Path(), "B");
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("car/2.txt"), std::string::npos) << st.Msg();
  EXPECT_NE(st.Msg().find("NUL"), std::string::npos) << st.Msg();
  WriteBytes(Folder() + "/car/2.txt", car + std::string(kMaxRecLines, '\n'));
  st = brd.LoadBrd(base_.Path(), "B");
  EXPECT_NE(st.Msg().find("行が多すぎます"), std::string::npos) << st.Msg();
}

}  // namespace
}  // namespace ramvel
