// The main window's view commands: menus, redrawing, zoom and scroll, the mouse, options and help.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <filesystem>

#include "shell/UrwAbout.h"
#include "shell/UrwMain.h"
#include "shell/UrwOpt.h"

namespace ramvel {

// ---- Menus -------------------------------------------------------------------------------------

void TFrmMain::UpdateMenus() {
  const TBrdView& v = Edit.View;
  const TMenuState m =
      MenuState({!Edit.Brd.BrdName.empty(), v.DesignMode, v.EditMode, Edit.Brd.LineStas.size()});
  const TFeatures& f = Features;
  MnuModeSel->setEnabled(m.ModeSel);
  MnuSave->setEnabled(m.Save);
  MnuSaveBAK->setEnabled(m.SaveBAK && f.Backup);
  MnuLoadBAK->setEnabled(f.Backup);
  MnuGtfs->setEnabled(!Edit.Brd.BrdName.empty());
  MnuImage->setEnabled(!Edit.Brd.BrdName.empty());
  GbxDsp->setVisible(m.GbxDsp);
  MnuLayout->menuAction()->setEnabled(m.Layout && f.Layout);
  MnuStaAdd->setEnabled(m.StaAdd && f.Layout);
  MnuStaRename->setEnabled(f.Layout);
  MnuStaEdit->setEnabled(m.StaEdit && f.StaEditor);
  MnuDiaEdit->setEnabled(m.DiaEdit && f.DiaEditor);
  MnuLandLoad->setEnabled(m.LandLoad);
  MnuLineEdit->menuAction()->setEnabled(m.LineEdit && f.LineEdit);
  MnuLineNew->setEnabled(m.LineNew && f.LineEdit);
  MnuLineMod->setEnabled(m.LineMod && f.LineEdit);
  MnuLineDel->setEnabled(m.LineDel && f.LineEdit);
  MnuLineRing->setEnabled(m.LineRing && f.LineEdit);
  MnuLineCancel->setEnabled(m.LineCancel && f.LineEdit);
  MnuLineFix->setEnabled(m.LineFix && f.LineEdit);
  Gbx4StaEdit->setVisible(m.Gbx4StaEdit);
  ShowDiaState();
  // Undo belongs to design mode; it waits while a station is being placed or a rail laid.
  ShowUndoState(MnuUndoRedo, Edit.Layout.History);
  const bool undoable = m.Layout || m.LineRing;  // idle, or editing a line
  if (!undoable) MnuUndoRedo.Undo->setEnabled(false);
  if (!undoable) MnuUndoRedo.Redo->setEnabled(false);
  MnuEdit->menuAction()->setEnabled(undoable);
}

// ---- Drawing and the view ----------------------------------------------------------------------

// Composes the board view's frame (with full, after scrolling by half a view per step and
// recomputing) and shows it; without a board the area stays grey.
void TFrmMain::Redraw(bool full, int32_t dx, int32_t dy) {
  const TQuietBoxes quiet = QuietToStatusBar();
  if (Edit.Brd.BrdName.empty()) {
    BoardArea->Frame = nullptr;
  } else {
    BoardArea->Frame = &Edit.FrameBmp;
    Edit.DrawBoard(nullptr, full, dx, dy);
  }
  BoardArea->update();
}

// Drawing, resizing and the clock tick never open a box: what goes wrong there (a damaged board
// was reported once when it was opened) is shown in the status bar.
TQuietBoxes TFrmMain::QuietToStatusBar() {
  return TQuietBoxes([this](const std::string& text) { SetStatusText(1, text); });
}

void TFrmMain::FormResize() {
  const TQuietBoxes quiet = QuietToStatusBar();
  Edit.View.SetScrSize(BoardArea->width(), BoardArea->height());
  Redraw(true);
}

void TFrmMain::CbxScaleChange(int idx) {
  if (Edit.View.ZoomTo(idx)) Redraw(true);
}

void TFrmMain::BtnMukiClick(int tag) { Redraw(true, tag % 10 - 1, tag / 10 - 1); }

void TFrmMain::FormDblClick(int x, int y) {
  if (viewCursor_ != Qt::ArrowCursor || Edit.Brd.BrdName.empty()) return;
  if (Edit.View.CentreAt(x, y)) Redraw(true);
}

void TFrmMain::FormMouseMove(int x, int y) {
  Edit.MouseEvent(kMouseMove, x, y);
  Redraw(false);
}

void TFrmMain::FormMouseUp(Qt::MouseButton button, int x, int y) {
  const bool changed =
      Edit.MouseEvent(button == Qt::LeftButton ? kMouseLeftUp : kMouseOtherUp, x, y);
  if (changed) UpdateMenus();
  Redraw(changed);
}

void TFrmMain::FormMouseLeave() { SetStatusText(1, ""); }

// ---- Options and help --------------------------------------------------------------------------

TShellSettings TFrmMain::Settings() const {
  const TBrdView& v = Edit.View;
  return {IntvLevel, v.ShowTrNo != 0, v.ShowTrNick != 0, v.ShowTrOnly != 0};
}

void TFrmMain::ApplySettings(const TShellSettings& s) {
  IntvLevel = s.IntvLevel;
  Edit.View.ShowTrNo = s.ShowTrNo ? 1 : 0;
  Edit.View.ShowTrNick = s.ShowTrNick ? 1 : 0;
  Edit.View.ShowTrOnly = s.ShowTrOnly ? 1 : 0;
}

// The clock rests while the dialog is open and then runs on, with the tick of the new level.
void TFrmMain::MnuOptClick() {
  const bool running = Timer.isActive();
  RunClock(false);
  TFrmOpt dlg(this);
  dlg.SetFrom(Settings());
  if (dlg.exec() == QDialog::Accepted) {
    ApplySettings(dlg.Result());
    Redraw(true);
  }
  RunClock(running);
}

// The desktop shows the page; when it cannot, the user learns where the page lies.
void TFrmMain::H1Click() {
  const std::string page = ResolveIn(DataDir, kHelpPage);
  if (OpenDocument(page)) return;
  std::error_code ec;
  const bool exists = std::filesystem::is_regular_file(page, ec);
  ShowMsgBox(kCapError, std::string(exists ? "ヘルプのページを表示できませんでした。"
                                           : "ヘルプのページが見つかりません。") +
                            "\nページの場所: " + page);
}

void TFrmMain::MnuAboutClick() { About->exec(); }

}  // namespace ramvel
