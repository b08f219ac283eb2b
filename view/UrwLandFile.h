// Reading the terrain bitmap (Land.bmp) into a picture and into the view's grid of colours.
#pragma once

#include <QImage>
#include <string>

#include "engine/UrwBrdView.h"
#include "foundation/UrwStatus.h"

namespace ramvel {

// Reads the picture at file. Anything but a regular file (a FIFO would hang the reader), a
// picture larger than the view takes, or one that cannot be decoded is refused with a message
// naming the file; out is then unchanged.
TStatus ReadLandFile(const std::string& file, QImage& out);
// The picture's pixels as 0xRRGGBB, row by row.
TLandGrid GridOf(const QImage& img);

}  // namespace ramvel
