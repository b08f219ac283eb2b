// What the commands of ramvel-cli share: opening a board by its folder path, finding stations
// and lines by name, reading times.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel::cli {

// A board read from its folder. Messages that reading shows (stations left out) are kept.
struct TOpenBoard {
  TBrdData Brd;
  std::string Folder;              // the board folder as given
  std::vector<std::string> Notes;  // messages shown while reading
};

// The timetable named by --dia for the command being run; empty: the board's own.
void SetDiaArg(const std::string& name);
// Makes the timetable named by --dia active; false after a line to err naming the board's
// timetables.
bool UseDiaArg(TBrdData& brd, std::ostream& err);

// The folder above a board and the board's name, from a path as typed ("B", "./B/", ".").
void SplitBoardPath(const std::string& board, std::string& root, std::string& name);

// Reads the board at path with the timetable named by --dia active; on failure writes one line
// to err and returns null.
std::unique_ptr<TOpenBoard> OpenBoard(const std::string& path, std::ostream& err);

// The station of that name, compared without regard to case; null after a line to err.
TStaObj* FindStaByName(TBrdData& brd, const std::string& name, std::ostream& err);

// The line files of the board folder as they are spelt on disk, sorted by name.
std::vector<std::string> LineNames(const std::string& folder);
// The line of that name (without regard to case); empty after a line to err when there is none.
std::string FindLineName(const std::string& folder, const std::string& name, std::ostream& err);
// Makes the line of that name (without regard to case) the board's current line and reads its
// file; false after a line to err.
bool OpenLine(TOpenBoard& board, const std::string& name, std::ostream& err);

// A time as the program takes it ("630", "1830.15"); false after a line to err.
bool ParseTimeArg(const std::string& text, int32_t& t, std::ostream& err);
// An integer argument; false after a line to err naming what.
bool ParseIntArg(const std::string& text, const char* what, int32_t& v, std::ostream& err);

// The folder of the station designer's piece files, found as the desktop program finds it.
std::string PieceDir();

// "12345" tenths as "1234.5".
std::string TenthsText(const std::string& tenths);

}  // namespace ramvel::cli
