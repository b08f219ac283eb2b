#include "windows/timetable/UrwDelaySimForm.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QShortcut>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>

#include "engine/UrwPlayDay.h"
#include "foundation/UrwTextRec.h"
#include "foundation/UrwUiHost.h"
#include "windows/timetable/UrwDiaEditorForm.h"
#include "windows/timetable/UrwDiaChartView.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

std::string Num(double v, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", digits, v);
  return buf;
}

std::string Late(double s) {
  const int64_t r = std::llround(s);
  return "+" + IntText(r / 60) + "分" + (r % 60 < 10 ? "0" : "") + IntText(r % 60) + "秒";
}

QLabel* Caption(const char* text, QWidget* buddy, QWidget* parent) {
  auto* l = new QLabel(QString::fromUtf8(text), parent);
  l->setBuddy(buddy);
  return l;
}

}  // namespace

TFrmDelaySim::TFrmDelaySim(TBrdData& brd, std::function<std::vector<std::string>()> trNos,
                           QWidget* parent)
    : QWidget(parent), brd_(brd), trNos_(std::move(trNos)) {
  setWindowTitle(QStr("遅延シミュレーション - " + brd.LineName));
  SpnShare = new QSpinBox(this);
  SpnShare->setRange(0, 100);
  SpnShare->setValue(20);
  SpnShare->setSuffix(QStringLiteral(" %"));
  SpnMean = new QDoubleSpinBox(this);
  SpnMean->setRange(0.1, 60);
  SpnMean->setDecimals(1);
  SpnMean->setValue(3.0);
  SpnMean->setSuffix(QStringLiteral(" 分"));
  CbxAt = new QComboBox(this);
  CbxAt->addItem(QStringLiteral("最初の発車駅"), 0);
  std::vector<std::string> seen;
  for (const std::string& id : brd.LineStas) {
    if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
    seen.push_back(id);
    if (const TStaObj* sta = brd.FindSta(id, "")) CbxAt->addItem(QStr(sta->Name), sta->Id);
  }
  EdtTrain = new QLineEdit(this);
  EdtTrain->setPlaceholderText(QStringLiteral("空欄なら無作為"));
  EdtTrain->setMaximumWidth(120);
  SpnDelay = new QSpinBox(this);
  SpnDelay->setRange(1, 600);
  SpnDelay->setValue(5);
  SpnDelay->setSuffix(QStringLiteral(" 分"));
  SpnRuns = new QSpinBox(this);
  SpnRuns->setRange(1, 1000);
  SpnRuns->setValue(1);
  SpnRuns->setSuffix(QStringLiteral(" 回"));
  SpnSeed = new QSpinBox(this);
  SpnSeed->setRange(0, 999999999);
  SpnSeed->setValue(1);
  BtnRun = new QPushButton(QStringLiteral("実行(&R)"), this);
  BtnRun->setDefault(true);
  MemResult = new QPlainTextEdit(this);
  MemResult->setReadOnly(true);
  MemResult->setFont(UiFont(false, 12));
  MemResult->setPlainText(QStringLiteral("条件を決めて「実行」を押して下さい。"));
  LblInfo = new QLabel(QStringLiteral(
                           "実行すると、ダイヤグラムに遅延した列車が破線で表示されます。"
                           "運行モードの「運行ダイヤ › 遅延ダイヤ」で遅延した一日を再生できます。"),
                       this);
  LblInfo->setWordWrap(true);
  auto* grid = new QGridLayout;
  grid->addWidget(Caption("遅延する列車の割合(&S)", SpnShare, this), 0, 0);
  grid->addWidget(SpnShare, 0, 1);
  grid->addWidget(Caption("平均遅延(&M)", SpnMean, this), 0, 2);
  grid->addWidget(SpnMean, 0, 3);
  grid->addWidget(Caption("遅延の発生駅(&A)", CbxAt, this), 0, 4);
  grid->addWidget(CbxAt, 0, 5);
  grid->addWidget(Caption("列車を指定(&T)", EdtTrain, this), 1, 0);
  grid->addWidget(EdtTrain, 1, 1);
  grid->addWidget(Caption("遅延時間(&D)", SpnDelay, this), 1, 2);
  grid->addWidget(SpnDelay, 1, 3);
  grid->addWidget(Caption("試行回数(&N)", SpnRuns, this), 2, 0);
  grid->addWidget(SpnRuns, 2, 1);
  grid->addWidget(Caption("乱数の種(&E)", SpnSeed, this), 2, 2);
  grid->addWidget(SpnSeed, 2, 3);
  grid->addWidget(BtnRun, 2, 5);
  grid->setColumnStretch(6, 1);
  auto* box = new QVBoxLayout(this);
  box->addLayout(grid);
  box->addWidget(MemResult, 1);
  box->addWidget(LblInfo);
  resize(720, 600);
  connect(BtnRun, &QPushButton::clicked, this, [this] { BtnRunClick(); });
  auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(esc, &QShortcut::activated, this, &QWidget::close);
  connect(EdtTrain, &QLineEdit::returnPressed, this, [this] { BtnRunClick(); });
  auto given = [this] {
    const bool one = !EdtTrain->text().trimmed().isEmpty();
    SpnShare->setEnabled(!one);
    SpnMean->setEnabled(!one);
    SpnDelay->setEnabled(one);
  };
  connect(EdtTrain, &QLineEdit::textChanged, this, given);
  given();
}

bool TFrmDelaySim::BtnRunClick() {
  TDelayOpts opts;
  opts.Share = SpnShare->value() / 100.0;
  opts.MeanMin = SpnMean->value();
  opts.AtSta = CbxAt->currentData().toInt();
  opts.Runs = SpnRuns->value();
  opts.Seed = static_cast<uint64_t>(SpnSeed->value());
  const std::string train = ToHalfWidth(EdtTrain->text().trimmed().toStdString());
  if (!train.empty()) opts.Given = {{train, SpnDelay->value() * 60}};
  occ_ = CollectLineOcc(brd_, trNos_());
  const TDelayModel model(occ_, opts.MinStop);
  std::string bad;
  TDelayReport rep = RunDelays(model, opts, 0, bad);
  if (!bad.empty()) {
    ShowMsgBox(kCapError, "列車「" + bad + "」は" +
                              (opts.AtSta != 0 ? CbxAt->currentText().toStdString() + "駅から"
                                               : std::string("この路線の駅から")) +
                              "発車しません。列車番号を確かめて下さい");
    EdtTrain->setFocus();
    EdtTrain->selectAll();
    return false;
  }
  rep_ = std::move(rep);
  MemResult->setPlainText(QStr(ReportText(opts)));
  SetPlayDay(brd_, DelayedTimetables(brd_, occ_, rep_.FirstRun));
  if (OnPaths) {
    TDiaOverlay ov;
    ov.Name = "遅延ダイヤ";
    ov.Dashed = true;
    ov.Colour = QColor(200, 0, 160);
    ov.Paths = DelayedPaths(occ_, rep_.FirstRun);
    OnPaths(std::move(ov));
  }
  return true;
}

std::string TFrmDelaySim::ReportText(const TDelayOpts& opts) const {
  const TDelayReport& r = rep_;
  auto fig = [&](const TMeanSd& m, int digits) {
    return Num(m.Mean, digits) + (r.Runs > 1 ? "（±" + Num(m.Sd, digits) + "）" : "");
  };
  auto staName = [&](int32_t id) {
    const TStaObj* s = brd_.FindSta(id, "");
    return s != nullptr ? s->Name : IntText(id);
  };
  std::string t = "列車 " + IntText(static_cast<int64_t>(occ_.Trains.size())) + "本　試行 " +
                  IntText(r.Runs) + "回（乱数の種 " + IntText(static_cast<int64_t>(opts.Seed)) +
                  (r.Runs > 1 ? "〜" : "") + "）\n";
  if (opts.Given.empty()) {
    t += "一次遅延: 列車の" + Num(opts.Share * 100, 0) + "%に平均" + Num(opts.MeanMin, 1) +
         "分（指数分布）";
  } else {
    t += "一次遅延: 列車" + opts.Given[0].first + "を" + IntText(opts.Given[0].second / 60) +
         "分遅らせる";
  }
  t += opts.AtSta != 0 ? "、" + staName(opts.AtSta) + "駅の発車時\n" : "、最初の発車時\n";
  t += "\n定時率（到着の遅れ 1分以内 / 3分以内 / 5分以内）: " + fig(r.Within[0], 1) + "% / " +
       fig(r.Within[1], 1) + "% / " + fig(r.Within[2], 1) + "%\n";
  t += "一次遅延 " + fig(r.PrimaryMin, 1) + "分　波及遅延 " + fig(r.KnockOnMin, 1) + "分\n";
  t += "\n駅別の定時率（1分以内 / 3分以内 / 5分以内）\n";
  for (size_t s = 0; s < r.Stations.size(); ++s) {
    t += "  " + staName(r.Stations[s]) + "駅　到着" + IntText(r.StaArrivals[s]) + "本　" +
         Num(r.StaWithin[s][0], 1) + "% / " + Num(r.StaWithin[s][1], 1) + "% / " +
         Num(r.StaWithin[s][2], 1) + "%\n";
  }
  t += "\n遅延を広げた列車（後続の列車を待たせた時間）\n";
  if (r.Spreaders.empty()) t += "  なし\n";
  for (size_t k = 0; k < r.Spreaders.size() && k < 10; ++k) {
    t += "  列車" + occ_.Trains[r.Spreaders[k].first].TrNo + "　" +
         Num(r.Spreaders[k].second, 1) + "分\n";
  }
  t += std::string("\n遅れた列車") + (r.Runs > 1 ? "（平均）" : "") + "\n";
  bool any = false;
  for (size_t i = 0; i < occ_.Trains.size(); ++i) {
    for (size_t c = 0; c < occ_.Trains[i].Calls.size(); ++c) {
      const double arr = r.ArrDelay[i][c], dep = r.DepDelay[i][c];
      if (arr < 0.5 && dep < 0.5) continue;
      any = true;
      t += "  列車" + occ_.Trains[i].TrNo + "　" + staName(occ_.Trains[i].Calls[c].Sta) + "駅";
      if (arr >= 0) t += "　着" + Late(arr);
      if (dep >= 0) t += "　発" + Late(dep);
      t += "\n";
    }
  }
  if (!any) t += "  なし\n";
  return t;
}

void OpenDelaySimForm(TFrmDiaEditor& ed) {
  TFrmDelaySim* frm = ed.findChild<TFrmDelaySim*>();
  if (frm == nullptr) {
    frm = new TFrmDelaySim(ed.Ed->Brd(), [&ed] { return ed.Ed->Dia.TrNos(); }, &ed);
    frm->setWindowFlag(Qt::Window);
    frm->OnPaths = [&ed](TDiaOverlay ov) {
      ed.MnuDiagramClick();
      if (ed.FrmDiagram == nullptr) return;
      // The first late train in view, so the run shows something whatever was shown before.
      int32_t first = -1;
      for (const TAnPath& p : ov.Paths) {
        if (first < 0 || p.Pts.front().Tm < first) first = p.Pts.front().Tm;
      }
      ed.FrmDiagram->SetOverlay(std::move(ov));
      if (first >= 0) ed.FrmDiagram->CentreOn(first + 1800);
    };
    frm->move(ed.frameGeometry().topLeft() + QPoint(60, 60));
  }
  frm->show();
  frm->raise();
  frm->activateWindow();
}

}  // namespace ramvel
