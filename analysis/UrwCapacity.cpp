// The compression of blocking times.
#include "analysis/UrwCapacity.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <queue>

namespace ramvel {

int32_t CapThreshold(TTrafficKind kind, int32_t windowSec) {
  const bool peak = windowSec <= 3600;
  if (kind == TTrafficKind::kSuburban) return peak ? 85 : 70;
  return peak ? 75 : 60;
}

const char* TrafficKindName(TTrafficKind kind) {
  return kind == TTrafficKind::kSuburban ? "近郊専用線" : "混合線";
}

void OccSpan(const TLineOcc& occ, int32_t& from, int32_t& to) {
  from = 0;
  to = 0;
  bool any = false;
  for (const TOccRec& r : occ.Recs) {
    from = any ? std::min(from, r.Start) : r.Start;
    to = any ? std::max(to, r.End) : r.End;
    any = true;
  }
}

namespace {

struct TEdge {
  int32_t From = 0, To = 0;  // local train indices
  int32_t Slack = 0;         // how much earlier To may move than From before they meet
};

// Compression of one place. Each train k may move earlier by Shift[k]; a train that takes a
// resource after another must still take it no earlier than the other releases it there
// (Shift[b] <= Shift[a] + slack), and no train may come before the one ahead of it in the
// timetable. The first train stays; every other moves as far as these allow, which makes the
// shifts the shortest distances from the first train over the slack edges.
TCapPlace CompressPlace(const TLineOcc& occ, int32_t place, const std::vector<const TOccRec*>& recs,
                        int32_t from, int32_t to) {
  TCapPlace out;
  out.Place = place;
  std::map<int32_t, std::pair<int32_t, int32_t>> span;  // train -> entry, exit
  for (const TOccRec* r : recs) {
    auto it = span.find(r->Train);
    if (it == span.end()) {
      span.emplace(r->Train, std::make_pair(r->Start, r->End));
    } else {
      it->second.first = std::min(it->second.first, r->Start);
      it->second.second = std::max(it->second.second, r->End);
    }
  }
  for (const auto& [train, se] : span) {
    if (se.first >= from && se.first < to) out.Paths.push_back({train, se.first, se.second, 0});
  }
  if (out.Paths.empty()) return out;
  std::stable_sort(out.Paths.begin(), out.Paths.end(), [](const TCapTrain& a, const TCapTrain& b) {
    return a.Entry != b.Entry ? a.Entry < b.Entry : a.Train < b.Train;
  });
  const int32_t n = static_cast<int32_t>(out.Paths.size());
  std::map<int32_t, int32_t> local;
  for (int32_t k = 0; k < n; ++k) local[out.Paths[k].Train] = k;

  std::vector<std::vector<TEdge>> adj(n);
  for (int32_t k = 1; k < n; ++k) {
    adj[k - 1].push_back({k - 1, k, out.Paths[k].Entry - out.Paths[k - 1].Entry});
  }
  // Per resource the predecessors of each record: for a track or block the occupation with the
  // latest release before it; for a turnout the same per other route, since trains on one route
  // may share it.
  int32_t minBuffer = std::numeric_limits<int32_t>::max();
  size_t i = 0;
  while (i < recs.size()) {
    size_t j = i;
    while (j < recs.size() && recs[j]->Res == recs[i]->Res) ++j;
    std::map<int32_t, const TOccRec*> lastByRoute;  // route -> record with the latest end
    for (size_t x = i; x < j; ++x) {
      const TOccRec& b = *recs[x];
      const auto lb = local.find(b.Train);
      if (lb == local.end()) continue;  // trains outside the window neither push nor are pushed
      {
        for (const auto& [route, a] : lastByRoute) {
          if (a->Train == b.Train || (b.Route > 0 && route == b.Route)) continue;
          const auto la = local.find(a->Train);
          if (la == local.end()) continue;
          const int32_t slack = b.Start - a->End;
          minBuffer = std::min(minBuffer, slack);
          adj[la->second].push_back({la->second, lb->second, std::max(0, slack)});
        }
      }
      const TOccRec*& last = lastByRoute[b.Route];
      if (last == nullptr || b.End >= last->End) last = &b;
    }
    i = j;
  }

  std::vector<int64_t> dist(n, std::numeric_limits<int64_t>::max());
  using TItem = std::pair<int64_t, int32_t>;
  std::priority_queue<TItem, std::vector<TItem>, std::greater<TItem>> queue;
  dist[0] = 0;
  queue.push({0, 0});
  while (!queue.empty()) {
    const auto [d, k] = queue.top();
    queue.pop();
    if (d > dist[k]) continue;
    for (const TEdge& e : adj[k]) {
      if (d + e.Slack < dist[e.To]) {
        dist[e.To] = d + e.Slack;
        queue.push({dist[e.To], e.To});
      }
    }
  }
  int32_t lastEnd = out.Paths[0].Exit;
  for (int32_t k = 0; k < n; ++k) {
    out.Paths[k].Shift = static_cast<int32_t>(dist[k]);
    lastEnd = std::max(lastEnd, out.Paths[k].Exit - out.Paths[k].Shift);
  }
  out.Trains = n;
  out.Compressed = lastEnd - out.Paths[0].Entry;
  out.Percent = to > from ? 100.0 * out.Compressed / (to - from) : 0;
  if (minBuffer != std::numeric_limits<int32_t>::max()) out.MinBuffer = minBuffer;

  std::map<int32_t, int32_t> lastEntry;  // direction -> entry of the last train that way
  int64_t sum = 0;
  int32_t count = 0;
  for (const TCapTrain& p : out.Paths) {
    const int32_t dir = occ.Trains[p.Train].Dir;
    const auto it = lastEntry.find(dir);
    if (it != lastEntry.end()) {
      const int32_t h = p.Entry - it->second;
      out.MinHeadway = out.MinHeadway < 0 ? h : std::min(out.MinHeadway, h);
      sum += h;
      ++count;
    }
    lastEntry[dir] = p.Entry;
  }
  if (count > 0) out.MeanHeadway = static_cast<double>(sum) / count;
  return out;
}

}  // namespace

TCapResult AnalyseCapacity(const TLineOcc& occ, int32_t from, int32_t to) {
  TCapResult result;
  result.From = from;
  result.To = to;
  std::vector<std::vector<const TOccRec*>> byPlace(occ.Places.size());
  for (const TOccRec& r : occ.Recs) byPlace[occ.Res[r.Res].Place].push_back(&r);
  for (size_t p = 0; p < occ.Places.size(); ++p) {
    TCapPlace cp = CompressPlace(occ, static_cast<int32_t>(p), byPlace[p], from, to);
    if (cp.Trains > 0) result.Places.push_back(std::move(cp));
  }
  return result;
}

std::vector<TAnPath> CompressedPaths(const TLineOcc& occ, const TCapResult& cap) {
  std::vector<TAnPath> out;
  for (const TCapPlace& p : cap.Places) {
    const TLinePlace& place = occ.Places[p.Place];
    if (place.IsStation) continue;
    for (const TCapTrain& ct : p.Paths) {
      const TLineTrain& tr = occ.Trains[ct.Train];
      for (size_t c = 0; c + 1 < tr.Calls.size(); ++c) {
        const TTrainCall& a = tr.Calls[c];
        const TTrainCall& b = tr.Calls[c + 1];
        const bool down = a.Sta == place.StaA && b.Sta == place.StaB;
        const bool up = a.Sta == place.StaB && b.Sta == place.StaA;
        if ((!down && !up) || a.Dep < 0 || a.Dep > ct.Entry || b.Arr < ct.Entry) continue;
        const int32_t ia = down ? place.LineIdx : place.LineIdx + 1;
        const int32_t ib = down ? place.LineIdx + 1 : place.LineIdx;
        out.push_back({ct.Train, down ? 1 : -1,
                       {{a.Dep - ct.Shift, ia}, {b.Arr - ct.Shift, ib}}});
        break;
      }
    }
  }
  return out;
}

}  // namespace ramvel
