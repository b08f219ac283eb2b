// Fuzzes the record file reader and the list rules: any bytes either fail to load with a message
// or load, and every list value read splits into items that join and split back the same.
#include <cstdint>

#include "FuzzSupport.h"
#include "foundation/UrwTextRec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ramvel;
  const std::string dir = fuzz::ScratchDir();
  const std::string path = dir + "/r.txt";
  fuzz::WriteRaw(path, data, size);
  TextRec rec;
  if (!LoadRec(path, rec).ok()) return 0;
  for (const std::string& line : rec.Lines) {
    const std::string value = line.substr(line.find('=') + 1);
    const auto items = SplitList(value);
    if (SplitList(JoinList(items)) != items) std::abort();
    const auto parts = SplitComma(value);
    if (SplitComma(JoinComma(parts)) != parts) std::abort();
  }
  TRecReader rd(rec, "r.txt");
  rd.Ints("LBL_POS", 4);
  rd.Count("TM_COUNT", 100);
  if (SaveRec(rec, dir + "/s.txt").ok()) {
    TextRec back;
    if (!LoadRec(dir + "/s.txt", back).ok()) std::abort();
    if (SaveRec(back, dir + "/t.txt").ok()) {
      fuzz::CheckSame(fuzz::ReadRaw(dir + "/s.txt"), fuzz::ReadRaw(dir + "/t.txt"));
    }
  }
  return 0;
}
