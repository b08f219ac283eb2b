// Entering planned trains through the diagram editor. The section dialogs are answered from the
// plan; a platform is chosen only when it is free for the whole stay. A train the editor or the
// occupancy check does not take whole is deleted and entered again a minute later.
#include "timetable/UrwDiaAutoEntry.h"

#include <algorithm>
#include <map>
#include <set>

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

// A board time (s from 04:00) as the user reads it: "7:05", "7:05:30" with seconds.
std::string Clock(int32_t t) {
  const int32_t c = t + 4 * 3600;
  std::string s = IntText(c / 3600) + ":" + (c / 60 % 60 < 10 ? "0" : "") + IntText(c / 60 % 60);
  if (c % 60 != 0) s += (c % 60 < 10 ? ":0" : ":") + IntText(c % 60);
  return s;
}

// Turnouts taken off the straight at both ends of a route: a platform reached straight is the
// one a train of that direction uses; others cross the way of the other direction.
int32_t Diverging(const std::string& route) {
  const std::vector<std::string> el = SplitComma(route);
  if (el.empty()) return 0;
  return TStaObj::CountDiverging(el.front()) + TStaObj::CountDiverging(el.back());
}

// Who holds a platform when, for a refusal's reason: "駅 N番線: 列車 X 7:12〜7:20".
std::string BlockerText(const TStaObj& sta, int32_t home, const TTmTbl& rec) {
  std::string who = TextBefore(rec.Txt + ",", ",");
  if (who.size() > 2 && who.front() == '[') {
    who = "編成" + who.substr(1, who.size() - 2) + "の留置";
  } else {
    who = "列車 " + who;
  }
  return sta.Name + "駅 " + IntText(home) + "番線: " + who + " " + Clock(std::max(rec.TmStart, 0)) +
         "〜" + Clock(std::min(rec.TmEnd, kDayEnd));
}

// ---- The editor's dialogs, answered from the plan ----------------------------------------------

class TAutoDialogs : public TDiaDialogs {
 public:
  TAutoDialogs(TBrdData& brd, bool everyPlatformFirst)
      : brd_(brd), everyPlatformFirst_(everyPlatformFirst) {}

  void SetEditor(TDiaEditor* ed) { ed_ = ed; }
  // Entered in time order, a set's stand before a train was kept free only up to the train's
  // planned departure; a later departure checks the platform for the whole stand.
  void CheckWholeStand() { wholeStand_ = true; }
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
    // The set stands where the train starts since its last arrival (or the start of the day).
    standFrom_ = car.TmTbl.Count() > 1 ? car.TmTbl.GetLast().TmStart : 0;
    lastSection_ = -1;
    Failure.clear();
    Held.clear();
    Blocker.clear();
  }

  std::string Failure;  // why the dialogs gave up on the current train
  std::string Held;     // the first station where the train left later than planned, and why
  // The first booking found in the way of a platform the train wanted in the section being
  // entered: who, where and when.
  mutable std::string Blocker;

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
  // note: a booking in the way becomes the Blocker (the platform reached, not the one left).
  bool PartHomeFree(const std::string& part, int32_t from, int32_t to, bool note) const;
  bool HomeFree(const TStaObj& sta, int32_t home, int32_t from, int32_t to, bool note) const;
  int32_t ArrivalAt(const std::string& route, int32_t start, bool passFrom, bool passTo) const;

  TBrdData& brd_;
  bool everyPlatformFirst_ = false;
  TDiaEditor* ed_ = nullptr;
  int32_t wantCar_ = 0;
  std::optional<TNewCarChoice> newCar_;
  const TTrainPlan* train_ = nullptr;
  TCarObj* car_ = nullptr;
  int32_t dep_ = 0;
  int32_t nextDep_ = -1;
  int32_t standFrom_ = 0;
  int32_t lastSection_ = -1;
  bool wholeStand_ = false;
};

std::optional<int32_t> TAutoDialogs::SelectItem(const std::vector<std::string>& items,
                                                const std::string&, bool) {
  for (size_t i = 0; i < items.size(); ++i) {
    int32_t no = 0;
    if (ParseInt(TrimBlanks(TextBefore(items[i], "(")), no) && no == wantCar_) {
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
  // At the origin within the minute planned (a whole-minute timetable still keeps it); a later
  // minute is the next try of the whole train.
  if (form.IsStart && !everyPlatformFirst_) return {dep_};
  if (form.IsStart) return {dep_, dep_ + kHoldStep, dep_ + 2 * kHoldStep, dep_ + 3 * kHoldStep};
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
  Blocker.clear();  // a booking met in an earlier section did not stop the train there
  const TStopPlan& stop = train_->Stops[static_cast<size_t>(section)];
  const TStaObj* next = brd_.FindSta(StaIdAt(ed_->NextSta), "");
  const TStaObj* cur = brd_.FindSta(StaIdAt(ed_->CurSta), "");
  if (next == nullptr) {
    Failure = "次の駅がありません";
    return false;
  }
  const std::vector<int32_t> deps = Departures(form, section, cur ? cur->Name : "?");
  const bool terminal = section + 1 == planned;
  // The platforms offered in the plan's order, or without a preference those reached with
  // fewer diverging turnouts first.
  std::vector<std::pair<int32_t, size_t>> offered;  // (diverging, index in the list)
  for (const int32_t home : stop.Homes) {
    const auto it =
        std::find(form.LbxSta.begin(), form.LbxSta.end(), next->Name + Pad3(home) + "番ホーム");
    if (it == form.LbxSta.end()) continue;
    const size_t idx = static_cast<size_t>(it - form.LbxSta.begin());
    offered.push_back({stop.AnyHome ? Diverging(TextAfter(form.Routes[idx], '=')) : 0, idx});
  }
  std::stable_sort(offered.begin(), offered.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const int32_t dep : deps) {
    for (const auto& [diverging, idx] : offered) {
      if (!Fits(TextAfter(form.Routes[idx], '='), form, stop, terminal, dep)) continue;
      form.StaIndex = static_cast<int32_t>(idx);
      if (dep != form.FirstDep || form.IsStart) form.EdtCurSta = TimeToText(dep, true);
      if (dep > deps.front() && Held.empty() && cur != nullptr) {
        Held = cur->Name + "駅で" + next->Name + "駅までの進路と番線が空くのを待ちました";
      }
      if (stop.Pass ? form.BtnThruClick() : form.BtnOkClick()) return true;
      Failure = "区間の入力が受け付けられません";
      return false;
    }
  }
  Failure = next->Name + "駅に空いている番線がありません";
  if (!Blocker.empty()) Failure += " (" + Blocker + ")";
  return false;
}

// Whether the route can be run from dep without a hold that a passed station cannot take (nor
// any hold, with every platform first), the platform the train leaves stays free until it has
// left, and the platform it reaches is free from the train's coming in until it has left again.
bool TAutoDialogs::Fits(const std::string& route, const TDiaOneStep& form, const TStopPlan& stop,
                        bool terminal, int32_t dep) const {
  int32_t t = dep;
  // A passed station cannot hold the train; with every platform first, a route free only later
  // is left for a departure tried later.
  if (!brd_.CalcTimeCanStart(*car_, route, t, stop.Pass, form.IsPassCur)) return false;
  if (t != dep && (form.IsPassCur || everyPlatformFirst_)) return false;
  const std::vector<std::string> el = SplitComma(route);
  if (el.size() < 2) return false;
  const int32_t edge = stop.Exact ? 0 : kEdgeSlack;
  const int32_t leaveFrom = form.IsStart && wholeStand_ ? std::min(standFrom_, dep) : dep;
  if (!form.IsPassCur &&
      !PartHomeFree(el.front(), leaveFrom, t + HalfSec(*car_, false, false) + edge, false)) {
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
  return PartHomeFree(el.back(), from, std::min(to, kDayEnd), true);
}

// Whether the platform of a station part ("code|...|H;n" or "code|H;n|...") is free from `from`
// to `to` for the train being entered.
bool TAutoDialogs::PartHomeFree(const std::string& part, int32_t from, int32_t to,
                                bool note) const {
  int32_t code = 0;
  ParseInt(TextBefore(part + "|", "|"), code);
  const TStaObj* sta = brd_.FindSta(SplitEntCode(code).Id, "");
  if (sta == nullptr) return false;
  for (const std::string& item : SplitList(part, '|')) {
    const TPathItem it = ParseItem(item);
    if (item.rfind("H;", 0) == 0 && it.Kind == kRailHome) {
      return HomeFree(*sta, it.No, from, to, note);
    }
  }
  return false;
}

bool TAutoDialogs::HomeFree(const TStaObj& sta, int32_t home, int32_t from, int32_t to,
                            bool note) const {
  for (const StaRail& r : sta.Rails) {
    if (r.Kind != kRailHome || r.No != home || !r.Occ) continue;
    for (const TTmTbl& rec : r.Occ->Items()) {
      if (rec.TmStart >= to || rec.TmEnd <= from) continue;
      if (CarOfLabel(brd_, rec.Txt, train_->TrNo, car_->Id) == car_->Id) continue;
      if (note && Blocker.empty()) Blocker = BlockerText(sta, home, rec);
      return false;
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
      : brd_(brd),
        plan_(plan),
        options_(options),
        dialogs_(brd, options.EveryPlatformFirst),
        ed_(brd, dialogs_) {
    dialogs_.SetEditor(&ed_);
    if (options.TimeOrder) dialogs_.CheckWholeStand();
  }

  TStatus Run(std::vector<TTrainEntry>& results);

 private:
  // Where one planned set stands while its trains go in among the others'.
  struct TSetState {
    TCarObj* Car = nullptr;
    bool Made = false;  // whether Car is a set this entry made
    std::vector<TTrainEntry*> Entered;  // its trains, in order
  };
  TStatus RunSetBySet(std::vector<TTrainEntry>& results);
  TStatus RunInTimeOrder(std::vector<TTrainEntry>& results);
  // Enters train i of set c; a refusal ends the set and fails only with StopAtRefusal.
  TStatus EnterNext(size_t c, size_t i, TSetState& set, TTrainEntry& result);

  TStatus NewCar(const TCarProp& prop, int32_t slot, const std::vector<int32_t>& homes,
                 int32_t firstDep, TCarObj*& car);
  TStatus EnterTrain(const TCarPlan& carPlan, size_t i, TCarObj& car, TTrainEntry& result);
  bool TryTrain(const TTrainPlan& t, TCarObj& car, int32_t dep, int32_t nextDep, bool lastOfSet,
                std::string& why);
  void EndSet(TCarObj*& car, std::vector<TTrainEntry*>& entered, bool made);
  std::vector<std::string> Problems(int32_t carNo, bool lastOfSet);
  std::set<std::string> AllProblems();
  void CutOpenStands();
  void Lateness(const TTrainPlan& t, const TCarObj& car, int32_t dep, TTrainEntry& result) const;
  int32_t StaIdAt(int32_t slot) const;

  TBrdData& brd_;
  const TLinePlan& plan_;
  const TAutoEntryOptions& options_;
  TAutoHost host_;
  TUiHostScope scope_{host_};
  TAutoDialogs dialogs_;
  TDiaEditor ed_;
  std::set<std::string> before_;  // the conflicts the board had before this entry
  // Entered in time order: the sets whose next train is still to come, with its planned
  // departure (see CutOpenStands).
  std::map<int32_t, int32_t> open_;
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
  before_ = AllProblems();
  return options_.TimeOrder ? RunInTimeOrder(results) : RunSetBySet(results);
}

TStatus TLineEntry::RunSetBySet(std::vector<TTrainEntry>& results) {
  size_t total = 0, done = 0;
  for (const TCarPlan& c : plan_.Cars) total += c.Trains.size();
  for (size_t c = 0; c < plan_.Cars.size(); ++c) {
    const TCarPlan& carPlan = plan_.Cars[c];
    if (options_.Progress && !options_.Progress(total > 0 ? double(done) / double(total) : 1)) {
      return TStatus::Error(kWorkCancelled);
    }
    done += carPlan.Trains.size();
    const size_t first = results.size();
    for (const TTrainPlan& t : carPlan.Trains) {
      results.emplace_back();
      results.back().TrNo = t.TrNo;
    }
    TSetState set;
    set.Car = carPlan.Car != 0 ? brd_.FindCar(carPlan.Car, "") : nullptr;
    for (size_t i = 0; i < carPlan.Trains.size(); ++i) {
      if (TStatus st = EnterNext(c, i, set, results[first + i]); !st) return st;
    }
    if (set.Car != nullptr) EndSet(set.Car, set.Entered, set.Made);
  }
  return TStatus::Ok();
}

// Every train when its planned departure comes, whatever its set; ties keep the plan's order.
TStatus TLineEntry::RunInTimeOrder(std::vector<TTrainEntry>& results) {
  std::vector<std::pair<size_t, size_t>> order;  // (set, train) of the plan
  std::vector<size_t> first;  // each set's first entry in results
  std::vector<TSetState> sets(plan_.Cars.size());
  for (size_t c = 0; c < plan_.Cars.size(); ++c) {
    const TCarPlan& carPlan = plan_.Cars[c];
    first.push_back(results.size());
    for (size_t i = 0; i < carPlan.Trains.size(); ++i) {
      results.emplace_back();
      results.back().TrNo = carPlan.Trains[i].TrNo;
      order.push_back({c, i});
    }
    if (carPlan.Car != 0 && !carPlan.Trains.empty()) {
      sets[c].Car = brd_.FindCar(carPlan.Car, "");
      if (sets[c].Car != nullptr) open_[carPlan.Car] = carPlan.Trains.front().Dep;
    }
  }
  std::stable_sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
    return plan_.Cars[a.first].Trains[a.second].Dep < plan_.Cars[b.first].Trains[b.second].Dep;
  });
  for (size_t k = 0; k < order.size(); ++k) {
    if (options_.Progress && !options_.Progress(double(k) / double(order.size()))) {
      return TStatus::Error(kWorkCancelled);
    }
    const auto [c, i] = order[k];
    TSetState& set = sets[c];
    if (TStatus st = EnterNext(c, i, set, results[first[c] + i]); !st) return st;
    if (set.Car == nullptr) continue;
    if (i + 1 < plan_.Cars[c].Trains.size()) {
      open_[set.Car->Id] = plan_.Cars[c].Trains[i + 1].Dep;
    } else {
      EndSet(set.Car, set.Entered, set.Made);
    }
  }
  return TStatus::Ok();
}

// A set is made when it has none (at its stabling place, or where the train starts once its set
// was split); a refused train ends the set.
TStatus TLineEntry::EnterNext(size_t c, size_t i, TSetState& set, TTrainEntry& result) {
  const TCarPlan& carPlan = plan_.Cars[c];
  const TTrainPlan& t = carPlan.Trains[i];
  if (set.Car == nullptr) {
    const bool own = i > 0 && t.FromSlot >= 0;  // the set was split before this train
    const TStatus st = NewCar(carPlan.Prop, own ? t.FromSlot : carPlan.StabSlot,
                              own ? t.FromHomes : carPlan.StabHomes, t.Dep, set.Car);
    if (!st) {
      if (options_.StopAtRefusal) return st;
      result.Why = st.Msg();
      return TStatus::Ok();
    }
    set.Made = true;
    if (options_.TimeOrder) open_[set.Car->Id] = t.Dep;
  }
  const TStatus st = EnterTrain(carPlan, i, *set.Car, result);
  if (st) {
    set.Entered.push_back(&result);
    return TStatus::Ok();
  }
  if (options_.StopAtRefusal) return st;
  EndSet(set.Car, set.Entered, set.Made);
  return TStatus::Ok();
}

// The set stands after its last train to the end of the day: while that stand meets another
// booking, its last train is taken back; a set made here left without trains goes. The reason
// of a train taken back names the stand it could not make.
void TLineEntry::EndSet(TCarObj*& car, std::vector<TTrainEntry*>& entered, bool made) {
  if (open_.erase(car->Id) > 0) ed_.RebuildDia();  // its stand whole again, to the end of the day
  while (!entered.empty()) {
    const std::vector<std::string> problems = Problems(car->Id, true);
    if (problems.empty()) break;
    TTrainEntry& last = *entered.back();
    ed_.DelLastTr(last.TrNo);
    last.Entered = false;
    last.Car = 0;
    last.Late = 0;
    last.Why = "後の列車が入らず編成がここで終わりますが、終着駅で留置を続けられません: " +
               problems.front();
    entered.pop_back();
  }
  if (made && car->TmTbl.Count() <= 1) {
    brd_.CarDel(car->Id);
    ed_.RebuildDia();
  }
  car = nullptr;
  entered.clear();
}

// A new train set through the new-train-set dialog, stabled at the first of the platforms
// that stays free from the start of the day until its first train has left.
TStatus TLineEntry::NewCar(const TCarProp& prop, int32_t slot, const std::vector<int32_t>& homes,
                           int32_t firstDep, TCarObj*& car) {
  const int32_t staId = StaIdAt(slot);
  TStaObj* sta = brd_.FindSta(staId, "");
  if (sta == nullptr) {
    return TStatus::Error(plan_.Line + ": " + IntText(slot) + "番目の駅がありません");
  }
  if (options_.TimeOrder) CutOpenStands();
  const int32_t until = firstDep + kTurnSlack;
  std::string blocker;
  for (const int32_t home : homes) {
    const TTmTbl* in = nullptr;
    for (const StaRail& r : sta->Rails) {
      if (r.Kind != kRailHome || r.No != home || !r.Occ) continue;
      for (const TTmTbl& rec : r.Occ->Items()) {
        if (rec.TmStart < until && in == nullptr) in = &rec;
      }
    }
    if (in != nullptr) {
      if (blocker.empty()) blocker = BlockerText(*sta, home, *in);
      continue;
    }
    dialogs_.NewCarAnswer({prop, MakeEntCode(staId, home, 0)});
    host_.Clear();
    int32_t before = 0;
    for (const auto& [key, c] : brd_.Cars) before = std::max(before, c->Id);
    if (!ed_.CarNew()) break;
    car = brd_.FindCar(before + 1, "");
    return car != nullptr ? TStatus::Ok() : TStatus::Error("新しい編成が見つかりません");
  }
  return TStatus::Error(sta->Name + "駅に始発 " + Clock(firstDep) +
                        " まで編成を留置できる番線がありません" +
                        (blocker.empty() ? "" : " (" + blocker + ")"));
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
  if (options_.TimeOrder) {
    open_[car.Id] = dep;
    CutOpenStands();
  }
  const bool added = ed_.TrainNew();
  if (options_.TimeOrder) {
    if (lastOfSet) {
      open_.erase(car.Id);
    } else {
      open_[car.Id] = nextDep;
    }
  }
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
  if (options_.TimeOrder) open_[car.Id] = t.Dep;
  return false;
}

// Every conflict of the line's occupancy and every set that would have to move empty.
std::set<std::string> TLineEntry::AllProblems() {
  std::set<std::string> out;
  for (std::string& line : AuditOccupancy(brd_)) out.insert(std::move(line));
  for (const std::string& line : SplitLines(ed_.ChkMsg)) {
    if (!line.empty()) out.insert(line);
  }
  return out;
}

// The conflicts that were not there before the entry. Until its last train is in, a set's stand
// at its last terminal runs to the end of the day; its next train cuts it short, so it is left
// out.
//
// Entered in time order, every set whose next train is still to come has its stand cut short as
// that train will cut it, so an overlap with it is a conflict already; only the call to move such
// a set out, made as if it stood all day, is left out.
std::vector<std::string> TLineEntry::Problems(int32_t carNo, bool lastOfSet) {
  const auto moves = [](const std::string& line, int32_t no) {
    return line.find("編成" + IntText(no) + "は") != std::string::npos;
  };
  if (options_.TimeOrder) CutOpenStands();
  std::vector<std::string> out;
  for (const std::string& line : AllProblems()) {
    if (before_.count(line) > 0) continue;
    if (options_.TimeOrder) {
      const bool open = std::any_of(open_.begin(), open_.end(),
                                    [&](const auto& o) { return moves(line, o.first); });
      if (!open && (lastOfSet || !moves(line, carNo))) out.push_back(line);
    } else if (lastOfSet || (line.find("[" + IntText(carNo) + "]") == std::string::npos &&
                             !moves(line, carNo))) {
      out.push_back(line);
    }
  }
  return out;
}

// A set whose next train is not entered yet is booked as standing to the end of the day. Until
// that train is in, its stand ends at the train's planned departure with a turn's margin, as the
// train entered on time books it; the platform is free for others after that. A rebooking of the
// line makes every stand whole again, so this is done before each check.
void TLineEntry::CutOpenStands() {
  for (const auto& [id, next] : open_) {
    const TCarObj* car = brd_.FindCar(id, "");
    if (car == nullptr || car->TmTbl.Count() == 0) continue;
    const TEntCode at = SplitEntCode(car->TmTbl.GetLast().Loc);
    TStaObj* sta = brd_.FindSta(at.Id, "");
    if (sta == nullptr) continue;
    const std::string label = "[" + IntText(id) + "]";
    for (StaRail& r : sta->Rails) {
      if (r.Kind != kRailHome || r.No != at.Slot || !r.Occ) continue;
      std::vector<TTmTbl> cut;
      for (int32_t i = r.Occ->Count() - 1; i >= 0; --i) {
        const TTmTbl& rec = r.Occ->At(i);
        if (rec.Txt != label || rec.TmEnd < kDayEnd) continue;
        cut.push_back(rec);
        cut.back().TmEnd = std::max(rec.TmStart + kMinTurn, next) + kTurnSlack + kEdgeSlack;
        r.Occ->Delete(i);
      }
      for (const TTmTbl& rec : cut) r.Occ->Add(rec);
    }
  }
}

}  // namespace

TStatus EnterLinePlan(TBrdData& brd, const TLinePlan& plan, const TAutoEntryOptions& options,
                      std::vector<TTrainEntry>& results) {
  TLineEntry entry(brd, plan, options);
  return entry.Run(results);
}

}  // namespace ramvel
