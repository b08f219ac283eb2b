// The station designer's pictures: the pieces in their cells, the matrix with the warning colours
// of the layout check, the palette, the entry strips, and the entry crossing dialog's picture.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPoint>
#include <cstdint>

#include "station_designer/UrwStaEditor.h"
#include "station_designer/UrwStaEntConn.h"

namespace ramvel {

// Height of the designer picture: the matrix takes rows 0..399 and the strips reach y = 400.
constexpr int32_t kStaPicH = kMatrixH + 1;

// Colours of the designer (0xRRGGBB).
inline constexpr uint32_t kClrStaBack = 0x808080;      // matrix and palette ground
inline constexpr uint32_t kClrStaBand = 0xC0C0C0;      // columns 9 to 12
inline constexpr uint32_t kClrPiece = 0x008000;        // track piece; held piece that fits
inline constexpr uint32_t kClrPieceErr = 0x808000;     // track piece badly joined
inline constexpr uint32_t kClrErrMark = 0xFF0000;      // edge marks, refused held piece
inline constexpr uint32_t kClrStaHome = 0x800000;      // platform
inline constexpr uint32_t kClrHomeEdge = 0xC0C0C0;     // platform outline
inline constexpr uint32_t kClrHomeTrack = 0x000080;    // platform track
inline constexpr uint32_t kClrHomeNo = 0xFFFF00;       // its number
inline constexpr uint32_t kClrHomeNoDup = 0xFF0000;    // a number an earlier one has
inline constexpr uint32_t kClrFillStart = 0x00FFFF;    // pending row-fill start
inline constexpr uint32_t kClrPalettePick = 0xFF0000;  // palette piece under the pointer
inline constexpr uint32_t kClrLead = 0x0000FF;         // entry leads
inline constexpr uint32_t kClrLeadBad = 0xFF0000;      // leads no track reaches
inline constexpr uint32_t kClrEntLand = 0xC5AF6D;      // ground of the crossing picture

// The pointer over the designer picture, in picture pixels; In is false outside it.
struct TStaPointer {
  bool In = false;
  int32_t X = 0;
  int32_t Y = 0;
};

// How one piece is painted: its body colour, and for a platform track its number (negative:
// none, as in the palette) and whether the number is shown as a duplicate.
struct TPieceLook {
  QColor Fill;
  int32_t HomeNo = -1;
  bool HomeNoDup = false;
};

// The body colour of a piece of the given type as the matrix shows it without errors.
QColor PieceColour(int32_t type);

// Draws one piece with the top-left corner of its first cell at topLeft: track pieces as cells
// with their track lines (pairs of white lines), platforms and platform tracks as bars of four
// cells, a platform track with its number.
void DrawStaPiece(QPainter& p, const TStaPanel& panel, QPoint topLeft, const TPieceLook& look);

// Draws the whole designer picture (kStaClientW x kStaPicH) from the editor's state and the
// check's result: the strips, the matrix with every piece and its warning colours, the pending
// row-fill start, the palette and, at the pointer, the held piece.
void DrawStaEditor(QPainter& p, const TStaEditor& ed, const TStaCheck& check,
                   const TStaPointer& ptr);

// Draws the entry crossing dialog's picture (TStaEntConn::kPicSize square) at the origin.
void DrawEntConn(QPainter& p, const TStaEntConn& conn);

}  // namespace ramvel
