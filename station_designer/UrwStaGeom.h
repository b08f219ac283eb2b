// Compiling a station's grid of pieces and its entries into its track segments, turnouts and
// platform outlines in station-local metres.
#pragma once

#include <cstdint>

#include "model/UrwStaObj.h"
#include "station_designer/UrwStaPanel.h"

namespace ramvel {

// Station-local positions of the grid: the left edge of column col, and a height h (half rows
// of a piece, 1 = the middle of the piece's first row) in row row.
int32_t ColLeftU(int32_t col);
int32_t HeightV(int32_t row, int32_t h);
// v of entry ent of a side with n entries, at the matrix edge and at the station end alike.
int32_t EntV(int32_t n, int32_t ent);

// Replaces Rails, Pts and Homes with what the grid and the entries describe. Order of Rails:
// turnout segments and platform tracks as their pieces are met column by column, then the
// plain runs, then the entry leads of side 0 and of side 1, each side's crossing leads last.
// A crossing that names entries the side does not have is dropped (EntCrs of that side is
// cleared), so that no lead ends beyond the side's entry slots.
void CompileSta(TStaObj& sta, const TStaPanels& panels);

}  // namespace ramvel
