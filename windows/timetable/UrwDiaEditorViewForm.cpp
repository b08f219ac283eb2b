// The diagram editor's 表示 menu: the time-space diagram and the platform chart of its line in
// windows of their own, kept in step with the edits, and a train picked in the diagram selected
// in the grid.
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <functional>

#include "foundation/UrwTextRec.h"
#include "foundation/UrwUiHost.h"
#include "windows/timetable/UrwCapacityForm.h"
#include "windows/timetable/UrwDelaySimForm.h"
#include "windows/timetable/UrwDiaEditorForm.h"
#include "windows/timetable/UrwDiaProblemForm.h"
#include "windows/timetable/UrwDiaChartView.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

void TFrmDiaEditor::MakeViewMenu() {
  MnuView = MainMenu1->addMenu(QStringLiteral("表示(&V)"));
  MnuDiagram = MnuView->addAction(QStringLiteral("ダイヤグラム(&D)"));
  MnuDiagram->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  MnuHomeChart = MnuView->addAction(QStringLiteral("番線使用図(&H)"));
  // By key the mouse can stay on the station whose chart is wanted.
  MnuHomeChart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
  for (QAction* a : {MnuDiagram, MnuHomeChart}) a->setShortcutContext(Qt::WindowShortcut);
  MnuView->addSeparator();
  QAction* cap = MnuView->addAction(QStringLiteral("線路容量(&C)..."));
  QAction* late = MnuView->addAction(QStringLiteral("遅延シミュレーション(&S)..."));
  cap->setObjectName("MnuCapacity");
  late->setObjectName("MnuDelaySim");
  connect(cap, &QAction::triggered, this, [this] { OpenCapacityForm(*this); });
  connect(late, &QAction::triggered, this, [this] { OpenDelaySimForm(*this); });
}

// Right of the editor when the screen has room there, else over its right part.
void TFrmDiaEditor::PlaceBeside(QWidget* w) {
  const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  const QRect area = s != nullptr ? s->availableGeometry() : QRect(0, 0, 1600, 900);
  const QSize size = w->size().boundedTo(area.size());
  const QRect ed = frameGeometry();
  int x = ed.right() + 1;
  if (x + size.width() > area.right()) x = std::max(area.left(), area.right() - size.width());
  const int y =
      std::clamp(ed.top(), area.top(), std::max(area.top(), area.bottom() - size.height()));
  w->resize(size);
  w->move(x, y);
}

void TFrmDiaEditor::MnuDiagramClick() {
  if (FrmDiagram == nullptr) {
    FrmDiagram = new TFrmDiagram(*brd_, this);
    FrmDiagram->OnDiaChosen = [this](int k) { CbxDiaChange(k); };
    FrmDiagram->setWindowFlag(Qt::Window);
    FrmDiagram->setWindowTitle(QStr("ダイヤグラム - " + brd_->LineName));
    connect(FrmDiagram, &TFrmDiagram::TrainClicked, this,
            [this](const QString& trNo, int column) { SelectTrain(trNo.toStdString(), column); });
    PlaceBeside(FrmDiagram);
  }
  FrmDiagram->Refresh(Ed->Dia);
  chartStamp_ = DiaStamp();
  FrmDiagram->show();
  FrmDiagram->raise();
}

void TFrmDiaEditor::MnuHomeChartClick() {
  int32_t staId = HoverStaId;
  if (staId <= 0) {
    std::vector<std::string> names = Ed->LineStaNames;
    if (Ed->IsRingLine() && !names.empty()) names.pop_back();  // its first station once
    const std::optional<std::string> name =
        ChooseItem(names, "番線使用図を表示する駅を選択して下さい");
    if (!name) return;
    const auto it = std::find(Ed->LineStaNames.begin(), Ed->LineStaNames.end(), *name);
    const size_t i = static_cast<size_t>(it - Ed->LineStaNames.begin());
    if (i >= Ed->Dia.StaList.size()) return;
    staId = IntOr0(Ed->Dia.StaList[i]);
  }
  if (FrmHomeChart == nullptr) {
    FrmHomeChart = new TFrmHomeChart(*brd_, this);
    FrmHomeChart->OnDiaChosen = [this](int k) { CbxDiaChange(k); };
    FrmHomeChart->setWindowFlag(Qt::Window);
    FrmHomeChart->setWindowTitle(QStr("番線使用図 - " + brd_->LineName));
    PlaceBeside(FrmHomeChart);
  }
  FrmHomeChart->Refresh(staId);
  chartStamp_ = DiaStamp();
  FrmHomeChart->show();
  FrmHomeChart->raise();
}

// What the viewer windows draw from: the trains' numbers, kinds and cells. Scrolling, the
// direction and the special views leave it as it is, so they redraw nothing there.
size_t TFrmDiaEditor::DiaStamp() const {
  const TDiaObj& d = Ed->Dia;
  size_t h = 0;
  const auto mix = [&h](size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
  mix(static_cast<size_t>(d.TrCount));
  mix(static_cast<size_t>(d.StaCount));
  for (const TTrInfo& t : d.TrInfo) {
    mix(std::hash<std::string>{}(t.TrNo));
    mix(std::hash<std::string>{}(t.TrKind));
  }
  for (const std::vector<TTmTbl>& cells : d.DiaCells) {
    for (const TTmTbl& c : cells) {
      mix(static_cast<size_t>(static_cast<uint32_t>(c.TmStart)));
      mix(static_cast<size_t>(static_cast<uint32_t>(c.TmEnd)));
      mix(static_cast<size_t>(static_cast<uint32_t>(c.Loc)));
    }
  }
  return h;
}

void TFrmDiaEditor::RefreshCharts() {
  const bool dia = FrmDiagram != nullptr && FrmDiagram->isVisible();
  const bool home = FrmHomeChart != nullptr && FrmHomeChart->isVisible();
  // While a train is entered its cells are not booked yet: the windows wait for the edit's end.
  if (!Ed || (!dia && !home) || Ed->Entering()) return;
  const size_t stamp = DiaStamp();
  if (stamp == chartStamp_) return;
  chartStamp_ = stamp;
  if (dia) FrmDiagram->Refresh(Ed->Dia);
  if (home) FrmHomeChart->Refresh();
}

bool TFrmDiaEditor::SelectTrain(const std::string& trNo, int32_t column) {
  if (!Ed || Ed->Entering()) return false;
  TDiaObj& dia = Ed->Dia;
  // The diagram names the column of the model it drew; it must still be that train.
  if (column < 0 || column >= dia.TrCount || dia.TrInfo[column].TrNo != trNo) return false;
  const auto rowOf = [&dia, column] {
    const TOrderList& order = *dia.ViewOrder;
    for (size_t k = 0; k < order.size(); ++k) {
      if (order[k].Tr == column) return static_cast<int>(k) + 1;
    }
    return -1;
  };
  int row = rowOf();
  if (row < 0) {  // another direction or a special view: the normal view of its direction
    Ed->KudariMode = dia.TrInfo[column].Dir == 1;
    ApplyDir();
    row = rowOf();
    if (row < 0) return false;
  }
  // Its first station on the line in view.
  int32_t first = -1;
  for (int32_t s = 0; s < dia.StaCount && first < 0; ++s) {
    if (dia.HasCell(column, s)) first = s;
  }
  const int32_t shown = ShownStaCount();
  if (first >= 0 && (first < Ed->LeftSta || first >= Ed->LeftSta + shown)) {
    Ed->LeftSta = std::clamp<int32_t>(first, 0, std::max<int32_t>(0, FitLeft(dia.StaCount - 1)));
  }
  // Marked as 経路の表示 marks its train: the whole row, the model's current train.
  Ed->OccTm = -1;
  Ed->MarkRow = row;
  Ed->MarkCol = kNoMark;
  dia.CurTr = column;
  RefreshView(true);
  const int top = GrdTm->TopRow(), page = GrdTm->VBar->pageStep();
  if (row < top || row >= top + page) GrdTm->VBar->setValue(row - 1 - page / 2);
  GrdTm->update();
  // The grid may have turned or scrolled: say why.
  SBarDia->setText(QStr("ダイヤグラムで選んだ列車：" + trNo));
  return true;
}

void TFrmDiaEditor::ShowProblems(const std::vector<TLineProblem>& problems) {
  if (FrmProblems == nullptr) {
    FrmProblems = new TFrmDiaProblems(this);
    FrmProblems->setWindowFlag(Qt::Window);
    FrmProblems->setWindowTitle(QStr("チェック - " + brd_->LineName));
    FrmProblems->OnPick = [this](const TLineProblem& p) { PickProblem(p); };
    PlaceBeside(FrmProblems);
  }
  FrmProblems->Fill(problems);
  FrmProblems->show();
  FrmProblems->raise();
}

void TFrmDiaEditor::PickProblem(const TLineProblem& p) {
  if (!Ed) return;
  std::string shown;
  for (const std::string& tr : {p.TrA, p.TrB}) {
    if (tr.empty() || IsStandLabel(tr) || !shown.empty()) continue;
    for (int32_t k = 0; k < Ed->Dia.TrCount; ++k) {
      if (Ed->Dia.TrInfo[k].TrNo == tr && SelectTrain(tr, k)) {
        shown = tr;
        break;
      }
    }
  }
  if (p.From >= 0) {
    if (FrmDiagram == nullptr || !FrmDiagram->isVisible()) MnuDiagramClick();
    FrmDiagram->CentreOn(p.From);
  }
  SBarDia->setText(QStr(ProblemKindName(p.Kind) + std::string("：") + p.Place + " " +
                        ProblemTime(p) + " " + ProblemTrain(p.TrA) +
                        (p.TrB.empty() ? "" : " / " + ProblemTrain(p.TrB))));
}

void TFrmDiaEditor::done(int r) {
  if (FrmProblems != nullptr) FrmProblems->close();
  if (FrmDiagram != nullptr) FrmDiagram->close();
  if (FrmHomeChart != nullptr) FrmHomeChart->close();
  QDialog::done(r);
}

}  // namespace ramvel
