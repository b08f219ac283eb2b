// The station designer: new, copied and opened stations, saving, and closing.
#include <filesystem>
#include <system_error>
#include <utility>

#include "station_designer/UrwStaEditor.h"
#include "station_designer/UrwStaGeom.h"

namespace ramvel {

namespace {

constexpr const char* kUnsaved = "編集結果が保存されていませんがよろしいですか？";
constexpr const char* kNoName = "駅名を入力して下さい";
constexpr const char* kNameExists = "その駅名は既に存在します";
constexpr const char* kNoEntries = "エントリーが一つもありません";
constexpr const char* kErrorsLeft = "エラーが残っていますが保存しますか？";
constexpr int32_t kMaxIdSta = 2147482;  // the largest serial whose station id fits in 32 bits
constexpr const char* kIdStaFull = "駅の通し番号が上限に達しています";

}  // namespace

void TStaEditor::StartNew() {
  sta_ = TStaObj();
  sta_.ClearCells();
  isNew_ = true;
  AfterLoad();
}

void TStaEditor::AfterLoad() {
  history_.Clear();
  held_ = kNoPanel;
  fillStart_.reset();
  modified_ = false;
  fields_ = TStaFields{sta_.Name, sta_.Desc, IntText(sta_.EntCount[0]), IntText(sta_.EntCount[1])};
}

bool TStaEditor::ConfirmDiscard() { return !modified_ || AskYesNo(kCapConfirm, kUnsaved); }

bool TStaEditor::New() {
  if (!CommitFields() || !ConfirmDiscard()) return false;
  StartNew();
  return true;
}

// Lets the user choose a station file of the board and reads it; the message of a failed read
// is shown and the station being edited stays.
bool TStaEditor::LoadChosen(TStaObj& into) {
  if (!hooks_.ChooseSta) return false;
  const std::optional<std::string> name = hooks_.ChooseSta(brdDir_);
  if (!name) return false;
  if (TStatus st = into.LoadSta(StaDir(), *name); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  return true;
}

bool TStaEditor::Copy() {
  if (!CommitFields() || !ConfirmDiscard()) return false;
  TStaObj loaded;
  if (!LoadChosen(loaded)) return false;
  sta_ = std::move(loaded);
  sta_.Name.clear();
  isNew_ = true;
  AfterLoad();
  return true;
}

bool TStaEditor::OpenSta() {
  if (!CommitFields() || !ConfirmDiscard()) return false;
  TStaObj loaded;
  if (!LoadChosen(loaded)) return false;
  sta_ = std::move(loaded);
  isNew_ = false;
  AfterLoad();
  return true;
}

bool TStaEditor::CanClose() { return CommitFields() && ConfirmDiscard(); }

// ---- Saving ------------------------------------------------------------------------------------

// A new station's name becomes its file name: it must be given, safe as a file name, storable in
// the board's files and not taken by another station file.
bool TStaEditor::CheckNewName() {
  std::string refusal;
  std::error_code ec;
  if (sta_.Name.empty()) {
    refusal = kNoName;
  } else if (TStatus st = CheckNewObjName(sta_.Name, "駅名"); !st) {
    refusal = st.Msg();
  } else if (std::filesystem::exists(ResolveIn(StaDir(), sta_.Name + ".txt"), ec)) {
    refusal = kNameExists;
  }
  if (refusal.empty()) return true;
  ShowMsgBox(kCapError, refusal);
  focus_ = TStaFocus::kName;
  return false;
}

// Writes the station; a new station takes the next serial only once its file is written.
bool TStaEditor::WriteSta() {
  const int32_t oldId = sta_.Id;
  if (isNew_) {
    if (idSta_ >= kMaxIdSta) {
      ShowMsgBox(kCapError, kIdStaFull);
      return false;
    }
    sta_.Id = (idSta_ + 1) * 1000 + kKindSta;
  }
  if (TStatus st = sta_.SaveSta(StaDir()); !st) {
    sta_.Id = oldId;
    ShowMsgBox(kCapError, st.Msg());
    return false;
  }
  if (isNew_) ++idSta_;
  isNew_ = false;
  modified_ = false;
  fields_.Name = sta_.Name;
  return true;
}

bool TStaEditor::Save() {
  if (!CommitFields()) return false;
  if (isNew_ && !CheckNewName()) return false;
  if (sta_.EntCount[0] + sta_.EntCount[1] == 0) {
    ShowMsgBox(kCapError, kNoEntries);
    focus_ = TStaFocus::kEntL;
    return false;
  }
  if (!CheckAndDisplay().IsErr) {
    CompileSta(sta_, panels_);
  } else if (!AskYesNo(kCapConfirm, kErrorsLeft)) {
    return false;
  }
  return WriteSta();
}

}  // namespace ramvel
