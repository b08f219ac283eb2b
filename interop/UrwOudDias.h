// What an OuDia file holds beyond one timetable's trains, carried onto a board: every timetable
// (Dia) as a timetable of the board, the file's kinds as the board's kind table, and the check
// that every text of the file can be kept in the board's Shift-JIS files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "interop/UrwOudFile.h"
#include "interop/UrwOudImport.h"

namespace ramvel {

// Refuses the first text the board would keep (line, station, kind and timetable names, train
// numbers, names, numbers in the name and notes, the comment) that has no Shift-JIS form,
// naming the train (or station, kind, timetable) and the field.
TStatus CheckOudShiftJis(const TOudDoc& doc);

// The name of a kind of the file as the board keeps it: without blanks inside, since a train's
// kind text is split at its spaces.
std::string BoardKindName(const TOudKind& kind);
// The one of the six train types a kind of the file is taken as: its own name when it is one,
// else by the words it contains (特 特急, 急 急行, 快 快速, 回 回送, 準急), else 普通.
std::string NearestTrainType(const std::string& kindName);
// The file's kinds as a kind table, each with its colour and nearest type; empty when they are
// exactly the built-in kinds (names and colours), so such a board keeps no table.
std::vector<TKindDef> OudKindTable(const TOudDoc& doc);
// Adds the file's kinds that the board's table lacks (by name); the built-in kinds first when
// the board has no table yet. notes receives one line per kind added.
TStatus MergeOudKinds(TBrdData& brd, const TOudDoc& doc, std::vector<std::string>& notes);

// The document with only its timetable k.
TOudDoc OudWithOneDia(const TOudDoc& doc, size_t k);
// The timetable of that name in the file (without regard to case); -1 when none.
int32_t FindOudDia(const TOudDoc& doc, const std::string& name);
// The names of the file's timetables joined by "、".
std::string OudDiaNames(const TOudDoc& doc);

// One timetable of the file as imported.
struct TOudDiaReport {
  std::string Name;  // the board's timetable it went into
  TOudImportReport Report;
};

// Imports every timetable of the file onto a new board whose current line is made: the first
// into the board's own timetable, which takes its name, every other into a further timetable of
// its name (a name that cannot be a folder name or is taken gets "ダイヤ" + its number, noted).
// The kind table is set from the file first. reports receives one entry per timetable.
TStatus ImportOudAllDias(TBrdData& brd, const TOudDoc& doc, const TOudImportOptions& options,
                         std::vector<TOudDiaReport>& reports);

// Picks the file's timetable for an import onto the board's active timetable: the one named
// wanted when given, else the one named as the active timetable, else the first. note receives
// a line when the file has others.
TStatus PickOudDia(const TBrdData& brd, const TOudDoc& doc, const std::string& wanted, size_t& k,
                   std::string& note);

}  // namespace ramvel
