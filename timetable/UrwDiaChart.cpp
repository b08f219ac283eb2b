// Building the time-space diagram of a line from its diagram model and rebuilt occupancy.
#include "timetable/UrwDiaChart.h"

#include <algorithm>
#include <cstdlib>

#include "engine/UrwBrdAudit.h"
#include "engine/UrwBrdKinds.h"

namespace ramvel {

namespace {

constexpr const char* kTypeNames[kTrTypeCount] = {"普通", "快速", "準急",  "急行",
                                                  "特急", "回送", "その他"};

bool IsStaEnt(int32_t code) { return code != 0 && IdKind(code) == kKindSta; }
bool IsBlkEnt(int32_t code) { return code != 0 && IdKind(code) == kKindBlk; }

std::vector<TDiaStation> LineStations(TBrdData& brd) {
  std::vector<TDiaStation> stas;
  for (const std::string& key : brd.LineStas) {
    TDiaStation s;
    s.Id = IntOr0(key);
    const TStaObj* sta = brd.FindSta(s.Id, "");
    s.Name = sta != nullptr ? sta->Name : key;
    if (!stas.empty()) s.Dist = stas.back().Dist + RailDistance(brd, stas.back().Id, s.Id);
    stas.push_back(std::move(s));
  }
  return stas;
}

// The points of one cell: arrival, and departure when the train stays.
void AddCellPoints(const TTmTbl& cell, bool first, int32_t dist, std::vector<TDiaPoint>& pts) {
  if (cell.TmStart < 0 && cell.TmEnd < 0) return;
  const bool origin = first && !cell.Txt.empty();
  if (cell.TmEnd < 0 || cell.TmEnd == cell.TmStart || cell.TmStart < 0) {
    const int32_t t = cell.TmStart >= 0 ? cell.TmStart : cell.TmEnd;
    pts.push_back({t, dist, cell.TmEnd == cell.TmStart && !origin});
    return;
  }
  pts.push_back({cell.TmStart, dist, false});
  pts.push_back({cell.TmEnd, dist, false});
}

TDiaTrain MakeTrain(const TDiaObj& dia, int32_t k, const std::vector<TDiaStation>& stas) {
  const TTrInfo& info = dia.TrInfo[static_cast<size_t>(k)];
  TDiaTrain tr;
  tr.TrNo = info.TrNo;
  tr.Kind = info.TrKind;
  tr.Type = TrTypeOf(info.TrKind);
  tr.Dir = info.CellCount == 1 ? 0 : info.Dir;
  tr.Column = k;
  for (int32_t j = 0; j < info.CellCount; ++j) {
    const int32_t s = info.FirstSta + j * info.Dir;
    if (s < 0 || s >= static_cast<int32_t>(stas.size())) continue;
    AddCellPoints(dia.Cell(k, s), j == 0, stas[static_cast<size_t>(s)].Dist, tr.Pts);
  }
  return tr;
}

// Follows a block's end towards one side through the blocks of its track; station receives the
// station reached and the result is the number of blocks walked over.
int32_t WalkBlocks(TBrdData& brd, const TBlkObj& blk, int32_t side, int32_t& station) {
  int32_t code = blk.BlkEnd[side];
  int32_t count = 0;
  for (size_t guard = 0; IsBlkEnt(code) && guard <= brd.Blks.size(); ++guard) {
    const auto it = brd.Blks.find(IntText(std::abs(code) / 1000));
    if (it == brd.Blks.end()) break;
    ++count;
    code = it->second->BlkEnd[side];
  }
  station = IsStaEnt(code) ? SplitEntCode(code).Id : 0;
  return count;
}

// The distance of a block's middle along the line; -1 when its track joins no line section.
int32_t BlockDist(TBrdData& brd, const TBlkObj& blk, const std::vector<TDiaStation>& stas) {
  int32_t a = 0, b = 0;
  const int32_t before = WalkBlocks(brd, blk, 0, a);
  const int32_t after = WalkBlocks(brd, blk, 1, b);
  const double share = (before + 0.5) / (before + after + 1);
  for (size_t i = 0; i + 1 < stas.size(); ++i) {
    const int32_t d0 = stas[i].Dist, d1 = stas[i + 1].Dist;
    if (stas[i].Id == a && stas[i + 1].Id == b) return d0 + static_cast<int32_t>(share * (d1 - d0));
    if (stas[i].Id == b && stas[i + 1].Id == a) return d1 - static_cast<int32_t>(share * (d1 - d0));
  }
  return -1;
}

// Adds the overlaps at one place; the same two trains meeting at one station over spans that
// touch or overlap, on one or several of its tracks and turnouts, make one conflict (a train
// running in and then standing where a set stands meets it twice).
void AddConflicts(TBrdData& brd, const std::vector<TOverlap>& overlaps, int32_t dist,
                  const std::string& where, std::vector<TDiaConflict>& out) {
  // The same two train sets, whether named by a train or by their stand.
  const auto sets = [&brd](const TDiaConflict& c) {
    const int32_t a = CarOfOccLabel(brd, c.TrA), b = CarOfOccLabel(brd, c.TrB);
    return std::make_pair(std::min(a, b), std::max(a, b));
  };
  for (const TOverlap& o : overlaps) {
    TDiaConflict c{o.From, o.To, dist, OccLabelTrain(o.LabelA), OccLabelTrain(o.LabelB), where};
    const auto known = std::find_if(out.begin(), out.end(), [&](const TDiaConflict& k) {
      return k.From <= c.To && c.From <= k.To && k.Dist == c.Dist && k.Where == c.Where &&
             sets(k) == sets(c);
    });
    if (known == out.end()) {
      out.push_back(std::move(c));
      continue;
    }
    known->From = std::min(known->From, c.From);
    known->To = std::max(known->To, c.To);
  }
}

// Every overlap at one station: its tracks, then its turnouts.
std::vector<TOverlap> StationOverlaps(TBrdData& brd, const TStaObj& sta) {
  std::vector<TOverlap> all;
  for (const StaRail& r : sta.Rails) {
    if (!r.Occ) continue;
    for (TOverlap& o : TableOverlaps(brd, r.Occ->Items())) all.push_back(std::move(o));
  }
  std::vector<int32_t> pts;
  for (const TPtUse& u : sta.PtUses) {
    if (std::find(pts.begin(), pts.end(), u.Pt) == pts.end()) pts.push_back(u.Pt);
  }
  for (const int32_t pt : pts) {
    for (TOverlap& o : TurnoutOverlaps(brd, sta.PtUses, pt)) all.push_back(std::move(o));
  }
  return all;
}

std::vector<TDiaConflict> LineConflicts(TBrdData& brd, const std::vector<TDiaStation>& stas) {
  std::vector<TDiaConflict> out;
  for (const auto& [key, blk] : brd.Blks) {
    const std::vector<TOverlap> overlaps = TableOverlaps(brd, blk->Occ.Items());
    if (overlaps.empty()) continue;
    const int32_t dist = BlockDist(brd, *blk, stas);
    if (dist >= 0) AddConflicts(brd, overlaps, dist, "閉塞" + key, out);
  }
  std::vector<int32_t> seen;
  for (const TDiaStation& s : stas) {
    if (std::find(seen.begin(), seen.end(), s.Id) != seen.end()) continue;
    seen.push_back(s.Id);
    const TStaObj* sta = brd.FindSta(s.Id, "");
    if (sta == nullptr) continue;
    const std::vector<TOverlap> overlaps = StationOverlaps(brd, *sta);
    // A ring line shows its first station at both ends.
    for (const TDiaStation& at : stas) {
      if (at.Id == s.Id) AddConflicts(brd, overlaps, at.Dist, s.Name, out);
    }
  }
  return out;
}

}  // namespace

const char* TrTypeName(TTrType type) {
  const auto i = static_cast<int32_t>(type);
  return kTypeNames[i >= 0 && i < kTrTypeCount ? i : kTrTypeCount - 1];
}

TTrType TrTypeOf(const std::string& kind) {
  for (int32_t i = 0; i + 1 < kTrTypeCount; ++i) {
    if (kind.rfind(kTypeNames[i], 0) == 0) return static_cast<TTrType>(i);
  }
  return TTrType::kOther;
}

int32_t RailDistance(TBrdData& brd, int32_t fromSta, int32_t toSta) {
  int32_t best = 0;
  std::vector<std::string> list;
  for (int32_t side = 0; side < 2; ++side) {
    list.clear();
    brd.ListUpConnSta(fromSta, 0, list, side, 0);
    for (const std::string& line : list) {
      const std::vector<std::string> e = SplitComma(line);
      const int32_t last = e.size() >= 3 ? IntOr0(e.back()) : 0;
      if (!IsStaEnt(last) || SplitEntCode(last).Id != SplitEntCode(toSta).Id) continue;
      const int32_t len = IntOr0(e[0]);
      if (len > 0 && (best == 0 || len < best)) best = len;
    }
  }
  return best;
}

TLineDiagram MakeLineDiagram(TBrdData& brd, const TDiaObj& dia) {
  TLineDiagram out;
  out.LineName = brd.LineName;
  if (brd.Dias.size() > 1) out.DiaName = brd.Dias[brd.ActiveDia].Name;
  out.Stas = LineStations(brd);
  out.Ring = out.Stas.size() > 2 && out.Stas.front().Id == out.Stas.back().Id;
  for (int32_t k = 0; k < dia.TrCount; ++k) {
    // A train with one station on the line only touches it (it starts or ends there coming
    // from another line): it has no line to draw here.
    if (dia.TrInfo[static_cast<size_t>(k)].CellCount < 2) continue;
    TDiaTrain tr = MakeTrain(dia, k, out.Stas);
    if (!tr.Pts.empty()) out.Trains.push_back(std::move(tr));
  }
  out.Conflicts = LineConflicts(brd, out.Stas);
  out.Kinds = brd.Kinds;
  for (TDiaTrain& tr : out.Trains) {
    if (!out.Kinds.empty()) tr.KindNo = KindIndexOf(out.Kinds, tr.Kind);
  }
  return out;
}

TLineDiagram MakeLineDiagram(TBrdData& brd) {
  brd.MakeLineBlk();
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  std::string moves;
  brd.InitObjTmTbl(dia.TrNos(), dia.CarIds, moves);
  return MakeLineDiagram(brd, dia);
}

}  // namespace ramvel
