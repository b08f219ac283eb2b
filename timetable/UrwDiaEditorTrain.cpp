// The train commands of the diagram editor: a new train, a train continued from another line,
// a changed train number, deleting a train, adding sections and deleting the sections beyond a
// station.
#include <vector>

#include "timetable/UrwDiaEditor.h"

namespace ramvel {

namespace {

const char* const kNothingAdded = "一区間も追加されなかったので処理をキャンセルします";

// The step of train trNo that the diagram cell shows: the last one at the cell's station with
// the cell's arrival; -1 when there is none.
int32_t StepOfCell(const TCarObj& c, const std::string& trNo, const TTmTbl& cell) {
  const TTrainRange r = c.FindTrain(trNo);
  const int32_t staId = SplitEntCode(cell.Loc).Id;
  for (int32_t i = r.Last; i >= r.First && i >= 0; --i) {
    const TTmTbl& s = c.TmTbl.At(i);
    if (SplitEntCode(s.Loc).Id == staId && s.TmStart == cell.TmStart) return i;
  }
  return -1;
}

}  // namespace

void TDiaEditor::EndEntry(TCarObj& c, bool added, const std::string& regTrNo, const char* doneMsg) {
  if (added) {
    Dia.StoreTr(c);
    if (!regTrNo.empty()) brd_.TrainReg(c.Id, regTrNo);
    brd_.Modified = true;
    ShowMsgBox(kCapNotice, doneMsg);
  } else {
    ShowMsgBox(kCapNotice, kNothingAdded);
  }
  ResetView(true);
}

bool TDiaEditor::TrainNew() {
  TUndoScope step(History, "列車の新規設定");
  const std::optional<int32_t> no = SelectCar(kSelNewTrain, "編成を選択して下さい");
  if (!no) return false;
  TCarObj* c = brd_.FindCar(*no, "CAR");
  if (c == nullptr) return false;
  const TCarFinalPos p = CarFinalPos(*c);
  const TStaObj* sta = brd_.FindSta(p.Place.Id, "STA");
  if (sta == nullptr) return false;
  const std::optional<TTrainChoice> tr =
      dialogs_.EditTrain(brd_.TrainNos, *c, "", "", false, IntText(p.Place.Slot), sta->Name);
  if (!tr) return false;
  const std::string n = std::string(TrimBlanks(tr->TrNo));
  if (const TStatus st = CheckTrainNo(brd_.TrainNos, n); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  DiaMode = TDiaMode::kNewTrain;
  const int32_t dir = KudariMode ? 1 : -1;
  Dia.AddTr(n, tr->Kind, dir);
  const bool added = FixPathToTerminal(*c, n, TEntCode{0, p.Place.Slot, p.Place.Id}, dir, true);
  EndEntry(*c, added, n, "列車を追加しました");
  return added;
}

bool TDiaEditor::TrainBridge() {
  TUndoScope step(History, "他路線からの乗り入れ");
  const std::optional<int32_t> no =
      SelectCar(kSelBridge, "他路線から乗り入れる編成を選択して下さい");
  if (!no) return false;
  TCarObj* c = brd_.FindCar(*no, "MnuTrainBridgeClick-CAR-1");
  if (c == nullptr) return false;
  const THeaderHit last = c->PrevHeader(c->TmTbl.Count(), true);
  if (!last.Found) return false;
  const std::string n = TextBefore(last.Txt + ",", ",");
  const TCarFinalPos p = CarFinalPos(*c);
  DiaMode = TDiaMode::kSectionsAdded;
  const int32_t dir = KudariMode ? 1 : -1;
  Dia.AddTr(n, TextAfter(last.Txt, ','), dir);
  const bool added = FixPathToTerminal(*c, n, TEntCode{0, p.Place.Slot, p.Place.Id}, dir, false);
  EndEntry(*c, added, "", "区間を追加しました");
  return added;
}

bool TDiaEditor::ChgTrNo() {
  TUndoScope step(History, "列車番号の変更");
  std::vector<std::string> shown;
  for (const TOrderEntry& e : *Dia.ViewOrder) shown.push_back(e.TrNo);
  const std::optional<std::string> n = SelectTrNo(dialogs_, shown);
  if (!n) return false;
  TCarObj* c = brd_.FindTrainCar(*n, "MnuChgTrNo-1");
  if (c == nullptr) return false;
  const TTrainRange r = c->FindTrain(*n);
  if (r.First < 0) return false;
  TTmTbl s0 = c->TmTbl.Get(r.First);
  const TEntCode p = SplitEntCode(s0.Loc);
  const TStaObj* sta = brd_.FindSta(p.Id, "STA");
  if (sta == nullptr) return false;
  const std::optional<TTrainChoice> tr = dialogs_.EditTrain(
      brd_.TrainNos, *c, TextAfter(s0.Txt, ','), *n, true, IntText(p.Slot), sta->Name);
  if (!tr) return false;
  const std::string n2 = std::string(TrimBlanks(tr->TrNo));
  if (const TStatus st = CheckTrainNo(brd_.TrainNos, n2, *n); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  s0.Txt = n2 + "," + tr->Kind;
  c->TmTbl.Delete(r.First);
  c->TmTbl.Add(s0);
  brd_.TrainNos.erase(*n);
  brd_.TrainNos.emplace(n2, c);
  if (n2 != *n) {
    const std::string note = c->TrNote(*n);
    c->SetTrNote(*n, "");
    c->SetTrNote(n2, note);
  }
  brd_.Modified = true;
  ResetView(true);
  return true;
}

bool TDiaEditor::EditTrNote(int32_t t) {
  TUndoScope step(History, "備考の編集");
  std::string n;
  if (ValidTr(t)) {
    n = Dia.TrInfo[t].TrNo;
  } else {
    std::vector<std::string> shown;
    for (const TOrderEntry& e : *Dia.ViewOrder) shown.push_back(e.TrNo);
    const std::optional<std::string> chosen = SelectTrNo(dialogs_, shown);
    if (!chosen) return false;
    n = *chosen;
  }
  TCarObj* c = brd_.FindTrainCar(n, "EditTrNote-CAR-1");
  if (c == nullptr) return false;
  const std::string old = c->TrNote(n);
  const std::optional<std::string> typed =
      UiHost().InputBox("備考", "列車 " + n + " の備考（空にすると消します）", old);
  if (!typed) return false;
  const std::string note = NoteText(*typed);
  if (note.size() > kMaxNoteBytes) {
    ShowMsgBox(kCapError, "備考が長すぎます（" + IntText(static_cast<int64_t>(kMaxNoteBytes)) +
                              "バイトまで）");
    return false;
  }
  if (std::string sj; !Utf8ToCp932(note, sj)) {
    ShowMsgBox(kCapError, "備考にShift-JISで書けない文字があります: " + note);
    return false;
  }
  if (note == old) return false;
  c->SetTrNote(n, note);
  brd_.Modified = true;
  return true;
}

bool TDiaEditor::TrainDel() {
  TUndoScope step(History, "列車の削除");
  std::vector<std::string> shown;
  for (const TOrderEntry& e : *Dia.ViewOrder) shown.push_back(e.TrNo);
  const std::optional<std::string> n = SelectTrNo(dialogs_, shown);
  return n && AskDelTrain(*n);
}

bool TDiaEditor::TrainDel2(int32_t t) {
  TUndoScope step(History, "列車の削除");
  return ValidTr(t) && AskDelTrain(Dia.TrInfo[t].TrNo);
}

// The menu and the popup alike: a train that cannot go is refused with the reason, one that can
// is asked about once.
bool TDiaEditor::AskDelTrain(const std::string& n) {
  const TCarObj* c = brd_.FindTrainCar(n, "TrainDel-CAR-1");
  if (c == nullptr) return false;
  if (const TStatus st = CanDelTrain(*c, n); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  if (!AskYesNo(kCapConfirm, "「" + n + "」を削除してよろしいですか？")) return false;
  return DelLastTr(n);
}

TStatus TDiaEditor::CanDelTrain(const TCarObj& c, const std::string& n) const {
  const TTrainRange r = c.FindTrain(n);
  if (r.First < 0) return TStatus::Error("列車" + n + "が見つかりません");
  if (r.Last >= c.TmTbl.Count() - 1) return TStatus::Ok();
  // The set must be where the next train starts: where the deleted one started.
  const TTmTbl& next = c.TmTbl.At(r.Last + 1);
  const TEntCode from = SplitEntCode(c.TmTbl.At(r.First).Loc);
  const TEntCode to = SplitEntCode(next.Loc);
  if (from.Id == to.Id && from.Slot == to.Slot) return TStatus::Ok();
  const auto place = [this](const TEntCode& at) {
    const TStaObj* sta = brd_.FindSta(at.Id, "");
    return (sta != nullptr ? sta->Name : IntText(at.Id)) + "駅" + IntText(at.Slot) + "番ホーム";
  };
  return TStatus::Error("列車" + n + "を削除すると、次の列車" + TextBefore(next.Txt + ",", ",") +
                        "の始発（" + place(to) + "）に編成" + IntText(c.Id) + "がいなくなります（" +
                        place(from) + "に残ります）。削除できません");
}

bool TDiaEditor::DelLastTr(const std::string& n) {
  TUndoScope step(History, "列車の削除");
  const TCarObj* c = brd_.FindTrainCar(n, "");
  const TStatus st =
      c != nullptr ? CanDelTrain(*c, n) : TStatus::Error("列車" + n + "が見つかりません");
  if (!st || !brd_.TrainDel(n, true)) {
    ShowMsgBox(kCapError, st ? "列車" + n + "を削除できませんでした" : st.Msg());
    return false;
  }
  RebuildDia();
  RefreshView(true);
  return true;
}

// Sections go on from a train's terminal in the shown direction, and only from the last train
// of its train set: the next train starts where this one ends.
TStatus TDiaEditor::CanKukanAdd(int32_t t, const TCarObj& c) const {
  const TTrInfo& tr = Dia.TrInfo[t];
  const int32_t dir = KudariMode ? 1 : -1;
  const int32_t last = Dia.LastSta(t);
  if (!IsLastTrain(c, tr.TrNo)) {
    return TStatus::Error("編成にとって最終列車ではないので区間を追加できません");
  }
  if (Dia.Cell(t, last).TmEnd >= 0) {
    return TStatus::Error("列車の終着駅ではないので区間を追加できません");
  }
  if (tr.CellCount > 1 && tr.Dir != dir) {
    return TStatus::Error("表示中の方向と列車の進行方向が異なるので区間を追加できません");
  }
  if (last + dir < 0 || last + dir >= Dia.StaCount) {
    return TStatus::Error("この先に駅がないので区間を追加できません");
  }
  return TStatus::Ok();
}

bool TDiaEditor::KukanAdd(int32_t t) {
  TUndoScope step(History, "区間の追加");
  if (!ValidTr(t)) return false;
  const TTrInfo tr = Dia.TrInfo[t];
  TCarObj* c = brd_.FindTrainCar(tr.TrNo, "MnuKukanAddClick-CAR-1");
  if (c == nullptr) return false;
  if (const TStatus st = CanKukanAdd(t, *c); !st) {
    ShowMsgBox(kCapNotice, st.Msg());
    return false;
  }
  Dia.CurTr = t;
  DiaMode = TDiaMode::kSectionsAdded;
  const TTmTbl last = Dia.Cell(t, Dia.LastSta(t));
  const int32_t dir = KudariMode ? 1 : -1;
  const bool added = FixPathToTerminal(*c, tr.TrNo, SplitEntCode(last.Loc), dir, false);
  EndEntry(*c, added, "", "区間を追加しました");
  return added;
}

// A deletion that would be refused is refused before the question.
bool TDiaEditor::KukanDelAll(int32_t t, int32_t s) {
  TUndoScope step(History, "区間の削除");
  if (!ValidTr(t)) return false;
  const TCarObj* c = brd_.FindTrainCar(Dia.TrInfo[t].TrNo, "KukanDelete-CAR-1");
  if (c == nullptr) return false;
  if (const TStatus st = CanKukanDelete(t, s, *c); !st) {
    ShowMsgBox(kCapNotice, st.Msg());
    return false;
  }
  if (!AskYesNo(kCapConfirm, "この先の区間を全て削除してよろしいですか？")) return false;
  return KukanDelete(t, s);
}

// Everything is checked before anything goes: the train must be its set's last, and s one of
// its cells, so that the train keeps at least that cell, where it stops; and a train that
// starts at s would keep a header without a departure, so its origin is refused.
TStatus TDiaEditor::CanKukanDelete(int32_t t, int32_t s, const TCarObj& c) const {
  const TTrInfo& tr = Dia.TrInfo[t];
  if (!IsLastTrain(c, tr.TrNo)) {
    return TStatus::Error("編成にとって最終列車ではないので削除できません");
  }
  if (Dia.IsOriginCell(t, s)) {
    return TStatus::Error(
        "始発駅から先の区間を全て削除すると列車が残りません。"
        "列車をなくすには「列車を削除する」を選んで下さい");
  }
  const int32_t steps = (s - tr.FirstSta) * tr.Dir;
  if (!Dia.HasCell(t, s) || steps < 0 || steps >= tr.CellCount) {
    return TStatus::Error("区間が一つしかないので削除できません");
  }
  // Its arrival is timed for running through; a terminal is booked as a stop.
  const TTmTbl& cell = Dia.Cell(t, s);
  if (cell.TmStart == cell.TmEnd) {
    return TStatus::Error("通過駅を終点にはできないので削除できません");
  }
  return TStatus::Ok();
}

bool TDiaEditor::KukanDelete(int32_t t, int32_t s) {
  TUndoScope step(History, "区間の削除");
  if (!ValidTr(t)) return false;
  const TTrInfo tr = Dia.TrInfo[t];
  TCarObj* c = brd_.FindTrainCar(tr.TrNo, "KukanDelete-CAR-1");
  if (c == nullptr) return false;
  if (const TStatus st = CanKukanDelete(t, s, *c); !st) {
    ShowMsgBox(kCapNotice, st.Msg());
    return false;
  }
  Dia.CurTr = t;
  for (int32_t b = Dia.LastSta(t); b != s; b -= tr.Dir) {
    if (!Dia.DelLastCell(t, b)) {
      ShowMsgBox(kCapNotice, "区間が一つしかないので削除できません");
      break;
    }
    Dia.StoreTr(*c);
  }
  CutAfterCell(*c, tr.TrNo, t, s);
  brd_.Modified = true;
  RebuildDia();
  RefreshView(true);
  return true;
}

// The station of cell s becomes the train's terminal: steps the train still has after it, on
// other lines, go as well, since a train that ends here cannot run on there.
void TDiaEditor::CutAfterCell(TCarObj& c, const std::string& trNo, int32_t t, int32_t s) {
  const int32_t j = StepOfCell(c, trNo, Dia.Cell(t, s));
  if (j < 0) return;
  const TTrainRange r = c.FindTrain(trNo);
  for (int32_t i = r.Last; i > j; --i) c.TmTbl.Delete(i);
  TTmTbl end = c.TmTbl.Get(j);
  if (end.TmEnd < 0) return;
  end.TmEnd = -1;
  c.TmTbl.Delete(j);
  c.TmTbl.Add(end);
}

}  // namespace ramvel
