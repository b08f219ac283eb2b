// The board view's files: a board and its terrain read, the size label, the recoloured minimap
// with the view's outline, failures that name the file, and the board written back.
#include <gtest/gtest.h>

#include <filesystem>

#include "BoardFolder.h"
#include "TestSupport.h"
#include "ViewSupport.h"
#include "foundation/UrwSaveBatch.h"
#include "view/UrwBrdEditor.h"

namespace ramvel {
namespace {

using test::Px;
using test::ReadBytes;

class BoardFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApp();
    ed_.InitView(100, 200);
  }
  std::string WriteLand(const std::string& file, const TLandGrid& g) {
    const std::string path = dir_ / file;
    EXPECT_TRUE(test::LandImage(g).save(QString::fromStdString(path), "BMP"));
    return path;
  }

  test::TTempDir dir_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  test::TRecordingSink sink_;
  TBrdEdit ed_{&sink_};
};

TEST_F(BoardFiles, LoadBoardReadsTheBoardAndItsTerrain) {
  test::WriteSmallBoard(dir_.Path(), "SMALL");
  const TStatus st = ed_.LoadBoard(dir_.Path(), "SMALL");
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(ed_.Brd.BrdName, "SMALL");
  EXPECT_EQ(ed_.Brd.Stas.size(), 2u);
  EXPECT_EQ(ed_.View.LandWidth, 40 * 108);
  EXPECT_EQ(ed_.View.LandHeight, 10 * 108);
  EXPECT_TRUE(ed_.View.Land.IsSea(8, 1));
  EXPECT_EQ(sink_.LandSize, "横4km x 縦1km");
  EXPECT_EQ(ed_.View.ScaleIdx, 5);  // 9 m per pixel
  EXPECT_EQ(ed_.LandBmp.size(), QSize(40, 10));
}

// Nothing half-opened stays: a board without its terrain is not a board that could be saved.
TEST_F(BoardFiles, AMissingTerrainFailsAndLeavesNoBoard) {
  const std::string folder = test::WriteSmallBoard(dir_.Path(), "SMALL");
  std::filesystem::remove(folder + "/Land.bmp");
  const TStatus st = ed_.LoadBoard(dir_.Path(), "SMALL");
  EXPECT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("Land.bmp"), std::string::npos) << st.Msg();
  EXPECT_TRUE(ed_.Brd.Stas.empty());
  EXPECT_TRUE(ed_.Brd.BrdName.empty());
  EXPECT_TRUE(ed_.View.BrdPath.empty());
}

TEST_F(BoardFiles, AMissingBoardFailsWithTheBoardsMessage) {
  const TStatus st = ed_.LoadBoard(dir_.Path(), "NONE");
  EXPECT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("Board.txt"), std::string::npos) << st.Msg();
  EXPECT_TRUE(ed_.Brd.BrdName.empty());
}

TEST_F(BoardFiles, ATerrainThatCannotBeReadChangesNothing) {
  ASSERT_TRUE(ed_.LoadLand(WriteLand("good.bmp", test::LandGrid(30, 20))).ok());
  test::WriteBytes(dir_ / "bad.bmp", "BM this is not a bitmap");
  const TStatus st = ed_.LoadLand(dir_ / "bad.bmp");
  EXPECT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("bad.bmp"), std::string::npos) << st.Msg();
  EXPECT_EQ(ed_.View.LandWidth, 30 * 108);
  EXPECT_EQ(ed_.LandBmp.size(), QSize(30, 20));
  EXPECT_FALSE(ed_.LoadLand(dir_ / "missing.bmp").ok());
}

TEST_F(BoardFiles, SizeLabelTruncatesToWholeKilometres) {
  ASSERT_TRUE(ed_.LoadLand(WriteLand("l.bmp", test::LandGrid(100, 50))).ok());
  EXPECT_EQ(sink_.LandSize, "横10km x 縦5km");  // 10800 m x 5400 m
}

// A terrain 105 dots wide gives a thumbnail of the same pixels.
class MiniMap : public BoardFiles {
 protected:
  void SetUp() override {
    BoardFiles::SetUp();
    TLandGrid g = test::LandGrid(105, 52);
    g.Rgb[30 * 105 + 50] = kRgbSeaDot;
    g.Rgb[30 * 105 + 60] = 0x123456;
    ASSERT_TRUE(ed_.LoadLand(WriteLand("l.bmp", g)).ok());
    ed_.Brd.BrdName = "T";
  }
};

TEST_F(MiniMap, ThumbnailTakesTheViewsColoursForSeaAndLand) {
  ASSERT_EQ(ed_.LandThumb.size(), QSize(105, 52));
  EXPECT_EQ(Px(ed_.LandThumb, 50, 30), kClrSea);
  EXPECT_EQ(Px(ed_.LandThumb, 60, 30), 0x123456u);
  EXPECT_EQ(Px(ed_.LandThumb, 70, 30), kClrLand);
}

TEST_F(MiniMap, TheViewIsOutlinedInWhite) {
  ed_.Brd.SCR_MPERP = 18;
  ed_.Brd.SCR_XLEFT = 1080;
  ed_.Brd.SCR_YTOP = 540;
  ed_.DrawBoard(nullptr, true);
  ASSERT_EQ(sink_.MiniMapShown, 1);
  const QImage& m = sink_.MiniMap;
  // Dots 10..43 across and 5..21 down: left 105 * 10 / 105, right 105 * 43 / 105, top
  // 52 * 5 / 52, bottom 52 * 21 / 52; the outline covers 10..42 x 5..20.
  for (const QPoint p : {QPoint(10, 12), QPoint(42, 12), QPoint(20, 5), QPoint(20, 20)}) {
    EXPECT_EQ(Px(m, p.x(), p.y()), kClrMiniFrame) << p.x() << "," << p.y();
  }
  for (const QPoint p : {QPoint(20, 12), QPoint(43, 12), QPoint(20, 21), QPoint(9, 12)}) {
    EXPECT_EQ(Px(m, p.x(), p.y()), kClrLand) << p.x() << "," << p.y();
  }
  EXPECT_EQ(Px(ed_.LandThumb, 10, 12), kClrLand);  // the thumbnail itself stays clean
  ed_.DrawBoard(nullptr, true, 1, 0);              // half a view to the right: 100 pixels
  EXPECT_EQ(Px(sink_.MiniMap, 10, 12), kClrLand);
  EXPECT_EQ(Px(sink_.MiniMap, 26, 12), kClrMiniFrame);  // dot 27: 105 * 27 / 105
}

TEST_F(BoardFiles, SaveBoardWritesTheBoardBackUnchanged) {
  const std::string folder = test::WriteSmallBoard(dir_.Path(), "SMALL");
  const std::string before = ReadBytes(folder + "/Board.txt");
  const std::string railBefore = ReadBytes(folder + "/rail/1002.txt");
  ASSERT_TRUE(ed_.LoadBoard(dir_.Path(), "SMALL").ok());
  std::filesystem::remove(folder + "/Board.txt");
  // Gone since the board was read: refused, unless the user chose to write over it.
  EXPECT_TRUE(IsChangedElsewhere(ed_.SaveBoard(false)));
  EXPECT_FALSE(std::filesystem::exists(folder + "/Board.txt"));
  const TStatus st = ed_.SaveBoard(false, true);
  ASSERT_TRUE(st.ok()) << st.Msg();
  EXPECT_EQ(ReadBytes(folder + "/Board.txt"), before);
  EXPECT_EQ(ReadBytes(folder + "/rail/1002.txt"), railBefore);
  EXPECT_FALSE(ed_.Brd.Modified);
}

TEST_F(BoardFiles, EndEditClearsBothPanels) {
  ed_.View.DesignMode = false;
  ed_.View.EditMode = kEditPutRail;
  ed_.View.CurObjId = 5;
  ed_.EndEdit();
  EXPECT_EQ(ed_.View.DesignMode, 1);
  EXPECT_EQ(ed_.View.EditMode, kEditIdle);
  EXPECT_EQ(ed_.View.CurObjId, -1);
  EXPECT_EQ(sink_.StatusLog, (std::vector<std::string>{"0:", "1:"}));
}

}  // namespace
}  // namespace ramvel
