// Finding a line's problems in its rebuilt occupancy and timetables.
#include "engine/UrwBrdAudit.h"

#include <algorithm>
#include <map>

namespace ramvel {

// ---- Overlaps ----------------------------------------------------------------------------------

int32_t CarOfOccLabel(TBrdData& brd, const std::string& label) {
  int32_t no = 0;
  if (IsStandLabel(label) && ParseInt(label.substr(1, label.size() - 2), no)) return no;
  const TCarObj* car = brd.FindTrainCar(OccLabelTrain(label), "");
  return car != nullptr ? car->Id : 0;
}

std::string OccLabelTrain(const std::string& label) { return TextBefore(label + ",", ","); }

bool IsStandLabel(const std::string& label) {
  return label.size() > 2 && label.front() == '[' && label.back() == ']';
}

std::vector<TOverlap> TableOverlaps(TBrdData& brd, const std::vector<TTmTbl>& items) {
  std::vector<TOverlap> out;
  for (size_t i = 0; i < items.size(); ++i) {
    for (size_t j = i + 1; j < items.size() && items[j].TmStart < items[i].TmEnd; ++j) {
      const TTmTbl& a = items[i];
      const TTmTbl& b = items[j];
      if (b.TmEnd <= a.TmStart || CarOfOccLabel(brd, a.Txt) == CarOfOccLabel(brd, b.Txt)) continue;
      out.push_back({b.TmStart, std::min(a.TmEnd, b.TmEnd), a.Txt, b.Txt});
    }
  }
  return out;
}

std::vector<TOverlap> TurnoutOverlaps(TBrdData& brd, const std::vector<TPtUse>& uses, int32_t pt) {
  std::vector<TOverlap> out;
  for (size_t i = 0; i < uses.size(); ++i) {
    for (size_t j = i + 1; j < uses.size(); ++j) {
      const TPtUse& a = uses[i];
      const TPtUse& b = uses[j];
      if (a.Pt != pt || b.Pt != pt || a.R == b.R || b.First > a.Last || a.First > b.Last) continue;
      if (CarOfOccLabel(brd, a.Label) == CarOfOccLabel(brd, b.Label)) continue;
      out.push_back({std::max(a.First, b.First) * kPtSlotSec,
                     std::min(a.Last, b.Last) * kPtSlotSec + kPtSlotSec - 1, a.Label, b.Label,
                     a.R, b.R});
    }
  }
  return out;
}

// ---- Train numbers -----------------------------------------------------------------------------

std::vector<TDupTrainNo> DuplicateTrainNos(TBrdData& brd) {
  std::map<std::string, int32_t, TLessNoCase> first;
  std::vector<TDupTrainNo> out;
  for (const auto& [key, car] : brd.Cars) {
    for (const TTmTbl& step : car->TmTbl.Items()) {
      if (step.Txt.empty()) continue;
      const std::string no = TextBefore(step.Txt + ",", ",");
      const auto [it, fresh] = first.emplace(no, car->Id);
      if (fresh || it->second == car->Id) continue;
      const bool known = std::any_of(out.begin(), out.end(), [&](const TDupTrainNo& d) {
        return d.CarB == car->Id && SameNoCase(d.TrNo, no);
      });
      if (!known) out.push_back({no, std::min(it->second, car->Id), std::max(it->second, car->Id)});
    }
  }
  return out;
}

std::string DuplicateTrainNoNote(const std::vector<TDupTrainNo>& dups) {
  std::string msg;
  for (const TDupTrainNo& d : dups) {
    if (!msg.empty()) msg += "\n";
    msg += "列車番号「" + d.TrNo + "」が編成" + IntText(d.CarA) + "と編成" + IntText(d.CarB) +
           "の両方にあります。編成" + IntText(d.CarB) +
           "の列車はダイヤ編集に表示されず、競合も調べられません。番号を変えて下さい";
  }
  return msg;
}

// ---- The line's problems -----------------------------------------------------------------------

const char* ProblemKindName(TProblemKind kind) {
  switch (kind) {
    case TProblemKind::kBlock:
      return "閉塞";
    case TProblemKind::kTrack:
      return "番線";
    case TProblemKind::kTurnout:
      return "分岐器";
    case TProblemKind::kStand:
      return "留置";
    case TProblemKind::kNoRoute:
      return "経路なし";
    case TProblemKind::kDupTrNo:
      return "列車番号";
  }
  return "";
}

namespace {

std::string Span(int32_t from, int32_t to) {
  const auto tm = [](int32_t t) {
    const std::string s = TimeToText(t, true);
    return s.substr(std::min(s.size(), s.find_first_not_of(' ')));
  };
  return tm(from) + "-" + tm(to);
}

std::string StaName(TBrdData& brd, int32_t id) {
  const TStaObj* sta = brd.FindSta(id, "");
  return sta != nullptr ? sta->Name : IntText(id);
}

// Collects the problems; overlaps of the same two train sets at one place that touch or overlap
// become one (a train running in and then standing meets a standing set twice). The check's text
// is made at the end, from the merged span.
class TAudit {
 public:
  explicit TAudit(TBrdData& brd) : brd_(brd) {}

  // Overlaps at one place: place as the list shows it, where as the check writes it.
  void Overlaps(TProblemKind kind, const std::string& place, const std::string& where,
                const std::vector<TOverlap>& overlaps) {
    for (const TOverlap& o : overlaps) {
      const bool stand = IsStandLabel(o.LabelA) || IsStandLabel(o.LabelB);
      TItem item{{stand ? TProblemKind::kStand : kind, place, o.From, o.To,
                  OccLabelTrain(o.LabelA), OccLabelTrain(o.LabelB), ""},
                 where, Occupant(o.LabelA, o.RouteA), Occupant(o.LabelB, o.RouteB),
                 CarOfOccLabel(brd_, o.LabelA), CarOfOccLabel(brd_, o.LabelB)};
      Merge(std::move(item));
    }
  }

  // A problem whose text is complete.
  void Add(TLineProblem p) { out_.push_back({std::move(p), "", "", "", 0, 0}); }

  std::vector<TLineProblem> Take() {
    std::vector<TLineProblem> out;
    for (TItem& i : out_) {
      if (i.P.Text.empty()) {
        i.P.Text = i.Where + ": " + i.A + " and " + i.B + " overlap " + Span(i.P.From, i.P.To);
      }
      out.push_back(std::move(i.P));
    }
    return out;
  }

 private:
  struct TItem {
    TLineProblem P;
    std::string Where, A, B;  // for the check's text
    int32_t CarA, CarB;
  };

  static std::string Occupant(const std::string& label, int32_t route) {
    return route > 0 ? label + " (route " + IntText(route) + ")" : label;
  }

  void Merge(TItem item) {
    for (TItem& i : out_) {
      const bool same = (i.CarA == item.CarA && i.CarB == item.CarB) ||
                        (i.CarA == item.CarB && i.CarB == item.CarA);
      if (!same || i.P.Kind != item.P.Kind || i.P.Place != item.P.Place) continue;
      if (item.P.From > i.P.To || i.P.From > item.P.To) continue;
      // A train running in names the meeting better than the stand that follows it.
      const bool bothStand = IsStandLabel(i.P.TrA) && IsStandLabel(i.P.TrB);
      if (bothStand && !(IsStandLabel(item.P.TrA) && IsStandLabel(item.P.TrB))) {
        i.P.TrA = item.P.TrA;
        i.P.TrB = item.P.TrB;
        i.A = item.A;
        i.B = item.B;
      }
      i.P.From = std::min(i.P.From, item.P.From);
      i.P.To = std::max(i.P.To, item.P.To);
      return;
    }
    out_.push_back(std::move(item));
  }

  TBrdData& brd_;
  std::vector<TItem> out_;
};

std::string TrackPlace(const StaRail& r) {
  return r.Kind == kRailHome ? IntText(r.No) + "番ホーム" : "線路" + ItemText(r.Kind, r.No, 0);
}

std::string TrackWhere(const StaRail& r) {
  return r.Kind == kRailHome ? IntText(r.No) + "番ホーム" : "track " + ItemText(r.Kind, r.No, 0);
}

void AuditTurnouts(TBrdData& brd, const TStaObj& sta, TAudit& audit) {
  std::vector<int32_t> pts;
  for (const TPtUse& u : sta.PtUses) {
    if (std::find(pts.begin(), pts.end(), u.Pt) == pts.end()) pts.push_back(u.Pt);
  }
  std::sort(pts.begin(), pts.end());
  for (const int32_t pt : pts) {
    audit.Overlaps(TProblemKind::kTurnout, sta.Name + "駅 分岐器" + IntText(pt),
                   "station " + sta.Name + " turnout " + IntText(pt),
                   TurnoutOverlaps(brd, sta.PtUses, pt));
  }
}

void AuditStations(TBrdData& brd, TAudit& audit) {
  std::vector<std::string> seen;  // a ring line names its first station twice
  for (const std::string& id : brd.LineStas) {
    if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
    seen.push_back(id);
    const TStaObj* sta = brd.FindSta(id, "");
    if (sta == nullptr) continue;
    for (const StaRail& r : sta->Rails) {
      if (!r.Occ) continue;
      audit.Overlaps(TProblemKind::kTrack, sta->Name + "駅 " + TrackPlace(r),
                     "station " + sta->Name + " " + TrackWhere(r),
                     TableOverlaps(brd, r.Occ->Items()));
    }
    AuditTurnouts(brd, *sta, audit);
  }
}

std::string HomeText(TBrdData& brd, const TEntCode& at) {
  return StaName(brd, at.Id) + " " + IntText(at.Slot) + "番ホーム";
}

// Every section between neighbouring line stations, of every train of the line over its whole
// timetable, for which the blocks give no route.
void MissingRoutes(TBrdData& brd, const std::vector<std::string>& trNos, TAudit& audit) {
  for (const std::string& trNo : trNos) {
    const TCarObj* car = brd.FindTrainCar(trNo, "");
    if (car == nullptr) continue;
    const TTrainRange r = car->FindTrain(trNo);
    for (int32_t i = r.First; i >= 0 && i < r.Last; ++i) {
      const TTmTbl& from = car->TmTbl.At(i);
      const TEntCode f = SplitEntCode(from.Loc);
      const TEntCode t = SplitEntCode(car->TmTbl.At(i + 1).Loc);
      if (from.TmEnd < 0 || brd.FindStaInLine(f.Id) < 0 || !brd.AreLineNeighbours(f.Id, t.Id)) {
        continue;
      }
      std::vector<std::string> routes;
      brd.ListUpNextStaCanGo(f.Id, f.Slot, f.Side, t.Id, t.Slot, routes);
      if (!routes.empty()) continue;
      audit.Add({TProblemKind::kNoRoute, StaName(brd, f.Id) + "駅〜" + StaName(brd, t.Id) + "駅",
                 from.TmEnd, car->TmTbl.At(i + 1).TmStart, trNo, "",
                 "train " + trNo + ": no route from " + HomeText(brd, f) + " to " +
                     HomeText(brd, t)});
    }
  }
}

// Whether train set c has a step at a station of the current line.
bool TouchesLine(TBrdData& brd, int32_t c) {
  const TCarObj* car = brd.FindCar(c, "");
  if (car == nullptr) return false;
  for (const TTmTbl& s : car->TmTbl.Items()) {
    if (brd.FindStaInLine(SplitEntCode(s.Loc).Id) >= 0) return true;
  }
  return false;
}

void DuplicateNumbers(TBrdData& brd, TAudit& audit) {
  for (const TDupTrainNo& d : DuplicateTrainNos(brd)) {
    if (!TouchesLine(brd, d.CarA) && !TouchesLine(brd, d.CarB)) continue;
    audit.Add({TProblemKind::kDupTrNo, "編成" + IntText(d.CarA) + "・編成" + IntText(d.CarB), -1,
               -1, d.TrNo, "[" + IntText(d.CarB) + "]",
               "train " + d.TrNo + ": number used by sets " + IntText(d.CarA) + " and " +
                   IntText(d.CarB)});
  }
}

// Blocks first, then the stations in line order.
void AuditOverlaps(TBrdData& brd, TAudit& audit) {
  for (const auto& [key, blk] : brd.Blks) {
    audit.Overlaps(TProblemKind::kBlock, "閉塞" + key, "block " + key,
                   TableOverlaps(brd, blk->Occ.Items()));
  }
  AuditStations(brd, audit);
}

}  // namespace

std::vector<TLineProblem> AuditLine(TBrdData& brd, const std::vector<std::string>& trNos) {
  TAudit audit(brd);
  AuditOverlaps(brd, audit);
  MissingRoutes(brd, trNos, audit);
  DuplicateNumbers(brd, audit);
  return audit.Take();
}

std::vector<std::string> AuditOccupancy(TBrdData& brd) {
  TAudit audit(brd);
  AuditOverlaps(brd, audit);
  std::vector<std::string> out;
  for (const TLineProblem& p : audit.Take()) out.push_back(p.Text);
  return out;
}

}  // namespace ramvel
