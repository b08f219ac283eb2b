// Common definitions: units, identifiers, entry codes, times of day, plane geometry and the
// base object of stations and rails. Including this header brings in the whole foundation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/UrwStatus.h"
#include "foundation/UrwTextRec.h"
#include "foundation/UrwTmTbl.h"
#include "foundation/UrwUiHost.h"

namespace ramvel {

// ---- Units -------------------------------------------------------------------------------------

constexpr int32_t kGridM = 108;          // board grid cell, metres; also a terrain pixel
// Ranges of what object files hold, so that every sum and product the engine forms of them fits
// its integers: board positions in metres (a terrain of 100000 dots a side), entry codes and
// object identifiers.
constexpr int32_t kMaxBoardM = 100000 * kGridM;
constexpr int32_t kMaxCode = 1000000000;
constexpr int32_t kStaAxisM = 1188;      // length of a station's own axis (11 grid cells)
constexpr int32_t kStaMidM = 594;        // middle of the station axis
constexpr int32_t kSlotGapM = 4;         // across-axis distance of neighbouring entry slots
constexpr int32_t kCarLenM = 20;         // one car
constexpr int32_t kDayEnd = 82800;       // 27:00 in seconds from 04:00; also "end of day"
constexpr int32_t kDayOffset = 14400;    // seconds from 00:00 to 04:00
constexpr int kMaxSlots = 10;            // connection slots per end

// ---- Identifiers and entry codes ---------------------------------------------------------------

enum : int32_t { kKindSta = 1, kKindRail = 2, kKindBlk = 3 };

// The kind digit of a station (1), rail (2) or block (3) id.
int32_t IdKind(int32_t id);

// A connection slot at one end of an object packed in one number: +(id + slot*10) for side 0,
// negated for side 1, 0 for "not connected". Timetables reuse it for station, platform, flag.
int32_t MakeEntCode(int32_t id, int32_t slot, int32_t side);

struct TEntCode {
  int32_t Side = 0;
  int32_t Slot = 0;
  int32_t Id = 0;
};
TEntCode SplitEntCode(int32_t code);

// ---- Points ------------------------------------------------------------------------------------

struct TPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TPointF {
  float x = 0;
  float y = 0;
};

// ---- Base object -------------------------------------------------------------------------------

// Common base of stations and rails. Slot arrays are indexed 1..10; index 0 is unused so that
// slot numbers read as they are written in the files.
class TBaseObj {
 public:
  TBaseObj() = default;
  virtual ~TBaseObj() = default;
  TBaseObj(const TBaseObj&) = default;
  TBaseObj& operator=(const TBaseObj&) = default;

  int32_t Id = 0;
  int32_t Length = 0;  // metres; rails only
  float Rote = 0;      // direction from end 0 to end 1, normalised
  float CosU = 0, SinU = 0, NegSinV = 0, CosV = 0;  // drawing transform, see LocalToScreen
  int32_t OrgX = 0, OrgY = 0;                       // screen origin of the transform, pixels
  bool ShowDetail = false;
  TPoint EndPos[2];
  int32_t EntCount[2] = {0, 0};
  int32_t EntConn[2][kMaxSlots + 1] = {};
  bool EntOwner[2] = {false, false};

  bool IsSta() const { return IdKind(Id) == kKindSta; }
};

// ---- Geometry ----------------------------------------------------------------------------------

float DistPt(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Folds a direction into [-pi/2 - 0.01, pi/2) so that a direction and its reverse agree.
float NormalizeAngle(float a);

bool PtEqual(TPoint p, TPoint q);
bool InRange(int32_t v, int32_t lo, int32_t hi);

// Whether two closed segments meet; touching counts.
bool SegCross(TPointF p0, TPointF p1, TPointF q0, TPointF q1);

struct TNearHit {
  bool Hit = false;
  bool NearB = false;  // the foot lies in the half nearer B
};
// Whether p lies within r metres of segment a-b (a.x <= b.x expected). A zero-length segment
// never hits.
TNearHit PtNearSeg(TPoint a, TPoint b, TPoint p, int32_t r);

float ObjLength(const TBaseObj& obj);
void SetRote(TBaseObj& obj);

// Local (u along from end 0, v across; metres) to screen; dir is +1 or -1, u0 an along offset.
TPointF LocalToScreen(const TBaseObj& obj, float u, float v, int dir, float u0);
// Scales are metres per pixel.
void SetRailTransform(TBaseObj& rail, TPoint origin, float acrossScale, float alongScale);
void SetStaTransform(TBaseObj& sta, float angle, float acrossScale, float alongScale);

// slot 1..n shifted so that the slots are centred on the axis.
int32_t CentredSlot(const TBaseObj& obj, int32_t slot, int32_t side);
TPoint EntPoint(const TBaseObj& obj, int32_t slot, int32_t side);
TPoint StaEntPoint(const TBaseObj& sta, int32_t slot, int32_t side);

struct TSlotRun {
  bool Any = false;
  int32_t Count = 0;
};
// The first run of consecutive free slots at one end.
TSlotRun FreeSlotRun(const TBaseObj& obj, int32_t side);

// Rounds half to even, as every "round" of this system does.
int32_t RoundInt(double v);
int64_t RoundInt64(double v);

// ---- Joining objects ---------------------------------------------------------------------------

// Joins a to b at the ends where their end points coincide. b may be null.
void ConnectEnds(TBaseObj& a, TBaseObj* b);

// Lays obj straight on the grid from start to start + delta (grid units), joins it to the objects
// at its ends (either may be null) and returns its rounded length.
int32_t PlaceRail(TBaseObj& obj, TPoint start, TPoint delta, TBaseObj* endObj1, TBaseObj* endObj2);

// ---- Base record -------------------------------------------------------------------------------

void WriteBaseRec(const TBaseObj& obj, TextRec& rec);
// Every key is required; a failure is recorded in the reader.
void ReadBaseRec(TBaseObj& obj, TRecReader& rd);

// ---- Text --------------------------------------------------------------------------------------

std::string PtToText(TPoint p);
std::string PtToTenthsText(float x, float y);
std::string TextBefore(std::string_view s, std::string_view delim);
std::string TextAfter(std::string_view s, char delim);
// Full-width ASCII forms and the ideographic space to their half-width forms.
std::string ToHalfWidth(std::string_view s);
// t in seconds from 04:00: "hmm" with the hour padded by one space below 10, "hmm.ss" withSec.
std::string TimeToText(int32_t t, bool withSec);
// The reverse; false for anything outside 04:00..27:00 or malformed.
bool TextToTime(std::string_view s, int32_t& t);
// A space or a control character (a byte up to 0x20): what typed names and file texts lose at
// their ends.
bool IsBlank(char c);
// s without blanks (IsBlank) at either end; a view into s, so keep s alive while it is used.
std::string_view TrimBlanks(std::string_view s);
// s without spaces and tabs at either end, keeping every other control character: numbers and
// table fields may not hide behind them. A view into s like TrimBlanks.
std::string_view TrimSpaceTab(std::string_view s);

}  // namespace ramvel
