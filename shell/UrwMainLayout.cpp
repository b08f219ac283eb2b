// The main window's layout and line editing commands: they start the board view's editing
// operations and refresh the menus and the picture after them.
#include <QAction>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>

#include "shell/UrwMain.h"

namespace ramvel {

// ---- Layout ------------------------------------------------------------------------------------

void TFrmMain::MnuStaAddClick() {
  if (!Edit.Layout.StartStaAdd()) return;
  UpdateMenus();
  BtnStaRoteL->setFocus();
  QCursor::setPos(BoardArea->mapToGlobal(BoardArea->rect().center()));
  Redraw(true);
}

void TFrmMain::MnuStaRenameClick() {
  if (Edit.Layout.StaRename()) Redraw(true);
  UpdateMenus();
}

void TFrmMain::MnuUndoClick(bool redo) {
  if (!(redo ? Edit.Layout.Redo() : Edit.Layout.Undo())) return;
  UpdateMenus();
  Redraw(true);
}

void TFrmMain::BtnStaMukiClick(int tag) {
  Edit.Layout.RotateNewSta(tag);
  Redraw(false);
}

// The up and down arrows turn a station being placed; the check is made again at the pointer.
void TFrmMain::FormKeyUp(int key) {
  if (key == Qt::Key_F1) {
    ShowDebugAtMouse();
    return;
  }
  const TBrdView& v = Edit.View;
  if (!v.DesignMode || v.EditMode != kEditPutSta) return;
  if (key != Qt::Key_Up && key != Qt::Key_Down) return;
  Edit.Layout.RotateNewSta(key == Qt::Key_Up ? 1 : -1);
  const QPoint at = BoardArea->mapFromGlobal(QCursor::pos());
  if (BoardArea->rect().contains(at)) Edit.MouseEvent(kMouseMove, at.x(), at.y());
  Redraw(false);
}

void TFrmMain::keyReleaseEvent(QKeyEvent* e) {
  FormKeyUp(e->key());
  QMainWindow::keyReleaseEvent(e);
}

// ---- Lines -------------------------------------------------------------------------------------

void TFrmMain::AfterLineCommand(bool changed) {
  if (!changed) return;
  Redraw(true);
  UpdateMenus();
}

void TFrmMain::MnuLineNewClick() { AfterLineCommand(Edit.Layout.StartLineEdit(true)); }
void TFrmMain::MnuLineModClick() { AfterLineCommand(Edit.Layout.StartLineEdit(false)); }
void TFrmMain::MnuLineDelClick() {
  Edit.Layout.LineDel();
  UpdateMenus();
}
void TFrmMain::MnuLineRingClick() { AfterLineCommand(Edit.Layout.MakeRing()); }
void TFrmMain::MnuLineCancelClick() { AfterLineCommand(Edit.Layout.LineCancel()); }
void TFrmMain::MnuLineFixClick() { AfterLineCommand(Edit.Layout.LineFix()); }

void TFrmMain::ConnectLayoutEvents() {
  connect(MnuStaAdd, &QAction::triggered, this, [this] { MnuStaAddClick(); });
  connect(MnuStaRename, &QAction::triggered, this, [this] { MnuStaRenameClick(); });
  connect(MnuUndoRedo.Undo, &QAction::triggered, this, [this] { MnuUndoClick(false); });
  connect(MnuUndoRedo.Redo, &QAction::triggered, this, [this] { MnuUndoClick(true); });
  connect(MnuEdit, &QMenu::aboutToShow, this, [this] { UpdateMenus(); });
  for (QPushButton* b : {BtnStaRoteL, BtnStaRoteR}) {
    connect(b, &QPushButton::clicked, this,
            [this, b] { BtnStaMukiClick(b->property("Tag").toInt()); });
  }
  connect(MnuLineNew, &QAction::triggered, this, [this] { MnuLineNewClick(); });
  connect(MnuLineMod, &QAction::triggered, this, [this] { MnuLineModClick(); });
  connect(MnuLineDel, &QAction::triggered, this, [this] { MnuLineDelClick(); });
  connect(MnuLineRing, &QAction::triggered, this, [this] { MnuLineRingClick(); });
  connect(MnuLineCancel, &QAction::triggered, this, [this] { MnuLineCancelClick(); });
  connect(MnuLineFix, &QAction::triggered, this, [this] { MnuLineFixClick(); });
}

}  // namespace ramvel
