// The main window's board files: new, open, save, the terrain, the recent boards and the end.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "engine/UrwBackup.h"
#include "engine/UrwProgDirs.h"
#include "foundation/UrwSaveBatch.h"
#include "shell/UrwMain.h"
#include "windows/common/UrwSelStaForm.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

// ---- Opening -----------------------------------------------------------------------------------

bool TFrmMain::OpenBrd(TOpenKind kind, int index) {
  if (!ConfirmDiscard()) return false;
  std::string name;
  if (!AskBrdName(kind, index, name)) return false;
  std::string newPath;
  if (kind == TOpenKind::kNew) {
    const TStatus st = MakeBrdFolder(BaseDir, name, newPath);
    if (!st) {
      ShowMsgBox(kCapError, st.Msg());
      return false;
    }
  }
  RunClock(false);
  SetupView();
  BrdBase = BaseDir;
  const bool opened = kind == TOpenKind::kNew ? StartNewBrd(name, newPath) : LoadChosenBrd(name);
  if (!opened) {
    if (kind == TOpenKind::kNew) RemoveBrdFolder(newPath);
    LeaveNoBoard();
    return false;
  }
  FinishOpen(name, kind == TOpenKind::kNew);
  return true;
}

bool TFrmMain::OpenBrdFolder(const std::string& path) {
  std::string parent, name;
  if (const TStatus st = FindBrdFolder(path, parent, name); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  if (!ConfirmDiscard()) return false;
  const bool inBase = SameFolder(parent, BaseDir);
  RunClock(false);
  SetupView();
  BrdBase = inBase ? BaseDir : parent;
  if (inBase) name = BrdFolderName(BaseDir, name);
  if (!LoadChosenBrd(name)) {
    LeaveNoBoard();
    return false;
  }
  FinishOpen(name, false);
  return true;
}

// The chosen board's name as its folder is spelt on disk, since the listing gives upper case.
bool TFrmMain::AskBrdName(TOpenKind kind, int index, std::string& name) {
  switch (kind) {
    case TOpenKind::kChoose:
      if (!SelSta->SelectBrd(BaseDir, name)) return false;
      name = BrdFolderName(BaseDir, name);
      return true;
    case TOpenKind::kRecent:
      if (index < 0 || index >= static_cast<int>(RecentBrds.size())) return false;
      name = BrdFolderName(BaseDir, RecentBrds[static_cast<size_t>(index)]);
      return true;
    case TOpenKind::kNew: {
      const auto answer = UiHost().InputBox("ボードの新規作成", "ボード名を入力して下さい", "");
      if (!answer || answer->empty()) return false;
      name = *answer;
      return true;
    }
  }
  return false;
}

// The view takes the board area's size; the board is emptied and scroll and zoom reset.
void TFrmMain::SetupView() { Edit.InitView(BoardArea->height(), BoardArea->width()); }

bool TFrmMain::StartNewBrd(const std::string& name, const std::string& path) {
  Edit.View.BrdPath = PathJoin(path, "");
  Edit.Brd.BrdName = name;
  if (!ChooseLand()) return false;
  const TStatus st = MakeBrdSubFolders(path);
  if (!st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  return true;
}

bool TFrmMain::LoadChosenBrd(const std::string& name) {
  const TStatus st = Edit.LoadBoard(BrdBase, name);
  if (!st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  // What was left out or skipped is told once, here, and never again from drawing or the clock.
  std::string notes;
  for (const std::string& note : Edit.Brd.LoadNotes) notes += (notes.empty() ? "" : "\n\n") + note;
  if (!notes.empty()) ShowMsgBox(kCapNotice, notes);
  return true;
}

// After an open that ended early nothing half-read stays: no board is open, no board folder is
// set, a new board's folder has been removed again, and the caption names no board.
void TFrmMain::LeaveNoBoard() {
  Edit.InitView(BoardArea->height(), BoardArea->width());
  Edit.Brd.ClearBrd();
  Edit.Brd.BrdName.clear();
  setWindowTitle(QString::fromUtf8(kCapProgram));
  Edit.View.BrdPath.clear();
  BrdBase = BaseDir;
  Edit.View.CurTime = -1;
  UpdateMenus();
  GbxTm->setVisible(false);
  LblMode->setVisible(false);
  ImgLand->setVisible(false);
  LblLandSize->clear();
  WatchBrd();
  Redraw(true);
}

void TFrmMain::FinishOpen(const std::string& name, bool isNew) {
  if (BrdBase == BaseDir) AddRecentBrd(name);
  {
    const QSignalBlocker block(CbxScale);
    CbxScale->setCurrentIndex(Edit.View.ScaleIdx);
  }
  Edit.View.CurTime = -1;
  // A board read from a folder that cannot be written says so for as long as it is open.
  const QString readOnly = Edit.Brd.ReadOnlyWhy.empty() ? QString() : QStringLiteral(" [読み取り専用]");
  setWindowTitle(QString::fromUtf8(kCapProgram) + QStringLiteral(" - ") + QStr(name) + readOnly);
  SetMode(isNew);
  if (isNew) SaveCurBrd(false);
  WatchBrd();
  Redraw(true);
}

// ---- Terrain, saving, recent boards ------------------------------------------------------------

bool TFrmMain::ChooseLand() {
  const auto file =
      UiHost().OpenFileDialog("地形データの読み込み", BaseDir, "bitmap (*.BMP)|*.bmp");
  if (!file) return false;
  TStatus st = Edit.LoadLand(*file);
  if (st) st = CopyLandFile(*file, Edit.View.BrdPath);
  if (!st) ShowMsgBox(kCapError, st.Msg());
  return st.ok();
}

void TFrmMain::MnuLandLoadClick() {
  if (ChooseLand()) Redraw(true);
}

bool TFrmMain::SaveCurBrd(bool keepStations) {
  const TStatus st = Edit.SaveBoard(keepStations);
  bool saved = st.ok();
  if (IsChangedElsewhere(st)) {
    saved = AskSaveConflict(keepStations, st);
  } else if (!st && !Edit.Brd.ReadOnlyWhy.empty()) {
    // The edit is kept only under another name; offered at once rather than lost.
    saved = AskYesNo(kCapConfirm, st.Msg() + "\n\n別名で保存しますか？") && SaveAsNewBrd(keepStations);
  } else if (!st) {
    ShowMsgBox(kCapError, st.Msg());
  }
  if (BrdBase == BaseDir && !Edit.Brd.BrdName.empty()) AddRecentBrd(Edit.Brd.BrdName);
  BrdDiskChanged();
  return saved;
}

bool TFrmMain::AskSaveConflict(bool keepStations, const TStatus& st) {
  const std::string text =
      st.Msg() +
      "\n\n読み直す: 他で保存された内容を読み込みます（この編集は失われます）"
      "\n別名で保存: この編集を新しい名前のボードとして保存します"
      "\n上書き: 他で保存された変更を消して、この編集で上書きします";
  const auto choice = AskChoice(kCapConfirm, text, {"読み直す", "別名で保存", "上書き"});
  if (!choice) return false;
  if (*choice == 0) {
    ReloadBrd();
    return false;  // nothing of this edit was saved
  }
  if (*choice == 1) return SaveAsNewBrd(keepStations);
  const TStatus over = Edit.SaveBoard(keepStations, true);
  if (!over) ShowMsgBox(kCapError, over.Msg());
  return over.ok();
}

bool TFrmMain::ReloadBrd() {
  if (Edit.Brd.BrdName.empty()) return false;
  Edit.Brd.Modified = false;  // given up by the caller
  return OpenBrdFolder(Edit.View.BrdPath);
}

bool TFrmMain::SaveAsNewBrd(bool keepStations) {
  const auto answer = UiHost().InputBox("別名で保存", "ボード名を入力して下さい", "");
  if (!answer || answer->empty()) return false;
  std::string path;
  TStatus st = MakeBrdFolder(BaseDir, *answer, path);
  if (st) st = CopyBoardExtras(Edit.View.BrdPath, path);
  const std::string oldPath = Edit.View.BrdPath, oldName = Edit.Brd.BrdName, oldBase = BrdBase;
  if (st) {
    Edit.View.BrdPath = PathJoin(path, "");
    Edit.Brd.BrdName = *answer;
    st = Edit.SaveBoard(keepStations);
  }
  if (!st) {
    if (!path.empty()) RemoveBrdFolder(path);
    Edit.View.BrdPath = oldPath;
    Edit.Brd.BrdName = oldName;
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  BrdBase = BaseDir;
  AddRecentBrd(*answer);
  setWindowTitle(QString::fromUtf8(kCapProgram) + QStringLiteral(" - ") + QStr(*answer));
  WatchBrd();
  return true;
}

// ---- Outside changes ---------------------------------------------------------------------------

void TFrmMain::WatchBrd() {
  if (!BrdWatch->directories().isEmpty()) BrdWatch->removePaths(BrdWatch->directories());
  SBarDisk->setVisible(false);
  WatchBrdFiles();
  if (Edit.Brd.BrdName.empty() || Edit.View.BrdPath.empty()) return;
  QStringList dirs = {QStr(Edit.View.BrdPath)};
  std::vector<std::string> folders;
  // The folders the board's record files are in. One that cannot be listed goes unwatched: the
  // board folder itself still is, and the watcher only ever reports to the status bar.
  static_cast<void>(ListBakFolders(Edit.View.BrdPath, folders));
  for (const std::string& f : folders) dirs << QStr(PathJoin(Edit.View.BrdPath, f));
  BrdWatch->addPaths(dirs);
}

// The files the board was read from, watched anew: a file replaced by a rename is no longer
// watched, and an edit in place shows in no folder.
void TFrmMain::WatchBrdFiles() {
  if (!BrdWatch->files().isEmpty()) BrdWatch->removePaths(BrdWatch->files());
  if (Edit.Brd.BrdName.empty() || Edit.Brd.LoadedFiles.size() > kMaxWatchedFiles) return;
  QStringList files;
  for (const auto& [path, stamp] : Edit.Brd.LoadedFiles) files << QStr(path);
  if (!files.isEmpty()) BrdWatch->addPaths(files);
}

// Called from the watcher's timer: never a box, only the status bar.
void TFrmMain::BrdDiskChanged() {
  SBarDisk->setVisible(!Edit.Brd.BrdName.empty() && Edit.Brd.ChangedOnDisk());
  WatchBrdFiles();
}

void TFrmMain::AddRecentBrd(const std::string& name) {
  ramvel::AddRecentBrd(RecentBrds, name);
  for (size_t n = 0; n < kRecentItems; ++n) {
    const bool shown = RecentBrds.size() > n;
    MnuLog[n]->setVisible(shown);
    if (shown) MnuLog[n]->setText(QStr(RecentBrds[n]));
  }
}

bool TFrmMain::ConfirmDiscard() {
  return !Edit.Brd.Modified ||
         AskYesNo(kCapConfirm, "編集結果が保存されていませんがよろしいですか？");
}

bool TFrmMain::ConfirmSaveFirst() {
  if (!Edit.Brd.Modified) return true;
  if (!AskYesNo(kCapConfirm, "先にボードの保存が必要です。保存してよろしいですか？")) return false;
  // An editor must not open on data that are not on disk.
  return SaveCurBrd(false);
}

// ---- The end -----------------------------------------------------------------------------------

void TFrmMain::closeEvent(QCloseEvent* e) {
  if (!ConfirmDiscard()) {  // FormCloseQuery
    e->ignore();
    return;
  }
  FormClose();
  e->accept();
}

void TFrmMain::FormClose() {
  RunClock(false);
  TStatus st = WriteRecentBrds(BaseDir + kRecentFile, RecentBrds);
  const TStatus st2 = WriteSettings(BaseDir + kSettingsFile, Settings());
  if (st) st = st2;
  if (!st) ShowMsgBox(kCapError, st.Msg());
}

}  // namespace ramvel
