// Placing stations and rails on the board view, deleting and renaming: the mouse events of the
// edit modes turned into board changes, each checked before anything changes.
#include "engine/UrwLayoutEdit.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "engine/UrwShellState.h"

namespace ramvel {

namespace fs = std::filesystem;

namespace {

TPoint Dots(TPoint metres) { return {metres.x / kGridM, metres.y / kGridM}; }

}  // namespace

void TLayoutEdit::SetStatus(int panel, const std::string& text) {
  if (panel == 1) putWhy_ = text;
  if (Status) Status(panel, text);
}

std::string TLayoutEdit::PutRefusal() const {
  // A place that passed shows where it lies, not why it was refused.
  if (putWhy_.empty() || putWhy_.rfind("at(", 0) == 0) return "そこに設置することは出来ません";
  return "そこに設置することは出来ません：" + putWhy_;
}

TLayoutEdit::TLayoutEdit(TBrdView& view)
    : View(view), Brd(view.Brd), undoTarget_(Brd, View.BrdPath, nullptr, [this] {
        return View.EditMode == kEditPutSta ? View.CurObjId : 0;
      }) {
  History.SetTarget(&undoTarget_);
}

bool TLayoutEdit::Undo() {
  if (!History.CanUndo()) return false;
  if (View.EditMode != kEditLine) EndEdit();
  return History.Undo();
}

bool TLayoutEdit::Redo() {
  if (!History.CanRedo()) return false;
  if (View.EditMode != kEditLine) EndEdit();
  return History.Redo();
}

void TLayoutEdit::EndEdit() {
  View.EndEdit();
  SetStatus(0, "");
  SetStatus(1, "");
}

// ---- Stations ----------------------------------------------------------------------------------

bool TLayoutEdit::StartStaAdd() {
  const std::vector<std::string> files = StaFilesToOffer(2, View.BrdPath, &Brd);
  const std::optional<std::string> name = ChooseItem(files, "駅を選択して下さい", View.BrdPath);
  if (!name) return false;
  View.StaMuki = 4;
  View.PutVec = kStaMukiTbl[3];
  const bool wasModified = Brd.Modified;
  int32_t id = 0;
  if (const TStatus st = Brd.StaReg(View.BrdPath, *name, id); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  View.CurObjId = id;
  if (Brd.FindSta(id, "StartStaAdd-STA-1")->IsErr) {
    ShowMsgBox(kCapError, "エラーが残っている駅は設置できません");
    Brd.ObjDel(id);
    Brd.Modified = wasModified;
    View.CurObjId = -1;
    return false;
  }
  View.EditMode = kEditPutSta;
  View.PutOk = 0;
  SetStatus(0, "駅の追加");
  return true;
}

void TLayoutEdit::RotateNewSta(int32_t delta) {
  const int32_t m = View.StaMuki + delta;
  if (m < 1 || m > 8) return;
  View.StaMuki = m;
  View.PutVec = kStaMukiTbl[m - 1];
}

bool TLayoutEdit::StaPlaceEvent(int32_t kind, int32_t x, int32_t y) {
  if (kind == kMouseMove) {
    View.PutPos = View.PixToLandDot(x, y);
    View.PutOk = CheckPut(true, View.PutPos, View.PutVec) ? 1 : 0;
    return false;
  }
  return kind == kMouseLeftUp ? FixSta() : CancelSta();
}

bool TLayoutEdit::FixSta() {
  TUndoScope step(History, "駅の追加");
  if (View.PutOk == 0) {
    ShowMsgBox(kCapError, PutRefusal());
    return false;
  }
  const TPoint p = View.PutPos, e{p.x + View.PutVec.x, p.y + View.PutVec.y};
  int32_t side = 0;
  TRailObj* r1 = RailAtDot(p, side);
  TRailObj* r2 = RailAtDot(e, side);
  if (!Brd.StaPlace(View.CurObjId, p, View.PutVec, r1, r2)) return false;
  EndEdit();
  return true;
}

bool TLayoutEdit::CancelSta() {
  if (!AskYesNo(kCapConfirm, "設置を中止しますか？")) return false;
  const bool wasModified = Brd.Modified;
  Brd.ObjDel(View.CurObjId);
  Brd.Modified = wasModified;
  EndEdit();
  return true;
}

// ---- Rails -------------------------------------------------------------------------------------

bool TLayoutEdit::StartRailAdd() {
  TBaseObj* obj = Brd.FindObj(View.CurObjId, "StartRailAdd-OBJ-1");
  if (obj == nullptr) return false;
  const int32_t side = View.CurSide;
  if (FreeSlotRun(*obj, side).Any) {
    BeginRail(Dots(obj->EndPos[side]));
    return true;
  }
  if (obj->IsSta()) {
    ShowMsgBox(kCapError, "そこにレールを追加することは出来ません");
    return false;
  }
  return RailEndClicked(static_cast<TRailObj&>(*obj));
}

// A rail end with every entry taken: the connections to a station may be changed while the
// rail's other end is still open.
bool TLayoutEdit::RailEndClicked(TRailObj& rail) {
  TUndoScope step(History, "レールの接続変更");
  const int32_t side = View.CurSide;
  const TEntCode c = SplitEntCode(rail.EntConn[side][1]);
  if (IdKind(c.Id) != kKindSta) {
    ShowMsgBox(kCapError, "そこにレールを追加することは出来ません");
    return false;
  }
  if (rail.EntConn[1 - side][1] != 0) {
    ShowMsgBox(kCapError, "両端が接続済みのレールは駅との接続状況を変更できません");
    return false;
  }
  TStaObj* sta = Brd.FindSta(c.Id, "StartRailAdd-STA-1");
  if (sta == nullptr || !RailConn || !RailConn(*sta, rail, c.Side)) return false;
  Brd.Modified = true;
  return true;
}

void TLayoutEdit::BeginRail(TPoint dot) {
  View.EditMode = kEditPutRail;
  View.PutPos = dot;
  View.PutVec = {0, 0};
  View.PutOk = 0;
  View.CurObjId = 0;
  SetStatus(0, "レールの追加");
}

bool TLayoutEdit::RailPlaceEvent(int32_t kind, int32_t x, int32_t y) {
  if (kind == kMouseMove) {
    const TPoint d = View.PixToLandDot(x, y);
    View.PutVec = {d.x - View.PutPos.x, d.y - View.PutPos.y};
    View.PutOk = CheckPut(false, View.PutPos, View.PutVec) ? 1 : 0;
    return false;
  }
  if (kind == kMouseLeftUp) return FixRail();
  EndEdit();
  return true;
}

bool TLayoutEdit::FixRail() {
  TUndoScope step(History, "レールの敷設");
  if (View.PutOk == 0) {
    ShowMsgBox(kCapError, PutRefusal());
    return false;
  }
  const TPoint p = View.PutPos, e{p.x + View.PutVec.x, p.y + View.PutVec.y};
  TConnAt start, far;
  if (!GetConnectedObj(p, e, start) || !GetConnectedObj(e, p, far)) return false;
  if (start.Free == 0 || far.Free == 0) {
    ShowMsgBox(kCapError, "接続先のエントリに空きがありません");
    return false;
  }
  if (start.Free > 0 && far.Free > 0 && start.Free != far.Free) {
    ShowMsgBox(kCapError, "両端の接続先のエントリ数が合いません");
    return false;
  }
  const int32_t n = start.Free > 0 ? start.Free : std::max(far.Free, 1);
  Brd.RailReg(p, View.PutVec, far.Obj, start.Obj, n);
  if (far.Obj != nullptr) {
    EndEdit();
  } else {
    View.PutPos = e;
    View.PutVec = {0, 0};
    View.PutOk = 0;
    SetStatus(1, "");
  }
  return true;
}

// ---- Deleting and renaming ---------------------------------------------------------------------

bool TLayoutEdit::DelObj() {
  const TBaseObj* obj = Brd.FindObj(View.CurObjId, "DelObj-OBJ-1");
  if (obj == nullptr) return false;
  const std::string question = obj->IsSta()
                                   ? static_cast<const TStaObj*>(obj)->Name + "駅を削除しますか？"
                                   : std::string("選択したレールを削除しますか？");
  TUndoScope step(History, obj->IsSta() ? "駅の削除" : "レールの削除");
  if (!AskYesNo(kCapConfirm, question)) return false;
  Brd.ObjDel(obj->Id);
  EndEdit();
  return true;
}

bool TLayoutEdit::StaRename() {
  TUndoScope step(History, "駅名の変更");
  std::vector<std::string> names;
  for (const auto& [key, sta] : Brd.Stas) names.push_back(sta->Name);
  std::sort(names.begin(), names.end());
  const std::optional<std::string> old = ChooseItem(names, "駅を選択して下さい", View.BrdPath);
  if (!old) return false;
  const std::optional<std::string> answer =
      UiHost().InputBox("駅名の変更", "新しい駅名を入力して下さい", *old);
  if (!answer || answer->empty()) return false;
  for (auto& [key, sta] : Brd.Stas) {
    if (sta->Name == *old) return AskRename(*sta, *answer);
  }
  return false;
}

// The new name becomes the station's file name: it must be a safe file name that no other
// station file of the board bears in any letter case, or saving would overwrite that file.
TStatus TLayoutEdit::CheckNewStaName(const TStaObj& sta, const std::string& newName) const {
  if (TStatus st = CheckNewObjName(newName, "駅名"); !st) return st;
  for (const auto& [key, other] : Brd.Stas) {
    if (other.get() != &sta && SameNoCase(other->Name, newName)) {
      return TStatus::Error("その駅名は既に使われています: " + newName);
    }
  }
  if (SameNoCase(sta.Name, newName)) return TStatus::Ok();
  for (const std::string& file : StaFilesToOffer(0, View.BrdPath, nullptr)) {
    bool renamedAway = false;
    for (const TRename& r : renames_) renamedAway = renamedAway || SameNoCase(r.Old, file);
    if (SameNoCase(file, newName) && !renamedAway) {
      return TStatus::Error("その駅名の駅ファイルが既にあります: " + newName);
    }
  }
  return TStatus::Ok();
}

bool TLayoutEdit::AskRename(TStaObj& sta, const std::string& newName) {
  if (TStatus st = CheckNewStaName(sta, newName); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  if (!AskYesNo(kCapConfirm, sta.Name + "駅を" + newName + "駅に改名します、よろしいですか？")) {
    return false;
  }
  renames_.push_back({sta.Name, newName});
  sta.Name = newName;
  Brd.Modified = true;
  return true;
}

TStatus TLayoutEdit::FinishRenames(const std::string& folder) {
  const std::string staDir = ResolveIn(folder, "station");
  std::error_code ec;
  for (const TRename& r : renames_) {
    const bool placed = std::any_of(Brd.Stas.begin(), Brd.Stas.end(), [&](const auto& kv) {
      return SameNoCase(kv.second->Name, r.Old);
    });
    const fs::path oldPath = ResolveIn(staDir, r.Old + ".txt");
    if (!fs::exists(oldPath, ec)) continue;
    if (placed) {
      // Only the letter case changed: the new file went into the old entry; give it the name.
      for (const auto& [key, sta] : Brd.Stas) {
        if (!SameNoCase(sta->Name, r.Old)) continue;
        const fs::path want = fs::path(staDir) / (sta->Name + ".txt");
        if (oldPath.filename() == want.filename()) continue;
        fs::rename(oldPath, want, ec);
        // The board's own file under its new name: not a change of another program.
        if (auto stamp = Brd.LoadedFiles.extract(StampKey(oldPath.string())); !ec && stamp) {
          stamp.key() = StampKey(want.string());
          Brd.LoadedFiles.insert(std::move(stamp));
        }
      }
    } else {
      fs::remove(oldPath, ec);
      Brd.LoadedFiles.erase(StampKey(oldPath.string()));
    }
    if (ec) return TStatus::Error(oldPath.string() + ": " + ec.message());
  }
  renames_.clear();
  return TStatus::Ok();
}

}  // namespace ramvel
