// TFrmOpt: the options dialog of the clock's tick level and the train label options.
#pragma once

#include <QDialog>

#include "engine/UrwShellState.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace ramvel {

class TFrmOpt : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmOpt(QWidget* parent = nullptr);

  // Shows s: the level, then the number option (which enables the two below it), then those two.
  void SetFrom(const TShellSettings& s);
  // What the dialog shows; after closing, the two options below an unchecked number option are
  // unchecked.
  TShellSettings Result() const;

  QLabel* LblIntv;
  QComboBox* CbxIntv;
  QCheckBox* CkbShowTrNo;
  QCheckBox* CkbShowTrNick;
  QCheckBox* CkbShowTrOnly;
  QPushButton* BtnOk;
  QPushButton* BtnCancel;

  // The two label options can be set only while train numbers are shown.
  void CkbShowTrNoClick();

 protected:
  void done(int r) override;

 private:
  void FormClose();
};

}  // namespace ramvel
