// ramvel-mkoud: writes the synthetic OuDia timetable used by the import's benchmark and tests.
//   ramvel-mkoud OUT.oud2 [--stations N] [--trains N] [--cut N]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "foundation/UrwTextRec.h"
#include "tools/oud/UrwOudSynth.h"

int main(int argc, char** argv) {
  using namespace ramvel;
  TOudSynthShape shape;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    int32_t* field = a == "--stations" ? &shape.Stations
                     : a == "--trains" ? &shape.Trains
                     : a == "--cut"    ? &shape.Cut
                                       : nullptr;
    if (field != nullptr && i + 1 < argc && ParseInt(argv[i + 1], *field) && *field >= 0) {
      ++i;
    } else if (field == nullptr && out.empty() && a.rfind("--", 0) != 0) {
      out = a;
    } else {
      std::fprintf(stderr, "使い方: ramvel-mkoud OUT.oud2 [--stations N] [--trains N] [--cut N]\n");
      return 2;
    }
  }
  if (out.empty() || shape.Stations < 2) {
    std::fprintf(stderr, "使い方: ramvel-mkoud OUT.oud2 [--stations N] [--trains N] [--cut N]\n");
    return 2;
  }
  const TOudDoc doc = MakeSynthOud(shape);
  std::string bytes;
  if (TStatus st = OudDocBytes(doc, bytes); !st) {
    std::fprintf(stderr, "%s\n", st.Msg().c_str());
    return 1;
  }
  std::ofstream f(out, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f.good()) {
    std::fprintf(stderr, "%s: 書き込めません\n", out.c_str());
    return 1;
  }
  for (const TOudDia& d : doc.Dias) {
    std::printf("%s: %zu本\n", d.Name.c_str(), d.Trains.size());
  }
  return 0;
}
