// Drawing the time-space diagram of a line and the platform chart of a station with QPainter,
// and saving either as PNG or SVG. Labels that would cover one another are left out, so a
// picture stays legible at any size; zooming in brings them back.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QSize>
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/UrwCmnDef.h"
#include "timetable/UrwDiaChart.h"
#include "timetable/UrwStaChart.h"

namespace ramvel {

struct TChartSpan {
  int32_t From = 0;      // seconds from 04:00
  int32_t To = kDayEnd;  // after From
};

// What the time-space diagram shows.
struct TDiaDrawOpts {
  TChartSpan Span;
  int32_t Dir = 0;        // 0 both directions, +1 down trains only, -1 up trains only
  double DistZoom = 1.0;  // distance axis stretch (1: the plot's height holds the whole line)
  int32_t DistTop = 0;    // metres shown at the top of the plot when stretched
};

// The mapping of time and distance to pixels in a picture of a given size.
class TDiaLayout {
 public:
  TDiaLayout(const TLineDiagram& dia, QSize size, const TDiaDrawOpts& opts);
  double X(int32_t t) const;
  double Y(int32_t dist) const;
  // The time at a picture x (clamped into the span).
  int32_t TimeAt(double x) const;
  QRectF Plot() const { return plot_; }

 private:
  QRectF plot_;
  TDiaDrawOpts opts_;
  int32_t length_ = 1;
};

// The train colour of a type (red is kept for conflicts).
QColor TrTypeColour(TTrType type);
// A train's line: its kind's colour when the board keeps a kind table, else its type's.
QColor TrainColour(const TLineDiagram& dia, const TDiaTrain& tr);
// Whether a train runs in the direction the options show.
bool ShowsTrain(const TDiaTrain& tr, const TDiaDrawOpts& opts);

// Draws the diagram on a picture of size: title, hour and 10-minute grid, station axis, one path
// per shown train coloured by type with its number along its first section, conflicts in red
// with both train numbers, and a legend of the types.
void DrawLineDiagram(QPainter& p, QSize size, const TLineDiagram& dia, const TDiaDrawOpts& opts);
// Draws the platform chart: one row per track, a bar per booking with the train number (or the
// stabled set "[n]") inside, conflicts in red with both train numbers.
void DrawStaChart(QPainter& p, QSize size, const TStaChart& chart, TChartSpan span);

// Writes a picture of size drawn by draw to path as PNG or SVG, by the extension (".png",
// ".svg", any case). Nothing is left at path when writing fails.
TStatus SaveChartPicture(const std::string& path, QSize size, const std::string& title,
                         const std::function<void(QPainter&)>& draw);
// True when path ends in ".png" or ".svg".
bool IsChartPicturePath(const std::string& path);

}  // namespace ramvel
