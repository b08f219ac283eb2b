// Times of day as text, half-width folding and the small text functions.
#include <gtest/gtest.h>

#include "foundation/UrwCmnDef.h"
#include "foundation/UrwTextRec.h"

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

// Blanks are the space and every control character; everything above 0x20 stays, including the
// bytes of Shift-JIS and UTF-8 text and the ideographic space, which is a name's own business.
TEST(TrimBlanks, TakesSpacesAndControlCharactersOffBothEndsOnly) {
  const struct {
    std::string_view in;
    std::string_view out;
  } cases[] = {
      {"", ""},
      {"   ", ""},
      {"\t\r\n", ""},
      {"  東京  ", "東京"},
      {"\t101M\r\n", "101M"},
      {"a b", "a b"},
      {" \x01x\x1f ", "x"},
      {"\x7f", "\x7f"},
      {"　駅　", "　駅　"},
      {std::string_view("\0z\0", 3), "z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimBlanks(c.in), c.out) << "[" << c.in << "]";
  }
  EXPECT_TRUE(IsBlank(' '));
  EXPECT_TRUE(IsBlank('\x1f'));
  EXPECT_FALSE(IsBlank('!'));
  EXPECT_FALSE(IsBlank(static_cast<char>(0x81)));  // a Shift-JIS lead byte
}

// Numbers and table fields lose only spaces and tabs: a carriage return or another control
// character at an end stays, so the value that carries it is refused rather than read.
TEST(TrimSpaceTab, TakesOnlySpacesAndTabsOffBothEnds) {
  const struct {
    std::string_view in;
    std::string_view out;
  } cases[] = {
      {"", ""},
      {" \t ", ""},
      {"\t 12 \t", "12"},
      {" a b ", "a b"},
      {"12\r", "12\r"},
      {"\n12", "\n12"},
      {" \x01x ", "\x01x"},
      {" 東京\t", "東京"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimSpaceTab(c.in), c.out) << "[" << c.in << "]";
  }
  int32_t v = 0;
  EXPECT_TRUE(ParseInt("\t+42 ", v));
  EXPECT_EQ(v, 42);
  EXPECT_FALSE(ParseInt("42\r", v));
}

}  // namespace
}  // namespace ramvel
