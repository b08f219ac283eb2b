// The options dialog: its captions, the enabling rule of the two label options and the result.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "ShellFixture.h"
#include "shell/UrwOpt.h"

namespace ramvel::test {
namespace {

class OptTest : public ::testing::Test {
 protected:
  OptTest() { App(); }
  // Shows the dialog for s, runs act on it and closes it with OK (or Cancel).
  TShellSettings Run(const TShellSettings& s, const std::function<void(TFrmOpt&)>& act,
                     bool ok = true) {
    TFrmOpt dlg;
    dlg.SetFrom(s);
    OnModal([&](QWidget*) {
      act(dlg);
      (ok ? dlg.BtnOk : dlg.BtnCancel)->click();
    });
    const int r = dlg.exec();
    EXPECT_EQ(r, ok ? QDialog::Accepted : QDialog::Rejected);
    return dlg.Result();
  }
};

TEST_F(OptTest, CaptionsAndChoices) {
  TFrmOpt dlg;
  EXPECT_EQ(dlg.windowTitle().toStdString(), "オプション設定");
  EXPECT_EQ(dlg.LblIntv->text().toStdString(), "画面更新の頻度");
  ASSERT_EQ(dlg.CbxIntv->count(), 3);
  EXPECT_EQ(dlg.CbxIntv->itemText(0).toStdString(), "高");
  EXPECT_EQ(dlg.CbxIntv->itemText(1).toStdString(), "中");
  EXPECT_EQ(dlg.CbxIntv->itemText(2).toStdString(), "低");
  EXPECT_EQ(dlg.CkbShowTrNo->text().toStdString(), "列車番号を表示する");
  EXPECT_EQ(dlg.CkbShowTrNick->text().toStdString(), "列車愛称があれば表示");
  EXPECT_EQ(dlg.CkbShowTrOnly->text().toStdString(), "運行中でない編成は表示しない");
}

TEST_F(OptTest, LabelOptionsFollowTheNumberOption) {
  TFrmOpt dlg;
  dlg.SetFrom({1, true, true, false});
  EXPECT_EQ(dlg.CbxIntv->currentIndex(), 1);
  EXPECT_TRUE(dlg.CkbShowTrNick->isEnabled());
  dlg.CkbShowTrNo->click();
  EXPECT_FALSE(dlg.CkbShowTrNick->isEnabled());
  EXPECT_FALSE(dlg.CkbShowTrOnly->isEnabled());
  EXPECT_TRUE(dlg.CkbShowTrNick->isChecked());  // greyed, not yet cleared
  dlg.CkbShowTrNo->click();
  EXPECT_TRUE(dlg.CkbShowTrOnly->isEnabled());
}

TEST_F(OptTest, OkWithoutNumbersClearsBothLabelOptions) {
  // The settings line "0[ONLY]": shown greyed and checked, stored cleared.
  const TShellSettings r = Run({0, false, false, true}, [](TFrmOpt& d) {
    EXPECT_FALSE(d.CkbShowTrOnly->isEnabled());
    EXPECT_TRUE(d.CkbShowTrOnly->isChecked());
  });
  EXPECT_EQ(r, (TShellSettings{0, false, false, false}));
}

TEST_F(OptTest, OkTakesTheLevelAndOptions) {
  const TShellSettings r = Run({}, [](TFrmOpt& d) {
    d.CbxIntv->setCurrentIndex(2);
    d.CkbShowTrNo->click();
    d.CkbShowTrNick->click();
  });
  EXPECT_EQ(r, (TShellSettings{2, true, true, false}));
}

TEST_F(OptTest, UncheckingNumbersThenOkStoresBothFalse) {
  const TShellSettings r = Run({0, true, true, true}, [](TFrmOpt& d) { d.CkbShowTrNo->click(); });
  EXPECT_EQ(r, (TShellSettings{0, false, false, false}));
}

}  // namespace
}  // namespace ramvel::test
