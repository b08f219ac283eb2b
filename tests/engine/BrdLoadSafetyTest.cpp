// Damaged board folders: each opens with what can be read or is refused with a message naming
// the file, quickly and within bounded memory, and saving after opening loses nothing on disk.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "AllocFail.h"
#include "BoardFixture.h"
#include "engine/UrwShellState.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::BoardTest;
using test::ReadBytes;
using test::WriteBytes;

std::string Joined(const std::vector<std::string>& notes) {
  std::string out;
  for (const std::string& n : notes) out += n + "\n";
  return out;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Replaces the value of key in the record file at path.
void SetKey(const std::string& path, const std::string& key, const std::string& value) {
  std::string bytes = ReadBytes(path);
  const size_t at = bytes.find(key + "=");
  ASSERT_NE(at, std::string::npos) << key;
  const size_t end = bytes.find("\r\n", at);
  bytes.replace(at, end - at, key + "=" + value);
  WriteBytes(path, bytes);
}

class LoadSafety : public BoardTest {
 protected:
  // The load fails, leaving no board and no name.
  std::string Refused() {
    TBrdData brd;
    const std::string msg = Load(brd);
    EXPECT_FALSE(msg.empty());
    EXPECT_TRUE(brd.BrdName.empty() && brd.Stas.empty() && brd.Rails.empty() && brd.Cars.empty());
    return msg;
  }
};

TEST_F(LoadSafety, AnAllocationFailureAnywhereLeavesNoBoard) {
  MakeSmallBoard();
  TBrdData brd;
  test::CountAllocations(true);
  ASSERT_EQ(Load(brd), "");
  const long total = test::CountAllocations(false);
  ASSERT_GT(total, 50);
  long failed = 0;
  for (long k = 1; k <= total; k += std::max(1L, total / 300)) {
    brd.BrdName = "OLD";
    test::FailAllocation(k);
    TStatus st;
    EXPECT_NO_THROW(st = brd.LoadBrd(base_.Path(), "B")) << k;
    test::FailAllocation(0);
    // A failure that the library absorbs (a sort falling back to working in place) loads the
    // whole board; any other leaves nothing.
    if (st.ok()) {
      EXPECT_EQ(brd.BrdName, "B") << k;
      EXPECT_TRUE(brd.Stas.size() == 2 && brd.Rails.size() == 1 && brd.Cars.size() == 2) << k;
      continue;
    }
    ++failed;
    EXPECT_TRUE(brd.BrdName.empty()) << k;
    EXPECT_TRUE(brd.Stas.empty() && brd.Rails.empty() && brd.Cars.empty()) << k;
  }
  EXPECT_GT(failed, 50);
}

TEST_F(LoadSafety, OversizedFilesAndLinesAreRefusedBeforeTheyAreRead) {
  MakeSmallBoard();
  const std::string car = Folder() + "/car/1.txt";
  const std::string good = ReadBytes(car);
  // 40 MiB in one list value.
  WriteBytes(car, good + "TM9=" + std::string(40 << 20, '|') + "\r\n");
  EXPECT_TRUE(Has(Refused(), "car/1.txt: ファイルが大きすぎます")) << Refused();
  WriteBytes(car, good + "TM9=" + std::string(2 << 20, '|') + "\r\n");
  EXPECT_TRUE(Has(Refused(), "car/1.txt: TM9 の行が長すぎます"));
  // A long list whose first items are all that is read is fine.
  WriteBytes(car, good);
  SetKey(car, "TM2", "600|660|10011|101|" + std::string(500000, '|'));
  TBrdData brd;
  EXPECT_EQ(Load(brd), "");
  EXPECT_EQ(brd.FindCar(1, "")->TmTbl.At(1).Txt, "101");
}

TEST_F(LoadSafety, OnlyRegularFilesAreRead) {
  MakeSmallBoard();
  const std::string car = Folder() + "/car/1.txt";
  ASSERT_EQ(::unlink(car.c_str()), 0);
  ASSERT_EQ(::symlink("/dev/zero", car.c_str()), 0);
  EXPECT_EQ(Refused(), "car/1.txt: 通常のファイルではありません");
  ASSERT_EQ(::unlink(car.c_str()), 0);
  const std::string board = Folder() + "/Board.txt";
  ASSERT_EQ(::unlink(board.c_str()), 0);
  ASSERT_EQ(::mkfifo(board.c_str(), 0644), 0);  // nobody ever writes to it
  EXPECT_EQ(Refused(), "Board.txt: 通常のファイルではありません");
}

TEST_F(LoadSafety, NumbersThatTheEngineCannotHoldAreRefusedNamingFileAndKey) {
  struct TCase {
    const char* File;
    const char* Key;
    const char* Value;
    const char* Msg;
  };
  const TCase cases[] = {
      // A rail 1188 m between its ends may be at most 2 * 1188 + 648 m long.
      {"rail/1002.txt", "LENGTH", "2000000000",
       "rail/1002.txt: LENGTH が両端の距離に比べて長すぎます"},
      {"rail/1002.txt", "LENGTH", "2147483647",
       "rail/1002.txt: LENGTH が両端の距離に比べて長すぎます"},
      {"rail/1002.txt", "LENGTH", "3025", "rail/1002.txt: LENGTH が両端の距離に比べて長すぎます"},
      {"rail/1002.txt", "LBL_POS", "1188|0|2147483647|0", "rail/1002.txt: LBL_POS が範囲外です"},
      {"car/1.txt", "TM2", "600|2147483647|10011|101", "car/1.txt: TM2 が範囲外です"},
      {"car/1.txt", "TM2", "-5|660|10011|101", "car/1.txt: TM2 が範囲外です"},
      {"car/1.txt", "SPD", "2147483647", "car/1.txt: SPD が範囲外です"},
      {"Board.txt", "SCR_XLEFT", "2147483647", "Board.txt: SCR_XLEFT が範囲外です"},
  };
  for (const TCase& c : cases) {
    MakeSmallBoard();
    SetKey(Folder() + "/" + c.File, c.Key, c.Value);
    const std::string msg = Refused();
    EXPECT_EQ(msg.rfind(c.Msg, 0), 0u) << c.Key << "=" << c.Value << ": " << msg;
  }
  // The longest length still accepted.
  MakeSmallBoard();
  SetKey(Folder() + "/rail/1002.txt", "LENGTH", "3024");
  TBrdData brd;
  EXPECT_EQ(Load(brd), "");
}

TEST_F(LoadSafety, MissingAndEmptyStationLinesBothLeaveTheStationOut) {
  MakeSmallBoard();
  WriteBytes(Folder() + "/Board.txt",
             "SCR_XLEFT=0\r\nSCR_YTOP=0\r\nSCR_MPERP=12\r\nID_STA=1\r\n"
             "ID_RAIL=1\r\nSTA_COUNT=4\r\nSTA1=A\r\nSTA3=\r\nSTA4=B\r\n");
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.Stas.size(), 2u);
  const std::string notes = Joined(brd.LoadNotes);
  EXPECT_TRUE(Has(notes, "Board.txt: STA2 に駅名がありません")) << notes;
  EXPECT_TRUE(Has(notes, "Board.txt: STA3 に駅名がありません")) << notes;
}

TEST_F(LoadSafety, StrayFilesAreSkippedWithOneNoticeAndSurviveASave) {
  MakeSmallBoard();
  const std::vector<std::string> stray = {"rail/._1002.txt", "rail/.#1002.txt", "car/abc.txt",
                                          "car/Notes.TXT", "car/0.txt"};
  for (const std::string& f : stray) WriteBytes(Folder() + "/" + f, "junk\xff");
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.Rails.size(), 1u);
  EXPECT_EQ(brd.Cars.size(), 2u);
  ASSERT_EQ(brd.LoadNotes.size(), 2u);  // one per folder
  const std::string notes = Joined(brd.LoadNotes);
  for (const std::string& f : stray) EXPECT_TRUE(Has(notes, f)) << notes;
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  for (const std::string& f : stray) EXPECT_EQ(ReadBytes(Folder() + "/" + f), "junk\xff") << f;
}

TEST_F(LoadSafety, TwoFilesForOneNumberAreRefusedNamingBoth) {
  MakeSmallBoard();
  WriteBytes(Folder() + "/car/01.txt", ReadBytes(Folder() + "/car/1.txt"));
  EXPECT_EQ(Refused(), "car/01.txt と car/1.txt は同じ番号 1 のファイルです");
  fs::remove(Folder() + "/car/01.txt");
  // Two rail files holding one rail id.
  WriteBytes(Folder() + "/rail/9002.txt", ReadBytes(Folder() + "/rail/1002.txt"));
  EXPECT_EQ(Refused(), "rail/9002.txt: LBL_ID 1002 は rail/1002.txt と重複しています");
}

TEST_F(LoadSafety, ADuplicateStationIsToldAndStaysListed) {
  MakeSmallBoard();
  AddStation(2001, "C", {0, 1080}, {1188, 1080}, 1);  // the id of B
  WriteBoardTxt({"A", "B", "C"});
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.Stas.size(), 2u);
  ASSERT_EQ(brd.LoadNotes.size(), 1u);
  EXPECT_EQ(brd.LoadNotes[0], "C" + test::kLeftOut + "\nID 2001 は B駅と重複しています");
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  EXPECT_TRUE(
      Has(ReadBytes(Folder() + "/Board.txt"), "STA_COUNT=3\r\nSTA1=A\r\nSTA2=B\r\nSTA3=C\r\n"));
}

TEST_F(LoadSafety, AnUnreadableStationKeepsItsPlaceAndItsFileAndItsJoinsAreToldOnce) {
  MakeSmallBoard();
  {  // the rail's side 1 joins B
    TRailObj r;
    ASSERT_TRUE(r.LoadRail(Folder() + "/rail", "1002").ok());
    r.EntConn[1][1] = MakeEntCode(2001, 1, 0);
    r.EntConn[1][2] = MakeEntCode(2001, 2, 0);
    ASSERT_TRUE(r.SaveRail(Folder() + "/rail").ok());
  }
  SetKey(Folder() + "/station/B.txt", "RAIL_CNT", "x");
  const std::string bFile = ReadBytes(Folder() + "/station/B.txt");
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.LostStas, std::vector<std::string>{"B"});
  ASSERT_EQ(brd.LoadNotes.size(), 2u);
  EXPECT_EQ(brd.LoadNotes[0],
            "B" + test::kLeftOut + "\nstation/B.txt: RAIL_CNT が数値ではありません");
  EXPECT_EQ(brd.LoadNotes[1],
            "ボード上にない駅やレールにつながっている線路があります（2 箇所）:\n"
            "レール#1002 の端 1 の 1 番 → 駅 ID 2001\nレール#1002 の端 1 の 2 番 → 駅 ID 2001");
  EXPECT_TRUE(host_.Events.empty());  // the window shows the notes, not the reader
  ASSERT_TRUE(brd.SaveBrd(Folder(), false).ok());
  EXPECT_TRUE(Has(ReadBytes(Folder() + "/Board.txt"), "STA_COUNT=2\r\nSTA1=A\r\nSTA2=B\r\n"));
  EXPECT_EQ(ReadBytes(Folder() + "/station/B.txt"), bFile);
  EXPECT_EQ(brd.FindRail(1002, "")->EntConn[1][1], MakeEntCode(2001, 1, 0));
}

TEST_F(LoadSafety, ABoxFromDrawingGoesToTheSinkInstead) {
  MakeSmallBoard();
  TRailObj r;
  r.EntConn[0][1] = MakeEntCode(7001, 1, 0);  // a station that is not there
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  std::vector<std::string> sunk;
  {
    const TQuietBoxes quiet([&](const std::string& t) { sunk.push_back(t); });
    brd.SetNearStaFlag(r);
    EXPECT_FALSE(AskYesNo(kCapConfirm, "?"));
  }
  EXPECT_TRUE(host_.Events.empty());
  ASSERT_EQ(sunk.size(), 2u);
  EXPECT_EQ(sunk[0], "Error(SetNearStaFlag-STA-1:7001)");
  brd.SetNearStaFlag(r);  // outside the scope the box is shown again
  EXPECT_EQ(host_.Events.size(), 1u);
}

TEST_F(LoadSafety, CountersRiseToTheLargestSerialAndNewRailsNeverClash) {
  MakeSmallBoard();
  AddRail(7002, {0, 1080}, {1080, 1080}, 1);  // Board.txt says ID_RAIL=3, ID_STA=20
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.ID_RAIL, 7);
  EXPECT_EQ(brd.ID_STA, 20);
  brd.ID_RAIL = 6;  // even a counter set back never hands out a serial in use
  TRailObj* made = brd.RailReg({0, 20}, {10, 0}, nullptr, nullptr, 1);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Id, 8002);
  EXPECT_EQ(brd.FindRail(8002, ""), made);
}

TEST_F(LoadSafety, StationIdsBelowOneAreLeftOut) {
  MakeSmallBoard();
  SetKey(Folder() + "/station/B.txt", "LBL_ID", "-1999");
  TBrdData brd;
  ASSERT_EQ(Load(brd), "");
  EXPECT_EQ(brd.Stas.size(), 1u);
  EXPECT_TRUE(Has(Joined(brd.LoadNotes), "station/B.txt: LBL_ID が駅の ID ではありません"));
}

TEST_F(LoadSafety, ThousandsOfMissingStationsLoadQuickly) {
  const int n = 3000;
  std::vector<std::string> names;
  fs::create_directories(Folder() + "/station");
  for (int i = 0; i < n; ++i) {
    WriteBytes(Folder() + "/station/F" + std::to_string(i) + ".txt", "");
    names.push_back("M" + std::to_string(i));
  }
  WriteBoardTxt(names);
  TBrdData brd;
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_EQ(Load(brd), "");
  const auto secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(secs, 5.0);  // scanning the folder for every name took minutes
  EXPECT_EQ(brd.LostStas.size(), static_cast<size_t>(n));
  EXPECT_EQ(brd.LoadNotes[0], "M0" + test::kLeftOut + "\nstation/M0.txt: ファイルがありません");
}

TEST(ObjNames, OneRuleForEveryNameThatBecomesAFileName) {
  for (const char* bad :
       {"", " ", "\xE3\x80\x80 ", "a=b", "a/b", "a\\b", ".", "..", "a\tb", "\xF0\x9F\x98\x80"}) {
    EXPECT_FALSE(CheckObjName(bad, "駅名").ok()) << bad;
  }
  for (const char* good : {"A", "東京", " 東京", "a.b", "環状線"}) {
    EXPECT_TRUE(CheckObjName(good, "駅名").ok()) << good;
  }
  EXPECT_EQ(CheckObjName("a=b", "路線名").Msg(),
            "路線名に使えない文字（/ \\ = 制御文字）が含まれています: a=b");
  EXPECT_EQ(CheckBrdName(" ").Msg(), "ボード名が空白だけです");
  EXPECT_EQ(CheckBrdName("my.board").Msg(), "ボード名に「.」は使えません: my.board");
}

}  // namespace
}  // namespace ramvel
