#include "windows/timetable/UrwCapacityForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "foundation/UrwTextRec.h"
#include "foundation/UrwUiHost.h"
#include "windows/timetable/UrwDiaEditorForm.h"
#include "timetable/UrwDiaEditorUi.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr int kRowPx = 24;      // one bar
constexpr int kNamePx = 180;    // the place names left of the bars

QString Secs(int32_t s) {
  if (s < 0) return QStringLiteral("－");
  return QStringLiteral("%1分%2秒").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QColor BarColour(double percent, int32_t limit) {
  if (percent > limit) return QColor(220, 50, 50);
  if (percent > limit - 10) return QColor(240, 160, 0);
  return QColor(60, 170, 60);
}

// A time typed as the program takes it ("630", "0630", full-width digits too).
bool ReadTime(QLineEdit* edt, const char* what, int32_t& t) {
  if (TextToTime(ToHalfWidth(edt->text().trimmed().toStdString()), t)) return true;
  ShowMsgBox(kCapError, std::string(what) + "「" + edt->text().toStdString() +
                            "」は時刻ではありません。400から2700の間で入力して下さい（例: 0630）");
  edt->setFocus();
  edt->selectAll();
  return false;
}

}  // namespace

TFrmCapacity::TFrmCapacity(TBrdData& brd, std::function<std::vector<std::string>()> trNos,
                           QWidget* parent)
    : QWidget(parent), brd_(brd), trNos_(std::move(trNos)) {
  setWindowTitle(QStr("線路容量 - " + brd.LineName));
  EdtFrom = new QLineEdit(this);
  EdtTo = new QLineEdit(this);
  for (QLineEdit* e : {EdtFrom, EdtTo}) e->setMaximumWidth(70);
  CbxKind = new QComboBox(this);
  CbxKind->addItems({QString::fromUtf8(TrafficKindName(TTrafficKind::kSuburban)),
                     QString::fromUtf8(TrafficKindName(TTrafficKind::kMixed))});
  BtnCalc = new QPushButton(QStringLiteral("計算(&C)"), this);
  BtnCalc->setDefault(true);
  ImgBars = new TChartCanvas([this](QPainter& p, QSize s) { DrawBars(p, s); }, this);
  ImgBars->setMinimumHeight(160);
  GrdCap = new QTableWidget(0, 6, this);
  GrdCap->setHorizontalHeaderLabels({QStringLiteral("区間"), QStringLiteral("列車数"),
                                     QStringLiteral("使用率"), QStringLiteral("最小運転間隔"),
                                     QStringLiteral("平均運転間隔"), QStringLiteral("最小余裕時分")});
  GrdCap->setEditTriggers(QAbstractItemView::NoEditTriggers);
  GrdCap->verticalHeader()->hide();
  GrdCap->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  LblInfo = new QLabel(this);
  LblInfo->setWordWrap(true);
  auto* bar = new QHBoxLayout;
  auto* spanLbl = new QLabel(QStringLiteral("時間帯(&T)"), this);
  spanLbl->setBuddy(EdtFrom);
  bar->addWidget(spanLbl);
  bar->addWidget(EdtFrom);
  bar->addWidget(new QLabel(QStringLiteral("〜"), this));
  bar->addWidget(EdtTo);
  auto* kindLbl = new QLabel(QStringLiteral("線区の種類(&K)"), this);
  kindLbl->setBuddy(CbxKind);
  bar->addSpacing(12);
  bar->addWidget(kindLbl);
  bar->addWidget(CbxKind);
  bar->addWidget(BtnCalc);
  bar->addStretch(1);
  auto* box = new QVBoxLayout(this);
  box->addLayout(bar);
  box->addWidget(ImgBars, 3);
  box->addWidget(GrdCap, 2);
  box->addWidget(LblInfo);
  resize(760, 620);
  connect(BtnCalc, &QPushButton::clicked, this, [this] { BtnCalcClick(); });
  auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(esc, &QShortcut::activated, this, &QWidget::close);
  for (QLineEdit* e : {EdtFrom, EdtTo}) {
    connect(e, &QLineEdit::returnPressed, this, [this] { BtnCalcClick(); });
  }
  connect(CbxKind, &QComboBox::currentIndexChanged, this, [this] {
    FillGrid();
    ImgBars->MarkDirty();
  });
}

int32_t TFrmCapacity::Threshold() const {
  return CapThreshold(CbxKind->currentIndex() == 1 ? TTrafficKind::kMixed : TTrafficKind::kSuburban,
                      cap_.To - cap_.From);
}

void TFrmCapacity::SetDayWindow() {
  occ_ = CollectLineOcc(brd_, trNos_());
  int32_t from = 0, to = 0;
  OccSpan(occ_, from, to);
  if (to <= from) to = kDayEnd;
  // Whole hours of the clock (04:00 is second 0).
  from = from / 3600 * 3600;
  to = std::min<int32_t>(kDayEnd, (to + 3599) / 3600 * 3600);
  EdtFrom->setText(QStr(std::string(TrimBlanks(TimeToText(from, false)))));
  EdtTo->setText(QStr(std::string(TrimBlanks(TimeToText(to, false)))));
}

bool TFrmCapacity::BtnCalcClick() {
  int32_t from = 0, to = 0;
  if (!ReadTime(EdtFrom, "開始時刻", from) || !ReadTime(EdtTo, "終了時刻", to)) return false;
  if (to <= from) {
    ShowMsgBox(kCapError, "終了時刻は開始時刻より後にして下さい");
    EdtTo->setFocus();
    return false;
  }
  occ_ = CollectLineOcc(brd_, trNos_());
  cap_ = AnalyseCapacity(occ_, from, to);
  FillGrid();
  ImgBars->MarkDirty();
  if (OnPaths) {
    TDiaOverlay ov;
    ov.Name = "圧縮ダイヤ";
    ov.Paths = CompressedPaths(occ_, cap_);
    OnPaths(std::move(ov), from, to);
  }
  return true;
}

void TFrmCapacity::FillGrid() {
  GrdCap->setRowCount(static_cast<int>(cap_.Places.size()));
  const int32_t limit = Threshold();
  for (size_t i = 0; i < cap_.Places.size(); ++i) {
    const TCapPlace& p = cap_.Places[i];
    const int r = static_cast<int>(i);
    auto set = [&](int c, const QString& text) {
      auto* item = new QTableWidgetItem(text);
      if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      GrdCap->setItem(r, c, item);
    };
    set(0, QStr(occ_.Places[p.Place].Name));
    set(1, QString::number(p.Trains));
    set(2, QString::number(p.Percent, 'f', 1) + "%");
    set(3, Secs(p.MinHeadway));
    set(4, Secs(p.MeanHeadway < 0 ? -1 : static_cast<int32_t>(std::lround(p.MeanHeadway))));
    set(5, Secs(p.MinBuffer));
    GrdCap->item(r, 2)->setForeground(BarColour(p.Percent, limit).darker(130));
  }
  double worst = 0;
  std::string where;
  for (const TCapPlace& p : cap_.Places) {
    if (p.Percent > worst) {
      worst = p.Percent;
      where = occ_.Places[p.Place].Name;
    }
  }
  const bool peak = cap_.To - cap_.From <= 3600;
  QString info = QStr(std::string(TrimBlanks(TimeToText(cap_.From, false))) + "〜" +
                      std::string(TrimBlanks(TimeToText(cap_.To, false)))) +
                 QStringLiteral("　基準 %1%（%2・%3）").arg(limit).arg(CbxKind->currentText())
                     .arg(peak ? QStringLiteral("ピーク1時間") : QStringLiteral("終日"));
  if (!where.empty()) {
    info += QStringLiteral("　最大 %1%（%2）").arg(worst, 0, 'f', 1).arg(QStr(where));
  }
  info += QStringLiteral("\nUIC 406 の推奨上限: 近郊専用線はピーク1時間 85%・終日 70%、"
                         "混合線は 75%・60%。1時間以内の時間帯にはピーク時の値を使います。");
  LblInfo->setText(info);
}

void TFrmCapacity::DrawBars(QPainter& p, QSize size) const {
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  p.setFont(UiFont(false, 13));
  if (cap_.Places.empty()) {
    p.setPen(Qt::darkGray);
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter,
               cap_.To > cap_.From ? QStringLiteral("この時間帯に走る列車はありません")
                                   : QStringLiteral("時間帯を入れて「計算」を押して下さい"));
    return;
  }
  const int32_t limit = Threshold();
  double top = 100;
  for (const TCapPlace& c : cap_.Places) top = std::max(top, c.Percent);
  const double x0 = kNamePx, x1 = size.width() - 60.0;
  auto xOf = [&](double percent) { return x0 + (x1 - x0) * percent / top; };
  const QFontMetrics fm(p.font());
  int y = 8;
  // Along the line: stations and sections in line order.
  for (const TCapPlace& c : cap_.Places) {
    const TLinePlace& place = occ_.Places[c.Place];
    p.setPen(Qt::black);
    const QString name = fm.elidedText(QStr(place.Name), Qt::ElideRight, kNamePx - 10);
    p.drawText(QRectF(4, y, kNamePx - 8, kRowPx), Qt::AlignVCenter | Qt::AlignRight, name);
    const QRectF bar(x0, y + 4, std::max(1.0, xOf(c.Percent) - x0), kRowPx - 8);
    p.fillRect(bar, place.IsStation ? BarColour(c.Percent, limit).lighter(125)
                                    : BarColour(c.Percent, limit));
    p.setPen(Qt::black);
    p.drawText(QPointF(bar.right() + 4, y + kRowPx / 2.0 + fm.ascent() / 2.0 - 1),
               QString::number(c.Percent, 'f', 1) + "%");
    y += kRowPx;
  }
  const double xl = xOf(limit);
  p.setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
  p.drawLine(QPointF(xl, 4), QPointF(xl, y + 2));
  p.setPen(QColor(200, 0, 0));
  p.drawText(QPointF(xl + 3, y + fm.ascent() + 2), QStringLiteral("基準 %1%").arg(limit));
}

void OpenCapacityForm(TFrmDiaEditor& ed) {
  TFrmCapacity* frm = ed.findChild<TFrmCapacity*>();
  if (frm == nullptr) {
    frm = new TFrmCapacity(ed.Ed->Brd(), [&ed] { return ed.Ed->Dia.TrNos(); }, &ed);
    frm->setWindowFlag(Qt::Window);
    frm->OnPaths = [&ed](TDiaOverlay ov, int32_t from, int32_t to) {
      ed.MnuDiagramClick();
      if (ed.FrmDiagram == nullptr) return;
      ed.FrmDiagram->SetOverlay(std::move(ov));
      TDiaDrawOpts opts = ed.FrmDiagram->Opts();
      opts.Span = {from, to};
      ed.FrmDiagram->SetOpts(opts);
    };
    frm->SetDayWindow();
    frm->move(ed.frameGeometry().topLeft() + QPoint(40, 40));
  }
  frm->show();
  frm->raise();
  frm->activateWindow();
}

}  // namespace ramvel
