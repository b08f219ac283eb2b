// 線路容量: the capacity of the diagram editor's line for a time window, by the compression
// method of UIC leaflet 406. A bar per place along the line coloured against the reference
// figure, the figures in a grid, and the compressed paths drawn in the time-space diagram.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "analysis/UrwCapacity.h"
#include "windows/timetable/UrwDiaChartView.h"

namespace ramvel {

class TFrmDiaEditor;

class TFrmCapacity : public QWidget {
  Q_OBJECT
 public:
  // trNos gives the trains whose occupancy the board holds booked now.
  TFrmCapacity(TBrdData& brd, std::function<std::vector<std::string>()> trNos,
               QWidget* parent = nullptr);

  QLineEdit* EdtFrom;
  QLineEdit* EdtTo;
  QComboBox* CbxKind;  // 近郊専用線, 混合線
  QPushButton* BtnCalc;
  TChartCanvas* ImgBars;
  QTableWidget* GrdCap;
  QLabel* LblInfo;

  // Reads the window typed and analyses it; false after a message naming a bad time.
  bool BtnCalcClick();
  // Sets the window fields to the line's operating day, whole hours.
  void SetDayWindow();
  const TCapResult& Result() const { return cap_; }
  const TLineOcc& Occ() const { return occ_; }
  int32_t Threshold() const;

  // Called with the compressed paths after each analysis (the editor shows them in its diagram).
  std::function<void(TDiaOverlay, int32_t from, int32_t to)> OnPaths;

 private:
  void DrawBars(QPainter& p, QSize size) const;
  void FillGrid();
  TBrdData& brd_;
  std::function<std::vector<std::string>()> trNos_;
  TLineOcc occ_;
  TCapResult cap_;
};

// 表示 › 線路容量: opens (or brings up) the editor's capacity window.
void OpenCapacityForm(TFrmDiaEditor& ed);

}  // namespace ramvel
