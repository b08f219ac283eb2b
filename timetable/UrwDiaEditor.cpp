// The diagram editor without its window: opening a line, rebuilding the model and the views,
// final positions and the train-set selection.
#include "timetable/UrwDiaEditor.h"

#include <algorithm>
#include <cstdio>

namespace ramvel {

// ---- Free helpers ------------------------------------------------------------------------------

TCarFinalPos CarFinalPos(const TCarObj& c) {
  TCarFinalPos p;
  if (c.TmTbl.Count() == 0) return p;
  p.Step = c.StepAt(kDayEnd);
  TTmTbl step;
  p.Kind = c.TmTbl.GetKind(p.Step, step);
  p.Place = SplitEntCode(step.Loc);
  return p;
}

std::string CarSelLine(int32_t no, int32_t nCar, const std::string& label,
                       const std::string& staName, int32_t home) {
  char head[48];
  std::snprintf(head, sizeof head, "%4d ( %d両編成 ", static_cast<int>(no), static_cast<int>(nCar));
  return head + label + "：" + staName + "駅 " + IntText(home) + "番ホーム)";
}

bool IsLastTrain(const TCarObj& c, const std::string& trNo) {
  const TTrainRange r = c.FindTrain(trNo);
  return r.First >= 0 && r.Last == c.TmTbl.Count() - 1;
}

// ---- Opening and redrawing ---------------------------------------------------------------------

TDiaEditor::TDiaEditor(TBrdData& brd, TDiaDialogs& dialogs, TDiaView* view)
    : brd_(brd), dialogs_(dialogs), view_(view), undoTarget_(brd, [this] { ResetView(true); }) {
  History.SetTarget(&undoTarget_);
}

void TDiaEditor::OpenDia() {
  History.Clear();
  OccTm = -1;
  brd_.MakeLineBlk();
  brd_.ListUpStaInLine(LineStaNames);
  LineStaHomes.clear();
  for (const std::string& id : brd_.LineStas) {
    const TStaObj* sta = brd_.FindSta(id, "");
    if (sta == nullptr) continue;  // left out of the names as well
    std::vector<std::string> homes, once;
    sta->ListHomes(homes);
    for (const std::string& h : homes) {
      if (std::find(once.begin(), once.end(), h) == once.end()) once.push_back(h);
    }
    LineStaHomes.push_back(JoinComma(once));
  }
  ShowTrNoCol = true;
  RebuildDia();
  SetBlkPack(false);
  KudariMode = true;
  ApplyDir();
  DiaMode = TDiaMode::kNormal;
}

void TDiaEditor::RebuildDia() {
  Dia.Build(brd_.LineStas, brd_.TrainNos);
  brd_.RebookLine(Dia.TrNos(), Dia.CarIds, ChkMsg);
  Dia.MakeDirOrders();
  RestoreSpecialView();
}

std::vector<TLineProblem> TDiaEditor::LineProblems() { return AuditLine(brd_, Dia.TrNos()); }

// A rebuild empties the work order; a special view is made again from its marker.
void TDiaEditor::RestoreSpecialView() {
  if (EdtCarId.empty()) return;
  int32_t v = 0;
  if (EdtCarId[0] == '*' && ParseInt(std::string_view(EdtCarId).substr(1), v)) {
    Dia.MakeStaOrder(v);
    return;
  }
  if (ParseInt(EdtCarId, v)) {
    if (const TCarObj* c = brd_.FindCar(v, "")) {
      Dia.MakeCarOrder(*c);
      return;
    }
  }
  EdtCarId.clear();  // the train set is gone: back to the normal view
  Dia.SelectDir(KudariMode);
}

void TDiaEditor::ResetView(bool rebuild) {
  OccTm = -1;
  MarkCol = MarkRow = kNoMark;
  DiaMode = TDiaMode::kNormal;
  if (rebuild) RebuildDia();
  RefreshView(true);
}

void TDiaEditor::ApplyDir() {
  EdtCarId.clear();
  Dia.SelectDir(KudariMode);
  ResetView(false);
}

void TDiaEditor::RefreshView(bool full) {
  if (view_ != nullptr) view_->RefreshView(full);
}

void TDiaEditor::DrawTmTbl() {
  if (view_ != nullptr) view_->DrawTmTbl();
}

int32_t TDiaEditor::StaIdAt(int32_t slot) const {
  if (slot < 0 || slot >= static_cast<int32_t>(Dia.StaList.size())) return 0;
  int32_t id = 0;
  ParseInt(Dia.StaList[slot], id);
  return id;
}

// ---- Train-set selection -----------------------------------------------------------------------

// A train set whose last train ends at a line station, coming from another line: the step
// before its terminal lies off the line.
bool TDiaEditor::ArrivesFromOtherLine(const TCarObj& c, const TCarFinalPos& p) const {
  if (p.Kind != TStepKind::kArrival || p.Step < 2 || brd_.FindStaInLine(p.Place.Id) < 0) {
    return false;
  }
  if (!c.TmTbl.At(p.Step).Txt.empty()) return false;
  return brd_.FindStaInLine(SplitEntCode(c.TmTbl.At(p.Step - 1).Loc).Id) < 0;
}

bool TDiaEditor::SelLineWanted(int32_t kind, bool starred, const TCarObj& c,
                               const TCarFinalPos& p) const {
  switch (kind) {
    case kSelNewTrain:
      // A set that ends off the line has no station here to start a train from.
      return (!starred || p.Kind != TStepKind::kArrival) && brd_.FindStaInLine(p.Place.Id) >= 0;
    case kSelSpec:
      return !starred || p.Kind != TStepKind::kArrival;
    case kSelDelete:
      return p.Kind == TStepKind::kStabling;
    case kSelBothDir:
      return !starred;
    case kSelBridge:
      return p.Kind == TStepKind::kArrival && (starred || ArrivesFromOtherLine(c, p));
    default:
      return false;
  }
}

std::vector<std::string> TDiaEditor::CarSelList(int32_t kind) {
  static const char* const kLabels[] = {"始発駅", "始発駅", "最終位置", "乗り入れ駅", "始発駅"};
  std::vector<std::string> list;
  if (kind < kSelNewTrain || kind > kSelSpec) return list;
  for (const std::string& key : Dia.CarIds) {
    int32_t no = 0;
    bool starred = false;
    if (!SplitCarIdKey(key, no, starred)) continue;
    const TCarObj* c = brd_.FindCar(no, "CAR");
    if (c == nullptr) continue;
    const TCarFinalPos p = CarFinalPos(*c);
    if (!SelLineWanted(kind, starred, *c, p)) continue;
    const TStaObj* sta = brd_.FindSta(p.Place.Id, "STA");
    if (sta == nullptr) continue;
    list.push_back(CarSelLine(no, c->NCar, kLabels[kind], sta->Name, p.Place.Slot));
  }
  return list;
}

std::optional<int32_t> TDiaEditor::SelectCar(int32_t kind, const std::string& prompt) {
  return SelectCarId(dialogs_, CarSelList(kind), prompt);
}

}  // namespace ramvel
