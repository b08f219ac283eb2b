// The piece definitions and palette: the shipped files and the readers' failure rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "StaPicture.h"
#include "TestSupport.h"
#include "station_designer/UrwStaPanel.h"

namespace ramvel {
namespace {

using test::DataDir;
using test::ReadBytes;
using test::StdPanels;
using test::TTempDir;
using test::WriteBytes;

using TPairSet = std::multiset<std::pair<int32_t, int32_t>>;

TPairSet PairsOf(const TStaPanel& p) {
  TPairSet out;
  for (const TPanelPair& pair : p.Pairs) out.insert({pair.L, pair.R});
  return out;
}

// The pairs as they look when the piece is turned upside down (heights counted from the other
// end of its 2 * cells half rows) or left to right (the ends exchanged).
TPairSet MirroredV(const TStaPanel& p) {
  TPairSet out;
  for (const TPanelPair& pair : p.Pairs) out.insert({2 * p.Cells - pair.L, 2 * p.Cells - pair.R});
  return out;
}

TPairSet MirroredH(const TStaPanel& p) {
  TPairSet out;
  for (const TPanelPair& pair : p.Pairs) out.insert({pair.R, pair.L});
  return out;
}

TEST(ShippedPanels, DefineFourteenPiecesWithPieceOnePlainStraight) {
  const TStaPanels& panels = StdPanels();
  ASSERT_TRUE(panels.Loaded());
  EXPECT_EQ(nullptr, panels.Get(0));
  EXPECT_EQ(nullptr, panels.Get(15));
  const TStaPanel* one = panels.Get(1);
  ASSERT_NE(nullptr, one);
  EXPECT_EQ(kPanelTrack, one->Type);
  EXPECT_EQ(1, one->Cells);
  EXPECT_EQ((std::vector<TPanelPair>{{1, 1}}), one->Pairs);
}

TEST(ShippedPanels, HaveTheKindsADesignerNeeds) {
  int homes = 0, homeTracks = 0, diagDown = 0, diagUp = 0, turnouts = 0, crossovers = 0;
  for (int32_t no = 1; no <= kPanelCnt; ++no) {
    const TStaPanel& p = *StdPanels().Get(no);
    if (p.Type == kPanelHome && p.Cells == 4) ++homes;
    if (p.Type == kPanelHomeTrack && p.Cells == 4) ++homeTracks;
    if (p.Type == kPanelTrack && p.Pairs.size() == 1 && p.Pairs[0].Slope() == 1) ++diagDown;
    if (p.Type == kPanelTrack && p.Pairs.size() == 1 && p.Pairs[0].Slope() == -1) ++diagUp;
    if (p.Type == kPanelPt && p.Pairs.size() == 2) ++turnouts;
    // A crossover: both rows straight plus a line from one row to the other.
    const TPairSet pairs = PairsOf(p);
    if (p.Type == kPanelPt && pairs.count({1, 1}) && pairs.count({3, 3}) &&
        (pairs.count({1, 3}) || pairs.count({3, 1}))) {
      ++crossovers;
    }
  }
  EXPECT_EQ(1, homes);
  EXPECT_EQ(1, homeTracks);
  EXPECT_GE(diagDown, 1);
  EXPECT_GE(diagUp, 1);
  EXPECT_EQ(4, turnouts);  // left- and right-hand, facing and trailing
  EXPECT_GE(crossovers, 2);
}

TEST(ShippedPanels, TurnoutRoutesUseEveryPairOnce) {
  for (int32_t no = 1; no <= kPanelCnt; ++no) {
    const TStaPanel& p = *StdPanels().Get(no);
    if (p.Type != kPanelPt) continue;
    std::multiset<int32_t> used;
    for (const std::string& route : p.Routes) {
      for (const std::string& item : SplitComma(route)) used.insert(std::stoi(item));
    }
    std::multiset<int32_t> all;
    for (size_t j = 1; j <= p.Pairs.size(); ++j) all.insert(static_cast<int32_t>(j));
    EXPECT_EQ(all, used) << "piece " << no;
  }
}

TEST(ShippedPanels, MirrorNumbersNameTheMirrorImage) {
  for (int32_t no = 1; no <= kPanelCnt; ++no) {
    const TStaPanel& p = *StdPanels().Get(no);
    const TStaPanel& v = *StdPanels().Get(p.RevV);
    const TStaPanel& h = *StdPanels().Get(p.RevH);
    EXPECT_EQ(p.Type, v.Type) << "piece " << no;
    EXPECT_EQ(p.Type, h.Type) << "piece " << no;
    EXPECT_EQ(no, v.RevV) << "piece " << no;
    EXPECT_EQ(no, h.RevH) << "piece " << no;
    if (!p.IsTrack()) continue;
    EXPECT_EQ(MirroredV(p), PairsOf(v)) << "piece " << no;
    EXPECT_EQ(MirroredH(p), PairsOf(h)) << "piece " << no;
    // Plain runs use only the first line, so it must be the mirrored one.
    if (p.Type == kPanelTrack) {
      EXPECT_EQ(2 * p.Cells - p.Pairs[0].L, v.Pairs[0].L) << "piece " << no;
      EXPECT_EQ(p.Pairs[0].R, h.Pairs[0].L) << "piece " << no;
    }
  }
}

TEST(ShippedPanels, PaletteShowsEveryPieceOnceOverItsWholeExtent) {
  std::map<int32_t, std::set<std::pair<int32_t, int32_t>>> cellsOf;
  std::map<int32_t, std::pair<int32_t, int32_t>> origin;
  for (int32_t row = 1; row <= kTblRows; ++row) {
    for (int32_t col = 1; col <= kTblCols; ++col) {
      const int32_t v = StdPanels().TblAt(col, row);
      if (v < 100) continue;
      cellsOf[v / 100].insert({v % 100 / 10, v % 10});
      if (StdPanels().TblDrawsAt(col, row)) {
        EXPECT_FALSE(origin.count(v / 100)) << "piece " << v / 100 << " drawn twice";
        origin[v / 100] = {col, row};
      }
    }
  }
  for (int32_t no = 1; no <= kPanelCnt; ++no) {
    const TStaPanel& p = *StdPanels().Get(no);
    std::set<std::pair<int32_t, int32_t>> want;
    for (int32_t dc = 0; dc < p.Cols(); ++dc) {
      for (int32_t dr = 0; dr < p.Rows(); ++dr) want.insert({dc, dr});
    }
    EXPECT_EQ(want, cellsOf[no]) << "piece " << no;
    ASSERT_TRUE(origin.count(no)) << "piece " << no;
    const auto [c, r] = origin[no];
    EXPECT_EQ(no, StdPanels().PanelAtTbl(c + p.Cols() - 1, r + p.Rows() - 1)) << "piece " << no;
  }
}

TEST(ShippedPanels, AreShiftJisWithCrLf) {
  for (const char* name : {"rw_panel.txt", "rw_tbl.txt"}) {
    const std::string bytes = ReadBytes(DataDir() + "/" + name);
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2)) << name;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\n') {
        EXPECT_EQ('\r', bytes[i - 1]) << name << " at " << i;
      }
    }
  }
}

// ---- Reading one line ----------------------------------------------------------------------

TEST(ParsePanelLine, ReadsPositionsAndRoutes) {
  TStaPanel p;
  ASSERT_TRUE(ParsePanelLine("2P11130000 0506|1|2", "f", 4, p));
  EXPECT_EQ(2, p.Cells);
  EXPECT_EQ(kPanelPt, p.Type);
  EXPECT_EQ((std::vector<TPanelPair>{{1, 1}, {1, 3}}), p.Pairs);
  EXPECT_EQ(5, p.RevV);
  EXPECT_EQ(6, p.RevH);
  EXPECT_EQ((std::vector<std::string>{"1", "2"}), p.Routes);
}

TEST(ParsePanelLine, TypeLettersAndPairCount) {
  struct TCase {
    std::string Line;
    int32_t Type;
    size_t Pairs;
  };
  const TCase cases[] = {
      {"4H00000000 0101", kPanelHome, 0},
      {"4R11000000 0101", kPanelHomeTrack, 1},
      {"1x11000000 0101", kPanelTrack, 1},
      {"1p11000000 0101", kPanelTrack, 1},  // letters count with their case
      // The count runs to the last pair with a left height, past an empty pair.
      {"3-11001300 0101", kPanelTrack, 3},
      {"3-11000003 0101", kPanelTrack, 1},  // a right height alone does not count
  };
  for (const TCase& c : cases) {
    TStaPanel p;
    ASSERT_TRUE(ParsePanelLine(c.Line, "f", 1, p)) << c.Line;
    EXPECT_EQ(c.Type, p.Type) << c.Line;
    EXPECT_EQ(c.Pairs, p.Pairs.size()) << c.Line;
  }
}

TEST(ParsePanelLine, TakesAtMostFourRoutesAndOnlyForTurnouts) {
  TStaPanel p;
  ASSERT_TRUE(ParsePanelLine("2P11130000 0506|1|2|1,2|2|1", "f", 1, p));
  EXPECT_EQ((std::vector<std::string>{"1", "2", "1,2", "2"}), p.Routes);
  ASSERT_TRUE(ParsePanelLine("1-11000000 0101|1|2", "f", 1, p));
  EXPECT_TRUE(p.Routes.empty());
}

TEST(ParsePanelLine, RefusesWhatIsNotANumberNamingLineAndPosition) {
  struct TCase {
    std::string Line;
    std::string Msg;
  };
  const TCase cases[] = {
      {"x-11000000 0101", "f: line 7, position 1 is not a number"},
      {"1-1a000000 0101", "f: line 7, position 4 is not a number"},
      {"1-11000000 0x01", "f: line 7, position 12-13 is not a number"},
      {"1-11000000 01", "f: line 7, position 14-15 is not a number"},
      {"1-11", "f: line 7, position 5 is not a number"},
      {"0-11000000 0101", "f: line 7: a piece covers at least one cell"},
      {"2P11130000 0506|1|3",
       "f: line 7: route 2 \"3\" is not a comma list of the piece's pair "
       "numbers"},
      {"2P11130000 0506|1,|2",
       "f: line 7: route 1 \"1,\" is not a comma list of the piece's "
       "pair numbers"},
  };
  for (const TCase& c : cases) {
    TStaPanel p;
    const TStatus st = ParsePanelLine(c.Line, "f", 7, p);
    EXPECT_FALSE(st) << c.Line;
    EXPECT_EQ(c.Msg, st.Msg()) << c.Line;
  }
}

// ---- Reading the files ---------------------------------------------------------------------

class PanelFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    panel_ = ReadBytes(DataDir() + "/rw_panel.txt");
    tbl_ = ReadBytes(DataDir() + "/rw_tbl.txt");
  }
  void Write(const std::string& panel, const std::string& tbl) {
    WriteBytes(dir_ / "rw_panel.txt", panel);
    WriteBytes(dir_ / "rw_tbl.txt", tbl);
  }
  // The text with line `line` (1-based) replaced.
  static std::string WithLine(const std::string& text, size_t line, const std::string& repl) {
    size_t start = 0;
    for (size_t i = 1; i < line; ++i) start = text.find("\r\n", start) + 2;
    const size_t end = text.find("\r\n", start);
    return text.substr(0, start) + repl + text.substr(end);
  }
  static std::string FirstLines(const std::string& text, size_t n) {
    size_t end = 0;
    for (size_t i = 0; i < n; ++i) end = text.find("\r\n", end) + 2;
    return text.substr(0, end);
  }
  TStatus Load() { return panels_.Load(dir_.Path()); }

  TTempDir dir_;
  std::string panel_, tbl_;
  TStaPanels panels_;
};

TEST_F(PanelFiles, ReadTheShippedFilesFromAFolder) {
  Write(panel_, tbl_);
  ASSERT_TRUE(Load());
  EXPECT_EQ(StdPanels().Get(11)->Routes, panels_.Get(11)->Routes);
  EXPECT_EQ(StdPanels().TblAt(3, 7), panels_.TblAt(3, 7));
}

TEST_F(PanelFiles, LinesBeyondTheFourteenthAreIgnored) {
  Write(panel_ + "garbage\r\n", tbl_ + "more\r\n");
  EXPECT_TRUE(Load());
}

TEST_F(PanelFiles, FailuresNameTheFileAndLeaveTheCatalogueAlone) {
  Write(panel_, tbl_);
  ASSERT_TRUE(Load());
  struct TCase {
    std::string Panel, Tbl, Msg;
  };
  const TCase cases[] = {
      {FirstLines(panel_, 13), tbl_, "rw_panel.txt: 14 lines are needed, the file has 13"},
      {panel_, FirstLines(tbl_, 7), "rw_tbl.txt: 8 lines are needed, the file has 7"},
      {WithLine(panel_, 3, "2-31000000 0215"), tbl_,
       "rw_panel.txt: line 3: the horizontal mirror 15 is not a piece number 1 to 14"},
      {WithLine(panel_, 3, "2-31000000 0102"), tbl_,
       "rw_panel.txt: line 3: the vertical mirror 1 differs from the piece in type or size"},
      {panel_, WithLine(tbl_, 2, " 200 401 60110x11201"),
       "rw_tbl.txt: line 2, position 13-16 is not a number"},
      {panel_, WithLine(tbl_, 2, " 200 401 601"),
       "rw_tbl.txt: line 2, position 13-16 is not a number"},
      {panel_, WithLine(tbl_, 2, " 200 401 6011500   0"),
       "rw_tbl.txt: line 2: 1500 names piece 15, which does not exist"},
  };
  for (const TCase& c : cases) {
    Write(c.Panel, c.Tbl);
    const TStatus st = Load();
    EXPECT_FALSE(st);
    EXPECT_EQ(c.Msg, st.Msg());
    EXPECT_EQ(1, panels_.Get(1)->Cells);  // the catalogue read before is kept
    EXPECT_EQ(1400, panels_.TblAt(1, 8));
  }
}

TEST_F(PanelFiles, AMissingFileIsAnError) {
  WriteBytes(dir_ / "rw_panel.txt", panel_);
  const TStatus st = Load();
  EXPECT_FALSE(st);
  EXPECT_NE(std::string::npos, st.Msg().find("rw_tbl.txt")) << st.Msg();
  EXPECT_FALSE(panels_.Loaded());
}

TEST(Palette, ValuesPickPiecesAnywhereOnThemButDrawOnlyAtTheirCorner) {
  const TStaPanels& p = StdPanels();
  // Platform track 14 spans palette row 8, columns 1-4: 1400 1410 1420 1430.
  EXPECT_EQ(1430, p.TblAt(4, 8));
  EXPECT_EQ(14, p.PanelAtTbl(4, 8));
  EXPECT_TRUE(p.TblDrawsAt(1, 8));
  EXPECT_FALSE(p.TblDrawsAt(4, 8));
  EXPECT_EQ(kNoPanel, p.PanelAtTbl(5, 8));  // an empty palette cell
  EXPECT_EQ(0, p.TblAt(6, 1));              // outside the palette
  EXPECT_EQ(kNoPanel, p.PanelAtTbl(0, 1));
}

}  // namespace
}  // namespace ramvel
