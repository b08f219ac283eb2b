// The diagram editor's ファイル menu: the line written to an OuDia file through the save dialog,
// and an OuDia file read onto a line without train sets, kept only when the report is confirmed.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <filesystem>

#include "DiaScript.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "interop/UrwOudFile.h"
#include "windows/timetable/UrwDiaEditorForm.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

std::string PngDir() {
  const std::string dir = std::string(RAMVEL_BINARY_DIR) + "/dia_png";
  fs::create_directories(dir);
  return dir + "/";
}

// A copy of the sample with 本線 open; withoutCars leaves the copy without train sets.
class DiaOudMenu : public ::testing::Test {
 protected:
  void Load(bool withoutCars) {
    App();
    fs::copy(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample", dir_ / "Sample",
             fs::copy_options::recursive);
    if (withoutCars) {
      for (const auto& e : fs::directory_iterator(dir_ / "Sample/car")) fs::remove(e.path());
    }
    ASSERT_TRUE(brd_.LoadBrd(dir_.Path(), "Sample").ok());
    ASSERT_TRUE(brd_.SetLine("本線").ok());
    ASSERT_TRUE(brd_.LoadLine(dir_ / "Sample/").ok());
    win_ = std::make_unique<TFrmDiaEditor>(&dlg_, nullptr);
    win_->BrdFolder = dir_ / "Sample/";
    win_->resize(1000, 600);
    win_->show();
    win_->OpenDia(brd_);
  }

  TTempDir dir_;
  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TScriptedDiaDialogs dlg_;
  std::unique_ptr<TFrmDiaEditor> win_;
};

TEST_F(DiaOudMenu, ExportWritesTheLineAndSaysWhatWasLeftOut) {
  Load(false);
  host_.FileAnswers = {dir_ / "honsen"};  // no extension: .oud2 is added
  win_->MnuOudExport->trigger();
  ASSERT_EQ(host_.Events.size(), 2u);
  EXPECT_EQ(host_.Events[0].Kind, "save");
  EXPECT_EQ(host_.Events[0].Text, dir_ / "Sample/本線.oud2");
  EXPECT_NE(host_.Events[1].Text.find("書き出しました"), std::string::npos);
  EXPECT_NE(host_.Events[1].Text.find("編成"), std::string::npos);
  TOudDoc doc;
  ASSERT_TRUE(LoadOudFile(dir_ / "honsen.oud2", doc).ok());
  EXPECT_EQ(doc.LineName, "本線");
  EXPECT_EQ(doc.Stations.size(), 4u);
  // Every train that runs a section of the line; trains of other lines only touch its stations.
  const auto& info = win_->Ed->Dia.TrInfo;
  EXPECT_EQ(static_cast<long>(doc.Dias[0].Trains.size()),
            std::count_if(info.begin(), info.end(), [](const TTrInfo& t) { return t.CellCount >= 2; }));
  // A cancelled dialog writes nothing.
  host_.Events.clear();
  win_->MnuOudExport->trigger();
  EXPECT_EQ(host_.Events.size(), 1u);
  win_->MnuFile->popup(win_->mapToGlobal(QPoint(0, 0)));
  win_->MnuFile->grab().save(QString::fromStdString(PngDir() + "oud_file_menu.png"));
  win_->MnuFile->hide();
}

TEST_F(DiaOudMenu, ImportShowsTheReportAndKeepsTheTrainsOnlyWhenConfirmed) {
  Load(true);
  const std::string file = dir_ / "in.oud";
  WriteBytes(file,
             "FileType=OuDia.1.02\r\nRosen.\r\nRosenmei=本線\r\n"
             "Eki.\r\nEkimei=中央\r\n.\r\nEki.\r\nEkimei=川辺\r\n.\r\n"
             "Eki.\r\nEkimei=浜田\r\n.\r\nEki.\r\nEkimei=港\r\n.\r\n"
             "Ressyasyubetsu.\r\nSyubetsumei=普通\r\n.\r\n"
             "Dia.\r\nDiaName=平日\r\nKudari.\r\nRessya.\r\nHoukou=Kudari\r\nSyubetsu=0\r\n"
             "Ressyabangou=9001\r\nEkiJikoku=1;600,1;620/621,1;640/641,1;700/\r\n.\r\n.\r\n"
             "Nobori.\r\n.\r\n.\r\nKitenJikoku=400\r\n.\r\n");
  const auto before = DirTree(dir_ / "Sample");
  host_.FileAnswers = {file};
  host_.YesNoAnswers = {false};
  win_->MnuOudImport->trigger();
  ASSERT_EQ(host_.Events.size(), 2u);
  EXPECT_EQ(host_.Events[1].Kind, "ask");
  EXPECT_NE(host_.Events[1].Text.find("列車 9001: 時刻どおり入れました"), std::string::npos)
      << host_.Events[1].Text;
  EXPECT_TRUE(brd_.Cars.empty());
  EXPECT_EQ(win_->Ed->Dia.TrCount, 0);
  EXPECT_EQ(DirTree(dir_ / "Sample"), before);

  host_.FileAnswers = {file};
  host_.YesNoAnswers = {true};
  win_->MnuOudImport->trigger();
  EXPECT_EQ(brd_.Cars.size(), 1u);
  EXPECT_EQ(win_->Ed->Dia.TrCount, 1);
  EXPECT_EQ(win_->GrdTm->Cell(0, 1), "9001");
  EXPECT_TRUE(fs::exists(dir_ / "Sample/car/1.txt"));
  win_->grab().save(QString::fromStdString(PngDir() + "oud_imported.png"));
}

}  // namespace
}  // namespace ramvel::test
