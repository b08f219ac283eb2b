// A board folder for tests of reading and writing boards, filled through the model's writers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "StaBuilder.h"
#include "TestSupport.h"
#include "engine/UrwBrdData.h"

namespace ramvel::test {

namespace fs = std::filesystem;

inline const std::string kLeftOut = "駅のデータ読み込みに失敗、データを除外します";

// A board folder "B" under a temporary base directory, filled through the model's writers.
class BoardTest : public ::testing::Test {
 protected:
  std::string Folder() const { return base_ / "B"; }

  void WriteBoardTxt(const std::vector<std::string>& names) {
    std::string text =
        "SCR_XLEFT=1080\r\nSCR_YTOP=2160\r\nSCR_MPERP=12\r\nID_STA=20\r\n"
        "ID_RAIL=3\r\nSTA_COUNT=" +
        std::to_string(names.size()) + "\r\n";
    for (size_t i = 0; i < names.size(); ++i) {
      text += "STA" + std::to_string(i + 1) + "=" + names[i] + "\r\n";
    }
    WriteBytes(Folder() + "/Board.txt", text);
  }

  void AddStation(int32_t id, const std::string& name, TPoint e0, TPoint e1, int32_t ents) {
    fs::create_directories(Folder() + "/station");
    TStaObj sta = TStaBuilder(id, name).Ents(ents, ents).At(e0, e1).Build();
    ASSERT_TRUE(sta.SaveSta(Folder() + "/station").ok());
  }

  void AddRail(int32_t id, TPoint e0, TPoint e1, int32_t tracks) {
    fs::create_directories(Folder() + "/rail");
    TRailObj r;
    r.Id = id;
    r.EndPos[0] = e0;
    r.EndPos[1] = e1;
    r.EntCount[0] = r.EntCount[1] = tracks;
    r.Length = RoundInt(ObjLength(r));
    SetRote(r);
    ASSERT_TRUE(r.SaveRail(Folder() + "/rail").ok());
  }

  void AddCar(int32_t no, const std::vector<TTmTbl>& steps) {
    fs::create_directories(Folder() + "/car");
    TCarObj c;
    c.SetProps({no, "", 0x0000FF, 4, 108});
    c.Id = no;
    for (const TTmTbl& s : steps) c.TmTbl.Add(s);
    ASSERT_TRUE(c.SaveCar(Folder() + "/car").ok());
  }

  // Two stations (10001 "A", 2001 "B") joined by rail 1002, and train sets 1 and 2.
  void MakeSmallBoard() {
    WriteBoardTxt({"A", "B"});
    AddStation(10001, "A", {0, 0}, {1188, 0}, 2);
    AddStation(2001, "B", {2376, 0}, {3564, 0}, 2);
    AddRail(1002, {1188, 0}, {2376, 0}, 2);
    AddCar(1, {{"", -1, -1, MakeEntCode(10001, 1, 0)},
               {"101,普通", 600, 660, 10011},
               {"", 900, -1, 2011}});
    AddCar(2, {{"", -1, -1, MakeEntCode(2001, 1, 0)},
               {"201,急行 はやて", 700, 760, 2011},
               {"", 1000, -1, 10011}});
  }

  std::string Load(TBrdData& brd) { return brd.LoadBrd(base_.Path(), "B").Msg(); }

  TTempDir base_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

}  // namespace ramvel::test
