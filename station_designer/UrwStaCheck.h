// The designer's layout check: how pieces meet their neighbours and the entry rows, and which
// pieces, edges, platform numbers and entry leads are in error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/UrwStaObj.h"
#include "station_designer/UrwStaPanel.h"

namespace ramvel {

// The matrix rows at which a side with n entries meets its entry tracks: 10 - (n - 1) div 2 and
// the n - 1 rows below it; none for n = 0.
int32_t FirstEntRow(int32_t n);
std::vector<int32_t> EntRows(int32_t n);
bool IsEntRow(int32_t n, int32_t row);

// One piece as the check saw it.
struct TPieceCheck {
  int32_t Col = 0;  // the piece's first cell
  int32_t Row = 0;
  int32_t PanelNo = kNoPanel;
  int32_t Type = kPanelTrack;
  int32_t HomeNo = 0;
  // "L": a track line on the left edge meets nothing that fits; "R" the same on the right;
  // "H": a platform track whose number an earlier one already has. Letters may repeat.
  std::string Err;

  bool ErrL() const { return Err.find('L') != std::string::npos; }
  bool ErrR() const { return Err.find('R') != std::string::npos; }
  bool ErrH() const { return Err.find('H') != std::string::npos; }
};

struct TStaCheck {
  // Every piece of a known type, column by column from column 1, rows 1 to 20 in a column.
  std::vector<TPieceCheck> Pieces;
  // Entry rows of side 0 and side 1 that no track reaches; their leads are shown in red.
  std::vector<int32_t> Unreached[2];
  bool IsErr = false;

  // The piece whose first cell is (col, row); null when there is none.
  const TPieceCheck* PieceAt(int32_t col, int32_t row) const;
};

// Checks the station's grid against its entry counts. Does not change the station; the designer
// stores IsErr itself.
TStaCheck CheckSta(const TStaObj& sta, const TStaPanels& panels);

}  // namespace ramvel
