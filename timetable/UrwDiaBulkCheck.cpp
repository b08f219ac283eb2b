// The section checks of the bulk timetable edits, and the naming of what a refused section meets.
#include "timetable/UrwDiaBulkCheck.h"

#include <algorithm>
#include <cmath>

#include "timetable/UrwDiaEditorUi.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

namespace {

// A running time as the board books it: whole seconds, halves to even, the day's length at most.
int32_t Sec(float t) {
  if (!std::isfinite(t) || t >= static_cast<float>(kDayEnd)) return kDayEnd;
  return t <= 0 ? 0 : RoundInt(t);
}

// Whether a booked interval is met by a run of dur seconds from t (as WaitFor reads it).
bool Meets(const TTmTbl& r, int32_t t, int32_t dur) { return r.TmEnd > t && r.TmStart <= t + dur; }

std::vector<std::string> SplitBar(const std::string& s) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t at; (at = s.find('|', from)) != std::string::npos; from = at + 1) {
    out.push_back(s.substr(from, at - from));
  }
  out.push_back(s.substr(from));
  return out;
}

std::string FirstOther(const TTmTblObj& occ, int32_t t, int32_t dur, const std::string& own) {
  for (const TTmTbl& r : occ.Items()) {
    if (r.Txt != own && Meets(r, t, dur)) return r.Txt;
  }
  return "";
}

}  // namespace

std::vector<TSetTrain> SetTrains(const TCarObj& car) {
  std::vector<TSetTrain> out;
  for (int32_t i = 1; i < car.TmTbl.Count(); ++i) {
    const TTmTbl& s = car.TmTbl.At(i);
    if (s.Txt.empty()) {
      if (!out.empty()) out.back().Last = i;
      continue;
    }
    out.push_back({TextBefore(s.Txt + ",", ","), i, i});
  }
  return out;
}

std::string OccupantText(const std::string& label) {
  if (label.size() > 2 && label.front() == '[') {
    return "留置中の編成" + label.substr(1, label.size() - 2);
  }
  return "列車" + TextBefore(label + ",", ",");
}

bool TBulkBooker::OnLine(const std::vector<TTmTbl>& steps, int32_t first, int32_t last) const {
  for (int32_t i = first; i <= last; ++i) {
    const int32_t id = SplitEntCode(steps[static_cast<size_t>(i)].Loc).Id;
    if (brd_.FindStaInLine(id) < 0) return false;
    if (i > first &&
        !brd_.AreLineNeighbours(SplitEntCode(steps[static_cast<size_t>(i - 1)].Loc).Id, id)) {
      return false;
    }
  }
  return true;
}

void TBulkBooker::Rebuild(const std::vector<std::string>& skip) {
  TDiaObj dia;
  dia.Build(brd_.LineStas, brd_.TrainNos);
  std::vector<std::string> nos = dia.TrNos();
  std::erase_if(nos, [&](const std::string& n) {
    return std::find(skip.begin(), skip.end(), n) != skip.end();
  });
  TCarIdSet ids;
  std::string msg;
  brd_.InitObjTmTbl(nos, ids, msg);
}

void TBulkBooker::DropStand(int32_t place, int32_t t) {
  const TEntCode at = SplitEntCode(place);
  TStaObj* sta = brd_.FindSta(at.Id, "");
  if (sta == nullptr) return;
  const std::string label = StandLabel(car_.Id);
  for (StaRail& r : sta->Rails) {
    if (r.Kind != kRailHome || r.No != at.Slot || !r.Occ) continue;
    for (int32_t i = 0; i < r.Occ->Count(); ++i) {
      if (r.Occ->At(i).TmStart == t && r.Occ->At(i).Txt == label) {
        r.Occ->Delete(i);
        return;
      }
    }
  }
}

std::vector<std::string> TBulkBooker::Routes(TEntCode& from, int32_t nextId, int32_t home) {
  std::vector<std::string> routes;
  brd_.ListUpNextStaCanGo(from.Id, from.Slot, from.Side, nextId, home, routes);
  if (routes.empty()) {
    from.Side = 1 - from.Side;
    brd_.ListUpNextStaCanGo(from.Id, from.Slot, from.Side, nextId, home, routes);
  }
  return routes;
}

int32_t TBulkBooker::RunSec(const std::string& route, bool passNext, bool passCur) const {
  const std::vector<std::string> el = SplitComma(route);
  if (el.size() < 2) return 0;
  int32_t t = Sec(StaRunTime(car_, false, passCur)) + Sec(StaRunTime(car_, true, passNext));
  for (size_t i = 1; i + 1 < el.size(); ++i) {
    if (const TBlkObj* blk = brd_.FindBlkEnd(IntOr0(el[i]), "")) {
      t += Sec(blk->RunTime(car_.SpdMps()));
    }
  }
  return t;
}

TStatus TBulkBooker::Section(const TSectionPlan& s, const std::string& route, TTmTbl& arrived) {
  TStaObj* cur = brd_.FindSta(s.From.Id, "");
  if (cur == nullptr || route.empty()) {
    return TStatus::Error(SectionPlace(s.From.Id, s.NextId) + "に経路がありません");
  }
  if (TStatus st = HomeFree(MakeEntCode(s.From.Id, s.From.Slot, 0), s.Arr, s.Dep, s.TrNo); !st) {
    return st;
  }
  int32_t d = s.Dep;
  if (!brd_.CalcTimeCanStart(car_, route, d, s.PassNext, s.PassCur) || d != s.Dep) {
    return TStatus::Error(RouteMeets(s, route));
  }
  if (TStatus st = ArrivalFree(route, s.Dep, s.PassNext, s.PassCur, s.NextDep); !st) return st;
  // As in the editor, the next platform is booked until the arrival only: the next section's
  // check of its departure platform covers the stay.
  brd_.RegPathToNextSta(car_, s.TrNo, arrived, -1, s.Dep, s.PassNext, s.PassCur, route);
  return TStatus::Ok();
}

TStatus TBulkBooker::HomeFree(int32_t place, int32_t t, int32_t until, const std::string& trNo) {
  const TEntCode at = SplitEntCode(place);
  TStaObj* sta = brd_.FindSta(at.Id, "");
  if (sta == nullptr) return TStatus::Error("駅が見つかりません");
  TTmTbl occ;
  const int32_t free = sta->OccupyHome(t, at.Slot, "", occ);
  if (free >= until) return TStatus::Ok();
  // Inside an occupation the occupant is known; otherwise it is the one that comes first.
  std::string who = free < 0 ? occ.Txt : "";
  for (const StaRail& r : sta->Rails) {
    if (who.empty() && r.Kind == kRailHome && r.No == at.Slot && r.Occ) {
      who = FirstOther(*r.Occ, t, until - t, trNo);
    }
  }
  return TStatus::Error(Meets(HomePlace(*sta, at.Slot), who));
}

std::string TBulkBooker::RouteMeets(const TSectionPlan& s, const std::string& route) {
  std::string where;
  const std::string who = RouteBlocker(route, s, where);
  return Meets(where, who);
}

TStatus TBulkBooker::ArrivalFree(const std::string& route, int32_t dep, bool passNext,
                                 bool passCur, int32_t until) {
  const std::vector<std::string> el = SplitComma(route);
  if (el.size() < 2) return TStatus::Ok();
  const std::vector<std::string> items = SplitBar(el.back());
  const TPathItem last = ParseItem(items.back());
  if (last.Kind != kRailHome) return TStatus::Ok();
  const int32_t arr = dep + RunSec(route, passNext, passCur);
  const int32_t runIn = Sec(StaRunTime(car_, true, passNext));
  if (until < arr) until = passNext ? arr : arr + kMinStopSec;
  const int32_t staId = SplitEntCode(PartCode(el.back())).Id;
  TTmTbl stand;
  if (!brd_.StandingSetAt(staId, last.No, arr - runIn, until, car_.Id, stand)) {
    return TStatus::Ok();
  }
  return TStatus::Error(StandMeetMsg(brd_, staId, last.No, stand, true));
}

std::string RefusalTime(int32_t t) { return std::string(TrimBlanks(TimeToText(t, t % 60 != 0))); }

std::string StandMeetMsg(TBrdData& brd, int32_t staId, int32_t home, const TTmTbl& stand,
                         bool arriving) {
  const TStaObj* sta = brd.FindSta(staId, "");
  std::string msg = (sta != nullptr ? sta->Name : std::string("?")) + "駅の" + IntText(home) +
                    "番ホームには編成" + stand.Txt.substr(1, stand.Txt.size() - 2) + "が" + RefusalTime(stand.TmStart) + "から" +
                    (stand.TmEnd >= kDayEnd ? std::string("終日") : RefusalTime(stand.TmEnd) + "まで") +
                    "留置されています。";
  if (!arriving) return msg;
  if (stand.TmEnd >= kDayEnd) return msg + "このホームには" + RefusalTime(stand.TmStart) + "以降は入れません";
  return msg + RefusalTime(stand.TmEnd) + "以降の到着なら入れます";
}

// ---- Naming what a section meets ---------------------------------------------------------------

std::string TBulkBooker::HomePlace(const TStaObj& sta, int32_t home) const {
  return sta.Name + "駅の" + IntText(home) + "番ホーム";
}

std::string TBulkBooker::SectionPlace(int32_t fromId, int32_t toId) {
  const TStaObj* a = brd_.FindSta(fromId, "");
  const TStaObj* b = brd_.FindSta(toId, "");
  return (a ? a->Name : "?") + "駅〜" + (b ? b->Name : "?") + "駅間";
}

std::string TBulkBooker::Meets(const std::string& place, const std::string& label) const {
  return place + "で" + (label.empty() ? std::string("他の列車") : OccupantText(label)) +
         "と重なります";
}

// Walks the route as CalcTimeCanStart does for a start at s.Dep and names the first booking
// that meets the run of an element or of the element after it; where receives the place.
std::string TBulkBooker::RouteBlocker(const std::string& route, const TSectionPlan& s,
                                      std::string& where) {
  const std::vector<std::string> el = SplitComma(route);
  where = SectionPlace(s.From.Id, s.NextId);
  int32_t t = s.Dep;
  for (size_t i = 0; i < el.size(); ++i) {
    const bool last = i + 1 == el.size();
    int32_t dur = 0;
    if (i == 0 || last) {
      dur = Sec(StaRunTime(car_, last, last ? s.PassNext : s.PassCur));
    } else if (const TBlkObj* blk = brd_.FindBlkEnd(IntOr0(el[i]), "")) {
      dur = Sec(blk->RunTime(car_.SpdMps()));
    }
    for (size_t j = i; j <= i + 1 && j < el.size(); ++j) {
      const bool sta = j == 0 || j + 1 == el.size();
      std::string who;
      if (sta) {
        who = PartBlocker(el[j], t, dur, s.TrNo);
      } else if (const TBlkObj* blk = brd_.FindBlkEnd(IntOr0(el[j]), "")) {
        who = FirstOther(blk->Occ, t, dur, s.TrNo);
      }
      if (who.empty()) continue;
      if (sta) {
        const TStaObj* st = brd_.FindSta(SplitEntCode(PartCode(el[j])).Id, "");
        if (st != nullptr) where = st->Name + "駅";
      }
      return who;
    }
    t += dur;
  }
  return "";
}

// The first other booking that a run of dur seconds from t over a station part meets: a track
// held, or a turnout set the other way.
std::string TBulkBooker::PartBlocker(const std::string& part, int32_t t, int32_t dur,
                                     const std::string& own) {
  TStaObj* sta = brd_.FindSta(SplitEntCode(PartCode(part)).Id, "");
  if (sta == nullptr) return "";
  const std::vector<std::string> items = SplitBar(part);
  for (size_t i = 1; i < items.size(); ++i) {
    const TPathItem it = ParseItem(items[i]);
    if (it.Kind == kRailPt) {
      const int32_t a = t / kPtSlotSec, b = (t + dur) / kPtSlotSec;
      for (const TPtUse& u : sta->PtUses) {
        if (u.Pt == it.No / 10 && u.R != it.R && u.Label != own && u.First <= b && u.Last >= a) {
          return u.Label;
        }
      }
      continue;
    }
    for (const StaRail& r : sta->Rails) {
      if (r.Kind != it.Kind || r.No != it.No || !r.Occ) continue;
      const std::string who = FirstOther(*r.Occ, t, dur, own);
      if (!who.empty()) return who;
    }
  }
  return "";
}

}  // namespace ramvel
