// The "diagram" and "platforms" commands of ramvel-cli.
#include "cli/UrwCliDiagram.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <exception>
#include <memory>

#include "cli/UrwCliBoard.h"
#include "cli/UrwCliRender.h"
#include "timetable/UrwDiaChart.h"
#include "timetable/UrwStaChart.h"
#include "view/UrwChartDraw.h"

namespace ramvel::cli {

namespace {

constexpr int32_t kMaxSide = 16384;

struct TChartArgs {
  std::vector<std::string> Words;  // BOARD, LINE or STATION, OUT
  TChartSpan Span;
  int32_t Dir = 0;
  int32_t W = 1600, H = 900;
  bool SizeGiven = false;
};

// "630", "0630", "6:30", "1830.15" or "18:30:15".
bool ParseClockArg(const std::string& text, int32_t& t, std::ostream& err) {
  std::string s = text;
  const size_t c1 = s.find(':');
  if (c1 != std::string::npos) {
    const size_t c2 = s.find(':', c1 + 1);
    const std::string mm = s.substr(c1 + 1, c2 == std::string::npos ? c2 : c2 - c1 - 1);
    s = mm.size() == 2 ? s.substr(0, c1) + mm : "x";
    if (c2 != std::string::npos) s += "." + text.substr(c2 + 1);
  }
  return ParseTimeArg(s, t, err);
}

bool ParseSize(const std::string& v, TChartArgs& a, std::ostream& err) {
  const size_t x = v.find('x');
  if (x != std::string::npos && ParseInt(v.substr(0, x), a.W) && ParseInt(v.substr(x + 1), a.H) &&
      a.W >= 200 && a.H >= 150 && a.W <= kMaxSide && a.H <= kMaxSide) {
    a.SizeGiven = true;
    return true;
  }
  err << "ramvel-cli: --size " << v << " is not WxH from 200x150 to " << kMaxSide << "x" << kMaxSide
      << "\n";
  return false;
}

bool ParseDir(const std::string& v, TChartArgs& a, std::ostream& err) {
  if (v == "down" || v == "up" || v == "both") {
    a.Dir = v == "down" ? 1 : v == "up" ? -1 : 0;
    return true;
  }
  err << "ramvel-cli: --dir " << v << " is not down, up or both\n";
  return false;
}

bool ParseOption(const std::string& name, const std::string& v, bool lineDiagram, TChartArgs& a,
                 std::ostream& err) {
  if (name == "--from") return ParseClockArg(v, a.Span.From, err);
  if (name == "--to") return ParseClockArg(v, a.Span.To, err);
  if (lineDiagram && name == "--dir") return ParseDir(v, a, err);
  if (lineDiagram && name == "--size") return ParseSize(v, a, err);
  err << "ramvel-cli: unknown option " << name << "\n";
  return false;
}

bool ParseChartArgs(const std::vector<std::string>& args, bool lineDiagram, TChartArgs& a,
                    std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i].rfind("--", 0) != 0) {
      a.Words.push_back(args[i]);
      continue;
    }
    if (i + 1 >= args.size()) {
      err << "ramvel-cli: " << args[i] << " needs a value\n";
      return false;
    }
    if (!ParseOption(args[i], args[i + 1], lineDiagram, a, err)) return false;
    ++i;
  }
  if (a.Words.size() != 3) {
    err << "usage: " << (lineDiagram ? kDiagramHelp : kPlatformsHelp);
    return false;
  }
  if (a.Span.To <= a.Span.From) {
    err << "ramvel-cli: --to must be later than --from\n";
    return false;
  }
  if (!IsChartPicturePath(a.Words[2])) {
    err << "ramvel-cli: " << a.Words[2] << " must end in .png or .svg\n";
    return false;
  }
  return true;
}

std::string ClockText(int32_t t) {
  const int32_t m = (t + kDayOffset) / 60, s = (t + kDayOffset) % 60;
  std::string text = IntText(m / 60) + ":" + (m % 60 < 10 ? "0" : "") + IntText(m % 60);
  return s == 0 ? text : text + ":" + (s < 10 ? "0" : "") + IntText(s);
}

void PrintConflict(std::ostream& out, const std::string& where, int32_t from, int32_t to,
                   const std::string& a, const std::string& b) {
  out << "conflict: " << where << " " << ClockText(from) << "-" << ClockText(to) << " " << a
      << " and " << b << "\n";
}

int Diagram(const TChartArgs& a, std::ostream& out, std::ostream& err) {
  auto board = OpenBoard(a.Words[0], err);
  if (!board) return 1;
  if (!OpenLine(*board, a.Words[1], err)) return 1;
  TBrdData& brd = board->Brd;
  const std::string& line = brd.LineName;  // as spelt on disk
  const TLineDiagram dia = MakeLineDiagram(brd);
  TDiaDrawOpts opts;
  opts.Span = a.Span;
  opts.Dir = a.Dir;
  const QSize size(a.W, a.H);
  const TStatus st = SaveChartPicture(a.Words[2], size, line,
                                      [&](QPainter& p) { DrawLineDiagram(p, size, dia, opts); });
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 1;
  }
  int32_t shown = 0;
  for (const TDiaTrain& tr : dia.Trains) shown += ShowsTrain(tr, opts) ? 1 : 0;
  out << a.Words[2] << ": " << line << ", " << dia.Stas.size() << " stations, " << shown
      << " trains, " << dia.Conflicts.size() << " conflicts\n";
  for (const TDiaConflict& c : dia.Conflicts)
    PrintConflict(out, c.Where, c.From, c.To, c.TrA, c.TrB);
  return 0;
}

int Platforms(const TChartArgs& a, std::ostream& out, std::ostream& err) {
  auto board = OpenBoard(a.Words[0], err);
  if (!board) return 1;
  const TStaObj* sta = FindStaByName(board->Brd, a.Words[1], err);
  if (sta == nullptr) return 1;
  TStaChart chart;
  const TStatus st =
      MakeStaChartAllLines(board->Brd, board->Folder, LineNames(board->Folder), sta->Id, chart);
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 1;
  }
  const QSize size(a.W, std::max<int32_t>(150, 70 + 32 * static_cast<int32_t>(chart.Rows.size())));
  const TStatus saved = SaveChartPicture(
      a.Words[2], size, chart.StaName, [&](QPainter& p) { DrawStaChart(p, size, chart, a.Span); });
  if (!saved) {
    err << "ramvel-cli: " << saved.Msg() << "\n";
    return 1;
  }
  out << a.Words[2] << ": " << chart.StaName << ", " << chart.Rows.size() << " tracks, "
      << chart.Conflicts.size() << " conflicts\n";
  for (const TChartConflict& c : chart.Conflicts) {
    PrintConflict(out, chart.Rows[static_cast<size_t>(c.Row)].Name, c.From, c.To, c.TrA, c.TrB);
  }
  return 0;
}

int RunChart(const std::vector<std::string>& args, bool lineDiagram, std::ostream& out,
             std::ostream& err) {
  TChartArgs a;
  if (!ParseChartArgs(args, lineDiagram, a, err)) return 2;
  TScriptedHost host;  // lookups that fail are reported below, never as boxes
  TUiHostScope scope(host);
  const std::unique_ptr<QGuiApplication> app = EnsureGuiApp();
  int rc = 1;
  try {
    rc = lineDiagram ? Diagram(a, out, err) : Platforms(a, out, err);
  } catch (const std::exception& e) {
    err << "ramvel-cli: " << e.what() << "\n";
    rc = 1;
  }
  for (const auto& e : host.Events) err << "ramvel-cli: " << e.Text << "\n";
  return rc;
}

}  // namespace

int RunDiagram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return RunChart(args, true, out, err);
}

int RunPlatforms(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return RunChart(args, false, out, err);
}

}  // namespace ramvel::cli
