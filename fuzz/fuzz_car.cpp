// Fuzz target for the car file: whatever loads must save, load again and save to the same bytes,
// and a file the program wrote itself must always load.
#include <cstdint>

#include "FuzzSupport.h"
#include "model/UrwCarObj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ramvel;
  const std::string dir = fuzz::ScratchDir();
  const std::string in = dir + "/in", a = dir + "/a", b = dir + "/b";
  fuzz::WriteRaw(in + "/3.txt", data, size);
  std::filesystem::create_directories(a);
  std::filesystem::create_directories(b);
  TCarObj first;
  if (!first.LoadCar(in, "3").ok()) return 0;
  const std::string stem = IntText(first.Id);
  if (!first.SaveCar(a).ok()) std::abort();
  TCarObj second;
  if (!second.LoadCar(a, stem).ok()) std::abort();
  if (!second.SaveCar(b).ok()) std::abort();
  fuzz::CheckSame(fuzz::ReadRaw(a + "/" + stem + ".txt"), fuzz::ReadRaw(b + "/" + stem + ".txt"));
  return 0;
}
