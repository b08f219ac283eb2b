// Building the platform occupancy chart of a station from its booked occupancy.
#include "timetable/UrwStaChart.h"

#include <algorithm>
#include <tuple>

#include "timetable/UrwDiaTimeGrid.h"
#include "engine/UrwBrdAudit.h"

namespace ramvel {

namespace {

std::string RowName(uint8_t kind, int32_t no) {
  if (kind == kRailHome) return IntText(no) + "番ホーム";
  if (kind == kRailPt) return "分岐器" + IntText(no);
  return "線路" + IntText(no);
}

// Platforms first by number, then plain tracks, then turnouts.
bool RowBefore(const TChartRow& a, const TChartRow& b) {
  const auto rank = [](uint8_t k) { return k == kRailHome ? 0 : k == kRailPlain ? 1 : 2; };
  return std::make_tuple(rank(a.Kind), a.No) < std::make_tuple(rank(b.Kind), b.No);
}

TChartRow& RowFor(std::vector<TChartRow>& rows, uint8_t kind, int32_t no) {
  for (TChartRow& r : rows) {
    if (r.Kind == kind && r.No == no) return r;
  }
  rows.push_back({RowName(kind, no), kind, no, {}});
  return rows.back();
}

bool SameBar(const TChartBar& a, const TChartBar& b) {
  return a.From == b.From && a.To == b.To && a.Label == b.Label;
}

void AddBar(TChartRow& row, const TChartBar& bar) {
  for (const TChartBar& b : row.Bars) {
    if (SameBar(b, bar)) return;
  }
  const auto at =
      std::upper_bound(row.Bars.begin(), row.Bars.end(), bar,
                       [](const TChartBar& x, const TChartBar& y) { return x.From < y.From; });
  row.Bars.insert(at, bar);
}

void AddConflicts(int32_t row, const std::vector<TOverlap>& overlaps, TStaChart& chart) {
  for (const TOverlap& o : overlaps) {
    chart.Conflicts.push_back(
        {row, o.From, o.To, OccLabelTrain(o.LabelA), OccLabelTrain(o.LabelB)});
  }
}

// One bar per stay: the records of one occupant that follow on without a gap (coming in and
// leaving again) become one bar.
void JoinStays(TChartRow& row) {
  std::vector<TChartBar> joined;
  for (const TChartBar& b : row.Bars) {
    auto same = std::find_if(joined.rbegin(), joined.rend(), [&](const TChartBar& j) {
      return j.Label == b.Label && b.From <= j.To && b.To >= j.From;
    });
    if (same == joined.rend()) {
      joined.push_back(b);
      continue;
    }
    same->From = std::min(same->From, b.From);
    same->To = std::max(same->To, b.To);
  }
  row.Bars = std::move(joined);
}

std::vector<TOverlap> TrackOverlaps(TBrdData& brd, const TChartRow& track) {
  std::vector<TTmTbl> items;
  for (const TChartBar& b : track.Bars) items.push_back({b.Label, b.From, b.To, 0});
  return TableOverlaps(brd, items);
}

// The rows shown: every platform, and a plain track or turnout only where two train sets meet
// on it; then the conflicts of each row.
void FindConflicts(TBrdData& brd, TStaChart& chart) {
  std::stable_sort(chart.Tracks.begin(), chart.Tracks.end(), RowBefore);
  for (TChartRow& track : chart.Tracks) JoinStays(track);
  chart.Rows.clear();
  chart.Conflicts.clear();
  for (const TChartRow& track : chart.Tracks) {
    const std::vector<TOverlap> overlaps = TrackOverlaps(brd, track);
    if (track.Kind != kRailHome && overlaps.empty()) continue;
    AddConflicts(static_cast<int32_t>(chart.Rows.size()), overlaps, chart);
    chart.Rows.push_back(track);
  }
  std::vector<int32_t> pts;
  for (const TPtUse& u : chart.PtUses) {
    if (std::find(pts.begin(), pts.end(), u.Pt) == pts.end()) pts.push_back(u.Pt);
  }
  std::sort(pts.begin(), pts.end());
  for (const int32_t pt : pts) {
    const std::vector<TOverlap> overlaps = TurnoutOverlaps(brd, chart.PtUses, pt);
    if (overlaps.empty()) continue;
    AddConflicts(static_cast<int32_t>(chart.Rows.size()), overlaps, chart);
    chart.Rows.push_back({RowName(kRailPt, pt), kRailPt, pt, {}});
  }
}

// A train set's stand booked while rebuilding one line runs on until that line's next booking
// of the platform; the set's own trains on another line end it earlier.
void TrimStands(TBrdData& brd, TChartRow& row) {
  for (TChartBar& s : row.Bars) {
    if (!s.Stabled) continue;
    const int32_t car = CarOfOccLabel(brd, s.Label);
    for (const TChartBar& b : row.Bars) {
      if (!b.Stabled && b.From >= s.From && b.From < s.To && CarOfOccLabel(brd, b.Label) == car) {
        s.To = b.From;
      }
    }
  }
  std::vector<TChartBar> kept;
  for (const TChartBar& b : row.Bars) {
    const bool dup =
        std::any_of(kept.begin(), kept.end(), [&](const TChartBar& k) { return SameBar(k, b); });
    if (!dup && (!b.Stabled || b.To > b.From)) kept.push_back(b);
  }
  row.Bars = std::move(kept);
}

bool SameUse(const TPtUse& a, const TPtUse& b) {
  return a.Pt == b.Pt && a.R == b.R && a.First == b.First && a.Last == b.Last && a.Label == b.Label;
}

void AddUse(TStaChart& chart, const TPtUse& use) {
  for (const TPtUse& u : chart.PtUses) {
    if (SameUse(u, use)) return;
  }
  chart.PtUses.push_back(use);
}

}  // namespace

TStaChart MakeStaChart(TBrdData& brd, const TStaObj& sta) {
  TStaChart chart;
  chart.StaName = sta.Name;
  chart.StaId = sta.Id;
  for (const StaRail& r : sta.Rails) {
    if (!r.Occ || r.Kind == kRailPt || r.Occ->Items().empty()) continue;
    TChartRow& row = RowFor(chart.Tracks, r.Kind, r.No);
    for (const TTmTbl& t : r.Occ->Items()) {
      const bool stabled = !t.Txt.empty() && t.Txt.front() == '[';
      AddBar(row, {t.TmStart, std::min(t.TmEnd, kDayEnd), t.Txt, stabled});
    }
  }
  for (const TPtUse& u : sta.PtUses) AddUse(chart, u);
  FindConflicts(brd, chart);
  return chart;
}

void MergeStaChart(TBrdData& brd, TStaChart& into, const TStaChart& more) {
  for (const TChartRow& row : more.Tracks) {
    TChartRow& mine = RowFor(into.Tracks, row.Kind, row.No);
    for (const TChartBar& b : row.Bars) AddBar(mine, b);
  }
  for (TChartRow& row : into.Tracks) TrimStands(brd, row);
  for (const TPtUse& u : more.PtUses) AddUse(into, u);
  FindConflicts(brd, into);
}

TStatus MakeStaChartAllLines(TBrdData& brd, const std::string& folder,
                             const std::vector<std::string>& lines, int32_t staId, TStaChart& out) {
  const TStaObj* sta = brd.FindSta(staId, "");
  if (sta == nullptr) return TStatus::Error("駅" + IntText(staId) + "がありません");
  out = TStaChart{};
  out.StaName = sta->Name;
  out.StaId = staId;
  for (const std::string& name : lines) {
    TStatus st = brd.SetLine(name);
    if (st) st = brd.LoadLine(folder);
    if (!st) return st;
    if (brd.FindStaInLine(staId) < 0) continue;
    brd.MakeLineBlk();
    TDiaObj dia;
    dia.Build(brd.LineStas, brd.TrainNos);
    std::string moves;
    brd.InitObjTmTbl(dia.TrNos(), dia.CarIds, moves);
    MergeStaChart(brd, out, MakeStaChart(brd, *sta));
  }
  return TStatus::Ok();
}

}  // namespace ramvel
