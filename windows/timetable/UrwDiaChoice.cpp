// The ダイヤ choice: the board's timetables in a drop-down list.
#include "windows/timetable/UrwDiaChoice.h"

#include <QSignalBlocker>

namespace ramvel {

void FillDiaChoice(QComboBox* cbx, const TBrdData& brd) {
  bool same = cbx->count() == static_cast<int>(brd.Dias.size()) &&
              cbx->currentIndex() == static_cast<int>(brd.ActiveDia);
  for (int i = 0; same && i < cbx->count(); ++i) {
    same = cbx->itemText(i) == QString::fromStdString(brd.Dias[static_cast<size_t>(i)].Name);
  }
  if (same) return;
  const QSignalBlocker block(cbx);
  cbx->clear();
  for (const TBrdDia& d : brd.Dias) cbx->addItem(QString::fromStdString(d.Name));
  cbx->setCurrentIndex(static_cast<int>(brd.ActiveDia));
}

}  // namespace ramvel
