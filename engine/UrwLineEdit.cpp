// Line editing on the board view: starting a new or existing line, adding and taking off end
// stations by clicks, closing a ring, writing, cancelling and deleting line files.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "engine/UrwLayoutEdit.h"

namespace ramvel {

namespace fs = std::filesystem;

namespace {

std::string LinePath(const std::string& brdPath, const std::string& name) {
  return ResolveIn(brdPath, "line/" + name + ".txt");
}

}  // namespace

bool TLayoutEdit::StartLineEdit(bool isNew) {
  std::string open;
  if (!Brd.CheckAllConn(open)) {
    ShowMsgBox(kCapError, "路面デザインが完成していません\r\r" + open);
    return false;
  }
  if (!(isNew ? StartNewLine() : StartOldLine())) return false;
  View.EditMode = kEditLine;
  View.CurObjId = -1;
  SetStatus(0, "路線の編集");
  return true;
}

// A new name is refused before anything changes when it cannot be a file name or a line of
// that name exists already.
bool TLayoutEdit::StartNewLine() {
  const std::optional<std::string> answer = UiHost().InputBox("新規の路線", "路線名は？", "");
  if (!answer) return false;
  const std::string name = std::string(TrimBlanks(*answer));
  if (name.empty()) return false;
  TStatus st = CheckNewObjName(name, "路線名");
  std::error_code ec;
  if (st && fs::exists(LinePath(View.BrdPath, name), ec)) {
    st = TStatus::Error("その路線名は既に存在します");
  }
  if (st) st = Brd.SetLine(name);
  if (!st) ShowMsgBox(kCapError, st.Msg());
  return st.ok();
}

bool TLayoutEdit::StartOldLine() {
  const std::vector<std::string> lines = ListFiles(ResolveIn(View.BrdPath, "line"), "txt");
  const std::optional<std::string> name = ChooseItem(lines, "路線を選択して下さい");
  if (!name) return false;
  TStatus st = Brd.SetLine(*name);
  if (st) st = Brd.LoadLine(View.BrdPath);
  if (!st) ShowMsgBox(kCapError, st.Msg());
  return st.ok();
}

bool TLayoutEdit::LineEditClick(int32_t kind) {
  return kind == kMouseLeftUp ? LineStaToggle() : LineEndAsk();
}

bool TLayoutEdit::LineStaToggle() {
  TUndoScope step(History, "路線の駅の変更");
  const int32_t id = View.CurObjId;
  View.CurObjId = -1;
  std::vector<std::string>& stas = Brd.LineStas;
  if (stas.empty()) {
    stas.push_back(IntText(id));
    Brd.LineSides.assign(stas.size(), 0);
    return true;
  }
  const int32_t k = Brd.FindStaInLine(id);
  if (k < 0) {
    if (Brd.AddStaToLine(id)) return true;
    ShowMsgBox(kCapError, "登録できるのは現在の始発駅(または終着駅)の隣駅だけです");
    return false;
  }
  if (k == 0) {
    stas.erase(stas.begin());
  } else if (k == static_cast<int32_t>(stas.size()) - 1) {
    stas.pop_back();
  } else {
    ShowMsgBox(kCapError, "取り消せるのは現在の始発駅(または終着駅)だけです");
    return false;
  }
  Brd.LineSides.assign(stas.size(), 0);
  return true;
}

bool TLayoutEdit::LineEndAsk() {
  TUndoScope step(History, "路線編集の終了");
  View.CurObjId = -1;
  if (!AskYesNo(kCapConfirm, "路線編集を終わりますか？")) return false;
  if (Brd.LineStas.size() == 1) {
    Brd.LineStas.clear();
    Brd.LineSides.clear();
  }
  EndEdit();
  return true;
}

bool TLayoutEdit::MakeRing() {
  TUndoScope step(History, "環状線の設定");
  if (Brd.LineStas.size() < 2) {
    ShowMsgBox(kCapError, "少なくとも２駅を選択して下さい");
    return false;
  }
  const size_t before = Brd.LineStas.size();
  const std::string first = Brd.LineStas.front();
  int32_t id = 0;
  ParseInt(first, id);
  const std::vector<std::string> kept = Brd.LineStas;
  if (!Brd.AddStaToLine(id) || Brd.LineStas.size() != before + 1 || Brd.LineStas.back() != first) {
    Brd.LineStas = kept;  // added at the front only: no ring
    Brd.LineSides.assign(kept.size(), 0);
    ShowMsgBox(kCapError, "始発駅と現在の終着駅が隣駅ではありません");
    return false;
  }
  return LineFix();
}

// The line file is written before editing ends; a line that cannot be written keeps the editing
// open, so that nothing the user made is lost.
bool TLayoutEdit::LineFix() {
  TUndoScope step(History, "路線の登録");
  if (const TStatus st = Brd.SaveLine(View.BrdPath); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  EndEdit();
  return true;
}

bool TLayoutEdit::LineCancel() {
  if (!AskYesNo(kCapConfirm, "路線編集を中止しますか？")) return false;
  EndEdit();
  return true;
}

bool TLayoutEdit::LineDel() {
  TUndoScope step(History, "路線の削除");
  const std::vector<std::string> lines = ListFiles(ResolveIn(View.BrdPath, "line"), "txt");
  const std::optional<std::string> name = ChooseItem(lines, "路線を選択して下さい");
  if (!name) return false;
  if (!AskYesNo(kCapConfirm, "削除してよろしいですか？")) return false;
  std::error_code ec;
  const std::string path = LinePath(View.BrdPath, *name);
  if (!fs::remove(path, ec) || ec) {
    ShowMsgBox(kCapError, path + ": " + (ec ? ec.message() : std::string("削除できません")));
    return false;
  }
  return true;
}

}  // namespace ramvel
