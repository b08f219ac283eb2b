// The "diagram" and "platforms" commands of ramvel-cli: the time-space diagram of a line and
// the platform occupancy chart of a station, written as PNG or SVG.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ramvel::cli {

inline constexpr const char* kDiagramHelp =
    "ramvel-cli diagram BOARD LINE OUT.(png|svg) [--from T] [--to T] [--dir down|up|both]\n"
    "                   [--size WxH]\n"
    "  Draws the time-space diagram of LINE: stations down the left at their rail distances,\n"
    "  time across from T to T (default 400 to 2700, \"630\" or \"6:30\"), every train a line\n"
    "  coloured by its type, conflicts (two trains in one block, platform track or turnout at\n"
    "  once) in red with both train numbers. --dir shows one direction only; --size sets the\n"
    "  picture in pixels (default 1600x900). Prints one line per conflict.\n"
    "  Example: ramvel-cli diagram data/boards/Sample 本線 main.png --from 600 --to 1000\n";

inline constexpr const char* kPlatformsHelp =
    "ramvel-cli platforms BOARD STATION OUT.(png|svg) [--from T] [--to T]\n"
    "  Draws the platform occupancy chart of STATION over every line that passes it: one row\n"
    "  per track with bookings (platforms first), a bar per train or stabled train set \"[n]\",\n"
    "  conflicts in red with both train numbers. Prints one line per conflict.\n"
    "  Example: ramvel-cli platforms data/boards/Sample 川辺 kawabe.svg --from 700 --to 900\n";

// args are the words after the command name. Exit status: 0 the picture is written, 1 the board
// or the picture cannot be used, 2 a bad argument.
int RunDiagram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunPlatforms(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ramvel::cli
