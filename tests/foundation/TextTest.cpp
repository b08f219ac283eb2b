// Times of day as text, half-width folding and the small text functions.
#include <gtest/gtest.h>

#include "foundation/UrwCmnDef.h"

namespace ramvel {
namespace {

TEST(TimeToText, HoursArePaddedAndRunPastMidnight) {
  EXPECT_EQ(TimeToText(0, false), " 400");
  EXPECT_EQ(TimeToText(82800, false), "2700");
  EXPECT_EQ(TimeToText(3723, true), " 502.03");
  EXPECT_EQ(TimeToText(8 * 3600 + 300, false), "1205");
  EXPECT_EQ(TimeToText(21 * 3600 + 30 * 60 + 7, true), "2530.07");
}

struct TimeCase {
  const char* text;
  bool ok;
  int32_t t;  // seconds from 04:00 when ok
};

TEST(TextToTime, Cases) {
  const TimeCase cases[] = {
      {" 400", true, 0},
      {"2700", true, 82800},
      {"2701", false, 0},
      {"359", false, 0},
      {"1260", false, 0},
      {"1230.75", true, 8 * 3600 + 30 * 60 + 75},
      {" 930 ", true, 5 * 3600 + 30 * 60},
      {"630", true, 2 * 3600 + 30 * 60},
      {"1830.15", true, 14 * 3600 + 30 * 60 + 15},
      {"", false, 0},
      {"   ", false, 0},
      {"12a0", false, 0},
      {"1230.x", false, 0},
      {"1230.", false, 0},
      {"-400", false, 0},
  };
  for (const TimeCase& c : cases) {
    int32_t t = -99;
    EXPECT_EQ(TextToTime(c.text, t), c.ok) << "'" << c.text << "'";
    if (c.ok) {
      EXPECT_EQ(t, c.t) << "'" << c.text << "'";
    }
  }
}

TEST(TextToTime, ReadsBackWhatTimeToTextWrites) {
  for (int32_t t : {0, 59, 3600, 3723, 45296, 82800}) {
    int32_t back = -1;
    ASSERT_TRUE(TextToTime(TimeToText(t, true), back)) << t;
    EXPECT_EQ(back, t);
    ASSERT_TRUE(TextToTime(TimeToText(t, false), back)) << t;
    EXPECT_EQ(back, t - t % 60);
  }
}

TEST(ToHalfWidth, FoldsFullWidthAsciiAndTheIdeographicSpace) {
  EXPECT_EQ(ToHalfWidth("１２３０"), "1230");
  EXPECT_EQ(ToHalfWidth("ＡＢｃ"), "ABc");
  EXPECT_EQ(ToHalfWidth("１　２"), "1 2");
  EXPECT_EQ(ToHalfWidth("－５．５"), "-5.5");
  EXPECT_EQ(ToHalfWidth("！～"), "!~");
  EXPECT_EQ(ToHalfWidth("駅ポ12"), "駅ポ12");
}

TEST(TextBeforeAfter, FirstOccurrenceOrEmpty) {
  EXPECT_EQ(TextBefore("101,普通 はやて", ","), "101");
  EXPECT_EQ(TextBefore("101", ","), "");
  EXPECT_EQ(TextAfter("a=b=c", '='), "b=c");
  EXPECT_EQ(TextAfter("abc", '='), "");
  EXPECT_EQ(PtToText({-12, 34}), "-12,34");
}

}  // namespace
}  // namespace ramvel
