// Diagram time grid: the display orders of the trains (up, down, one train set, one station).
#include <algorithm>

#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

void TDiaObj::SelectDir(bool kudari) { ViewOrder = kudari ? &KudariOrder : &NoboriOrder; }

void TDiaObj::InsertByTime(TOrderList& l, int32_t n) const {
  if (!ValidTr(n)) return;
  const int32_t f = TrInfo[n].FirstSta;
  const int32_t arrival = Cell(n, f).TmStart;
  size_t pos = 0;
  for (size_t i = 0; i < l.size(); ++i) {
    const int32_t d = l[i].Tr;
    const int32_t e = Cell(d, f).TmStart;
    if (e >= 0) {
      // Both call at n's first station: their arrivals there decide.
      if (arrival < e) break;
      pos = i + 1;
    } else if (TrPrecedes(d, n)) {
      pos = i + 1;
    }
  }
  l.insert(l.begin() + static_cast<std::ptrdiff_t>(pos), TOrderEntry{TrInfo[n].TrNo, n});
}

bool TDiaObj::TrPrecedes(int32_t d, int32_t n) const {
  if (!ValidTr(d) || !ValidTr(n)) return false;
  const int32_t dir = TrInfo[n].Dir;
  const int32_t f = TrInfo[n].FirstSta;
  const int32_t l = LastSta(n);
  const int32_t fd = TrInfo[d].FirstSta;
  const int32_t ld = LastSta(d);
  // Positions along n's direction: a larger value lies farther on.
  const auto along = [dir](int32_t s) { return s * dir; };
  if (along(fd) >= along(l)) return Cell(n, l).TmStart > Cell(d, fd).TmEnd;
  if (along(f) >= along(ld)) return Cell(n, f).TmEnd > Cell(d, ld).TmStart;
  const int32_t x = along(f) >= along(fd) ? f : fd;
  return Cell(n, x).TmEnd > Cell(d, x).TmEnd;
}

void TDiaObj::ResortCurTr() {
  if (!ValidTr(CurTr)) return;
  TOrderList& l = *ViewOrder;
  const auto it =
      std::find_if(l.begin(), l.end(), [this](const TOrderEntry& e) { return e.Tr == CurTr; });
  if (it != l.end()) l.erase(it);
  InsertByTime(l, CurTr);
}

void TDiaObj::MakeDirOrders() {
  NoboriOrder.clear();
  KudariOrder.clear();
  for (int32_t i = 0; i < TrCount; ++i) {
    const TTrInfo& tr = TrInfo[i];
    if (tr.CellCount == 1 || tr.Dir == -1) InsertByTime(NoboriOrder, i);
    if (tr.CellCount == 1 || tr.Dir == 1) InsertByTime(KudariOrder, i);
  }
}

void TDiaObj::MakeCarOrder(const TCarObj& c) {
  WorkOrder.clear();
  ViewOrder = &WorkOrder;
  int32_t index = c.TmTbl.Count();
  for (THeaderHit hit = c.PrevHeader(index, false); hit.Found;
       hit = c.PrevHeader(hit.Index, false)) {
    const auto it = std::find_if(TrInfo.begin(), TrInfo.end(),
                                 [&](const TTrInfo& tr) { return tr.TrNo == hit.Txt; });
    if (it == TrInfo.end()) continue;
    const int32_t i = static_cast<int32_t>(it - TrInfo.begin());
    WorkOrder.insert(WorkOrder.begin(), TOrderEntry{hit.Txt, i});
  }
}

void TDiaObj::MakeStaOrder(int32_t s) {
  WorkOrder.clear();
  ViewOrder = &WorkOrder;
  for (int32_t i = 0; i < TrCount; ++i) {
    const int32_t arrival = Cell(i, s).TmStart;
    if (arrival < 0) continue;
    const auto later = std::find_if(WorkOrder.begin(), WorkOrder.end(), [&](const TOrderEntry& e) {
      return Cell(e.Tr, s).TmStart > arrival;
    });
    WorkOrder.insert(later, TOrderEntry{TrInfo[i].TrNo, i});
  }
}

}  // namespace ramvel
