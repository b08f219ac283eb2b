// Capacity by compression, checked against consumption worked out by hand from the booked
// blocking times (running times in AnalysisBoards.h; a turnout is held in 15-second slots, from
// the second its route is set to the end of the slot in which the train clears it).
#include <gtest/gtest.h>

#include "AnalysisBoards.h"
#include "analysis/UrwCapacity.h"
#include "foundation/UrwUiHost.h"

namespace ramvel {
namespace {

struct TExpect {
  std::string Place;
  int32_t Trains, Compressed;
  double Percent;
  int32_t MinHeadway, MinBuffer;
};

const TCapPlace* FindPlace(const TLineOcc& occ, const TCapResult& cap, const std::string& name) {
  for (const TCapPlace& p : cap.Places) {
    if (occ.Places[p.Place].Name == name) return &p;
  }
  return nullptr;
}

void ExpectPlaces(const TLineOcc& occ, const TCapResult& cap, const std::vector<TExpect>& want) {
  for (const TExpect& w : want) {
    SCOPED_TRACE(w.Place);
    const TCapPlace* p = FindPlace(occ, cap, w.Place);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Trains, w.Trains);
    EXPECT_EQ(p->Compressed, w.Compressed);
    EXPECT_NEAR(p->Percent, w.Percent, 0.01);
    EXPECT_EQ(p->MinHeadway, w.MinHeadway);
    EXPECT_EQ(p->MinBuffer, w.MinBuffer);
  }
}

class Capacity : public ::testing::Test {
 protected:
  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

// Train 1 holds the block A-B 1055-1114 (55 s leaving A, 59 s in the block), train 2 1155-1214.
// Compressed, train 2 enters the block as train 1 leaves it: 41 s earlier, the pair holds the
// section 2 × 59 = 118 s, 19.67 % of the 600-s window, and the buffer is the 41 s. At A both
// leave over one entry lead (1 1000-1055, 2 1100-1155) and one crossover, which train 1 sets
// straight from 1000 until the end of the slot 1055 falls in (1065) and train 2 to the loop
// from 1100 until 1170 (1155 is in the slot 1155-1169): train 2 can come 35 s earlier, and
// then frees A at 1170 - 35 = 1135, 135 s after train 1 took it.
TEST_F(Capacity, TwoTrainsFollowingOnOneBlockCompressToTheBlockingTimes) {
  test::FillFollowLine(brd_);
  const TLineOcc occ = CollectLineOcc(brd_, BookLineForAnalysis(brd_));
  ASSERT_EQ(occ.Trains.size(), 2u);
  const TCapResult cap = AnalyseCapacity(occ, 1000, 1600);
  ExpectPlaces(occ, cap,
               {{"A駅〜B駅", 2, 118, 118 / 6.0, 100, 41},
                {"A駅 構内", 2, 135, 135 / 6.0, 100, 35},
                // Train 2 enters B-C at 1655, after the window: train 1 alone, 59 s.
                {"B駅〜C駅", 1, 59, 59 / 6.0, -1, -1}});
  // The compressed paths keep the order: the first train stays, the second moves.
  const TCapPlace* ab = FindPlace(occ, cap, "A駅〜B駅");
  ASSERT_EQ(ab->Paths.size(), 2u);
  EXPECT_EQ(occ.Trains[ab->Paths[0].Train].TrNo, "1");
  EXPECT_EQ(ab->Paths[0].Shift, 0);
  EXPECT_EQ(ab->Paths[1].Shift, 41);
  EXPECT_TRUE(host_.Events.empty());
}

// Only trains entering a place inside the window count, and the percentage is of the window.
TEST_F(Capacity, TheWindowChoosesTheTrains) {
  test::FillFollowLine(brd_);
  const TLineOcc occ = CollectLineOcc(brd_, BookLineForAnalysis(brd_));
  const TCapResult cap = AnalyseCapacity(occ, 1000, 1100);  // train 2 enters A-B at 1155
  ExpectPlaces(occ, cap, {{"A駅〜B駅", 1, 59, 59.0, -1, -1}});
  // Over 1000-1800 B-C holds both: 1355-1414 and 1655-1714, 241 s apart, compressed to 118 s.
  const TCapResult wide = AnalyseCapacity(occ, 1000, 1800);
  ExpectPlaces(occ, wide, {{"B駅〜C駅", 2, 118, 118 / 8.0, 300, 241}});
}

// D (down) and U (up) cross at the loop L. Each single-track section is held by one train after
// the other: 2 × 59 = 118 s. At L, D comes in straight 1114-1177 and leaves 1300-1355, U comes
// in to the loop 1214-1277 and leaves 1400-1455. U may move earlier until it meets D on L's
// side-0 lead (D off it at 1177, U on at 1400: 223 s) or turnout (D's setting ends 1185, U sets
// it at 1400: 215 s), but the order is kept: not before D, 100 s. Compressed, U enters with D at
// 1114 and frees L's side-0 turnout at 1470 - 100 = 1370, D its side-1 turnout at 1365: L is
// held 1114-1370, 256 s, 42.67 % of 600 s. The least buffer is U's release of the side-1
// turnout (1290) before D sets it (1300): 10 s. No two trains run the same way, so no headway.
TEST_F(Capacity, TrainsCrossingAtAPassingLoop) {
  test::FillLoopLine(brd_);
  const TLineOcc occ = CollectLineOcc(brd_, BookLineForAnalysis(brd_));
  const TCapResult cap = AnalyseCapacity(occ, 1000, 1600);
  ExpectPlaces(occ, cap,
               {{"A駅〜L駅", 2, 118, 118 / 6.0, -1, 341},
                {"L駅〜B駅", 2, 118, 118 / 6.0, -1, 141},
                {"L駅 構内", 2, 256, 256 / 6.0, -1, 10}});
  // The thresholds of the leaflet: peak hour for windows up to an hour, else the day.
  struct TCase {
    TTrafficKind Kind;
    int32_t Window, Want;
  };
  for (const TCase& k : {TCase{TTrafficKind::kSuburban, 3600, 85}, TCase{TTrafficKind::kSuburban, 3601, 70},
                         TCase{TTrafficKind::kMixed, 600, 75}, TCase{TTrafficKind::kMixed, 86400, 60}}) {
    EXPECT_EQ(CapThreshold(k.Kind, k.Window), k.Want);
  }
}

}  // namespace
}  // namespace ramvel
