// An OuDia timetable read onto a line of the board: stations and kinds matched, trains chained
// into train sets and entered through the diagram editor's own checks, with a report per train.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "interop/UrwOudFile.h"
#include "timetable/UrwDiaAutoEntry.h"

namespace ramvel {

// The most trains one timetable may bring: an import of more would run for hours, so a file
// with more is refused before anything is planned.
inline constexpr size_t kMaxOudTrains = 20000;

// Ok when doc's first timetable is within kMaxOudTrains, else the message naming it.
TStatus CheckOudSize(const TOudDoc& doc);

struct TOudImportOptions {
  int32_t TurnSec = 5 * 60;  // least time between a train's arrival and the set's next train
  int32_t DefaultCars = 6;   // a new train set without a "N両編成 Skm/h" note
  int32_t DefaultKmh = 100;
  // The top speed a train without a note needs, when the layout was made for the file: the
  // slowest that keeps its published times, so that a train passing stations does not run ahead
  // of its times onto the train before it. A set runs at the fastest its trains need (trains are
  // chained as without it). 0: DefaultKmh.
  std::function<int32_t(const TOudTrain&)> FitKmh;
  // Told the share of the import done now and then; false stops it (kWorkCancelled).
  TProgressFn Progress;
  // Trains of the line whose numbers the file does not have are deleted (a train in the middle
  // of its set cannot be, and is reported).
  bool DeleteMissing = false;
};

// One train of the file as it will be entered, or why it cannot be.
struct TOudImportTrain {
  std::string TrNo;
  std::string Refused;  // empty when planned
};

// What an import did: notes on the matching, and the result of every train in entry order.
struct TOudImportReport {
  std::vector<std::string> Notes;
  std::vector<TTrainEntry> Trains;
  int32_t OnTime = 0, Late = 0, Refused = 0;
  std::vector<int32_t> NewCars;  // the train sets made
  // Trains the board had already: kept as they were (the file gives the same times), updated
  // (their steps replaced), deleted (DeleteMissing), and not deleted (with why).
  std::vector<std::string> Unchanged, Updated, Removed, Kept;
  // The notes the import replaced (train number, note before; empty when it had none), which
  // UndoOudImport puts back.
  std::vector<std::pair<std::string, std::string>> OldNotes;
  // The line's and the timetable's notes before, when the import replaced them.
  std::optional<std::string> OldLineNote, OldDiaNote;

  // The report as the user reads it: the notes, one line per train, and the totals.
  std::vector<std::string> Lines() const;
};

// The cars and top speed a train's note "N両編成 Skm/h" gives (as the OuDia export writes it),
// within the ranges the editor accepts; false, p unchanged, when the note gives none.
bool OudNotedProp(const TOudTrain& t, TCarProp& p);
// The train's own note (備考): its note without the "N両編成 Skm/h" that OudNotedProp reads,
// as NoteText keeps it.
std::string OudOwnNote(const TOudTrain& t);

// Plans the import of doc's first timetable onto the board's current line (SetLine and LoadLine
// done): the file's stations matched by name to the line's in line order or reversed, kinds by
// name (else the nearest of the six, the file's name kept in the nickname), and trains chained
// into train sets: a train ending at a station is continued by the earliest train leaving there
// at least TurnSec later in the other direction (on a ring, also onward round the ring); a train
// left over starts a new set stabled where it starts. A train whose number the board has is
// left out when its times on the line are the same (listed in unchanged), and otherwise planned
// as the continuation of its own set in place of the old train when that is its set's last
// (plan.Cars then starts with it; the caller deletes the old train first), else refused.
// Trains that cannot be planned (no number, a number twice, outside the day) are listed in
// refused. Fails, changing nothing, when fewer than two of the file's stations lie on the line.
TStatus PlanOudImport(TBrdData& brd, const TOudDoc& doc, const TOudImportOptions& options,
                      TLinePlan& plan, std::vector<std::string>& notes,
                      std::vector<TTrainEntry>& refused,
                      std::vector<std::string>* unchanged = nullptr);

// Plans and enters the import on the board's current line; every train of the file that the
// line then runs (entered, or kept unchanged) takes the file's note, and the line and the active
// timetable take the file's comments when it has them. The board changes in memory only;
// the caller saves it when the user confirms the report, or removes report.NewCars otherwise.
// On failure (a stop through Progress included) the train sets it made are removed again.
TStatus ImportOud(TBrdData& brd, const TOudDoc& doc, const TOudImportOptions& options,
                  TOudImportReport& report);

// Removes the train sets an import made and puts back the notes it replaced (when the user does
// not confirm it).
void UndoOudImport(TBrdData& brd, const TOudImportReport& report);

}  // namespace ramvel
