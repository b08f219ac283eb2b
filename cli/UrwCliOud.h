// The OuDia commands of ramvel-cli: a line's timetable written as .oud/.oud2, and an OuDia file
// read onto a line of a board.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "interop/UrwOudBoard.h"

namespace ramvel::cli {

inline constexpr const char* kExportOudHelp =
    "ramvel-cli export-oud BOARD LINE OUT.oud|OUT.oud2 [--dia NAME]\n"
    "  Writes the timetable of LINE as an OuDia file: .oud (Shift-JIS, times to the minute,\n"
    "  seconds dropped) or .oud2 (OuDiaSecond, UTF-8, seconds and platforms kept). Stations in\n"
    "  line order, the board's kinds with their colours, one timetable named as the board's\n"
    "  (--dia NAME: its timetable NAME), down trains under Kudari, up trains under Nobori.\n"
    "  Prints what the format could not hold, one line each.\n"
    "  Example: ramvel-cli export-oud data/boards/Sample 本線 honsen.oud2\n";

inline constexpr const char* kImportOudHelp =
    "ramvel-cli import-oud BOARD LINE FILE [--dia NAME] [--apply] [--delete-missing] [--turn MIN]\n"
    "  Reads the OuDia file FILE (.oud or .oud2) onto LINE of the board: stations matched by\n"
    "  name in line order (or reversed), kinds by name (else the nearest of the six, the\n"
    "  file's name kept as nickname), trains chained into train sets (a train is continued by\n"
    "  the next one leaving its terminal the other way at least MIN minutes later, default 5;\n"
    "  otherwise a new set stabled where it starts) and entered section by section through\n"
    "  the diagram editor's checks. Prints one line per train: on time, late by how much and\n"
    "  why, or refused with the reason.\n"
    "  The file's timetable named as the board's active one (else its first) is read into the\n"
    "  board's own timetable; --dia NAME reads the file's timetable NAME into the board's\n"
    "  timetable NAME, made when the board has none. The file's kinds the board lacks are\n"
    "  added to its kind table. A text without a Shift-JIS form is refused before anything.\n"
    "  A train whose number the board has is kept when its times are the same, else its\n"
    "  steps are replaced (only the last train of a set can be);\n"
    "  --delete-missing deletes the line's trains the file does not have. The totals count\n"
    "  unchanged, updated, added, deleted and refused trains. Progress goes to stderr (a bar on\n"
    "  a terminal, else a line per 5 %); SIGINT or SIGTERM stops it, changing nothing (exit\n"
    "  130). The board is saved only with --apply.\n"
    "  Exit 1 when a train is refused or the file cannot be read.\n"
    "ramvel-cli import-oud --new-board FOLDER FILE [--turn MIN]\n"
    "  Makes a new board in FOLDER (missing or empty) from FILE: the stations along a straight\n"
    "  line on land, spaced by the fastest train's running times, each with as many platform\n"
    "  tracks as trains stand there at once (at least two), double track between them, one\n"
    "  line, and every train entered as above. Every timetable of the file becomes a timetable\n"
    "  of the board (the first the board's own, the others under dia/), and the file's kinds\n"
    "  with their colours its kind table. Prints the stations and the same report.\n"
    "  Example: ramvel-cli import-oud data/boards/Sample 本線 honsen.oud2 --apply\n";

// args are the words after the command name. Exit status: 0 every train entered (and saved
// with --apply), 1 a train refused, the file unreadable or the save failed, 2 the board or an
// argument cannot be used.
int RunImportOud(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// args are the words after the command name. Exit status: 0 written, 1 the file cannot be
// written, 2 the board or an argument cannot be used.
int RunExportOud(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Makes a new board in folder from doc, shared by the OuDia and GTFS commands: progress on err,
// SIGINT and SIGTERM stop it leaving nothing behind (exit 130); preface, the report and a closing
// line on out. Exit 0 when every train entered, 1 when one was refused or the board not made.
int MakeBoardFromDoc(const TStaPanels& panels, const TOudDoc& doc, const std::string& folder,
                     int32_t turnMin, const std::vector<std::string>& preface, std::ostream& out,
                     std::ostream& err);

}  // namespace ramvel::cli
