// The board drawn into a picture with the board view's own drawing, at any position, scale and
// size, and pictures written as PNG files whole or not at all.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>

#include "foundation/UrwStatus.h"
#include "view/UrwBrdEditor.h"

namespace ramvel {

// The largest side of a picture, in pixels: beyond it a picture of the whole board at a fine
// scale would need gigabytes.
inline constexpr int32_t kMaxImageSide = 16384;

// What a picture shows: the board metres at its top-left corner, metres per pixel (one of
// kZooms) and its size in pixels.
struct TBrdImageView {
  int32_t XLeft = 0, YTop = 0;
  int32_t MPerP = 18;
  int32_t W = 800, H = 600;
};

// The whole terrain at mPerP metres per pixel (the size rounded up to whole pixels).
TBrdImageView WholeBoardView(const TBrdEdit& ed, int32_t mPerP);

// Draws the board as the view shows it in its present mode and time, but with view v, and puts
// the view's position, scale and size back afterwards. The view's frames (LayerBmp, FrameBmp)
// then still hold the picture: a window redraws (recomputing) before it shows them again. The
// position is kept within the terrain as scrolling keeps it, and v tells where the picture was
// drawn. A null picture when nothing could be drawn.
QImage DrawBrdImage(TBrdEdit& ed, TBrdImageView& v);

// Writes img as PNG at path: a regular file is replaced only once the new one is complete; a
// path naming something else (a device, a pipe) is written in place. The message names path.
TStatus WritePngFile(const QImage& img, const std::string& path);

}  // namespace ramvel
