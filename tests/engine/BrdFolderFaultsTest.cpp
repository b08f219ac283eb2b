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
// its files, no save that would take its train sets for gone. Folder modes do not bind the
// superuser, so as root the faults are met by a child that owns the board and runs as nobody.
TEST_F(BoardFolderFaults, AFolderThatCannotBeListedIsAnError) {
  // Bit n is set when operation n (load, backup, save) failed with a message naming car/.
  const auto faults = [this]() -> int {
    TBrdData brd;
    if (!brd.LoadBrd(base_.Path(), "B").ok()) return 0x40;
    ::chmod((Folder() + "/car").c_str(), 0);
    TBrdData again;
    const TStatus load = again.LoadBrd(base_.Path(), "B");
    std::string bytes;
    const TStatus pack = PackBoard(base_.Path(), "B", bytes);
    const TStatus save = brd.SaveBrd(Folder(), false);
    ::chmod((Folder() + "/car").c_str(), 0755);
    int bits = 0;
    int n = 0;
    for (const TStatus* st : {&load, &pack, &save}) {
      if (!st->ok() && st->Msg().find("car") != std::string::npos) bits |= 1 << n;
      ++n;
    }
    return bits;
  };
  int bits = 0;
  if (::geteuid() != 0) {
    bits = faults();
  } else {
    constexpr uid_t kNobody = 65534;
    const auto chownAll = [&](uid_t id) {
      for (const auto& e : fs::recursive_directory_iterator(base_.Path())) {
        ASSERT_EQ(0, ::lchown(e.path().c_str(), id, id)) << e.path();
      }
      ASSERT_EQ(0, ::lchown(base_.Path().c_str(), id, id));
    };
    chownAll(kNobody);
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(0x80);
      ::_exit(faults());
    }
    int status = 0;
    ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
    chownAll(0);
    ASSERT_TRUE(WIFEXITED(status));
    bits = WEXITSTATUS(status);
  }
  EXPECT_EQ(bits, 0b111) << "load, backup and save must each fail naming car/";
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

// Cuts a save of the board (train set 1's usage set to "saved", train set 2 deleted) in a child
// process: just after its commit, before any file is switched, or just before its commit, when
// its temporary files are written and train set 2's file is set aside.
void CutSaveOf(const std::string& base, const std::string& folder, bool afterCommit) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    TBrdData brd;
    if (!brd.LoadBrd(base, "B")) ::_exit(1);
    brd.FindCar(1, "")->Usage = "saved";
    brd.CarDel(2);
    static bool gAfter = false;
    gAfter = afterCommit;
    SetSaveStepHook([] {
      if (fs::exists(gAfter ? ".rvsave" : ".rvsave.tmp")) ::raise(SIGKILL);
    });
    ::chdir(folder.c_str());
    static_cast<void>(brd.SaveBrd(folder, false));  // killed inside; never returns
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status)) << "the save was not cut off";
}

// Every rename of the recovery fails as on a read-only mount.
int ReadOnlyMount(const std::string&) { return EROFS; }

// A board whose save was cut off, in a folder that cannot be written (a read-only mount, stood
// for by a recovery whose renames fail with EROFS): it opens read-only, as that save would have
// left it, with a notice; a save into it is refused and changes nothing, a save under another
// name works; once the folder can be written, the next load recovers the same board for real.
TEST_F(BoardFolderFaults, ACutSaveOnAReadOnlyFolderOpensReadOnly) {
  struct TCase {
    bool AfterCommit;
    const char* Usage1;  // train set 1 as the recovery leaves it
    bool Has2;           // whether train set 2 is still there
  } cases[] = {{true, "saved", false}, {false, "", true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.AfterCommit ? "after the commit" : "before the commit");
    fs::remove_all(Folder());
    MakeSmallBoard();
    CutSaveOf(base_.Path(), Folder(), c.AfterCommit);
    const auto before = test::DirTree(Folder());

    SetRecoverFaultHook(ReadOnlyMount);
    TBrdData brd;
    const TStatus load = brd.LoadBrd(base_.Path(), "B");
    ASSERT_TRUE(load.ok()) << load.Msg();
    EXPECT_EQ(c.Usage1, brd.FindCar(1, "")->Usage);
    EXPECT_EQ(c.Has2, brd.FindCar(2, "") != nullptr);
    ASSERT_EQ(1u, brd.LoadNotes.size());
    EXPECT_EQ(0u, brd.LoadNotes[0].find(kMsgPendingReadOnly)) << brd.LoadNotes[0];
    EXPECT_FALSE(brd.ReadOnlyWhy.empty());
    brd.FindCar(1, "")->Usage = "edited";
    brd.Modified = true;
    const TStatus save = brd.SaveBrd(Folder(), false);
    EXPECT_EQ(kMsgBrdReadOnly, save.Msg());
    EXPECT_TRUE(brd.Modified);
    EXPECT_EQ(before, test::DirTree(Folder()));
    std::string bytes;  // a backup packs the board as it was read, not the files on disk
    ASSERT_TRUE(PackBoard(base_.Path(), "B", bytes).ok());
    EXPECT_EQ(c.AfterCommit, bytes.find("USAGE=saved") != std::string::npos);
    EXPECT_EQ(c.Has2, bytes.find("/car/2.txt") != std::string::npos);
    EXPECT_EQ(before, test::DirTree(Folder()));
    fs::create_directories(base_ / "C");
    ASSERT_TRUE(brd.SaveBrd(base_ / "C", false).ok());
    EXPECT_TRUE(brd.ReadOnlyWhy.empty()) << "the copy is the board now";
    SetRecoverFaultHook(nullptr);

    TBrdData copy, again;
    ASSERT_TRUE(copy.LoadBrd(base_.Path(), "C").ok());
    EXPECT_EQ("edited", copy.FindCar(1, "")->Usage);
    EXPECT_EQ(c.Has2, copy.FindCar(2, "") != nullptr);
    ASSERT_TRUE(again.LoadBrd(base_.Path(), "B").ok());
    EXPECT_TRUE(again.LoadNotes.empty());
    EXPECT_TRUE(again.ReadOnlyWhy.empty());
    EXPECT_EQ(c.Usage1, again.FindCar(1, "")->Usage);
    EXPECT_EQ(c.Has2, again.FindCar(2, "") != nullptr);
    EXPECT_FALSE(fs::exists(Folder() + "/.rvsave"));
    fs::remove_all(base_ / "C");
  }
}

}  // namespace
}  // namespace ramvel
