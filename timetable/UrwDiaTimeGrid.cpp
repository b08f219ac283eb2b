// Diagram time grid: columns and cells, building the grid from the board's trains, and writing
// one train back into its train set.
#include "timetable/UrwDiaTimeGrid.h"

#include <cstdlib>
#include <type_traits>

#include "engine/UrwBrdData.h"

namespace ramvel {

static_assert(std::is_same_v<TTrainNoList, TRefList<TCarObj>>,
              "Build takes the board's train numbers list as it is");

// ---- Cells -------------------------------------------------------------------------------------

TTmTbl EmptyCell() { return TTmTbl{"", -1, -1, 0}; }

bool IsEmptyCell(const TTmTbl& cell) { return cell.TmStart == -1 && cell.TmEnd == -1; }

// ---- Columns and cells -------------------------------------------------------------------------

void TDiaObj::ClearTr(int32_t k) {
  if (!ValidTr(k)) return;
  TrInfo[k] = TTrInfo();
  DiaCells[k].assign(StaCount, EmptyCell());
}

void TDiaObj::AddTr(const std::string& trNo, const std::string& trKind, int32_t dir) {
  ++TrCount;
  TrInfo.resize(TrCount);
  DiaCells.resize(TrCount);
  CurTr = TrCount - 1;
  ClearTr(CurTr);
  TTrInfo& tr = TrInfo[CurTr];
  tr.Dir = dir;
  tr.TrNo = trNo;
  tr.TrKind = trKind;
}

bool TDiaObj::DelLastCell(int32_t k, int32_t s) {
  if (!ValidTr(k)) return false;
  TTrInfo& tr = TrInfo[k];
  // Only the end of the run can go; anything else would split the train's slots in two.
  if (tr.CellCount <= 1 || s != LastSta(k)) return false;
  --tr.CellCount;
  DiaCells[k][s] = EmptyCell();
  DiaCells[k][s - tr.Dir].TmEnd = -1;
  return true;
}

void TDiaObj::ClearAll() {
  DiaCells.clear();
  TrInfo.clear();
  StaCount = static_cast<int32_t>(StaList.size());
  TrCount = 0;
  CurTr = -1;
  CarIds.clear();
  // The orders name columns that no longer exist; a view must never reach them.
  NoboriOrder.clear();
  KudariOrder.clear();
  WorkOrder.clear();
}

TTmTbl TDiaObj::GetCell(int32_t s) const { return Cell(CurTr, s); }

void TDiaObj::SetCell(const TTmTbl& step, int32_t s, bool isOrigin) {
  if (!ValidTr(CurTr) || !ValidSlot(s)) return;
  TTrInfo& tr = TrInfo[CurTr];
  TTmTbl& cell = DiaCells[CurTr][s];
  if (IsEmptyCell(cell)) ++tr.CellCount;
  cell = step;
  if (isOrigin) {
    tr.IsOrigin = true;
    cell.Txt = tr.TrNo + "," + tr.TrKind;
    cell.TmStart = cell.TmEnd;
  } else {
    cell.Txt.clear();
  }
  if (tr.FirstSta < 0) {
    tr.FirstSta = s;
  } else if (tr.FirstSta < s) {
    tr.Dir = 1;
  }
}

const TTmTbl& TDiaObj::Cell(int32_t k, int32_t s) const {
  static const TTmTbl kEmpty = EmptyCell();
  if (!ValidTr(k) || !ValidSlot(s) || s >= static_cast<int32_t>(DiaCells[k].size())) {
    return kEmpty;
  }
  return DiaCells[k][s];
}

int32_t TDiaObj::LastSta(int32_t k) const {
  if (!ValidTr(k)) return -1;
  const TTrInfo& tr = TrInfo[k];
  if (tr.CellCount <= 0) return tr.FirstSta;
  return tr.FirstSta + (tr.CellCount - 1) * tr.Dir;
}

bool TDiaObj::IsOriginCell(int32_t k, int32_t s) const {
  return ValidTr(k) && TrInfo[k].IsOrigin && TrInfo[k].FirstSta == s && s >= 0;
}

std::vector<std::string> TDiaObj::TrNos() const {
  std::vector<std::string> out;
  for (int32_t k = 0; k < TrCount; ++k) out.push_back(TrInfo[k].TrNo);
  return out;
}

// ---- The run of a train on the line ------------------------------------------------------------
//
// A column shows one run of neighbouring slots in one direction. A ring line lists its first
// station again as its last entry, so that station has two slots: the lookup gives the first
// one, and the run takes the other where only that one continues it (a train arriving from the
// last station, or leaving the first station backwards). A train that does not fit one run
// (it passes a ring's first station in mid-run, turns back, or leaves the line and returns) is
// shown by its last run; the step where the new run begins from the old one belongs to both.
// StoreTr replaces exactly the steps of this run, so steps the grid does not show are never lost.

bool TDiaObj::IsRing() const { return StaCount >= 3 && StaList.front() == StaList.back(); }

int32_t TDiaObj::SlotOf(int32_t loc) const {
  const std::string key = IntText(SplitEntCode(loc).Id);
  for (int32_t s = 0; s < StaCount; ++s) {
    if (StaList[s] == key) return s;
  }
  return -1;
}

std::vector<int32_t> TDiaObj::SlotChoices(int32_t slot) const {
  std::vector<int32_t> out{slot};
  if (IsRing() && slot == 0) out.push_back(StaCount - 1);
  if (IsRing() && slot == StaCount - 1) out.push_back(0);
  return out;
}

bool TDiaObj::RunFits(const TRun& run, int32_t slot) const {
  const int32_t p = run.back().Slot;
  if (std::abs(slot - p) != 1) return false;
  if (run.size() == 1) return true;
  return slot - p == p - run[run.size() - 2].Slot;
}

bool TDiaObj::RestartRun(TRun& run, int32_t step, int32_t slot) const {
  const TRunCell prev = run.back();
  for (int32_t pp : SlotChoices(prev.Slot)) {
    for (int32_t rr : SlotChoices(slot)) {
      if (std::abs(rr - pp) != 1) continue;
      run = {{prev.Step, pp}, {step, rr}};
      return true;
    }
  }
  return false;
}

void TDiaObj::ExtendRun(TRun& run, int32_t step, int32_t slot) const {
  if (!run.empty()) {
    for (int32_t r : SlotChoices(slot)) {
      if (!RunFits(run, r)) continue;
      run.push_back({step, r});
      return;
    }
    if (RestartRun(run, step, slot)) return;
  }
  run = {{step, slot}};
}

TDiaObj::TRun TDiaObj::LineRun(const TCarObj& c, TTrainRange range) const {
  TRun run;
  for (int32_t i = range.First; i <= range.Last; ++i) {
    const int32_t slot = SlotOf(c.TmTbl.At(i).Loc);
    if (slot >= 0) ExtendRun(run, i, slot);
  }
  return run;
}

// ---- Building and storing ----------------------------------------------------------------------

void TDiaObj::AddTrainColumn(const TCarObj& c, TTrainRange range, const TRun& run) {
  const int32_t first = run.front().Step;
  std::string header = c.TmTbl.At(first).Txt;
  // A train that enters the line in mid-run takes its header from its first step.
  if (header.empty()) header = c.PrevHeader(first, true).Txt;
  AddTr(TextBefore(header, ","), TextAfter(header, ','), -1);
  CarIds.insert(CarIdKey(c.Id));
  for (const TRunCell& cell : run) {
    SetCell(c.TmTbl.At(cell.Step), cell.Slot, cell.Step == range.First);
  }
}

void TDiaObj::Build(const std::vector<std::string>& stations, const TTrainNoList& trains) {
  StaList = stations;
  ClearAll();
  for (const auto& [trainNo, car] : trains) {
    if (car == nullptr) continue;
    const TTrainRange range = car->FindTrain(trainNo);
    if (range.First < 0) continue;
    const TRun run = LineRun(*car, range);
    if (!run.empty()) AddTrainColumn(*car, range, run);
  }
}

void TDiaObj::StoreTr(TCarObj& c) const {
  if (!ValidTr(CurTr)) return;
  const TTrInfo& tr = TrInfo[CurTr];
  // With nothing to write, removing the train's steps would only lose them.
  if (tr.CellCount <= 0) return;
  const TTrainRange range = c.FindTrain(tr.TrNo);
  if (range.First >= 0) {
    const TRun run = LineRun(c, range);
    for (auto it = run.rbegin(); it != run.rend(); ++it) c.TmTbl.Delete(it->Step);
  }
  for (int32_t j = 0; j < tr.CellCount; ++j) {
    const TTmTbl& cell = Cell(CurTr, tr.FirstSta + j * tr.Dir);
    // An empty cell has no time to be placed by; writing it would put it before every train.
    if (!IsEmptyCell(cell)) c.TmTbl.Add(cell);
  }
}

}  // namespace ramvel
