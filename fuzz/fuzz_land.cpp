// Fuzzes the terrain bitmap: the input is written as Land.bmp and read as the program reads it;
// whatever is taken becomes the view's terrain, and the sea edges of every view position and zoom
// that covers it are collected in design mode. Every edge must lie on the terrain.
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "engine/UrwBrdView.h"
#include "view/UrwLandFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ramvel;
  const std::string file = fuzz::ScratchDir() + "/Land.bmp";
  fuzz::WriteRaw(file, data, size);
  QImage img;
  if (!ReadLandFile(file, img).ok()) return 0;
  TBrdData brd;
  TBrdView view(brd);
  if (!view.SetLand(GridOf(img)).ok()) return 0;
  view.DesignMode = true;
  view.SetScrSize(64, 48);
  for (const int32_t mpp : {1, 18, 108}) {
    brd.SCR_MPERP = mpp;
    brd.SCR_XLEFT = brd.SCR_YTOP = 0;
    view.Recompute(0, 0);
    for (const TSeaEdge& e : view.SeaEdges) {
      for (const int32_t x : {e.X1, e.X2}) {
        if (x < 0 || x > view.LandWidth) std::abort();
      }
      for (const int32_t y : {e.Y1, e.Y2}) {
        if (y < 0 || y > view.LandHeight) std::abort();
      }
    }
  }
  return 0;
}
