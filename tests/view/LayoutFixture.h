// The fixture of the layout editing tests: a board folder with station files on disk, the board
// view on it in design mode, a scripted dialog host and mouse verbs in terrain dots.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "ViewSupport.h"
#include "view/UrwBrdEditor.h"

namespace ramvel::test {

// A terrain of 100 x 50 dots, sea from column 85 on, seen whole in a view of 600 x 300 pixels at
// 18 m per pixel: dot (i, j) lies at pixel (6i, 6j). The board folder T holds the station files
// A (1001) and B (2001) (TwoPlatformStation), C (3001) (PassingLoopStation) and E (5001), which
// still has errors; none is placed.
class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Saves a station file into the board's station folder.
  void WriteSta(const TStaObj& sta);
  // Chooses the station file name for placing.
  bool StartSta(const std::string& name);
  // Mouse events at the pixel of a dot; after a change the view is recomputed as the main
  // window does.
  void Move(int32_t i, int32_t j);
  bool Left(int32_t i, int32_t j);
  bool Right(int32_t i, int32_t j);
  void Redraw();
  // The colour of the rubber band in the frame: kClrBandOk or kClrBandBad; 0 when the frame
  // shows neither or both.
  uint32_t BandColour();
  // Saves the frame as name.png into the folder RAMVEL_SHOT_DIR names, when it is set, so that
  // the pictures can be looked at.
  void Shot(const std::string& name);
  std::vector<std::string> Shown() const { return host_.Texts(); }

  TTempDir dir_;
  std::string folder_;
  TLandGrid land_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TRecordingSink sink_;
  TBrdEdit ed_{&sink_};
};

}  // namespace ramvel::test
