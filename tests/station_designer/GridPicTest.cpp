// The generated double-track station: every size and every end closed or open builds through
// the designer without errors, with two platform tracks per size step and the entries asked for.
#include <gtest/gtest.h>

#include "StaPicture.h"
#include "station_designer/UrwStaGridPic.h"

namespace ramvel {
namespace {

TEST(GridPic, PassingStationsOfEverySizeBuildCleanly) {
  struct TCase {
    bool Open0, Open1;
  };
  for (const TCase c : {TCase{true, true}, TCase{false, true}, TCase{true, false}}) {
    for (int32_t perSide = 1; perSide <= kMaxTracksPerSide; ++perSide) {
      SCOPED_TRACE(testing::Message() << perSide << " " << c.Open0 << c.Open1);
      TStaObj sta;
      ASSERT_TRUE(MakePictureSta(PassingStationPic("駅", perSide, c.Open0, c.Open1),
                                 test::StdPanels(), sta)
                      .ok());
      EXPECT_FALSE(sta.IsErr);
      std::vector<std::string> homes;
      sta.ListHomes(homes);
      EXPECT_EQ(homes.size(), static_cast<size_t>(2 * perSide));
      EXPECT_EQ(sta.EntCount[0], c.Open0 ? 2 : 0);
      EXPECT_EQ(sta.EntCount[1], c.Open1 ? 2 : 0);
    }
  }
}

// A train of either direction can reach and leave every track: from each track a way leads out
// at each open end to both of its entries (its own main track and, over the crossover, the
// other), also where the tracks are too many for islands and lie in every row.
TEST(GridPic, EveryTrackLeadsToBothEntriesOfEachOpenEnd) {
  for (int32_t perSide = 1; perSide <= kMaxTracksPerSide; ++perSide) {
    SCOPED_TRACE(perSide);
    TStaObj sta;
    ASSERT_TRUE(MakePictureSta(PassingStationPic("駅", perSide), test::StdPanels(), sta).ok());
    for (int32_t home = 1; home <= 2 * perSide; ++home) {
      for (int32_t side = 0; side < 2; ++side) {
        std::vector<std::string> paths;
        ASSERT_TRUE(sta.ListPathsFromHome(home, side, paths)) << home << " " << side;
        EXPECT_GE(paths.size(), 2u) << home << " " << side;
      }
    }
  }
  // Eight tracks a side do not fit the grid (seven rows a side, rows 4 to 17): the largest
  // design is made.
  TStaObj big;
  ASSERT_TRUE(
      MakePictureSta(PassingStationPic("駅", kMaxTracksPerSide + 1), test::StdPanels(), big).ok());
  std::vector<std::string> homes;
  big.ListHomes(homes);
  EXPECT_EQ(homes.size(), 14u);
}

}  // namespace
}  // namespace ramvel
