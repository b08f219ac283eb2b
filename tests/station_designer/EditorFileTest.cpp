// The designer model with files: opening, saving and its refusals, new, copy and open.
#include <gtest/gtest.h>

#include <filesystem>

#include "StaPicture.h"
#include "TestSupport.h"
#include "station_designer/UrwStaEditor.h"

namespace ramvel {
namespace {

using test::DataDir;
using test::DesignSta;
using test::ReadBytes;
using test::SavePictureSta;
using test::StdPanels;
using test::ThreeHomeSta;
using test::TStaPicture;
using test::TTempDir;
using test::WriteBytes;

namespace fs = std::filesystem;

constexpr const char* kUnsaved = "編集結果が保存されていませんがよろしいですか？";
constexpr int32_t kIdSta = 7;

class StaEditorFiles : public ::testing::Test {
 protected:
  void SetUp() override { ed_.Open(StdPanels(), dir_.Path(), kIdSta); }

  void Design(const TStaPicture& pic) {
    const TStatus st = DesignSta(pic, ed_, dir_.Path(), kIdSta);
    ASSERT_TRUE(st) << st.Msg();
  }
  std::string StaFile(const std::string& name) const { return dir_ / ("station/" + name + ".txt"); }
  // Answers the next station choice with name.
  void Choose(std::optional<std::string> name) {
    ed_.SetHooks({nullptr, [name, this](const std::string& brdDir) {
                    EXPECT_EQ(dir_.Path(), brdDir);
                    return name;
                  }});
  }
  // The only message shown since the last call, as "kind|caption|text".
  std::string OnlyEvent() {
    std::string out =
        host_.Events.size() == 1
            ? host_.Events[0].Kind + "|" + host_.Events[0].Caption + "|" + host_.Events[0].Text
            : std::to_string(host_.Events.size()) + " events";
    host_.Events.clear();
    return out;
  }
  // Designs and saves a valid station under name.
  void SaveValid(const std::string& name) {
    Design(ThreeHomeSta(name));
    ASSERT_TRUE(ed_.Save());
  }

  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TTempDir dir_;
  TStaEditor ed_;
};

// ---- Opening the designer --------------------------------------------------------------------

TEST(StaEditorOpen, ReadsThePiecesFromTheProgramFolder) {
  TTempDir prog;
  WriteBytes(prog / "rw_panel.txt", ReadBytes(DataDir() + "/rw_panel.txt"));
  TStaEditor ed;
  const TStatus missing = ed.Open(prog.Path(), "brd", 3);
  EXPECT_FALSE(missing);
  EXPECT_NE(std::string::npos, missing.Msg().find("rw_tbl.txt")) << missing.Msg();
  WriteBytes(prog / "rw_tbl.txt", ReadBytes(DataDir() + "/rw_tbl.txt"));
  ASSERT_TRUE(ed.Open(prog.Path(), "brd", 3));
  EXPECT_EQ(prog / "brd", ed.BrdDir());
  EXPECT_EQ(3, ed.IdSta());
  EXPECT_TRUE(ed.IsNew());
  EXPECT_EQ("駅データの編集 - 新規", ed.Caption());
  EXPECT_FALSE(ed.NameReadOnly());
  EXPECT_EQ("1", ed.Fields().EntL);
  EXPECT_EQ("", ed.Fields().Name);
  ASSERT_NE(nullptr, ed.Panels().Get(14));
  EXPECT_EQ(4, ed.Panels().Get(14)->Cells);
}

// ---- Saving ----------------------------------------------------------------------------------

TEST_F(StaEditorFiles, SavingANewStationTakesTheNextSerial) {
  SaveValid("THREE");
  EXPECT_TRUE(host_.Events.empty());
  EXPECT_TRUE(fs::exists(StaFile("THREE")));
  EXPECT_EQ(kIdSta + 1, ed_.IdSta());
  EXPECT_EQ(8001, ed_.Sta().Id);
  EXPECT_FALSE(ed_.IsNew());
  EXPECT_TRUE(ed_.NameReadOnly());
  EXPECT_FALSE(ed_.Modified());
  EXPECT_EQ("駅データの編集 - 変更", ed_.Caption());
  EXPECT_FALSE(ed_.Sta().IsErr);
  EXPECT_EQ(19u, ed_.Sta().Rails.size());  // compiled
  // Saving the same station again keeps its serial.
  ASSERT_TRUE(ed_.PlacePanel(1, 1, 1));
  host_.YesNoAnswers.push_back(true);  // it has an error now
  ASSERT_TRUE(ed_.Save());
  EXPECT_EQ(kIdSta + 1, ed_.IdSta());
  EXPECT_EQ(8001, ed_.Sta().Id);
}

TEST_F(StaEditorFiles, SavingRefusesMissingUnsafeAndTakenNames) {
  SaveValid("ABC");
  host_.Events.clear();
  struct TCase {
    std::string Name, Msg;
  };
  const TCase cases[] = {
      {"   ", "駅名を入力して下さい"},
      {"abc", "その駅名は既に存在します"},  // file names ignore letter case
      {"a/b", "駅名に使えない文字（/ \\ = 制御文字）が含まれています: a/b"},
      {"..", "駅名に「..」は使えません"},
      {"😀", "駅名にShift-JISで書けない文字が含まれています"},
  };
  for (const TCase& c : cases) {
    Design(ThreeHomeSta(c.Name));
    EXPECT_FALSE(ed_.Save()) << c.Name;
    EXPECT_EQ("msg|エラー|" + c.Msg, OnlyEvent()) << c.Name;
    EXPECT_EQ(TStaFocus::kName, ed_.TakeFocus());
    EXPECT_EQ(kIdSta, ed_.IdSta());
    EXPECT_TRUE(ed_.IsNew());
  }
  EXPECT_EQ(1u, ListFiles(dir_ / "station", "txt").size());
}

TEST_F(StaEditorFiles, SavingRefusesAStationWithoutEntries) {
  TStaPicture pic;
  pic.Name = "NONE";
  pic.Ent[0] = pic.Ent[1] = 0;
  Design(pic);
  EXPECT_FALSE(ed_.Save());
  EXPECT_EQ("msg|エラー|エントリーが一つもありません", OnlyEvent());
  EXPECT_EQ(TStaFocus::kEntL, ed_.TakeFocus());
  EXPECT_FALSE(fs::exists(StaFile("NONE")));
}

TEST_F(StaEditorFiles, AStationWithErrorsIsSavedOnlyWhenConfirmedAndThenNotCompiled) {
  TStaPicture pic = ThreeHomeSta("ERR");
  pic.Ent[0] = 3;
  Design(pic);
  host_.YesNoAnswers.push_back(false);
  EXPECT_FALSE(ed_.Save());
  EXPECT_EQ("ask|確認|エラーが残っていますが保存しますか？", OnlyEvent());
  EXPECT_FALSE(fs::exists(StaFile("ERR")));
  EXPECT_EQ(kIdSta, ed_.IdSta());
  host_.YesNoAnswers.push_back(true);
  EXPECT_TRUE(ed_.Save());
  TStaObj read;
  ASSERT_TRUE(read.LoadSta(dir_ / "station", "ERR"));
  EXPECT_TRUE(read.IsErr);
  EXPECT_TRUE(read.Rails.empty());
  EXPECT_EQ(kIdSta + 1, ed_.IdSta());
}

TEST_F(StaEditorFiles, SavingWithErrorsKeepsTheGeometryAsLoaded) {
  SaveValid("KEEP");
  TStaObj saved;
  ASSERT_TRUE(saved.LoadSta(dir_ / "station", "KEEP"));
  ASSERT_TRUE(ed_.RemovePanel(1, 10));
  host_.YesNoAnswers.push_back(true);
  ASSERT_TRUE(ed_.Save());
  TStaObj read;
  ASSERT_TRUE(read.LoadSta(dir_ / "station", "KEEP"));
  EXPECT_TRUE(read.IsErr);
  ASSERT_EQ(saved.Rails.size(), read.Rails.size());
  for (size_t i = 0; i < read.Rails.size(); ++i) {
    EXPECT_EQ(saved.Rails[i].P[0], read.Rails[i].P[0]);
    EXPECT_EQ(saved.Rails[i].P[1], read.Rails[i].P[1]);
  }
  EXPECT_EQ(StaCell{}, read.Cells[1][10]);
}

TEST_F(StaEditorFiles, AFailedWriteLeavesTheSerialAndTheNewStationAlone) {
  WriteBytes(dir_ / "station", "not a folder");
  Design(ThreeHomeSta("FAIL"));
  EXPECT_FALSE(ed_.Save());
  ASSERT_EQ(1u, host_.Events.size());
  EXPECT_EQ("エラー", host_.Events[0].Caption);
  EXPECT_EQ(kIdSta, ed_.IdSta());
  EXPECT_EQ(0, ed_.Sta().Id);
  EXPECT_TRUE(ed_.IsNew());
  EXPECT_TRUE(ed_.Modified());
}

// A station designed through the model, saved and read back gives the same lists, and writing
// what was read gives the same bytes.
TEST_F(StaEditorFiles, ASavedStationReadsBackIdentically) {
  TStaPicture pic = ThreeHomeSta("RT");
  pic.Crs[0] = TEntCrs{1, 2, 1};
  Design(pic);
  ed_.Fields().Desc = "島式ホーム|二面";
  ASSERT_TRUE(ed_.Save());
  const TStaObj& built = ed_.Sta();
  TStaObj read;
  ASSERT_TRUE(read.LoadSta(dir_ / "station", "rt"));
  EXPECT_EQ(built.Id, read.Id);
  EXPECT_EQ("島式ホーム|二面", read.Desc);
  EXPECT_EQ(10201, read.EntCrs[0]);
  EXPECT_TRUE(built.Cells == read.Cells);
  ASSERT_EQ(built.Rails.size(), read.Rails.size());
  for (size_t i = 0; i < read.Rails.size(); ++i) {
    EXPECT_EQ(built.Rails[i].Kind, read.Rails[i].Kind) << i;
    EXPECT_EQ(built.Rails[i].No, read.Rails[i].No) << i;
    EXPECT_EQ(built.Rails[i].P[0], read.Rails[i].P[0]) << i;
    EXPECT_EQ(built.Rails[i].P[1], read.Rails[i].P[1]) << i;
    EXPECT_EQ(2, read.Rails[i].Mark);
  }
  ASSERT_EQ(built.Pts.size(), read.Pts.size());
  for (size_t k = 0; k < read.Pts.size(); ++k) {
    EXPECT_EQ(built.Pts[k].RouteCnt, read.Pts[k].RouteCnt);
    EXPECT_EQ(built.Pts[k].Routes, read.Pts[k].Routes);
  }
  EXPECT_EQ(built.Homes, read.Homes);
  TTempDir other;
  read.Name = "RT";
  ASSERT_TRUE(read.SaveSta(other.Path()));
  EXPECT_EQ(ReadBytes(StaFile("RT")), ReadBytes(other / "RT.txt"));
}

// ---- New, copy, open, close ------------------------------------------------------------------

TEST_F(StaEditorFiles, NewAsksAboutUnsavedChanges) {
  ASSERT_TRUE(ed_.PlacePanel(1, 1, 10));
  host_.YesNoAnswers.push_back(false);
  EXPECT_FALSE(ed_.New());
  EXPECT_EQ("ask|確認|" + std::string(kUnsaved), OnlyEvent());
  EXPECT_EQ(1, ed_.Sta().Cells[1][10].PanelNo);
  host_.YesNoAnswers.push_back(true);
  EXPECT_TRUE(ed_.New());
  host_.Events.clear();
  EXPECT_EQ(StaCell{}, ed_.Sta().Cells[1][10]);
  EXPECT_FALSE(ed_.Modified());
  EXPECT_TRUE(ed_.New());  // nothing to lose: no question
  EXPECT_TRUE(host_.Events.empty());
}

TEST_F(StaEditorFiles, ARefusedFieldStopsTheCommandBeforeItsQuestion) {
  ASSERT_TRUE(ed_.PlacePanel(1, 1, 10));
  ed_.Fields().EntR = "x";
  EXPECT_FALSE(ed_.New());
  EXPECT_EQ("plain||エントリ数が数値ではありません", OnlyEvent());
  EXPECT_FALSE(ed_.CanClose());
  host_.Events.clear();
  ed_.Fields().EntR = "1";
  host_.YesNoAnswers.push_back(false);
  EXPECT_FALSE(ed_.CanClose());
  EXPECT_EQ("ask|確認|" + std::string(kUnsaved), OnlyEvent());
}

TEST_F(StaEditorFiles, OpeningAStationMakesItTheExistingOneBeingEdited) {
  SaveValid("OPEN");
  ed_.New();
  Choose("OPEN");
  ASSERT_TRUE(ed_.OpenSta());
  EXPECT_FALSE(ed_.IsNew());
  EXPECT_TRUE(ed_.NameReadOnly());
  EXPECT_EQ("駅データの編集 - 変更", ed_.Caption());
  EXPECT_EQ("OPEN", ed_.Fields().Name);
  EXPECT_EQ("2", ed_.Fields().EntL);
  EXPECT_EQ("2", ed_.Fields().EntR);
  EXPECT_FALSE(ed_.Modified());
  EXPECT_EQ(14, ed_.Sta().Cells[9][10].PanelNo);
  // The name field of an existing station does not rename it.
  ed_.Fields().Name = "OTHER";
  ASSERT_TRUE(ed_.CommitFields());
  EXPECT_EQ("OPEN", ed_.Sta().Name);
}

TEST_F(StaEditorFiles, CopyingMakesANewStationFromAFile) {
  SaveValid("ORIG");
  Choose("orig");
  ASSERT_TRUE(ed_.Copy());
  EXPECT_TRUE(ed_.IsNew());
  EXPECT_EQ("", ed_.Fields().Name);
  EXPECT_EQ("", ed_.Sta().Name);
  EXPECT_EQ("駅データの編集 - 新規", ed_.Caption());
  EXPECT_EQ(14, ed_.Sta().Cells[9][10].PanelNo);
  ed_.Fields().Name = "COPY";
  ASSERT_TRUE(ed_.Save());
  EXPECT_EQ(9001, ed_.Sta().Id);
  EXPECT_EQ(kIdSta + 2, ed_.IdSta());
  TStaObj orig;
  ASSERT_TRUE(orig.LoadSta(dir_ / "station", "ORIG"));
  EXPECT_EQ(8001, orig.Id);
}

TEST_F(StaEditorFiles, AChoiceThatFailsOrIsCancelledKeepsTheStation) {
  ASSERT_TRUE(ed_.PlacePanel(1, 1, 10));
  host_.YesNoAnswers.push_back(true);
  Choose(std::nullopt);
  EXPECT_FALSE(ed_.OpenSta());
  host_.Events.clear();
  host_.YesNoAnswers.push_back(true);
  Choose("MISSING");
  EXPECT_FALSE(ed_.OpenSta());
  ASSERT_EQ(2u, host_.Events.size());
  EXPECT_EQ("エラー", host_.Events[1].Caption);
  EXPECT_NE(std::string::npos, host_.Events[1].Text.find("MISSING")) << host_.Events[1].Text;
  EXPECT_EQ(1, ed_.Sta().Cells[1][10].PanelNo);
  EXPECT_TRUE(ed_.Modified());
}

TEST_F(StaEditorFiles, RemovingFromADamagedGridTouchesOnlyThatPiece) {
  TStaObj damaged;
  damaged.ClearCells();
  damaged.Name = "DAMAGED";
  // A covered cell pointing at an origin that holds another piece.
  damaged.SetCell(3, 4, StaCell{kCellCovered, 4, 0, 1, 0});
  damaged.SetCell(3, 3, StaCell{kCellOrigin, 1, 0, 0, 0});
  damaged.SetCell(3, 6, StaCell{kCellOrigin, 1, 0, 0, 0});
  ASSERT_TRUE(damaged.SaveSta(dir_ / "station"));
  Choose("DAMAGED");
  ASSERT_TRUE(ed_.OpenSta());
  EXPECT_TRUE(ed_.CheckAndDisplay().IsErr);
  EXPECT_TRUE(ed_.RemovePanel(3, 4));
  EXPECT_EQ(StaCell{}, ed_.Sta().Cells[3][4]);
  EXPECT_EQ(StaCell{}, ed_.Sta().Cells[3][3]);
  EXPECT_EQ(1, ed_.Sta().Cells[3][6].PanelNo);
}

TEST(SavePictureSta, SavesThroughTheDesignerAndCountsTheSerial) {
  TTempDir brd;
  int32_t idSta = 4;
  ASSERT_TRUE(SavePictureSta(ThreeHomeSta("A"), brd.Path(), idSta));
  ASSERT_TRUE(SavePictureSta(ThreeHomeSta("B"), brd.Path(), idSta));
  EXPECT_EQ(6, idSta);
  TStaObj b;
  ASSERT_TRUE(b.LoadSta(brd / "station", "B"));
  EXPECT_EQ(6001, b.Id);
  EXPECT_EQ(19u, b.Rails.size());
  TStaPicture bad = ThreeHomeSta("C");
  bad.Ent[1] = 3;
  const TStatus st = SavePictureSta(bad, brd.Path(), idSta);
  EXPECT_FALSE(st);
  EXPECT_EQ("C: エラーが残っていますが保存しますか？", st.Msg());
  EXPECT_EQ(6, idSta);
}

}  // namespace
}  // namespace ramvel
