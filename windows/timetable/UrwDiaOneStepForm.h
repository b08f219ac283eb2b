// TFrmDiaOneStep: the window of the one-section dialog ("一区間の設定") over TDiaOneStep, which
// holds what it shows and checks what the user chose.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ramvel {

class TDiaOneStep;

class TFrmDiaOneStep : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmDiaOneStep(QWidget* parent = nullptr);

  // Shows form (filled by SetupStep) modally; true when it closed with 停車 or 通過 and the
  // form's checks passed.
  bool Run(TDiaOneStep& form);

  QLabel* LblCurSta;
  QLabel* Lbl4CurSta;
  QLineEdit* EdtCurSta;
  QListWidget* LbxStart;
  QLabel* LblNextSta;
  QPushButton* BtnOk;
  QPushButton* BtnThru;
  QPushButton* BtnCancel;
  QListWidget* LbxSta;

 protected:
  // Escape and the window's close button cancel like BtnCancel, and only when it is enabled: a
  // train cannot end at a station it passes.
  void reject() override;

 private:
  void Show(const TDiaOneStep& form);
  void Press(bool thru);

  TDiaOneStep* form_ = nullptr;
};

}  // namespace ramvel
