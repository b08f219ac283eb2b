// Scripted dialogs of the diagram editor and lines of stations for tests.
#include "DiaScript.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "NetBuilder.h"

namespace ramvel::test {

TStepAnswer StopVia(const std::string& route, std::optional<std::string> dep) {
  return TStepAnswer{TStepAnswer::kStop, -1, std::move(dep), route};
}

TStepAnswer PassVia(const std::string& route, std::optional<std::string> dep) {
  return TStepAnswer{TStepAnswer::kPass, -1, std::move(dep), route};
}

TStepAnswer Cancel() { return TStepAnswer{TStepAnswer::kCancel, -1, std::nullopt, ""}; }

bool TScriptedDiaDialogs::OneStep(TDiaOneStep& form) {
  StepsShown.push_back(form);
  for (;;) {
    if (Steps.empty()) {
      ++Unanswered;
      return false;
    }
    const TStepAnswer a = Steps.front();
    Steps.pop_front();
    if (a.Button == TStepAnswer::kCancel) return false;
    if (a.StartItem >= 0) form.LbxStartClick(a.StartItem);
    if (a.Dep) form.EdtCurSta = *a.Dep;
    if (!a.Route.empty()) {
      const auto it = std::find(form.LbxSta.begin(), form.LbxSta.end(), a.Route);
      if (it == form.LbxSta.end()) {
        ADD_FAILURE() << "no route \"" << a.Route << "\" offered";
        return false;
      }
      form.StaIndex = static_cast<int32_t>(it - form.LbxSta.begin());
    }
    if (a.Button == TStepAnswer::kPass ? form.BtnThruClick() : form.BtnOkClick()) return true;
  }
}

std::optional<int32_t> TScriptedDiaDialogs::SelectItem(const std::vector<std::string>& items,
                                                       const std::string& prompt, bool) {
  SelShown.push_back({prompt, items});
  if (Selections.empty()) {
    ++Unanswered;
    return std::nullopt;
  }
  const std::optional<int32_t> a = Selections.front();
  Selections.pop_front();
  return a;
}

std::optional<TNewCarChoice> TScriptedDiaDialogs::NewCar(const std::vector<std::string>&,
                                                         const std::vector<std::string>&,
                                                         TBrdData&) {
  if (NewCars.empty()) {
    ++Unanswered;
    return std::nullopt;
  }
  const std::optional<TNewCarChoice> a = NewCars.front();
  NewCars.pop_front();
  return a;
}

void TScriptedDiaDialogs::ShowSpec(const TCarObj& car, const std::string& staName,
                                   const std::string& homeText) {
  Specs.push_back(IntText(car.Id) + " " + staName + " " + homeText);
}

std::optional<TTrainChoice> TScriptedDiaDialogs::EditTrain(const TTrainNoList&, const TCarObj&,
                                                           const std::string& kind,
                                                           const std::string& number, bool change,
                                                           const std::string& homeText,
                                                           const std::string& staName) {
  TTrainForm form;
  form.Setup(kind, number, change);
  TrainsShown.push_back({kind, number, change, homeText, staName, form});
  if (Trains.empty()) {
    ++Unanswered;
    return std::nullopt;
  }
  const std::optional<TTrainChoice> a = Trains.front();
  Trains.pop_front();
  return a;
}

std::vector<TStaObj*> MakeLine(TBrdData& brd, const std::vector<std::string>& names,
                               int32_t tracks) {
  std::vector<TStaObj*> stas;
  for (size_t i = 0; i < names.size(); ++i) {
    const int32_t id = static_cast<int32_t>(i + 1) * 1000 + 1;
    stas.push_back(
        PutStation(brd, TwoPlatformStation(id, names[i]), static_cast<int32_t>(i) * 22, 0));
  }
  for (size_t i = 0; i + 1 < stas.size(); ++i) {
    brd.RailReg({static_cast<int32_t>(i) * 22 + 11, 0}, {11, 0}, stas[i], stas[i + 1], tracks);
  }
  if (!brd.SetLine("本線").ok()) ADD_FAILURE() << "line name refused";
  for (const TStaObj* sta : stas) brd.LineStas.push_back(IntText(sta->Id));
  brd.LineSides.assign(brd.LineStas.size(), 0);
  return stas;
}

TTmTbl MakeStep(int32_t sta, int32_t home, int32_t side, int32_t arr, int32_t dep,
                const std::string& txt) {
  return TTmTbl{txt, arr, dep, MakeEntCode(sta, home, side)};
}

namespace {

template <typename T>
std::optional<T> Answer(std::deque<std::optional<T>>& queue, int& unanswered) {
  if (queue.empty()) {
    ++unanswered;
    return std::nullopt;
  }
  std::optional<T> a = queue.front();
  queue.pop_front();
  return a;
}

}  // namespace

std::optional<TShiftChoice> TScriptedDiaDialogs::AskShift(const std::string& trNo) {
  ShiftsShown.push_back(trNo);
  return Answer(Shifts, Unanswered);
}

std::optional<TRepeatChoice> TScriptedDiaDialogs::AskRepeat(int32_t carNo, int32_t trains) {
  RepeatsShown.push_back(IntText(carNo) + " " + IntText(trains));
  return Answer(Repeats, Unanswered);
}

}  // namespace ramvel::test
