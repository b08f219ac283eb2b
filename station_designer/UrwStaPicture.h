// Station designs written as cell pictures (rows of piece numbers) and built through the
// designer model as a user would: entry counts, crossings, name, then the pieces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/UrwStaObj.h"
#include "station_designer/UrwStaEditor.h"
#include "station_designer/UrwStaPanel.h"

namespace ramvel {

// One picture line per matrix row from FirstRow down. Each line lists the 20 cells of its row
// separated by blanks: a piece number puts that piece's first cell there, "." (also "-" or "|")
// marks an empty cell or one that a piece placed elsewhere covers. "14:3" places a platform
// track and gives it the number 3. Pieces are placed line by line, left to right, with the
// designer's placing rule, so a platform track without a number takes the next free one.
struct TStaPicture {
  std::string Name = "PIC";
  int32_t FirstRow = 1;
  std::vector<std::string> Rows;
  int32_t Ent[2] = {1, 1};  // entry counts of side 0 and side 1
  TEntCrs Crs[2];           // crossings, set through the crossing dialog's clicks
};

// Builds the picture in ed (opened on brdDir with the station counter idSta). Fails, naming the
// picture cell, when a piece cannot be placed.
TStatus DesignPictureSta(const TStaPicture& pic, const TStaPanels& panels, TStaEditor& ed,
                         const std::string& brdDir = "", int32_t idSta = 0);
// Designs the picture, checks it and compiles its geometry; out gets the station, IsErr as the
// check found it.
TStatus MakePictureSta(const TStaPicture& pic, const TStaPanels& panels, TStaObj& out);
// Designs the picture and saves it as a new station into brdDir/station through the designer,
// which compiles it and hands out the serial: idSta is the board's counter before and after.
// A station with errors, or any message the designer shows, fails with that message.
TStatus SavePictureSta(const TStaPicture& pic, const TStaPanels& panels,
                       const std::string& brdDir, int32_t& idSta);

}  // namespace ramvel
