// TFrmKindEdit: 種別の編集, the window of the board's kind table: every kind with its name, the
// train type it counts as and its colour, to add, rename, recolour, reorder and delete kinds.
#pragma once

#include <QDialog>
#include <vector>

#include "engine/UrwBrdKinds.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace ramvel {

class TFrmKindEdit : public QDialog {
  Q_OBJECT

 public:
  // Edits brd's table, which changes only when OK is pressed and the table is accepted.
  TFrmKindEdit(TBrdData& brd, QWidget* parent = nullptr);

  enum { kColName = 0, kColType = 1, kColColor = 2 };

  QTableWidget* GrdKind;
  QPushButton *BtnAdd, *BtnDel, *BtnUp, *BtnDown, *BtnColor, *BtnOk, *BtnCancel;
  QLabel* LblNote;
  // How many trains the last accepted edit gave another kind text.
  int32_t Changed = 0;

  // The rows as the grid now shows them.
  std::vector<TKindEdit> Rows() const;

  void BtnAddClick();
  // Refused, naming a train, when the kind is one the board's trains use.
  void BtnDelClick();
  void BtnMoveClick(int by);
  // The colour of the current row, chosen in the colour dialog.
  void BtnColorClick();

 protected:
  // OK: the table checked and made the board's; a refusal is shown and the window stays open.
  void accept() override;

 private:
  void AddRow(const TKindEdit& row);
  void SetColorCell(int row, int32_t bgr);
  void UpdateButtons();

  TBrdData& brd_;
  std::vector<int32_t> from_;  // per grid row: the index in the board's table, -1 added
};

}  // namespace ramvel
