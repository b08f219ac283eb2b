// Several programs on one board: writers that overlap keep both edits or refuse one with its
// message, a reader never disturbs a save in progress, a writer that cannot have the lock in
// time changes nothing, and a save never overwrites what another program saved meanwhile.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include "BoardFixture.h"
#include "engine/UrwBackup.h"
#include "foundation/UrwBrdLock.h"
#include "foundation/UrwSaveBatch.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::BoardTest;
using test::ReadBytes;
using test::WriteBytes;

// How a writer process ended.
enum TWriterEnd {
  kSaved = 0,
  kRefusedChanged = 3,  // kMsgChangedElsewhere
  kRefusedBusy = 4,     // kMsgBrdBusy
  kOtherFailure = 5,
};

// Files a save in progress or one cut off leaves behind.
std::vector<std::string> Traces(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(".rv", 0) == 0 || name.find(".rvdel") != std::string::npos) {
      found.push_back(name);
    }
  }
  return found;
}

void Nap(std::mt19937& gen, int maxMs) {
  std::this_thread::sleep_for(std::chrono::microseconds(gen() % (maxMs * 1000 + 1)));
}

// Reads the board, sets the usage of one train set and saves, with random pauses between.
int Writer(const std::string& base, int32_t carNo, const std::string& usage, unsigned seed) {
  std::mt19937 gen(seed);
  Nap(gen, 40);  // sometimes one writer is done before the other reads
  TBrdData brd;
  if (!brd.LoadBrd(base, "B")) return kOtherFailure;
  Nap(gen, 15);
  brd.FindCar(carNo, "")->Usage = usage;
  brd.Modified = true;
  Nap(gen, 5);
  const TStatus st = brd.SaveBrd(base + "/B", false);
  if (st) return kSaved;
  if (IsChangedElsewhere(st)) return kRefusedChanged;
  return st.Msg() == kMsgBrdBusy ? kRefusedBusy : kOtherFailure;
}

pid_t Spawn(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

class BoardShareTest : public BoardTest {
 protected:
  void SetUp() override { MakeSmallBoard(); }
  std::string Usage(int32_t carNo) {
    TBrdData brd;
    const TStatus st = brd.LoadBrd(base_.Path(), "B");
    if (!st) return "load failed: " + st.Msg();
    return brd.FindCar(carNo, "")->Usage;
  }
};

// Two writers of two train sets, fifty rounds: each round ends with every saved edit on disk,
// every refused one absent, the board whole and no trace of a save left.
TEST_F(BoardShareTest, OverlappingWritersKeepBothEditsOrRefuseOneWithItsMessage) {
  std::string keptA = "", keptB = "";
  int bothSaved = 0, refused = 0;
  std::random_device seeds;
  for (int round = 1; round <= 50; ++round) {
    SCOPED_TRACE(round);
    const std::string a = "a" + std::to_string(round), b = "b" + std::to_string(round);
    const unsigned seedA = seeds(), seedB = seeds();
    const pid_t pa = Spawn([&] { return Writer(base_.Path(), 1, a, seedA); });
    const pid_t pb = Spawn([&] { return Writer(base_.Path(), 2, b, seedB); });
    const int endA = Wait(pa), endB = Wait(pb);
    for (const int end : {endA, endB}) {
      EXPECT_TRUE(end == kSaved || end == kRefusedChanged || end == kRefusedBusy) << end;
    }
    if (endA == kSaved) keptA = a;
    if (endB == kSaved) keptB = b;
    EXPECT_EQ(Usage(1), keptA);
    EXPECT_EQ(Usage(2), keptB);
    EXPECT_TRUE(Traces(Folder()).empty());
    bothSaved += endA == kSaved && endB == kSaved;
    refused += (endA != kSaved) + (endB != kSaved);
  }
  RecordProperty("both_saved_rounds", bothSaved);
  RecordProperty("refused_writers", refused);
}

// A reader that comes while a save is between its temporary files and its switch waits for the
// save, which lands whole; the reader then sees the saved board.
TEST_F(BoardShareTest, AReaderWaitsForASaveInProgressAndLeavesItsFilesAlone) {
  const std::string marker = base_ / "paused";
  static std::string gMarker;
  gMarker = marker;
  const pid_t saver = Spawn([&] {
    SetSaveStepHook([] {
      static int steps = 0;
      if (++steps != 3) return;
      WriteBytes(gMarker, "x");
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
    });
    TBrdData brd;
    if (!brd.LoadBrd(base_.Path(), "B")) return 1;
    brd.FindCar(1, "")->Usage = "saved";
    brd.CarDel(2);
    return brd.SaveBrd(Folder(), false) ? 0 : 1;
  });
  for (int i = 0; i < 500 && !fs::exists(marker); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(fs::exists(marker));
  TBrdData brd;
  const TStatus st = brd.LoadBrd(base_.Path(), "B");
  EXPECT_EQ(Wait(saver), 0);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(brd.FindCar(1, "")->Usage, "saved");
  EXPECT_EQ(brd.Cars.size(), 1u);
  EXPECT_TRUE(Traces(Folder()).empty());
}

// Another program keeps the lock longer than a writer waits: the save is refused with the
// message and nothing changes.
TEST_F(BoardShareTest, AWriterThatCannotHaveTheLockChangesNothing) {
  const std::string marker = base_ / "locked";
  const pid_t holder = Spawn([&] {
    TBrdLock lock;
    if (!lock.Lock(Folder(), TLockMode::kShared, 1000)) return 1;
    WriteBytes(marker, "x");
    std::this_thread::sleep_for(std::chrono::milliseconds(kLockWaitWriteMs + 1500));
    return 0;
  });
  for (int i = 0; i < 500 && !fs::exists(marker); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const auto before = test::DirTree(Folder());
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());  // readers share the lock
  brd.FindCar(1, "")->Usage = "late";
  brd.Modified = true;
  const TStatus st = brd.SaveBrd(Folder(), false);
  EXPECT_EQ(st.Msg(), kMsgBrdBusy);
  EXPECT_TRUE(brd.Modified);
  EXPECT_EQ(test::DirTree(Folder()), before);
  EXPECT_EQ(Wait(holder), 0);
}

// What another program saved after this one read the board is never overwritten silently: a
// changed file, a file made meanwhile (a restore that added a train set) and a file removed
// meanwhile each refuse the save; 上書き (overwrite) saves anyway; after a save of its own the
// program saves again without a word.
TEST_F(BoardShareTest, ASaveRefusesWhenFilesChangedSinceTheyWereRead) {
  const std::string car1 = Folder() + "/car/1.txt";
  const std::string original = ReadBytes(car1);
  struct TCase {
    const char* What;
    std::function<void()> Meanwhile;
    const char* Names;
  } cases[] = {
      {"changed", [&] { WriteBytes(car1, original + "X=1\r\n"); }, "car/1.txt"},
      {"made", [&] { WriteBytes(Folder() + "/car/99.txt", original); }, "car/99.txt"},
      {"removed", [&] { fs::remove(Folder() + "/car/2.txt"); }, "car/2.txt"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    fs::remove_all(Folder());
    MakeSmallBoard();
    TBrdData brd;
    ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
    brd.FindCar(2, "")->Usage = "mine";
    c.Meanwhile();
    const auto before = test::DirTree(Folder());
    const TStatus st = brd.SaveBrd(Folder(), false);
    ASSERT_TRUE(IsChangedElsewhere(st)) << st.Msg();
    EXPECT_NE(st.Msg().find(c.Names), std::string::npos) << st.Msg();
    EXPECT_EQ(test::DirTree(Folder()), before);
    ASSERT_TRUE(brd.SaveBrd(Folder(), false, true).ok());
    EXPECT_EQ(Usage(2), "mine");
    EXPECT_FALSE(fs::exists(Folder() + "/car/99.txt"));  // the board saved is this one's
    brd.FindCar(1, "")->Usage = "again";
    EXPECT_TRUE(brd.SaveBrd(Folder(), false).ok());
    EXPECT_FALSE(brd.ChangedOnDisk());
  }
}

// The quick look behind the program's notice: nothing after a load or a save of its own, a
// changed, removed or new file afterwards.
TEST_F(BoardShareTest, ChangedOnDiskSeesEditsOfOtherPrograms) {
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  EXPECT_FALSE(brd.ChangedOnDisk());
  WriteBytes(Folder() + "/rail/5002.txt", ReadBytes(Folder() + "/rail/1002.txt"));
  EXPECT_TRUE(brd.ChangedOnDisk());
  fs::remove(Folder() + "/rail/5002.txt");
  EXPECT_FALSE(brd.ChangedOnDisk());
  WriteBytes(Folder() + "/Board.txt", ReadBytes(Folder() + "/Board.txt") + "\r\n");
  EXPECT_TRUE(brd.ChangedOnDisk());
}

}  // namespace
}  // namespace ramvel
