// The station designer without its window: the station being edited, the designer's state and
// every command of the designer, with the data its window draws.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/UrwUndo.h"
#include "model/UrwStaObj.h"
#include "station_designer/UrwStaCheck.h"
#include "station_designer/UrwStaEntConn.h"
#include "station_designer/UrwStaPanel.h"

namespace ramvel {

// ---- Screen layout of the designer window (client pixels) --------------------------------------

constexpr int32_t kStaCellW = 30;  // matrix and palette cells
constexpr int32_t kStaCellH = 20;
constexpr int32_t kStripW = 70;   // each entry strip
constexpr int32_t kMatrixX = 70;  // left edge of the matrix
constexpr int32_t kRightStripX = 670;
constexpr int32_t kPaletteX = 740;
constexpr int32_t kStaClientW = 890;
constexpr int32_t kMatrixH = 400;
constexpr int32_t kHomeCol = 9;       // platform tracks start here
constexpr int32_t kBandLastCol = 12;  // track pieces must not start in kHomeCol..kBandLastCol
constexpr int32_t kMaxHomeNo = 99;

enum class TStaZone { kNone, kLeftStrip, kMatrix, kRightStrip, kPalette };

// What lies under a client position; Col and Row are the 1-based matrix or palette cell.
struct TStaHit {
  TStaZone Zone = TStaZone::kNone;
  int32_t Col = 0;
  int32_t Row = 0;
};
TStaHit StaHitTest(int32_t x, int32_t y);

enum class TMouseBtn { kLeft, kRight };
// The field a refused input sends the keyboard focus back to.
enum class TStaFocus { kNone, kName, kEntL, kEntR };

// The texts of the designer's fields: 駅名, 備考 and the two entry counts as the window shows
// them. The window keeps them in step with its controls; commands commit them first.
struct TStaFields {
  std::string Name;
  std::string Desc;
  std::string EntL;
  std::string EntR;
};

// The dialogs the designer opens that are windows of their own.
struct TStaEditorHooks {
  // The entry crossing dialog on conn; true when closed with OK.
  std::function<bool(TStaEntConn& conn)> EditEntCrs;
  // The selection of one station file of the board; nullopt when cancelled.
  std::function<std::optional<std::string>(const std::string& brdDir)> ChooseSta;
};

// One lead of an entry strip, from the middle of matrix row InnerRow at the matrix side to the
// middle of row OuterRow at the outer side.
struct TStripLead {
  int32_t InnerRow = 0;
  int32_t OuterRow = 0;
  bool Crossing = false;   // drawn last, over a wide white line
  bool Unreached = false;  // no track reaches the inner row: drawn red
};

struct TCellPos {
  int32_t Col = 0;
  int32_t Row = 0;
  friend bool operator==(const TCellPos&, const TCellPos&) = default;
};

class TStaEditor {
 public:
  TStaEditor();
  TStaEditor(const TStaEditor&) = delete;
  TStaEditor& operator=(const TStaEditor&) = delete;

  // Reads the pieces from pieceDir, or the program folder when pieceDir is empty (a failure ends
  // the opening: the designer is not shown), takes the board folder progDir/brdName and the
  // board's station counter, and starts a new station.
  TStatus Open(const std::string& progDir, const std::string& brdName, int32_t idSta,
               const std::string& pieceDir = {});
  // The same with pieces already read and the board folder given.
  void Open(const TStaPanels& panels, const std::string& brdDir, int32_t idSta);
  void SetHooks(TStaEditorHooks hooks) { hooks_ = std::move(hooks); }

  // ---- State ----
  const TStaObj& Sta() const { return sta_; }
  const TStaPanels& Panels() const { return panels_; }
  bool IsNew() const { return isNew_; }
  bool Modified() const { return modified_; }
  // The board's station counter; the board takes it back when the designer closes.
  int32_t IdSta() const { return idSta_; }
  const std::string& BrdDir() const { return brdDir_; }
  std::string StaDir() const;
  // "駅データの編集 - 新規" or "駅データの編集 - 変更".
  std::string Caption() const;
  bool NameReadOnly() const { return !isNew_; }
  TStaFields& Fields() { return fields_; }
  const TStaFields& Fields() const { return fields_; }
  // The focus a refused input asked for; cleared by reading it.
  TStaFocus TakeFocus();
  int32_t Held() const { return held_; }
  const std::optional<TCellPos>& FillStart() const { return fillStart_; }
  std::vector<int32_t> EntRowsOf(int32_t side) const { return EntRows(sta_.EntCount[side]); }

  // ---- Check and display ----
  // Runs the layout check and stores its verdict in the station's IsErr.
  TStaCheck CheckAndDisplay();
  // The leads of one entry strip in drawing order, coloured by the check's result.
  std::vector<TStripLead> StripLeads(int32_t side, const TStaCheck& check) const;

  // ---- Pieces ----
  // The placing rule: every cell the piece covers lies in the matrix and is empty; track pieces
  // do not start in columns 9 to 12; platform tracks start in column 9.
  bool CanPlace(int32_t panelNo, int32_t col, int32_t row) const;
  // Places the piece when the rule allows; a platform track is numbered one above the highest
  // platform number (at most 99).
  bool PlacePanel(int32_t panelNo, int32_t col, int32_t row);
  // Empties every cell of the piece covering (col, row); false on an empty cell.
  bool RemovePanel(int32_t col, int32_t row);
  // Lays piece 1 into every empty cell of row between the two columns, both included, whatever
  // their column; true when anything was laid.
  bool FillRow(int32_t row, int32_t col0, int32_t col1);
  // Gives every cell of the piece covering (col, row) the platform number no.
  bool SetHomeNo(int32_t col, int32_t row, int32_t no);
  void Hold(int32_t panelNo);

  // ---- Window input ----
  // A mouse button released at a client position (Shift held or not).
  void MouseUp(TMouseBtn btn, bool shift, int32_t x, int32_t y);
  // The platform number input box for the platform track covering (col, row).
  void InputHomeNo(int32_t col, int32_t row);
  // An entry count chosen or typed for side 0 (left) or 1 (right). False when refused.
  bool CbxEntChange(int32_t side, const std::string& text);
  // Takes the name, description and entry count fields into the station. False when an entry
  // count was refused; the command that committed then stops.
  bool CommitFields();
  // The entry crossing dialog of one side.
  void EditEntCrs(int32_t side);

  // ---- Menu commands ----
  void RevV();                    // mirror upside down
  void RevH();                    // mirror left to right
  bool MovU();                    // all rows up by one; refused while row 1 holds a piece
  bool MovD();                    // all rows down by one; refused while row 20 holds a piece
  void NumberHomes(int32_t tag);  // 0: top down, 1: bottom up
  bool New();
  bool Copy();
  bool OpenSta();
  bool Save();
  // Whether the window may close (commits, then asks when there are unsaved changes).
  bool CanClose();

  // ---- Undo ----
  // Every change to the station (matrix, entries, crossings, numbers, fields, mirror and move)
  // is one step over the station's record and name; cleared when a station is started, copied
  // or opened.
  const TUndoHistory& History() const { return history_; }
  // Commits the fields first, so that text typed since the last step is taken back first; then
  // takes back the last step and the fields show the station again. False when a field was
  // refused or there is nothing to take back.
  bool Undo();
  bool Redo();

 private:
  void StartNew();
  void AfterLoad();
  bool ConfirmDiscard();
  bool Fits(const TStaPanel& panel, int32_t col, int32_t row) const;
  void PutPanel(int32_t panelNo, const TStaPanel& panel, int32_t col, int32_t row);
  int32_t MaxHomeNo() const;
  std::vector<TCellPos> CellsOfPiece(int32_t col, int32_t row) const;
  void LeftUp(bool shift, const TStaHit& hit);
  void LeftUpNothingHeld(const TStaHit& hit);
  void RightUp(const TStaHit& hit);
  bool LoadChosen(TStaObj& into);
  bool CheckNewName();
  bool WriteSta();
  bool RowEmpty(int32_t row) const;
  void ShiftRows(int32_t step);
  void MirrorCell(StaCell& cell, bool vertical) const;

  // The station's name and record, for the history.
  class TUndoSta : public TUndoTarget {
   public:
    explicit TUndoSta(TStaEditor& ed) : ed_(ed) {}
    TUndoRecs Snapshot() const override;
    void Restore(const std::map<std::string, TUndoRec>& recs) override;

   private:
    TStaEditor& ed_;
  };

  TStaPanels panels_;
  TStaObj sta_;
  TStaEditorHooks hooks_;
  TStaFields fields_;
  std::string brdDir_;
  int32_t idSta_ = 0;
  bool isNew_ = true;
  bool modified_ = false;
  int32_t held_ = kNoPanel;
  std::optional<TCellPos> fillStart_;
  TStaFocus focus_ = TStaFocus::kNone;
  TUndoSta undoSta_{*this};
  TUndoHistory history_;
};

}  // namespace ramvel
