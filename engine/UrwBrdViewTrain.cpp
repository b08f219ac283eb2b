// The board view's train data: labels, which train sets each drawing pass takes, car shapes from
// body polylines, and the operation clock.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

#include "engine/UrwBrdView.h"

namespace ramvel {

namespace {

bool ParseI64(std::string_view s, int64_t& v) {
  const char* end = s.data() + s.size();
  const auto [p, ec] = std::from_chars(s.data(), end, v);
  return ec == std::errc() && p == end;
}

// "x,y" in tenths of a pixel, as the train location writes body points.
bool ParseTenths(std::string_view text, TPoint& p) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  int64_t x = 0, y = 0;
  if (!ParseI64(text.substr(0, comma), x) || !ParseI64(text.substr(comma + 1), y)) return false;
  constexpr int64_t lo = std::numeric_limits<int32_t>::min(),
                    hi = std::numeric_limits<int32_t>::max();
  if (x < lo || x > hi || y < lo || y > hi) return false;
  p = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
  return true;
}

TPoint Tenths(TPoint p) { return {p.x / 10, p.y / 10}; }

bool OnMarkedLead(const TCarObj& car) {
  return car.StaPosKind == TStaPosKind::kOverLead || car.StaPosKind == TStaPosKind::kUnderLead;
}

double SegLen(TPoint a, TPoint b) {
  return std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
}

TPoint Along(TPoint a, TPoint b, double t, double len) {
  return {a.x + RoundInt(t * (static_cast<double>(b.x) - a.x) / len),
          a.y + RoundInt(t * (static_cast<double>(b.y) - a.y) / len)};
}

TCarShape LineShape(TCarShapeKind kind, TPoint a, TPoint b) {
  TCarShape s;
  s.Kind = kind;
  s.NPts = 2;
  s.Pts[0] = Tenths(a);
  s.Pts[1] = Tenths(b);
  return s;
}

// A car of width wt tenths between boundary points a and b.
TCarShape QuadShape(TPoint a, TPoint b, int32_t wt) {
  const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
  double len = std::hypot(dx, dy);
  if (len == 0) len = 1;
  const double half = wt / 2.0;
  const auto ox = static_cast<int32_t>(-std::floor(dy * half / len));
  const auto oy = static_cast<int32_t>(std::floor(dx * half / len));
  TCarShape s;
  s.Kind = TCarShapeKind::kQuad;
  s.NPts = 4;
  s.Pts[0] = Tenths({a.x + ox, a.y + oy});
  s.Pts[1] = Tenths({b.x + ox, b.y + oy});
  s.Pts[2] = Tenths({b.x - ox, b.y - oy});
  s.Pts[3] = Tenths({a.x - ox, a.y - oy});
  return s;
}

constexpr int32_t kTickSec[3][9] = {
    {1, 1, 1, 1, 1, 1, 2, 3, 6}, {1, 1, 1, 1, 1, 2, 4, 6, 12}, {1, 1, 1, 2, 3, 5, 10, 10, 20}};

}  // namespace

// ---- Labels and passes
// ---------------------------------------------------------------------------

TTrainLabel TBrdView::TrainLabel(const TCarObj& car) const {
  if (ShowTrNo == 0) return {};
  const std::string label = car.LabelAt(CurTime);
  if (!label.empty() && label[0] == '[') {
    if (ShowTrOnly != 0) return {};
    return {true, label};
  }
  if (ShowTrNick != 0) {
    std::string nick = TextAfter(label, ',');
    if (!nick.empty()) return {true, nick};
  }
  return {true, TextBefore(label, ",")};
}

bool TBrdView::DrawnInPass(const TCarObj& car, int pass) {
  if (car.LocState != kLocStand && car.LocState != kLocRun) return false;
  return pass == 1 || car.StaPosKind == TStaPosKind::kOverLead;
}

std::vector<int32_t> TBrdView::OverlayStas() const {
  std::vector<int32_t> ids;
  const bool any = std::any_of(Brd.Cars.begin(), Brd.Cars.end(), [](const auto& e) {
    return DrawnInPass(*e.second, 1) && OnMarkedLead(*e.second);
  });
  if (!any) return ids;
  for (const auto& [key, car] : Brd.Cars) {
    if (car->LocState == kLocHidden || !OnMarkedLead(*car)) continue;
    if (std::find(ids.begin(), ids.end(), car->CurSta) == ids.end()) ids.push_back(car->CurSta);
  }
  return ids;
}

// ---- Car shapes
// ----------------------------------------------------------------------------------

std::vector<TPoint> TBrdView::CarBounds(const std::vector<TPoint>& body, int32_t nCars) const {
  if (body.empty()) return {};
  const auto n = static_cast<size_t>(std::max(nCars, 1));
  std::vector<TPoint> b(n + 1, body.front());
  b[n] = body.back();
  if (body.size() < 2) return b;
  const size_t nSeg = body.size() - 1;
  const auto segLen = [&](size_t s) {
    const double l = SegLen(body[s], body[s + 1]);
    return l == 0 ? 1000.0 : l;
  };
  const double lc = RoundInt(200.0 / Mpp());
  size_t seg = 0;
  double len = segLen(0), t = 0;
  for (size_t k = 1; k < n; ++k) {
    t += lc;
    while (t > len) {
      t -= len;
      // When the points run out the cars stay on the last segment.
      if (seg + 1 < nSeg) {
        len = segLen(++seg);
      } else {
        len = 1000;
      }
    }
    b[k] = Along(body[seg], body[seg + 1], t, len);
  }
  return b;
}

bool TBrdView::TrainShape(const TCarObj& car, TTrainShape& out) const {
  out = {};
  std::vector<TPoint> body;
  body.reserve(car.BodyPts.size());
  for (const std::string& text : car.BodyPts) {
    TPoint p;
    if (!ParseTenths(text, p)) return false;
    body.push_back(p);
  }
  if (body.empty()) return false;
  out.Head = Tenths(body.front());
  if (Brd.SCR_MPERP > 36) {
    out.Cars.push_back(LineShape(TCarShapeKind::kLine1, body.front(), body.back()));
    return true;
  }
  const std::vector<TPoint> b = CarBounds(body, car.NCar);
  const int32_t wt = RoundInt(Brd.TrackWide * 30.0 / Mpp());
  const int32_t w = RoundInt(wt / 10.0);
  for (size_t k = 0; k + 1 < b.size(); ++k) {
    if (w < 2) {
      out.Cars.push_back(LineShape(TCarShapeKind::kLine1, b[k], b[k + 1]));
    } else if (w <= 3) {
      out.Cars.push_back(LineShape(TCarShapeKind::kLine3, b[k], b[k + 1]));
    } else {
      out.Cars.push_back(QuadShape(b[k], b[k + 1], wt));
    }
  }
  return true;
}

std::string DrawTrainErrText(int32_t kind, int32_t carId) {
  return "ERR" + IntText(kind) + "-DrawTrain-" + IntText(carId);
}

// ---- Clock
// ---------------------------------------------------------------------------------------

int32_t TBrdView::ClockTick() {
  int32_t step = TimeStep;
  CurTime += step;
  if (CurTime > kDayEnd) {
    CurTime = 0;
    step = 0;
  }
  return step;
}

void TBrdView::StartClock(int32_t hour, int32_t minute) {
  if (CurTime >= 0) return;
  const std::string mm = minute < 10 ? "0" + IntText(minute) : IntText(minute);
  int32_t t = 0;
  CurTime = TextToTime(IntText(hour) + mm, t) ? t : 0;
}

int32_t TickSeconds(int32_t item, int32_t level) {
  item = std::clamp(item, 0, static_cast<int32_t>(std::size(kClockMultiples)) - 1);
  level = std::clamp(level, 0, 2);
  return kTickSec[level][item];
}

int32_t TickIntervalMs(int32_t item, int32_t level) {
  item = std::clamp(item, 0, static_cast<int32_t>(std::size(kClockMultiples)) - 1);
  const int32_t ticksPerSec = kClockMultiples[item] / TickSeconds(item, level);
  return RoundInt(1000.0 / ticksPerSec);
}

}  // namespace ramvel
