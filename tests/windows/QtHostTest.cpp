// The program's dialog host: the boxes it builds and the file filters it passes on. Modal
// dialogs are never run here.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "ViewSupport.h"
#include "windows/common/UrwQtHost.h"

namespace ramvel {
namespace {

class QtHost : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureApp(); }
};

TEST_F(QtHost, OkBoxCarriesCaptionTextAndOneButton) {
  const auto box = MakeOkBox(nullptr, "エラー", "そこに設置することは出来ません");
  EXPECT_EQ(box->windowTitle(), QStringLiteral("エラー"));
  EXPECT_EQ(box->text(), QStringLiteral("そこに設置することは出来ません"));
  EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST_F(QtHost, QuestionBoxHasYesAndNoWithNoOnEscape) {
  const auto box = MakeYesNoBox(nullptr, "確認", "設置を中止しますか？");
  EXPECT_EQ(box->windowTitle(), QStringLiteral("確認"));
  EXPECT_EQ(box->text(), QStringLiteral("設置を中止しますか？"));
  EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));
}

TEST_F(QtHost, PlainMessagesAreCaptionedWithTheApplicationsName) {
  const QString before = QGuiApplication::applicationDisplayName();
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Ramvel"));
  EXPECT_EQ(PlainCaption(), QStringLiteral("Ramvel"));
  QGuiApplication::setApplicationDisplayName(before);
}

TEST_F(QtHost, FileFiltersBecomeQtFiltersMatchingBothCases) {
  const struct {
    const char* In;
    const char* Out;
  } cases[] = {
      {"bitmap (*.BMP)|*.bmp", "bitmap (*.bmp *.BMP)"},
      {"バックアップ|*.dat", "バックアップ (*.dat *.DAT)"},
      {"a|*.txt|all|*", "a (*.txt *.TXT);;all (*)"},
      {"two|*.bmp;*.dib", "two (*.bmp *.BMP *.dib *.DIB)"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QtFileFilter(c.In), QString::fromUtf8(c.Out)) << c.In;
  }
}

}  // namespace
}  // namespace ramvel
