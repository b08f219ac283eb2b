// 遅延シミュレーション: delay runs of the diagram editor's line. The figures of the runs, the
// delayed paths of the first run dashed in the time-space diagram beside the plan, and that run's
// day handed to run mode, which plays it when its 運行ダイヤ switch is set to 遅延.
#pragma once

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "analysis/UrwDelaySim.h"
#include "view/UrwDiaOverlay.h"

namespace ramvel {

class TFrmDiaEditor;

class TFrmDelaySim : public QWidget {
  Q_OBJECT
 public:
  // trNos gives the trains whose occupancy the board holds booked now.
  TFrmDelaySim(TBrdData& brd, std::function<std::vector<std::string>()> trNos,
               QWidget* parent = nullptr);

  QSpinBox* SpnShare;       // per cent of the trains given a random delay
  QDoubleSpinBox* SpnMean;  // minutes
  QComboBox* CbxAt;         // 最初の発車駅, then the line's stations
  QLineEdit* EdtTrain;      // one train to delay instead; empty: random delays
  QSpinBox* SpnDelay;       // its delay, minutes
  QSpinBox* SpnRuns;
  QSpinBox* SpnSeed;
  QPushButton* BtnRun;
  QPlainTextEdit* MemResult;
  QLabel* LblInfo;

  // Runs as set; false after a message when the train named does not run on the line.
  bool BtnRunClick();
  const TDelayReport& Report() const { return rep_; }

  // Called with the delayed paths of the first run (the editor shows them in its diagram).
  std::function<void(TDiaOverlay)> OnPaths;

 private:
  std::string ReportText(const TDelayOpts& opts) const;
  TBrdData& brd_;
  std::function<std::vector<std::string>()> trNos_;
  TLineOcc occ_;
  TDelayReport rep_;
};

// 表示 › 遅延シミュレーション: opens (or brings up) the editor's delay window.
void OpenDelaySimForm(TFrmDiaEditor& ed);

}  // namespace ramvel
