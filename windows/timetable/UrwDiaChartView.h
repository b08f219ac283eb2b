// The two viewer windows of a line's timetable: the time-space diagram (ダイヤグラム) and the
// platform occupancy chart of a station (番線使用図). Each shows a board's current line, redraws
// from its model only when the model, the view or the size changed, and saves what it shows as
// PNG or SVG.
#pragma once

#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "engine/UrwBrdData.h"
#include "timetable/UrwDiaChart.h"
#include "timetable/UrwStaChart.h"
#include "view/UrwChartDraw.h"
#include "view/UrwDiaOverlay.h"

namespace ramvel {

// The drawing area: shows a cached picture, made again by a painter function when marked dirty
// or resized.
class TChartCanvas : public QWidget {
  Q_OBJECT
 public:
  using TDraw = std::function<void(QPainter&, QSize)>;
  explicit TChartCanvas(TDraw draw, QWidget* parent = nullptr);
  void MarkDirty();
  // The picture as shown now (made when needed).
  const QImage& Picture();
  int Renders() const { return renders_; }  // how often the picture was made

 signals:
  void Wheel(QWheelEvent* e);
  void Clicked(QPointF at);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void wheelEvent(QWheelEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  TDraw draw_;
  QImage cache_;
  bool dirty_ = true;
  int renders_ = 0;
};

// Base of both windows: the save button and its file choice.
class TFrmChartBase : public QWidget {
  Q_OBJECT
 public:
  // Asks for the file to save to; nullopt cancels. Replaceable (tests answer without a dialog).
  std::function<std::optional<std::string>()> AskSavePath;
  // Writes what the window shows now to path (.png or .svg); the reason when it cannot.
  virtual TStatus SaveAs(const std::string& path) = 0;
  void BtnSaveClick();
  // ダイヤ: the board's timetables, the one shown chosen; a choice is handed to OnDiaChosen
  // (the diagram editor switches the timetable it edits, and the windows follow).
  QComboBox* CbxDia;
  std::function<void(int)> OnDiaChosen;

 protected:
  explicit TFrmChartBase(QWidget* parent);
  // The label and the ダイヤ choice at the start of a window's bar.
  void AddDiaChoice(QHBoxLayout* bar);
  QPushButton* BtnSave;
  QLabel* LblInfo;
};

// ダイヤグラム: the time-space diagram of the board's current line.
class TFrmDiagram : public TFrmChartBase {
  Q_OBJECT
 public:
  explicit TFrmDiagram(TBrdData& brd, QWidget* parent = nullptr);
  // Rebuilds from the board: makes the line's blocks and rebuilds its occupancy.
  void Refresh();
  // Rebuilds from a diagram model whose occupancy the board holds already (after an edit).
  void Refresh(const TDiaObj& dia);
  TStatus SaveAs(const std::string& path) override;
  const TLineDiagram& Diagram() const { return dia_; }
  const TDiaDrawOpts& Opts() const { return opts_; }
  void SetOpts(const TDiaDrawOpts& opts);
  TChartCanvas* Canvas() const { return canvas_; }
  // Shows the time t in the middle, keeping the width of the time span shown (two hours when
  // the whole day is shown).
  void CentreOn(int32_t t);
  // The train drawn nearest to a canvas point within a few pixels; -1 when none.
  int32_t TrainAt(QPointF at) const;
  // Paths drawn beside the timetabled ones until replaced (an empty overlay removes them); they
  // stay while the timetable is redrawn.
  void SetOverlay(TDiaOverlay overlay);
  const TDiaOverlay& Overlay() const { return overlay_; }

  QComboBox* CbxDir;
  QPushButton* BtnAll;

 signals:
  // A click on a train's line: its number and its column in the diagram model.
  void TrainClicked(const QString& trNo, int column);

 private:
  void CanvasWheel(QWheelEvent* e);
  void CanvasClick(QPointF at);
  void Changed();
  TBrdData& brd_;
  TLineDiagram dia_;
  TDiaDrawOpts opts_;
  TDiaOverlay overlay_;
  TChartCanvas* canvas_;
};

// 番線使用図: the platform occupancy chart of one station of the board's current line.
class TFrmHomeChart : public TFrmChartBase {
  Q_OBJECT
 public:
  explicit TFrmHomeChart(TBrdData& brd, QWidget* parent = nullptr);
  // Fills the station list from the current line and shows the chart of the station chosen
  // (staId, or the first station when it is not on the line), from the occupancy booked now.
  void Refresh(int32_t staId = 0);
  TStatus SaveAs(const std::string& path) override;
  const TStaChart& Chart() const { return chart_; }
  void SetSpan(TChartSpan span);
  TChartCanvas* Canvas() const { return canvas_; }

  QComboBox* CbxSta;

 private:
  void CbxStaChange(int index);
  void CanvasWheel(QWheelEvent* e);
  QSize PictureSize() const;
  TBrdData& brd_;
  TStaChart chart_;
  TChartSpan span_;
  TChartCanvas* canvas_;
};

}  // namespace ramvel
