// The undo menu items: shortcuts, texts and enabled state.
#include "windows/common/UrwUndoMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace ramvel {

TUndoActions AddUndoActions(QMenu* menu) {
  TUndoActions a;
  a.Undo = menu->addAction(QStringLiteral("元に戻す"));
  a.Undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  a.Redo = menu->addAction(QStringLiteral("やり直し"));
  a.Redo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  a.Undo->setEnabled(false);
  a.Redo->setEnabled(false);
  return a;
}

void ShowUndoState(const TUndoActions& actions, const TUndoHistory& history) {
  if (actions.Undo != nullptr) {
    actions.Undo->setText(QString::fromStdString(UndoMenuText(history)));
    actions.Undo->setEnabled(history.CanUndo());
  }
  if (actions.Redo != nullptr) {
    actions.Redo->setText(QString::fromStdString(RedoMenuText(history)));
    actions.Redo->setEnabled(history.CanRedo());
  }
}

}  // namespace ramvel
