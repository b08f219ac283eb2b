// The main window's backups (バックアップ作成, バックアップ読込) and the diagnostics key F1.

#include <filesystem>

#include "diagnostics/UrwForDebug.h"
#include "engine/UrwBackup.h"
#include "shell/UrwMain.h"

namespace ramvel {

// ---- Backups -----------------------------------------------------------------------------------

// Packs the board as it is on disk: changes not yet saved are not in the backup.
void TFrmMain::MnuSaveBAKClick() {
  if (Edit.Brd.BrdName.empty()) return;
  std::string path;
  const TStatus st = MakeBackup(BrdBase, Edit.Brd.BrdName, LocalBakTime(), path);
  if (!st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  ShowMsgBox(kCapNotice, "以下のファイル名でバックアップしました\n\n" + path);
}

// A refused backup changes nothing and says why. A backup of the open board restores into its
// folder (wherever it was opened from), after asking about unsaved changes, and the board is
// read again; a backup of another board restores into the program folder's board of that name.
void TFrmMain::MnuLoadBAKClick() {
  const auto file = UiHost().OpenFileDialog(
      "バックアップの読み込み", PathJoin(ResolveIn(BrdBase, kBakFolder), ""), "バックアップ|*.dat");
  if (!file) return;
  std::string name;
  if (const TStatus st = BakBrdName(std::filesystem::path(*file).filename().string(), name); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  const bool isOpen = !Edit.Brd.BrdName.empty() && SameNoCase(name, Edit.Brd.BrdName);
  if (isOpen && !ConfirmDiscard()) return;
  TRestored done;
  const TStatus st = RestoreBackup(isOpen ? BrdBase : BaseDir, *file, done);
  if (!st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  if (isOpen) ReloadBrd();
  ShowMsgBox(kCapNotice, done.AutoBak.empty()
                             ? std::string("バックアップを読み込みました")
                             : "現在の状態を " + done.AutoBak + " に保存してから復元しました");
}

// ---- Diagnostics -------------------------------------------------------------------------------

// Nothing happens over empty ground: the hit test leaves -1 or 0 there.
void TFrmMain::ShowDebugAtMouse() {
  if (Edit.Brd.BrdName.empty() || !Edit.View.DesignMode) return;
  const int32_t id = Edit.View.CurObjId;
  if (id <= 0) return;
  if (IdKind(id) == kKindSta) {
    if (TStaObj* sta = Edit.Brd.FindSta(id, "STA")) Debug->ShowSta(*sta);
  } else if (TRailObj* rail = Edit.Brd.FindRail(id, "RAIL")) {
    Debug->ShowRail(*rail);
  }
}

void TFrmMain::ShowDebugFor(int32_t staId, int32_t carNo) {
  if (staId >= 0) {
    if (TStaObj* sta = Edit.Brd.FindSta(staId, "STA")) Debug->ShowSta(*sta);
  } else if (carNo >= 0) {
    if (TCarObj* car = Edit.Brd.FindCar(carNo, "CAR")) Debug->ShowCar(*car);
  }
}

}  // namespace ramvel
