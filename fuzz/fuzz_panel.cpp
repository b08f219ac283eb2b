// Fuzzes the readers of the piece definitions and the palette: any bytes either fail with a
// message or give a catalogue whose lookups stay inside it.
#include <cstdint>

#include "FuzzSupport.h"
#include "station_designer/UrwStaPanel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ramvel;
  const std::string dir = fuzz::ScratchDir();
  fuzz::WriteRaw(dir + "/rw_panel.txt", data, size);
  fuzz::WriteRaw(dir + "/rw_tbl.txt", data, size);
  TStaPanels panels;
  // Either read may refuse the bytes; the lookups below must stay safe whatever it answered.
  static_cast<void>(panels.LoadPanels(dir + "/rw_panel.txt"));
  static_cast<void>(panels.LoadTbl(dir + "/rw_tbl.txt"));
  for (int32_t no = -1; no <= 20; ++no) panels.Get(no);
  for (int32_t c = 0; c <= 9; ++c) {
    for (int32_t r = 0; r <= 6; ++r) panels.PanelAtTbl(c, r);
  }
  return 0;
}
