// ramvel-cli capacity and delays.
#include "cli/UrwCliAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "analysis/UrwCapacity.h"
#include "analysis/UrwDelaySim.h"
#include "cli/UrwCli.h"
#include "cli/UrwCliBoard.h"
#include "foundation/UrwTextRec.h"
#include "timetable/UrwDiaCsv.h"
#include "timetable/UrwDiaEditorUi.h"

namespace ramvel::cli {

namespace {

std::string Fixed(double v, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", digits, v);
  return buf;
}

void WriteRows(std::ostream& out, const std::vector<TTextRow>& rows, bool csv) {
  if (csv) {
    out << CsvText(rows);
    return;
  }
  for (const TTextRow& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) out << (i > 0 ? "\t" : "") << row[i];
    out << "\n";
  }
}

// A decimal number in [lo, hi]; false after a line to err naming what.
bool ParseReal(const std::string& text, const char* what, double lo, double hi, double& v,
               std::ostream& err) {
  const std::string s = ToHalfWidth(text);
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  if (s.empty() || end == nullptr || *end != '\0' || !std::isfinite(v) || v < lo || v > hi) {
    err << "ramvel-cli: " << what << " " << text << " is not a number from " << lo << " to "
        << hi << "\n";
    return false;
  }
  return true;
}

// Opens the board and the line and books the line; null after a line to err.
std::unique_ptr<TOpenBoard> OpenBooked(const std::string& path, const std::string& line,
                                       std::vector<std::string>& trNos, std::ostream& err) {
  auto board = OpenBoard(path, err);
  if (!board || !OpenLine(*board, line, err)) return nullptr;
  TScriptedHost host;  // a damaged timetable's lookups must not stop the analysis
  TUiHostScope scope(host);
  trNos = BookLineForAnalysis(board->Brd);
  return board;
}

// Takes the value after option i; false after a line to err when there is none.
bool TakeValue(const TArgs& args, size_t& i, std::string& v, std::ostream& err) {
  if (i + 1 >= args.size()) {
    err << "ramvel-cli: " << args[i] << " needs a value\n";
    return false;
  }
  v = args[++i];
  return true;
}

}  // namespace

int RunCapacity(const TArgs& args, std::ostream& out, std::ostream& err) {
  TArgs pos;
  bool csv = false;
  int32_t from = -1, to = -1;
  TTrafficKind kind = TTrafficKind::kSuburban;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string v;
    if (args[i] == "--csv") {
      csv = true;
    } else if (args[i] == "--from" || args[i] == "--to") {
      if (!TakeValue(args, i, v, err) || !ParseTimeArg(v, args[i - 1] == "--from" ? from : to, err)) {
        return 2;
      }
    } else if (args[i] == "--traffic") {
      if (!TakeValue(args, i, v, err)) return 2;
      if (v != "suburban" && v != "mixed") {
        err << "ramvel-cli: --traffic takes suburban or mixed, not " << v << "\n";
        return 2;
      }
      kind = v == "mixed" ? TTrafficKind::kMixed : TTrafficKind::kSuburban;
    } else if (args[i].rfind("--", 0) == 0) {
      err << "ramvel-cli: capacity does not take " << args[i] << "\n";
      return 2;
    } else {
      pos.push_back(args[i]);
    }
  }
  if (pos.size() != 2) {
    err << "ramvel-cli: capacity needs BOARD LINE [--from T] [--to T] [--csv]\n";
    return 2;
  }
  std::vector<std::string> trNos;
  auto board = OpenBooked(pos[0], pos[1], trNos, err);
  if (!board) return 2;
  const TLineOcc occ = CollectLineOcc(board->Brd, trNos);
  int32_t dayFrom = 0, dayTo = 0;
  OccSpan(occ, dayFrom, dayTo);
  if (from < 0) from = dayFrom;
  if (to < 0) to = std::max(dayTo, from + 1);
  if (to <= from) {
    err << "ramvel-cli: --to " << std::string(TrimBlanks(TimeToText(to, false))) << " is not after --from "
        << std::string(TrimBlanks(TimeToText(from, false))) << "\n";
    return 2;
  }
  TCapResult cap = AnalyseCapacity(occ, from, to);
  std::stable_sort(cap.Places.begin(), cap.Places.end(),
                   [](const TCapPlace& a, const TCapPlace& b) { return a.Percent > b.Percent; });
  const int32_t limit = CapThreshold(kind, to - from);
  if (!csv) {
    out << "line " << board->Brd.LineName << ": " << std::string(TrimBlanks(TimeToText(from, false))) << "-"
        << std::string(TrimBlanks(TimeToText(to, false))) << ", " << occ.Trains.size() << " trains, UIC reference "
        << limit << " % (" << (kind == TTrafficKind::kSuburban ? "suburban" : "mixed") << ", "
        << (to - from <= 3600 ? "peak hour" : "day") << ")\n";
  }
  std::vector<TTextRow> rows = {{"from", "to", "trains", "consumption %", "min headway s",
                                 "mean headway s", "min buffer s", "over"}};
  for (const TCapPlace& p : cap.Places) {
    const TLinePlace& place = occ.Places[p.Place];
    const std::string a = board->Brd.FindSta(place.StaA, "")->Name;
    const std::string b = place.IsStation ? "構内" : board->Brd.FindSta(place.StaB, "")->Name;
    rows.push_back({a, b, IntText(p.Trains), Fixed(p.Percent, 1),
                    p.MinHeadway < 0 ? "" : IntText(p.MinHeadway),
                    p.MeanHeadway < 0 ? "" : Fixed(p.MeanHeadway, 0),
                    p.MinBuffer < 0 ? "" : IntText(p.MinBuffer),
                    p.Percent > limit ? "over" : ""});
  }
  WriteRows(out, rows, csv);
  return 0;
}

int RunDelays(const TArgs& args, std::ostream& out, std::ostream& err) {
  TArgs pos;
  bool csv = false;
  TDelayOpts opts;
  std::string atName;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string v;
    const std::string& a = args[i];
    if (a == "--csv") {
      csv = true;
      continue;
    }
    if (a.rfind("--", 0) != 0) {
      pos.push_back(a);
      continue;
    }
    if (a != "--share" && a != "--mean" && a != "--delay" && a != "--runs" && a != "--seed" &&
        a != "--at") {
      err << "ramvel-cli: delays does not take " << a << "\n";
      return 2;
    }
    if (!TakeValue(args, i, v, err)) return 2;
    double x = 0;
    if (a == "--share") {
      if (!ParseReal(TextBefore(v + "%", "%"), "--share", 0, 100, x, err)) return 2;
      opts.Share = x / 100.0;
    } else if (a == "--mean") {
      if (!ParseReal(v, "--mean", 0.1, 600, x, err)) return 2;
      opts.MeanMin = x;
    } else if (a == "--delay") {
      const size_t colon = v.rfind(':');
      if (colon == std::string::npos || colon == 0 ||
          !ParseReal(v.substr(colon + 1), "--delay minutes", 0, 1380, x, err)) {
        if (colon == std::string::npos || colon == 0) {
          err << "ramvel-cli: --delay takes TRAIN:MIN, not " << v << "\n";
        }
        return 2;
      }
      opts.Given.push_back({v.substr(0, colon), static_cast<int32_t>(std::nearbyint(x * 60))});
    } else if (a == "--runs") {
      if (!ParseIntArg(v, "--runs", opts.Runs, err)) return 2;
      if (opts.Runs < 1 || opts.Runs > 10000) {
        err << "ramvel-cli: --runs " << v << " is not from 1 to 10000\n";
        return 2;
      }
    } else if (a == "--seed") {
      int32_t s = 0;
      if (!ParseIntArg(v, "--seed", s, err)) return 2;
      opts.Seed = static_cast<uint32_t>(s);
    } else {
      atName = v;
    }
  }
  if (pos.size() != 2) {
    err << "ramvel-cli: delays needs BOARD LINE\n";
    return 2;
  }
  std::vector<std::string> trNos;
  auto board = OpenBooked(pos[0], pos[1], trNos, err);
  if (!board) return 2;
  TBrdData& brd = board->Brd;
  if (!atName.empty()) {
    const TStaObj* sta = FindStaByName(brd, atName, err);
    if (sta == nullptr) return 2;
    if (brd.FindStaInLine(sta->Id) < 0) {
      err << "ramvel-cli: station " << atName << " is not on line " << brd.LineName << "\n";
      return 2;
    }
    opts.AtSta = sta->Id;
  }
  const TLineOcc occ = CollectLineOcc(brd, trNos);
  const TDelayModel model(occ, opts.MinStop);
  std::string bad;
  const TDelayReport rep = RunDelays(model, opts, 0, bad);
  if (!bad.empty()) {
    err << "ramvel-cli: train " << bad << " does not leave a station of line " << brd.LineName
        << (opts.AtSta != 0 ? " at " + atName : std::string()) << "\n";
    return 2;
  }
  auto staName = [&](int32_t id) { return brd.FindSta(id, "")->Name; };
  auto figure = [&](const TMeanSd& m, int digits) {
    return Fixed(m.Mean, digits) + (rep.Runs > 1 ? " ± " + Fixed(m.Sd, digits) : "");
  };
  std::vector<TTextRow> rows;
  // CSV: one table whose first column says what a row holds; the rest as in the text tables.
  if (csv) rows.push_back({"record", "train", "station", "a", "b", "c", "d"});
  auto table = [&](const std::string& title, TTextRow head) {
    if (csv) return;
    rows.push_back({});
    rows.push_back({title});
    rows.push_back(std::move(head));
  };
  if (!csv) {
    out << "line " << brd.LineName << ": " << occ.Trains.size() << " trains, " << rep.Runs
        << (rep.Runs == 1 ? " run" : " runs") << ", seed " << opts.Seed << "; ";
    if (opts.Given.empty()) {
      out << "random delays for " << Fixed(opts.Share * 100, 0) << " % of trains, mean "
          << Fixed(opts.MeanMin, 1) << " min";
    } else {
      out << "given delays";
    }
    out << (opts.AtSta != 0 ? " at " + atName : std::string(" at first departure")) << "\n";
    out << "punctuality (arrivals at most 1/3/5 min late): " << figure(rep.Within[0], 1) << " % / "
        << figure(rep.Within[1], 1) << " % / " << figure(rep.Within[2], 1) << " %\n";
    out << "primary delay: " << figure(rep.PrimaryMin, 1)
        << " min; knock-on delay: " << figure(rep.KnockOnMin, 1) << " min\n";
  } else {
    rows.push_back({"punctuality %", "", "", Fixed(rep.Within[0].Mean, 1),
                    Fixed(rep.Within[1].Mean, 1), Fixed(rep.Within[2].Mean, 1), ""});
    rows.push_back({"delay min", "", "", Fixed(rep.PrimaryMin.Mean, 1),
                    Fixed(rep.KnockOnMin.Mean, 1), "", ""});
  }
  table("stations", {"station", "arrivals", "at most 1 min %", "3 min %", "5 min %"});
  for (size_t s = 0; s < rep.Stations.size(); ++s) {
    TTextRow r = {staName(rep.Stations[s]), IntText(rep.StaArrivals[s]),
                  Fixed(rep.StaWithin[s][0], 1), Fixed(rep.StaWithin[s][1], 1),
                  Fixed(rep.StaWithin[s][2], 1)};
    if (csv) r.insert(r.begin(), {"station", ""});  // station, arrivals and the three shares
    rows.push_back(r);
  }
  table("trains that spread the most delay", {"train", "knock-on min caused"});
  for (size_t k = 0; k < rep.Spreaders.size() && (csv || k < 10); ++k) {
    TTextRow r = {occ.Trains[rep.Spreaders[k].first].TrNo, Fixed(rep.Spreaders[k].second, 1)};
    if (csv) r = {"spreader", r[0], "", r[1], "", "", ""};
    rows.push_back(r);
  }
  table("delayed calls", {"train", "station", "arrival delay s", "departure delay s"});
  for (size_t t = 0; t < occ.Trains.size(); ++t) {
    for (size_t c = 0; c < occ.Trains[t].Calls.size(); ++c) {
      const double arr = rep.ArrDelay[t][c], dep = rep.DepDelay[t][c];
      if (!csv && arr <= 0 && dep <= 0) continue;
      TTextRow r = {occ.Trains[t].TrNo, staName(occ.Trains[t].Calls[c].Sta),
                    arr < 0 ? "" : Fixed(arr, 0), dep < 0 ? "" : Fixed(dep, 0)};
      if (csv) r = {"call", r[0], r[1], r[2], r[3], "", ""};
      rows.push_back(r);
    }
  }
  WriteRows(out, rows, csv);
  return 0;
}

}  // namespace ramvel::cli
