// The station designer's track pieces and palette, read from rw_panel.txt and rw_tbl.txt.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/UrwCmnDef.h"
#include "model/UrwStaObj.h"

namespace ramvel {

constexpr int32_t kPanelCnt = 14;  // pieces 1..14
constexpr int32_t kMaxPairs = 4;   // track lines of one piece
constexpr int32_t kTblCols = 5;    // palette columns
constexpr int32_t kTblRows = 8;    // palette rows
constexpr int32_t kNoPanel = 0;    // "no piece" wherever a piece number is expected
constexpr int32_t kFillPanel = 1;  // the plain straight track the row fill lays

enum : int32_t {
  kPanelTrack = 0,      // plain track
  kPanelPt = 1,         // turnout or crossing, with routes
  kPanelHome = 2,       // platform
  kPanelHomeTrack = 3,  // numbered platform track
};

// One track line of a piece. Heights count half rows from the top of the piece's first row:
// 1 is the middle of the first row, 2 the boundary below it, 3 the middle of the second row.
struct TPanelPair {
  int32_t L = 0;  // height at the left edge
  int32_t R = 0;  // height at the right edge

  // Rows the line climbs (negative) or falls (positive) from left to right.
  int32_t Slope() const { return (R - L) / 2; }
  friend bool operator==(const TPanelPair&, const TPanelPair&) = default;
};

struct TStaPanel {
  int32_t Cells = 0;  // cells covered: downwards for track pieces, rightwards for platforms
  int32_t Type = kPanelTrack;
  std::vector<TPanelPair> Pairs;
  int32_t RevV = 0;                 // the piece this one becomes when mirrored upside down
  int32_t RevH = 0;                 // ... when mirrored left to right
  std::vector<std::string> Routes;  // turnouts: comma lists of pair numbers (1-based), at most 4

  bool IsTrack() const { return Type == kPanelTrack || Type == kPanelPt; }
  // Extent in grid cells from the piece's first cell.
  int32_t Cols() const { return IsTrack() ? 1 : Cells; }
  int32_t Rows() const { return IsTrack() ? Cells : 1; }
};

// The whole catalogue. Pieces are numbered 1..kPanelCnt; anything else is "no such piece", which
// every user of the catalogue must expect because station files may name any number.
class TStaPanels {
 public:
  // Reads both files from the program folder; on failure the catalogue is left as it was and
  // the message names the file and what is wrong in it.
  TStatus Load(const std::string& progDir);
  TStatus LoadPanels(const std::string& path);
  TStatus LoadTbl(const std::string& path);

  // Null when no is not a piece number.
  const TStaPanel* Get(int32_t no) const;
  bool Loaded() const { return !panels_.empty(); }

  // The raw palette value at palette cell (col, row), 1-based; 0 outside the palette.
  int32_t TblAt(int32_t col, int32_t row) const;
  // The piece a click on palette cell (col, row) picks; kNoPanel for an empty palette cell.
  int32_t PanelAtTbl(int32_t col, int32_t row) const;
  // Whether the palette draws a piece with its top-left corner at (col, row).
  bool TblDrawsAt(int32_t col, int32_t row) const;

 private:
  std::vector<TStaPanel> panels_;  // panels_[no - 1]
  std::array<std::array<int32_t, kTblCols>, kTblRows> tbl_{};
};

// The piece that covers grid cell (col, row) as the grid tells it: the piece number of that
// cell and the position of its first cell. Panel is null outside the grid, on an empty cell and
// on a cell naming no known piece.
struct TPieceAt {
  int32_t Col = 0;  // first cell of the piece
  int32_t Row = 0;
  int32_t PanelNo = kNoPanel;
  const TStaPanel* Panel = nullptr;
  const StaCell* Cell = nullptr;  // the cell at (col, row) itself; null outside the grid
};
TPieceAt PieceAt(const TStaObj& sta, const TStaPanels& panels, int32_t col, int32_t row);
bool InStaGrid(int32_t col, int32_t row);

// Parses one line of rw_panel.txt (without its line end). lineNo is used in messages only.
TStatus ParsePanelLine(const std::string& line, const std::string& fileName, int32_t lineNo,
                       TStaPanel& out);

}  // namespace ramvel
