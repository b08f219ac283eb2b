// The bulk timetable commands of ramvel-cli (shift, repeat) and what they share: the board read
// as the program opens it, the line the edited trains run on, the edit, and the program's save.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "timetable/UrwDiaBulk.h"

namespace ramvel::cli {

inline constexpr const char* kShiftHelp =
    "ramvel-cli shift BOARD TRAIN MINUTES [--following]\n"
    "  Moves train TRAIN by MINUTES (negative: earlier) and, with --following, every later\n"
    "  train of its train set, checking every section as the diagram editor does. When a\n"
    "  section would meet another train nothing changes and the reason names the train and\n"
    "  the place (exit 1); otherwise the board is saved with the program's own save.\n"
    "  Example: ramvel-cli shift /tmp/S 3001 2 --following\n"
    "  (on a copy made by ramvel-cli save data/boards/Sample --to /tmp/S)\n";

inline constexpr const char* kRepeatHelp =
    "ramvel-cli repeat BOARD CARSET K EVERY UNTIL INCREMENT\n"
    "  Repeats the last K trains of train set CARSET, which must bring it back to where the\n"
    "  first of them starts, every EVERY minutes while a copy leaves by UNTIL (\"2300\" or\n"
    "  \"23:00\"), each copy's train numbers INCREMENT higher; each copy is checked as the\n"
    "  diagram editor checks a train. Stops at the first copy that cannot be entered and says\n"
    "  how many were made and why it stopped. Saves the board when at least one copy was made;\n"
    "  exit 1 when none was.\n"
    "  Example: ramvel-cli repeat /tmp/S 1 2 60 2700 1000\n"
    "  (on a copy made by ramvel-cli save data/boards/Sample --to /tmp/S)\n";

int RunShift(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunRepeat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Reads the board, makes current the first line of the board that carries the train trainOf
// names (empty: none, after a line to err), runs edit on it and saves the board when the edit
// changed it. The edit's message goes to out when it changed the board, else to err. Exit
// status: 0 saved, 1 refused or the save failed, 2 the board cannot be read or no line carries
// the train.
int RunBulkOnLine(const std::string& board,
                  const std::function<std::string(TBrdData&, std::ostream&)>& trainOf,
                  const std::function<TBulkResult(TBrdData&)>& edit, std::ostream& out,
                  std::ostream& err);

}  // namespace ramvel::cli
