// A small board written to disk for the tests of loading and rendering.
#include "BoardFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "NetBuilder.h"
#include "ViewSupport.h"

namespace ramvel::test {

void FillSmallBoard(TBrdData& brd) {
  TStaObj* a = PutStation(brd, TwoPlatformStation(1001, "A"), 2, 3);
  TStaObj* b = PutStation(brd, TwoPlatformStation(2001, "B"), 24, 3);
  brd.RailReg({13, 3}, {11, 0}, a, b, 2);
  brd.ID_STA = 2;
  const int32_t no = brd.CarReg({0, "", 0x00336699, 4, 72}, MakeEntCode(1001, 1, 1));
  TCarObj* car = brd.FindCar(no, "");
  car->TmTbl.Add({"101,普通", 7200, 7200, MakeEntCode(1001, 1, 1)});
  car->TmTbl.Add({"", 7200 + 179, -1, MakeEntCode(2001, 1, 0)});
  brd.TrainReg(no, "101");
  brd.SCR_XLEFT = 0;
  brd.SCR_YTOP = 0;
  brd.SCR_MPERP = 9;
}

std::string WriteSmallBoard(const std::string& root, const std::string& name) {
  TBrdData brd;
  FillSmallBoard(brd);
  const std::string folder = BrdPath(root, name);
  std::filesystem::create_directories(folder);
  const TStatus st = brd.SaveBrd(folder, false);
  EXPECT_TRUE(st.ok()) << st.Msg();
  TLandGrid land = LandGrid(40, 10);
  land.Rgb[1 * 40 + 8] = kRgbSeaDot;
  land.Rgb[1 * 40 + 9] = 0x123456;
  EXPECT_TRUE(LandImage(land).save(QString::fromStdString(folder + "/Land.bmp"), "BMP"));
  return folder;
}

}  // namespace ramvel::test
