// Fuzzes the engine on boards that load: the input is cut at lines "====" into Board.txt, the
// station files A and B, a rail file 1002, a car file 1 and the line file L. Whatever loads is
// checked as ramvel-cli check does, searched for routes between every pair of stations, located
// at several times with every object in view, and its line's diagram rebuilt. The sanitizers
// (address, undefined behaviour) and libFuzzer's limits catch what goes wrong.
#include <cstdint>

#include "FuzzSupport.h"
#include "engine/UrwBrdData.h"
#include "engine/UrwBrdView.h"
#include "timetable/UrwLineCheck.h"

namespace {

using namespace ramvel;

void SearchRoutes(TBrdData& brd) {
  std::vector<std::string> list;
  for (const auto& [ka, a] : brd.Stas) {
    for (int32_t side = 0; side < 2; ++side) {
      list.clear();
      brd.ListUpConnSta(a->Id, 0, list, side, 0);
      std::vector<std::string> homes;
      a->ListHomes(homes);
      for (const auto& [kb, b] : brd.Stas) {
        for (size_t h = 0; h < homes.size() && h < 4; ++h) {
          list.clear();
          brd.GetPathToNextSta(a->Id, IntOr0(homes[h]), side, b->Id, -1, list);
        }
      }
    }
  }
}

void Locate(TBrdData& brd) {
  TBrdView view(brd);
  brd.SCR_XLEFT = brd.SCR_YTOP = 0;
  brd.SCR_MPERP = 108;
  view.DesignMode = false;
  view.SetScrSize(2000, 2000);
  view.Recompute(0, 0);
  for (const int32_t t : {0, 3600, 7200, 30000, kDayEnd}) brd.CalcCarLocation(0, t);
  brd.CalcCarLocation(15, 7215);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TScriptedHost host;
  TUiHostScope scope(host);
  const std::string base = fuzz::ScratchDir();
  const std::string in(reinterpret_cast<const char*>(data), size);
  static const char* kParts[] = {"B/Board.txt",     "B/station/A.txt", "B/station/B.txt",
                                 "B/rail/1002.txt", "B/car/1.txt",     "B/line/L.txt"};
  fuzz::WriteParts(base, in, kParts);
  TBrdData brd;
  if (!brd.LoadBrd(base, "B").ok()) return 0;
  std::string name;
  brd.CheckAllConn(name);
  SearchRoutes(brd);
  Locate(brd);
  if (brd.SetLine("L").ok() && brd.LoadLine(base + "/B").ok()) CheckLineProblems(brd);
  return 0;
}
