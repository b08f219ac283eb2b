// The "render" command: a board drawn to a PNG exactly as the board view draws it in run mode,
// and its refusals of bad arguments.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <sstream>

#include "BoardFolder.h"
#include "TestSupport.h"
#include "ViewSupport.h"
#include "view/UrwBrdEditor.h"

#include "cli/UrwCliRender.h"

namespace ramvel {
namespace {

using test::Px;

class CliRender : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApp();
    board_ = test::WriteSmallBoard(dir_.Path(), "SMALL");
  }
  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunRender(args, out_, err_);
  }
  // What the board view shows of the board in run mode at time t.
  QImage ViewFrame(int32_t w, int32_t h, int32_t mperp, int32_t t, bool labels) {
    TBrdEdit ed;
    ed.InitView(h, w);
    EXPECT_TRUE(ed.LoadBoard(dir_.Path(), "SMALL").ok());
    ed.Brd.SCR_MPERP = mperp;
    ed.View.DesignMode = false;
    ed.View.CurTime = t;
    ed.View.ShowTrNo = labels ? 1 : 0;
    ed.DrawBoard(nullptr, true);
    return ed.FrameBmp;
  }

  test::TTempDir dir_;
  std::string board_;
  std::ostringstream out_, err_;
};

TEST_F(CliRender, DrawsWhatTheBoardViewShowsAtThatTime) {
  const std::string png = dir_ / "out.png";
  ASSERT_EQ(
      Run({board_, png, "--time", "6:00:58", "--scale", "2", "--size", "800x300", "--labels"}), 0)
      << err_.str();
  QImage img(QString::fromStdString(png));
  ASSERT_EQ(img.size(), QSize(800, 300));
  img = img.convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(img, ViewFrame(800, 300, 2, 7200 + 58, true).convertToFormat(QImage::Format_RGB32));
  EXPECT_EQ(Px(img, 720, 162), 0x996633u);  // the running train, 52 m beyond A's edge
  EXPECT_NE(out_.str().find("out.png"), std::string::npos);
  EXPECT_TRUE(err_.str().empty()) << err_.str();
}

TEST_F(CliRender, DefaultsAreTheBoardsViewAtFourOClock) {
  const std::string png = dir_ / "out.png";
  ASSERT_EQ(Run({board_ + "/", png}), 0) << err_.str();
  QImage img(QString::fromStdString(png));
  ASSERT_EQ(img.size(), QSize(800, 600));
  EXPECT_EQ(img.convertToFormat(QImage::Format_RGB32),
            ViewFrame(800, 600, 9, 0, false).convertToFormat(QImage::Format_RGB32));
  // Sea dot (8, 1) at 9 m per pixel: (96, 12); grey from 4320 / 9 + 1 = 481.
  EXPECT_EQ(Px(img, 100, 15), kClrSea);
  EXPECT_EQ(Px(img, 500, 15), kClrOutside);
  EXPECT_EQ(Px(img, 110, 15), kClrLand);  // the odd-coloured dot (9, 1)
}

TEST_F(CliRender, AtMovesTheViewsCorner) {
  const std::string png = dir_ / "out.png";
  ASSERT_EQ(Run({board_, png, "--at", "432,0", "--size", "100x100", "--scale", "9"}), 0)
      << err_.str();
  const QImage img(QString::fromStdString(png));
  EXPECT_EQ(Px(img, (864 - 432) / 9 + 2, 14), kClrSea);
  EXPECT_NE(out_.str().find("from 432,0"), std::string::npos) << out_.str();
}

TEST_F(CliRender, BadArgumentsAreRefusedWithAMessage) {
  const std::string png = dir_ / "out.png";
  const std::vector<std::vector<std::string>> cases = {
      {board_},
      {board_, png, "extra"},
      {board_, png, "--time", "330"},
      {board_, png, "--time", "8:5"},
      {board_, png, "--scale", "5"},
      {board_, png, "--at", "1;2"},
      {board_, png, "--size", "0x10"},
      {board_, png, "--size", "100000x10"},
      {board_, png, "--colour", "red"},
      {board_, png, "--time"},
  };
  for (const auto& args : cases) {
    EXPECT_EQ(Run(args), 2) << args.back();
    EXPECT_FALSE(err_.str().empty()) << args.back();
  }
  EXPECT_FALSE(std::filesystem::exists(png));
}

// A full disk: the picture cannot be written, so the command fails instead of reporting success,
// and the device it was asked to write to stays what it was.
TEST_F(CliRender, APictureThatCannotBeWrittenWhollyFails) {
  EXPECT_EQ(Run({board_, "/dev/full"}), 1);
  EXPECT_NE(err_.str().find("/dev/full: the picture cannot be written"), std::string::npos)
      << err_.str();
  EXPECT_EQ(std::filesystem::status("/dev/full").type(), std::filesystem::file_type::character);
}

TEST_F(CliRender, AMissingBoardOrPictureFolderFails) {
  EXPECT_EQ(Run({dir_ / "NONE", dir_ / "out.png"}), 2);
  EXPECT_NE(err_.str().find("Board.txt"), std::string::npos) << err_.str();
  EXPECT_EQ(Run({board_, dir_ / "no/such/folder/out.png"}), 1);
  EXPECT_NE(err_.str().find("cannot be written"), std::string::npos) << err_.str();
}

// Train set 2 stands at station 9001, which is not on the board.
TEST_F(CliRender, ATrainThatCannotBeLocatedIsReported) {
  std::string car = test::ReadBytes(board_ + "/car/1.txt");
  const std::string stabling = IntText(MakeEntCode(1001, 1, 1));
  const size_t at = car.find(stabling);
  ASSERT_NE(at, std::string::npos) << car;
  car.replace(at, stabling.size(), IntText(MakeEntCode(9001, 1, 1)));
  test::WriteBytes(board_ + "/car/2.txt", car);
  ASSERT_EQ(Run({board_, dir_ / "out.png"}), 0) << err_.str();
  EXPECT_NE(err_.str().find("ERR2-DrawTrain-2"), std::string::npos) << err_.str();
}

}  // namespace
}  // namespace ramvel
