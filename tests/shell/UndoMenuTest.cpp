// 元に戻す and やり直し in the 編集 menus of the main window's design mode, the station designer
// and the diagram editor: the item names the step, is disabled when there is nothing to take
// back, and Ctrl+Z / Ctrl+Y (Ctrl+Shift+Z) act through real key events; the menus as PNG.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <filesystem>

#include "DiaScript.h"
#include "ShellFixture.h"
#include "StaClicks.h"
#include "windows/station_designer/UrwStaEditorForm.h"
#include "windows/timetable/UrwDiaEditorForm.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

struct TMenuItem {
  std::string Text;
  bool Enabled;
  friend bool operator==(const TMenuItem&, const TMenuItem&) = default;
};

TMenuItem ItemOf(const QAction* a) { return {a->text().toStdString(), a->isEnabled()}; }

// The menu opened under its window, grabbed together and saved as name.png in the build folder.
void SaveMenuPng(QWidget& win, QMenu* menu, const std::string& name) {
  menu->popup(win.mapToGlobal(QPoint(40, 20)));
  QTest::qWait(50);
  EXPECT_TRUE(menu->grab().save(
      QString::fromStdString(std::string(RAMVEL_BINARY_DIR) + "/" + name + ".png")));
  menu->hide();
}

// Keys pressed on a widget that takes no text: a text field keeps Ctrl+Z for its own typing.
void PressKeys(QWidget& target, Qt::Key key, Qt::KeyboardModifiers mods) {
  QApplication::setActiveWindow(target.window());
  target.setFocus();
  QTest::keyClick(&target, key, mods);
}

std::vector<std::string> TrainNumbers(const TBrdData& brd) {
  std::vector<std::string> out;
  for (const auto& [no, car] : brd.TrainNos) out.push_back(no);
  return out;
}

class UndoMenu : public ShellTest {
 protected:
  void CopySample() {
    fs::copy(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample", base_ / "Sample",
             fs::copy_options::recursive);
  }
};

TEST_F(UndoMenu, DesignModeTakesBackADeletedRailWithCtrlZ) {
  CopySample();
  WriteBytes(Base() + "latest.txt", "Sample\r\n");
  TFrmMain& m = Main(800, 600);
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.SetMode(true);
  const TMenuItem noUndo{"元に戻す", false};
  EXPECT_EQ(ItemOf(m.MnuUndoRedo.Undo), noUndo);
  const size_t rails = m.Edit.Brd.Rails.size();
  m.Edit.View.CurObjId = m.Edit.Brd.Rails.begin()->second->Id;
  host_.YesNoAnswers = {true};
  ASSERT_TRUE(m.Edit.Layout.DelObj());
  m.UpdateMenus();
  EXPECT_EQ(ItemOf(m.MnuUndoRedo.Undo), (TMenuItem{"元に戻す: レールの削除", true}));
  SaveMenuPng(m, m.MnuEdit, "undo_menu_design");
  PressKeys(*m.BoardArea, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(m.Edit.Brd.Rails.size(), rails);
  EXPECT_EQ(ItemOf(m.MnuUndoRedo.Redo), (TMenuItem{"やり直し: レールの削除", true}));
  PressKeys(*m.BoardArea, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(m.Edit.Brd.Rails.size(), rails - 1);
  // Opening a board forgets the steps.
  host_.YesNoAnswers = {true};  // the unsaved edit is let go
  host_.Events.clear();
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.SetMode(true);
  EXPECT_EQ(ItemOf(m.MnuUndoRedo.Undo), noUndo);
  EXPECT_EQ(ItemOf(m.MnuUndoRedo.Redo), (TMenuItem{"やり直し", false}));
}

TEST_F(UndoMenu, DiagramEditorTakesBackANumberChangeAndRedoesWithCtrlShiftZ) {
  App();
  CopySample();
  TBrdData brd;
  ASSERT_TRUE(brd.LoadBrd(base_.Path(), "Sample").ok());
  ASSERT_TRUE(brd.SetLine("本線").ok());
  ASSERT_TRUE(brd.LoadLine(base_ / "Sample/").ok());
  TScriptedDiaDialogs dlg;
  TFrmDiaEditor w(&dlg, nullptr);
  w.resize(1200, 700);
  w.show();
  w.OpenDia(brd);
  EXPECT_EQ(ItemOf(w.MnuUndoRedo.Undo), (TMenuItem{"元に戻す", false}));
  const std::vector<std::string> numbers = TrainNumbers(brd);
  dlg.Selections = {0};
  dlg.Trains = {TTrainChoice{"X901", "普通"}};
  w.MnuChgTrNo->trigger();
  ASSERT_NE(brd.TrainNos.count("X901"), 0u);
  EXPECT_EQ(ItemOf(w.MnuUndoRedo.Undo), (TMenuItem{"元に戻す: 列車番号の変更", true}));
  EXPECT_EQ(ItemOf(w.MnuUndoRedo.Redo), (TMenuItem{"やり直し", false}));
  SaveMenuPng(w, w.MnuEdit, "undo_menu_dia");
  PressKeys(*w.GrdTm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(TrainNumbers(brd), numbers);
  PressKeys(*w.GrdTm, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_NE(brd.TrainNos.count("X901"), 0u);
  EXPECT_EQ(dlg.Unanswered, 0);
}

TEST_F(UndoMenu, StationDesignerTakesBackAMirror) {
  App();
  CopyPieces(base_.Path());
  fs::create_directories(base_ / "B/station");
  TFrmStaEditor w;
  ASSERT_TRUE(w.Open(base_.Path(), "B", 0).ok());
  w.show();
  ASSERT_TRUE(w.Ed.PlacePanel(1, 1, 1));
  w.MnuRevVClick();
  EXPECT_EQ(ItemOf(w.MnuUndoRedo.Undo), (TMenuItem{"元に戻す: 上下反転", true}));
  SaveMenuPng(w, w.MnuEdit, "undo_menu_station");
  PressKeys(*w.ImgSta, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.Ed.Sta().GetCell(1, 1).Cell.PanelNo, 1);
  EXPECT_EQ(ItemOf(w.MnuUndoRedo.Undo), (TMenuItem{"元に戻す: 部品の配置", true}));
  EXPECT_EQ(ItemOf(w.MnuUndoRedo.Redo), (TMenuItem{"やり直し: 上下反転", true}));
}

}  // namespace
}  // namespace ramvel::test
