// Stations for tests built from cell pictures with the program's own pieces.
#include "StaPicture.h"

#include <gtest/gtest.h>

namespace ramvel::test {

TStaPicture ThreeHomeSta(const std::string& name) {
  TStaPicture pic;
  pic.Name = name;
  pic.FirstRow = 9;
  pic.Ent[0] = pic.Ent[1] = 2;
  pic.Rows = {
      // 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20
      ". . . . . . . . 13 - - - . . . . . . . .", "1 1 1 1 1 1 1 1 14 - - - 1 1 1 1 1 1 1 1",
      "1 1 1 4 1 1 1 1 14 - - - 1 1 1 1 6 1 1 1", ". . . | 1 1 1 1 14 - - - 1 1 1 1 | . . .",
      ". . . . . . . . 13 - - - . . . . . . . .",
  };
  return pic;
}

std::string DataDir() { return std::string(RAMVEL_SOURCE_DIR) + "/data"; }

const TStaPanels& StdPanels() {
  static const TStaPanels panels = [] {
    TStaPanels p;
    const TStatus st = p.Load(DataDir());
    if (!st) ADD_FAILURE() << st.Msg();
    return p;
  }();
  return panels;
}

TStatus DesignSta(const TStaPicture& pic, TStaEditor& ed, const std::string& brdDir,
                  int32_t idSta) {
  return DesignPictureSta(pic, StdPanels(), ed, brdDir, idSta);
}

TStatus MakeSta(const TStaPicture& pic, TStaObj& out) {
  return MakePictureSta(pic, StdPanels(), out);
}

TStatus SavePictureSta(const TStaPicture& pic, const std::string& brdDir, int32_t& idSta) {
  return ramvel::SavePictureSta(pic, StdPanels(), brdDir, idSta);
}

TStaObj* PlacePictureSta(TBrdData& brd, const TStaPicture& pic, int32_t id, int32_t gx,
                         int32_t gy) {
  TStaObj sta;
  if (const TStatus st = MakeSta(pic, sta); !st) {
    ADD_FAILURE() << st.Msg();
    return nullptr;
  }
  sta.Id = id;
  brd.Stas.emplace(IntText(id), std::make_unique<TStaObj>(std::move(sta)));
  brd.StaPlace(id, {gx, gy}, {11, 0}, nullptr, nullptr);
  return brd.FindSta(id, "");
}

}  // namespace ramvel::test
