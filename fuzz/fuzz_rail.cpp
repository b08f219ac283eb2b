// Fuzz target for the rail file: whatever loads must save, load again and save to the same bytes,
// and a file the program wrote itself must always load.
#include <cstdint>

#include "FuzzSupport.h"
#include "model/UrwRailObj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ramvel;
  const std::string dir = fuzz::ScratchDir();
  const std::string in = dir + "/in", a = dir + "/a", b = dir + "/b";
  fuzz::WriteRaw(in + "/5002.txt", data, size);
  std::filesystem::create_directories(a);
  std::filesystem::create_directories(b);
  TRailObj first;
  if (!first.LoadRail(in, "5002").ok()) return 0;
  const std::string stem = IntText(first.Id);
  if (!first.SaveRail(a).ok()) std::abort();
  TRailObj second;
  if (!second.LoadRail(a, stem).ok()) std::abort();
  if (!second.SaveRail(b).ok()) std::abort();
  fuzz::CheckSame(fuzz::ReadRaw(a + "/" + stem + ".txt"), fuzz::ReadRaw(b + "/" + stem + ".txt"));
  return 0;
}
