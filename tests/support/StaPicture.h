// Stations for tests drawn as readable cell pictures and built through the designer model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "model/UrwStaObj.h"
#include "station_designer/UrwStaEditor.h"
#include "station_designer/UrwStaPanel.h"
#include "station_designer/UrwStaPicture.h"

namespace ramvel::test {

using ramvel::TStaPicture;

// A valid station with two entries on each side: platform tracks 1, 2 and 3 in rows 10 to 12 of
// column 9 between side platforms in rows 9 and 13; rows 10 and 11 run through, a turnout in
// column 4 leads from row 11 down to row 12, and a merging turnout in column 17 leads back.
TStaPicture ThreeHomeSta(const std::string& name = "THREE");

// The folder of the repository's program data (rw_panel.txt, rw_tbl.txt).
std::string DataDir();
// The designer's pieces from DataDir(); a test fails when they cannot be read.
const TStaPanels& StdPanels();

// Builds the picture in ed (opened on brdDir with the station counter idSta) as a user would:
// entry counts, crossings, name, then the pieces. Fails, naming the picture cell, when a piece
// cannot be placed.
TStatus DesignSta(const TStaPicture& pic, TStaEditor& ed, const std::string& brdDir = "",
                  int32_t idSta = 0);
// Designs the picture, checks it and compiles its geometry; out gets the station, IsErr as the
// check found it (the geometry is compiled even when the check finds errors).
TStatus MakeSta(const TStaPicture& pic, TStaObj& out);
// Designs the picture and saves it as a new station into brdDir/station through the designer,
// which compiles it and hands out the serial: idSta is the board's counter before and after.
// A station with errors, or any message the designer shows, fails with that message.
TStatus SavePictureSta(const TStaPicture& pic, const std::string& brdDir, int32_t& idSta);

// Designs and compiles the picture, gives it identifier id and places it on the board from grid
// point (gx, gy) eleven cells to the right, joined to nothing yet (join it with
// TBrdData::RailReg). Null, after a test failure naming the problem, when it cannot be built.
TStaObj* PlacePictureSta(TBrdData& brd, const TStaPicture& pic, int32_t id, int32_t gx,
                         int32_t gy);

}  // namespace ramvel::test
