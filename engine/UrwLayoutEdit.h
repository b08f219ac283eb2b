// Layout editing on the board view without a window (TLayoutEdit): placing stations and rails
// with their live checks, deleting, renaming, and making lines station by station.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/UrwBrdData.h"
#include "engine/UrwBrdUndo.h"
#include "engine/UrwBrdView.h"
#include "foundation/UrwCmnDef.h"
#include "foundation/UrwUndo.h"

namespace ramvel {

// Mouse events of the board view.
enum : int32_t { kMouseMove = 1, kMouseLeftUp = 2, kMouseOtherUp = 3 };

// Orientations of a station being placed: the vector from its first end to its second, terrain
// dots, for StaMuki 1..8. Each step turns the station counterclockwise on the screen.
inline constexpr TPoint kStaMukiTbl[8] = {{4, 10},  {8, 8},  {10, 4},  {11, 0},
                                          {10, -4}, {8, -8}, {4, -10}, {0, -11}};
// cos 23°: a joint may bend by at most 23 degrees.
inline constexpr double kCosMaxBend = 0.92050485;  // cos 23°
inline constexpr int32_t kMaxBendDeg = 23;

// What sits at a dot where a rail is to start or end.
struct TConnAt {
  TBaseObj* Obj = nullptr;  // null when nothing is there
  int32_t Free = -1;        // the object's free entries there (first run); -1 without object
};

class TLayoutEdit {
 public:
  // view (and its board) must outlive the editor.
  explicit TLayoutEdit(TBrdView& view);
  TLayoutEdit(const TLayoutEdit&) = delete;
  TLayoutEdit& operator=(const TLayoutEdit&) = delete;

  TBrdView& View;
  TBrdData& Brd;
  // Status bar panel 0 (the edit mode) or 1 (verdicts, object information). May be empty.
  std::function<void(int, const std::string&)> Status;
  // The rail connection dialog for a rail whose end meets side staSide of the station; true
  // when it closed with OK (and has written the new connections). Empty: never opens.
  std::function<bool(TStaObj&, TRailObj&, int32_t)> RailConn;

  // ---- Placing (UrwLayoutEdit.cpp) ----

  // Design mode, idle, nothing selected, both status panels cleared.
  void EndEdit();
  // Lets the user choose an unplaced station file and starts placing it (kEditPutSta).
  bool StartStaAdd();
  // Turns the station being placed by delta steps when that stays within 1..8.
  void RotateNewSta(int32_t delta);
  // kEditPutSta: a move checks the position, a left release fixes it, another release asks
  // whether to stop placing. True when the layout or the mode changed.
  bool StaPlaceEvent(int32_t kind, int32_t x, int32_t y);
  // kEditIdle, left release on CurObjId at CurSide: starts a rail there (kEditPutRail) or opens
  // the rail connection dialog.
  bool StartRailAdd();
  // kEditPutRail: a move checks the segment, a left release fixes it, another release ends.
  bool RailPlaceEvent(int32_t kind, int32_t x, int32_t y);
  // kEditIdle, other release on CurObjId: deletes it after asking.
  bool DelObj();
  // Lets the user choose a placed station and give it a new name.
  bool StaRename();
  // After the board was saved into folder: the files of renamed stations bear their new names
  // and no file of an old name is left. Forgets the renames.
  TStatus FinishRenames(const std::string& folder);

  // ---- Undo ----

  // The steps of design mode: placing a station, laying a rail, changing rail connections,
  // deleting, renaming and line editing, each one step over the layout's records (the terrain
  // is not part of them). The window clears it when a board is opened.
  TUndoHistory History;
  // Takes back (does again) the last step. Placing in progress is ended first (line editing
  // goes on); then the window redraws. False when there is nothing to take back.
  bool Undo();
  bool Redo();

  // ---- Checks (UrwLayoutCheck.cpp) ----

  // Whether a station (forSta) or a rail may be placed from dot p along v; the verdict goes to
  // status panel 1 (a zero v leaves it unchanged).
  bool CheckPut(bool forSta, TPoint p, TPoint v);
  // The object at dot p for a rail to dot q and its free entries; false (after a message) when
  // the new rail would cross a rail branching from the same station side.
  bool GetConnectedObj(TPoint p, TPoint q, TConnAt& out);

  // ---- Lines (UrwLineEdit.cpp) ----

  // Starts editing a new line (isNew) or an existing one (kEditLine).
  bool StartLineEdit(bool isNew);
  // kEditLine: a release on the station CurObjId (left toggles it, other asks to end).
  bool LineEditClick(int32_t kind);
  // Adds the station CurObjId at an end of the line or takes an end station off again.
  bool LineStaToggle();
  // Asks whether to end line editing without writing the line.
  bool LineEndAsk();
  // Closes the line into a ring and writes it; false (after a message) when it cannot.
  bool MakeRing();
  // Writes the line, ends editing.
  bool LineFix();
  // Asks whether to stop editing; true when it stopped.
  bool LineCancel();
  // Lets the user choose a line file and deletes it after asking.
  bool LineDel();

 private:
  void SetStatus(int panel, const std::string& text);
  // The refusal of a place for the station or rail being placed, with the reason the status bar
  // gave for it.
  std::string PutRefusal() const;
  std::string putWhy_;  // the last verdict shown in status panel 1
  bool FixSta();
  bool CancelSta();
  bool FixRail();
  bool RailEndClicked(TRailObj& rail);
  void BeginRail(TPoint dot);
  bool AskRename(TStaObj& sta, const std::string& newName);
  bool StartNewLine();
  bool StartOldLine();
  TStatus CheckNewStaName(const TStaObj& sta, const std::string& newName) const;
  // UrwLayoutCheck.cpp
  bool CheckEndPoint(bool forSta, TPoint d, int32_t sign, TPoint v, std::set<int32_t>& excl);
  bool CheckWithObj(bool forSta, TPoint d, int32_t sign, TPoint v, const TBaseObj& o);
  bool CheckSeaAndCross(TPoint p, TPoint v, const std::set<int32_t>& excl);
  TStaObj* StaAtDot(TPoint d, int32_t& side);
  TRailObj* RailAtDot(TPoint d, int32_t& side);
  bool CrossesBranch(TStaObj& sta, int32_t side, TPoint q);
  void SetViewTransform(TBaseObj& obj);

  struct TRename {
    std::string Old, New;
  };
  std::vector<TRename> renames_;
  TLayoutUndoTarget undoTarget_;
};

}  // namespace ramvel
