// The main window's timetables (ダイヤ): the choice in the side panel and ファイル › ダイヤ with
// 新規, 名前の変更 and 削除. The board keeps the timetables; this file only asks and shows.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QVBoxLayout>

#include "engine/UrwBrdDias.h"
#include "shell/UrwMain.h"
#include "timetable/UrwDiaEditorUi.h"
#include "windows/timetable/UrwDiaChoice.h"
#include "windows/timetable/UrwKindEditForm.h"

namespace ramvel {

namespace {

constexpr const char* kCapDiaNew = "ダイヤの新規作成";
constexpr const char* kCapDiaRename = "ダイヤの名前の変更";

}  // namespace

QGroupBox* TFrmMain::MakeDiaGroup() {
  GbxDia = new QGroupBox(QStringLiteral("ダイヤ"), PnlMain);
  auto* col = new QVBoxLayout(GbxDia);
  // Tight, so that the side panel still fits beside the smallest board area.
  col->setContentsMargins(3, 0, 3, 2);
  CbxDia = new QComboBox(GbxDia);
  CbxDia->setToolTip(QStringLiteral("運行・編集するダイヤ（平日・土休日など）を選びます"));
  col->addWidget(CbxDia);
  GbxDia->setVisible(false);
  connect(CbxDia, &QComboBox::activated, this, [this](int k) { CbxDiaChange(k); });
  return GbxDia;
}

void TFrmMain::MakeDiaMenu() {
  MnuDia = MnuFile->addMenu(QStringLiteral("ダイヤ(&D)"));
  MnuDiaNew = MnuDia->addAction(QStringLiteral("新規(&N)..."));
  MnuDiaRename = MnuDia->addAction(QStringLiteral("名前の変更(&R)..."));
  MnuDiaDel = MnuDia->addAction(QStringLiteral("削除(&D)"));
  MnuDia->addSeparator();
  MnuDiaNote = MnuDia->addAction(QStringLiteral("コメント(&M)..."));
  MnuKinds = MnuDia->addAction(QStringLiteral("種別の編集(&K)..."));
  connect(MnuDiaNew, &QAction::triggered, this, [this] { MnuDiaNewClick(); });
  connect(MnuDiaRename, &QAction::triggered, this, [this] { MnuDiaRenameClick(); });
  connect(MnuDiaDel, &QAction::triggered, this, [this] { MnuDiaDelClick(); });
  connect(MnuDiaNote, &QAction::triggered, this, [this] { MnuDiaNoteClick(); });
  connect(MnuKinds, &QAction::triggered, this, [this] { MnuKindsClick(); });
}

void TFrmMain::ShowDiaState() {
  const TBrdData& brd = Edit.Brd;
  const bool open = !brd.BrdName.empty();
  GbxDia->setVisible(open);
  MnuDia->menuAction()->setEnabled(open);
  MnuDiaDel->setEnabled(open && brd.ActiveDia > 0);
  if (open) FillDiaChoice(CbxDia, brd);
}

void TFrmMain::CbxDiaChange(int k) {
  TBrdData& brd = Edit.Brd;
  if (k < 0 || static_cast<size_t>(k) >= brd.Dias.size() || static_cast<size_t>(k) == brd.ActiveDia) {
    return;
  }
  brd.SelectDia(static_cast<size_t>(k));
  Edit.Layout.History.Clear();
  UpdateMenus();
  Redraw(true);  // locates every train set of the timetable afresh
}

void TFrmMain::MnuDiaNewClick() {
  TBrdData& brd = Edit.Brd;
  if (brd.BrdName.empty()) return;
  const auto name = UiHost().InputBox(kCapDiaNew, "新しいダイヤの名前を入力して下さい", "");
  if (!name || name->empty()) return;
  const bool copy = AskYesNo(kCapConfirm, "今のダイヤ「" + brd.Dias[brd.ActiveDia].Name +
                                              "」の編成と列車を写しますか？\n"
                                              "（いいえ: 列車のない空のダイヤを作ります）");
  size_t k = 0;
  if (const TStatus st = brd.AddDia(std::string(TrimBlanks(*name)), copy, k); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  CbxDiaChange(static_cast<int>(k));
  UpdateMenus();
}

void TFrmMain::MnuDiaRenameClick() {
  TBrdData& brd = Edit.Brd;
  if (brd.BrdName.empty()) return;
  const std::string old = brd.Dias[brd.ActiveDia].Name;
  const auto name = UiHost().InputBox(kCapDiaRename, "ダイヤ「" + old + "」の新しい名前を入力して下さい", old);
  if (!name || *name == old) return;
  if (const TStatus st = brd.RenameDia(brd.ActiveDia, std::string(TrimBlanks(*name))); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  UpdateMenus();
}

void TFrmMain::MnuDiaDelClick() {
  TBrdData& brd = Edit.Brd;
  if (brd.BrdName.empty()) return;
  const std::string name = brd.Dias[brd.ActiveDia].Name;
  if (!AskYesNo(kCapConfirm, "ダイヤ「" + name + "」とその編成・列車をすべて削除しますか？\n"
                             "（ボードを保存するとファイルも消えます）")) {
    return;
  }
  if (const TStatus st = brd.DeleteDia(brd.ActiveDia); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  Edit.Layout.History.Clear();
  UpdateMenus();
  Redraw(true);
}

}  // namespace ramvel

namespace ramvel {

void TFrmMain::MnuDiaNoteClick() {
  TBrdData& brd = Edit.Brd;
  if (brd.BrdName.empty()) return;
  const std::string name = brd.Dias[brd.ActiveDia].Name;
  const auto it = brd.DiaNotes.find(name);
  const std::string old = it == brd.DiaNotes.end() ? std::string() : it->second;
  const auto typed = UiHost().InputBox("ダイヤのコメント",
                                       "ダイヤ「" + name + "」のコメント（空にすると消します）", old);
  if (!typed) return;
  const std::string note = NoteText(*typed);
  if (std::string sj; !Utf8ToCp932(note, sj)) {
    ShowMsgBox(kCapError, "コメントにShift-JISで書けない文字があります: " + note);
    return;
  }
  if (note.size() > kMaxNoteBytes) {
    ShowMsgBox(kCapError, "コメントが長すぎます（" + IntText(static_cast<int64_t>(kMaxNoteBytes)) +
                              "バイトまで）");
    return;
  }
  if (note == old) return;
  SetNote(brd.DiaNotes, name, note);
  brd.Modified = true;
  UpdateMenus();
}

void TFrmMain::MnuKindsClick() {
  TBrdData& brd = Edit.Brd;
  if (brd.BrdName.empty()) return;
  TFrmKindEdit dlg(brd, this);
  if (dlg.exec() != QDialog::Accepted) return;
  // The design history holds train sets with their kind texts: taking a step back over the edit
  // would pair old texts with the new table, so the history starts anew, as on a timetable change.
  if (dlg.Changed > 0) Edit.Layout.History.Clear();
  UpdateMenus();
  Redraw(true);
}

}  // namespace ramvel
