// Fuzzes the OuDia reader: any bytes either are refused with a message or read into a document
// whose written form reads back to the same bytes (for both .oud and .oud2).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/UrwTextRec.h"
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
    // Shift-JIS bytes that happen to be valid UTF-8 throughout are read as UTF-8, as files
    // converted by other tools are; such texts cannot come back from a .oud.
    std::string cp932, decoded;
    if (!doc.Second && Cp932ToUtf8(a, cp932) && DecodeOudBytes(a, false, decoded).ok() &&
        cp932 != decoded) {
      continue;
    }
    TOudDoc back;
    if (!ReadOudDoc(a, doc.Second, back).ok()) std::abort();
    std::string b;
    if (!OudDocBytes(back, b).ok() || a != b) std::abort();
  }
  return 0;
}
