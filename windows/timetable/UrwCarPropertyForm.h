// TFrmCarProperty: the modal dialog of a train set's properties (new, or shown read-only) and
// of a train's number, type and nickname (new, or a number change).
#pragma once

#include <QColor>
#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "timetable/UrwDiaEditorUi.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ramvel {

class TFrmCarProperty : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmCarProperty(QWidget* parent = nullptr);

  // The six train types, in the order of the type choice.
  static const std::vector<std::string>& TrTypes();

  std::optional<TNewCarChoice> NewCar(const std::vector<std::string>& staNames,
                                      const std::vector<std::string>& homeLists, TBrdData& brd);
  void ShowSpec(const TCarObj& car, const std::string& staName, const std::string& homeText);
  std::optional<TTrainChoice> EditTrain(const TTrainNoList& trains, const TCarObj& car,
                                        const std::string& kind, const std::string& number,
                                        bool change, const std::string& homeText,
                                        const std::string& staName);

  // The OK button: true when the entries pass their checks (the dialog then closes with OK);
  // otherwise the reason has been shown and the control to correct has the focus.
  bool BtnOkClick();
  void CbxStaNameChange();

  QPushButton* BtnOk;
  QPushButton* BtnCancel;
  QGroupBox* GbxCar;
  QComboBox* CbxRyo;
  QLineEdit* EdtSpd;
  QLineEdit* EdtColor;
  QPushButton* BtnColor;
  QLabel* LblCurPos;
  QComboBox* CbxStaName;
  QLabel* LblHome;
  QComboBox* CbxHome;
  QGroupBox* GbxTrain;
  QLineEdit* EdtTrNo;
  QComboBox* CbxTrType;  // the kinds of KindBoard's table
  // The board whose kind table the train's kind choice offers; the six built-in kinds when null.
  const TBrdData* KindBoard = nullptr;
  QPushButton* BtnClrTrType;
  QLineEdit* EdtTrNick;

  QColor Colour{0, 255, 255};  // the train set colour shown; kept from use to use
  int32_t StabLoc = 0;         // valid after NewCar's OK

 protected:
  void showEvent(QShowEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;

 private:
  void MakeCarGroup();
  void MakeTrainGroup();
  void SetCarFields(const TCarObj* car, const std::string& posLabel, const std::string& homeText,
                    const std::string& staText);
  void SetColour(QColor c);
  bool CheckCar();
  bool CheckTrain();

  TBrdData* brd_ = nullptr;
  const TTrainNoList* trainList_ = nullptr;
  std::string ownNo_;  // the number being changed, which the train may keep
  std::vector<std::string> homeLists_;
};

}  // namespace ramvel
