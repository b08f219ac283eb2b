// The state of the rail connection dialog without a window (TRailConnState): which entries of
// one station side a rail's tracks take, the clicks that extend or shorten that run, the
// picture's geometry and the writing of the new connections.
#pragma once

#include <cstdint>

#include "foundation/UrwCmnDef.h"

namespace ramvel {

class TStaObj;
class TRailObj;

// How an entry of the station side is shown and what a click on it does.
enum class TRailConnClass : uint8_t {
  kRunEnd = 0,    // an end of the run (rail entry 1 or the highest): a click frees it
  kRunNext = 1,   // free, beside the run: a click adds it to the run
  kRunInner = 2,  // inside the run
  kOther = 3,     // taken by another object
  kFree = 4,      // free, away from the run
};

class TRailConnState {
 public:
  // Reads the entries of side staSide of the station; rail meets that side at its RailSide.
  void Open(const TStaObj& sta, const TRailObj& rail, int32_t staSide);

  int32_t StaSide = 0, RailSide = 0;
  int32_t N = 0;  // entries of the station side
  // Per station entry 1..N: -1 taken by another object, 0 free, a >= 1 joined to rail entry a.
  int32_t A[kMaxSlots + 2] = {};
  bool Changed = false;  // OK is enabled from the first change on

  TRailConnClass ClassOf(int32_t i) const;
  // A click on entry i; true when it changed the run.
  bool Click(int32_t i);
  // The highest rail entry of the run: the rail's new track count.
  int32_t Tracks() const;
  // Writes the run into the station side and the rail (both sides' entry counts).
  void Apply(TStaObj& sta, TRailObj& rail) const;

  // ---- The picture: M is the position of the station side's middle, in pixels. ----

  void SetAngles(float staRote, float railRote) {
    roteS_ = staRote;
    roteR_ = railRote;
  }
  TPoint EntryPos(int32_t i, TPoint m) const;
  // Where the white line from entry i into the station ends.
  TPoint StaLineEnd(int32_t i, TPoint m) const;
  // Where the white line along the rail from entry i ends.
  TPoint RailLineEnd(int32_t i, TPoint m) const;
  // The first entry within 5 pixels of (x, y); 0 for none.
  int32_t EntryAt(int32_t x, int32_t y, TPoint m) const;

 private:
  bool InRun(int32_t i) const { return i >= 1 && i <= N && A[i] >= 1; }
  // The direction in which the run goes on from entry i: -1, +1, or 0 when it does not.
  int32_t RunSide(int32_t i) const;
  int32_t Far() const { return StaSide == 1 ? 300 : -300; }

  int32_t railId_ = 0;
  float roteS_ = 0, roteR_ = 0;
};

}  // namespace ramvel
