// The designer's layout check.
#include "station_designer/UrwStaCheck.h"

#include <algorithm>
#include <set>

namespace ramvel {

int32_t FirstEntRow(int32_t n) { return 10 - (n - 1) / 2; }

std::vector<int32_t> EntRows(int32_t n) {
  std::vector<int32_t> rows;
  for (int32_t i = 0; i < n; ++i) rows.push_back(FirstEntRow(n) + i);
  return rows;
}

bool IsEntRow(int32_t n, int32_t row) {
  return n > 0 && row >= FirstEntRow(n) && row < FirstEntRow(n) + n;
}

const TPieceCheck* TStaCheck::PieceAt(int32_t col, int32_t row) const {
  for (const TPieceCheck& p : Pieces) {
    if (p.Col == col && p.Row == row) return &p;
  }
  return nullptr;
}

namespace {

enum class TFacing { kLeftNb, kRightNb };

class TStaChecker {
 public:
  TStaChecker(const TStaObj& sta, const TStaPanels& panels) : sta_(sta), panels_(panels) {
    for (int32_t side = 0; side < 2; ++side) {
      const std::vector<int32_t> rows = EntRows(sta.EntCount[side]);
      unreached_[side].insert(rows.begin(), rows.end());
    }
  }

  TStaCheck Run() {
    TStaCheck out;
    for (int32_t col = 1; col <= kStaCols; ++col) {
      for (int32_t row = 1; row <= kStaRows; ++row) VisitCell(col, row, out);
    }
    for (int32_t side = 0; side < 2; ++side) {
      out.Unreached[side].assign(unreached_[side].begin(), unreached_[side].end());
      if (!unreached_[side].empty()) out.IsErr = true;
    }
    return out;
  }

 private:
  void VisitCell(int32_t col, int32_t row, TStaCheck& out) {
    const StaCell& cell = sta_.Cells[static_cast<size_t>(col)][static_cast<size_t>(row)];
    const TStaPanel* panel = panels_.Get(cell.PanelNo);
    if (cell.Kind != kCellOrigin || panel == nullptr) return;
    TPieceCheck p{col, row, cell.PanelNo, panel->Type, cell.HomeNo, {}};
    if (panel->Type == kPanelHomeTrack) {
      CheckHomeTrack(*panel, p);
    } else if (panel->IsTrack()) {
      CheckTrack(*panel, p);
    }
    if (!p.Err.empty()) out.IsErr = true;
    out.Pieces.push_back(std::move(p));
  }

  // A platform track may end on one side, so a single missing neighbour is no error.
  void CheckHomeTrack(const TStaPanel& panel, TPieceCheck& p) {
    Neighbour(p.Col - 1, p.Row, 'L', 0, TFacing::kLeftNb, p.Err);
    Neighbour(p.Col + panel.Cells, p.Row, 'R', 0, TFacing::kRightNb, p.Err);
    if (p.Err == "L" || p.Err == "R") p.Err.clear();
    if (!seenHomes_.insert(p.HomeNo).second) p.Err += 'H';
  }

  void CheckTrack(const TStaPanel& panel, TPieceCheck& p) {
    for (const TPanelPair& pair : panel.Pairs) {
      const int32_t d = pair.Slope();
      Neighbour(p.Col - 1, p.Row + (pair.L - 1) / 2, 'L', -d, TFacing::kLeftNb, p.Err);
      Neighbour(p.Col + 1, p.Row + (pair.R - 1) / 2, 'R', -d, TFacing::kRightNb, p.Err);
    }
  }

  // Whether the cell (col, row) takes up a track line arriving there with the expected slope s;
  // adds letter to err when not. The matrix edges count as met on the side's entry rows.
  void Neighbour(int32_t col, int32_t row, char letter, int32_t s, TFacing facing,
                 std::string& err) {
    if (col == 0 || col == kStaCols + 1) {
      const int32_t side = col == 0 ? 0 : 1;
      if (IsEntRow(sta_.EntCount[side], row)) {
        unreached_[side].erase(row);
      } else {
        err += letter;
      }
      return;
    }
    const TPieceAt nb = PieceAt(sta_, panels_, col, row);
    if (nb.Panel == nullptr || nb.Panel->Type == kPanelHome) {
      err += letter;
    } else if (nb.Panel->IsTrack() && !TrackMeets(*nb.Panel, nb.Row, row, s, facing)) {
      err += letter;
    }
  }

  // The first line of the neighbour whose facing end lies in row decides; two lines of opposite
  // slope must not meet.
  static bool TrackMeets(const TStaPanel& nb, int32_t nbRow, int32_t row, int32_t s,
                         TFacing facing) {
    for (const TPanelPair& pair : nb.Pairs) {
      const int32_t h = facing == TFacing::kLeftNb ? pair.R : pair.L;
      if ((h - 1) / 2 + nbRow == row) return s == 0 || pair.Slope() != s;
    }
    return false;
  }

  const TStaObj& sta_;
  const TStaPanels& panels_;
  std::set<int32_t> unreached_[2];
  std::set<int32_t> seenHomes_;
};

}  // namespace

TStaCheck CheckSta(const TStaObj& sta, const TStaPanels& panels) {
  return TStaChecker(sta, panels).Run();
}

}  // namespace ramvel
