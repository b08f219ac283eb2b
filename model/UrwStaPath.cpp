// Paths through a station: items, the depth-first path searches, occupancy of platform tracks,
// plain tracks and turnouts, running times and the laying of a train's body.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/UrwCarObj.h"
#include "model/UrwStaObj.h"

namespace ramvel {

namespace {

// Every path search stops after this many characters of work entries, whatever the station file
// holds: a sound station needs a few thousand.
constexpr size_t kSearchBudgetChars = 4u << 20;
constexpr int kMaxOccupyRounds = 1000;

std::vector<std::string> SplitAt(std::string_view s, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    const size_t i = s.find(sep, start);
    out.emplace_back(s.substr(start, i == std::string_view::npos ? s.npos : i - start));
    if (i == std::string_view::npos) return out;
    start = i + 1;
  }
}

// A work entry is a path followed by "," and the current point "u,v".
std::string Entry(const std::string& q, TPoint p) { return q + "," + PtToText(p); }

void TakeEntry(const std::string& entry, std::string& q, TPoint& p) {
  const size_t c2 = entry.rfind(',');
  const size_t c1 = entry.rfind(',', c2 - 1);
  q = entry.substr(0, c1);
  ParseInt(std::string_view(entry).substr(c1 + 1, c2 - c1 - 1), p.x);
  ParseInt(std::string_view(entry).substr(c2 + 1), p.y);
}

std::string ItemOf(const StaRail& r, int32_t route) { return ItemText(r.Kind, r.No, route); }

std::string HomeLabel(const std::string& name, int32_t home) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%3d", home);
  return name + buf + "番ホーム";
}

}  // namespace

std::string ItemText(int32_t kind, int32_t no, int32_t r) {
  if (kind == kRailHome) return "H;" + IntText(no);
  if (kind == kRailPlain) return "R;" + IntText(no);
  return IntText(r) + ";" + IntText(no);
}

int32_t PartCode(std::string_view part) { return IntOr0(part.substr(0, part.find('|'))); }

TPathItem ParseItem(std::string_view item) {
  TPathItem it;
  const size_t semi = item.find(';');
  if (semi != std::string_view::npos) ParseInt(item.substr(semi + 1), it.No);
  const char c = item.empty() ? '\0' : item[0];
  if (c == 'H') {
    it.Kind = kRailHome;
  } else if (c == 'R') {
    it.Kind = kRailPlain;
  } else {
    it.Kind = kRailPt;
    it.R = c - '0';
  }
  return it;
}

// ---- Segment lookup ----------------------------------------------------------------------------

StaRail* TStaObj::GetRailInSta(int32_t kind, int32_t no) {
  for (StaRail& r : Rails) {
    if (r.Kind == kind && r.No == no) return &r;
  }
  ShowPlainMsg("GetRailInSta Error:" + IntText(kind) + "/" + IntText(no));
  return nullptr;
}

TRailAt TStaObj::RailAtPoint(TPoint p, int32_t end) {
  for (StaRail& r : Rails) {
    if (!PtEqual(r.P[end], p)) continue;
    if (r.Kind == kRailPt) return {kAtPt, &r};
    if (r.Kind == kRailHome) return {kAtHome, &r};
    return {kAtPlain, &r};
  }
  return {p.x == 0 || p.x == kStaAxisM ? kAtEdge : kAtDeadEnd, nullptr};
}

int32_t TStaObj::SlotAtV(int32_t side, int32_t v) const {
  return v / kSlotGapM + (EntCount[side] + 1) / 2;
}

std::string TStaObj::HomePathText(int32_t code, int32_t home) {
  return IntText(code) + "|H;" + IntText(home);
}

int32_t TStaObj::CountDiverging(std::string_view path) {
  const std::vector<std::string> items = SplitAt(path, '|');
  int32_t n = 0;
  for (size_t i = 1; i < items.size(); ++i) {
    const TPathItem it = ParseItem(items[i]);
    if (it.Kind == kRailPt && it.R > 1) ++n;
  }
  return n;
}

// ---- Path searches -----------------------------------------------------------------------------

// The open work entries of a path search. No path is longer than the station has segments, so
// a damaged station whose segments lead in circles ends its searches; the character budget bounds
// the rest (turnouts that branch again and again).
struct TStaObj::TPathWork {
  std::vector<std::string> Stack;
  size_t MaxItems;
  size_t Budget = kSearchBudgetChars;

  explicit TPathWork(size_t segments) : MaxItems(segments + 1) {}

  void Push(std::string entry) {
    const size_t items = static_cast<size_t>(std::count(entry.begin(), entry.end(), '|'));
    if (items > MaxItems || entry.size() > Budget) return;
    Budget -= entry.size();
    Stack.push_back(std::move(entry));
  }
  bool Pop(std::string& q, TPoint& p) {
    if (Stack.empty() || Budget == 0) return false;
    TakeEntry(Stack.back(), q, p);
    Stack.pop_back();
    return true;
  }
};

void TStaObj::ExpandTurnout(const std::string& q, TPoint p, int32_t no, int32_t startEnd,
                            int32_t farEnd, TPathWork& work) {
  const int32_t k = no / 10;
  if (k < 1 || k > static_cast<int32_t>(Pts.size())) return;
  const TPtStatus& pt = Pts[static_cast<size_t>(k - 1)];
  for (int32_t r = 1; r <= std::min(pt.RouteCnt, kMaxRoutes); ++r) {
    for (const std::string& jText : SplitComma(pt.Routes[static_cast<size_t>(r)])) {
      int32_t j = 0;
      if (!ParseInt(jText, j)) continue;
      const StaRail* s = GetRailInSta(kRailPt, j + 10 * k);
      if (s != nullptr && PtEqual(s->P[startEnd], p)) {
        work.Push(Entry(q + "|" + ItemText(kRailPt, s->No, r), s->P[farEnd]));
      }
    }
  }
}

bool TStaObj::ListPathsFromHome(int32_t home, int32_t dir, std::vector<std::string>& list) {
  list.clear();
  const StaRail* h = GetRailInSta(kRailHome, home);
  if (h == nullptr) return false;
  TPathWork work(Rails.size());
  work.Push(Entry(HomePathText(MakeEntCode(Id, 0, dir), home), h->P[dir]));
  std::string q;
  TPoint p;
  while (work.Pop(q, p)) {
    const TRailAt at = RailAtPoint(p, 1 - dir);
    if (at.Result == kAtPlain) {
      work.Push(Entry(q + "|" + ItemOf(*at.Rail, 0), at.Rail->P[dir]));
    } else if (at.Result == kAtPt) {
      ExpandTurnout(q, p, at.Rail->No, 1 - dir, dir, work);
    } else if (at.Result == kAtEdge) {
      const int32_t slot = SlotAtV(dir, p.y);
      const int32_t conn = InRange(slot, 1, kMaxSlots) ? EntConn[dir][slot] : 0;
      list.push_back(q + "," + IntText(conn));
    }
  }
  return !list.empty();
}

void TStaObj::ListPathsToHomes(std::string_view start, int32_t home,
                               std::vector<std::string>& out) {
  const size_t comma = start.rfind(',');
  int32_t code = 0;
  ParseInt(comma == std::string_view::npos ? start : start.substr(comma + 1), code);
  const TEntCode e = SplitEntCode(code);
  const int32_t side = e.Side;
  // The start already holds the route so far; only the station's own items count.
  TPathWork work(Rails.size() + static_cast<size_t>(std::count(start.begin(), start.end(), '|')));
  work.Push(Entry(std::string(start), StaEntPoint(*this, e.Slot, side)));
  std::string q;
  TPoint p;
  while (work.Pop(q, p)) {
    const TRailAt at = RailAtPoint(p, side);
    if (at.Result == kAtPlain) {
      work.Push(Entry(q + "|" + ItemOf(*at.Rail, 0), at.Rail->P[1 - side]));
    } else if (at.Result == kAtPt) {
      ExpandTurnout(q, p, at.Rail->No, side, 1 - side, work);
    } else if (at.Result == kAtHome && (home < 0 || home == at.Rail->No)) {
      out.push_back(HomeLabel(Name, at.Rail->No) + "=" + q + "|H;" + IntText(at.Rail->No));
    }
  }
}

// ---- Occupancy ---------------------------------------------------------------------------------

int32_t TStaObj::PtWait(int32_t pt, int32_t r, int32_t t, int32_t dur) const {
  if (pt < 1 || pt > static_cast<int32_t>(Pts.size())) return 0;
  const auto& occ = Pts[static_cast<size_t>(pt - 1)].Occ;
  const int32_t last = kPtSlots - 1;
  const int32_t s0 = std::clamp(t / kPtSlotSec, 0, last);
  const int32_t len = std::max(0, (t + dur) / kPtSlotSec - t / kPtSlotSec);
  const auto freeAt = [&](int32_t s) {
    for (int32_t i = s; i <= std::min(s + len, last); ++i) {
      if (occ[static_cast<size_t>(i)] != -1 && occ[static_cast<size_t>(i)] != r) return false;
    }
    return true;
  };
  int32_t s = s0;
  while (!freeAt(s) && s < last) ++s;
  return s == s0 ? 0 : s * kPtSlotSec - t;
}

void TStaObj::PtSet(int32_t pt, int32_t r, int32_t t, int32_t dur) {
  if (pt < 1 || pt > static_cast<int32_t>(Pts.size())) return;
  auto& occ = Pts[static_cast<size_t>(pt - 1)].Occ;
  const int32_t s1 = std::min((t + dur) / kPtSlotSec, kPtSlots - 1);
  for (int32_t s = std::max(t / kPtSlotSec, 0); s <= s1; ++s) {
    if (occ[static_cast<size_t>(s)] == -1) occ[static_cast<size_t>(s)] = r;
  }
}

int32_t TStaObj::CanOccupy(int32_t t, int32_t dur, std::string_view path) {
  const std::vector<std::string> items = SplitAt(path, '|');
  int32_t total = 0;
  for (int round = 0; round < kMaxOccupyRounds; ++round) {
    const int32_t cur = t + total;
    int32_t d = 0;
    for (size_t i = 1; i < items.size() && d < 1; ++i) {
      const TPathItem it = ParseItem(items[i]);
      if (it.Kind == kRailPt) {
        d = PtWait(it.No / 10, it.R, cur, dur);
      } else if (const StaRail* seg = GetRailInSta(it.Kind, it.No); seg && seg->Occ) {
        d = seg->Occ->WaitFor(cur, dur);
      }
    }
    if (d < 1) return total;
    total += d;
  }
  ShowPlainMsg("StaObj.CanOccupyで無限ループ？");
  return total;
}

int32_t TStaObj::OccupyRoute(const std::string& label, int32_t t, std::string_view path,
                             int32_t homeEnd, int32_t dur) {
  const std::vector<std::string> items = SplitAt(path, '|');
  int32_t code0 = 0;
  ParseInt(items[0], code0);
  int32_t lastNo = 0;
  for (size_t i = 1; i < items.size(); ++i) {
    const TPathItem it = ParseItem(items[i]);
    lastNo = it.No;
    if (it.Kind == kRailPt) {
      PtSet(it.No / 10, it.R, t, dur);
      PtUses.push_back({it.No / 10, it.R, t / kPtSlotSec, (t + dur) / kPtSlotSec, label});
      continue;
    }
    StaRail* seg = GetRailInSta(it.Kind, it.No);
    if (seg == nullptr) continue;
    if (!seg->Occ) seg->Occ = std::make_unique<TTmTblObj>();
    const int32_t end = it.Kind == kRailHome && homeEnd >= 0 ? homeEnd : t + dur;
    seg->Occ->Add({label, t, end, 0});
  }
  return MakeEntCode(Id, lastNo, SplitEntCode(code0).Side);
}

int32_t TStaObj::OccupyHome(int32_t t, int32_t home, const std::string& label, TTmTbl& occ) {
  StaRail* seg = GetRailInSta(kRailHome, home);
  if (seg == nullptr) return 0;
  if (!seg->Occ) seg->Occ = std::make_unique<TTmTblObj>();
  const int32_t free = seg->Occ->FreeUntil(t);
  if (free <= 0 && seg->Occ->Count() > 0 && seg->Occ->At(-free).TmStart <= t) {
    occ = seg->Occ->Get(-free);
    return -1;
  }
  if (!label.empty() && t < free) seg->Occ->Add({label, t, free, 0});
  return free;
}

void TStaObj::FreeHomeAt(int32_t t, int32_t home) {
  StaRail* seg = GetRailInSta(kRailHome, home);
  if (seg != nullptr && seg->Occ) seg->Occ->DeleteByStart(t);
}

bool TStaObj::AddOccLabel(int32_t t, const TTmTblObj* occ, std::string& labels) {
  if (t < 0 || occ == nullptr) return false;
  const std::string txt = occ->TxtAt(t);
  if (txt.empty()) return false;
  const std::string label = "<" + txt + ">";
  if (labels.find(label) != std::string::npos) return false;
  labels += label;
  return true;
}

float StaRunTime(const TCarObj& car, bool arriving, bool fullSpeed) {
  const float half = static_cast<float>(car.NCar * kCarLenM) / 2;
  const float dist = static_cast<float>(kStaMidM) + (arriving ? half : -half);
  const float speed = fullSpeed ? car.SpdMps() : car.SpdMps() / 2;
  return dist / speed;
}

}  // namespace ramvel
