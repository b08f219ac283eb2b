// The train set commands of the diagram editor: create, inspect and delete a train set, divide
// one after a train, and merge two.
#include <cstdlib>

#include "timetable/UrwDiaEditor.h"

namespace ramvel {

bool TDiaEditor::CarNew() {
  TUndoScope step(History, "編成の新規作成");
  // A ring line lists its first station again at its end; it is offered once.
  std::vector<std::string> names = LineStaNames, homes = LineStaHomes;
  if (IsRingLine() && !names.empty() && names.size() == homes.size()) {
    names.pop_back();
    homes.pop_back();
  }
  const std::optional<TNewCarChoice> ch = dialogs_.NewCar(names, homes, brd_);
  if (!ch) return false;
  if (const TStatus st = CheckNewCar(brd_, *ch); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  TCarProp prop = ch->Prop;
  prop.Usage.clear();
  brd_.CarReg(prop, ch->StabLoc);
  RebuildDia();
  RefreshView(true);
  return true;
}

void TDiaEditor::CarSpec() {
  const std::optional<int32_t> no = SelectCar(kSelSpec, "編成を選択して下さい");
  if (!no) return;
  const TCarObj* c = brd_.FindCar(*no, "CAR");
  if (c == nullptr) return;
  const TCarFinalPos p = CarFinalPos(*c);
  const TStaObj* sta = brd_.FindSta(p.Place.Id, "STA");
  if (sta == nullptr) return;
  dialogs_.ShowSpec(*c, sta->Name, IntText(p.Place.Slot));
}

// Only a train set without trains can go: its trains would vanish with it.
bool TDiaEditor::CarDel() {
  TUndoScope step(History, "編成の削除");
  const std::optional<int32_t> no = SelectCar(kSelDelete, "削除したい編成を選択して下さい");
  if (!no) return false;
  const TCarObj* c = brd_.FindCar(*no, "CAR");
  if (c == nullptr || c->TmTbl.Count() > 1) return false;
  brd_.CarDel(*no);
  RebuildDia();
  RefreshView(true);
  return true;
}

// A train number follows its steps to another train set, unless it names a train of a third
// set (a number taken twice keeps the set it was first given).
void TDiaEditor::MoveTrainNo(const std::string& no, TCarObj* from, TCarObj* to) {
  const auto it = brd_.TrainNos.find(no);
  if (it != brd_.TrainNos.end() && it->second == from) it->second = to;
  if (std::string note = from->TrNote(no); !note.empty()) {
    from->SetTrNote(no, "");
    to->SetTrNote(no, note);
  }
}

bool TDiaEditor::CarDiv(int32_t t) {
  TUndoScope step(History, "編成の分割");
  if (!ValidTr(t)) return false;
  const std::string trNo = Dia.TrInfo[t].TrNo;
  TCarObj* a = brd_.FindTrainCar(trNo, "MnuCarDivClick-CAR-1");
  if (a == nullptr) return false;
  const TTrainRange r = a->FindTrain(trNo);
  const int32_t count = a->TmTbl.Count();
  if (r.First < 0 || r.Last + 1 >= count) return false;  // t is the last train: nothing follows
  if (!AskYesNo(kCapConfirm, "編成を分割してよろしいですか？")) return false;
  const TCarProp prop{0, "", a->Color, a->NCar, a->Spd};
  TCarObj* b =
      brd_.FindCar(brd_.CarReg(prop, a->TmTbl.At(r.Last + 1).Loc), "MnuCarDivClick-CAR-12");
  if (b == nullptr) return false;
  for (int32_t i = r.Last + 1; i < count; ++i) {
    const TTmTbl& s = a->TmTbl.At(i);
    if (!s.Txt.empty()) MoveTrainNo(TextBefore(s.Txt + ",", ","), a, b);
    b->TmTbl.Add(s);
  }
  for (int32_t i = count - 1; i > r.Last; --i) a->TmTbl.Delete(i);
  brd_.Modified = true;
  RebuildDia();
  RefreshView(true);
  return true;
}

bool TDiaEditor::CarMarge(int32_t t) {
  TUndoScope step(History, "編成の併合");
  if (!ValidTr(t)) return false;
  const std::string trNo = Dia.TrInfo[t].TrNo;
  TCarObj* a = brd_.FindTrainCar(trNo, "MnuCarMargeClick-CAR-1");
  if (a == nullptr || !IsLastTrain(*a, trNo)) return false;
  const TTmTbl end = a->TmTbl.GetLast();
  const int32_t key = std::abs(end.Loc);
  // The train set that leaves first from where a ends, but not before a has arrived: its steps
  // must follow a's in time to make one chain.
  TCarObj* p = nullptr;
  int32_t best = kDayEnd;
  for (const auto& [k, car] : brd_.Cars) {
    if (car.get() == a || car->TmTbl.Count() <= 1) continue;
    const TTmTbl& s1 = car->TmTbl.At(1);
    if (std::abs(s1.Loc) != key || s1.TmEnd >= best || s1.TmEnd < end.TmStart) continue;
    best = s1.TmEnd;
    p = car.get();
  }
  if (p == nullptr) {
    ShowMsgBox(kCapNotice, "併合できる編成がありませんでした");
    return false;
  }
  const std::string prefix = "併合対象の編成(ID=" + IntText(p->Id) + ")";
  if (p->Spd != a->Spd) {
    ShowMsgBox(kCapNotice, prefix + "は速度が異なるので併合できません");
    return false;
  }
  const bool same = p->Color == a->Color && p->NCar == a->NCar;
  const std::string ask = same ? "と併合してよろしいですね？"
                               : "は色(または車両数)が異なりますが、変更してよろしいですね？";
  if (!AskYesNo(kCapConfirm, prefix + ask)) return false;
  for (int32_t i = 1; i < p->TmTbl.Count(); ++i) {
    const TTmTbl& s = p->TmTbl.At(i);
    if (!s.Txt.empty()) MoveTrainNo(TextBefore(s.Txt + ",", ","), p, a);
    a->TmTbl.Add(s);
  }
  brd_.CarDel(p->Id);  // also drops any train number still naming it
  brd_.Modified = true;
  RebuildDia();
  RefreshView(true);
  return true;
}

}  // namespace ramvel
