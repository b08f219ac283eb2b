// TFrmRailConn: the modal dialog in which the user changes which entries of a station side a
// rail's tracks take, by clicking the entries in a picture of that side.
#pragma once

#include <QDialog>
#include <QImage>

#include "engine/UrwRailConnState.h"

class QLabel;
class QPushButton;

namespace ramvel {

class TStaObj;
class TRailObj;

class TFrmRailConn : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmRailConn(QWidget* parent = nullptr);

  // Shows the side staSide of the station with the rail joined to it; on OK the station's and
  // the rail's connections are rewritten, on Cancel both stay untouched.
  bool Execute(TStaObj& sta, TRailObj& rail, int32_t staSide);
  // Reads the state and draws the picture without showing the dialog.
  void Open(TStaObj& sta, TRailObj& rail, int32_t staSide);

  // The picture's pointer events, in picture pixels.
  void ImgMouseMove(int x, int y);
  void ImgMouseUp(int x, int y);
  void BtnOkClick();
  void DrawPicture();

  static constexpr int kPicSize = 240;  // the picture: a square as high as the client area

  TRailConnState State;
  QImage Picture;
  QLabel* ImgConn;
  QPushButton* BtnOk;
  QPushButton* BtnCancel;
  int32_t CurEnt = 0;  // the entry under the pointer; 0 for none

 protected:
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  TPoint Middle() const { return {kPicSize / 2, kPicSize / 2}; }
  void DrawMarker(QPainter& p, int32_t i);

  TStaObj* sta_ = nullptr;
  TRailObj* rail_ = nullptr;
};

}  // namespace ramvel
