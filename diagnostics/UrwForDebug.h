// TFrmDebug: the diagnostics window, a modal look inside one station, rail or train set: its id,
// entries and connection codes, end points and angle; a station's track picture with the
// occupancy of the track under the mouse; a train set's timetable steps.
#pragma once

#include <QDialog>
#include <QImage>
#include <cstdint>

#include "model/UrwCarObj.h"
#include "model/UrwRailObj.h"
#include "model/UrwStaObj.h"

class QLineEdit;
class QListWidget;
class QTableWidget;

namespace ramvel {

// The paint box: shows its owner's picture and reports the mouse over it.
class TDebugPaintBox : public QWidget {
  Q_OBJECT

 public:
  TDebugPaintBox(const QImage& picture, QWidget* parent);

 signals:
  void MouseMoved(int x, int y);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  const QImage& picture_;
};

class TFrmDebug : public QDialog {
  Q_OBJECT

 public:
  // Size of the paint box and its picture, pixels.
  static constexpr int kPbxW = 594;
  static constexpr int kPbxH = 240;
  // The picture: 2 m per pixel along a station, 3 pixels per metre across it.
  static constexpr float kAlongScale = 2.0f;
  static constexpr float kAcrossScale = 1.0f / 3.0f;

  explicit TFrmDebug(QWidget* parent = nullptr);

  // The object shown: exactly one is set, by the caller, who clears the others. Not owned; it
  // must stay alive while the window is shown. The station is drawn, never changed.
  TStaObj* Sta = nullptr;
  TRailObj* Rail = nullptr;
  TCarObj* Car = nullptr;

  // Sets one object, clears the others and shows the window modally.
  void ShowSta(TStaObj& sta);
  void ShowRail(TRailObj& rail);
  void ShowCar(TCarObj& car);

  // ---- Controls ----
  QLineEdit *EdtId, *EdtName, *EdtAng, *EdtPosL, *EdtPosR;
  QLineEdit *EdtEntL, *EdtOfsL, *EdtEntR, *EdtOfsR;
  QListWidget *LbxEntL, *LbxEntR;
  TDebugPaintBox* Pbx;
  QImage Picture;  // what Pbx shows, kPbxW x kPbxH
  QTableWidget* Grd;

  // ---- Events ----
  // Fills the fields and the picture or the grid for the object set.
  void FormShow();
  // Highlights the station track under (x, y) of the paint box and lists its occupancy.
  void PbxMouseMove(int x, int y);
  // The segment highlighted now; null when none is.
  const StaRail* HiRail() const { return hiRail_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void MakeControls();
  void ClearFields();
  void ShowObjFields(const TBaseObj& obj);
  void DrawStation();
  void DrawHiRail(const StaRail& r, uint32_t rgb);
  // Lists timetable steps or occupancy intervals in the grid.
  void ListTmTbl(const TTmTblObj& tbl);

  const StaRail* hiRail_ = nullptr;
};

// A time of a grid cell: the plain number below 0, else hours, minutes and seconds.
std::string DebugTimeText(int32_t t);

}  // namespace ramvel
