// The diagram editor's bulk edits: 時刻をずらす and 繰り返し作成, from the 列車 menu and the grid's
// popup.
#include "timetable/UrwDiaEditor.h"

namespace ramvel {

std::optional<TBulkResult> TDiaEditor::BulkShift(int32_t t) {
  std::string n;
  if (ValidTr(t)) {
    n = Dia.TrInfo[static_cast<size_t>(t)].TrNo;
  } else {
    std::vector<std::string> shown;
    for (const TOrderEntry& e : *Dia.ViewOrder) shown.push_back(e.TrNo);
    const std::optional<std::string> chosen = SelectTrNo(dialogs_, shown);
    if (!chosen) return std::nullopt;
    n = *chosen;
  }
  const std::optional<TShiftChoice> ch = dialogs_.AskShift(n);
  if (!ch) return std::nullopt;
  TUndoScope step(History, "時刻をずらす");
  return ShiftTrain(brd_, n, ch->Minutes, ch->Following);
}

std::optional<TBulkResult> TDiaEditor::BulkRepeat(int32_t t) {
  std::optional<int32_t> carNo;
  if (ValidTr(t)) {
    if (const TCarObj* c = brd_.FindTrainCar(Dia.TrInfo[static_cast<size_t>(t)].TrNo, "")) {
      carNo = c->Id;
    }
  } else {
    carNo = SelectCar(kSelBothDir, "繰り返す編成を選択して下さい");
  }
  if (!carNo) return std::nullopt;
  const TCarObj* c = brd_.FindCar(*carNo, "CAR");
  if (c == nullptr) return std::nullopt;
  int32_t trains = 0;
  for (int32_t i = 1; i < c->TmTbl.Count(); ++i) trains += c->TmTbl.At(i).Txt.empty() ? 0 : 1;
  const std::optional<TRepeatChoice> ch = dialogs_.AskRepeat(*carNo, trains);
  if (!ch) return std::nullopt;
  TRepeatOrder order{*carNo, ch->K, ch->Every, 0, ch->Increment};
  if (!ParseClock(ch->Until, order.Until)) {
    TBulkResult bad;
    bad.Msg = "終了時刻「" + ch->Until + "」が正しくありません（例：23:00）";
    return bad;
  }
  // Every copy made is taken back by one undo.
  TUndoScope step(History, "繰り返し作成");
  return RepeatTrains(brd_, order);
}

void TDiaEditor::ShowBulkResult(const TBulkResult& r) const {
  ShowMsgBox(r.Ok ? kCapNotice : kCapError, r.Msg);
}

}  // namespace ramvel
