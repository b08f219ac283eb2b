// The diagram time grid (TDiaObj): the trains of one line against its station slots, the
// writing back of one train into its train set, and the display orders of the diagram editor.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/UrwCmnDef.h"
#include "model/UrwCarObj.h"

namespace ramvel {

// The board's train numbers list: train number -> the train set running it (not owned), ordered
// as text without regard to case. Spelt out here so that the board may include this header.
using TTrainNoList = std::map<std::string, TCarObj*, TLessNoCase>;

// One column of the grid.
struct TTrInfo {
  bool IsOrigin = false;  // the train's header step lies on this line
  int32_t FirstSta = -1;  // slot of the first cell; -1 while there is none
  int32_t CellCount = 0;
  int32_t Dir = -1;    // -1 up (slots decrease), +1 down; -1 until a second cell shows otherwise
  std::string TrNo;    // train number
  std::string TrKind;  // what follows the "," of the header: type and nickname
};

// One entry of a display order: the train number and the train (column) index.
struct TOrderEntry {
  std::string TrNo;
  int32_t Tr = 0;
};
// Not sorted by key: the order of the entries is the display order.
using TOrderList = std::vector<TOrderEntry>;

// A cell with no step: empty text and both times -1.
TTmTbl EmptyCell();
bool IsEmptyCell(const TTmTbl& cell);

// The model holds copies of timetable steps only; it never keeps a pointer into a train set, so
// the board may change or free train sets between two builds.
class TDiaObj {
 public:
  TDiaObj() = default;
  // ViewOrder points into the object itself.
  TDiaObj(const TDiaObj&) = delete;
  TDiaObj& operator=(const TDiaObj&) = delete;

  int32_t TrCount = 0;
  int32_t StaCount = 0;
  int32_t CurTr = -1;                         // the train being entered or written back; -1 none
  std::vector<std::string> StaList;           // station ids of the line in decimal, in line order
  TOrderList NoboriOrder;                     // up trains
  TOrderList KudariOrder;                     // down trains
  TOrderList WorkOrder;                       // one-train-set and one-station views
  std::vector<TTrInfo> TrInfo;                // [TrCount]
  std::vector<std::vector<TTmTbl>> DiaCells;  // [TrCount][StaCount]
  TOrderList* ViewOrder = &KudariOrder;       // one of the three orders above
  TCarIdSet CarIds;                           // CarIdKey / ParkedCarIdKey entries

  // ---- Columns and cells ----

  // Empties train k's record and cells.
  void ClearTr(int32_t k);
  // Appends an empty column and makes it the current train.
  void AddTr(const std::string& trNo, const std::string& trKind, int32_t dir);
  // Removes train k's last cell (s must be its last slot); the cell before it becomes the
  // terminal. False, and nothing changed, when the train has one cell only or s is not its last.
  bool DelLastCell(int32_t k, int32_t s);
  // Empties the grid, the orders and CarIds; StaCount follows StaList.
  void ClearAll();
  // A copy of the current train's cell in slot s; an empty cell when there is none.
  TTmTbl GetCell(int32_t s) const;
  // Stores step in slot s of the current train. The origin cell carries the train's header and
  // departs at its arrival time; every other cell has an empty text. A slot outside the line is
  // ignored.
  void SetCell(const TTmTbl& step, int32_t s, bool isOrigin);

  // Read access that tolerates any index: out of range reads as an empty cell.
  const TTmTbl& Cell(int32_t k, int32_t s) const;
  bool HasCell(int32_t k, int32_t s) const { return !IsEmptyCell(Cell(k, s)); }
  // Slot of train k's last cell (its farthest station on the line).
  int32_t LastSta(int32_t k) const;
  bool IsOriginCell(int32_t k, int32_t s) const;
  // The train numbers of the columns, in column order.
  std::vector<std::string> TrNos() const;

  // ---- The board's trains ----

  // Rebuilds the grid from the line's stations and the board's train numbers list (train
  // number -> the train set running it), in list order. A train gets one column holding one run
  // of neighbouring slots: the one of its last visit to the line.
  void Build(const std::vector<std::string>& stations, const TTrainNoList& trains);
  // Replaces, in train set c, the steps of the current train that the grid shows by the current
  // train's cells. Steps of the train on other lines stay. Nothing happens while the current
  // train has no cell.
  void StoreTr(TCarObj& c) const;

  // ---- Orders ----

  void SelectDir(bool kudari);
  // Inserts train n into order l at its place in time.
  void InsertByTime(TOrderList& l, int32_t n) const;
  // Whether train d runs before train n, seen along n's direction.
  bool TrPrecedes(int32_t d, int32_t n) const;
  // Moves the current train to its place in time in ViewOrder.
  void ResortCurTr();
  // Rebuilds the up and down orders; a train with one cell is in both.
  void MakeDirOrders();
  // The trains of train set c on this line, in timetable order, as the view order.
  void MakeCarOrder(const TCarObj& c);
  // The trains with an arrival at slot s, by that arrival, as the view order.
  void MakeStaOrder(int32_t s);

 private:
  struct TRunCell {
    int32_t Step = 0;  // index in the train set's timetable
    int32_t Slot = 0;
  };
  using TRun = std::vector<TRunCell>;

  bool ValidTr(int32_t k) const { return k >= 0 && k < TrCount; }
  bool ValidSlot(int32_t s) const { return s >= 0 && s < StaCount; }
  bool IsRing() const;
  int32_t SlotOf(int32_t loc) const;
  std::vector<int32_t> SlotChoices(int32_t slot) const;
  TRun LineRun(const TCarObj& c, TTrainRange range) const;
  void ExtendRun(TRun& run, int32_t step, int32_t slot) const;
  bool RunFits(const TRun& run, int32_t slot) const;
  bool RestartRun(TRun& run, int32_t step, int32_t slot) const;
  void AddTrainColumn(const TCarObj& c, TTrainRange range, const TRun& run);
};

}  // namespace ramvel
