// TFrmShiftTime and TFrmRepeat: the small modal dialogs of the diagram editor's bulk edits
// (時刻をずらす, 繰り返し作成). They gather the numbers only; the editor checks and runs the edit.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "timetable/UrwDiaEditorUi.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace ramvel {

class TFrmShiftTime : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmShiftTime(QWidget* parent = nullptr);
  // Shows the dialog for train trNo; nullopt on cancel. The minutes last chosen are offered.
  std::optional<TShiftChoice> Run(const std::string& trNo);
  // Fills the dialog for train trNo without showing it.
  void Setup(const std::string& trNo);
  // OK: false (the dialog stays open, the reason shown) for a shift of 0 minutes.
  bool BtnOkClick();
  TShiftChoice Choice() const;

  QLabel* LblTrain;
  QSpinBox* SpnMinutes;
  QCheckBox* ChkFollowing;
  QPushButton* BtnOk;
  QPushButton* BtnCancel;
};

class TFrmRepeat : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmRepeat(QWidget* parent = nullptr);
  // Shows the dialog for train set carNo, which runs `trains` trains; nullopt on cancel.
  std::optional<TRepeatChoice> Run(int32_t carNo, int32_t trains);
  void Setup(int32_t carNo, int32_t trains);
  // OK: false (the dialog stays open, the reason shown) when the time is not one.
  bool BtnOkClick();
  TRepeatChoice Choice() const;

  QLabel* LblCar;
  QSpinBox* SpnK;
  QSpinBox* SpnEvery;
  QLineEdit* EdtUntil;
  QSpinBox* SpnIncrement;
  QPushButton* BtnOk;
  QPushButton* BtnCancel;
};

}  // namespace ramvel
