// The diagram editor without its window: the model of the open line and the editor's view
// state, the entry of a train section by section, and the train set and train commands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/UrwBrdAudit.h"
#include "engine/UrwBrdData.h"
#include "engine/UrwBrdUndo.h"
#include "foundation/UrwUndo.h"
#include "timetable/UrwDiaBulk.h"
#include "timetable/UrwDiaBulkCheck.h"
#include "timetable/UrwDiaEditorUi.h"
#include "timetable/UrwDiaOneStep.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

constexpr int32_t kNoMark = -10000;  // no grid column or row marked

// Where a train set stands at the end of the day: its last step that has started by 27:00.
struct TCarFinalPos {
  int32_t Step = 0;  // StepAt(82800); 0 for the stabling step
  TStepKind Kind = TStepKind::kStabling;  // StepKind of that step
  TEntCode Place;    // its station (Id), platform (Slot) and side flag
};
TCarFinalPos CarFinalPos(const TCarObj& c);

// What a train-set selection is for.
enum : int32_t {
  kSelNewTrain = 0,  // a new train from a line station: label "始発駅"
  kSelDelete = 1,    // deleting a train set without trains: "始発駅"
  kSelBothDir = 2,   // the one-train-set view: "最終位置"
  kSelBridge = 3,    // continuing a train from another line: "乗り入れ駅"
  kSelSpec = 4,      // the properties of any train set of the line: "始発駅"
};

// One selection line: "%4d ( %d両編成 %s：%s駅 %d番ホーム)".
std::string CarSelLine(int32_t no, int32_t nCar, const std::string& label,
                       const std::string& staName, int32_t home);

// What the diagram editor is doing: nothing special, entering a new train, adding sections to a
// train, or showing a train's path.
enum class TDiaMode : uint8_t { kNormal, kNewTrain, kSectionsAdded, kPathShown };

class TDiaEditor {
 public:
  // brd and dialogs must outlive the editor; view may be null (nothing is drawn).
  TDiaEditor(TBrdData& brd, TDiaDialogs& dialogs, TDiaView* view = nullptr);
  TDiaEditor(const TDiaEditor&) = delete;
  TDiaEditor& operator=(const TDiaEditor&) = delete;

  // ---- Model and view state ----
  TDiaObj Dia;
  TDiaOneStep OneStep;     // the one-section dialog, reused for every section
  bool KudariMode = true;  // down trains shown
  TDiaMode DiaMode = TDiaMode::kNormal;
  // A new train or added sections are being entered: the view may not change under them.
  bool Entering() const {
    return DiaMode == TDiaMode::kNewTrain || DiaMode == TDiaMode::kSectionsAdded;
  }
  int32_t LeftSta = 0;     // first station slot drawn
  bool ShowTrNoCol = true;
  bool BlkPack = false;
  int32_t OccTm = -1;  // time whose occupancy is drawn; -1 none
  int32_t MarkCol = kNoMark;
  int32_t MarkRow = kNoMark;
  int32_t CurSta = -1;   // slot of the current station while a train is entered
  int32_t NextSta = -1;  // slot of the next station while a train is entered
  // Empty in the normal view; a train set number in the one-train-set view, "*" + slot in the
  // one-station view.
  std::string EdtCarId;
  std::vector<std::string> LineStaNames;  // the line's stations, in line order
  std::vector<std::string> LineStaHomes;  // per line station: comma text of its platforms
  std::string ChkMsg;                     // problems found by the last rebuild

  TBrdData& Brd() { return brd_; }
  // Whether the open line is a ring: its last station repeats its first.
  bool IsRingLine() const {
    return brd_.LineStas.size() >= 3 && brd_.LineStas.front() == brd_.LineStas.back();
  }

  // ---- Undo ----

  // The steps of this editor: each accepted train set or train operation, a whole train entry
  // included, is one step over the records of the board's train sets. Empty when a line opens.
  TUndoHistory History;
  // Runs op, any function that changes train sets of the open line (through this editor or on
  // the board directly), as one undo step named name, and returns what op returns. A call that
  // changes nothing makes no step; calls nest into the outermost one.
  template <typename F>
  auto Recorded(const std::string& name, F&& op) -> decltype(op()) {
    return History.Record(name, std::forward<F>(op));
  }
  // Takes back (does again) the last step: the train sets' records are written back and the
  // model, all occupancy and the view are rebuilt. False when there is nothing to take back.
  bool Undo() { return History.Undo(); }
  bool Redo() { return History.Redo(); }

  // ---- Opening and redrawing ----

  // Opens the board's current line: its blocks, station names and platforms, the model and the
  // occupancy, the down view.
  void OpenDia();
  // Rebuilds the model and all occupancy of the line from the train sets, and the orders.
  void RebuildDia();
  void ResetView(bool rebuild);
  // Shows the direction of KudariMode in the normal view.
  void ApplyDir();
  void SetBlkPack(bool v) { BlkPack = v; }
  void RefreshView(bool full);

  // The line's problems in the occupancy booked now: what ramvel-cli check finds on the board.
  std::vector<TLineProblem> LineProblems();

  // ---- Section entry ----

  // Enters train n of train set c section by section from `from` (station Id, platform Slot,
  // Side the side to look for the next station from) in direction dir (+1 down, -1 up). The
  // train's column must be the model's current train. True when at least one section was
  // accepted; the caller then writes the train back with Dia.StoreTr.
  bool FixPathToTerminal(TCarObj& c, const std::string& n, TEntCode from, int32_t dir,
                         bool isNewTrain);

  // ---- Train sets ----

  // The selection lines of kind (kSel...) for the train sets of the line.
  std::vector<std::string> CarSelList(int32_t kind);
  std::optional<int32_t> SelectCar(int32_t kind, const std::string& prompt);
  bool CarNew();
  void CarSpec();
  bool CarDel();
  // Divides train t's train set after t: the trains after it go to a new train set.
  bool CarDiv(int32_t t);
  // Merges into train t's train set the train set that leaves first from where t ends.
  bool CarMarge(int32_t t);

  // ---- Trains ----

  bool TrainNew();
  bool TrainBridge();
  bool ChgTrNo();
  // 備考: the note of train t (-1: a train chosen from those shown) read and edited in an input
  // box; an emptied box removes the note. One undo step.
  bool EditTrNote(int32_t t);
  // The delete command of the menu (a train chosen from the shown ones) and of the popup
  // (train t, after a question).
  bool TrainDel();
  bool TrainDel2(int32_t t);
  bool DelLastTr(const std::string& n);
  // Whether train n of c may be deleted: its last train, or one whose next train starts where
  // it started (station and platform). The error names the train whose start would break.
  TStatus CanDelTrain(const TCarObj& c, const std::string& n) const;
  // Adds sections after train t's terminal. Refused, with the reason shown and nothing
  // changed, unless CanKukanAdd allows it.
  bool KukanAdd(int32_t t);
  // Whether sections can be added after train t (run by train set c) in the shown direction:
  // t must be c's last train, end at its last cell on this line, run in the shown direction,
  // and have a next station there. The error carries the reason for the user.
  TStatus CanKukanAdd(int32_t t, const TCarObj& c) const;
  // Deletes, after a question, every section of train t beyond slot s.
  bool KukanDelAll(int32_t t, int32_t s);
  bool KukanDelete(int32_t t, int32_t s);
  // Whether train t (run by c) may lose its sections beyond slot s: t must be c's last train and
  // s one of its cells, neither its origin nor a station it passes. The error carries the
  // reason for the user.
  TStatus CanKukanDelete(int32_t t, int32_t s, const TCarObj& c) const;

  // ---- Bulk edits ----
  // Each asks its dialog and runs the edit (UrwDiaBulk); nullopt when the user cancelled. They
  // neither rebuild nor show the result: the window rebuilds (ResetView(true)), then shows it
  // with ShowBulkResult.

  // 時刻をずらす for train t, or (t < 0) a train chosen from the shown ones.
  std::optional<TBulkResult> BulkShift(int32_t t);
  // 繰り返し作成 for train t's train set, or (t < 0) a train set of the line chosen from a list.
  std::optional<TBulkResult> BulkRepeat(int32_t t);
  void ShowBulkResult(const TBulkResult& r) const;

 private:
  struct TEntry;

  // Section entry steps.
  int32_t EntryStartSlot(const TEntCode& from, int32_t dir) const;
  void StartTimes(TEntry& e, bool isNewTrain) const;
  bool AskNextStep(TEntry& e);
  void ScrollToSection();
  bool TryStep(TEntry& e, TStaObj& cur);
  TSectionPlan Plan(const TEntry& e, int32_t dep, bool passNext) const;
  std::string HomeTaken(const TEntry& e, int32_t dep, int32_t free);
  bool ConfirmDelay(const TEntry& e, int32_t d0, int32_t d, int32_t free,
                    const std::string& meets);
  void PutCurCell(const TEntry& e, int32_t dep);
  void MoveToNext(TEntry& e);
  void DropPassedTerminal(TEntry& e);
  bool AskDelTrain(const std::string& n);
  // Writes an entered train back (registering its number when regTrNo is given) and reports.
  void EndEntry(TCarObj& c, bool added, const std::string& regTrNo, const char* doneMsg);

  int32_t StaIdAt(int32_t slot) const;
  void DrawTmTbl();
  void RestoreSpecialView();
  bool ValidTr(int32_t t) const { return t >= 0 && t < Dia.TrCount; }
  bool SelLineWanted(int32_t kind, bool starred, const TCarObj& c, const TCarFinalPos& p) const;
  bool ArrivesFromOtherLine(const TCarObj& c, const TCarFinalPos& p) const;
  // Train no now runs in set to: its entry in the train numbers and its note go along.
  void MoveTrainNo(const std::string& no, TCarObj* from, TCarObj* to);
  void CutAfterCell(TCarObj& c, const std::string& trNo, int32_t t, int32_t s);

  TBrdData& brd_;
  TDiaDialogs& dialogs_;
  TDiaView* view_;
  TCarUndoTarget undoTarget_;
};

// Whether train trNo is the last train of c (its steps run to the timetable's end).
bool IsLastTrain(const TCarObj& c, const std::string& trNo);

}  // namespace ramvel
