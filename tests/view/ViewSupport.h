// Helpers of the window tests: the application object, terrains, pixel reading and a sink that
// records what the board view shows outside its picture.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdView.h"
#include "view/UrwBrdEditor.h"

namespace ramvel::test {

// Creates the one QApplication of the test program on first use (offscreen under ctest).
void EnsureApp();

// A terrain of w x h dots, all of one colour (0xRRGGBB).
TLandGrid LandGrid(int32_t w, int32_t h, uint32_t fill = kRgbLandDot);
// The same as a picture, for writing Land.bmp.
QImage LandImage(const TLandGrid& grid);

// The pixel at (x, y) as 0xRRGGBB.
uint32_t Px(const QImage& img, int x, int y);
// How many pixels of a rectangle have the colour.
int CountPx(const QImage& img, int x0, int y0, int x1, int y1, uint32_t rgb);

class TRecordingSink : public TBrdEditSink {
 public:
  std::string Status[2];
  std::vector<std::string> StatusLog;  // "<panel>:<text>" of every call
  std::vector<Qt::CursorShape> Cursors;
  std::string LandSize;
  QImage MiniMap;
  int MiniMapShown = 0;

  void SetStatusText(int panel, const std::string& text) override;
  void SetViewCursor(Qt::CursorShape shape) override { Cursors.push_back(shape); }
  void SetLandSizeText(const std::string& text) override { LandSize = text; }
  void ShowMiniMap(const QImage& image) override;
};

}  // namespace ramvel::test
