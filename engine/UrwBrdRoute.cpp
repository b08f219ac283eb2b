// The track network: walking rails between stations, neighbour stations, routes between the
// platforms of neighbouring stations, near flags and the connection check.
#include "engine/UrwBrdData.h"

namespace ramvel {

namespace {

// Walks give up after this many rails so that a closed loop of rails ends.
constexpr int kMaxNearWalk = 10000;

}  // namespace

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
