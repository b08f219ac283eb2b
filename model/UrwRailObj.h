// Rails between stations (TRailObj) with their file, the blocks of a line (TBlkObj), and the
// laying of a train's body along one rail track.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/UrwCmnDef.h"

namespace ramvel {

// The nominal length of a block, metres.
constexpr int32_t kBlkLenM = 648;

class TCarObj;

// A straight stretch of one or more parallel tracks; EntCount of both ends is the track count
// and EntConn[side][track] what each track end joins.
class TRailObj : public TBaseObj {
 public:
  TRailObj();

  // Seconds to run the rail at speed (m/s).
  float RunTime(float speed) const;
  int32_t GetConn(int32_t side, int32_t track) const;

  // Reads folder/<stem>.txt (letter case on disk does not matter). On failure the rail is left
  // exactly as it was and the message names "rail/<stem>.txt" and, where it applies, the key.
  TStatus LoadRail(const std::string& folder, const std::string& stem);
  // Takes what a record holds, as LoadRail reads it; all or nothing, the message naming the
  // record as display.
  TStatus ReadRec(const TextRec& rec, const std::string& display);
  // Writes folder/<Id>.txt, replacing the file only once the new content is safely written.
  TStatus SaveRail(const std::string& folder) const;
  // The rail file's record, as SaveRail writes it.
  TextRec MakeRec() const;
};

// Whether (x, y) lies within tol metres of the rail's centre line, and on which half.
TNearHit PtNearRail(const TRailObj& rail, int32_t x, int32_t y, int32_t tol);
// Whether the rail's centre line meets the segment q0-q1 (board metres); touching counts.
bool RailCrossesSeg(const TRailObj& rail, TPoint q0, TPoint q1);
// The screen point where track's end at side is drawn. With the object at that end given, the
// point is the very entry slot of that object the track joins; without it (or when the track
// does not lead to that object) it is the rail's own end of the track.
TPoint TrackEndPoint(const TRailObj& rail, int32_t track, int32_t side, const TBaseObj* other);

// Lays the part of a train set's body that lies on one rail track, appending points to
// car.BodyPts from the head backwards. pathCode is MakeEntCode(rail id, track, side) with side
// the end by which the train entered the track. rem is the body length still to lay (metres);
// 0 on entry means the head is on this track, and BodyPts is started afresh. atEnd1 and atEnd0
// are the objects joined at the rail's ends (either may be null). Returns the entry code of
// what lies behind the entry end when the body goes on there (rem > 0 on return), else 0.
int32_t LayBodyOnRail(const TRailObj& rail, TCarObj& car, int32_t pathCode, float& rem,
                      const TBaseObj* atEnd1, const TBaseObj* atEnd0);

// A section of track between stations that one train holds at a time. Built for the current
// line and never stored.
class TBlkObj {
 public:
  int32_t BlkCode = 0;         // MakeEntCode(block id, 1, 0)
  int32_t BlkEnd[2] = {0, 0};  // entry code of what each end joins
  int32_t Length = 0;          // metres
  TTmTblObj Occ;               // who holds the block when

  void SetEnd(int32_t side, int32_t code);
  // The end code that does not belong to the object of code (compared by object id only).
  int32_t OtherEnd(int32_t code) const;
  float RunTime(float speed) const;
  // Seconds after t until the block is free for dur seconds; a stabled set ("[n]") ends the wait.
  int32_t WaitFor(int32_t t, int32_t dur) const;
  void Occupy(const std::string& label, int32_t t, int32_t dur);
  void Release(std::string_view label);
  void ClearOcc();
};

}  // namespace ramvel
