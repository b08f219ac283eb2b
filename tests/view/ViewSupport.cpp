// Helpers of the window tests.
#include "ViewSupport.h"

#include <QApplication>

namespace ramvel::test {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_view";
  static char* argv[] = {name, nullptr};
  static QApplication* app = QApplication::instance() == nullptr
                                 ? new QApplication(argc, argv)
                                 : qobject_cast<QApplication*>(QApplication::instance());
  (void)app;
}

TLandGrid LandGrid(int32_t w, int32_t h, uint32_t fill) {
  return TLandGrid{w, h,
                   std::vector<uint32_t>(static_cast<size_t>(w) * static_cast<size_t>(h), fill)};
}

QImage LandImage(const TLandGrid& grid) {
  QImage img(grid.W, grid.H, QImage::Format_RGB32);
  for (int y = 0; y < grid.H; ++y) {
    for (int x = 0; x < grid.W; ++x) {
      img.setPixel(x, y, 0xFF000000u | grid.Rgb[static_cast<size_t>(y * grid.W + x)]);
    }
  }
  return img;
}

uint32_t Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

int CountPx(const QImage& img, int x0, int y0, int x1, int y1, uint32_t rgb) {
  int n = 0;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      if (img.valid(x, y) && Px(img, x, y) == rgb) ++n;
    }
  }
  return n;
}

void TRecordingSink::SetStatusText(int panel, const std::string& text) {
  if (panel == 0 || panel == 1) Status[panel] = text;
  StatusLog.push_back(std::to_string(panel) + ":" + text);
}

void TRecordingSink::ShowMiniMap(const QImage& image) {
  MiniMap = image;
  ++MiniMapShown;
}

}  // namespace ramvel::test
