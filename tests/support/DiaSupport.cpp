// Train sets with timetables made in code on a board.
#include "DiaSupport.h"

#include <stdexcept>

namespace ramvel::test {

TStepSpec Origin(int32_t sta, int32_t dep, int32_t home) { return {sta, home, dep, dep}; }
TStepSpec Stop(int32_t sta, int32_t arr, int32_t dep, int32_t home) {
  return {sta, home, arr, dep};
}
TStepSpec Pass(int32_t sta, int32_t t, int32_t home) { return {sta, home, t, t}; }
TStepSpec Term(int32_t sta, int32_t arr, int32_t home) { return {sta, home, arr, -1}; }

TTmTbl StepOf(const TStepSpec& step, const std::string& txt) {
  return TTmTbl{txt, step.Arr, step.Dep, MakeEntCode(step.Sta, step.Home, 0)};
}

TCarObj& AddCar(TBrdData& brd, int32_t sta, int32_t home) {
  const int32_t no = brd.CarReg(TCarProp{0, "", 0x00FF00, 4, 72}, MakeEntCode(sta, home, 0));
  TCarObj* car = brd.FindCar(no, "");
  if (car == nullptr) throw std::logic_error("AddCar: the new train set is not on the board");
  return *car;
}

void AddTrain(TBrdData& brd, TCarObj& car, const std::string& header,
              const std::vector<TStepSpec>& steps) {
  for (size_t k = 0; k < steps.size(); ++k) {
    car.TmTbl.Add(StepOf(steps[k], k == 0 ? header : ""));
  }
  if (!brd.TrainReg(car.Id, TextBefore(header + ",", ","))) {
    throw std::logic_error("AddTrain: train number " + header + " is taken");
  }
}

std::vector<std::string> LineOf(const std::vector<int32_t>& staIds) {
  std::vector<std::string> out;
  for (int32_t id : staIds) out.push_back(IntText(id));
  return out;
}

}  // namespace ramvel::test
