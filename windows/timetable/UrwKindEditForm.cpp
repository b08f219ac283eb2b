// The kind table window: a grid of name, type and colour over the rows of the board's table;
// the board's table is replaced only through ApplyKindEdits when the user presses OK.
#include "windows/timetable/UrwKindEditForm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "foundation/UrwUiHost.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr const char* kCapKinds = "種別の編集";

QColor BgrColor(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The colour dialog speaks 0xRRGGBB; the board keeps 0x00BBGGRR.
int32_t SwapRb(uint32_t c) {
  return static_cast<int32_t>(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

}  // namespace

TFrmKindEdit::TFrmKindEdit(TBrdData& brd, QWidget* parent) : QDialog(parent), brd_(brd) {
  setWindowTitle(QStr(kCapKinds));
  auto* col = new QVBoxLayout(this);
  auto* body = new QHBoxLayout();
  GrdKind = new QTableWidget(0, 3, this);
  GrdKind->setHorizontalHeaderLabels({QStringLiteral("名前"), QStringLiteral("扱い"),
                                      QStringLiteral("色")});
  GrdKind->setSelectionBehavior(QAbstractItemView::SelectRows);
  GrdKind->setSelectionMode(QAbstractItemView::SingleSelection);
  GrdKind->verticalHeader()->setVisible(false);
  GrdKind->setColumnWidth(kColName, 150);
  GrdKind->setColumnWidth(kColType, 90);
  GrdKind->horizontalHeader()->setStretchLastSection(true);
  GrdKind->setMinimumSize(340, 260);
  body->addWidget(GrdKind, 1);
  auto* side = new QVBoxLayout();
  BtnAdd = new QPushButton(QStringLiteral("追加(&A)"), this);
  BtnDel = new QPushButton(QStringLiteral("削除(&D)"), this);
  BtnUp = new QPushButton(QStringLiteral("上へ(&U)"), this);
  BtnDown = new QPushButton(QStringLiteral("下へ(&W)"), this);
  BtnColor = new QPushButton(QStringLiteral("色(&C)..."), this);
  for (QPushButton* b : {BtnAdd, BtnDel, BtnUp, BtnDown, BtnColor}) {
    b->setAutoDefault(false);
    side->addWidget(b);
  }
  side->addStretch(1);
  body->addLayout(side);
  col->addLayout(body, 1);
  LblNote = new QLabel(QStringLiteral("名前はセルをダブルクリック（または F2）して変えます。扱いは列車の種別としての"
                                      "意味（停車・回送など）です。\n"
                                      "列車が使っている種別は削除できません。名前や扱いを変えると、その"
                                      "種別の列車も変わります。"),
                       this);
  LblNote->setWordWrap(true);
  col->addWidget(LblNote);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  BtnOk = new QPushButton(QStringLiteral("OK"), this);
  BtnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
  BtnOk->setDefault(true);
  buttons->addWidget(BtnOk);
  buttons->addWidget(BtnCancel);
  col->addLayout(buttons);
  for (const TKindEdit& row : KindEditRows(brd_)) AddRow(row);
  if (GrdKind->rowCount() > 0) GrdKind->selectRow(0);
  connect(BtnAdd, &QPushButton::clicked, this, [this] { BtnAddClick(); });
  connect(BtnDel, &QPushButton::clicked, this, [this] { BtnDelClick(); });
  connect(BtnUp, &QPushButton::clicked, this, [this] { BtnMoveClick(-1); });
  connect(BtnDown, &QPushButton::clicked, this, [this] { BtnMoveClick(1); });
  connect(BtnColor, &QPushButton::clicked, this, [this] { BtnColorClick(); });
  connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(GrdKind, &QTableWidget::cellDoubleClicked, this, [this](int, int c) {
    if (c == kColColor) BtnColorClick();
  });
  connect(GrdKind, &QTableWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  UpdateButtons();
  resize(520, 400);
}

void TFrmKindEdit::AddRow(const TKindEdit& row) {
  const int r = GrdKind->rowCount();
  GrdKind->insertRow(r);
  GrdKind->setItem(r, kColName, new QTableWidgetItem(QStr(row.Kind.Name)));
  auto* type = new QComboBox(GrdKind);
  for (const std::string_view t : kTrainTypes) type->addItem(QStr(std::string(t)));
  type->setCurrentText(QStr(row.Kind.Type));
  GrdKind->setCellWidget(r, kColType, type);
  auto* color = new QTableWidgetItem();
  // Not selectable, so that the selected row still shows its colour.
  color->setFlags(Qt::ItemIsEnabled);
  GrdKind->setItem(r, kColColor, color);
  SetColorCell(r, row.Kind.Color);
  from_.push_back(row.From);
}

void TFrmKindEdit::SetColorCell(int row, int32_t bgr) {
  QTableWidgetItem* item = GrdKind->item(row, kColColor);
  item->setData(Qt::UserRole, bgr);
  item->setBackground(BgrColor(bgr));
  const QColor c = BgrColor(bgr);
  item->setText(QStringLiteral("#%1").arg(c.rgb() & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper());
  // Readable on the colour: light text on dark colours (by perceived brightness).
  const int brightness = (299 * c.red() + 587 * c.green() + 114 * c.blue()) / 1000;
  item->setData(Qt::ForegroundRole, brightness < 140 ? QColor(Qt::white) : QColor(Qt::black));
}

std::vector<TKindEdit> TFrmKindEdit::Rows() const {
  std::vector<TKindEdit> rows;
  for (int r = 0; r < GrdKind->rowCount(); ++r) {
    TKindEdit row;
    const QTableWidgetItem* name = GrdKind->item(r, kColName);
    row.Kind.Name = name != nullptr ? name->text().trimmed().toStdString() : std::string();
    row.Kind.Type = static_cast<QComboBox*>(GrdKind->cellWidget(r, kColType))->currentText().toStdString();
    row.Kind.Color = GrdKind->item(r, kColColor)->data(Qt::UserRole).toInt();
    row.From = from_[static_cast<size_t>(r)];
    rows.push_back(std::move(row));
  }
  return rows;
}

void TFrmKindEdit::UpdateButtons() {
  const int r = GrdKind->currentRow();
  const bool any = r >= 0 && r < GrdKind->rowCount();
  BtnDel->setEnabled(any);
  BtnColor->setEnabled(any);
  BtnUp->setEnabled(any && r > 0);
  BtnDown->setEnabled(any && r + 1 < GrdKind->rowCount());
  BtnAdd->setEnabled(GrdKind->rowCount() < kMaxKinds);
}

void TFrmKindEdit::BtnAddClick() {
  // A name not in the table yet, so that OK does not refuse the new row as a twin.
  std::vector<TKindEdit> rows = Rows();
  std::string name;
  for (int n = 1; name.empty(); ++n) {
    const std::string candidate = "新しい種別" + IntText(n);
    if (std::none_of(rows.begin(), rows.end(),
                     [&](const TKindEdit& e) { return e.Kind.Name == candidate; })) {
      name = candidate;
    }
  }
  AddRow(TKindEdit{TKindDef{name, 0x000000, "普通"}, -1});
  const int r = GrdKind->rowCount() - 1;
  GrdKind->selectRow(r);
  GrdKind->setCurrentCell(r, kColName);
  UpdateButtons();
}

void TFrmKindEdit::BtnDelClick() {
  const int r = GrdKind->currentRow();
  if (r < 0 || r >= GrdKind->rowCount()) return;
  const int32_t from = from_[static_cast<size_t>(r)];
  const std::string name = GrdKind->item(r, kColName)->text().toStdString();
  if (from >= 0) {
    if (const std::string tr = TrainOfKind(brd_, static_cast<size_t>(from)); !tr.empty()) {
      ShowMsgBox(kCapError, "種別「" + name + "」は" + tr + "が使っているため削除できません");
      return;
    }
  }
  if (GrdKind->rowCount() == 1) {
    ShowMsgBox(kCapError, "種別を一つは残して下さい");
    return;
  }
  GrdKind->removeRow(r);
  from_.erase(from_.begin() + r);
  GrdKind->selectRow(std::min(r, GrdKind->rowCount() - 1));
  UpdateButtons();
}

void TFrmKindEdit::BtnMoveClick(int by) {
  const int r = GrdKind->currentRow();
  const int to = r + by;
  if (r < 0 || to < 0 || to >= GrdKind->rowCount()) return;
  std::vector<TKindEdit> rows = Rows();
  std::swap(rows[static_cast<size_t>(r)], rows[static_cast<size_t>(to)]);
  GrdKind->setRowCount(0);
  from_.clear();
  for (const TKindEdit& row : rows) AddRow(row);
  GrdKind->selectRow(to);
  UpdateButtons();
}

void TFrmKindEdit::BtnColorClick() {
  const int r = GrdKind->currentRow();
  if (r < 0 || r >= GrdKind->rowCount()) return;
  const int32_t bgr = GrdKind->item(r, kColColor)->data(Qt::UserRole).toInt();
  if (const std::optional<uint32_t> c = UiHost().ChooseColor(static_cast<uint32_t>(SwapRb(static_cast<uint32_t>(bgr))))) {
    SetColorCell(r, SwapRb(*c));
  }
}

void TFrmKindEdit::accept() {
  if (const TStatus st = ApplyKindEdits(brd_, Rows(), Changed); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  QDialog::accept();
}

}  // namespace ramvel
