// The track network: walking rails between stations, neighbour stations, routes between the
// platforms of neighbouring stations, near flags and the connection check.
#include <algorithm>
#include <cstdint>

#include "engine/UrwBrdData.h"

namespace ramvel {

namespace {

// Walks give up after this many rails so that a closed loop of rails ends.
constexpr int kMaxNearWalk = 10000;
constexpr int kMaxRailWalk = 10001;
constexpr int kMaxBlkWalk = 100000;

bool IsStaCode(int32_t code) { return code != 0 && IdKind(code) == kKindSta; }

int32_t LastCode(std::string_view path) {
  const size_t comma = path.rfind(',');
  int32_t code = 0;
  ParseInt(comma == std::string_view::npos ? path : path.substr(comma + 1), code);
  return code;
}

void SortNoCase(std::vector<std::string>& list) {
  std::stable_sort(list.begin(), list.end(), TLessNoCase());
}

}  // namespace

bool TBrdData::WalkRail(std::string& path, int32_t& next, bool onlyNext, int32_t& len) {
  const TEntCode e = SplitEntCode(LastCode(path));
  const TRailObj* rail = FindRail(e.Id, "RAIL");
  if (rail == nullptr) return false;
  const int32_t far = 1 - e.Side;
  next = InRange(e.Slot, 1, kMaxSlots) ? rail->EntConn[far][e.Slot] : 0;
  if (!onlyNext) path += "," + IntText(MakeEntCode(rail->Id, e.Slot, far));
  path += "," + IntText(next);
  // Saturates rather than wraps, so that a long chain can never look short.
  len = static_cast<int32_t>(std::min<int64_t>(int64_t{len} + rail->Length, INT32_MAX));
  return true;
}

bool TBrdData::ListUpConnSta(int32_t a, int32_t t, std::vector<std::string>& list, int32_t b,
                             int32_t x) {
  SortNoCase(list);
  TStaObj* sta = FindSta(a, "ListUpConnSta-STA-1");
  if (sta == nullptr) return false;
  // The list is sorted on every return, the early ones included.
  struct TSortOnExit {
    std::vector<std::string>& List;
    ~TSortOnExit() { SortNoCase(List); }
  } sortOnExit{list};
  bool foundTarget = t == 0, missedExcluded = true;
  const int32_t n = std::clamp(sta->EntCount[b], 0, kMaxSlots);
  for (int32_t e = 1; e <= n; ++e) {
    int32_t next = sta->EntConn[b][e];
    std::string path = IntText(MakeEntCode(sta->Id, e, b)) + "," + IntText(next);
    int32_t sum = 0;
    for (int i = 0; i < kMaxRailWalk && next != 0 && !IsStaCode(next); ++i) {
      if (!WalkRail(path, next, false, sum)) return false;
    }
    if (!IsStaCode(next)) continue;
    const int32_t s = SplitEntCode(next).Id;
    if (t > 0 && s == SplitEntCode(t).Id) foundTarget = true;
    if (x > 0 && s == SplitEntCode(x).Id) missedExcluded = false;
    list.push_back(IntText(sum) + "," + path);
  }
  return foundTarget && missedExcluded;
}

void TBrdData::GetPathToNextSta(int32_t fromSta, int32_t fromHome, int32_t fromSide,
                                int32_t toSta, int32_t toHome, std::vector<std::string>& list) {
  TStaObj* from = FindSta(fromSta, "GetPathToNextSta-STA-1");
  if (from == nullptr) return;
  std::vector<std::string> exits;
  from->ListPathsFromHome(fromHome, fromSide, exits);
  for (std::string& path : exits) {
    int32_t next = LastCode(path), sum = 0;
    bool ok = true;
    for (int i = 0; ok && i < kMaxRailWalk && next != 0 && !IsStaCode(next); ++i) {
      ok = WalkRail(path, next, true, sum);
    }
    if (!ok) return;
    if (!IsStaCode(next) || SplitEntCode(next).Id != SplitEntCode(toSta).Id) continue;
    if (TStaObj* to = FindSta(toSta, "STA")) to->ListPathsToHomes(path, toHome, list);
  }
  PickBestPath(list);
}

void TBrdData::ListUpNextStaCanGo(int32_t fromSta, int32_t fromHome, int32_t fromSide,
                                  int32_t toSta, int32_t toHome, std::vector<std::string>& list) {
  TStaObj* from = FindSta(fromSta, "ListUpNextStaCanGo-STA-1");
  if (from == nullptr) return;
  std::vector<std::string> exits;
  from->ListPathsFromHome(fromHome, fromSide, exits);
  for (std::string& path : exits) {
    int32_t cur = from->Id, code = 0;
    for (int i = 0; i < kMaxBlkWalk && !IsStaCode(code); ++i) {
      const TBlkObj* blk = FindBlkEnd(LastCode(path), "");
      if (blk == nullptr) break;
      code = blk->OtherEnd(cur);
      path += "," + IntText(code);
      cur = SplitEntCode(blk->BlkCode).Id;
    }
    if (!IsStaCode(code) || SplitEntCode(code).Id != SplitEntCode(toSta).Id) continue;
    if (TStaObj* to = FindSta(toSta, "ListUpNextStaCanGo-STA-2")) {
      to->ListPathsToHomes(path, toHome, list);
    }
  }
  PickBestPath(list);
}

void TBrdData::PickBestPath(std::vector<std::string>& list) {
  if (list.size() < 2) return;
  SortNoCase(list);
  // Diverging turnouts of the departure and the arrival station parts of a route.
  const auto switches = [&](const std::string& route) {
    const std::vector<std::string> parts = SplitComma(TextAfter(route, '='));
    int32_t n = 0;
    if (parts.empty()) return n;
    for (const std::string* part : {&parts.front(), &parts.back()}) {
      FindSta(TextBefore(*part + "|", "|"), "ListUpNextStaCanGo-STA-3");
      n += TStaObj::CountDiverging(*part);
    }
    return n;
  };
  size_t i = 0;
  while (i + 1 < list.size()) {
    if (TextBefore(list[i], "=") != TextBefore(list[i + 1], "=")) {
      ++i;
    } else if (switches(list[i]) < switches(list[i + 1])) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    } else {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

void TBrdData::SetNearStaFlag(const TRailObj& rail) {
  for (int32_t side = 0; side < 2; ++side) {
    int32_t code = rail.EntConn[side][1];
    for (int n = 0; n < kMaxNearWalk && code != 0; ++n) {
      const TEntCode e = SplitEntCode(code);
      if (IdKind(e.Id) == kKindSta) {
        if (TStaObj* sta = FindSta(e.Id, "SetNearStaFlag-STA-1")) sta->NearFlag = true;
        break;
      }
      const TRailObj* next = FindRail(e.Id, "RAIL");
      if (next == nullptr || next->ShowDetail) break;
      code = next->EntConn[1 - e.Side][1];
    }
  }
}

bool TBrdData::CheckAllConn(std::string& name) const {
  const auto open = [](const TBaseObj& obj) {
    for (int32_t side = 0; side < 2; ++side) {
      if (FreeSlotRun(obj, side).Any) return true;
    }
    return false;
  };
  for (const auto& [key, sta] : Stas) {
    if (open(*sta)) {
      name = sta->Name;
      return false;
    }
  }
  for (const auto& [key, rail] : Rails) {
    if (open(*rail)) {
      name = "レール#" + IntText(rail->Id);
      return false;
    }
  }
  return true;
}

}  // namespace ramvel
