// The windows of the diagram editor's dialogs driven by real key and mouse events: the
// one-section window, the train set and train dialog, and the main window's command that opens
// the editor.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "ShellFixture.h"
#include "windows/timetable/UrwCarPropertyForm.h"
#include "windows/timetable/UrwDiaEditorForm.h"
#include "timetable/UrwDiaOneStep.h"
#include "windows/timetable/UrwDiaOneStepForm.h"
#include "windows/common/UrwSelStaForm.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

void Type(QLineEdit* e, const QString& text) {
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  QTest::keyClicks(e, text);
}

void ClickRow(QListWidget* l, int row) {
  QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
}

class DiaDialogs : public ::testing::Test {
 protected:
  DiaDialogs() { App(); }
  TScriptedHost host_;
  TUiHostScope scope_{host_};
};

// At a stop reached at 10:00:00 the earliest departure is 10:00:30.
TEST_F(DiaDialogs, OneSectionRefusesThenAcceptsAPass) {
  TDiaOneStep form;
  form.SetupStep("B", "C", {"C  1番ホーム=x", "C  2番ホーム=y"}, At(10, 0, 30), 1, false, false);
  TFrmDiaOneStep win;
  bool checked = false;
  OnModal([&](QWidget*) {
    EXPECT_EQ(win.LblCurSta->text().toStdString(), "現在の駅「B」- 停車駅です");
    EXPECT_EQ(win.BtnCancel->text().toStdString(), "現在駅を終点とする");
    ASSERT_EQ(win.LbxStart->count(), 10);
    EXPECT_EQ(win.LbxStart->item(0)->text().toStdString(), "1000.30 (最短停車)");
    EXPECT_EQ(win.LbxStart->item(9)->text().toStdString(), "1009.00 (9分停車)");
    Type(win.EdtCurSta, "1000");
    QTest::mouseClick(win.BtnOk, Qt::LeftButton);  // before the earliest departure
    ClickRow(win.LbxStart, 2);                     // "1002.00 (2分停車)"
    EXPECT_EQ(win.EdtCurSta->text().toStdString(), "1002.00");
    QTest::mouseClick(win.BtnThru, Qt::LeftButton);  // no route chosen yet
    EXPECT_TRUE(win.isVisible());
    ClickRow(win.LbxSta, 1);
    win.grab().save(
        QString::fromStdString(std::string(RAMVEL_BINARY_DIR) + "/dia_png/one_step.png"));
    checked = true;
    QTest::mouseClick(win.BtnThru, Qt::LeftButton);
  });
  ASSERT_TRUE(win.Run(form));
  EXPECT_TRUE(checked);
  EXPECT_EQ(host_.Texts(),
            (std::vector<std::string>{"発車時刻が早すぎます", "次の駅が選択されていません"}));
  EXPECT_EQ(form.ChosenDep, At(10, 2));
  EXPECT_TRUE(form.PassNext);
  EXPECT_EQ(form.ChosenRoute(), "y");
}

TEST_F(DiaDialogs, OneSectionAtAPassedStationCannotEndThere) {
  TDiaOneStep form;
  form.SetupStep("B", "C", {"C  1番ホーム=x"}, At(10, 0), 2, true, false);
  TFrmDiaOneStep win;
  OnModal([&](QWidget*) {
    EXPECT_FALSE(win.EdtCurSta->isVisible());
    EXPECT_FALSE(win.LbxStart->isVisible());
    EXPECT_FALSE(win.BtnCancel->isEnabled());
    EXPECT_EQ(win.LbxSta->currentRow(), 0);  // the only route is chosen
    QTest::keyClick(&win, Qt::Key_Escape);
    EXPECT_TRUE(win.isVisible());
    QTest::keyClick(win.LbxSta, Qt::Key_Return);  // Enter: 停車
  });
  ASSERT_TRUE(win.Run(form));
  EXPECT_EQ(form.ChosenDep, At(10, 0));
  EXPECT_FALSE(form.PassNext);
}

// The line's last station cannot be passed: the window offers no 通過 there.
TEST_F(DiaDialogs, OneSectionToTheLastStationOffersNoPass) {
  TDiaOneStep form;
  form.SetupStep("B", "C", {"C  1番ホーム=x"}, At(10, 0), 1, false, false, false);
  TFrmDiaOneStep win;
  OnModal([&](QWidget*) {
    EXPECT_FALSE(win.BtnThru->isEnabled());
    QTest::mouseClick(win.BtnThru, Qt::LeftButton);  // a disabled button takes no click
    EXPECT_TRUE(win.isVisible());
    QTest::keyClick(win.LbxSta, Qt::Key_Return);
  });
  ASSERT_TRUE(win.Run(form));
  EXPECT_FALSE(form.PassNext);
}

class CarPropertyDialog : public DiaDialogs {
 protected:
  CarPropertyDialog() {
    MakeLine(brd_, {"A", "B", "C"});
    brd_.MakeLineBlk();
    AddCar(brd_, 1001, 1);  // A's platform 1 is taken from 04:00
    TDiaObj dia;
    dia.Build(brd_.LineStas, brd_.TrainNos);
    std::string msg;
    brd_.InitObjTmTbl(dia.TrNos(), dia.CarIds, msg);
  }
  TBrdData brd_;
  TFrmCarProperty dlg_;
};

TEST_F(CarPropertyDialog, NewTrainSetChecksSpeedAndStablingPlace) {
  OnModal([&](QWidget*) {
    EXPECT_EQ(dlg_.windowTitle().toStdString(), "車両編成の新規作成");
    EXPECT_FALSE(dlg_.GbxTrain->isVisible());
    EXPECT_FALSE(dlg_.CbxHome->isVisible());  // until a station is chosen
    Type(dlg_.EdtSpd, "29");
    QTest::mouseClick(dlg_.BtnOk, Qt::LeftButton);
    Type(dlg_.EdtSpd, "160");
    dlg_.CbxStaName->setCurrentIndex(0);
    EXPECT_TRUE(dlg_.CbxHome->isVisible());
    ASSERT_EQ(dlg_.CbxHome->count(), 2);
    dlg_.CbxHome->setCurrentIndex(0);
    QTest::mouseClick(dlg_.BtnOk, Qt::LeftButton);  // A's platform 1 is taken
    dlg_.CbxStaName->setCurrentIndex(1);
    dlg_.CbxHome->setCurrentIndex(1);
    dlg_.CbxRyo->setCurrentIndex(5);
    dlg_.grab().save(
        QString::fromStdString(std::string(RAMVEL_BINARY_DIR) + "/dia_png/new_car.png"));
    QTest::mouseClick(dlg_.BtnOk, Qt::LeftButton);
  });
  const std::optional<TNewCarChoice> ch = dlg_.NewCar({"A", "B", "C"}, {"1,2", "1,2", "1,2"}, brd_);
  ASSERT_TRUE(ch.has_value());
  EXPECT_EQ(host_.Texts(),
            (std::vector<std::string>{"速度の入力が正しくありません",
                                      "指定の留置場所が始業時に空いていません（留置中の編成1が"
                                      "使っています）"}));
  EXPECT_EQ(ch->Prop.Spd, 160);
  EXPECT_EQ(ch->Prop.NCar, 6);
  EXPECT_EQ(ch->Prop.Color, 0xFFFF00);  // aqua as 0x00BBGGRR
  EXPECT_EQ(ch->StabLoc, MakeEntCode(2001, 2, 0));
}

TEST_F(CarPropertyDialog, TrainNumberAndKind) {
  const TCarObj& car = *brd_.FindCar(1, "");
  TTrainNoList trains;
  trains.emplace("101", nullptr);
  OnModal([&](QWidget*) {
    EXPECT_EQ(dlg_.windowTitle().toStdString(), "列車の新規作成");
    EXPECT_FALSE(dlg_.CbxRyo->isEnabled());
    EXPECT_EQ(dlg_.CbxStaName->currentText().toStdString(), "A");
    QTest::mouseClick(dlg_.BtnOk, Qt::LeftButton);
    Type(dlg_.EdtTrNo, "A,1");
    QTest::mouseClick(dlg_.BtnOk, Qt::LeftButton);
    Type(dlg_.EdtTrNo, "101");
    QTest::mouseClick(dlg_.BtnOk, Qt::LeftButton);
    Type(dlg_.EdtTrNo, " 105 ");
    dlg_.CbxTrType->setCurrentIndex(1);
    QTest::keyClicks(dlg_.EdtTrNick, "X");
    dlg_.grab().save(
        QString::fromStdString(std::string(RAMVEL_BINARY_DIR) + "/dia_png/new_train.png"));
    QTest::mouseClick(dlg_.BtnOk, Qt::LeftButton);
  });
  const auto tr = dlg_.EditTrain(trains, car, "", "", false, "1", "A");
  ASSERT_TRUE(tr.has_value());
  EXPECT_EQ(host_.Texts(),
            (std::vector<std::string>{"列車番号を入力して下さい", "列車番号を正しく入力して下さい",
                                      "既に存在する列車番号です"}));
  EXPECT_EQ(tr->TrNo, "105");
  EXPECT_EQ(tr->Kind, "快速 X");
  // A change keeps the train's own number and splits the stored kind.
  OnModal([&](QWidget*) {
    EXPECT_EQ(dlg_.windowTitle().toStdString(), "列車番号の変更");
    EXPECT_EQ(dlg_.CbxTrType->currentText().toStdString(), "特急");
    EXPECT_EQ(dlg_.EdtTrNick->text().toStdString(), "あさ");
    QTest::mouseClick(dlg_.BtnClrTrType, Qt::LeftButton);
    QTest::mouseClick(dlg_.BtnOk, Qt::LeftButton);
  });
  const auto ch = dlg_.EditTrain(trains, car, "特急 あさ", "101", true, "1", "A");
  ASSERT_TRUE(ch.has_value());
  EXPECT_EQ(ch->TrNo, "101");
  EXPECT_EQ(ch->Kind, " あさ");
}

// Changing only the number keeps the kind as stored, for every type, alone or with a nickname,
// and for a nickname alone.
TEST_F(CarPropertyDialog, ChangingOnlyTheNumberKeepsEveryKind) {
  const TCarObj& car = *brd_.FindCar(1, "");
  TTrainNoList trains;
  for (const char* kind : {"普通", "快速", "準急", "急行", "特急", "回送", "普通 みなと",
                           "特急 あさ", " あさ", ""}) {
    SCOPED_TRACE(kind);
    OnModal([&](QWidget*) {
      Type(dlg_.EdtTrNo, "102");
      QTest::mouseClick(dlg_.BtnOk, Qt::LeftButton);
    });
    const auto ch = dlg_.EditTrain(trains, car, kind, "101", true, "1", "A");
    ASSERT_TRUE(ch.has_value());
    EXPECT_EQ(ch->TrNo, "102");
    EXPECT_EQ(ch->Kind, kind);
  }
}

// ---- The main window's command -----------------------------------------------------------------

class DiaEditCommand : public ShellTest {};

TEST_F(DiaEditCommand, OpensTheChosenLineAndSavesAfterwards) {
  fs::copy(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample", base_ / "Sample",
           fs::copy_options::recursive);
  WriteBytes(Base() + "latest.txt", "Sample\r\n");
  TFrmMain& m = Main(800, 600);
  ASSERT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
  m.SetMode(true);
  ASSERT_TRUE(m.MnuDiaEdit->isEnabled());
  // Seen on disk only when the save that follows writes the board.
  m.Edit.Brd.FindCar(1, "")->Usage = "marker";
  std::string title;
  size_t rows = 0;
  OnModal([&](QWidget* w) {
    auto* sel = dynamic_cast<TFrmSelSta*>(w);
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(sel->windowTitle().toStdString(), "路線を選択して下さい");
    for (int i = 0; i < sel->LbxSta->count(); ++i) {
      if (sel->LbxSta->item(i)->text() == QStringLiteral("本線")) sel->LbxSta->setCurrentRow(i);
    }
    OnModal([&](QWidget* e) {
      auto* ed = dynamic_cast<TFrmDiaEditor*>(e);
      ASSERT_NE(ed, nullptr);
      title = ed->windowTitle().toStdString();
      rows = static_cast<size_t>(ed->GrdTm->RowCount());
      ed->MnuReg->trigger();
    });
    QTest::mouseClick(sel->BtnOk, Qt::LeftButton);
  });
  m.MnuDiaEdit->trigger();
  EXPECT_EQ(title, "ダイヤ編集 - 本線");
  EXPECT_GT(rows, 10u);
  EXPECT_NE(ReadBytes(base_ / "Sample/car/1.txt").find("marker"), std::string::npos);
  EXPECT_FALSE(m.Edit.Brd.Modified);
}

}  // namespace
}  // namespace ramvel::test
