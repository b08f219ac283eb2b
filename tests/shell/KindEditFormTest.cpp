// ファイル › ダイヤ › 種別の編集: the kind window lists the board's kinds (the built-in six on a
// board without its own), refuses to delete the kind train 101 runs as, and on OK makes the
// edited table the board's: a kind renamed rewrites its trains, a new kind keeps its colour.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "ShellFixture.h"
#include "engine/UrwBrdKinds.h"
#include "windows/timetable/UrwKindEditForm.h"

namespace ramvel::test {
namespace {

class KindEdit : public ShellTest {
 protected:
  TFrmMain& Open() {
    MakeBoard(base_.Path(), "AB");
    WriteBytes(Base() + "latest.txt", "AB\r\n");
    TFrmMain& m = Main();
    EXPECT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
    return m;
  }
  static std::vector<std::string> Names(const TFrmKindEdit& w) {
    std::vector<std::string> out;
    for (const TKindEdit& r : w.Rows()) out.push_back(r.Kind.Name);
    return out;
  }
};

TEST_F(KindEdit, KindsAreListedRefusedWhileInUseRenamedAddedAndSaved) {
  TFrmMain& m = Open();
  ASSERT_TRUE(m.Edit.Brd.Kinds.empty());
  bool shown = false;
  OnModal([&](QWidget* w) {
    auto* win = qobject_cast<TFrmKindEdit*>(w);
    ASSERT_NE(win, nullptr);
    shown = true;
    EXPECT_EQ(win->windowTitle().toStdString(), "種別の編集");
    EXPECT_EQ(Names(*win), (std::vector<std::string>{"普通", "快速", "準急", "急行", "特急", "回送"}));
    // 普通 is train 101's kind: the delete is refused, naming it.
    win->GrdKind->selectRow(0);
    QTest::mouseClick(win->BtnDel, Qt::LeftButton);
    EXPECT_EQ(host_.Events.back().Caption, "エラー");
    EXPECT_EQ(host_.Events.back().Text,
              "種別「普通」は列車 101（ダイヤ「ダイヤ」）が使っているため削除できません");
    // 準急 is unused and goes; 普通 becomes 各停; a new kind of type 快速, coloured green.
    win->GrdKind->selectRow(2);
    QTest::mouseClick(win->BtnDel, Qt::LeftButton);
    win->GrdKind->item(0, TFrmKindEdit::kColName)->setText(QStringLiteral(" 各停 "));
    QTest::mouseClick(win->BtnAdd, Qt::LeftButton);
    const int added = win->GrdKind->rowCount() - 1;
    win->GrdKind->item(added, TFrmKindEdit::kColName)->setText(QStringLiteral("区間快速"));
    static_cast<QComboBox*>(win->GrdKind->cellWidget(added, TFrmKindEdit::kColType))
        ->setCurrentText(QStringLiteral("快速"));
    host_.ColorAnswers.push_back(0x00C000u);  // the dialog's 0xRRGGBB
    QTest::mouseClick(win->BtnColor, Qt::LeftButton);
    // Moved up above 回送.
    QTest::mouseClick(win->BtnUp, Qt::LeftButton);
    EXPECT_EQ(Names(*win),
              (std::vector<std::string>{"各停", "快速", "急行", "特急", "区間快速", "回送"}));
    QTest::mouseClick(win->BtnOk, Qt::LeftButton);
  });
  m.MnuKinds->trigger();
  ASSERT_TRUE(shown);
  const std::vector<TKindDef> want = {{"各停", 0x000000, "普通"}, {"快速", 0x0080FF, "快速"},
                                      {"急行", 0xFF0000, "急行"}, {"特急", 0x0000FF, "特急"},
                                      {"区間快速", 0x00C000, "快速"}, {"回送", 0x808080, "回送"}};
  EXPECT_EQ(m.Edit.Brd.Kinds, want);
  EXPECT_EQ(m.Edit.Brd.FindCar(1, "")->TmTbl.At(1).Txt, "101,普通 各停");
  ASSERT_TRUE(m.SaveCurBrd(false));
  TBrdData again;
  ASSERT_TRUE(again.LoadBrd(Base(), "AB").ok());
  EXPECT_EQ(again.Kinds, want);

  // A name given twice is refused on OK and the window stays open; キャンセル changes nothing.
  OnModal([&](QWidget* w) {
    auto* win = qobject_cast<TFrmKindEdit*>(w);
    ASSERT_NE(win, nullptr);
    win->GrdKind->item(1, TFrmKindEdit::kColName)->setText(QStringLiteral("各停"));
    QTest::mouseClick(win->BtnOk, Qt::LeftButton);
    EXPECT_EQ(host_.Events.back().Caption, "エラー");
    EXPECT_NE(host_.Events.back().Text.find("「各停」が2度あります"), std::string::npos);
    EXPECT_TRUE(win->isVisible());
    QTest::mouseClick(win->BtnCancel, Qt::LeftButton);
  });
  m.MnuKinds->trigger();
  EXPECT_EQ(m.Edit.Brd.Kinds, want);
}

}  // namespace
}  // namespace ramvel::test
