// ramvel-cli import-oud: an OuDia file read onto a line of a board, saved only when asked, or
// made into a new board.
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "cli/UrwCliBoard.h"
#include "cli/UrwCliOud.h"
#include "foundation/UrwUiHost.h"
#include "interop/UrwOudBoard.h"
#include "interop/UrwOudDias.h"
#include "interop/UrwOudImport.h"

namespace ramvel::cli {

namespace {

struct TImportArgs {
  std::vector<std::string> Pos;
  bool Apply = false;
  bool DeleteMissing = false;
  std::string NewBoard;  // --new-board FOLDER
  std::string Dia;       // --dia NAME: the board's timetable, and the file's, to read into
  int32_t TurnMin = 5;
};

bool ParseImportArgs(const std::vector<std::string>& args, TImportArgs& a, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--apply") {
      a.Apply = true;
    } else if (args[i] == "--dia" && i + 1 < args.size() && a.Dia.empty()) {
      a.Dia = args[++i];
    } else if (args[i] == "--delete-missing") {
      a.DeleteMissing = true;
    } else if (args[i] == "--new-board" && i + 1 < args.size() && a.NewBoard.empty()) {
      a.NewBoard = args[++i];
    } else if (args[i] == "--turn" && i + 1 < args.size()) {
      if (!ParseIntArg(args[++i], "--turn", a.TurnMin, err)) return false;
      if (a.TurnMin < 0 || a.TurnMin > 600) {
        err << "ramvel-cli: --turn must be 0 to 600 minutes\n";
        return false;
      }
    } else {
      a.Pos.push_back(args[i]);
    }
  }
  if (a.NewBoard.empty() ? a.Pos.size() != 3
                         : a.Pos.size() != 1 || a.Apply || a.DeleteMissing || !a.Dia.empty()) {
    err << "ramvel-cli: import-oud needs BOARD LINE FILE [--dia NAME] [--apply] [--delete-missing]"
           " [--turn MIN]"
           " or --new-board FOLDER FILE [--turn MIN]\n";
    return false;
  }
  return true;
}

// Makes the board's timetable name active, adding it when the board has none of that name.
TStatus UseImportDia(TBrdData& brd, const std::string& name, std::vector<std::string>& notes) {
  if (name.empty()) return TStatus::Ok();
  int32_t at = brd.FindDia(name);
  if (at < 0) {
    size_t k = 0;
    if (TStatus st = brd.AddDia(name, false, k); !st) return st;
    at = static_cast<int32_t>(k);
    notes.push_back("ボードに新しいダイヤ「" + name + "」を作りました");
  }
  brd.SelectDia(static_cast<size_t>(at));
  return TStatus::Ok();
}

// Set by SIGINT or SIGTERM while an import runs: the import stops at its next step and removes
// what it made.
volatile std::sig_atomic_t gStopAsked = 0;

extern "C" void AskStop(int) { gStopAsked = 1; }

// Catches SIGINT and SIGTERM for its lifetime.
class TStopSignals {
 public:
  TStopSignals() {
    gStopAsked = 0;
    prevInt_ = std::signal(SIGINT, AskStop);
    prevTerm_ = std::signal(SIGTERM, AskStop);
  }
  ~TStopSignals() {
    std::signal(SIGINT, prevInt_);
    std::signal(SIGTERM, prevTerm_);
  }
  TStopSignals(const TStopSignals&) = delete;
  TStopSignals& operator=(const TStopSignals&) = delete;

 private:
  void (*prevInt_)(int) = SIG_DFL;
  void (*prevTerm_)(int) = SIG_DFL;
};

// Progress on err: a bar redrawn in place on a terminal, otherwise a line per 5 %. Answers
// false (stop) once a stop signal has come.
class TProgressLine {
 public:
  TProgressLine(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
  ~TProgressLine() {
    if (terminal_ && shown_ >= 0) err_ << "\n" << std::flush;
  }
  TProgressLine(const TProgressLine&) = delete;
  TProgressLine& operator=(const TProgressLine&) = delete;

  bool operator()(double share) {
    const int32_t pct = static_cast<int32_t>(std::clamp(share, 0.0, 1.0) * 100);
    if (terminal_ && pct != shown_) {
      const int32_t filled = pct * kBar / 100;
      err_ << "\r読み込み中 [" << std::string(static_cast<size_t>(filled), '#')
           << std::string(static_cast<size_t>(kBar - filled), '.') << "] " << pct << "%"
           << std::flush;
      shown_ = pct;
    } else if (!terminal_ && pct / 5 > shown_ / 5) {
      err_ << "読み込み中 " << pct / 5 * 5 << "%\n" << std::flush;
      shown_ = pct / 5 * 5;
    }
    return gStopAsked == 0;
  }

 private:
  static constexpr int32_t kBar = 40;
  std::ostream& err_;
  bool terminal_;
  int32_t shown_ = -5;
};

// Whether err is the process's standard error and that is a terminal.
bool ErrIsTerminal(const std::ostream& err) {
  return &err == &std::cerr && isatty(STDERR_FILENO) == 1;
}

// The exit code of an import stopped by a signal, as a shell reports a process it ended.
constexpr int kStoppedExit = 130;

}  // namespace

int MakeBoardFromDoc(const TStaPanels& panels, const TOudDoc& doc, const std::string& folder,
                     int32_t turnMin, const std::vector<std::string>& preface, std::ostream& out,
                     std::ostream& err) {
  TOudImportOptions options;
  options.TurnSec = turnMin * 60;
  TOudBoardReport report;
  TStatus st;
  {
    TStopSignals signals;
    TProgressLine progress(err, ErrIsTerminal(err));
    options.Progress = [&progress](double share) { return progress(share); };
    st = MakeOudBoard(panels, doc, folder, options, report);
  }
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return st.Msg() == kWorkCancelled ? kStoppedExit : 1;
  }
  for (const std::string& l : preface) out << l << "\n";
  for (const std::string& l : report.Lines()) out << l << "\n";
  out << folder << ": 新しいボードを保存しました\n";
  return report.Refused() > 0 ? 1 : 0;
}

namespace {

int RunNewBoard(const TImportArgs& a, std::ostream& out, std::ostream& err) {
  TOudDoc doc;
  TStatus st = LoadOudFile(a.Pos[0], doc);
  TStaPanels panels;
  if (st) st = panels.Load(PieceDir());
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 2;
  }
  return MakeBoardFromDoc(panels, doc, a.NewBoard, a.TurnMin, {}, out, err);
}

}  // namespace

int RunImportOud(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TImportArgs a;
  if (!ParseImportArgs(args, a, err)) return 2;
  if (!a.NewBoard.empty()) return RunNewBoard(a, out, err);
  auto board = OpenBoard(a.Pos[0], err);
  if (!board) return 2;
  TBrdData& brd = board->Brd;
  if (!OpenLine(*board, a.Pos[1], err)) return 2;
  TOudDoc doc;
  TStatus st = LoadOudFile(a.Pos[2], doc);
  if (st) st = CheckOudShiftJis(doc);
  std::vector<std::string> notes;
  if (st) st = UseImportDia(brd, a.Dia, notes);
  size_t k = 0;
  std::string note;
  if (st) st = PickOudDia(brd, doc, a.Dia, k, note);
  if (st) st = MergeOudKinds(brd, doc, notes);
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 1;
  }
  if (!note.empty()) notes.push_back(note);
  TOudImportOptions options;
  options.TurnSec = a.TurnMin * 60;
  options.DeleteMissing = a.DeleteMissing;
  TOudImportReport report;
  TScriptedHost host;  // the editor's own boxes are answered by the automatic entry
  {
    TUiHostScope scope(host);
    TStopSignals signals;
    TProgressLine progress(err, ErrIsTerminal(err));
    options.Progress = [&progress](double share) { return progress(share); };
    st = ImportOud(brd, OudWithOneDia(doc, k), options, report);
  }
  report.Notes.insert(report.Notes.begin(), notes.begin(), notes.end());
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return st.Msg() == kWorkCancelled ? kStoppedExit : 1;
  }
  for (const std::string& l : report.Lines()) out << l << "\n";
  if (a.Apply) {
    if (st = brd.SaveBrd(board->Folder, true); !st) {
      err << "ramvel-cli: " << st.Msg() << "\n";
      return 1;
    }
    out << board->Folder << ": 保存しました\n";
  } else {
    out << "ボードは変更していません (--apply で保存します)\n";
  }
  return report.Refused > 0 ? 1 : 0;
}

}  // namespace ramvel::cli
