// Building a board as a user would from the board window: a terrain written as a bitmap,
// stations placed and joined by runs of rails, and lines made with the line editor's
// operations. Shared by the sample generator and the board made from an OuDia file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "engine/UrwBrdView.h"
#include "foundation/UrwStatus.h"

namespace ramvel {

// A run of rails with nTracks tracks from end FromSide of station From to end ToSide of station
// To, one straight rail per step (terrain dots). Runs are laid in the order given, which decides
// the entry slots a run takes at a station end shared with another run.
struct TRailRun {
  std::string From;
  int32_t FromSide = 0;
  std::vector<TPoint> Steps;
  std::string To;
  int32_t ToSide = 0;
  int32_t Tracks = 2;
};

// A line as the line editor builds it: its stations in order, the first repeated for a ring.
struct TLineDef {
  std::string Name;
  std::vector<std::string> Stations;
};

// Writes the terrain as an uncompressed 24-bit BMP.
TStatus WriteBmp24(const TLandGrid& land, const std::string& path);

// The first station of the board named name; null when there is none.
TStaObj* StaByName(TBrdData& brd, const std::string& name);

// Lays the run; fails naming both stations when one is missing or the steps do not end at the
// station's end.
TStatus LayRailRun(TBrdData& brd, const TRailRun& run);

// Makes the line with the line editor's operations (every station a neighbour of the one
// before) and writes its file into folder.
TStatus BuildLine(TBrdData& brd, const std::string& folder, const TLineDef& def);

}  // namespace ramvel
