// Entering planned trains through the diagram editor. The section dialogs are answered from the
// plan; a platform is chosen only when it is free for the whole stay. A train the editor or the
// occupancy check does not take whole is deleted and entered again a minute later.
#include "timetable/UrwDiaAutoEntry.h"

#include <algorithm>

#include "engine/UrwBrdAudit.h"
#include "timetable/UrwDiaEditor.h"

namespace ramvel {

namespace {

constexpr int32_t kMinTurn = 60;    // least time between a set's arrival and its next train
constexpr int32_t kTurnSlack = 60;  // a terminal platform is kept this much longer
constexpr int32_t kEdgeSlack = 20;  // margin around the booked halves of a station
constexpr int32_t kShortStop = 30;  // the shortest stop the editor offers
constexpr int32_t kHoldStep = 15;   // a stop made longer by this much at a time
constexpr int32_t kMaxHold = 600;   // ... up to this

// ---- The host: a longer stop is agreed to, every other box is recorded -------------------------

class TAutoHost : public TUiHost {
 public:
  std::vector<std::string> Msgs;

  void ShowMsgBox(const std::string&, const std::string& text) override { Msgs.push_back(text); }
  // The editor asks before it holds a train longer at a stop; the platform has been found free
  // for the hold by then. Any other question is unexpected and answered No.
  bool AskYesNo(const std::string&, const std::string& text) override {
    if (text.rfind("停車を更に", 0) == 0) return true;
    Msgs.push_back(text);
    return false;
  }
  void ShowPlainMsg(const std::string& text) override { Msgs.push_back(text); }

  void Clear() { Msgs.clear(); }
};

// Running times as the board books them: whole seconds, halves to even.
int32_t HalfSec(const TCarObj& car, bool arriving, bool passes) {
  return RoundInt(StaRunTime(car, arriving, passes));
}

// The train set an occupancy label belongs to; own is the number of the train being entered,
// which the board does not know yet.
int32_t CarOfLabel(TBrdData& brd, const std::string& label, const std::string& own,
                   int32_t ownCar) {
  int32_t no = 0;
  if (label.size() > 2 && label.front() == '[' && ParseInt(label.substr(1, label.size() - 2), no)) {
    return no;
  }
  const std::string trNo = TextBefore(label + ",", ",");
  if (trNo == own) return ownCar;
  const TCarObj* car = brd.FindTrainCar(trNo, "");
  return car != nullptr ? car->Id : 0;
}

// The lines of a message text, which InitObjTmTbl starts each with "\n".
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1) {
    if (nl > from) out.push_back(text.substr(from, nl - from));
  }
  if (from < text.size()) out.push_back(text.substr(from));
  return out;
}

std::vector<std::string> SplitList(const std::string& text, char sep) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t at; (at = text.find(sep, from)) != std::string::npos; from = at + 1) {
    out.push_back(text.substr(from, at - from));
  }
  out.push_back(text.substr(from));
  return out;
}

std::string Pad3(int32_t n) {
  std::string s = IntText(n);
  return std::string(s.size() < 3 ? 3 - s.size() : 0, ' ') + s;
}

std::string Clock(int32_t t) {
  const std::string s = TimeToText(t, true);
  return s.substr(s.find_first_not_of(' '));
}

// ---- The editor's dialogs, answered from the plan ----------------------------------------------

class TAutoDialogs : public TDiaDialogs {
 public:
  explicit TAutoDialogs(TBrdData& brd) : brd_(brd) {}

  void SetEditor(TDiaEditor* ed) { ed_ = ed; }
  // The train set the next selection picks and the one the new-train-set dialog makes.
  void WantCar(int32_t no) { wantCar_ = no; }
  void NewCarAnswer(TNewCarChoice c) { newCar_ = c; }
  // The train to enter next: its plan, its train set, its departure, and the departure of the
  // set's next train (-1: the set stays there for the night).
  void StartTrain(const TTrainPlan& t, TCarObj& car, int32_t dep, int32_t nextDep) {
    train_ = &t;
    car_ = &car;
    dep_ = dep;
    nextDep_ = nextDep;
    lastSection_ = -1;
    Failure.clear();
    Held.clear();
  }

  std::string Failure;  // why the dialogs gave up on the current train
  std::string Held;     // the first station where the train left later than planned, and why

  bool OneStep(TDiaOneStep& form) override;
  std::optional<int32_t> SelectItem(const std::vector<std::string>& items, const std::string&,
                                    bool) override;
  std::optional<TNewCarChoice> NewCar(const std::vector<std::string>&,
                                      const std::vector<std::string>&, TBrdData&) override {
    return newCar_;
  }
  void ShowSpec(const TCarObj&, const std::string&, const std::string&) override {}
  std::optional<TTrainChoice> EditTrain(const TTrainNoList&, const TCarObj&, const std::string&,
                                        const std::string&, bool, const std::string&,
                                        const std::string&) override {
    return TTrainChoice{train_->TrNo, train_->Kind};
  }

 private:
  std::vector<int32_t> Departures(const TDiaOneStep& form, int32_t section,
                                  const std::string& curName);
  int32_t StaIdAt(int32_t slot) const;
  bool Fits(const std::string& route, const TDiaOneStep& form, const TStopPlan& stop, bool terminal,
            int32_t dep) const;
  bool PartHomeFree(const std::string& part, int32_t from, int32_t to) const;
  bool HomeFree(const TStaObj& sta, int32_t home, int32_t from, int32_t to) const;
  int32_t ArrivalAt(const std::string& route, int32_t start, bool passFrom, bool passTo) const;

  TBrdData& brd_;
  TDiaEditor* ed_ = nullptr;
  int32_t wantCar_ = 0;
  std::optional<TNewCarChoice> newCar_;
  const TTrainPlan* train_ = nullptr;
  TCarObj* car_ = nullptr;
  int32_t dep_ = 0;
  int32_t nextDep_ = -1;
  int32_t lastSection_ = -1;
};

std::optional<int32_t> TAutoDialogs::SelectItem(const std::vector<std::string>& items,
                                                const std::string&, bool) {
  for (size_t i = 0; i < items.size(); ++i) {
    int32_t no = 0;
    if (ParseInt(TrimText(TextBefore(items[i], "(")), no) && no == wantCar_) {
      return static_cast<int32_t>(i);
    }
  }
  Failure = "編成" + IntText(wantCar_) + "が選べません";
  return std::nullopt;
}

int32_t TAutoDialogs::StaIdAt(int32_t slot) const {
  int32_t id = 0;
  if (slot >= 0 && slot < static_cast<int32_t>(ed_->Dia.StaList.size())) {
    ParseInt(ed_->Dia.StaList[static_cast<size_t>(slot)], id);
  }
  return id;
}

// The departures to try: the planned one at the origin, the only one at a passed station, and
// at a stop the planned one (or the shortest stop), then longer ones, for a platform ahead to
// come free.
std::vector<int32_t> TAutoDialogs::Departures(const TDiaOneStep& form, int32_t section,
                                              const std::string& curName) {
  if (form.IsStart) return {dep_};
  if (form.IsPassCur) return {form.FirstDep};
  int32_t first = form.FirstDep;
  const int32_t planned = section > 0 ? train_->Stops[static_cast<size_t>(section - 1)].Dep : -1;
  if (planned >= 0) {
    if (first > planned && Held.empty()) {
      Held = curName + "駅の発車 " + Clock(planned) + " に走行時間が間に合いません";
    }
    first = std::max(first, planned);
  }
  std::vector<int32_t> deps{first};
  for (int32_t h = kHoldStep; h <= kMaxHold; h += kHoldStep) deps.push_back(first + h);
  return deps;
}

bool TAutoDialogs::OneStep(TDiaOneStep& form) {
  const TTrInfo& tr = ed_->Dia.TrInfo[static_cast<size_t>(ed_->Dia.CurTr)];
  const int32_t section = tr.CellCount > 0 ? tr.CellCount - 1 : 0;
  const int32_t planned = static_cast<int32_t>(train_->Stops.size());
  if (section == lastSection_) {  // the editor refused the last answer
    Failure = IntText(section + 1) + "区間目が受け付けられません";
    return false;
  }
  lastSection_ = section;
  if (section >= planned) return false;  // the train ends here, as planned
  const TStopPlan& stop = train_->Stops[static_cast<size_t>(section)];
  const TStaObj* next = brd_.FindSta(StaIdAt(ed_->NextSta), "");
  const TStaObj* cur = brd_.FindSta(StaIdAt(ed_->CurSta), "");
  if (next == nullptr) {
    Failure = "次の駅がありません";
    return false;
  }
  const std::vector<int32_t> deps = Departures(form, section, cur ? cur->Name : "?");
  const bool terminal = section + 1 == planned;
  for (const int32_t dep : deps) {
    for (const int32_t home : stop.Homes) {
      const auto it =
          std::find(form.LbxSta.begin(), form.LbxSta.end(), next->Name + Pad3(home) + "番ホーム");
      if (it == form.LbxSta.end()) continue;
      const size_t idx = static_cast<size_t>(it - form.LbxSta.begin());
      if (!Fits(TextAfter(form.Routes[idx], '='), form, stop, terminal, dep)) continue;
      form.StaIndex = static_cast<int32_t>(idx);
      if (dep != form.FirstDep || form.IsStart) form.EdtCurSta = TimeToText(dep, true);
      if (dep > deps.front() && Held.empty() && cur != nullptr) {
        Held = cur->Name + "駅で" + next->Name + "駅の番線が空くのを待ちました";
      }
      if (stop.Pass ? form.BtnThruClick() : form.BtnOkClick()) return true;
      Failure = "区間の入力が受け付けられません";
      return false;
    }
  }
  Failure = next->Name + "駅に空いている番線がありません (候補:";
  for (const std::string& label : form.LbxSta) Failure += " " + TrimText(label);
  Failure += ")";
  return false;
}

// Whether the route can be run from dep without a hold that a passed station cannot take, the
// platform the train leaves stays free until it has left, and the platform it reaches is free
// from the train's coming in until it has left again.
bool TAutoDialogs::Fits(const std::string& route, const TDiaOneStep& form, const TStopPlan& stop,
                        bool terminal, int32_t dep) const {
  int32_t t = dep;
  if (!brd_.CalcTimeCanStart(*car_, route, t, stop.Pass, form.IsPassCur)) return false;
  if (t != dep && form.IsPassCur) return false;
  const std::vector<std::string> el = SplitComma(route);
  if (el.size() < 2) return false;
  const int32_t edge = stop.Exact ? 0 : kEdgeSlack;
  if (!form.IsPassCur &&
      !PartHomeFree(el.front(), dep, t + HalfSec(*car_, false, false) + edge)) {
    return false;
  }
  const int32_t arr = ArrivalAt(route, t, form.IsPassCur, stop.Pass);
  const int32_t from = arr - HalfSec(*car_, true, stop.Pass) - edge;
  int32_t to = arr + HalfSec(*car_, false, stop.Pass) + edge;
  if (terminal) {
    const int32_t turn = stop.Exact ? 0 : kTurnSlack;
    to = nextDep_ < 0 ? kDayEnd : std::max(nextDep_, arr + kMinTurn) + (to - arr) + turn;
  } else if (stop.Exact && !stop.Pass && stop.Dep >= 0) {
    to = std::max(to, stop.Dep + HalfSec(*car_, false, false));
  } else if (!stop.Pass) {
    to += kShortStop + stop.Slack;
  }
  return PartHomeFree(el.back(), from, std::min(to, kDayEnd));
}

// Whether the platform of a station part ("code|...|H;n" or "code|H;n|...") is free from `from`
// to `to` for the train being entered.
bool TAutoDialogs::PartHomeFree(const std::string& part, int32_t from, int32_t to) const {
  int32_t code = 0;
  ParseInt(TextBefore(part + "|", "|"), code);
  const TStaObj* sta = brd_.FindSta(SplitEntCode(code).Id, "");
  if (sta == nullptr) return false;
  for (const std::string& item : SplitList(part, '|')) {
    const TPathItem it = ParseItem(item);
    if (item.rfind("H;", 0) == 0 && it.Kind == kRailHome) return HomeFree(*sta, it.No, from, to);
  }
  return false;
}

bool TAutoDialogs::HomeFree(const TStaObj& sta, int32_t home, int32_t from, int32_t to) const {
  for (const StaRail& r : sta.Rails) {
    if (r.Kind != kRailHome || r.No != home || !r.Occ) continue;
    for (const TTmTbl& rec : r.Occ->Items()) {
      if (rec.TmStart >= to || rec.TmEnd <= from) continue;
      if (CarOfLabel(brd_, rec.Txt, train_->TrNo, car_->Id) != car_->Id) return false;
    }
  }
  return true;
}

// The arrival at the route's end as RegPathToNextSta books it.
int32_t TAutoDialogs::ArrivalAt(const std::string& route, int32_t start, bool passFrom,
                                bool passTo) const {
  const std::vector<std::string> el = SplitComma(route);
  int32_t t = start + HalfSec(*car_, false, passFrom) + HalfSec(*car_, true, passTo);
  for (size_t i = 1; i + 1 < el.size(); ++i) {
    int32_t code = 0;
    ParseInt(el[i], code);
    if (const TBlkObj* blk = brd_.FindBlkEnd(code, "")) {
      t += RoundInt(blk->RunTime(car_->SpdMps()));
    }
  }
  return t;
}

// ---- One line ----------------------------------------------------------------------------------

class TLineEntry {
 public:
  TLineEntry(TBrdData& brd, const TLinePlan& plan, const TAutoEntryOptions& options)
      : brd_(brd), plan_(plan), options_(options), dialogs_(brd), ed_(brd, dialogs_) {
    dialogs_.SetEditor(&ed_);
  }

  TStatus Run(std::vector<TTrainEntry>& results);

 private:
  TStatus NewCar(const TCarPlan& carPlan, TCarObj*& car);
  TStatus EnterTrain(const TCarPlan& carPlan, size_t i, TCarObj& car, TTrainEntry& result);
  bool TryTrain(const TTrainPlan& t, TCarObj& car, int32_t dep, int32_t nextDep, bool lastOfSet,
                std::string& why);
  std::vector<std::string> Problems(int32_t carNo, bool lastOfSet);
  void Lateness(const TTrainPlan& t, const TCarObj& car, int32_t dep, TTrainEntry& result) const;
  int32_t StaIdAt(int32_t slot) const;

  TBrdData& brd_;
  const TLinePlan& plan_;
  const TAutoEntryOptions& options_;
  TAutoHost host_;
  TUiHostScope scope_{host_};
  TAutoDialogs dialogs_;
  TDiaEditor ed_;
};

int32_t TLineEntry::StaIdAt(int32_t slot) const {
  int32_t id = 0;
  if (slot >= 0 && static_cast<size_t>(slot) < brd_.LineStas.size()) {
    ParseInt(brd_.LineStas[static_cast<size_t>(slot)], id);
  }
  return id;
}

TStatus TLineEntry::Run(std::vector<TTrainEntry>& results) {
  ed_.OpenDia();
  for (const TCarPlan& carPlan : plan_.Cars) {
    const size_t first = results.size();
    for (const TTrainPlan& t : carPlan.Trains) {
      results.emplace_back();
      results.back().TrNo = t.TrNo;
    }
    TCarObj* car = nullptr;
    TStatus st = NewCar(carPlan, car);
    for (size_t i = 0; st && i < carPlan.Trains.size(); ++i) {
      st = EnterTrain(carPlan, i, *car, results[first + i]);
    }
    if (st) continue;
    if (options_.StopAtRefusal) return st;
    // The set's first train carries the reason when the set itself could not be made.
    if (results[first].Why.empty()) results[first].Why = st.Msg();
    for (size_t i = first; i < results.size(); ++i) {
      if (!results[i].Entered && results[i].Why.empty()) {
        results[i].Why = "同じ編成の前の列車が入らなかったため入れられません";
      }
    }
    if (car != nullptr && car->TmTbl.Count() <= 1) {
      brd_.CarDel(car->Id);
      ed_.RebuildDia();
    }
  }
  return TStatus::Ok();
}

// The new-train-set dialog with the first of the set's stabling platforms that stays free until
// its first train has left.
TStatus TLineEntry::NewCar(const TCarPlan& carPlan, TCarObj*& car) {
  const int32_t staId = StaIdAt(carPlan.StabSlot);
  TStaObj* sta = brd_.FindSta(staId, "");
  if (sta == nullptr) {
    return TStatus::Error(plan_.Line + ": " + IntText(carPlan.StabSlot) + "番目の駅がありません");
  }
  const int32_t until = carPlan.Trains.empty() ? kDayEnd : carPlan.Trains.front().Dep + kTurnSlack;
  for (const int32_t home : carPlan.StabHomes) {
    bool free = true;
    for (const StaRail& r : sta->Rails) {
      if (r.Kind != kRailHome || r.No != home || !r.Occ) continue;
      for (const TTmTbl& rec : r.Occ->Items()) free = free && rec.TmStart >= until;
    }
    if (!free) continue;
    dialogs_.NewCarAnswer({carPlan.Prop, MakeEntCode(staId, home, 0)});
    host_.Clear();
    int32_t before = 0;
    for (const auto& [key, c] : brd_.Cars) before = std::max(before, c->Id);
    if (!ed_.CarNew()) break;
    car = brd_.FindCar(before + 1, "");
    return car != nullptr ? TStatus::Ok() : TStatus::Error("新しい編成が見つかりません");
  }
  return TStatus::Error(plan_.Line + ": " + sta->Name + "駅に編成を留置できる番線が空いていません");
}

TStatus TLineEntry::EnterTrain(const TCarPlan& carPlan, size_t i, TCarObj& car,
                               TTrainEntry& result) {
  const TTrainPlan& t = carPlan.Trains[i];
  const bool lastOfSet = i + 1 == carPlan.Trains.size();
  const int32_t nextDep = lastOfSet ? -1 : carPlan.Trains[i + 1].Dep;
  // A set that came in late leaves later: at the next whole minute after a short turn.
  const int32_t arrived = car.TmTbl.Count() > 1 ? car.TmTbl.GetLast().TmStart : 0;
  const int32_t earliest = (arrived + kMinTurn + 59) / 60 * 60;
  std::string why;
  for (int32_t k = 0; k < options_.Tries; ++k) {
    const int32_t dep = std::max(t.Dep, earliest) + k * 60;
    std::string reason;
    if (TryTrain(t, car, dep, nextDep, lastOfSet, reason)) {
      result.Entered = true;
      result.Car = car.Id;
      Lateness(t, car, dep, result);
      if (dep > t.Dep && result.Why.empty()) {
        result.Why = dep > earliest ? "発車 " + Clock(t.Dep) + ": " + why
                                    : "編成の折り返しが間に合いません";
      }
      return TStatus::Ok();
    }
    if (why.empty()) why = reason;
  }
  result.Why = why;
  return TStatus::Error(plan_.Line + ": 列車 " + t.TrNo + " (" + Clock(t.Dep) +
                        "発) を入れられません: " + why);
}

// How far the entered train lies behind its plan: its origin departure, and the departures and
// arrival the plan gives.
void TLineEntry::Lateness(const TTrainPlan& t, const TCarObj& car, int32_t dep,
                          TTrainEntry& result) const {
  int32_t late = dep - t.Dep;
  const TTrainRange r = car.FindTrain(t.TrNo);
  for (size_t i = 0; i < t.Stops.size(); ++i) {
    const int32_t step = r.First + 1 + static_cast<int32_t>(i);
    if (step > r.Last) continue;
    const TTmTbl& s = car.TmTbl.At(step);
    if (t.Stops[i].Arr >= 0) late = std::max(late, s.TmStart - t.Stops[i].Arr);
    if (t.Stops[i].Dep >= 0 && s.TmEnd >= 0) late = std::max(late, s.TmEnd - t.Stops[i].Dep);
  }
  result.Late = std::max(late, 0);
  if (result.Late > 0 && dep == t.Dep) {
    result.Why = dialogs_.Held.empty() ? "走行時間が時刻表より長くかかります" : dialogs_.Held;
  }
}

// Enters the train leaving at dep; false, with the train deleted again and the reason in why,
// when it was not taken whole or leaves a conflict behind.
bool TLineEntry::TryTrain(const TTrainPlan& t, TCarObj& car, int32_t dep, int32_t nextDep,
                          bool lastOfSet, std::string& why) {
  ed_.KudariMode = t.Dir > 0;
  ed_.ApplyDir();
  dialogs_.WantCar(car.Id);
  dialogs_.StartTrain(t, car, dep, nextDep);
  host_.Clear();
  const bool added = ed_.TrainNew();
  std::vector<std::string> problems;
  if (!dialogs_.Failure.empty()) problems.push_back(dialogs_.Failure);
  for (const std::string& m : host_.Msgs) {
    if (m != "列車を追加しました") problems.push_back(m);
  }
  const TTrainRange r = car.FindTrain(t.TrNo);
  if (added && r.Last - r.First != static_cast<int32_t>(t.Stops.size())) {
    problems.push_back("列車が途中で終わってしまいます");
  }
  if (added && problems.empty()) problems = Problems(car.Id, lastOfSet);
  if (problems.empty()) return true;
  why = problems.front();
  if (brd_.FindTrainCar(t.TrNo, "") != nullptr) ed_.DelLastTr(t.TrNo);
  return false;
}

// The conflicts in the line's rebuilt occupancy. Until its last train is in, a set's stand at
// its last terminal runs to the end of the day; its next train cuts it short, so it is left out.
std::vector<std::string> TLineEntry::Problems(int32_t carNo, bool lastOfSet) {
  const std::string stand = "[" + IntText(carNo) + "]";
  const std::string moveOf = "編成" + IntText(carNo) + "は";
  std::vector<std::string> out;
  for (std::string& line : AuditOccupancy(brd_)) {
    if (lastOfSet || line.find(stand) == std::string::npos) out.push_back(std::move(line));
  }
  for (const std::string& line : SplitLines(ed_.ChkMsg)) {
    if (line.empty()) continue;
    if (lastOfSet || line.find(moveOf) == std::string::npos) out.push_back(line);
  }
  return out;
}

}  // namespace

TStatus EnterLinePlan(TBrdData& brd, const TLinePlan& plan, const TAutoEntryOptions& options,
                      std::vector<TTrainEntry>& results) {
  TLineEntry entry(brd, plan, options);
  return entry.Run(results);
}

}  // namespace ramvel
