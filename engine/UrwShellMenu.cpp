// The program shell's choices and rules: speed and zoom items, menu enabling, the time input.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>

#include "engine/UrwBrdData.h"
#include "engine/UrwBrdView.h"
#include "engine/UrwShellState.h"

namespace ramvel {

// ---- Clock and zoom choices --------------------------------------------------------------------

std::vector<std::string> SpeedItems() {
  std::vector<std::string> items;
  for (const int32_t m : kClockMultiples) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%2d倍速", m);
    items.emplace_back(buf);
  }
  return items;
}

std::vector<std::string> ScaleItems() {
  std::vector<std::string> items;
  for (const int32_t z : kZooms) items.push_back("1/" + IntText(z));
  return items;
}

int32_t StepMultiple(std::string_view itemText) {
  std::string head(itemText.substr(0, 2));
  const size_t first = head.find_first_not_of(' ');
  if (first == std::string::npos) return 0;
  head = head.substr(first);
  while (!head.empty() && head.back() == ' ') head.pop_back();
  int32_t v = 0;
  return ParseInt(head, v) ? v : 0;
}

// ---- Menus -------------------------------------------------------------------------------------

TMenuState MenuState(const TMenuInput& in) {
  const bool design = in.Open && in.DesignMode;
  const bool idle = design && in.EditMode == kEditIdle;
  const bool lineEd = design && in.EditMode == kEditLine;
  TMenuState m;
  m.ModeSel = m.Save = m.SaveBAK = m.GbxDsp = in.Open;
  m.Layout = m.StaEdit = m.DiaEdit = m.LandLoad = m.StaAdd = idle;
  m.LineNew = m.LineMod = m.LineDel = idle;
  m.Gbx4StaEdit = design && in.EditMode == kEditPutSta;
  m.LineEdit = idle || lineEd;
  m.LineRing = m.LineCancel = lineEd;
  m.LineFix = lineEd && in.LineStas > 1;
  return m;
}

// ---- Selection lists ---------------------------------------------------------------------------

TSelGeometry SelGeometry(size_t n, bool textMode) {
  TSelGeometry g;
  g.ItemH = textMode ? 15 : 60;
  const size_t maxRows = textMode ? 15 : 8;
  g.Rows = static_cast<int>(std::min(n, maxRows));
  g.ListH = g.Rows * g.ItemH + 5;
  g.ClientH = g.ListH < 65 ? 75 : g.ListH + 10;
  return g;
}

std::vector<std::string> StaFilesToOffer(int kind, const std::string& brdFolder,
                                         const TBrdData* brd) {
  std::vector<std::string> names = ListFiles(ResolveIn(brdFolder, "station"), "txt");
  if (kind != 2 || brd == nullptr) return names;
  std::erase_if(names, [&](const std::string& n) {
    return std::any_of(brd->Stas.begin(), brd->Stas.end(),
                       [&](const auto& kv) { return SameNoCase(kv.second->Name, n); });
  });
  return names;
}

bool CarIdOfItem(const std::string& item, int32_t& no) {
  std::string head = item.substr(0, item.find('('));
  const size_t first = head.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const size_t last = head.find_last_not_of(" \t");
  return ParseInt(head.substr(first, last - first + 1), no);
}

// ---- Clock time input --------------------------------------------------------------------------

bool AskCurTime(const std::string& shown, int32_t& t) {
  for (;;) {
    const std::optional<std::string> answer =
        UiHost().InputBox("時刻の変更", "希望の時刻を入力して下さい", shown);
    if (!answer || *answer == shown) return false;
    if (TextToTime(ToHalfWidth(*answer), t)) return true;
  }
}

}  // namespace ramvel
