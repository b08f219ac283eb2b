// The station designer window driven by real mouse clicks and keys: stations designed by
// clicking equal those made through the model, the refusals, the warning colours, mirroring,
// copying, closing and the piece files.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "ShellFixture.h"
#include "StaClicks.h"
#include "windows/station_designer/UrwStaEntConnForm.h"
#include "windows/common/UrwSelStaForm.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class StaEditorWin : public ::testing::Test {
 protected:
  StaEditorWin() { App(); }
  void SetUp() override {
    CopyPieces(prog_.Path());
    fs::create_directories(prog_ / "B/station");
    fs::create_directories(want_ / "station");
    win_ = std::make_unique<TFrmStaEditor>();
    const TStatus st = win_->Open(prog_.Path(), "B", 0);
    ASSERT_TRUE(st) << st.Msg();
    win_->show();
    QApplication::processEvents();
  }
  TFrmStaEditor& W() { return *win_; }
  TStaClicks C() { return TStaClicks(*win_); }
  const StaCell& Cell(int32_t col, int32_t row) const {
    return win_->Ed.Sta().Cells[static_cast<size_t>(col)][static_cast<size_t>(row)];
  }
  QColor Pixel(int x, int y) const { return win_->ImgSta->Pic.pixelColor(x, y); }
  // The station file as the model makes it for the same picture with the same counter.
  // idSta is the counter before and after.
  std::string ModelFile(const TStaPicture& pic, int32_t& idSta) {
    const TStatus st = SavePictureSta(pic, want_.Path(), idSta);
    EXPECT_TRUE(st) << st.Msg();
    return ReadBytes(want_ / ("station/" + pic.Name + ".txt"));
  }
  std::string SavedFile(const std::string& name) {
    return ReadBytes(prog_ / ("B/station/" + name + ".txt"));
  }
  // Saves the window as PNG into $RAMVEL_SHOTS when set, to look at.
  void Shot(const std::string& name) {
    if (const char* dir = std::getenv("RAMVEL_SHOTS")) {
      W().grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
      W().ImgSta->Pic.save(QString::fromStdString(std::string(dir) + "/" + name + "-pic.png"));
    }
  }

  TTempDir prog_, want_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  std::unique_ptr<TFrmStaEditor> win_;
};

TEST_F(StaEditorWin, StationsDesignedByClicksEqualThoseOfTheModel) {
  int32_t idSta = 0;
  const TStaPicture pics[] = {Terminus(), PassingLoop(), Crossing()};
  for (const TStaPicture& pic : pics) {
    SCOPED_TRACE(pic.Name);
    TStaClicks clicks = C();
    clicks.OnStep = [this, &pic](const std::string& step) { Shot(pic.Name + "-" + step); };
    clicks.Design(pic, host_);
    EXPECT_FALSE(W().Ed.Sta().IsErr);
    EXPECT_EQ(W().SBar->text().left(5), QStringLiteral("エラーなし"));
    W().MnuSaveClick();
    EXPECT_EQ(W().windowTitle(), QStringLiteral("駅データの編集 - 変更"));
    EXPECT_TRUE(W().EdtName->isReadOnly());
    const std::string want = ModelFile(pic, idSta);
    EXPECT_EQ(W().IdSta(), idSta);
    ASSERT_FALSE(want.empty());
    EXPECT_EQ(SavedFile(pic.Name), want);
    W().MnuNewClick();
    EXPECT_EQ(W().windowTitle(), QStringLiteral("駅データの編集 - 新規"));
    EXPECT_EQ(W().EdtName->text(), QString());
  }
  EXPECT_EQ(W().IdSta(), 3);
  // Only the platform number 7 was asked for.
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Kind, "input");
  EXPECT_EQ(host_.Events[0].Caption, "ホーム番号の入力");
  EXPECT_EQ(host_.Events[0].Text, "0-99の間で入力して下さい");
  EXPECT_EQ(host_.Unanswered, 0);
}

TEST_F(StaEditorWin, CopyMirrorAndNewEntriesMakeTheTerminusOfTheOtherEnd) {
  C().Design(Terminus(), host_);
  W().MnuSaveClick();
  OnModal([](QWidget* w) {
    auto* sel = qobject_cast<TFrmSelSta*>(w);
    ASSERT_NE(sel, nullptr);
    ASSERT_EQ(sel->LbxSta->count(), 1);
    sel->LbxSta->setCurrentRow(0);
    QTest::mouseClick(sel->BtnOk, Qt::LeftButton);
  });
  W().MnuCopy->trigger();
  EXPECT_EQ(W().windowTitle(), QStringLiteral("駅データの編集 - 新規"));
  EXPECT_FALSE(W().EdtName->isReadOnly());
  EXPECT_EQ(W().EdtName->text(), QString());
  W().MnuRevH->trigger();
  Shot("mirrored");
  // The entries stay on the left, where no track arrives any more.
  EXPECT_TRUE(W().Ed.Sta().IsErr);
  C().SetEntries(0, 1);
  C().Type(W().EdtName, "終端西");
  EXPECT_FALSE(W().Ed.Sta().IsErr);
  W().MnuSave->trigger();
  int32_t idSta = 1;
  EXPECT_EQ(SavedFile("終端西"), ModelFile(TerminusWest("終端西"), idSta));
  EXPECT_TRUE(host_.Events.empty()) << host_.Texts().front();
}

TEST_F(StaEditorWin, PlacingRuleHoldingAndRemoving) {
  // The palette piece under the pointer turns red: platform 13 spans palette row 7.
  C().Move(TStaClicks::PalettePt(3, 7));
  EXPECT_EQ(Pixel(kPaletteX + 5, 6 * kStaCellH + 5), QColor(255, 0, 0));
  EXPECT_EQ(Pixel(kPaletteX + 5, 7 * kStaCellH + 5), QColor(0, 0, 128));
  ASSERT_TRUE(C().Pick(1));
  C().Move(TStaClicks::CellPt(10, 5));
  // The held piece hangs at the pointer, red where it may not go ...
  EXPECT_EQ(Pixel(TStaClicks::CellPt(10, 5).x() - 10, TStaClicks::CellPt(10, 5).y() - 6),
            QColor(255, 0, 0));
  C().ClickCell(10, 5);  // track pieces stay out of columns 9 to 12
  EXPECT_EQ(Cell(10, 5).Kind, kCellEmpty);
  C().Move(TStaClicks::CellPt(3, 5));
  // ... and green where it may.
  EXPECT_EQ(Pixel(TStaClicks::CellPt(3, 5).x() - 10, TStaClicks::CellPt(3, 5).y() - 6),
            QColor(0, 128, 0));
  C().ClickCell(3, 5);
  C().ClickCell(4, 5);  // still held: a second placement
  EXPECT_EQ(Cell(3, 5).PanelNo, 1);
  EXPECT_EQ(Cell(4, 5).PanelNo, 1);
  ASSERT_TRUE(C().Pick(14));
  C().ClickCell(3, 7);  // a platform track starts in column 9 only
  C().ClickCell(10, 7);
  EXPECT_EQ(Cell(3, 7).Kind, kCellEmpty);
  EXPECT_EQ(Cell(10, 7).Kind, kCellEmpty);
  C().ClickCell(9, 7);
  EXPECT_EQ(Cell(9, 7).PanelNo, 14);
  EXPECT_EQ(Cell(12, 7).Kind, kCellCovered);
  ASSERT_TRUE(C().Pick(4));
  C().ClickCell(5, 20);  // two rows tall: would leave the matrix
  EXPECT_EQ(Cell(5, 20).Kind, kCellEmpty);
  ASSERT_TRUE(C().Pick(13));
  C().ClickCell(15, 7);  // a platform may start anywhere
  EXPECT_EQ(Cell(15, 7).PanelNo, 13);
  // A right click lets go of the held piece; the next one removes the piece under it.
  C().ClickCell(3, 5, Qt::RightButton);
  EXPECT_EQ(W().Ed.Held(), kNoPanel);
  EXPECT_EQ(Cell(3, 5).PanelNo, 1);
  C().ClickCell(12, 7, Qt::RightButton);
  EXPECT_EQ(Cell(9, 7).Kind, kCellEmpty);
  EXPECT_EQ(Cell(12, 7).Kind, kCellEmpty);
  EXPECT_TRUE(W().Ed.Modified());
}

TEST_F(StaEditorWin, RowFillLaysStraightTrackIntoTheEmptyCellsBetweenTwoClicks) {
  ASSERT_TRUE(C().Pick(14));
  C().ClickCell(9, 10);
  ASSERT_TRUE(C().Pick(1));
  C().ClickCell(18, 10, Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(Cell(18, 10).Kind, kCellEmpty);  // only marked as the start
  C().Move(TStaClicks::CellPt(2, 15));       // the held piece no longer hides it
  EXPECT_EQ(Pixel(TStaClicks::CellPt(18, 10).x(), TStaClicks::CellPt(18, 10).y() - 8),
            QColor(0, 255, 255));
  C().ClickCell(2, 11);  // another row: nothing
  EXPECT_EQ(Cell(2, 11).Kind, kCellEmpty);
  C().ClickCell(2, 10);
  for (int32_t col : {2, 8, 13, 18}) EXPECT_EQ(Cell(col, 10).PanelNo, 1) << col;
  EXPECT_EQ(Cell(9, 10).PanelNo, 14);
  EXPECT_EQ(Cell(1, 10).Kind, kCellEmpty);
  EXPECT_EQ(Cell(19, 10).Kind, kCellEmpty);
}

TEST_F(StaEditorWin, EntryCountsRefuseTextAndNumbersOutOfRange) {
  C().Type(W().CbxEntL->lineEdit(), "1");
  EXPECT_FALSE(W().Ed.Modified());  // the same count changes nothing
  C().Type(W().CbxEntL->lineEdit(), "x");
  C().Type(W().CbxEntR->lineEdit(), "11");
  EXPECT_EQ(host_.Texts(),
            (Texts{"エントリ数が数値ではありません", "範囲外のエントリ数が指定されています"}));
  EXPECT_EQ(host_.Events[0].Kind, "plain");
  EXPECT_EQ(W().Ed.Sta().EntCount[0], 1);
  EXPECT_EQ(W().Ed.Sta().EntCount[1], 1);
  EXPECT_FALSE(W().Ed.Modified());
  C().Type(W().CbxEntL->lineEdit(), "3");
  C().Type(W().CbxEntR->lineEdit(), "10");
  EXPECT_EQ(W().Ed.Sta().EntCount[0], 3);
  EXPECT_EQ(W().Ed.Sta().EntCount[1], 10);
  EXPECT_TRUE(W().Ed.Modified());
  // Chosen from the list.
  W().CbxEntR->setCurrentIndex(0);
  emit W().CbxEntR->activated(0);
  EXPECT_EQ(W().Ed.Sta().EntCount[1], 0);
}

TEST_F(StaEditorWin, PlatformNumbersAreTypedInHalfOrFullWidth) {
  ASSERT_TRUE(C().Pick(14));
  C().ClickCell(9, 10);
  C().Release();
  host_.InputAnswers = {"100", "ab", "１２", ""};
  for (int i = 0; i < 4; ++i) C().ClickCell(11, 10);
  EXPECT_EQ(host_.Texts(), (Texts{"0-99の間で入力して下さい", "範囲外のホーム番号が指定されました",
                                  "0-99の間で入力して下さい", "ホーム番号が数値ではありません",
                                  "0-99の間で入力して下さい", "0-99の間で入力して下さい"}));
  EXPECT_EQ(host_.Events[1].Caption, "エラー");
  EXPECT_EQ(Cell(9, 10).HomeNo, 12);
  EXPECT_EQ(Cell(12, 10).HomeNo, 12);
}

TEST_F(StaEditorWin, MovingStopsAtAPieceOnTheEdgeRow) {
  ASSERT_TRUE(C().Pick(1));
  C().ClickCell(3, 1);
  W().MnuMovU->trigger();
  EXPECT_EQ(host_.Texts(), Texts{"一番上の行に部品があるため上に移動できません"});
  EXPECT_EQ(Cell(3, 1).PanelNo, 1);
  W().MnuMovD->trigger();
  EXPECT_EQ(Cell(3, 1).Kind, kCellEmpty);
  EXPECT_EQ(Cell(3, 2).PanelNo, 1);
  C().ClickCell(3, 20);
  W().MnuMovD->trigger();
  EXPECT_EQ(host_.Texts().back(), "一番下の行に部品があるため下に移動できません");
  EXPECT_EQ(Cell(3, 20).PanelNo, 1);
}

// Colours read where the rules put them: a lone straight piece meets nothing (error colour,
// red marks on both edges) and no track reaches the entry rows (red leads); once row 10 runs
// through, piece and leads are green and blue.
TEST_F(StaEditorWin, WarningColoursFollowTheCheck) {
  ASSERT_TRUE(C().Pick(1));
  C().ClickCell(3, 5);
  C().Release();
  const QPoint tl(kMatrixX + 60, 80);  // cell (3, 5)
  EXPECT_EQ(Pixel(tl.x() + 8, tl.y() + 3), QColor(128, 128, 0));
  EXPECT_EQ(Pixel(tl.x() + 1, tl.y() + 3), QColor(255, 0, 0));
  EXPECT_EQ(Pixel(tl.x() + 28, tl.y() + 3), QColor(255, 0, 0));
  EXPECT_EQ(Pixel(35, 190), QColor(255, 0, 0));   // left lead of row 10
  EXPECT_EQ(Pixel(705, 190), QColor(255, 0, 0));  // right lead
  EXPECT_EQ(W().SBar->text().left(10), QStringLiteral("接続エラーがあります"));
  ASSERT_TRUE(C().Pick(4));
  C().Move(TStaClicks::CellPt(10, 12));
  Shot("warnings-held-refused");
  C().Release();
  C().ClickCell(3, 5, Qt::RightButton);
  ASSERT_TRUE(C().Pick(14));
  C().ClickCell(9, 10);
  ASSERT_TRUE(C().Pick(1));
  C().ClickCell(1, 10, Qt::LeftButton, Qt::ShiftModifier);
  C().ClickCell(20, 10);
  C().Release();
  EXPECT_FALSE(W().Ed.Sta().IsErr);
  EXPECT_EQ(Pixel(kMatrixX + 8, 183), QColor(0, 128, 0));
  EXPECT_EQ(Pixel(35, 190), QColor(0, 0, 255));
  EXPECT_EQ(Pixel(705, 190), QColor(0, 0, 255));
  EXPECT_EQ(Pixel(tl.x() + 8, tl.y() + 3), QColor(128, 128, 128));
}

int CountColour(const QImage& img, QRect box, QColor c) {
  int n = 0;
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x) n += img.pixelColor(x, y) == c;
  }
  return n;
}

TEST_F(StaEditorWin, ADuplicatePlatformNumberIsRed) {
  ASSERT_TRUE(C().Pick(14));
  C().ClickCell(9, 10);
  C().ClickCell(9, 12);
  C().Release();
  host_.InputAnswers = {"1"};
  C().ClickCell(9, 12);
  ASSERT_EQ(Cell(9, 12).HomeNo, 1);
  const QImage& pic = W().ImgSta->Pic;
  // Numbers are drawn from 10 px into the second column, 3 px below the row's top.
  const QRect first(kMatrixX + 8 * kStaCellW + 40, 9 * kStaCellH + 3, 30, 15);
  const QRect second = first.translated(0, 2 * kStaCellH);
  EXPECT_GT(CountColour(pic, first, QColor(255, 255, 0)), 5);
  EXPECT_EQ(CountColour(pic, first, QColor(255, 0, 0)), 0);
  EXPECT_GT(CountColour(pic, second, QColor(255, 0, 0)), 5);
  EXPECT_TRUE(W().Ed.Sta().IsErr);
  W().MnuHomeU->trigger();  // numbered again from the top: 1 and 2
  EXPECT_EQ(Cell(9, 12).HomeNo, 2);
  W().MnuHomeL->trigger();
  EXPECT_EQ(Cell(9, 12).HomeNo, 1);
  EXPECT_EQ(Cell(9, 10).HomeNo, 2);
}

TEST_F(StaEditorWin, SavingRefusesBadNamesAndAsksAboutErrors) {
  W().MnuSaveClick();
  C().Type(W().EdtName, "a/b");
  W().MnuSaveClick();
  C().Type(W().EdtName, "待避");
  WriteBytes(prog_ / "B/station/待避.txt", "x");
  W().MnuSaveClick();
  WriteBytes(prog_ / "B/station/PASS.TXT", "x");
  C().Type(W().EdtName, "pass");
  W().MnuSaveClick();
  for (const char* name : {"駅한", "a=b", ".."}) {
    C().Type(W().EdtName, name);
    W().MnuSaveClick();
  }
  ASSERT_EQ(host_.Events.size(), 7u);
  EXPECT_EQ(host_.Events[4].Text, "駅名にShift-JISで書けない文字が含まれています");
  EXPECT_EQ(host_.Events[5].Text, "駅名に使えない文字（/ \\ = 制御文字）が含まれています: a=b");
  EXPECT_NE(host_.Events[6].Text.find("駅名"), std::string::npos) << host_.Events[6].Text;
  // Nothing was written: only the two files put there by hand.
  EXPECT_EQ(std::distance(fs::directory_iterator(prog_ / "B/station"), fs::directory_iterator()),
            2);
  EXPECT_EQ(host_.Events[0].Text, "駅名を入力して下さい");
  EXPECT_NE(host_.Events[1].Text.find("駅名"), std::string::npos) << host_.Events[1].Text;
  EXPECT_EQ(host_.Events[2].Text, "その駅名は既に存在します");
  EXPECT_EQ(host_.Events[3].Text, "その駅名は既に存在します");
  for (const auto& e : host_.Events) EXPECT_EQ(e.Caption, "エラー");
  EXPECT_EQ(ReadBytes(prog_ / "B/station/待避.txt"), "x");
  host_.Events.clear();
  C().Type(W().EdtName, "新駅");
  C().SetEntries(0, 0);
  W().MnuSaveClick();
  EXPECT_EQ(host_.Texts(), Texts{"エントリーが一つもありません"});
  C().SetEntries(1, 1);
  host_.YesNoAnswers = {false, true};
  W().MnuSaveClick();
  EXPECT_FALSE(fs::exists(prog_ / "B/station/新駅.txt"));
  W().MnuSaveClick();
  EXPECT_EQ(host_.Texts().back(), "エラーが残っていますが保存しますか？");
  const std::string saved = SavedFile("新駅");
  EXPECT_NE(saved.find("IS_ERR=Y\r\n"), std::string::npos) << saved;
  EXPECT_EQ(W().IdSta(), 1);
  EXPECT_FALSE(W().Ed.Modified());
}

TEST_F(StaEditorWin, ClosingAsksWhileChangesAreUnsaved) {
  W().MnuExit->trigger();  // nothing changed: closes at once
  EXPECT_FALSE(W().isVisible());
  W().show();
  ASSERT_TRUE(C().Pick(1));
  C().ClickCell(3, 3);
  host_.YesNoAnswers = {false, true};
  W().MnuExit->trigger();
  EXPECT_TRUE(W().isVisible());
  QTest::keyClick(&W(), Qt::Key_Escape);
  EXPECT_FALSE(W().isVisible());
  EXPECT_EQ(host_.Texts(), (Texts{"編集結果が保存されていませんがよろしいですか？",
                                  "編集結果が保存されていませんがよろしいですか？"}));
}

TEST_F(StaEditorWin, MenusCarryTheirCaptions) {
  const std::pair<QAction*, const char*> items[] = {
      {W().MnuNew, "新規作成(&N)"},
      {W().MnuCopy, "コピーして作成"},
      {W().MnuOpen, "開く(&O)"},
      {W().MnuSave, "保存(&S)"},
      {W().MnuExit, "終了"},
      {W().MnuRevV, "上下反転(&1)"},
      {W().MnuRevH, "左右反転(&2)"},
      {W().MnuMovU, "上に１つ移動(&U)"},
      {W().MnuMovD, "下に1つ移動(&D)"},
      {W().MnuEntCrsL, "立体交差の設定(左)"},
      {W().MnuEntCrsR, "立体交差の設定(右)"},
      {W().MnuHomeU, "上から順に123と振る(&U)"},
      {W().MnuHomeL, "下から順に123と振る(&L)"},
  };
  for (const auto& [action, caption] : items) EXPECT_EQ(action->text(), QString::fromUtf8(caption));
  EXPECT_EQ(W().windowTitle(), QStringLiteral("駅データの編集 - 新規"));
  EXPECT_EQ(W().ImgSta->size(), QSize(890, 401));
}

TEST_F(StaEditorWin, OpeningAStationShowsItForChanging) {
  C().Design(Crossing(), host_);
  W().MnuSaveClick();
  W().MnuNewClick();
  OnModal([](QWidget* w) {
    auto* sel = qobject_cast<TFrmSelSta*>(w);
    ASSERT_NE(sel, nullptr);
    sel->LbxSta->setCurrentRow(0);
    QTest::mouseClick(sel->BtnOk, Qt::LeftButton);
  });
  W().MnuOpen->trigger();
  EXPECT_EQ(W().windowTitle(), QStringLiteral("駅データの編集 - 変更"));
  EXPECT_EQ(W().EdtName->text(), QStringLiteral("立体"));
  EXPECT_TRUE(W().EdtName->isReadOnly());
  EXPECT_EQ(W().CbxEntL->currentText(), QStringLiteral("2"));
  EXPECT_EQ(W().Ed.Sta().SplitEntCrs(0).CrsTo, 2);
  // The crossing dialog opened from the menu and cancelled changes nothing.
  OnModal([](QWidget* w) {
    QTest::mouseClick(static_cast<TFrmStaEnt*>(w)->BtnCancel, Qt::LeftButton);
  });
  W().MnuEntCrsL->trigger();
  EXPECT_EQ(W().Ed.Sta().SplitEntCrs(0).CrsTo, 2);
  EXPECT_FALSE(W().Ed.Modified());
}

// ---- The entry crossing dialog -----------------------------------------------------------------

// Three entries on the right side: the inner column lies at x = 50, the outer at x = 250,
// entry e at y = (e - 2) * 25 + 150: 125, 150, 175.
TEST(StaEntForm, ClicksOnTheCirclesMakeTheCrossing) {
  App();
  TFrmStaEnt dlg;
  TStaEntConn conn(3, 1, {});
  bool ok = false;
  QColor inner2, inner1, outer3, under;
  Qt::CursorShape overCircle = Qt::ArrowCursor, offCircle = Qt::BusyCursor;
  OnModal([&](QWidget*) {
    const auto click = [&dlg](QPoint pt) {
      QTest::mouseMove(dlg.ImgEnt, pt);
      QTest::mouseClick(dlg.ImgEnt, Qt::LeftButton, Qt::NoModifier, pt);
    };
    QTest::mouseMove(dlg.ImgEnt, {53, 154});  // within 5 px of inner entry 2
    overCircle = dlg.ImgEnt->cursor().shape();
    QTest::mouseMove(dlg.ImgEnt, {150, 20});
    offCircle = dlg.ImgEnt->cursor().shape();
    click({50, 150});   // inner 2: a crossing of one entry from 2 to 2
    click({50, 175});   // inner 3 follows it: two entries
    click({250, 125});  // outer 1: they arrive at outer 1 and 2
    inner2 = dlg.ImgEnt->Pic.pixelColor(50, 150);
    inner1 = dlg.ImgEnt->Pic.pixelColor(50, 125);
    outer3 = dlg.ImgEnt->Pic.pixelColor(250, 175);
    under = dlg.ImgEnt->Pic.pixelColor(150, 20);
    if (const char* dir = std::getenv("RAMVEL_SHOTS")) {
      dlg.grab().save(QString::fromStdString(std::string(dir) + "/entconn.png"));
    }
    QTest::mouseClick(dlg.BtnOk, Qt::LeftButton);
  });
  ok = dlg.Execute(conn);
  EXPECT_TRUE(ok);
  EXPECT_EQ(overCircle, Qt::PointingHandCursor);
  EXPECT_EQ(offCircle, Qt::ArrowCursor);
  EXPECT_EQ(conn.Result().CrsFrom, 2);
  EXPECT_EQ(conn.Result().CrsTo, 1);
  EXPECT_EQ(conn.Result().CrsCnt, 2);
  EXPECT_EQ(inner2, QColor(255, 255, 255));  // in the crossing
  EXPECT_EQ(inner1, QColor(128, 128, 128));
  EXPECT_EQ(outer3, QColor(128, 128, 128));
  EXPECT_EQ(under, QColor(197, 175, 109));
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("立体交差の設定"));
}

TEST_F(StaEditorWin, TheStripsOpenTheCrossingDialogOfTheirSide) {
  C().SetEntries(2, 3);
  C().SetCrossing(1, {1, 3, 1});
  EXPECT_EQ(W().Ed.Sta().SplitEntCrs(1).CrsTo, 3);
  EXPECT_EQ(W().Ed.Sta().EntCrs[0], 0);
  // The crossing lead of the right side runs from inner row 9 to outer row 11 over the others.
  EXPECT_EQ(Pixel(705, 190), QColor(255, 0, 0));  // unreached: red
  C().SetCrossing(0, {1, 2, 1});
  EXPECT_EQ(W().Ed.Sta().EntCrs[0], 10201);
  EXPECT_TRUE(W().Ed.Modified());
}

// ---- The piece files ---------------------------------------------------------------------------

TEST(StaEditorPieces, MissingOrMalformedFilesKeepTheDesignerClosed) {
  App();
  TTempDir prog;
  CopyPieces(prog.Path());
  fs::remove(prog / "rw_tbl.txt");
  TFrmStaEditor win;
  TStatus st = win.Open(prog.Path(), "B", 0);
  EXPECT_FALSE(st);
  EXPECT_NE(st.Msg().find("rw_tbl.txt"), std::string::npos) << st.Msg();
  CopyPieces(prog.Path());
  std::string panel = ReadBytes(prog / "rw_panel.txt");
  panel[0] = 'x';
  WriteBytes(prog / "rw_panel.txt", panel);
  st = win.Open(prog.Path(), "B", 0);
  EXPECT_FALSE(st);
  EXPECT_NE(st.Msg().find("rw_panel.txt"), std::string::npos) << st.Msg();
}

}  // namespace
}  // namespace ramvel::test
