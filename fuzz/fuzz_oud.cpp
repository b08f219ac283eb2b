// Fuzzes the OuDia reader: any bytes either are refused with a message or read into a document
// whose written form reads back to the same bytes (for both .oud and .oud2).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "interop/UrwOudFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ramvel;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const bool second : {false, true}) {
    TOudDoc doc;
    const TStatus st = ReadOudDoc(bytes, second, doc);
    if (!st.ok()) {
      if (st.Msg().empty()) std::abort();
      continue;
    }
    std::string a;
    if (!OudDocBytes(doc, a).ok()) continue;  // a text without a CP932 form
    TOudDoc back;
    if (!ReadOudDoc(a, doc.Second, back).ok()) std::abort();
    std::string b;
    if (!OudDocBytes(back, b).ok() || a != b) std::abort();
  }
  return 0;
}
