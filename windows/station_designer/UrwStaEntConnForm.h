// TFrmStaEnt: the modal dialog "立体交差の設定" in which the user clicks the grade-separated
// crossing of one station side together; its rules live in TStaEntConn.
#pragma once

#include <QDialog>
#include <QImage>
#include <QWidget>

#include "station_designer/UrwStaEntConn.h"

class QPushButton;

namespace ramvel {

// The dialog's picture: shows an image and reports the mouse in its own pixels.
class TEntConnPic : public QWidget {
  Q_OBJECT

 public:
  explicit TEntConnPic(QWidget* parent);
  QImage Pic;

 signals:
  void MouseMoved(int x, int y);
  void MouseReleased(int x, int y);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
};

class TFrmStaEnt : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmStaEnt(QWidget* parent = nullptr);

  // Shows the dialog on conn (the clicks change it) and waits; true when closed with OK.
  bool Execute(TStaEntConn& conn);
  // The crossing being edited while the dialog is shown; null otherwise.
  const TStaEntConn* Conn() const { return conn_; }

  TEntConnPic* ImgEnt;
  QPushButton* BtnOk;
  QPushButton* BtnCancel;

 private:
  void ImgEntMouseMove(int x, int y);
  void ImgEntMouseUp(int x, int y);
  void DrawPic();

  TStaEntConn* conn_ = nullptr;
};

}  // namespace ramvel
