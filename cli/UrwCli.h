// ramvel-cli: the command-line companion. Every command takes its arguments after the command
// name, writes UTF-8 to out and one-line reasons to err, and returns the exit status:
// 0 success, 1 problems found, 2 the board or an argument cannot be used.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ramvel::cli {

using TArgs = std::vector<std::string>;

int CliMain(const TArgs& args, std::ostream& out, std::ostream& err);

int RunCheck(const TArgs& args, std::ostream& out, std::ostream& err);
int RunRoutes(const TArgs& args, std::ostream& out, std::ostream& err);
int RunLocate(const TArgs& args, std::ostream& out, std::ostream& err);
int RunTimetable(const TArgs& args, std::ostream& out, std::ostream& err);

}  // namespace ramvel::cli
