// Reading the piece definitions and the palette layout.
#include "station_designer/UrwStaPanel.h"

#include <string_view>
#include <utility>

namespace ramvel {

namespace {

constexpr const char* kPanelFile = "rw_panel.txt";
constexpr const char* kTblFile = "rw_tbl.txt";
constexpr int32_t kTblFieldW = 4;

std::string Where(const std::string& fileName, int32_t lineNo) {
  return fileName + ": line " + IntText(lineNo);
}

// The characters at 1-based positions first..last; shorter when the line ends before.
std::string_view Field(std::string_view line, size_t first, size_t last) {
  if (line.size() < first) return {};
  return line.substr(first - 1, last - first + 1);
}

// Reads the field as an integer; the message names the line and the positions.
TStatus FieldInt(std::string_view line, size_t first, size_t last, const std::string& where,
                 int32_t& v) {
  if (ParseInt(Field(line, first, last), v)) return TStatus::Ok();
  std::string pos = "position " + IntText(static_cast<int64_t>(first));
  if (last != first) pos += "-" + IntText(static_cast<int64_t>(last));
  return TStatus::Error(where + ", " + pos + " is not a number");
}

int32_t TypeOfLetter(char c) {
  switch (c) {
    case 'P':
      return kPanelPt;
    case 'H':
      return kPanelHome;
    case 'R':
      return kPanelHomeTrack;
    default:
      return kPanelTrack;
  }
}

// Positions 3..10: four pairs of one-digit heights. The pair count is the number of the last
// pair whose left height is not 0.
TStatus ReadPairs(std::string_view line, const std::string& where, TStaPanel& p) {
  std::array<TPanelPair, kMaxPairs> pairs;
  size_t count = 0;
  for (size_t i = 0; i < kMaxPairs; ++i) {
    const size_t pos = 3 + 2 * i;
    if (TStatus st = FieldInt(line, pos, pos, where, pairs[i].L); !st) return st;
    if (TStatus st = FieldInt(line, pos + 1, pos + 1, where, pairs[i].R); !st) return st;
    if (pairs[i].L != 0) count = i + 1;
  }
  p.Pairs.assign(pairs.begin(), pairs.begin() + static_cast<ptrdiff_t>(count));
  return TStatus::Ok();
}

bool IsRouteText(const std::string& route, size_t pairCnt) {
  for (const std::string& item : SplitComma(route)) {
    int32_t j = 0;
    if (!ParseInt(item, j) || j < 1 || static_cast<size_t>(j) > pairCnt) return false;
  }
  return true;
}

// Turnouts: every "|" item after the first is a route text; at most kMaxRoutes are taken.
TStatus ReadRoutes(std::string_view line, const std::string& where, TStaPanel& p) {
  size_t start = line.find('|');
  while (start != std::string_view::npos && p.Routes.size() < static_cast<size_t>(kMaxRoutes)) {
    const size_t end = line.find('|', start + 1);
    const size_t len = end == std::string_view::npos ? end : end - start - 1;
    std::string route(line.substr(start + 1, len));
    if (!IsRouteText(route, p.Pairs.size())) {
      return TStatus::Error(where + ": route " +
                            IntText(static_cast<int64_t>(p.Routes.size()) + 1) + " \"" + route +
                            "\" is not a comma list of the piece's pair numbers");
    }
    p.Routes.push_back(std::move(route));
    start = end;
  }
  return TStatus::Ok();
}

// Mirror numbers must name pieces of the same type and size, or mirroring would leave cells
// that point at pieces which do not cover them.
TStatus CheckMirror(const std::vector<TStaPanel>& panels, size_t i, int32_t mirror,
                    const char* what) {
  const std::string where = Where(kPanelFile, static_cast<int32_t>(i + 1));
  if (mirror < 1 || mirror > kPanelCnt) {
    return TStatus::Error(where + ": the " + what + " mirror " + IntText(mirror) +
                          " is not a piece number 1 to " + IntText(kPanelCnt));
  }
  const TStaPanel& m = panels[static_cast<size_t>(mirror - 1)];
  if (m.Type != panels[i].Type || m.Cells != panels[i].Cells) {
    return TStatus::Error(where + ": the " + what + " mirror " + IntText(mirror) +
                          " differs from the piece in type or size");
  }
  return TStatus::Ok();
}

TStatus CheckMirrors(const std::vector<TStaPanel>& panels) {
  for (size_t i = 0; i < panels.size(); ++i) {
    if (TStatus st = CheckMirror(panels, i, panels[i].RevV, "vertical"); !st) return st;
    if (TStatus st = CheckMirror(panels, i, panels[i].RevH, "horizontal"); !st) return st;
  }
  return TStatus::Ok();
}

TStatus TooFewLines(const std::string& fileName, size_t have, int32_t need) {
  return TStatus::Error(fileName + ": " + IntText(need) + " lines are needed, the file has " +
                        IntText(static_cast<int64_t>(have)));
}

}  // namespace

TStatus ParsePanelLine(const std::string& line, const std::string& fileName, int32_t lineNo,
                       TStaPanel& out) {
  const std::string where = Where(fileName, lineNo);
  TStaPanel p;
  if (TStatus st = FieldInt(line, 1, 1, where, p.Cells); !st) return st;
  if (p.Cells < 1) return TStatus::Error(where + ": a piece covers at least one cell");
  p.Type = TypeOfLetter(line.size() >= 2 ? line[1] : ' ');
  if (TStatus st = ReadPairs(line, where, p); !st) return st;
  if (TStatus st = FieldInt(line, 12, 13, where, p.RevV); !st) return st;
  if (TStatus st = FieldInt(line, 14, 15, where, p.RevH); !st) return st;
  if (p.Type == kPanelPt) {
    if (TStatus st = ReadRoutes(line, where, p); !st) return st;
  }
  out = std::move(p);
  return TStatus::Ok();
}

bool InStaGrid(int32_t col, int32_t row) {
  return col >= 1 && col <= kStaCols && row >= 1 && row <= kStaRows;
}

TPieceAt PieceAt(const TStaObj& sta, const TStaPanels& panels, int32_t col, int32_t row) {
  TPieceAt at;
  at.Col = col;
  at.Row = row;
  if (!InStaGrid(col, row)) return at;
  const StaCell& cell = sta.Cells[static_cast<size_t>(col)][static_cast<size_t>(row)];
  at.Cell = &cell;
  if (cell.Kind == kCellEmpty) return at;
  if (cell.Kind == kCellCovered) {
    at.Col = col - cell.DCol;
    at.Row = row - cell.DRow;
  }
  at.PanelNo = cell.PanelNo;
  at.Panel = panels.Get(cell.PanelNo);
  return at;
}

TStatus TStaPanels::Load(const std::string& progDir) {
  TStaPanels fresh;
  if (TStatus st = fresh.LoadPanels(ResolveIn(progDir, kPanelFile)); !st) return st;
  if (TStatus st = fresh.LoadTbl(ResolveIn(progDir, kTblFile)); !st) return st;
  *this = std::move(fresh);
  return TStatus::Ok();
}

TStatus TStaPanels::LoadPanels(const std::string& path) {
  TextRec rec;
  if (TStatus st = LoadRec(path, rec); !st) return st;
  if (rec.Lines.size() < static_cast<size_t>(kPanelCnt)) {
    return TooFewLines(kPanelFile, rec.Lines.size(), kPanelCnt);
  }
  std::vector<TStaPanel> panels(kPanelCnt);
  for (int32_t k = 1; k <= kPanelCnt; ++k) {
    TStatus st = ParsePanelLine(rec.Lines[static_cast<size_t>(k - 1)], kPanelFile, k,
                                panels[static_cast<size_t>(k - 1)]);
    if (!st) return st;
  }
  if (TStatus st = CheckMirrors(panels); !st) return st;
  panels_ = std::move(panels);
  return TStatus::Ok();
}

// Line r holds the values of palette columns 1..5 in the four-character fields 1-4, 5-8, ....
TStatus TStaPanels::LoadTbl(const std::string& path) {
  TextRec rec;
  if (TStatus st = LoadRec(path, rec); !st) return st;
  if (rec.Lines.size() < static_cast<size_t>(kTblRows)) {
    return TooFewLines(kTblFile, rec.Lines.size(), kTblRows);
  }
  std::array<std::array<int32_t, kTblCols>, kTblRows> tbl{};
  for (int32_t r = 0; r < kTblRows; ++r) {
    const std::string where = Where(kTblFile, r + 1);
    const std::string& line = rec.Lines[static_cast<size_t>(r)];
    for (int32_t c = 0; c < kTblCols; ++c) {
      const size_t first = static_cast<size_t>(c * kTblFieldW + 1);
      int32_t& v = tbl[static_cast<size_t>(r)][static_cast<size_t>(c)];
      if (TStatus st = FieldInt(line, first, first + kTblFieldW - 1, where, v); !st) return st;
      if (v / 100 > kPanelCnt) {
        return TStatus::Error(where + ": " + IntText(v) + " names piece " + IntText(v / 100) +
                              ", which does not exist");
      }
    }
  }
  tbl_ = tbl;
  return TStatus::Ok();
}

const TStaPanel* TStaPanels::Get(int32_t no) const {
  if (no < 1 || static_cast<size_t>(no) > panels_.size()) return nullptr;
  return &panels_[static_cast<size_t>(no - 1)];
}

int32_t TStaPanels::TblAt(int32_t col, int32_t row) const {
  if (col < 1 || col > kTblCols || row < 1 || row > kTblRows) return 0;
  return tbl_[static_cast<size_t>(row - 1)][static_cast<size_t>(col - 1)];
}

int32_t TStaPanels::PanelAtTbl(int32_t col, int32_t row) const {
  const int32_t v = TblAt(col, row);
  return v < 100 ? kNoPanel : v / 100;
}

bool TStaPanels::TblDrawsAt(int32_t col, int32_t row) const {
  const int32_t v = TblAt(col, row);
  return v >= 100 && v % 100 == 0;
}

}  // namespace ramvel
