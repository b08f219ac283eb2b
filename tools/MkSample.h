// The sample board generator: its station designs, its layout on the terrain, its lines and the
// plan of its train sets, and the entry of every train through the diagram editor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdBuild.h"
#include "engine/UrwBrdData.h"
#include "engine/UrwBrdView.h"
#include "foundation/UrwCmnDef.h"
#include "station_designer/UrwStaPanel.h"
#include "station_designer/UrwStaPicture.h"
#include "timetable/UrwDiaAutoEntry.h"

namespace ramvel::mksample {

// ---- Stations (MkSampleStations.cpp) ----------------------------------------------------------

// The station designs of the sample, each a cell picture built through the designer model.
std::vector<TStaPicture> SampleStations();

// ---- Layout (MkSampleLayout.cpp) --------------------------------------------------------------

// A station placed from grid point Start along one of the eight station vectors (terrain dots).
struct TStaSite {
  std::string Name;
  TPoint Start;
  TPoint Vec;
};

std::vector<TStaSite> SampleSites();
std::vector<TRailRun> SampleRails();
std::vector<TLineDef> SampleLines();
// The terrain: pure white land, pure blue sea south of the coast.
TLandGrid SampleLand();

// Places the sites on the board (their station files must be in folder/station) and lays the
// rail runs. Fails naming the run or station that does not fit.
TStatus BuildLayout(TBrdData& brd, const std::string& folder);
// The placing rules a user meets: stations and rails start on land, never touch the coast or
// cross another object, bend by at most 23 degrees, and no two rails leave one end in parallel.
// One line per broken rule; empty when the layout is sound.
std::vector<std::string> CheckLayout(TBrdData& brd, const TLandGrid& land);
// Makes the lines with the line editor's operations and writes their files.
TStatus BuildLines(TBrdData& brd, const std::string& folder);

// ---- Plan (MkSamplePlan.cpp) -------------------------------------------------------------------

enum class TTrainClass { kLocal, kLimited, kExpress };  // 普通, 特急, 急行

// The plan types are the diagram editor's automatic entry's (TStopPlan, TTrainPlan, TCarPlan,
// TLinePlan).

// The plans of every line; the board's lines must have been made (BuildLines).
std::vector<TLinePlan> SamplePlans(TBrdData& brd);

// ---- Entry (MkSampleEntry.cpp) -----------------------------------------------------------------

// Opens each line in the diagram editor, creates its train sets and enters every train section
// by section. Fails naming the train that cannot be entered. late counts the trains that had to
// leave later than planned.
TStatus EnterTimetables(TBrdData& brd, const std::string& folder,
                        const std::vector<TLinePlan>& plans, int32_t& late);
// The problems `ramvel-cli check` would report for every line; empty when there are none.
std::vector<std::string> CheckLines(TBrdData& brd, const std::string& folder);

}  // namespace ramvel::mksample
