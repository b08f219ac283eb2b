// The main window's command "ダイヤの編集(&D)": the timetable editor of one line, opened on the
// saved board and followed by saving the board again.
#include <QAction>

#include "shell/UrwMain.h"
#include "windows/timetable/UrwDiaEditorForm.h"
#include "windows/common/UrwSelStaForm.h"

namespace ramvel {

void TFrmMain::ConnectDiaEditor() {
  Features.DiaEditor = true;
  connect(MnuDiaEdit, &QAction::triggered, this, [this] { MnuDiaEditClick(); });
  UpdateMenus();
}

void TFrmMain::MnuDiaEditClick() {
  if (!ConfirmSaveFirst()) return;
  std::string name;
  if (!SelSta->SelectLine(Edit.View.BrdPath, name)) return;
  TBrdData& brd = Edit.Brd;
  if (const TStatus st = brd.SetLine(name); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  if (!brd.LoadLine(Edit.View.BrdPath)) return;  // an unreadable line opens nothing
  if (const TStatus st = brd.CheckLineRails(); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  {
    TFrmDiaEditor dlg(nullptr, SelSta, this);
    dlg.BrdFolder = Edit.View.BrdPath;
    dlg.OpenDia(brd);
    dlg.setWindowTitle(QString::fromStdString("ダイヤ編集 - " + brd.LineName));
    dlg.OnDiagnostics = DiaDiagnostics;
    dlg.exec();
  }
  SaveCurBrd(false);
}

}  // namespace ramvel
