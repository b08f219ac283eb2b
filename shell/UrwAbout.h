// TFrmAbout: the about box with the program's name and version.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace ramvel {

class TFrmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmAbout(QWidget* parent = nullptr);

  QLabel* LblName;
  QLabel* LblVersion;
  QLabel* LblText;
  QPushButton* BtnOk;
};

}  // namespace ramvel
