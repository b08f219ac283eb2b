// Boards of many object files, read on both cores: the same board and the same message on every
// run, as when the files were read one by one in number order.
#include "BoardFixture.h"

namespace ramvel {
namespace {

using test::BoardTest;
using test::ReadBytes;
using test::WriteBytes;

class ManyFiles : public BoardTest {
 protected:
  // The small board with train sets 3..n added, each running train "T<k>" from A to B.
  void MakeBoard(int32_t n) {
    MakeSmallBoard();
    for (int32_t k = 3; k <= n; ++k) {
      AddCar(k, {{"", -1, -1, MakeEntCode(10001, 1, 0)},
                 {"T" + std::to_string(k) + ",普通", 600 + k, 660 + k, 10011},
                 {"", 900 + k, -1, 2011}});
    }
  }

  // Replaces the first line starting with key= in the record file at path.
  void SetLine(const std::string& path, const std::string& key, const std::string& value) {
    std::string bytes = ReadBytes(path);
    const size_t at = bytes.find(key + "=");
    ASSERT_NE(std::string::npos, at) << path;
    bytes.replace(at, bytes.find("\r\n", at) - at, key + "=" + value);
    WriteBytes(path, bytes);
  }

  // Loads five times; every load must fail with the same message, which is returned.
  std::string RefusedAlike() {
    std::string first;
    for (int run = 0; run < 5; ++run) {
      TBrdData brd;
      const std::string msg = Load(brd);
      EXPECT_FALSE(msg.empty());
      EXPECT_TRUE(brd.Cars.empty() && brd.Rails.empty() && brd.BrdName.empty());
      if (run == 0) first = msg;
      EXPECT_EQ(first, msg) << "run " << run;
    }
    return first;
  }
};

// Files 7 and 45 are both damaged; 7 comes first in number order (45 before 7 as text).
TEST_F(ManyFiles, TheFirstDamagedFileInNumberOrderIsNamed) {
  MakeBoard(60);
  SetLine(Folder() + "/car/45.txt", "TM_COUNT", "x");
  SetLine(Folder() + "/car/7.txt", "TM_COUNT", "y");
  EXPECT_EQ("car/7.txt: TM_COUNT が数値ではありません", RefusedAlike());
}

// Rail 7002 repeats the id of rail 5002 and rail 9002 is damaged: the repeat, met first in number
// order, is named against the earlier file.
TEST_F(ManyFiles, ARepeatedRailIdIsNamedAgainstTheEarlierFile) {
  MakeBoard(3);
  AddRail(5002, {1188, 0}, {2376, 0}, 2);
  AddRail(7002, {1188, 0}, {2376, 0}, 2);
  AddRail(9002, {1188, 0}, {2376, 0}, 2);
  SetLine(Folder() + "/rail/7002.txt", "LBL_ID", "5002");
  SetLine(Folder() + "/rail/9002.txt", "LENGTH", "z");
  EXPECT_EQ("rail/7002.txt: LBL_ID 5002 は rail/5002.txt と重複しています", RefusedAlike());
}

// Train sets 1..80 read whole on every run; a train number run by two sets (T40 also by set 12,
// t40 by set 70, which is the same number without regard to case) belongs to the first set in
// number order, as when the files were read one by one.
TEST_F(ManyFiles, EveryRunReadsTheSameBoardAndTrainNumbers) {
  MakeBoard(80);
  AddCar(
      12,
      {{"", -1, -1, MakeEntCode(10001, 1, 0)}, {"T40,普通", 600, 660, 10011}, {"", 900, -1, 2011}});
  AddCar(
      70,
      {{"", -1, -1, MakeEntCode(10001, 1, 0)}, {"t40,普通", 600, 660, 10011}, {"", 900, -1, 2011}});
  for (int run = 0; run < 5; ++run) {
    TBrdData brd;
    ASSERT_EQ("", Load(brd));
    ASSERT_EQ(80u, brd.Cars.size());
    // 101, 201, T3..T80 without T12 and T70 (their sets run T40 / t40 instead).
    EXPECT_EQ(2u + 78u - 2u, brd.TrainNos.size());
    EXPECT_EQ(12, brd.FindTrainCar("T40", "")->Id);
    EXPECT_EQ(12, brd.FindTrainCar("t40", "")->Id);
    EXPECT_EQ(1, brd.FindTrainCar("101", "")->Id);
    EXPECT_EQ(79, brd.FindTrainCar("T79", "")->Id);
    // Ordered by key as text: "1", "10" ... "19", "2", "20" ... "8", "80", "9".
    std::vector<int32_t> order;
    for (const auto& [key, car] : brd.Cars) {
      EXPECT_EQ(key, std::to_string(car->Id));
      EXPECT_EQ(3, car->TmTbl.Count()) << key;
      order.push_back(car->Id);
    }
    EXPECT_EQ((std::vector<int32_t>{1, 10, 11}),
              std::vector<int32_t>(order.begin(), order.begin() + 3));
    EXPECT_EQ((std::vector<int32_t>{8, 80, 9}), std::vector<int32_t>(order.end() - 3, order.end()));
  }
}

}  // namespace
}  // namespace ramvel
