// TFrmDiaProblems: the diagram editor's problem list (チェック): one row per problem of the line
// with its kind, place, time and the two trains; a click on a row asks the editor to show it.
#pragma once

#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <vector>

#include "engine/UrwBrdAudit.h"

namespace ramvel {

class TFrmDiaProblems : public QWidget {
  Q_OBJECT

 public:
  explicit TFrmDiaProblems(QWidget* parent = nullptr);

  // Shows the problems (kept in the window until the next Fill).
  void Fill(const std::vector<TLineProblem>& problems);
  const std::vector<TLineProblem>& Problems() const { return problems_; }

  QLabel* LblCount;
  QTableWidget* GrdProblems;  // columns 種類, 場所, 時刻, 列車, 相手
  // A row clicked (or chosen by key): the problem shown there.
  std::function<void(const TLineProblem&)> OnPick;

 private:
  std::vector<TLineProblem> problems_;
};

// One problem as the list and the closing question write it:
// "種類  場所  時刻  列車 / 相手".
std::string ProblemLine(const TLineProblem& p);
// The time column: "from-to", the start alone, or empty for a problem without a time.
std::string ProblemTime(const TLineProblem& p);
// A train or standing set as the list names it: "1234", or "編成7" for "[7]".
std::string ProblemTrain(const std::string& tr);

}  // namespace ramvel
