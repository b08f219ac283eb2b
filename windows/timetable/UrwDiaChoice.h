// The ダイヤ choice that the main window and the diagram editor show: a drop-down list of the
// board's timetables with the active one chosen.
#pragma once

#include <QComboBox>

#include "engine/UrwBrdData.h"

namespace ramvel {

// Fills cbx with the board's timetables, the active one current, without emitting a change. A
// list that already shows them is left alone, so calling this on every refresh is cheap and
// never closes an open list.
void FillDiaChoice(QComboBox* cbx, const TBrdData& brd);

}  // namespace ramvel
