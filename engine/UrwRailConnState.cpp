// The rail connection dialog's state: reading the run, the click rules, the picture's geometry
// and writing the connections back.
#include "engine/UrwRailConnState.h"

#include <algorithm>
#include <cmath>

#include "model/UrwRailObj.h"
#include "model/UrwStaObj.h"

namespace ramvel {

void TRailConnState::Open(const TStaObj& sta, const TRailObj& rail, int32_t staSide) {
  StaSide = staSide;
  RailSide = 0;
  railId_ = rail.Id;
  N = std::clamp(sta.EntCount[staSide], 0, kMaxSlots);
  std::fill(std::begin(A), std::end(A), 0);
  for (int32_t i = 1; i <= N; ++i) {
    const int32_t code = sta.EntConn[staSide][i];
    if (code == 0) continue;
    const TEntCode c = SplitEntCode(code);
    if (c.Id == rail.Id) {
      A[i] = c.Slot;
      RailSide = c.Side;
    } else {
      A[i] = -1;
    }
  }
  Changed = false;
  SetAngles(sta.Rote, rail.Rote);
}

TRailConnClass TRailConnState::ClassOf(int32_t i) const {
  if (i < 1 || i > N) return TRailConnClass::kFree;
  if (A[i] < 0) return TRailConnClass::kOther;
  if (A[i] == 0) return RunSide(i) != 0 ? TRailConnClass::kRunNext : TRailConnClass::kFree;
  return A[i] == 1 || A[i] == Tracks() ? TRailConnClass::kRunEnd : TRailConnClass::kRunInner;
}

int32_t TRailConnState::RunSide(int32_t i) const {
  if (InRun(i - 1)) return -1;
  if (InRun(i + 1)) return 1;
  return 0;
}

int32_t TRailConnState::Tracks() const {
  int32_t most = 0;
  for (int32_t i = 1; i <= N; ++i) most = std::max(most, A[i]);
  return most;
}

bool TRailConnState::Click(int32_t i) {
  const TRailConnClass k = ClassOf(i);
  const int32_t d = RunSide(i);
  if (d == 0 || (k != TRailConnClass::kRunEnd && k != TRailConnClass::kRunNext)) return false;
  if (k == TRailConnClass::kRunEnd) {
    const bool first = A[i] == 1;
    A[i] = 0;
    for (int32_t j = i + d; first && InRun(j); j += d) --A[j];
  } else if (A[i + d] == 1) {
    A[i] = 1;
    for (int32_t j = i + d; InRun(j); j += d) ++A[j];
  } else {
    A[i] = A[i + d] + 1;
  }
  Changed = true;
  return true;
}

void TRailConnState::Apply(TStaObj& sta, TRailObj& rail) const {
  const int32_t s = StaSide, r = RailSide;
  for (int32_t k = 1; k <= kMaxSlots; ++k) rail.EntConn[r][k] = 0;
  for (int32_t i = 1; i <= N; ++i) {
    if (A[i] >= 1) {
      sta.EntConn[s][i] = MakeEntCode(rail.Id, A[i], r);
      rail.EntConn[r][A[i]] = MakeEntCode(sta.Id, i, s);
    } else if (A[i] == 0) {
      sta.EntConn[s][i] = 0;
    }
  }
  rail.EntCount[0] = rail.EntCount[1] = Tracks();
}

// ---- Picture -----------------------------------------------------------------------------------

TPoint TRailConnState::EntryPos(int32_t i, TPoint m) const {
  const int32_t c = i - (N + 1) / 2;
  return {m.x + c * RoundInt(-15 * std::sin(roteS_)), m.y + c * RoundInt(15 * std::cos(roteS_))};
}

TPoint TRailConnState::StaLineEnd(int32_t i, TPoint m) const {
  const TPoint e = EntryPos(i, m);
  return {e.x + RoundInt(-Far() * std::cos(roteS_)), e.y + RoundInt(-Far() * std::sin(roteS_))};
}

TPoint TRailConnState::RailLineEnd(int32_t i, TPoint m) const {
  const TPoint e = EntryPos(i, m);
  return {e.x + RoundInt(Far() * std::cos(roteR_)), e.y + RoundInt(Far() * std::sin(roteR_))};
}

int32_t TRailConnState::EntryAt(int32_t x, int32_t y, TPoint m) const {
  for (int32_t i = 1; i <= N; ++i) {
    const TPoint e = EntryPos(i, m);
    const int64_t dx = x - e.x, dy = y - e.y;
    if (dx * dx + dy * dy <= 25) return i;
  }
  return 0;
}

}  // namespace ramvel
