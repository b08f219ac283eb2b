// The time-space diagram of a line (ダイヤグラム) as geometry: the stations at their distances
// along the line, every train as a polyline of (time, distance) points, and the overlaps of the
// rebuilt occupancy at the place and time they happen. Drawing is left to the window layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

// The train types, each drawn in its own colour; kTrOther for a kind text that names none.
enum class TTrType : int32_t { kLocal, kRapid, kSemiExp, kExpress, kLtdExp, kDeadhead, kOther };
inline constexpr int32_t kTrTypeCount = 7;
// 普通, 快速, 準急, 急行, 特急, 回送, and "その他" for kOther.
const char* TrTypeName(TTrType type);
// The type a kind text ("特急", "急行 はやて", "特急,はやて") starts with.
TTrType TrTypeOf(const std::string& kind);

struct TDiaPoint {
  int32_t Tm = 0;     // seconds from 04:00
  int32_t Dist = 0;   // metres from the line's first station
  bool Pass = false;  // the train passes the station here (a point, no stay)
};

struct TDiaTrain {
  std::string TrNo;
  std::string Kind;  // type and nickname as the timetable holds them
  TTrType Type = TTrType::kOther;
  int32_t Dir = 1;             // +1 down (towards the line's end), -1 up
  int32_t Column = 0;          // the train's column in the diagram model
  std::vector<TDiaPoint> Pts;  // in running order: arrival, then departure when it stays
  int32_t KindNo = -1;  // index into TLineDiagram::Kinds; -1 when the board keeps no table
};

struct TDiaStation {
  std::string Name;
  int32_t Id = 0;
  int32_t Dist = 0;  // metres from the first station
};

// Two train sets holding one place at once.
struct TDiaConflict {
  int32_t From = 0, To = 0;  // seconds from 04:00
  int32_t Dist = 0;          // metres from the first station: the station, or a block's middle
  std::string TrA, TrB;      // train numbers (or "[n]" for a stabled train set)
  std::string Where;         // the station's name or "閉塞n"
};

struct TLineDiagram {
  std::string LineName;
  std::string DiaName;  // the timetable shown, when the board has more than one
  bool Ring = false;              // the last station repeats the first
  std::vector<TDiaStation> Stas;  // in line order; a ring line ends with its first station again
  std::vector<TDiaTrain> Trains;  // the trains that run between two stations of the line
  std::vector<TDiaConflict> Conflicts;
  // The board's own kind table (names and colours), empty when it keeps the built-in kinds:
  // then trains are drawn by their type.
  std::vector<TKindDef> Kinds;
  int32_t Length() const { return Stas.empty() ? 0 : Stas.back().Dist; }
};

// Metres of rail between two neighbouring stations: the shortest track joining them, 0 when no
// rail joins them.
int32_t RailDistance(TBrdData& brd, int32_t fromSta, int32_t toSta);

// The diagram of the board's current line (of its active timetable): makes its blocks and rebuilds its occupancy (as the
// diagram editor does on opening), so the conflicts are those of the line check.
TLineDiagram MakeLineDiagram(TBrdData& brd);
// The same from a diagram model already built and an occupancy already rebuilt for the line.
TLineDiagram MakeLineDiagram(TBrdData& brd, const TDiaObj& dia);

}  // namespace ramvel
