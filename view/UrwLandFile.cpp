// Reading the terrain bitmap: checked before it is decoded, and turned into the grid of colours
// that the board view works on.
#include "view/UrwLandFile.h"

#include <sys/stat.h>

#include <QImageReader>
#include <QString>
#include <cerrno>
#include <cstring>

namespace ramvel {

// A terrain of more pixels than this is refused before it is decoded: its grids would take
// gigabytes.
constexpr int64_t kMaxLandPixels = 40'000'000;

namespace {

TStatus CheckLandFile(const std::string& file) {
  struct stat sb {};
  if (::stat(file.c_str(), &sb) != 0) {
    return TStatus::Error(file + ": 地形図を開けません（" + std::strerror(errno) + "）");
  }
  // A FIFO or a device would hang the reader or feed it without end.
  if (!S_ISREG(sb.st_mode)) return TStatus::Error(file + ": 地形図が通常のファイルではありません");
  return TStatus::Ok();
}

}  // namespace

TStatus ReadLandFile(const std::string& file, QImage& out) {
  if (TStatus st = CheckLandFile(file); !st) return st;
  QImageReader reader(QString::fromStdString(file));
  const QSize size = reader.size();
  if (!reader.canRead()) {
    return TStatus::Error(file + ": 地形図を読み込めません（" + reader.errorString().toStdString() +
                          "）");
  }
  if (size.isValid() && (size.width() > kMaxLandDots || size.height() > kMaxLandDots ||
                         int64_t{size.width()} * size.height() > kMaxLandPixels)) {
    return TStatus::Error(file + ": 地形図が大きすぎます（一辺 " + IntText(kMaxLandDots) +
                          " ドット、全体で " + IntText(kMaxLandPixels) + " ドットまで）");
  }
  out = reader.read();
  if (out.isNull()) {
    return TStatus::Error(file + ": 地形図を読み込めません（" + reader.errorString().toStdString() +
                          "）");
  }
  return TStatus::Ok();
}

TLandGrid GridOf(const QImage& img) {
  const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
  TLandGrid g;
  g.W = rgb.width();
  g.H = rgb.height();
  g.Rgb.resize(static_cast<size_t>(g.W) * static_cast<size_t>(g.H));
  for (int y = 0; y < g.H; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uint32_t* out = g.Rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(g.W);
    for (int x = 0; x < g.W; ++x) out[x] = line[x] & 0xFFFFFFu;
  }
  return g;
}

}  // namespace ramvel
