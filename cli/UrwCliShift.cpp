// ramvel-cli shift: a train (and the later trains of its train set) moved in time.
#include "cli/UrwCliBoard.h"
#include "cli/UrwCliBulk.h"

namespace ramvel::cli {

int RunShift(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const bool following = args.size() == 4 && args[3] == "--following";
  if (args.size() != 3 && !following) {
    err << "ramvel-cli: shift needs BOARD TRAIN MINUTES [--following]\n";
    return 2;
  }
  int32_t minutes = 0;
  if (!ParseIntArg(args[2], "MINUTES", minutes, err)) return 2;
  const std::string trNo = args[1];
  return RunBulkOnLine(
      args[0], [&](TBrdData&, std::ostream&) { return trNo; },
      [&](TBrdData& brd) { return ShiftTrain(brd, trNo, minutes, following); }, out, err);
}

}  // namespace ramvel::cli
