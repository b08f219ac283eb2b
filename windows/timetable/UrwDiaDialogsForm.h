// TFrmDiaDialogs: the diagram editor's modal dialogs as the program shows them: the one-section
// window, the selection dialog and the train set properties dialog.
#pragma once

#include <memory>

#include "timetable/UrwDiaEditorUi.h"

class QWidget;

namespace ramvel {

class TFrmCarProperty;
class TFrmDiaOneStep;
class TFrmSelSta;
class TFrmShiftTime;
class TFrmRepeat;

class TFrmDiaDialogs : public TDiaDialogs {
 public:
  // sel (not owned) must outlive this; the one-section and the properties windows are made
  // here, as children of parent.
  TFrmDiaDialogs(TFrmSelSta* sel, QWidget* parent);
  ~TFrmDiaDialogs() override;

  bool OneStep(TDiaOneStep& form) override;
  std::optional<int32_t> SelectItem(const std::vector<std::string>& items,
                                    const std::string& prompt, bool textMode) override;
  std::optional<TNewCarChoice> NewCar(const std::vector<std::string>& staNames,
                                      const std::vector<std::string>& homeLists,
                                      TBrdData& brd) override;
  void ShowSpec(const TCarObj& car, const std::string& staName,
                const std::string& homeText) override;
  std::optional<TTrainChoice> EditTrain(const TTrainNoList& trains, const TCarObj& car,
                                        const std::string& kind, const std::string& number,
                                        bool change, const std::string& homeText,
                                        const std::string& staName) override;
  std::optional<TShiftChoice> AskShift(const std::string& trNo) override;
  std::optional<TRepeatChoice> AskRepeat(int32_t carNo, int32_t trains) override;

  TFrmSelSta* Sel;
  TFrmDiaOneStep* OneStepForm;   // owned by the parent widget
  TFrmCarProperty* CarProperty;  // owned by the parent widget
  TFrmShiftTime* ShiftTime;      // owned by the parent widget
  TFrmRepeat* Repeat;            // owned by the parent widget
};

}  // namespace ramvel
