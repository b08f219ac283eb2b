// The sample's layout: where its stations stand, how its rails run, its terrain and its lines,
// and the check of the layout against the rules of placing stations and rails.
#include <algorithm>
#include <cmath>
#include <map>

#include "tools/MkSample.h"

namespace ramvel::mksample {

namespace {

constexpr int32_t kLandW = 170;  // terrain dots
constexpr int32_t kLandH = 195;
constexpr int32_t kDot = 108;  // metres per terrain dot
// The sharpest bend the placing rules allow: 23 degrees.
constexpr double kMinBendCos = 0.92050485;

}  // namespace

// ---- The plan of the layout --------------------------------------------------------------------
//
// A ring of six stations round the town: 中央 and 本町 on its south side, 東町 on the east,
// 北野 and 新町 on the north, 西町 on the west. The main line leaves 中央 for the south through
// 川辺 and 浜田 to 港 on the coast; the harbour line runs from 港 back north to 東町. Corners
// turn through four rails of about 22 degrees each.

std::vector<TStaSite> SampleSites() {
  const TPoint east{11, 0}, north{0, -11};
  return {
      {"中央", {68, 85}, east},   {"東町", {100, 58}, north}, {"北野", {75, 20}, east},
      {"新町", {40, 20}, east},   {"西町", {20, 56}, north},  {"本町", {40, 85}, east},
      {"川辺", {95, 115}, north}, {"浜田", {95, 144}, north}, {"港", {109, 163}, east},
  };
}

std::vector<TRailRun> SampleRails() {
  return {
      // The ring, counter-clockwise on the screen from 中央.
      {"中央", 1, {{7, 0}, {5, -2}, {4, -3}, {3, -4}, {2, -5}, {0, -13}}, "東町", 0},
      {"東町", 1, {{0, -13}, {-2, -5}, {-3, -4}, {-4, -3}, {-5, -2}}, "北野", 1},
      {"北野", 0, {{-24, 0}}, "新町", 1},
      {"新町", 0, {{-6, 0}, {-5, 2}, {-4, 3}, {-3, 4}, {-2, 5}, {0, 11}}, "西町", 1},
      {"西町", 0, {{0, 15}, {2, 5}, {3, 4}, {4, 3}, {5, 2}, {6, 0}}, "本町", 0},
      {"本町", 1, {{17, 0}}, "中央", 0},
      // The main line, laid after the ring so that it takes slots 3 and 4 at 中央.
      {"中央", 1, {{5, 2}, {4, 3}, {3, 4}, {4, 10}}, "川辺", 1},
      {"川辺", 0, {{0, 18}}, "浜田", 1},
      {"浜田", 0, {{0, 5}, {2, 5}, {3, 4}, {4, 3}, {5, 2}}, "港", 0},
      // The harbour line, likewise at 東町.
      {"東町",
       0,
       {{4, 10}, {6, 8}, {16, 16}, {6, 8}, {2, 5}, {0, 44}, {-2, 5}, {-3, 4}, {-4, 3}, {-5, 2}},
       "港",
       1},
  };
}

std::vector<TLineDef> SampleLines() {
  return {
      {"環状線", {"中央", "東町", "北野", "新町", "西町", "本町", "中央"}},
      {"本線", {"中央", "川辺", "浜田", "港"}},
      {"臨港線", {"港", "東町"}},
  };
}

// ---- Terrain -----------------------------------------------------------------------------------

namespace {

// The coast as a polyline of (x, y) dots, west to east: sea lies south of it.
struct TCoastPt {
  int32_t X, Y;
};
constexpr TCoastPt kCoast[] = {
    {0, 128},  {8, 138},   {28, 147},  {40, 135},  {52, 125},  {66, 128},  {78, 141},  {86, 158},
    {94, 172}, {112, 174}, {130, 173}, {142, 166}, {152, 153}, {160, 145}, {170, 141},
};

int32_t CoastY(int32_t x) {
  const size_t n = std::size(kCoast);
  for (size_t i = 0; i + 1 < n; ++i) {
    const TCoastPt a = kCoast[i], b = kCoast[i + 1];
    if (x < a.X || x > b.X) continue;
    return a.Y + (b.Y - a.Y) * (x - a.X) / (b.X - a.X);
  }
  return kCoast[n - 1].Y;
}

// An island off the coast: an ellipse, in dots.
bool OnIsland(int32_t x, int32_t y) {
  const int32_t dx = x - 36, dy = y - 178;
  return dx * dx * 4 + dy * dy * 25 <= 1600;
}

// Whether (x, y) lies in an ellipse round (cx, cy) with half axes a and b whose edge is made
// ragged by up to `rag` dots.
bool InBlob(int32_t x, int32_t y, int32_t cx, int32_t cy, int32_t a, int32_t b, int32_t rag) {
  const int32_t dx = x - cx, dy = y - cy;
  const int32_t ra = a - (x * 7 + y * 3) % (rag + 1), rb = b - (x * 3 + y * 5) % (rag + 1);
  return dx * dx * rb * rb + dy * dy * ra * ra <= ra * ra * rb * rb;
}

// Land that is not plain: the town inside the ring and a forest to the north-east. Only the
// minimap shows these colours; nothing of the layout stands on them.
uint32_t LandColour(int32_t x, int32_t y) {
  if (InBlob(x, y, 60, 52, 30, 22, 2)) return 0xD8D0C0;
  if (InBlob(x, y, 143, 32, 22, 24, 3)) return 0x4A8A3A;
  return kRgbLandDot;
}

}  // namespace

TLandGrid SampleLand() {
  TLandGrid land;
  land.W = kLandW;
  land.H = kLandH;
  land.Rgb.resize(static_cast<size_t>(kLandW) * kLandH);
  for (int32_t y = 0; y < kLandH; ++y) {
    for (int32_t x = 0; x < kLandW; ++x) {
      const bool sea = y >= CoastY(x) && !OnIsland(x, y);
      land.Rgb[static_cast<size_t>(y) * kLandW + x] = sea ? kRgbSeaDot : LandColour(x, y);
    }
  }
  return land;
}

// ---- Placing -----------------------------------------------------------------------------------

TStatus BuildLayout(TBrdData& brd, const std::string& folder) {
  for (const TStaSite& site : SampleSites()) {
    int32_t id = 0;
    if (TStatus st = brd.StaReg(folder, site.Name, id); !st) return st;
    if (brd.FindSta(id, "")->IsErr) return TStatus::Error(site.Name + ": the design has errors");
    brd.StaPlace(id, site.Start, site.Vec, nullptr, nullptr);
  }
  for (const TRailRun& run : SampleRails()) {
    if (TStatus st = LayRailRun(brd, run); !st) return st;
  }
  std::string open;
  if (!brd.CheckAllConn(open)) return TStatus::Error("not every entry is joined: " + open);
  return TStatus::Ok();
}

// ---- Checking the layout -----------------------------------------------------------------------

namespace {

struct TSeg {
  TPoint A, B;  // metres
  std::string Name;
};

bool Cross(const TSeg& s, TPoint q0, TPoint q1) {
  const auto f = [](TPoint p) { return TPointF{static_cast<float>(p.x), static_cast<float>(p.y)}; };
  return SegCross(f(s.A), f(s.B), f(q0), f(q1));
}

std::vector<TSeg> Segments(TBrdData& brd) {
  std::vector<TSeg> segs;
  for (auto& [key, sta] : brd.Stas) {
    segs.push_back({sta->EndPos[0], sta->EndPos[1], sta->Name});
  }
  for (auto& [key, rail] : brd.Rails) {
    segs.push_back({rail->EndPos[0], rail->EndPos[1], "レール#" + IntText(rail->Id)});
  }
  return segs;
}

bool SharesEnd(const TSeg& a, const TSeg& b) {
  return PtEqual(a.A, b.A) || PtEqual(a.A, b.B) || PtEqual(a.B, b.A) || PtEqual(a.B, b.B);
}

std::vector<TSeaEdge> AllSeaEdges(const TLandGrid& land) {
  std::vector<TSeaEdge> edges;
  for (int32_t j = 0; j < land.H; ++j) {
    for (int32_t i = 0; i < land.W; ++i) {
      if (!land.IsSea(i, j)) continue;
      const int32_t x = i * kDot, y = j * kDot;
      if (land.Inside(i - 1, j) && !land.IsSea(i - 1, j)) edges.push_back({x, y, x, y + kDot});
      if (land.Inside(i + 1, j) && !land.IsSea(i + 1, j)) {
        edges.push_back({x + kDot, y, x + kDot, y + kDot});
      }
      if (land.Inside(i, j - 1) && !land.IsSea(i, j - 1)) edges.push_back({x, y, x + kDot, y});
      if (land.Inside(i, j + 1) && !land.IsSea(i, j + 1)) {
        edges.push_back({x, y + kDot, x + kDot, y + kDot});
      }
    }
  }
  return edges;
}

void CheckLand(const std::vector<TSeg>& segs, const TLandGrid& land,
               std::vector<std::string>& out) {
  const std::vector<TSeaEdge> edges = AllSeaEdges(land);
  for (const TSeg& s : segs) {
    for (const TPoint p : {s.A, s.B}) {
      if (!land.IsLand(p.x / kDot, p.y / kDot)) out.push_back(s.Name + ": an end is not on land");
    }
    for (const TSeaEdge& e : edges) {
      if (Cross(s, {e.X1, e.Y1}, {e.X2, e.Y2})) {
        out.push_back(s.Name + ": touches the coast");
        break;
      }
    }
  }
}

void CheckCrossings(const std::vector<TSeg>& segs, std::vector<std::string>& out) {
  for (size_t i = 0; i < segs.size(); ++i) {
    for (size_t j = i + 1; j < segs.size(); ++j) {
      if (SharesEnd(segs[i], segs[j])) continue;
      if (Cross(segs[i], segs[j].A, segs[j].B)) {
        out.push_back(segs[i].Name + " and " + segs[j].Name + " cross");
      }
    }
  }
}

// The direction in which one leaves an object through its end `side`.
TPoint OutOf(const TBaseObj& obj, int32_t side) {
  const TPoint a = obj.EndPos[1 - side], b = obj.EndPos[side];
  return {b.x - a.x, b.y - a.y};
}

double CosBetween(TPoint a, TPoint b) {
  const double la = std::hypot(a.x, a.y), lb = std::hypot(b.x, b.y);
  return (static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y) / (la * lb);
}

// Every rail end joined to an object: going on from that object through the joint must not
// bend by more than 23 degrees, and no two rails may leave one end of a station in parallel.
void CheckJoints(TBrdData& brd, std::vector<std::string>& out) {
  std::map<std::pair<int32_t, int32_t>, std::vector<TPoint>> leaving;  // (station, side)
  for (auto& [key, rail] : brd.Rails) {
    for (int32_t side = 0; side < 2; ++side) {
      const TEntCode c = SplitEntCode(rail->EntConn[side][1]);
      const TBaseObj* other = brd.FindObj(c.Id, "");
      if (other == nullptr) continue;
      // Into the rail from its end `side`, and out of the other object through its end.
      const TPoint in = OutOf(*rail, 1 - side);
      const TPoint through = OutOf(*other, c.Side);
      if (CosBetween(in, through) < kMinBendCos) {
        out.push_back("レール#" + IntText(rail->Id) + ": bends too sharply at its end " +
                      IntText(side));
      }
      if (IdKind(c.Id) == 1) leaving[{c.Id, c.Side}].push_back(in);
    }
  }
  for (const auto& [end, dirs] : leaving) {
    for (size_t i = 0; i < dirs.size(); ++i) {
      for (size_t j = i + 1; j < dirs.size(); ++j) {
        if (dirs[i].x * dirs[j].y == dirs[i].y * dirs[j].x) {
          out.push_back("station " + IntText(end.first) + ": two rails leave one end in parallel");
        }
      }
    }
  }
}

}  // namespace

std::vector<std::string> CheckLayout(TBrdData& brd, const TLandGrid& land) {
  std::vector<std::string> out;
  const std::vector<TSeg> segs = Segments(brd);
  CheckLand(segs, land, out);
  CheckCrossings(segs, out);
  CheckJoints(brd, out);
  return out;
}

// ---- Lines -------------------------------------------------------------------------------------

TStatus BuildLines(TBrdData& brd, const std::string& folder) {
  for (const TLineDef& def : SampleLines()) {
    if (TStatus st = BuildLine(brd, folder, def); !st) return st;
  }
  return TStatus::Ok();
}

}  // namespace ramvel::mksample
