// The board view's state without a window (TBrdView): view geometry, visibility and near flags,
// transforms, hit tests, sea edges, lead marks, clock, train labels and car shapes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "foundation/UrwCmnDef.h"

namespace ramvel {

// Edit modes of the board view in design mode: editing a line's stations, idle (a release starts
// a rail or deletes), placing a station, placing a rail. The short names are used throughout.
enum class TEditMode : uint8_t { kEditLine, kEditIdle, kEditPutSta, kEditPutRail };
using enum TEditMode;

// ---- Colours (0xRRGGBB)
// --------------------------------------------------------------------------

inline constexpr uint32_t kRgbSeaDot = 0x0000FF;   // terrain pixel that is sea
inline constexpr uint32_t kRgbLandDot = 0xFFFFFF;  // terrain pixel a station may start on
inline constexpr uint32_t kClrLand = 0xC5AF6D;
inline constexpr uint32_t kClrSea = 0xD0D0FF;
inline constexpr uint32_t kClrOutside = 0x808080;
inline constexpr uint32_t kClrTrack = 0xFFFFFF;
inline constexpr uint32_t kClrLineSta = 0x008000;  // stations of the line being edited
inline constexpr uint32_t kClrHome = 0x800000;
inline constexpr uint32_t kClrHighlight = 0x00FFFF;
inline constexpr uint32_t kClrBandOk = 0x008000;
inline constexpr uint32_t kClrBandBad = 0xFF0000;
inline constexpr uint32_t kClrMiniFrame = 0xFFFFFF;
inline constexpr uint32_t kClrTrainLabel = 0x0000FF;  // on kClrLand
inline constexpr uint32_t kClrHomeNoText = 0xFFFF00;  // on kClrOutside
inline constexpr uint32_t kClrOccText = 0xFFFFFF;
inline constexpr uint32_t kClrOccBack = 0xFF0000;
inline constexpr uint32_t kClrCarOutline = 0x000000;

// ---- Draw flags
// ----------------------------------------------------------------------------------

enum : uint8_t {
  kDrawLeadShift = 0x01,  // outer lead ends moved inwards (other windows only)
  kDrawDouble = 0x02,     // tracks as two lines
  kDrawNumbers = 0x04,    // segment numbers (other windows only)
  kDrawTurned = 0x08,     // drawn from the other end (other windows only)
  kDrawCrossings = 0x10,  // entry crossings over everything
  kDrawOverlay = 0x20,    // only the entry crossings
  kDrawJoints = 0x40,     // joint dots
};

// Zoom index the view starts with (18 m per pixel).
inline constexpr int32_t kDefaultScaleIdx = 7;
// Terrain larger than this many pixels a side is refused.
inline constexpr int32_t kMaxLandDots = 100000;

// ---- Plain data
// ----------------------------------------------------------------------------------

// The terrain as a grid of pixels, row by row, each 0xRRGGBB. One pixel is 108 m x 108 m.
struct TLandGrid {
  int32_t W = 0;
  int32_t H = 0;
  std::vector<uint32_t> Rgb;

  bool Inside(int32_t i, int32_t j) const { return i >= 0 && j >= 0 && i < W && j < H; }
  // Outside the grid a pixel has no colour: neither sea nor land.
  bool IsSea(int32_t i, int32_t j) const;
  bool IsLand(int32_t i, int32_t j) const;
};

// A boundary between a sea dot and a neighbour that is not sea, in board metres.
struct TSeaEdge {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  friend bool operator==(const TSeaEdge&, const TSeaEdge&) = default;
};

struct TPixRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend bool operator==(const TPixRect&, const TPixRect&) = default;
};

// Terrain dots of the view, both ends included.
struct TDotRange {
  int32_t I0 = 0, I1 = 0, J0 = 0, J1 = 0;
};

// Where the view runs past the terrain: grey from this pixel to the edge; -1 for none.
struct TOutside {
  int32_t FromX = -1;
  int32_t FromY = -1;
};

// A pointer near a view edge that can be scrolled towards.
struct TEdgeScroll {
  bool Hit = false;
  int32_t Dx = 0, Dy = 0;
};

// The records of Rails that are the entry leads of one side: Count records from First; the last
// CrsCount of them are the leads that cross over the others.
struct TLeadRange {
  bool Valid = false;
  int32_t First = 0;
  int32_t Count = 0;
  int32_t CrsCount = 0;
};

struct TTrainLabel {
  bool Show = false;
  std::string Text;
};

enum class TCarShapeKind : uint8_t { kLine1, kLine3, kQuad };

// One car (or, coarser than 36 m per pixel, the whole train set) in view pixels.
struct TCarShape {
  TCarShapeKind Kind = TCarShapeKind::kLine1;
  int32_t NPts = 2;  // 2 for a line, 4 for a quadrilateral
  TPoint Pts[4];
};

struct TTrainShape {
  std::vector<TCarShape> Cars;
  TPoint Head;  // where the label's leader line starts
};

// ---- The view
// --------------------------------------------------------------------------------------

class TBrdView {
 public:
  // brd must outlive the view; the view never owns it.
  explicit TBrdView(TBrdData& brd) : Brd(brd) {}
  TBrdView(const TBrdView&) = delete;
  TBrdView& operator=(const TBrdView&) = delete;

  TBrdData& Brd;

  TLandGrid Land;
  int32_t LandWidth = 0, LandHeight = 0;  // metres
  std::vector<TSeaEdge> SeaEdges;         // of the view of the last recompute, design mode only
  int32_t CurObjId = -1;     // station or rail under edit or under the mouse; -1 none, 0 new rail
  uint8_t CurSide = 0;       // end of CurObjId nearest to the click
  TPoint PutPos;             // terrain dots: start of the object being placed
  TPoint PutVec;             // terrain dots: vector to its other end
  int32_t StaMuki = 4;       // 1..8, orientation of the station being placed
  uint8_t PutOk = 0;         // result of the last placement check
  float ScaleAlong = 18;     // SCR_MPERP, refreshed on every recompute
  float ScaleAcross = 1.8f;  // SCR_MPERP / TrackWide, likewise
  uint8_t DrawFlags = 0;
  bool DesignMode = false;         // design mode; run mode when false
  TEditMode EditMode = kEditIdle;  // what a release on the board does in design mode
  std::string BrdPath;     // folder of the open board
  int32_t ScaleIdx = kDefaultScaleIdx;
  int32_t CurTime = -1;  // seconds from 04:00, 0..82800; -1 until first set
  int32_t TimeStep = 0;  // seconds per clock tick; 0 while stopped
  uint8_t ShowTrNo = 0, ShowTrNick = 0, ShowTrOnly = 0;

  // ---- Life cycle (UrwBrdView.cpp) ----

  // Zoom 18 m per pixel at the top-left corner of the terrain, a view of width x height pixels,
  // and an empty board.
  void InitView(int32_t width, int32_t height);
  // Design mode, idle, nothing selected.
  void EndEdit();
  // Takes the terrain; refused (nothing changed) when it is empty, too large or inconsistent.
  TStatus SetLand(TLandGrid land);
  // "横%dkm x 縦%dkm" of the terrain.
  std::string LandSizeText() const;
  // ScaleIdx follows SCR_MPERP when it is one of the zooms.
  void SyncScaleIdx();

  // ---- Conversions ----

  TPoint PixToMeter(int32_t x, int32_t y) const;
  TPoint PixToLandDot(int32_t x, int32_t y) const;
  TPoint LandDotToPix(int32_t i, int32_t j) const;
  // Where a board point (metres) is drawn: at the view position of its terrain dot.
  TPoint BrdToPix(TPoint p) const;

  // ---- View position ----

  // Moves by half a view per step in each direction.
  void ScrollView(int32_t dx, int32_t dy);
  // Keeps the view inside the terrain and updates ScrXRight and ScrYBottom.
  void ClampView();
  void SetScrSize(int32_t width, int32_t height);
  // Zooms about the view's centre; false (nothing changed) for an index outside the table.
  bool ZoomTo(int32_t idx);
  // Centres the view on a view pixel; false when it lies outside the view.
  bool CentreAt(int32_t x, int32_t y);
  // Which way a pointer at (x, y) scrolls, when it lies within 5 pixels of a view edge beyond
  // which there is more terrain.
  TEdgeScroll EdgeScroll(int32_t x, int32_t y) const;

  // ---- Objects under the pointer ----

  // Stations, then rails when withRails, within 10 pixels of the view point; the first hit goes
  // to CurObjId and CurSide, a miss leaves both 0.
  bool HitTest(int32_t x, int32_t y, bool withRails);
  // A station's name, or "長さ %dm ( ID=%d )" for a rail; empty when there is no such object.
  std::string ObjInfoText(int32_t id) const;

  // ---- Recompute (UrwBrdViewLayout.cpp) ----

  // The view part of a full redraw: scroll, clamp, TrackWide, sea edges, visibility and near
  // flags, draw flags, transforms and entry lead marks. In run mode the caller then locates the
  // train sets afresh, which reads the flags and marks set here.
  void Recompute(int32_t dx, int32_t dy);
  // Whether the segment between the object's end points touches the view rectangle.
  bool IsInView(const TBaseObj& obj) const;
  static int32_t TrackWideFor(int32_t mperp);
  // Appends the edges of sea dot (i, j) that face a terrain dot that is not sea.
  void CollectSeaEdges(int32_t i, int32_t j);

  TDotRange ViewDots() const;
  // Side of the square drawn for one terrain dot, pixels.
  int32_t DotSize() const;
  TOutside Outside() const;
  // The view's outline on a minimap thumbW x thumbH pixels large; empty without terrain.
  TPixRect MiniMapFrame(int32_t thumbW, int32_t thumbH) const;
  // Height of the minimap for a width, keeping the terrain's proportions.
  int32_t ThumbHeight(int32_t thumbW) const;
  // Thumbnail pixels: sea and land dots take the view's colours, others stay.
  static uint32_t ThumbColour(uint32_t rgb);
  // White, or green while the station belongs to the line being edited.
  uint32_t StaColour(const TStaObj& sta) const;
  // Pen width of the land-coloured line under a crossing lead, pixels.
  int32_t CrossingPenWidth(uint8_t flags) const;

  // The entry leads of a side as the designer stores them: the last EntCount[0] + EntCount[1]
  // records of Rails, side 0 first. Not valid when the records do not look like leads.
  static TLeadRange EntLeads(const TStaObj& sta, int32_t side);
  // Marks the leads of every side with an entry crossing: 0 on the crossing leads, 1 on those
  // passing underneath. Other records keep their mark.
  static void MarkEntLeads(TStaObj& sta);

  // ---- Trains and clock (UrwBrdViewTrain.cpp) ----

  // The label of a train set at CurTime, by the label options.
  TTrainLabel TrainLabel(const TCarObj& car) const;
  // Whether a train set is drawn in pass 1 or in pass 2 (the one over crossing stations).
  static bool DrawnInPass(const TCarObj& car, int pass);
  // Stations to draw again over the trains after pass 1, in list order of the train sets;
  // empty when pass 1 drew no train set on a lead with a mark.
  std::vector<int32_t> OverlayStas() const;
  // The cars of a train set from its body polyline; false when the polyline is not readable.
  bool TrainShape(const TCarObj& car, TTrainShape& out) const;
  // Car boundary points B0..BN in tenths of a pixel from the body points.
  std::vector<TPoint> CarBounds(const std::vector<TPoint>& body, int32_t nCars) const;

  // One tick: CurTime moves by TimeStep; past 27:00 it wraps to 04:00. Returns the seconds to
  // locate the train sets by, 0 after the wrap (locate afresh).
  int32_t ClockTick();
  // On entering run mode with the clock not set: the wall-clock time when it lies in 04:00 ..
  // 27:00 of the operating day, else 04:00.
  void StartClock(int32_t hour, int32_t minute);

 private:
  int32_t Mpp() const { return Brd.SCR_MPERP > 0 ? Brd.SCR_MPERP : 1; }
  void ClearMarks();
  void MarkRails();
  void MarkStations();
  void SetStaView(TStaObj& sta);
  void CollectViewSeaEdges();
  void UpdateScales();
};

// Speed multiples of the clock choices (CbxIntv items 0..8).
inline constexpr int32_t kClockMultiples[] = {1, 2, 3, 4, 6, 10, 20, 30, 60};
// Seconds per tick for a clock choice and tick level 0..2 (both clamped into range).
int32_t TickSeconds(int32_t item, int32_t level);
// Timer interval in milliseconds for the same.
int32_t TickIntervalMs(int32_t item, int32_t level);

// Status text of a train set that cannot be located (kind 2) or drawn (kind 3).
std::string DrawTrainErrText(int32_t kind, int32_t carId);

}  // namespace ramvel
