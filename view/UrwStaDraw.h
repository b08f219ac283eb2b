// The one drawing of a station's track layout, shared by the board view, the station pictures of
// the selection dialog, the diagram editor's line picture and the diagnostics window.
#pragma once

#include <QPainter>
#include <cstdint>
#include <string_view>

#include "engine/UrwBrdView.h"
#include "model/UrwStaObj.h"

namespace ramvel {

// How one station is drawn. Scales are metres per pixel; the along scale of a turned station is
// stretched to the real distance of its two ends, as SetStaTransform does.
struct TStaDrawArgs {
  TPoint Origin;                     // pixel where the station's side 0 end is drawn
  float Angle = 0;                   // direction of the station's axis in the picture, radians
  float AcrossScale = 1;             // metres per pixel across the axis
  float AlongScale = 1;              // metres per pixel along the axis
  uint8_t Flags = 0;                 // kDraw* bits of UrwBrdView.h
  uint32_t BackColour = kClrLand;    // 0xRRGGBB of the ground, laid under crossing leads
  uint32_t TrackColour = kClrTrack;  // 0xRRGGBB of the tracks
  // A station path ("code|H;1|2;21|R;3"): its segments are drawn in the highlight colour.
  std::string_view HighlightPath;
  int32_t OccTime = -1;  // seconds from 04:00: name the trains occupying tracks then; -1 none
};

// Draws sta onto p: platforms, tracks, entry leads and, with kDrawCrossings, the crossing leads
// over everything; with kDrawOverlay only the crossing leads. Nothing is drawn while the
// station's ShowDetail is clear. The station itself is not changed: its own transform, which
// the train location uses, stays as it was.
void DrawSta(QPainter& p, const TStaObj& sta, const TStaDrawArgs& args);

// Along-axis distance by which kDrawLeadShift moves the outer ends of the entry leads inwards,
// metres; the picture then spans the middle 960 m of the station.
inline constexpr int32_t kLeadShiftM = 114;

}  // namespace ramvel
