// Paths drawn over the time-space diagram beside the timetabled ones: the compressed paths of a
// capacity analysis (solid) or the delayed paths of a delay run (dashed), with their legend.
#pragma once

#include <QColor>
#include <QPainter>
#include <QSize>
#include <string>
#include <vector>

#include "analysis/UrwLineOcc.h"
#include "timetable/UrwDiaChart.h"
#include "view/UrwChartDraw.h"

namespace ramvel {

struct TDiaOverlay {
  std::string Name;  // the legend's text: "圧縮ダイヤ", "遅延ダイヤ"
  bool Dashed = false;
  QColor Colour = QColor(0, 150, 0);
  std::vector<TAnPath> Paths;
  bool Empty() const { return Paths.empty(); }
};

// Draws the overlay's paths of the directions opts shows inside the diagram's plot, and its legend
// at the plot's top right corner.
void DrawDiaOverlay(QPainter& p, QSize size, const TLineDiagram& dia, const TDiaDrawOpts& opts,
                    const TDiaOverlay& overlay);

}  // namespace ramvel
