// The entry of a train section by section: the one-section dialog for every section, the
// checks against the platform and the route occupancy, and the cells written into the model.
#include <vector>

#include "timetable/UrwDiaBulkCheck.h"
#include "timetable/UrwDiaEditor.h"

namespace ramvel {

// The state of one FixPathToTerminal run.
struct TDiaEditor::TEntry {
  TCarObj* Car = nullptr;
  std::string TrNo;
  int32_t Dir = 1;
  TEntCode From;            // where the train stands; Side: the side it leaves by
  int32_t Arrival = 0;      // at the current station
  int32_t Dep = -1;         // accepted departure from the current station
  int32_t EarliestDep = 0;  // offered at the current station
  int32_t SectionsAdded = 0;
  bool IsOrigin = false;   // the current station is the new train's origin
  bool IsPassCur = false;  // the train passes the current station
  bool PassNext = false;   // the accepted section passes the next station
  TTmTbl NewStep;          // the arrival at the next station, as the board booked it
};

// The slot the entry starts from. A train that already has cells goes on from its last one;
// otherwise the station's first slot, except on a ring line, whose first station is also its
// last slot: an up train leaving it starts there.
int32_t TDiaEditor::EntryStartSlot(const TEntCode& from, int32_t dir) const {
  if (ValidTr(Dia.CurTr) && Dia.TrInfo[Dia.CurTr].CellCount > 0) {
    const int32_t last = Dia.LastSta(Dia.CurTr);
    return StaIdAt(last) == from.Id ? last : -1;
  }
  const int32_t slot = brd_.FindStaInLine(from.Id);
  const bool ring = Dia.StaCount >= 3 && Dia.StaList.front() == Dia.StaList.back();
  if (ring && slot == 0 && dir < 0) return Dia.StaCount - 1;
  return slot;
}

// The arrival at the starting station and the earliest departure offered there. A continued
// train has no cell at the junction yet: it starts from the train set's last arrival, like a
// new train. Whether a train starts, comes in from another line or goes on from its terminal,
// it may leave 30 s after it has arrived (the dialog proposes the next whole minute).
void TDiaEditor::StartTimes(TEntry& e, bool isNewTrain) const {
  const TTmTblObj& tt = e.Car->TmTbl;
  const int32_t cellArrival = Dia.GetCell(CurSta).TmStart;
  if (tt.Count() <= 1) {
    e.Arrival = e.EarliestDep = 0;
    return;
  }
  e.Arrival = isNewTrain || cellArrival < 0 ? tt.GetLast().TmStart : cellArrival;
  e.EarliestDep = e.Arrival + kMinStopSec;
}

bool TDiaEditor::FixPathToTerminal(TCarObj& c, const std::string& n, TEntCode from, int32_t dir,
                                   bool isNewTrain) {
  TEntry e;
  e.Car = &c;
  e.TrNo = n;
  e.Dir = dir;
  e.From = from;
  e.IsOrigin = isNewTrain;
  ShowTrNoCol = true;
  SetBlkPack(false);
  RefreshView(true);
  CurSta = EntryStartSlot(from, dir);
  if (CurSta < 0 || (dir != 1 && dir != -1)) return false;
  StartTimes(e, isNewTrain);
  // The train set's own stay at the platform must not block its departure.
  TBulkBooker(brd_, c).DropStand(MakeEntCode(from.Id, from.Slot, 0), e.Arrival);
  while (AskNextStep(e)) {
    PutCurCell(e, e.Dep);
    MoveToNext(e);
    PutCurCell(e, -1);  // the terminal for now
  }
  DropPassedTerminal(e);
  return e.SectionsAdded > 0;
}

// An entry that ends (cancelled, or with no way on) at a station the train passes would leave a
// terminal whose arrival is timed for running through, while a terminal is booked as a stop.
// The sections back to the last station where the train stops are given up instead.
void TDiaEditor::DropPassedTerminal(TEntry& e) {
  if (!e.IsPassCur || e.SectionsAdded == 0) return;
  const int32_t dir = Dia.TrInfo[Dia.CurTr].Dir;
  while (e.IsPassCur && e.SectionsAdded > 0) {
    const int32_t prev = CurSta - dir;
    const TTmTbl p = Dia.Cell(Dia.CurTr, prev);
    if (!Dia.DelLastCell(Dia.CurTr, CurSta)) break;
    CurSta = prev;
    --e.SectionsAdded;
    e.IsPassCur = p.TmStart == p.TmEnd && !Dia.IsOriginCell(Dia.CurTr, prev);
  }
  ShowMsgBox(kCapNotice, "通過駅を終点にはできないので、最後の停車駅から先の区間を取り消しました");
}

bool TDiaEditor::AskNextStep(TEntry& e) {
  NextSta = CurSta + e.Dir;
  if (NextSta < 0 || NextSta >= Dia.StaCount) return false;
  const int32_t nextId = StaIdAt(NextSta);
  std::vector<std::string> routes;
  brd_.ListUpNextStaCanGo(e.From.Id, e.From.Slot, e.From.Side, nextId, -1, routes);
  if (routes.empty()) {
    e.From.Side = 1 - e.From.Side;
    brd_.ListUpNextStaCanGo(e.From.Id, e.From.Slot, e.From.Side, nextId, -1, routes);
    if (routes.empty()) return false;
  }
  ScrollToSection();
  OccTm = e.EarliestDep;
  MarkCol = MarkRow = kNoMark;
  RefreshView(true);
  // The entry ends at the line's last station, so a train can only stop there: passing it would
  // leave a terminal reached at full speed.
  const bool canPassNext = NextSta + e.Dir >= 0 && NextSta + e.Dir < Dia.StaCount;
  const TStaObj* next = brd_.FindSta(nextId, "FixPathToTerminal-STA-1");
  TStaObj* cur = brd_.FindSta(e.From.Id, "FixPathToTerminal-STA-2");
  if (next == nullptr || cur == nullptr) return false;
  // A refused choice is offered again as typed: the time and the route stay.
  OneStep.SetupStep(cur->Name, next->Name, routes, e.EarliestDep, e.SectionsAdded, e.IsPassCur,
                    e.IsOrigin, canPassNext);
  for (;;) {
    if (!dialogs_.OneStep(OneStep)) return false;
    if (TryStep(e, *cur)) return true;
  }
}

// Brings the current and the next station into the picture.
void TDiaEditor::ScrollToSection() {
  const int32_t shown = view_ != nullptr ? view_->ShownStaCount() : 0;
  const auto drawn = [&](int32_t s) { return s >= LeftSta && s < LeftSta + shown; };
  if (drawn(CurSta) && drawn(NextSta)) return;
  const int32_t dir = ValidTr(Dia.CurTr) ? Dia.TrInfo[Dia.CurTr].Dir : 1;
  LeftSta = dir == 1 ? CurSta : NextSta;
}

// Checks the dialog's choice against the platform, the route and the sets standing where it
// arrives; books the section when every check passes. False, with the reason shown (what blocks
// and from when it would be accepted), to ask again.
bool TDiaEditor::TryStep(TEntry& e, TStaObj& cur) {
  const int32_t d0 = OneStep.ChosenDep;
  const std::string route = OneStep.ChosenRoute();
  const bool passNext = OneStep.PassNext;
  TBulkBooker bk(brd_, *e.Car);
  TTmTbl occ;
  const int32_t free = cur.OccupyHome(e.Arrival, e.From.Slot, "", occ);
  if (free < d0) {
    ShowMsgBox(kCapError, "指定の発車時刻にはホームが空いていません。" + HomeTaken(e, d0, free));
    return false;
  }
  int32_t d = d0;
  if (!brd_.CalcTimeCanStart(*e.Car, route, d, passNext, e.IsPassCur)) {
    const int32_t ok = brd_.EarliestStart(*e.Car, route, d0, passNext, e.IsPassCur);
    ShowMsgBox(kCapNotice, "停車時間を大幅に増やす必要があります（" +
                               bk.RouteMeets(Plan(e, d0, passNext), route) + "）。" +
                               (ok >= 0 ? RefusalTime(ok) + "発なら入れます。" : "") +
                               "やり直しをお願いします。");
    return false;
  }
  if (TStatus st = bk.ArrivalFree(route, d, passNext, e.IsPassCur, -1); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  if (d != d0 && !ConfirmDelay(e, d0, d, free, bk.RouteMeets(Plan(e, d0, passNext), route))) {
    return false;
  }
  brd_.RegPathToNextSta(*e.Car, e.TrNo, e.NewStep, -1, d, passNext, e.IsPassCur, route);
  e.Dep = d;
  e.PassNext = passNext;
  return true;
}

// The section as the bulk checks plan it, to name what a start at dep meets.
TSectionPlan TDiaEditor::Plan(const TEntry& e, int32_t dep, bool passNext) const {
  return TSectionPlan{e.TrNo, e.From,    e.Arrival, dep, e.IsPassCur, StaIdAt(NextSta),
                      passNext, -1};
}

// Why the platform is not free until dep: who takes it and until when a departure would do.
std::string TDiaEditor::HomeTaken(const TEntry& e, int32_t dep, int32_t free) {
  const TStatus st = TBulkBooker(brd_, *e.Car)
                         .HomeFree(MakeEntCode(e.From.Id, e.From.Slot, 0), e.Arrival, dep, e.TrNo);
  std::string msg = st ? std::string() : st.Msg() + "。";
  if (free > e.EarliestDep) return msg + RefusalTime(free) + "より前の発車なら入れます";
  return msg + "このホームからは発車できません";
}

// A later start than asked: refused at a passed station or when the platform is not free that
// long, otherwise up to the user.
bool TDiaEditor::ConfirmDelay(const TEntry& e, int32_t d0, int32_t d, int32_t free,
                              const std::string& meets) {
  const std::string m = StopShortMsg(d - d0) + "（" + meets + "。" + RefusalTime(d) + "発なら入れます）";
  if (e.IsPassCur) {
    ShowMsgBox(kCapNotice,
               m + "が、現在駅は通過なので続行できません。" + "やり直しをお願いします。");
    return false;
  }
  if (free < d) {
    ShowMsgBox(kCapError, "停車時間を増やす必要がありますが、ホームの空き時間が十分ではありません。" +
                              HomeTaken(e, d, free) + "（" + meets + "）");
    return false;
  }
  return AskYesNo(kCapConfirm, m + "。よろしいですか？");
}

// Writes the current station's cell. An origin cell stays the origin when sections are added
// to a train that has no other cell.
void TDiaEditor::PutCurCell(const TEntry& e, int32_t dep) {
  const TTmTbl step{"", e.Arrival, dep, MakeEntCode(e.From.Id, e.From.Slot, e.From.Side)};
  Dia.SetCell(step, CurSta, e.IsOrigin || Dia.IsOriginCell(Dia.CurTr, CurSta));
  Dia.ResortCurTr();
  DrawTmTbl();
}

// The next station becomes the current one; the train leaves it by the side opposite to the
// one it came in by.
void TDiaEditor::MoveToNext(TEntry& e) {
  const TEntCode to = SplitEntCode(e.NewStep.Loc);
  e.From = TEntCode{1 - to.Side, to.Slot, StaIdAt(NextSta)};
  CurSta = NextSta;
  e.Arrival = e.NewStep.TmStart;
  e.IsPassCur = e.PassNext;
  e.EarliestDep = e.IsPassCur ? e.Arrival : e.Arrival + 30;
  ++e.SectionsAdded;
  e.IsOrigin = false;
}

}  // namespace ramvel
