// The board view's mouse dispatch: edge scrolling, station information in run mode and the
// hand-over to the editing operations by edit mode.
#include "view/UrwBrdEditor.h"

namespace ramvel {

bool TBrdEdit::MouseEvent(int32_t kind, int32_t x, int32_t y) {
  if (Brd.BrdName.empty()) return false;
  if (const TEdgeScroll e = View.EdgeScroll(x, y); e.Hit) {
    if (kind == kMouseLeftUp) {
      View.ScrollView(e.Dx, e.Dy);
      return true;
    }
    if (kind == kMouseMove) SetCursor(e.Dx != 0 ? Qt::SplitHCursor : Qt::SplitVCursor);
    return false;
  }
  // Run mode edits nothing: a release there must never start a rail or delete an object.
  if (!View.DesignMode) return kind == kMouseMove ? RunModeMove(x, y) : false;
  return DispatchEdit(kind, x, y);
}

// Run mode only names the station under the pointer.
bool TBrdEdit::RunModeMove(int32_t x, int32_t y) {
  SetCursor(Qt::ArrowCursor);
  if (View.HitTest(x, y, false)) {
    ShowObjInfo(View.CurObjId);
    View.CurObjId = -1;
  } else {
    SetStatus(1, "");
  }
  return false;
}

// Design mode: moves and releases go to the operation of the edit mode.
bool TBrdEdit::DispatchEdit(int32_t kind, int32_t x, int32_t y) {
  switch (View.EditMode) {
    case kEditLine:
      if (!HoverEvent(kind, x, y, false)) return false;
      return LineEditClick(kind);
    case kEditIdle:
      if (!HoverEvent(kind, x, y, true)) return false;
      SetCursor(Qt::ArrowCursor);
      return kind == kMouseLeftUp ? StartRailAdd() : DelObj();
    case kEditPutSta:
      SetCursor(Qt::ArrowCursor);
      return StaPlaceEvent(kind, x, y);
    case kEditPutRail:
      SetCursor(Qt::ArrowCursor);
      return RailPlaceEvent(kind, x, y);
    default:
      return false;
  }
}

// The object under the pointer: a move shows it and ends the event; true when a release on an
// object is to be handed on.
bool TBrdEdit::HoverEvent(int32_t kind, int32_t x, int32_t y, bool withRails) {
  if (!View.HitTest(x, y, withRails)) {
    SetCursor(Qt::ArrowCursor);
    SetStatus(1, "");
    return false;
  }
  if (kind == kMouseMove) {
    SetCursor(Qt::PointingHandCursor);
    ShowObjInfo(View.CurObjId);
    return false;
  }
  return true;
}

// ---- Editing hooks
// -------------------------------------------------------------------------------

bool TBrdEdit::LineEditClick(int32_t kind) { return Layout.LineEditClick(kind); }
bool TBrdEdit::StartRailAdd() { return Layout.StartRailAdd(); }
bool TBrdEdit::DelObj() { return Layout.DelObj(); }
bool TBrdEdit::StaPlaceEvent(int32_t kind, int32_t x, int32_t y) {
  return Layout.StaPlaceEvent(kind, x, y);
}
bool TBrdEdit::RailPlaceEvent(int32_t kind, int32_t x, int32_t y) {
  return Layout.RailPlaceEvent(kind, x, y);
}

}  // namespace ramvel
