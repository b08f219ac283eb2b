// The station designer: state, placing and removing pieces, and mouse input.
#include "station_designer/UrwStaEditor.h"

#include <algorithm>
#include <utility>

#include "station_designer/UrwStaGeom.h"

namespace ramvel {

TStaHit StaHitTest(int32_t x, int32_t y) {
  if (x < 0 || y < 0) return {};
  if (x < kMatrixX && y <= kMatrixH) return {TStaZone::kLeftStrip, 0, 0};
  if (x < kRightStripX && y < kMatrixH) {
    return {TStaZone::kMatrix, (x - kMatrixX) / kStaCellW + 1, y / kStaCellH + 1};
  }
  if (x >= kRightStripX && x < kPaletteX && y <= kMatrixH) return {TStaZone::kRightStrip, 0, 0};
  if (x >= kPaletteX && x < kStaClientW && y < kTblRows * kStaCellH) {
    return {TStaZone::kPalette, (x - kPaletteX) / kStaCellW + 1, y / kStaCellH + 1};
  }
  return {};
}

TStaEditor::TStaEditor() {
  history_.SetTarget(&undoSta_);
  StartNew();
}

TStatus TStaEditor::Open(const std::string& progDir, const std::string& brdName, int32_t idSta,
                         const std::string& pieceDir) {
  TStaPanels panels;
  if (TStatus st = panels.Load(pieceDir.empty() ? progDir : pieceDir); !st) return st;
  Open(panels, PathJoin(progDir, brdName), idSta);
  return TStatus::Ok();
}

void TStaEditor::Open(const TStaPanels& panels, const std::string& brdDir, int32_t idSta) {
  panels_ = panels;
  brdDir_ = brdDir;
  idSta_ = idSta;
  StartNew();
}

std::string TStaEditor::StaDir() const { return ResolveIn(brdDir_, "station"); }

std::string TStaEditor::Caption() const {
  return std::string("駅データの編集") + (isNew_ ? " - 新規" : " - 変更");
}

TStaFocus TStaEditor::TakeFocus() { return std::exchange(focus_, TStaFocus::kNone); }

// ---- Check and display -------------------------------------------------------------------------

TStaCheck TStaEditor::CheckAndDisplay() {
  TStaCheck check = CheckSta(sta_, panels_);
  sta_.IsErr = check.IsErr;
  return check;
}

std::vector<TStripLead> TStaEditor::StripLeads(int32_t side, const TStaCheck& check) const {
  const int32_t n = sta_.EntCount[side];
  const int32_t first = FirstEntRow(n);
  const std::vector<int32_t>& unreached = check.Unreached[side];
  std::vector<TStripLead> leads;
  for (const TEntJoin& join : EntJoins(n, sta_.SplitEntCrs(side))) {
    const int32_t inner = first + join.Inner - 1;
    const bool red = std::find(unreached.begin(), unreached.end(), inner) != unreached.end();
    leads.push_back({inner, first + join.Outer - 1, join.Crossing, red});
  }
  return leads;
}

// ---- Pieces ------------------------------------------------------------------------------------

bool TStaEditor::Fits(const TStaPanel& panel, int32_t col, int32_t row) const {
  for (int32_t dc = 0; dc < panel.Cols(); ++dc) {
    for (int32_t dr = 0; dr < panel.Rows(); ++dr) {
      if (!InStaGrid(col + dc, row + dr)) return false;
      if (sta_.Cells[static_cast<size_t>(col + dc)][static_cast<size_t>(row + dr)].Kind !=
          kCellEmpty) {
        return false;
      }
    }
  }
  return true;
}

bool TStaEditor::CanPlace(int32_t panelNo, int32_t col, int32_t row) const {
  const TStaPanel* panel = panels_.Get(panelNo);
  if (panel == nullptr || !Fits(*panel, col, row)) return false;
  if (panel->IsTrack()) return col < kHomeCol || col > kBandLastCol;
  if (panel->Type == kPanelHomeTrack) return col == kHomeCol;
  return true;
}

int32_t TStaEditor::MaxHomeNo() const {
  int32_t most = 0;
  for (int32_t col = 1; col <= kStaCols; ++col) {
    for (int32_t row = 1; row <= kStaRows; ++row) {
      const StaCell& cell = sta_.Cells[static_cast<size_t>(col)][static_cast<size_t>(row)];
      const TStaPanel* panel = panels_.Get(cell.PanelNo);
      if (cell.Kind == kCellOrigin && panel != nullptr && panel->Type == kPanelHomeTrack) {
        most = std::max(most, cell.HomeNo);
      }
    }
  }
  return most;
}

void TStaEditor::PutPanel(int32_t panelNo, const TStaPanel& panel, int32_t col, int32_t row) {
  const int32_t homeNo = panel.Type == kPanelHomeTrack ? std::min(MaxHomeNo() + 1, kMaxHomeNo) : 0;
  for (int32_t dc = 0; dc < panel.Cols(); ++dc) {
    for (int32_t dr = 0; dr < panel.Rows(); ++dr) {
      const uint8_t kind = dc == 0 && dr == 0 ? kCellOrigin : kCellCovered;
      sta_.SetCell(col + dc, row + dr, StaCell{kind, panelNo, dc, dr, homeNo});
    }
  }
  modified_ = true;
}

bool TStaEditor::PlacePanel(int32_t panelNo, int32_t col, int32_t row) {
  TUndoScope step(history_, "部品の配置");
  if (!CanPlace(panelNo, col, row)) return false;
  PutPanel(panelNo, *panels_.Get(panelNo), col, row);
  return true;
}

bool TStaEditor::FillRow(int32_t row, int32_t col0, int32_t col1) {
  TUndoScope step(history_, "部品の連続配置");
  const TStaPanel* panel = panels_.Get(kFillPanel);
  if (panel == nullptr) return false;
  bool any = false;
  for (int32_t col = std::min(col0, col1); col <= std::max(col0, col1); ++col) {
    if (!Fits(*panel, col, row)) continue;
    PutPanel(kFillPanel, *panel, col, row);
    any = true;
  }
  return any;
}

// Every cell that names the same first cell as the cell at (col, row); robust against grids
// read from files in which cells do not agree with their pieces.
std::vector<TCellPos> TStaEditor::CellsOfPiece(int32_t col, int32_t row) const {
  const TPieceAt at = PieceAt(sta_, panels_, col, row);
  if (at.Cell == nullptr || at.Cell->Kind == kCellEmpty) return {};
  std::vector<TCellPos> cells;
  for (int32_t c = 1; c <= kStaCols; ++c) {
    for (int32_t r = 1; r <= kStaRows; ++r) {
      const TPieceAt other = PieceAt(sta_, panels_, c, r);
      if (other.Cell->Kind != kCellEmpty && other.Col == at.Col && other.Row == at.Row) {
        cells.push_back({c, r});
      }
    }
  }
  return cells;
}

bool TStaEditor::RemovePanel(int32_t col, int32_t row) {
  TUndoScope step(history_, "部品の削除");
  const std::vector<TCellPos> cells = CellsOfPiece(col, row);
  if (cells.empty()) return false;
  for (const TCellPos& p : cells) sta_.SetCell(p.Col, p.Row, StaCell{});
  modified_ = true;
  return true;
}

bool TStaEditor::SetHomeNo(int32_t col, int32_t row, int32_t no) {
  TUndoScope step(history_, "番線番号の変更");
  const std::vector<TCellPos> cells = CellsOfPiece(col, row);
  if (cells.empty()) return false;
  for (const TCellPos& p : cells) {
    sta_.Cells[static_cast<size_t>(p.Col)][static_cast<size_t>(p.Row)].HomeNo = no;
  }
  modified_ = true;
  return true;
}

void TStaEditor::Hold(int32_t panelNo) {
  held_ = panels_.Get(panelNo) != nullptr ? panelNo : kNoPanel;
}

// ---- Mouse -------------------------------------------------------------------------------------

void TStaEditor::MouseUp(TMouseBtn btn, bool shift, int32_t x, int32_t y) {
  const TStaHit hit = StaHitTest(x, y);
  if (btn == TMouseBtn::kRight) return RightUp(hit);
  if (held_ == kNoPanel) return LeftUpNothingHeld(hit);
  LeftUp(shift, hit);
}

// A right click lets go of the held piece; with nothing held it removes the piece under it.
void TStaEditor::RightUp(const TStaHit& hit) {
  if (held_ != kNoPanel || hit.Zone != TStaZone::kMatrix || !RemovePanel(hit.Col, hit.Row)) {
    held_ = kNoPanel;
  }
}

void TStaEditor::LeftUpNothingHeld(const TStaHit& hit) {
  switch (hit.Zone) {
    case TStaZone::kLeftStrip:
      return EditEntCrs(0);
    case TStaZone::kRightStrip:
      return EditEntCrs(1);
    case TStaZone::kPalette:
      return Hold(panels_.PanelAtTbl(hit.Col, hit.Row));
    case TStaZone::kMatrix: {
      const TPieceAt at = PieceAt(sta_, panels_, hit.Col, hit.Row);
      if (at.Panel != nullptr && at.Panel->Type == kPanelHomeTrack) InputHomeNo(hit.Col, hit.Row);
      return;
    }
    case TStaZone::kNone:
      return;
  }
}

// With a piece held: a palette piece takes its place in the hand; a matrix cell where the piece
// may go places it, starts a row fill (Shift with piece 1) or ends the pending row fill.
void TStaEditor::LeftUp(bool shift, const TStaHit& hit) {
  if (hit.Zone == TStaZone::kPalette && panels_.PanelAtTbl(hit.Col, hit.Row) != kNoPanel) {
    return Hold(panels_.PanelAtTbl(hit.Col, hit.Row));
  }
  if (hit.Zone != TStaZone::kMatrix || !CanPlace(held_, hit.Col, hit.Row)) return;
  if (!fillStart_) {
    if (shift && held_ == kFillPanel) {
      fillStart_ = TCellPos{hit.Col, hit.Row};
    } else {
      PlacePanel(held_, hit.Col, hit.Row);
    }
    return;
  }
  if (hit.Row != fillStart_->Row) return;
  FillRow(hit.Row, fillStart_->Col, hit.Col);
  fillStart_.reset();
}

}  // namespace ramvel
