// The diagram editor's ダイヤ choice: which of the board's timetables the editor shows and edits.
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>

#include "windows/timetable/UrwDiaEditorForm.h"
#include "windows/timetable/UrwDiaChoice.h"

namespace ramvel {

void TFrmDiaEditor::MakeDiaChoice() {
  auto* box = new QWidget(MainMenu1);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(4, 0, 4, 0);
  row->addWidget(new QLabel(QStringLiteral("ダイヤ:"), box));
  CbxDia = new QComboBox(box);
  CbxDia->setMinimumWidth(120);
  CbxDia->setToolTip(QStringLiteral("編集するダイヤ（平日・土休日など）を選びます"));
  row->addWidget(CbxDia);
  MainMenu1->setCornerWidget(box, Qt::TopRightCorner);
  connect(CbxDia, &QComboBox::activated, this, [this](int k) { CbxDiaChange(k); });
}

void TFrmDiaEditor::CbxDiaChange(int k) {
  if (!Ed || brd_ == nullptr || k < 0 || static_cast<size_t>(k) >= brd_->Dias.size()) return;
  if (Ed->Entering()) {
    ShowMsgBox(kCapNotice, "列車の入力中はダイヤを切り替えられません");
    FillDiaChoice(CbxDia, *brd_);
    return;
  }
  if (static_cast<size_t>(k) == brd_->ActiveDia) return;
  brd_->SelectDia(static_cast<size_t>(k));
  Ed->History.Clear();  // its steps hold the other timetable's train sets
  Ed->RebuildDia();
  ApplyDir();
  FillDiaChoice(CbxDia, *brd_);
  UpdateUndoMenu();
  chartStamp_ = 0;  // two timetables may hold the same trains: the windows still follow
  RefreshCharts();
}

}  // namespace ramvel
