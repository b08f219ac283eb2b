// The station designer: fields, entry counts and crossings, platform numbers, mirroring and
// moving the grid.
#include <algorithm>
#include <utility>

#include "station_designer/UrwStaEditor.h"

namespace ramvel {

namespace {

constexpr const char* kEntNotNumber = "エントリ数が数値ではありません";
constexpr const char* kEntOutOfRange = "範囲外のエントリ数が指定されています";
constexpr const char* kHomeCaption = "ホーム番号の入力";
constexpr const char* kHomeNotNumber = "ホーム番号が数値ではありません";
constexpr const char* kHomeOutOfRange = "範囲外のホーム番号が指定されました";
constexpr const char* kTopRowUsed = "一番上の行に部品があるため上に移動できません";
constexpr const char* kBottomRowUsed = "一番下の行に部品があるため下に移動できません";

StaCell& CellOf(TStaObj& sta, int32_t col, int32_t row) {
  return sta.Cells[static_cast<size_t>(col)][static_cast<size_t>(row)];
}

}  // namespace

// ---- Fields and entries ------------------------------------------------------------------------

bool TStaEditor::CbxEntChange(int32_t side, const std::string& text) {
  TUndoScope step(history_, "進入線数の変更");
  int32_t n = 0;
  const char* refusal = nullptr;
  if (!ParseInt(text, n)) {
    refusal = kEntNotNumber;
  } else if (n < 0 || n > kMaxStaEnt) {
    refusal = kEntOutOfRange;
  }
  if (refusal != nullptr) {
    ShowPlainMsg(refusal);
    focus_ = side == 0 ? TStaFocus::kEntL : TStaFocus::kEntR;
    return false;
  }
  if (n == sta_.EntCount[side]) return true;
  sta_.EntCount[side] = n;
  // A crossing that names entries the side no longer has would lead to missing slots.
  if (!CrsFits(n, sta_.SplitEntCrs(side))) sta_.EntCrs[side] = 0;
  modified_ = true;
  return true;
}

bool TStaEditor::CommitFields() {
  TUndoScope step(history_, "駅名・備考の変更");
  const std::string name = std::string(TrimBlanks(fields_.Name));
  if (isNew_ && name != sta_.Name) {
    sta_.Name = name;
    modified_ = true;
  }
  const std::string desc = std::string(TrimBlanks(fields_.Desc));
  if (desc != sta_.Desc) {
    sta_.Desc = desc;
    modified_ = true;
  }
  return CbxEntChange(0, fields_.EntL) && CbxEntChange(1, fields_.EntR);
}

void TStaEditor::EditEntCrs(int32_t side) {
  TUndoScope step(history_, "交差の設定");
  if (!hooks_.EditEntCrs) return;
  TStaEntConn conn(sta_.EntCount[side], side, sta_.SplitEntCrs(side));
  if (!hooks_.EditEntCrs(conn)) return;
  const TEntCrs crs = conn.Result();
  sta_.MakeEntCrs(side, crs.CrsFrom, crs.CrsTo, crs.CrsCnt);
  modified_ = true;
}

// ---- Platform numbers --------------------------------------------------------------------------

void TStaEditor::InputHomeNo(int32_t col, int32_t row) {
  const TPieceAt at = PieceAt(sta_, panels_, col, row);
  if (at.Panel == nullptr || at.Panel->Type != kPanelHomeTrack) return;
  const int32_t current = CellOf(sta_, at.Col, at.Row).HomeNo;
  const std::optional<std::string> answer = UiHost().InputBox(
      kHomeCaption, "0-" + IntText(kMaxHomeNo) + "の間で入力して下さい", IntText(current));
  if (!answer) return;
  const std::string text = std::string(TrimBlanks(ToHalfWidth(*answer)));
  if (text.empty()) return;
  int32_t no = 0;
  if (!ParseInt(text, no)) return ShowMsgBox(kCapError, kHomeNotNumber);
  if (no < 0 || no > kMaxHomeNo) return ShowMsgBox(kCapError, kHomeOutOfRange);
  SetHomeNo(col, row, no);
}

void TStaEditor::NumberHomes(int32_t tag) {
  TUndoScope step(history_, "番線の自動設定");
  int32_t next = 0;
  for (int32_t col = 1; col <= kStaCols; ++col) {
    for (int32_t i = 1; i <= kStaRows; ++i) {
      const int32_t row = tag == 0 ? i : kStaRows + 1 - i;
      const StaCell& cell = CellOf(sta_, col, row);
      const TStaPanel* panel = panels_.Get(cell.PanelNo);
      if (cell.Kind != kCellOrigin || panel == nullptr || panel->Type != kPanelHomeTrack) continue;
      ++next;
      if (cell.HomeNo != next) SetHomeNo(col, row, std::min(next, kMaxHomeNo));
    }
  }
}

// ---- Mirroring ---------------------------------------------------------------------------------

// The cell's piece becomes its mirror piece; the offset along which the piece extends in the
// mirrored direction is counted from the other end.
void TStaEditor::MirrorCell(StaCell& cell, bool vertical) const {
  const TStaPanel* panel = panels_.Get(cell.PanelNo);
  if (cell.Kind == kCellEmpty || panel == nullptr) return;
  cell.PanelNo = vertical ? panel->RevV : panel->RevH;
  if (panel->IsTrack() != vertical) return;
  int32_t& offset = vertical ? cell.DRow : cell.DCol;
  offset = panel->Cells - offset - 1;
  cell.Kind = offset == 0 ? kCellOrigin : kCellCovered;
}

void TStaEditor::RevV() {
  TUndoScope step(history_, "上下反転");
  for (int32_t col = 1; col <= kStaCols; ++col) {
    for (int32_t row = 1; row <= kStaRows / 2; ++row) {
      std::swap(CellOf(sta_, col, row), CellOf(sta_, col, kStaRows + 1 - row));
    }
    for (int32_t row = 1; row <= kStaRows; ++row) MirrorCell(CellOf(sta_, col, row), true);
  }
  modified_ = true;
}

void TStaEditor::RevH() {
  TUndoScope step(history_, "左右反転");
  for (int32_t row = 1; row <= kStaRows; ++row) {
    for (int32_t col = 1; col <= kStaCols / 2; ++col) {
      std::swap(CellOf(sta_, col, row), CellOf(sta_, kStaCols + 1 - col, row));
    }
    for (int32_t col = 1; col <= kStaCols; ++col) MirrorCell(CellOf(sta_, col, row), false);
  }
  modified_ = true;
}

// ---- Moving ------------------------------------------------------------------------------------

bool TStaEditor::RowEmpty(int32_t row) const {
  for (int32_t col = 1; col <= kStaCols; ++col) {
    if (sta_.Cells[static_cast<size_t>(col)][static_cast<size_t>(row)].Kind != kCellEmpty) {
      return false;
    }
  }
  return true;
}

// Moves every row by step (-1 up, +1 down); the row left behind becomes empty.
void TStaEditor::ShiftRows(int32_t step) {
  for (int32_t col = 1; col <= kStaCols; ++col) {
    for (int32_t i = 1; i < kStaRows; ++i) {
      const int32_t to = step < 0 ? i : kStaRows + 1 - i;
      CellOf(sta_, col, to) = CellOf(sta_, col, to - step);
    }
    CellOf(sta_, col, step < 0 ? kStaRows : 1) = StaCell{};
  }
  modified_ = true;
}

// Moving stops at the matrix edge instead of dropping the pieces there or cutting them apart.
bool TStaEditor::MovU() {
  TUndoScope step(history_, "上へ移動");
  if (!RowEmpty(1)) {
    ShowMsgBox(kCapError, kTopRowUsed);
    return false;
  }
  ShiftRows(-1);
  return true;
}

bool TStaEditor::MovD() {
  TUndoScope step(history_, "下へ移動");
  if (!RowEmpty(kStaRows)) {
    ShowMsgBox(kCapError, kBottomRowUsed);
    return false;
  }
  ShiftRows(+1);
  return true;
}

}  // namespace ramvel
