// Drives the station designer window as a user does: real mouse clicks on its picture, keys in
// its fields, and the entry crossing dialog answered by clicks on its circles.
#pragma once

#include <QPoint>
#include <functional>
#include <string>

#include "StaPicture.h"
#include "windows/station_designer/UrwStaEditorForm.h"

namespace ramvel::test {

// A terminus: one entry on the left leads through a turnout in column 6 to platform tracks 1
// (row 10) and 2 (row 11) between two platforms; the tracks end at the platforms' right ends.
TStaPicture Terminus(const std::string& name = "終端");
// The terminus mirrored left to right: piece 4 becomes piece 6, the tracks leave to the right.
TStaPicture TerminusWest(const std::string& name);
// A through station on a single line with a passing loop: the main line runs along row 10
// through platform track 1, the loop leaves in column 6 and rejoins in column 15 by platform
// track 2.
TStaPicture PassingLoop();
// Three platform tracks, two entries a side; on the left inner entry 1 flies over to outer
// entry 2, on the right inner entry 2 to outer entry 1. Platform track 3 is numbered 7.
TStaPicture Crossing();

// Copies rw_panel.txt and rw_tbl.txt of the repository into a program folder.
void CopyPieces(const std::string& progDir);

class TStaClicks {
 public:
  explicit TStaClicks(TFrmStaEditor& win) : win_(win) {}

  // The middle of a matrix cell and of a palette cell, in picture pixels.
  static QPoint CellPt(int32_t col, int32_t row);
  static QPoint PalettePt(int32_t col, int32_t row);

  void Move(QPoint pt);
  // Moves the pointer there and clicks (press and release).
  void Click(QPoint pt, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers mods = Qt::NoModifier);
  void ClickCell(int32_t col, int32_t row, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Click(CellPt(col, row), button, mods);
  }
  // Takes the piece from the palette by clicking the last palette cell it covers (a click
  // anywhere on a wide piece picks it). False when the palette does not offer the piece.
  bool Pick(int32_t piece);
  // Lets go of the held piece (a right click on the palette).
  void Release();
  // Replaces the text of a field and confirms it with Enter.
  void Type(QWidget* field, const std::string& text);
  void SetEntries(int32_t left, int32_t right);
  // Sets a side's crossing through the dialog opened by a click on the entry strip: the inner
  // entries from..from + cnt - 1, then the outer entry to, then OK.
  void SetCrossing(int32_t side, const TEntCrs& crs);

  // Designs the picture as a user would: name, entry counts, crossings, then row by row the
  // pieces; a run of straight pieces is laid with the Shift row fill, a platform track with a
  // given number gets it through the number input (answered from host).
  void Design(const TStaPicture& pic, TScriptedHost& host);

  // Called after each step of Design with a short name of the step (to take pictures).
  std::function<void(const std::string&)> OnStep;

 private:
  void PlaceRow(const std::string& line, int32_t row, TScriptedHost& host);

  TFrmStaEditor& win_;
};

}  // namespace ramvel::test
