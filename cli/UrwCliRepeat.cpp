// ramvel-cli repeat: a train set's round trip repeated at a fixed interval.
#include "cli/UrwCliBoard.h"
#include "cli/UrwCliBulk.h"

namespace ramvel::cli {

namespace {

// The number of the train set's last train; empty, after a line to err, when there is none.
std::string LastTrainOf(TBrdData& brd, int32_t carNo, std::ostream& err) {
  const TCarObj* car = brd.FindCar(carNo, "");
  const THeaderHit h = car ? car->PrevHeader(car->TmTbl.Count(), false) : THeaderHit{};
  if (!h.Found) err << "ramvel-cli: the board has no train set " << carNo << " with a train\n";
  return h.Found ? h.Txt : "";
}

}  // namespace

int RunRepeat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 6) {
    err << "ramvel-cli: repeat needs BOARD CARSET K EVERY UNTIL INCREMENT\n";
    return 2;
  }
  TRepeatOrder order;
  if (!ParseIntArg(args[1], "CARSET", order.CarNo, err) ||
      !ParseIntArg(args[2], "K", order.K, err) ||
      !ParseIntArg(args[3], "EVERY", order.Every, err) ||
      !ParseIntArg(args[5], "INCREMENT", order.Increment, err)) {
    return 2;
  }
  if (!ParseClock(args[4], order.Until)) {
    err << "ramvel-cli: " << args[4] << " is not a time from 4:00 to 27:00\n";
    return 2;
  }
  return RunBulkOnLine(
      args[0], [&](TBrdData& brd, std::ostream& e) { return LastTrainOf(brd, order.CarNo, e); },
      [&](TBrdData& brd) { return RepeatTrains(brd, order); }, out, err);
}

}  // namespace ramvel::cli
