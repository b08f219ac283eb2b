// The station designer's undo: the station's name and record as the history's one object.
#include "station_designer/UrwStaEditor.h"

#include "foundation/UrwUiHost.h"

namespace ramvel {

namespace {

constexpr const char* kStaKey = "sta";

}  // namespace

TUndoRecs TStaEditor::TUndoSta::Snapshot() const {
  std::string text = ed_.sta_.Name + "\n";
  for (const std::string& l : ed_.sta_.MakeRec().Lines) text += l + "\n";
  return TUndoRecs{{kStaKey, text}};
}

void TStaEditor::TUndoSta::Restore(const std::map<std::string, TUndoRec>& recs) {
  const auto it = recs.find(kStaKey);
  if (it == recs.end() || !it->second) return;
  TextRec rec;
  const std::string& text = *it->second;
  for (size_t from = 0, nl = text.find('\n'); nl != std::string::npos;
       from = nl + 1, nl = text.find('\n', from)) {
    rec.Lines.push_back(text.substr(from, nl - from));
  }
  if (rec.Lines.empty()) return;
  const std::string name = rec.Lines.front();
  rec.Lines.erase(rec.Lines.begin());
  TStaObj& sta = ed_.sta_;
  // The record was made from the station, so it reads back; a failure keeps the station as it is.
  if (const TStatus st = sta.ReadRec(rec, name, name + ".txt"); !st) {
    ShowMsgBox(kCapError, "元に戻せませんでした\n" + st.Msg());
    return;
  }
  ed_.fillStart_.reset();
  ed_.modified_ = true;
  ed_.fields_ = TStaFields{sta.Name, sta.Desc, IntText(sta.EntCount[0]), IntText(sta.EntCount[1])};
}

bool TStaEditor::Undo() {
  if (!CommitFields()) return false;
  return history_.Undo();
}

bool TStaEditor::Redo() {
  // Typing since the last step would become a step of its own and end the redo chain.
  if (!CommitFields()) return false;
  return history_.Redo();
}

}  // namespace ramvel
