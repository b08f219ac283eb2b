// The layout check: entry rows, neighbours, platform tracks and platform numbers.
#include <gtest/gtest.h>

#include "StaPicture.h"
#include "station_designer/UrwStaCheck.h"

namespace ramvel {
namespace {

using test::DesignSta;
using test::StdPanels;
using test::ThreeHomeSta;
using test::TStaPicture;

TEST(EntRows, AreCentredOnRowTenFromTheTop) {
  EXPECT_TRUE(EntRows(0).empty());
  EXPECT_EQ((std::vector<int32_t>{10}), EntRows(1));
  EXPECT_EQ((std::vector<int32_t>{10, 11}), EntRows(2));
  EXPECT_EQ((std::vector<int32_t>{9, 10, 11}), EntRows(3));
  EXPECT_EQ((std::vector<int32_t>{9, 10, 11, 12}), EntRows(4));
  EXPECT_EQ((std::vector<int32_t>{6, 7, 8, 9, 10, 11, 12, 13, 14, 15}), EntRows(10));
  EXPECT_FALSE(IsEntRow(0, 10));
  EXPECT_TRUE(IsEntRow(3, 9));
  EXPECT_FALSE(IsEntRow(3, 12));
}

class StaCheck : public ::testing::Test {
 protected:
  // Designs the picture and checks it.
  TStaCheck Check(const TStaPicture& pic) {
    const TStatus st = DesignSta(pic, ed_);
    EXPECT_TRUE(st) << st.Msg();
    return ed_.CheckAndDisplay();
  }
  static std::string ErrAt(const TStaCheck& c, int32_t col, int32_t row) {
    const TPieceCheck* p = c.PieceAt(col, row);
    return p != nullptr ? p->Err : "<no piece>";
  }

  TStaEditor ed_;
};

TEST_F(StaCheck, AWellConnectedStationHasNoErrors) {
  const TStaCheck c = Check(ThreeHomeSta());
  EXPECT_FALSE(c.IsErr);
  EXPECT_FALSE(ed_.Sta().IsErr);
  for (const TPieceCheck& p : c.Pieces) EXPECT_EQ("", p.Err) << p.Col << "," << p.Row;
  EXPECT_TRUE(c.Unreached[0].empty());
  EXPECT_TRUE(c.Unreached[1].empty());
  EXPECT_EQ(5u + 38u + 2u, c.Pieces.size());  // column 9, straight tracks, two turnouts
}

TEST_F(StaCheck, EntryRowsThatNoTrackReachesAreErrorsAndTheirLeadsRed) {
  TStaPicture pic = ThreeHomeSta();
  pic.Ent[0] = 3;  // rows 9, 10, 11: row 9 is not reached
  const TStaCheck c = Check(pic);
  EXPECT_TRUE(c.IsErr);
  EXPECT_TRUE(ed_.Sta().IsErr);
  EXPECT_EQ((std::vector<int32_t>{9}), c.Unreached[0]);
  EXPECT_TRUE(c.Unreached[1].empty());
  for (const TPieceCheck& p : c.Pieces) EXPECT_EQ("", p.Err) << p.Col << "," << p.Row;
  const std::vector<TStripLead> leads = ed_.StripLeads(0, c);
  ASSERT_EQ(3u, leads.size());
  EXPECT_TRUE(leads[0].Unreached);
  EXPECT_EQ(9, leads[0].InnerRow);
  EXPECT_FALSE(leads[1].Unreached);
  EXPECT_FALSE(leads[2].Unreached);
  for (const TStripLead& l : ed_.StripLeads(1, c)) EXPECT_FALSE(l.Unreached);
}

TEST_F(StaCheck, ATrackAtTheEdgeOutsideTheEntryRowsIsAnError) {
  TStaPicture pic = ThreeHomeSta();
  pic.Ent[1] = 1;  // only row 10 on the right
  const TStaCheck c = Check(pic);
  EXPECT_TRUE(c.IsErr);
  EXPECT_EQ("R", ErrAt(c, 20, 11));
  EXPECT_EQ("", ErrAt(c, 20, 10));
  EXPECT_TRUE(c.Unreached[1].empty());
}

TEST_F(StaCheck, APlatformTrackMayEndOnOneSideButNotOnBoth) {
  TStaPicture pic;
  pic.Ent[0] = 1;
  pic.Ent[1] = 0;
  pic.FirstRow = 10;
  pic.Rows = {"1 1 1 1 1 1 1 1 14 - - - . . . . . . . .",
              ". . . . . . . . 14 - - - . . . . . . . ."};
  const TStaCheck c = Check(pic);
  EXPECT_EQ("", ErrAt(c, 9, 10));    // open on the right only
  EXPECT_EQ("LR", ErrAt(c, 9, 11));  // open on both sides
  EXPECT_TRUE(c.IsErr);
}

TEST_F(StaCheck, OnlyTheSecondOfTwoEqualPlatformNumbersIsMarked) {
  TStaPicture pic;
  pic.Ent[0] = 2;
  pic.Ent[1] = 0;
  pic.FirstRow = 10;
  pic.Rows = {"1 1 1 1 1 1 1 1 14:4 - - - . . . . . . . .",
              "1 1 1 1 1 1 1 1 14:4 - - - . . . . . . . ."};
  const TStaCheck c = Check(pic);
  EXPECT_EQ("", ErrAt(c, 9, 10));
  EXPECT_EQ("H", ErrAt(c, 9, 11));
  EXPECT_TRUE(c.PieceAt(9, 11)->ErrH());
  EXPECT_FALSE(c.PieceAt(9, 11)->ErrL());
  EXPECT_TRUE(c.IsErr);
}

TEST_F(StaCheck, OppositeSlopesMustNotMeet) {
  TStaPicture pic;
  pic.Ent[0] = pic.Ent[1] = 1;
  pic.FirstRow = 10;
  // Down from row 10 to row 11 in column 3, then straight back up in column 4.
  pic.Rows = {"1 1 2 3 1 1 1 1 14 - - - 1 1 1 1 1 1 1 1",
              ". . | | . . . . . . . . . . . . . . . ."};
  const TStaCheck c = Check(pic);
  EXPECT_EQ("R", ErrAt(c, 3, 10));
  EXPECT_EQ("L", ErrAt(c, 4, 10));
  EXPECT_EQ("", ErrAt(c, 2, 10));
  EXPECT_EQ("", ErrAt(c, 5, 10));
  EXPECT_TRUE(c.IsErr);
}

TEST_F(StaCheck, ASlopeMeetingAStraightLineIsFine) {
  TStaPicture pic;
  pic.Ent[0] = pic.Ent[1] = 1;
  pic.FirstRow = 9;
  // Row 10 drops to row 11 in column 3 and runs on straight; a second drop in column 6 would
  // need a piece in row 12, so the line turns straight in row 11 and ends at the platform.
  pic.Rows = {". . . . . . . . . . . . . . . . . . . .", "1 1 2 . . . . . 14 - - - 1 1 1 1 1 1 1 1",
              ". . | 1 1 1 1 1 14 - - - . . . . . . . ."};
  const TStaCheck c = Check(pic);
  EXPECT_EQ("", ErrAt(c, 3, 10));
  EXPECT_EQ("", ErrAt(c, 4, 11));
  EXPECT_EQ("", ErrAt(c, 9, 11));  // a platform track open on the right
  EXPECT_FALSE(c.IsErr);
}

TEST_F(StaCheck, APlatformOrAnEmptyCellIsNoNeighbour) {
  TStaPicture pic = ThreeHomeSta();
  pic.Rows[0] = ". . . . . . . 1 13 - - - . . . . . . . .";  // beside the platform in row 9
  const TStaCheck c = Check(pic);
  EXPECT_EQ("LR", ErrAt(c, 8, 9));
  EXPECT_TRUE(c.IsErr);
}

TEST_F(StaCheck, CellsNamingUnknownPiecesAreSkippedAndSeenAsEmpty) {
  ASSERT_TRUE(DesignSta(ThreeHomeSta(), ed_));
  TStaObj sta = ed_.Sta();
  sta.SetCell(5, 10, StaCell{kCellOrigin, 99, 0, 0, 0});
  const TStaCheck c = CheckSta(sta, StdPanels());
  EXPECT_EQ(nullptr, c.PieceAt(5, 10));
  EXPECT_EQ("R", ErrAt(c, 4, 10));
  EXPECT_EQ("L", ErrAt(c, 6, 10));
  EXPECT_TRUE(c.IsErr);
}

}  // namespace
}  // namespace ramvel
