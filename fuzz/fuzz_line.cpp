// Fuzzes the line file and the program's settings files: any bytes either fail with a message or
// read, and what a line file read gives is written and read back the same.
#include <cstdint>

#include "FuzzSupport.h"
#include "engine/UrwBrdData.h"
#include "engine/UrwShellState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ramvel;
  const std::string dir = fuzz::ScratchDir();
  fuzz::WriteRaw(dir + "/line/L.txt", data, size);
  fuzz::WriteRaw(dir + "/PrwMain.ini", data, size);
  fuzz::WriteRaw(dir + "/latest.txt", data, size);
  ReadSettings(dir + "/PrwMain.ini");
  ReadRecentBrds(dir + "/latest.txt");
  TBrdData brd;
  if (!brd.SetLine("L").ok() || !brd.LoadLine(dir).ok()) return 0;
  const std::vector<std::string> stations = brd.LineStas;
  if (!brd.SetLine("M").ok()) std::abort();
  brd.LineStas = stations;
  if (!brd.SaveLine(dir).ok()) std::abort();
  if (!brd.LoadLine(dir).ok() || brd.LineStas != stations) std::abort();
  return 0;
}
