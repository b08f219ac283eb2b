// The main window's way into the station designer.
#include "shell/UrwMain.h"
#include "windows/station_designer/UrwStaEditorForm.h"

namespace ramvel {

namespace {

constexpr const char* kNoPieces = "駅の部品定義を読み込めないため、駅データの編集を開けません。\n";

}  // namespace

// The pieces are read before anything else, so that a designer that cannot open changes
// nothing. The designer writes station files itself; the board then saves only its own file
// and is read again so that the edited stations come from disk.
void TFrmMain::MnuStaEditClick() {
  if (Edit.Brd.BrdName.empty()) return;
  int32_t idSta = Edit.Brd.ID_STA;
  {
    TFrmStaEditor designer(this, SelSta);
    if (const TStatus st = designer.Open(BrdBase, Edit.Brd.BrdName, idSta, DataDir); !st) {
      ShowMsgBox(kCapError, kNoPieces + st.Msg());
      return;
    }
    if (!ConfirmSaveFirst()) return;
    designer.exec();
    idSta = designer.IdSta();
  }
  if (idSta != Edit.Brd.ID_STA) {
    Edit.Brd.ID_STA = idSta;
    // Until Board.txt holds the new counter, reading the board again would hand out the saved
    // stations' serials a second time.
    Edit.Brd.Modified = true;
  }
  SaveCurBrd(true);
  if (BrdBase == BaseDir) {
    OpenBrd(TOpenKind::kRecent, 0);
  } else {
    OpenBrdFolder(BrdBase + Edit.Brd.BrdName);
  }
  SetMode(true);
}

}  // namespace ramvel
