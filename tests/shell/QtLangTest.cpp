// Qt's own dialogs speak Japanese once its translations are loaded.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ShellFixture.h"
#include "shell/UrwQtLang.h"

namespace ramvel::test {
namespace {

TEST(QtJapanese, StandardDialogsSayOpenAndCancelInJapanese) {
  App();
  ASSERT_TRUE(InstallQtJapanese());
  EXPECT_TRUE(InstallQtJapanese());  // a second call changes nothing
  QMessageBox box(QMessageBox::Question, "確認", "?", QMessageBox::Yes | QMessageBox::Cancel);
  EXPECT_EQ("キャンセル", box.button(QMessageBox::Cancel)->text().toStdString());
  EXPECT_EQ("はい(&Y)", box.button(QMessageBox::Yes)->text().toStdString());
  QFileDialog files(nullptr, "地形データの読み込み");
  files.setOption(QFileDialog::DontUseNativeDialog);
  files.setAcceptMode(QFileDialog::AcceptOpen);
  auto* buttons = files.findChild<QDialogButtonBox*>();
  ASSERT_NE(nullptr, buttons);
  EXPECT_NE(std::string::npos,
            buttons->button(QDialogButtonBox::Open)->text().toStdString().find("開く"));
  EXPECT_EQ("キャンセル", buttons->button(QDialogButtonBox::Cancel)->text().toStdString());
}

}  // namespace
}  // namespace ramvel::test
