// The OuDia commands of ramvel-cli: a line's timetable written as .oud/.oud2, and an OuDia file
// read onto a line of a board.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ramvel::cli {

inline constexpr const char* kExportOudHelp =
    "ramvel-cli export-oud BOARD LINE OUT.oud|OUT.oud2\n"
    "  Writes the timetable of LINE as an OuDia file: .oud (Shift-JIS, times to the minute,\n"
    "  seconds dropped) or .oud2 (OuDiaSecond, UTF-8, seconds and platforms kept). Stations in\n"
    "  line order, the six train types as kinds, down trains under Kudari, up trains under\n"
    "  Nobori. Prints what the format could not hold, one line each.\n"
    "  Example: ramvel-cli export-oud data/boards/Sample 本線 honsen.oud2\n";

// args are the words after the command name. Exit status: 0 written, 1 the file cannot be
// written, 2 the board or an argument cannot be used.
int RunExportOud(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ramvel::cli
