// Stations: the layout grid, track segments, turnouts and platform outlines of one station, and
// the station file that stores them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/UrwCmnDef.h"

namespace ramvel {

// ---- Limits ------------------------------------------------------------------------------------

constexpr int32_t kStaCols = 20;    // grid columns, along the axis
constexpr int32_t kStaRows = 20;    // grid rows, across the axis
constexpr int32_t kMaxStaEnt = 10;  // entry tracks per side
constexpr int32_t kMaxRoutes = 4;   // routes through one turnout
constexpr int32_t kMaxPtSeg = 9;    // segment index j of a turnout, 1..9
constexpr int32_t kPtSlotSec = 15;  // seconds per turnout occupancy slot
constexpr int32_t kPtSlots = 5760;  // slots of a day, 24 h / 15 s
// Sane limits for the counts of a station file; a 20 x 20 grid stays far below them.
constexpr int32_t kMaxStaPts = 1000;
constexpr int32_t kMaxStaRails = 10000;
constexpr int32_t kMaxStaHomes = 1000;

// Station-local frame in metres: the grid spans u = 194..994, entry leads fill the rest.
constexpr int32_t kGridLeftU = 194;
constexpr int32_t kGridRightU = 994;
constexpr int32_t kCellLenM = 40;

// ---- Records -----------------------------------------------------------------------------------

enum : uint8_t { kCellOrigin = 0, kCellCovered = 1, kCellEmpty = 2 };
enum : uint8_t { kRailPlain = 0, kRailPt = 1, kRailHome = 3 };

// One grid cell. The default value is the empty cell.
struct StaCell {
  uint8_t Kind = kCellEmpty;  // kCellOrigin, kCellCovered or kCellEmpty
  int32_t PanelNo = 0;        // piece type in the designer's catalogue
  int32_t DCol = 0;           // covered cell: its column minus the piece origin's column
  int32_t DRow = 0;           // covered cell: its row minus the piece origin's row
  int32_t HomeNo = 0;         // platform number of a platform-track piece, else 0

  friend bool operator==(const StaCell&, const StaCell&) = default;
};

// One straight track segment in station-local metres, P[0] at the smaller u.
struct StaRail {
  uint8_t Kind = kRailPlain;  // kRailPlain, kRailPt or kRailHome
  // Plain: running number; turnout segment: j + 10 * turnout number; platform track: platform.
  int32_t No = 0;
  uint8_t Mark = 0;  // drawing mark; 2 after reading a file, 0 when built by the designer
  TPoint P[2];
  // Occupancy table, absent until the station's ResetOcc; owned by this record, so copies of a
  // segment carry their own copy of the table.
  std::unique_ptr<TTmTblObj> Occ;

  StaRail() = default;
  StaRail(uint8_t kind, int32_t no, TPoint p0, TPoint p1);
  StaRail(const StaRail& other);
  StaRail& operator=(const StaRail& other);
  StaRail(StaRail&&) noexcept = default;
  StaRail& operator=(StaRail&&) noexcept = default;
};

// One turnout.
struct TPtStatus {
  int32_t RouteCnt = 0;
  // Routes[1..RouteCnt]: comma lists of segment indexes j ("1,2"); index 0 is unused.
  std::array<std::string, kMaxRoutes + 1> Routes;
  // Setting per 15-second slot of the day: -1 free, else the route 1..4. Not stored in files.
  std::array<int32_t, kPtSlots> Occ;

  TPtStatus() { Occ.fill(-1); }
};

// One platform outline: u from Left to Right, v from Top to Bottom.
struct StaHome {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  friend bool operator==(const StaHome&, const StaHome&) = default;
};

// The grade-separated crossing of one side: CrsCnt grid-edge positions from CrsFrom on arrive
// at entry slots from CrsTo on. All zero: no crossing.
struct TEntCrs {
  int32_t CrsFrom = 0;
  int32_t CrsTo = 0;
  int32_t CrsCnt = 0;
};

// A cell as GetCell returns it, with the position of its piece's origin.
struct TCellAt {
  StaCell Cell;
  int32_t Col = 0;
  int32_t Row = 0;
};

// One item of a station path: a plain track "R;No", a platform track "H;No" or a turnout
// segment "r;No" taken on route r.
struct TPathItem {
  int32_t Kind = kRailPlain;
  int32_t R = 0;
  int32_t No = 0;
};

std::string ItemText(int32_t kind, int32_t no, int32_t r);
// The station's entry code that starts a station part ("5031|1;12|H;2" -> 5031).
int32_t PartCode(std::string_view part);
TPathItem ParseItem(std::string_view item);

// Where RailAtPoint found a segment.
enum : int32_t { kAtEdge = 0, kAtPlain = 1, kAtPt = 2, kAtHome = 3, kAtDeadEnd = 4 };

struct TRailAt {
  int32_t Result = kAtEdge;
  StaRail* Rail = nullptr;
};

class TCarObj;

// One train's setting of a turnout as OccupyRoute booked it: slots First..Last on route R.
// Kept so that conflicts between trains can be audited; the slot table alone cannot tell who
// set a turnout.
struct TPtUse {
  int32_t Pt = 0;  // turnout number, 1-based
  int32_t R = 0;
  int32_t First = 0;
  int32_t Last = 0;
  std::string Label;
};

// ---- Station -----------------------------------------------------------------------------------

class TStaObj : public TBaseObj {
 public:
  // Everything zero and empty, both EntOwner flags true, every grid cell empty.
  TStaObj();

  // The station file as last read or written; between reads also the scratch list of paths.
  TextRec FileRec;
  std::string Name;  // the file stem; upper case when it came from a folder listing
  std::string Desc;
  // Cells[col][row] for col, row in 1..20; index 0 of either dimension is unused.
  std::array<std::array<StaCell, kStaRows + 1>, kStaCols + 1> Cells;
  int32_t EntCrs[2] = {0, 0};  // packed CrsFrom * 10000 + CrsTo * 100 + CrsCnt
  std::vector<TPtStatus> Pts;  // turnout k is Pts[k - 1]
  std::vector<StaHome> Homes;
  std::vector<StaRail> Rails;
  bool IsErr = false;
  bool NearFlag = false;  // run-time: a rail in view leads here
  std::vector<TPtUse> PtUses;  // run-time: turnout settings booked since the last ResetPtOcc

  // ---- Station file ----

  // Reads folder + name + ".txt", the file found without regard to letter case. All or nothing:
  // on failure the station keeps everything it held, occupancy tables included, and the
  // message names the file and, for bad content, the key.
  TStatus LoadSta(const std::string& folder, const std::string& name);
  // The same from the file at path, found already.
  TStatus LoadStaFrom(const std::string& path, const std::string& name);
  // The same from a record already read; it becomes FileRec. display names it in messages.
  TStatus ReadRec(const TextRec& rec, const std::string& name, const std::string& display);
  // Writes the station into folder + Name + ".txt" (an existing file differing only in case is
  // replaced; a missing folder is created). A station that could not be read back is refused
  // before anything is written.
  TStatus SaveSta(const std::string& folder);
  // The station file's record, as SaveSta writes it; check CheckLists first.
  TextRec MakeRec() const;

  // ---- Grid and lists ----

  // Every cell empty, one entry track per side, no entry crossings.
  void ClearCells();
  // Drops every segment with its occupancy table, every turnout and every platform outline.
  void ClearLists();
  // The cell at (col, row); a covered cell reports its piece origin's position. Outside the grid
  // the result is an empty cell at the given position, and a column or row above 20 also shows
  // the plain box "err".
  TCellAt GetCell(int32_t col, int32_t row) const;
  // Stores the cell; false (and nothing stored) outside the grid.
  bool SetCell(int32_t col, int32_t row, const StaCell& cell);
  // Appends a copy of rail without any occupancy table.
  void AddRail(const StaRail& rail);
  void AddHome(const StaHome& home);
  void AddPt(const TPtStatus& pt);

  // ---- Entry tracks ----

  TEntCrs SplitEntCrs(int32_t side) const;
  void MakeEntCrs(int32_t side, int32_t crsFrom, int32_t crsTo, int32_t crsCnt);
  // Whether grid-edge position pos (1-based) belongs to the side's crossing group.
  bool InCrs(int32_t side, int32_t pos) const;
  // The entry slot at which grid-edge position pos arrives on the station edge.
  int32_t CrsSlot(int32_t side, int32_t pos) const;
  // Appends "<own entry code>,<connection>" for each slot 1..EntCount[side].
  void ListEntConns(int32_t side, std::vector<std::string>& list) const;
  // Replaces list with the platform numbers of the platform tracks, in Rails order.
  void ListHomes(std::vector<std::string>& list) const;

  // ---- Lookup and occupancy ----

  // The first segment within 2 m of p; null when none is. Valid until Rails changes.
  const StaRail* FindRailAt(TPoint p) const;
  // Gives every segment an empty occupancy table.
  void ResetOcc();
  // Frees every slot of every turnout.
  void ResetPtOcc();
  // Removes every interval labelled txt from every segment's occupancy table.
  void ClearOccOf(std::string_view txt);

  // Ok when the station can be written and read back; otherwise the first problem found, as
  // "<fileName>: <KEY> <reason>".
  TStatus CheckLists(const std::string& fileName) const;

  // ---- Paths (a path is the station's code, then its items, joined by "|") ----

  // The first segment of that kind and number; null, after the box "GetRailInSta Error:" +
  // kind + "/" + No, when there is none.
  StaRail* GetRailInSta(int32_t kind, int32_t no);
  // The first segment whose end `end` lies at p; without one, kAtEdge on the station edge and
  // kAtDeadEnd inside the station.
  TRailAt RailAtPoint(TPoint p, int32_t end);
  // The entry slot whose station-edge point has across position v.
  int32_t SlotAtV(int32_t side, int32_t v) const;
  static std::string HomePathText(int32_t code, int32_t home);
  // Turnout items taken on a route other than the first.
  static int32_t CountDiverging(std::string_view path);
  // Every path from platform home out by side dir, each followed by "," and the code of what
  // the reached entry slot is joined to. True when there is one.
  bool ListPathsFromHome(int32_t home, int32_t dir, std::vector<std::string>& list);
  // Appends a route line "<Name><home right-aligned in 3>番ホーム=<start>|<items>" for every
  // platform (only home when home >= 0) reachable from the entry slot named by start's last
  // comma item.
  void ListPathsToHomes(std::string_view start, int32_t home, std::vector<std::string>& out);

  // ---- Occupancy ----

  // Seconds after t at which the whole path can be held for dur seconds.
  int32_t CanOccupy(int32_t t, int32_t dur, std::string_view path);
  // Seconds after t until turnout pt (1-based) can be set to route r for dur seconds.
  int32_t PtWait(int32_t pt, int32_t r, int32_t t, int32_t dur) const;
  // Sets the free slots of turnout pt over t..t+dur to route r.
  void PtSet(int32_t pt, int32_t r, int32_t t, int32_t dur);
  // Books the path for label from t for dur seconds (the platform until homeEnd when that is
  // not negative); returns MakeEntCode(Id, last item's number, side of the path).
  int32_t OccupyRoute(const std::string& label, int32_t t, std::string_view path, int32_t homeEnd,
                      int32_t dur);
  // The time until which platform home is free from t (82800: to the end of the day), booking
  // it for label when label is not empty; -1 with the occupying record in occ when t lies in
  // an occupation.
  int32_t OccupyHome(int32_t t, int32_t home, const std::string& label, TTmTbl& occ);
  void FreeHomeAt(int32_t t, int32_t home);
  // Appends "<label>" of the occupant of occ at t to labels unless it is there already.
  static bool AddOccLabel(int32_t t, const TTmTblObj* occ, std::string& labels);

  // ---- Bodies ----

  // Lays the part of the car's body that lies on this station's path, appending points from
  // the head backwards; rem is the body length still to lay (0: the head is in this station).
  void LayBodyOnSta(TCarObj& car, std::string_view path, float& rem);

 private:
  struct TPathWork;
  void ExpandTurnout(const std::string& q, TPoint p, int32_t no, int32_t startEnd,
                     int32_t farEnd, TPathWork& work);
  void LayFrom(TCarObj& car, const std::vector<StaRail*>& segs, int32_t dir, float pos,
               float& rem);
  void ReadRecords(TRecReader& rd);
  void TakeLoaded(TStaObj&& src);
};

// Seconds a train set needs from the station edge to standing centred (arriving) or from
// standing to the far edge; at full speed or at half of it (uniform braking or acceleration).
float StaRunTime(const TCarObj& car, bool arriving, bool fullSpeed);

}  // namespace ramvel
