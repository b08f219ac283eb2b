// The main window's 運行ダイヤ menu: the 計画 / 遅延 switch that lets run mode play the day a
// delay run of the diagram editor produced instead of the timetables.
#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "engine/UrwBrdData.h"

namespace ramvel {

// Adds the menu to bar before `before`. 遅延ダイヤ can be chosen only while a delayed day of brd
// exists; relocate redraws the board with every train set located afresh.
QMenu* MakePlayDayMenu(QMenuBar* bar, QAction* before, TBrdData& brd,
                       std::function<void()> relocate);

}  // namespace ramvel
