// Train sets with timetables made in code on a board, for tests of the diagram editor's model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "model/UrwCarObj.h"

namespace ramvel::test {

// One step of a train as it runs: station id, platform, arrival and departure (-1 none).
struct TStepSpec {
  int32_t Sta = 0;
  int32_t Home = 1;
  int32_t Arr = -1;
  int32_t Dep = -1;
};

// Shorthands for the usual steps.
TStepSpec Origin(int32_t sta, int32_t dep, int32_t home = 1);  // starts without standing time
TStepSpec Stop(int32_t sta, int32_t arr, int32_t dep, int32_t home = 1);
TStepSpec Pass(int32_t sta, int32_t t, int32_t home = 1);
TStepSpec Term(int32_t sta, int32_t arr, int32_t home = 1);  // arrives and stays

// The step as it is stored in a timetable (side flag 0).
TTmTbl StepOf(const TStepSpec& step, const std::string& txt = "");

// Registers a new train set of 4 cars at 72 km/h stabled at platform home of station sta and
// returns it (owned by the board).
TCarObj& AddCar(TBrdData& brd, int32_t sta, int32_t home = 1);

// Appends a train to the train set's timetable (the first step carries header, "number,kind")
// and registers its number on the board.
void AddTrain(TBrdData& brd, TCarObj& car, const std::string& header,
              const std::vector<TStepSpec>& steps);

// The line as the board lists it: station ids in decimal.
std::vector<std::string> LineOf(const std::vector<int32_t>& staIds);

}  // namespace ramvel::test
