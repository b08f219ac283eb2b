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

}  // namespace
}  // namespace ramvel
