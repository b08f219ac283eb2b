// The diagram editor's modal dialogs shown as windows.
#include "windows/timetable/UrwDiaDialogsForm.h"

#include "windows/timetable/UrwCarPropertyForm.h"
#include "windows/timetable/UrwDiaBulkForm.h"
#include "windows/timetable/UrwDiaOneStepForm.h"
#include "windows/common/UrwSelStaForm.h"

namespace ramvel {

TFrmDiaDialogs::TFrmDiaDialogs(TFrmSelSta* sel, QWidget* parent)
    : Sel(sel),
      OneStepForm(new TFrmDiaOneStep(parent)),
      CarProperty(new TFrmCarProperty(parent)),
      ShiftTime(new TFrmShiftTime(parent)),
      Repeat(new TFrmRepeat(parent)) {}

TFrmDiaDialogs::~TFrmDiaDialogs() = default;

bool TFrmDiaDialogs::OneStep(TDiaOneStep& form) { return OneStepForm->Run(form); }

std::optional<int32_t> TFrmDiaDialogs::SelectItem(const std::vector<std::string>& items,
                                                  const std::string& prompt, bool textMode) {
  if (!Sel->ShowSelList(items, prompt, textMode)) return std::nullopt;
  const int i = Sel->SelectedIndex();
  if (i < 0) return std::nullopt;
  return i;
}

std::optional<TNewCarChoice> TFrmDiaDialogs::NewCar(const std::vector<std::string>& staNames,
                                                    const std::vector<std::string>& homeLists,
                                                    TBrdData& brd) {
  return CarProperty->NewCar(staNames, homeLists, brd);
}

void TFrmDiaDialogs::ShowSpec(const TCarObj& car, const std::string& staName,
                              const std::string& homeText) {
  CarProperty->ShowSpec(car, staName, homeText);
}

std::optional<TTrainChoice> TFrmDiaDialogs::EditTrain(const TTrainNoList& trains,
                                                      const TCarObj& car, const std::string& kind,
                                                      const std::string& number, bool change,
                                                      const std::string& homeText,
                                                      const std::string& staName) {
  return CarProperty->EditTrain(trains, car, kind, number, change, homeText, staName);
}

std::optional<TShiftChoice> TFrmDiaDialogs::AskShift(const std::string& trNo) {
  return ShiftTime->Run(trNo);
}

std::optional<TRepeatChoice> TFrmDiaDialogs::AskRepeat(int32_t carNo, int32_t trains) {
  return Repeat->Run(carNo, trains);
}

}  // namespace ramvel
