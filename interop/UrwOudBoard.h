// A new board made from an OuDia timetable: a terrain of land, the file's stations along a
// straight line, each designed through the station designer with the platform tracks it needs,
// double track between them, one line, and the trains entered by the OuDia import.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interop/UrwOudDias.h"
#include "interop/UrwOudImport.h"
#include "station_designer/UrwStaPanel.h"

namespace ramvel {

// What the board is made of, worked out from the file alone.
struct TOudBoardPlan {
  std::vector<std::string> Names;  // the stations in line order
  std::vector<int32_t> RunSec;     // between station i and i + 1: the fastest train's time
  std::vector<int32_t> GapDots;    // rail length between station i's end and i + 1's start
  std::vector<int32_t> Standing;   // the most trains standing at station i at once
  // Platform tracks per direction of station i's design: room for the most standing at once
  // and one more, as the automatic entry keeps a platform a little before and after a train.
  std::vector<int32_t> PerSide;
  int32_t Kmh = 0;  // the top speed of the train sets the spacing is made for
  std::vector<std::string> Notes;
};

// Plans the board for every timetable of doc. Fails, naming the station, when the file has
// fewer than two stations or a name twice or a name empty.
TStatus PlanOudBoard(const TOudDoc& doc, const TOudImportOptions& options, TOudBoardPlan& plan);

struct TOudBoardReport {
  TOudBoardPlan Plan;
  std::vector<TOudDiaReport> Dias;  // one per timetable of the file, in its order
  std::string LineName;

  // Trains refused over all timetables.
  int32_t Refused() const;

  // The notes of the plan, one line per station, and the import's report.
  std::vector<std::string> Lines() const;
};

// Makes the board in folder, which must be missing or empty. Everything is written into a new
// folder beside it that is renamed to folder only once the board is saved, so a failure leaves
// folder as it was. Trains the import refuses or enters late are only reported.
TStatus MakeOudBoard(const TStaPanels& panels, const TOudDoc& doc, const std::string& folder,
                     const TOudImportOptions& options, TOudBoardReport& report);

}  // namespace ramvel
