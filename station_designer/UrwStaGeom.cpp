// Station geometry compilation.
#include "station_designer/UrwStaGeom.h"

#include "station_designer/UrwStaEntConn.h"

namespace ramvel {

int32_t ColLeftU(int32_t col) { return (col - 1) * kCellLenM + kGridLeftU; }

int32_t HeightV(int32_t row, int32_t h) { return 4 * row + 2 * h - 42; }

int32_t EntV(int32_t n, int32_t ent) { return kSlotGapM * (ent - (n + 1) / 2); }

namespace {

class TStaCompiler {
 public:
  TStaCompiler(TStaObj& sta, const TStaPanels& panels) : sta_(sta), panels_(panels) {}

  void Run() {
    sta_.ClearLists();
    ForEachCell([this](int32_t col, int32_t row) { AddTurnoutOrHome(col, row); });
    ForEachCell([this](int32_t col, int32_t row) { AddPlainRun(col, row); });
    AddLeads(0);
    AddLeads(1);
  }

 private:
  // Column by column from column 1, rows 1 to 20 within a column.
  template <typename Fn>
  static void ForEachCell(Fn fn) {
    for (int32_t col = 1; col <= kStaCols; ++col) {
      for (int32_t row = 1; row <= kStaRows; ++row) fn(col, row);
    }
  }

  // The piece whose first cell is (col, row); null for any other cell.
  const TStaPanel* OriginAt(int32_t col, int32_t row) const {
    if (!InStaGrid(col, row)) return nullptr;
    const StaCell& cell = sta_.Cells[static_cast<size_t>(col)][static_cast<size_t>(row)];
    return cell.Kind == kCellOrigin ? panels_.Get(cell.PanelNo) : nullptr;
  }

  bool IsOriginOf(int32_t col, int32_t row, int32_t panelNo) const {
    return OriginAt(col, row) != nullptr &&
           sta_.Cells[static_cast<size_t>(col)][static_cast<size_t>(row)].PanelNo == panelNo;
  }

  void AddTurnoutOrHome(int32_t col, int32_t row) {
    const TStaPanel* panel = OriginAt(col, row);
    if (panel == nullptr) return;
    if (panel->Type == kPanelPt) AddTurnout(*panel, col, row);
    if (panel->Type == kPanelHome) AddHome(*panel, col, row);
    if (panel->Type == kPanelHomeTrack) AddHomeTrack(*panel, col, row);
  }

  // Turnout k gets the piece's routes; its pair j becomes segment j + 10 k.
  void AddTurnout(const TStaPanel& panel, int32_t col, int32_t row) {
    ++ptNo_;
    TPtStatus pt;
    pt.RouteCnt = static_cast<int32_t>(panel.Routes.size());
    for (size_t r = 0; r < panel.Routes.size(); ++r) pt.Routes[r + 1] = panel.Routes[r];
    sta_.AddPt(pt);
    for (size_t j = 0; j < panel.Pairs.size(); ++j) {
      const TPanelPair& pair = panel.Pairs[j];
      sta_.AddRail(StaRail(kRailPt, static_cast<int32_t>(j) + 1 + 10 * ptNo_,
                           TPoint{ColLeftU(col), HeightV(row, pair.L)},
                           TPoint{ColLeftU(col + 1), HeightV(row, pair.R)}));
    }
  }

  void AddHome(const TStaPanel& panel, int32_t col, int32_t row) {
    sta_.AddHome(
        StaHome{ColLeftU(col), HeightV(row, 0), ColLeftU(col + panel.Cells), HeightV(row, 2)});
  }

  void AddHomeTrack(const TStaPanel& panel, int32_t col, int32_t row) {
    const int32_t homeNo = sta_.Cells[static_cast<size_t>(col)][static_cast<size_t>(row)].HomeNo;
    sta_.AddRail(StaRail(kRailHome, homeNo, TPoint{ColLeftU(col), HeightV(row, 1)},
                         TPoint{ColLeftU(col + panel.Cells), HeightV(row, 1)}));
  }

  // A run of plain pieces of one kind, each starting where the previous one's first line ends,
  // becomes one segment along the first line's slope. Only the piece that starts a run makes it.
  void AddPlainRun(int32_t col, int32_t row) {
    const TStaPanel* panel = OriginAt(col, row);
    if (panel == nullptr || panel->Type != kPanelTrack || panel->Pairs.empty()) return;
    const int32_t no = sta_.Cells[static_cast<size_t>(col)][static_cast<size_t>(row)].PanelNo;
    const TPanelPair first = panel->Pairs.front();
    const int32_t s = first.Slope();
    if (col > 1 && IsOriginOf(col - 1, row - s, no)) return;
    int32_t endCol = col, endRow = row, len = 1;
    while (IsOriginOf(endCol + 1, endRow + s, no)) {
      ++endCol;
      endRow += s;
      ++len;
    }
    const int32_t v0 = HeightV(row, first.L);
    sta_.AddRail(StaRail(kRailPlain, ++running_, TPoint{ColLeftU(col), v0},
                         TPoint{ColLeftU(endCol + 1), v0 + kSlotGapM * s * len}));
  }

  void AddLeads(int32_t side) {
    const int32_t n = sta_.EntCount[side];
    if (!CrsFits(n, sta_.SplitEntCrs(side))) sta_.EntCrs[side] = 0;
    for (const TEntJoin& join : EntJoins(n, sta_.SplitEntCrs(side))) {
      const int32_t vIn = EntV(n, join.Inner), vOut = EntV(n, join.Outer);
      if (side == 0) {
        sta_.AddRail(StaRail(kRailPlain, ++running_, TPoint{0, vOut}, TPoint{kGridLeftU, vIn}));
      } else {
        sta_.AddRail(
            StaRail(kRailPlain, ++running_, TPoint{kGridRightU, vIn}, TPoint{kStaAxisM, vOut}));
      }
    }
  }

  TStaObj& sta_;
  const TStaPanels& panels_;
  int32_t running_ = 0;
  int32_t ptNo_ = 0;
};

}  // namespace

void CompileSta(TStaObj& sta, const TStaPanels& panels) { TStaCompiler(sta, panels).Run(); }

}  // namespace ramvel
