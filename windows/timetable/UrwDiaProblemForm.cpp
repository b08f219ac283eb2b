// The diagram editor's problem list window.
#include "windows/timetable/UrwDiaProblemForm.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include "timetable/UrwDiaBulkCheck.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

std::string ProblemTrain(const std::string& tr) {
  return IsStandLabel(tr) ? "編成" + tr.substr(1, tr.size() - 2) : tr;
}

std::string ProblemTime(const TLineProblem& p) {
  if (p.From < 0) return "";
  if (p.To <= p.From) return RefusalTime(p.From);
  return RefusalTime(p.From) + "-" + (p.To >= kDayEnd ? std::string("2700") : RefusalTime(p.To));
}

std::string ProblemLine(const TLineProblem& p) {
  std::string line = std::string(ProblemKindName(p.Kind)) + "  " + p.Place;
  if (p.From >= 0) line += "  " + ProblemTime(p);
  line += "  " + ProblemTrain(p.TrA);
  if (!p.TrB.empty()) line += " / " + ProblemTrain(p.TrB);
  return line;
}

TFrmDiaProblems::TFrmDiaProblems(QWidget* parent) : QWidget(parent) {
  setFont(UiFont(true, 12));
  resize(560, 300);
  auto* col = new QVBoxLayout(this);
  LblCount = new QLabel(this);
  col->addWidget(LblCount);
  GrdProblems = new QTableWidget(0, 5, this);
  GrdProblems->setHorizontalHeaderLabels(
      {QStringLiteral("種類"), QStringLiteral("場所"), QStringLiteral("時刻"),
       QStringLiteral("列車"), QStringLiteral("相手")});
  GrdProblems->verticalHeader()->hide();
  GrdProblems->setSelectionBehavior(QAbstractItemView::SelectRows);
  GrdProblems->setSelectionMode(QAbstractItemView::SingleSelection);
  GrdProblems->setEditTriggers(QAbstractItemView::NoEditTriggers);
  GrdProblems->horizontalHeader()->setStretchLastSection(true);
  col->addWidget(GrdProblems, 1);
  const auto pick = [this](int row) {
    if (row >= 0 && row < static_cast<int>(problems_.size()) && OnPick) OnPick(problems_[row]);
  };
  connect(GrdProblems, &QTableWidget::cellClicked, this, pick);
  connect(GrdProblems, &QAbstractItemView::activated, this,
          [pick](const QModelIndex& i) { pick(i.row()); });
}

void TFrmDiaProblems::Fill(const std::vector<TLineProblem>& problems) {
  problems_ = problems;
  GrdProblems->blockSignals(true);
  GrdProblems->setRowCount(static_cast<int>(problems.size()));
  for (int r = 0; r < static_cast<int>(problems.size()); ++r) {
    const TLineProblem& p = problems[r];
    const std::string cells[] = {ProblemKindName(p.Kind), p.Place, ProblemTime(p),
                                 ProblemTrain(p.TrA), ProblemTrain(p.TrB)};
    for (int c = 0; c < 5; ++c) GrdProblems->setItem(r, c, new QTableWidgetItem(QStr(cells[c])));
  }
  GrdProblems->resizeColumnsToContents();
  GrdProblems->setCurrentCell(-1, -1);
  GrdProblems->blockSignals(false);
  LblCount->setText(problems.empty()
                        ? QStringLiteral("不具合な箇所はありません")
                        : QStr("不具合が" + IntText(static_cast<int64_t>(problems.size())) +
                               "件あります。行をクリックすると、その列車を表示します"));
}

}  // namespace ramvel
