// Saving a board all or nothing: faults before the switch change nothing, a process killed at any
// step leaves a board that loads whole (as before or as saved), unchanged files keep their bytes.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "KillSteps.h"
#include "StaBuilder.h"
#include "TestSupport.h"
#include "engine/UrwBrdData.h"
#include "foundation/UrwSaveBatch.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TStaBuilder;
using test::TTempDir;
using test::WriteBytes;

// ---- Boards ------------------------------------------------------------------------------------

void PutRail(TBrdData& brd, int32_t id, TPoint e0, TPoint e1) {
  auto r = std::make_unique<TRailObj>();
  r->Id = id;
  r->EndPos[0] = e0;
  r->EndPos[1] = e1;
  r->EntCount[0] = r->EntCount[1] = 2;
  r->Length = RoundInt(ObjLength(*r));
  SetRote(*r);
  brd.Rails.emplace(IntText(id), std::move(r));
}

void PutCar(TBrdData& brd, int32_t no, const std::string& usage, int32_t staId) {
  auto c = std::make_unique<TCarObj>();
  c->SetProps({no, usage, 0x0000FF, 4, 108});
  c->Id = no;
  c->TmTbl.Add({"", -1, -1, MakeEntCode(staId, 1, 0)});
  c->TmTbl.Add({IntText(no * 100 + 1) + ",普通", 600, 660, staId + 10});
  brd.Cars.emplace(IntText(no), std::move(c));
}

void PutSta(TBrdData& brd, int32_t id, const std::string& name, TPoint e0, TPoint e1) {
  brd.Stas.emplace(IntText(id), TStaBuilder(id, name).Ents(2, 2).At(e0, e1).BuildPtr());
}

// Stations 東京 and 大阪 joined by rail 1002; train sets 1 and 2.
void MakeOld(TBrdData& brd) {
  brd.ID_STA = 2;
  brd.ID_RAIL = 1;
  PutSta(brd, 1001, "東京", {0, 0}, {1188, 0});
  PutSta(brd, 2001, "大阪", {2376, 0}, {3564, 0});
  PutRail(brd, 1002, {1188, 0}, {2376, 0});
  PutCar(brd, 1, "old", 1001);
  PutCar(brd, 2, "old", 2001);
}

// The edit every save below writes: one station, a new rail, one train set changed, one deleted
// and one added, and the board record changed; station 大阪 and rail 1002 stay as they were.
void EditToNew(TBrdData& brd) {
  brd.FindSta(1001, "")->Desc = "new";
  PutRail(brd, 2002, {3564, 0}, {4752, 0});
  brd.ID_RAIL = 2;
  brd.SCR_XLEFT = 108;
  brd.FindCar(1, "")->Usage = "new";
  brd.CarDel(2);
  PutCar(brd, 3, "new", 2001);
  brd.Modified = true;
}

// Everything a board holds that its files keep.
std::string Fingerprint(const TBrdData& brd) {
  std::string out =
      IntText(brd.SCR_XLEFT) + " " + IntText(brd.ID_STA) + " " + IntText(brd.ID_RAIL) + "\n";
  const auto add = [&out](const std::string& head, const TextRec& rec) {
    out += head + "\n";
    for (const std::string& line : rec.Lines) out += line + "\n";
  };
  for (const auto& [key, sta] : brd.Stas) add("station " + sta->Name, sta->MakeRec());
  for (const auto& [key, rail] : brd.Rails) add("rail " + key, rail->MakeRec());
  for (const auto& [key, car] : brd.Cars) add("car " + key, car->MakeRec());
  return out;
}

// Names a save leaves behind when it is cut off.
std::vector<std::string> Traces(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(".rv", 0) == 0 || name.find(".rvdel") != std::string::npos) {
      found.push_back(e.path().string());
    }
  }
  return found;
}

std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    if (e.is_regular_file())
      files[e.path().string().substr(folder.size())] = ReadBytes(e.path().string());
  }
  return files;
}

class BoardSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The two states every test compares against, each as a saved board reads back.
    WriteOld();
    oldPrint_ = LoadPrint();
    TBrdData brd;
    ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
    EditToNew(brd);
    ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
    newPrint_ = LoadPrint();
    ASSERT_NE(oldPrint_, newPrint_);
    WriteOld();
  }

  std::string Folder() const { return base_ / "B"; }

  void WriteOld() { WriteOldIn(base_.Path()); }

  static void WriteOldIn(const std::string& base) {
    const std::string folder = base + "/B";
    fs::remove_all(folder);
    fs::create_directories(folder);
    TBrdData brd;
    MakeOld(brd);
    if (!brd.SaveBrd(folder, false).ok()) std::abort();
  }

  // The board as the next load sees it; "load failed: ..." when it does not load.
  std::string LoadPrint() const { return LoadPrintIn(base_.Path()); }

  static std::string LoadPrintIn(const std::string& base) {
    TBrdData brd;
    const TStatus st = brd.LoadBrd(base, "B");
    return st ? Fingerprint(brd) : "load failed: " + st.Msg();
  }

  // Loads the old board, edits it to the new one and saves it; the result of the save.
  TStatus SaveNew(TBrdData& brd) const {
    if (TStatus st = brd.LoadBrd(base_.Path(), "B"); !st) return st;
    EditToNew(brd);
    return brd.SaveBrd(Folder(), false);
  }

  // After a refused save: the message names the file, nothing changed, Modified stays.
  void ExpectRefused(const std::string& file, const std::map<std::string, std::string>& before) {
    TBrdData brd;
    const TStatus st = SaveNew(brd);
    ASSERT_FALSE(st.ok());
    EXPECT_NE(st.Msg().find(file), std::string::npos) << st.Msg();
    EXPECT_TRUE(brd.Modified);
    EXPECT_EQ(before, Snapshot(Folder()));
    EXPECT_EQ(oldPrint_, LoadPrint());
  }

  TTempDir base_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  std::string oldPrint_, newPrint_;
};

// ---- Faults before the switch ------------------------------------------------------------------

TEST_F(BoardSaveTest, AReadOnlyFileStopsTheSaveBeforeAnythingChanges) {
  fs::permissions(Folder() + "/car/1.txt", fs::perms::owner_read | fs::perms::group_read);
  ExpectRefused("car/1.txt", Snapshot(Folder()));
}

TEST_F(BoardSaveTest, AnUnchangedReadOnlyFileDoesNotStopTheSave) {
  fs::permissions(Folder() + "/rail/1002.txt", fs::perms::owner_read);
  TBrdData brd;
  ASSERT_TRUE(SaveNew(brd).ok());
  EXPECT_EQ(newPrint_, LoadPrint());
}

TEST_F(BoardSaveTest, AFolderWhereAFileShouldBeStopsTheSave) {
  // A station new to the board, whose file name is taken by a folder.
  fs::create_directories(Folder() + "/station/新駅.txt/inner");
  const auto before = Snapshot(Folder());
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  EditToNew(brd);
  PutSta(brd, 3001, "新駅", {4752, 0}, {5940, 0});
  const TStatus st = brd.SaveBrd(Folder(), false);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("station/新駅.txt"), std::string::npos) << st.Msg();
  EXPECT_TRUE(brd.Modified);
  EXPECT_EQ(before, Snapshot(Folder()));
  EXPECT_TRUE(Traces(Folder()).empty());
  EXPECT_EQ(oldPrint_, LoadPrint());
}

TEST_F(BoardSaveTest, AStaleFileThatCannotBeDeletedFailsTheSave) {
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  EditToNew(brd);  // deletes train set 2
  // Meanwhile its file became a folder with content, which cannot simply be removed.
  fs::remove(Folder() + "/car/2.txt");
  WriteBytes(Folder() + "/car/2.txt/keep", "x");
  const auto before = Snapshot(Folder());
  const TStatus st = brd.SaveBrd(Folder(), false);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("car/2.txt"), std::string::npos) << st.Msg();
  EXPECT_TRUE(brd.Modified);
  EXPECT_EQ(before, Snapshot(Folder()));
  EXPECT_TRUE(Traces(Folder()).empty());
}

TEST_F(BoardSaveTest, ACharacterWithoutShiftJisFormStopsTheSave) {
  const auto before = Snapshot(Folder());
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  EditToNew(brd);
  brd.FindCar(3, "")->Usage = "😀";
  const TStatus st = brd.SaveBrd(Folder(), false);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("car/3.txt"), std::string::npos) << st.Msg();
  EXPECT_EQ(before, Snapshot(Folder()));
}

TEST_F(BoardSaveTest, ABoardFolderDeletedMeanwhileIsNotMadeAgain) {
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  EditToNew(brd);
  fs::remove_all(Folder());
  const TStatus st = brd.SaveBrd(Folder(), false);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("見つかりません"), std::string::npos) << st.Msg();
  EXPECT_FALSE(fs::exists(Folder()));
  EXPECT_TRUE(brd.Modified);
}

TEST_F(BoardSaveTest, AnUnsafeStationNameIsRefusedWhenStationFilesAreKeptToo) {
  const auto before = Snapshot(Folder());
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  brd.FindSta(2001, "")->Name = "../大阪";
  for (const bool keepStations : {false, true}) {
    const TStatus st = brd.SaveBrd(Folder(), keepStations);
    EXPECT_FALSE(st.ok()) << keepStations;
    EXPECT_EQ(before, Snapshot(Folder()));
  }
}

// ---- What a save keeps -------------------------------------------------------------------------

TEST_F(BoardSaveTest, AStationWithALongNameIsSaved) {
  // 83 characters of three bytes: the file name is 253 bytes, two below the usual limit.
  std::string name;
  for (int i = 0; i < 83; ++i) name += "駅";
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  PutSta(brd, 3001, name, {4752, 0}, {5940, 0});
  const TStatus st = brd.SaveBrd(Folder(), false);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_TRUE(fs::exists(Folder() + "/station/" + name + ".txt"));
  TBrdData back;
  ASSERT_TRUE(back.LoadBrd(base_.Path(), "B").ok());
  EXPECT_EQ(3u, back.Stas.size());
}

// 〜 (U+301C) is saved as 81 60, which reads back as ～ (U+FF5E): the station is still found.
TEST_F(BoardSaveTest, AStationNamedWithAWaveDashComesBack) {
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  PutSta(brd, 3001, "東京〜大阪", {4752, 0}, {5940, 0});
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  TBrdData back;
  ASSERT_TRUE(back.LoadBrd(base_.Path(), "B").ok());
  ASSERT_NE(nullptr, back.FindSta(3001, ""));
  EXPECT_EQ("東京～大阪", back.FindSta(3001, "")->Name);
  back.FindSta(3001, "")->Desc = "again";
  ASSERT_TRUE(back.SaveBrd(Folder(), false).ok());
  // Saved again into the same file, not into a second one.
  int files = 0;
  for (const auto& e : fs::directory_iterator(Folder() + "/station")) files += e.exists();
  EXPECT_EQ(3, files);
  EXPECT_NE(std::string::npos, ReadBytes(Folder() + "/station/東京〜大阪.txt").find("DESC=again"));
}

TEST_F(BoardSaveTest, EachFileKeepsItsMode) {
  fs::permissions(Folder() + "/car/1.txt", fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(Folder() + "/station/東京.txt",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  TBrdData brd;
  ASSERT_TRUE(SaveNew(brd).ok());
  const auto mode = [this](const std::string& rel) {
    struct stat sb {};
    ::stat((Folder() + rel).c_str(), &sb);
    return sb.st_mode & 0777;
  };
  EXPECT_EQ(0600u, mode("/car/1.txt"));
  EXPECT_EQ(0640u, mode("/station/東京.txt"));
  EXPECT_EQ(0644u, mode("/car/3.txt"));  // a new file
  EXPECT_EQ("new", brd.FindCar(1, "")->Usage);
  EXPECT_NE(ReadBytes(Folder() + "/car/1.txt").find("USAGE=new"), std::string::npos);
}

// ∵ has two codes (81 E6 and the NEC duplicate 87 9A), and 纊 two more (FA 5C, ED 40): files
// holding the rarer codes keep them through a load and a save, changed or not elsewhere.
TEST_F(BoardSaveTest, AnUnchangedBoardSavesByteIdentical) {
  std::string car1 = ReadBytes(Folder() + "/car/1.txt");
  car1.replace(car1.find("USAGE=old"), 9, "USAGE=\x87\x9A\xED\x40");
  WriteBytes(Folder() + "/car/1.txt", car1);
  std::string sta = ReadBytes(Folder() + "/station/大阪.txt");
  sta.replace(sta.find("DESC="), 5, "DESC=\x87\x9A");
  WriteBytes(Folder() + "/station/大阪.txt", sta);
  const auto before = Snapshot(Folder());
  {
    TBrdData brd;
    ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
    EXPECT_EQ("∵纊", brd.FindCar(1, "")->Usage);
    brd.Modified = true;
    ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  }
  EXPECT_EQ(before, Snapshot(Folder()));
  // Another object changed: the two files stay as they were.
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "B").ok());
  brd.FindCar(2, "")->Usage = "changed";
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  EXPECT_EQ(car1, ReadBytes(Folder() + "/car/1.txt"));
  EXPECT_EQ(sta, ReadBytes(Folder() + "/station/大阪.txt"));
  EXPECT_NE(before.at("/car/2.txt"), ReadBytes(Folder() + "/car/2.txt"));
}

// ---- A process killed in the middle ------------------------------------------------------------

int gKillAt = 0;
int gSteps = 0;

void KillAtStep() {
  if (++gSteps == gKillAt) ::raise(SIGKILL);
}

TEST_F(BoardSaveTest, AProcessKilledAtEveryStepLeavesTheOldOrTheNewBoard) {
  int asOld = 0, asNew = 0;
  test::ForEachKillPoint(
      [this] { WriteOld(); },
      [this] {
        TBrdData brd;
        return SaveNew(brd).ok();
      },
      [&](int n, bool) {
        const std::string print = LoadPrint();
        if (print == oldPrint_) {
          ++asOld;
        } else if (print == newPrint_) {
          ++asNew;
        } else {
          ADD_FAILURE() << "killed at step " << n << ", the board reads as\n" << print;
        }
        EXPECT_TRUE(Traces(Folder()).empty()) << "after step " << n << ": " << Traces(Folder())[0];
      },
      200);
  // Kills before the commit leave the old board, kills after it the new one.
  EXPECT_GT(asOld, 3);
  EXPECT_GT(asNew, 3);
}

// A board with an interrupted save is completed by the next save too, not only by a load.
TEST_F(BoardSaveTest, ASaveAfterAnInterruptedOneStartsFromACompleteBoard) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    gKillAt = 12;
    SetSaveStepHook(KillAtStep);
    TBrdData brd;
    ::_exit(SaveNew(brd).ok() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status));
  TBrdData brd;
  MakeOld(brd);
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  EXPECT_TRUE(Traces(Folder()).empty());
  EXPECT_EQ(oldPrint_, LoadPrint());
}

// ---- The disk itself ---------------------------------------------------------------------------

// Runs body in a child process with its own mount table; the test is skipped when mounting is
// not allowed here. body returns an empty text on success, else what went wrong.
void InMountNamespace(const std::function<std::string()>& body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      ::_exit(77);
    }
    const std::string problem = body();
    if (problem == "skip") ::_exit(77);
    if (!problem.empty()) std::fprintf(stderr, "%s\n", problem.c_str());
    ::_exit(problem.empty() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "mounting is not possible here";
  EXPECT_EQ(0, WEXITSTATUS(status));
}

TEST_F(BoardSaveTest, AFullDiskLeavesTheOldBoard) {
  const std::string base = base_ / "disk";
  fs::create_directories(base);
  const std::string oldPrint = oldPrint_, newPrint = newPrint_;
  InMountNamespace([&]() -> std::string {
    if (::mount("tmpfs", base.c_str(), "tmpfs", 0, "size=256k") != 0) return "skip";
    WriteOldIn(base);
    // Fill the disk, then free it page by page until the save fits.
    const std::string filler = base + "/filler";
    {
      std::FILE* f = std::fopen(filler.c_str(), "wb");
      const std::string page(4096, 'x');
      while (std::fwrite(page.data(), 1, page.size(), f) == page.size() && std::fflush(f) == 0) {
      }
      std::fclose(f);
    }
    const uintmax_t full = fs::file_size(filler);
    int failures = 0;
    for (uintmax_t k = 0; k <= 32; ++k) {
      fs::resize_file(filler, full > k * 4096 ? full - k * 4096 : 0);
      TBrdData brd;
      if (!brd.LoadBrd(base, "B").ok()) return "the old board does not load";
      EditToNew(brd);
      const TStatus st = brd.SaveBrd(base + "/B", false);
      const std::string print = LoadPrintIn(base);
      if (!Traces(base + "/B").empty()) return "litter after a save: " + Traces(base + "/B")[0];
      if (st) {
        if (print != newPrint) return "saved, but the board reads as\n" + print;
        return failures > 0 ? "" : "the full disk did not stop the save";
      }
      ++failures;
      if (!brd.Modified) return "a failed save cleared Modified";
      if (print != oldPrint) return "after '" + st.Msg() + "' the board reads as\n" + print;
    }
    return "the save never fitted";
  });
}

TEST_F(BoardSaveTest, AStaleFileOnAMountPointFailsTheSaveBeforeTheSwitch) {
  const std::string other = base_ / "other.txt";
  WriteBytes(other, "x");
  const std::string folder = Folder(), oldPrint = oldPrint_;
  const std::string base = base_.Path();
  InMountNamespace([&]() -> std::string {
    const std::string car2 = folder + "/car/2.txt";
    const std::string bytes = ReadBytes(car2);
    WriteBytes(other, bytes);
    if (::mount(other.c_str(), car2.c_str(), nullptr, MS_BIND, nullptr) != 0) return "skip";
    TBrdData brd;
    if (!brd.LoadBrd(base, "B").ok()) return "the old board does not load";
    EditToNew(brd);
    const TStatus st = brd.SaveBrd(folder, false);
    if (st) return "the save reported success";
    if (st.Msg().find("car/2.txt") == std::string::npos) return "message: " + st.Msg();
    if (!brd.Modified) return "a failed save cleared Modified";
    if (LoadPrintIn(base) != oldPrint) return "the board changed:\n" + LoadPrintIn(base);
    return "";
  });
}

}  // namespace
}  // namespace ramvel
