// The main window's backups (バックアップ作成, バックアップ読込) and the diagnostics key F1.

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

// A refused backup changes nothing and says why. A restored board that is open is read again
// (after asking about unsaved changes); any other open board stays as it is.
void TFrmMain::MnuLoadBAKClick() {
  const auto file = UiHost().OpenFileDialog(
      "バックアップの読み込み", PathJoin(ResolveIn(BaseDir, kBakFolder), ""), "バックアップ|*.dat");
  if (!file) return;
  std::string brdName;
  const TStatus st = RestoreBackup(BaseDir, *file, brdName);
  if (!st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  if (!Edit.Brd.BrdName.empty() && BrdBase == BaseDir && SameNoCase(brdName, Edit.Brd.BrdName)) {
    AddRecentBrd(Edit.Brd.BrdName);  // the open board is the first recent board
    OpenBrd(TOpenKind::kRecent, 0);
  }
  ShowMsgBox(kCapNotice, "バックアップを読み込みました");
}

// ---- Diagnostics -------------------------------------------------------------------------------

// Nothing happens over empty ground: the hit test leaves -1 or 0 there.
void TFrmMain::ShowDebugAtMouse() {
  if (Edit.Brd.BrdName.empty() || Edit.View.DesignMode == 0) return;
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
