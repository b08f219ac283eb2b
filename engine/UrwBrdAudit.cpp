// Finding overlaps of different train sets in the rebuilt occupancy.
#include "engine/UrwBrdAudit.h"

#include <algorithm>

namespace ramvel {

namespace {

// The train set behind an occupancy label: "[n]" for a stabled set, else a train's header.
int32_t CarOfLabel(TBrdData& brd, const std::string& label) {
  int32_t no = 0;
  if (label.size() > 2 && label.front() == '[' && ParseInt(label.substr(1, label.size() - 2), no)) {
    return no;
  }
  const TCarObj* car = brd.FindTrainCar(TextBefore(label + ",", ","), "");
  return car != nullptr ? car->Id : 0;
}

std::string Span(int32_t from, int32_t to) {
  const auto tm = [](int32_t t) {
    std::string s = TimeToText(t, true);
    return s.substr(s.find_first_not_of(' '));
  };
  return tm(from) + "-" + tm(to);
}

void AuditTable(TBrdData& brd, const TTmTblObj& occ, const std::string& where,
                std::vector<std::string>& out) {
  const std::vector<TTmTbl>& items = occ.Items();
  for (size_t i = 0; i < items.size(); ++i) {
    for (size_t j = i + 1; j < items.size() && items[j].TmStart < items[i].TmEnd; ++j) {
      const TTmTbl& a = items[i];
      const TTmTbl& b = items[j];
      if (b.TmEnd <= a.TmStart || CarOfLabel(brd, a.Txt) == CarOfLabel(brd, b.Txt)) continue;
      out.push_back(where + ": " + a.Txt + " and " + b.Txt + " overlap " +
                    Span(b.TmStart, std::min(a.TmEnd, b.TmEnd)));
    }
  }
}

std::string TrackName(const StaRail& r) {
  return r.Kind == kRailHome ? IntText(r.No) + "番ホーム" : "track " + ItemText(r.Kind, r.No, 0);
}

void AuditTurnouts(TBrdData& brd, const TStaObj& sta, std::vector<std::string>& out) {
  const std::vector<TPtUse>& uses = sta.PtUses;
  for (size_t i = 0; i < uses.size(); ++i) {
    for (size_t j = i + 1; j < uses.size(); ++j) {
      const TPtUse& a = uses[i];
      const TPtUse& b = uses[j];
      if (a.Pt != b.Pt || a.R == b.R || b.First > a.Last || a.First > b.Last) continue;
      if (CarOfLabel(brd, a.Label) == CarOfLabel(brd, b.Label)) continue;
      out.push_back("station " + sta.Name + " turnout " + IntText(a.Pt) + ": " + a.Label +
                    " (route " + IntText(a.R) + ") and " + b.Label + " (route " + IntText(b.R) +
                    ") overlap " +
                    Span(std::max(a.First, b.First) * kPtSlotSec,
                         std::min(a.Last, b.Last) * kPtSlotSec + kPtSlotSec - 1));
    }
  }
}

}  // namespace

std::vector<std::string> AuditOccupancy(TBrdData& brd) {
  std::vector<std::string> out;
  for (const auto& [key, blk] : brd.Blks) {
    AuditTable(brd, blk->Occ, "block " + key, out);
  }
  for (const std::string& id : brd.LineStas) {
    const TStaObj* sta = brd.FindSta(id, "");
    if (sta == nullptr) continue;
    for (const StaRail& r : sta->Rails) {
      if (r.Occ) AuditTable(brd, *r.Occ, "station " + sta->Name + " " + TrackName(r), out);
    }
    AuditTurnouts(brd, *sta, out);
  }
  // A ring line names its first station twice.
  std::vector<std::string> unique;
  for (std::string& line : out) {
    if (std::find(unique.begin(), unique.end(), line) == unique.end()) unique.push_back(line);
  }
  return unique;
}

}  // namespace ramvel
