// The sample's station designs, each written on the designer's grid (TGridPic) and built through
// the designer model, which checks it.
#include "station_designer/UrwStaGridPic.h"
#include "tools/MkSample.h"

namespace ramvel::mksample {

namespace {

// The panel's pieces under the short names these designs are written with.
constexpr int32_t kStraight = kPieceStraight, kDown = kPieceDown, kUp = kPieceUp;
constexpr int32_t kSplitDown = kPieceSplitDown, kSplitUp = kPieceSplitUp;
constexpr int32_t kMergeUp = kPieceMergeUp, kMergeDown = kPieceMergeDown;
constexpr int32_t kCrossDown = kPieceCrossDown, kCrossUp = kPieceCrossUp;
constexpr int32_t kScissors = kPieceScissors, kThreeWay = kPieceThreeWay;

// The ring's first station and the main line's terminus: ring tracks 1 and 4 round two island
// platforms shared with the main line's bays 2 and 3, which a scissors crossover joins to both
// main-line tracks. On side 1 the ring's inbound track flies over the main line's two tracks
// (grid-edge position 4 arrives at slot 2), so that slots 1-2 face the ring and 3-4 the main line.
TStaPicture Chuo() {
  TGridPic g;
  g.Home(7, 1).Platform(8).Home(9, 2).Home(10, 3).Platform(11).Home(12, 4);
  // Side 0: the ring only.
  g.Put(1, 10, kStraight).Put(2, 9, kUp).Put(3, 8, kUp).Put(4, 7, kUp).Run(7, 5, 8);
  g.Put(1, 11, kStraight).Put(2, 11, kDown).Run(12, 3, 8);
  // Side 1: the ring outwards, the main line's bays through the scissors, the ring inwards.
  g.Put(13, 7, kDown).Put(14, 8, kStraight).Put(15, 8, kDown).Run(9, 16, 20);
  g.Put(13, 9, kStraight).Put(14, 9, kDown).Put(15, 10, kStraight).Put(16, 10, kScissors);
  g.Run(10, 17, 20);
  g.Put(13, 10, kDown).Run(11, 14, 15).Run(11, 17, 20);
  g.Run(12, 13, 20);
  return g.Pic("中央", 2, 4, TEntCrs{4, 2, 1});
}

// A ring station where the harbour line ends: two through tracks and two bays on side 0 behind a
// scissors crossover.
TStaPicture Higashi() {
  TGridPic g;
  g.Platform(8).Home(9, 1).Home(10, 2).Platform(11).Home(12, 3).Home(13, 4).Platform(14);
  g.Run(9, 1, 8).Run(10, 1, 8);
  g.Run(11, 1, 1).Run(12, 1, 1).Put(2, 11, kScissors).Run(11, 3, 6).Run(12, 3, 5);
  g.Put(6, 12, kDown).Put(7, 11, kDown).Run(13, 7, 8).Run(12, 8, 8);
  g.Run(9, 13, 13).Put(14, 9, kDown).Run(10, 15, 20);
  g.Put(13, 10, kDown).Run(11, 14, 20);
  return g.Pic("東町", 4, 2);
}

// An island platform with a loop on the north side where a train set stays overnight.
TStaPicture Kitano() {
  TGridPic g;
  g.Platform(7).Home(8, 1).Home(9, 2).Platform(10).Home(11, 3);
  g.Run(10, 1, 2).Put(3, 9, kUp).Put(4, 8, kSplitUp).Run(8, 5, 8).Run(9, 5, 8);
  g.Run(11, 1, 8);
  g.Run(8, 13, 16).Run(9, 13, 16).Put(17, 8, kMergeDown).Put(18, 9, kDown).Run(10, 19, 20);
  g.Run(11, 13, 20);
  return g.Pic("北野", 2, 2);
}

// Two side platforms and a crossover at each end for trains turned short.
TStaPicture Shinmachi() {
  TGridPic g;
  g.Platform(9).Home(10, 1).Home(11, 2).Platform(12);
  g.Run(10, 1, 4).Run(11, 1, 4).Put(5, 10, kCrossDown).Run(10, 6, 8).Run(11, 6, 8);
  g.Run(10, 13, 15).Run(11, 13, 15).Put(16, 10, kCrossUp).Run(10, 17, 20).Run(11, 17, 20);
  return g.Pic("新町", 2, 2);
}

// A side platform and an island, with a loop on the slot-2 side.
TStaPicture Nishi() {
  TGridPic g;
  g.Platform(8).Home(9, 1).Platform(10).Home(11, 2).Home(12, 3).Platform(13);
  g.Run(10, 1, 2).Put(3, 9, kUp).Run(9, 4, 8);
  g.Run(11, 1, 3).Put(4, 11, kSplitDown).Run(11, 5, 8).Run(12, 5, 8);
  g.Run(9, 13, 17).Put(18, 9, kDown).Run(10, 19, 20);
  g.Run(11, 13, 16).Run(12, 13, 16).Put(17, 11, kMergeUp).Run(11, 18, 20);
  return g.Pic("西町", 2, 2);
}

// Two islands, each between a main track and an outer loop.
TStaPicture Honmachi() {
  TGridPic g;
  g.Home(8, 1).Platform(9).Home(10, 2).Home(11, 3).Platform(12).Home(13, 4);
  g.Run(10, 1, 2).Run(11, 1, 2).Put(3, 9, kSplitUp).Put(3, 11, kSplitDown);
  g.Put(4, 8, kUp).Run(10, 4, 8).Run(11, 4, 8).Put(4, 12, kDown).Run(8, 5, 8).Run(13, 5, 8);
  g.Run(8, 13, 16).Run(10, 13, 17).Run(11, 13, 17).Run(13, 13, 16);
  g.Put(17, 8, kDown).Put(17, 12, kUp).Put(18, 9, kMergeDown).Put(18, 11, kMergeUp);
  g.Run(10, 19, 20).Run(11, 19, 20);
  return g.Pic("本町", 2, 2);
}

// The passing station of the main line: the two main tracks run straight through without
// platforms, the stopping trains wait on outer loops at side platforms; a crossover at each end
// joins the main tracks.
TStaPicture Kawabe() {
  TGridPic g;
  g.Platform(7).Home(8, 1).Home(10, 2).Home(11, 3).Home(13, 4).Platform(14);
  g.Run(10, 1, 2).Run(11, 1, 2).Put(3, 9, kSplitUp).Put(3, 11, kSplitDown);
  g.Put(4, 8, kUp).Put(4, 12, kDown).Run(8, 5, 8).Run(13, 5, 8);
  g.Run(10, 4, 5).Run(11, 4, 5).Put(6, 10, kCrossUp).Run(10, 7, 8).Run(11, 7, 8);
  g.Run(8, 13, 16).Run(13, 13, 16).Run(10, 13, 14).Run(11, 13, 14);
  g.Put(15, 10, kCrossDown).Run(10, 16, 17).Run(11, 16, 17);
  g.Put(17, 8, kDown).Put(17, 12, kUp).Put(18, 9, kMergeDown).Put(18, 11, kMergeUp);
  g.Run(10, 19, 20).Run(11, 19, 20);
  return g.Pic("川辺", 2, 2);
}

// One island platform.
TStaPicture Hamada() {
  TGridPic g;
  g.Home(9, 1).Platform(10).Home(11, 2);
  g.Run(10, 1, 2).Put(3, 9, kUp).Run(9, 4, 8).Run(11, 1, 8);
  g.Run(9, 13, 17).Put(18, 9, kDown).Run(10, 19, 20).Run(11, 13, 20);
  return g.Pic("浜田", 2, 2);
}

// The harbour terminus: three islands and six tracks. The main line comes in on side 0 through a
// scissors crossover and a three-way turnout to tracks 1-4; the harbour line on side 1 through a
// second scissors crossover to tracks 5 and 6.
TStaPicture Minato() {
  TGridPic g;
  g.Home(7, 1).Platform(8).Home(9, 2).Home(10, 3).Platform(11).Home(12, 4);
  g.Home(14, 5).Platform(15).Home(16, 6);
  g.Run(10, 1, 1).Run(11, 1, 1).Put(2, 10, kScissors).Run(10, 3, 3).Put(3, 11, kDown);
  g.Put(4, 9, kThreeWay).Run(12, 4, 8);
  g.Put(5, 8, kUp).Put(6, 7, kUp).Run(7, 7, 8);
  g.Run(10, 5, 6).Put(7, 9, kUp).Run(9, 8, 8);
  g.Run(11, 5, 7).Put(8, 10, kUp);
  g.Run(10, 20, 20).Run(11, 20, 20).Put(19, 10, kScissors).Run(10, 18, 18);
  g.Put(18, 11, kUp).Put(17, 10, kUp).Put(17, 12, kUp).Put(16, 11, kUp).Put(16, 13, kUp);
  g.Put(15, 12, kUp).Put(15, 14, kUp).Put(14, 13, kUp).Put(14, 15, kUp);
  g.Run(14, 13, 13).Run(16, 13, 13);
  return g.Pic("港", 2, 2);
}

}  // namespace

std::vector<TStaPicture> SampleStations() {
  return {Chuo(),     Higashi(), Kitano(), Shinmachi(), Nishi(),
          Honmachi(), Kawabe(),  Hamada(), Minato()};
}

}  // namespace ramvel::mksample
