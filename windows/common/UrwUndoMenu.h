// The 元に戻す and やり直し menu items every editor window shows over its undo history.
#pragma once

#include "foundation/UrwUndo.h"

class QAction;
class QMenu;

namespace ramvel {

struct TUndoActions {
  QAction* Undo = nullptr;  // 元に戻す, Ctrl+Z
  QAction* Redo = nullptr;  // やり直し, Ctrl+Y and Ctrl+Shift+Z
};

// Adds both items to menu (followed by a separator when more items follow), disabled.
TUndoActions AddUndoActions(QMenu* menu);
// Names the steps they would take ("元に戻す: 駅の追加") and enables each only when it can act.
void ShowUndoState(const TUndoActions& actions, const TUndoHistory& history);

}  // namespace ramvel
