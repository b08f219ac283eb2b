// The notes (備考) of a train set's trains and their keys in the car file.
#include "model/UrwCarObj.h"

namespace ramvel {

namespace {

constexpr const char* kNoteCountKey = "NOTE_COUNT";
constexpr const char* kNoteKey = "NOTE";

}  // namespace

std::string NoteText(std::string_view note) {
  std::string out;
  out.reserve(note.size());
  for (const char c : note) out += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
  const size_t from = out.find_first_not_of(' ');
  if (from == std::string::npos) return {};
  out.erase(out.find_last_not_of(' ') + 1);
  out.erase(0, from);
  return out;
}

std::string TCarObj::TrNote(std::string_view trainNo) const {
  const auto it = TrNotes.find(std::string(trainNo));
  return it == TrNotes.end() ? std::string() : it->second;
}

void TCarObj::SetTrNote(const std::string& trainNo, std::string_view note) {
  std::string text = NoteText(note);
  if (text.empty()) {
    TrNotes.erase(trainNo);
  } else {
    TrNotes[trainNo] = std::move(text);
  }
}

void ReadNoteKeys(TRecReader& rd, TCarObj& car) {
  if (rd.Failed() || !rd.Has(kNoteCountKey)) return;
  const int32_t n = rd.Count(kNoteCountKey, kMaxTrNotes);
  for (int32_t k = 1; k <= n && !rd.Failed(); ++k) {
    const std::string key = CountedKey(kNoteKey, k);
    const std::vector<std::string> items = rd.List(key, 2, 2);
    if (rd.Failed()) return;
    if (items[0].empty()) return rd.Fail(key, " に列車番号がありません");
    if (items[1].size() > kMaxNoteBytes) return rd.Fail(key, " の備考が長すぎます");
    car.SetTrNote(items[0], items[1]);
  }
}

void AddNoteKeys(const TCarObj& car, TextRec& rec) {
  std::vector<const std::pair<const std::string, std::string>*> kept;
  for (const auto& note : car.TrNotes) {
    if (car.FindTrain(note.first).First >= 0) kept.push_back(&note);
  }
  if (kept.empty()) return;
  rec.Add(kNoteCountKey, IntText(static_cast<int64_t>(kept.size())));
  for (size_t i = 0; i < kept.size(); ++i) {
    rec.Add(CountedKey(kNoteKey, static_cast<int32_t>(i + 1)),
            JoinList({kept[i]->first, kept[i]->second}));
  }
}

}  // namespace ramvel
