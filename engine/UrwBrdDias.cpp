// The timetables of a board: the board's own in car/, further ones in dia/<name>/car/; their
// reading, saving, switching, adding, renaming and deleting.
#include "engine/UrwBrdDias.h"

#include <algorithm>
#include <filesystem>

#include "engine/UrwBrdKinds.h"
#include "engine/UrwBrdUndo.h"
#include "foundation/UrwSaveBatch.h"

namespace ramvel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDiaDir = "dia";
constexpr const char* kDiaNameKey = "DIA_NAME";
// A board with more timetables than this is damaged; a real line has a handful.
constexpr size_t kMaxDias = 100;

std::string DiaCarRel(const std::string& name) {
  return std::string(kDiaDir) + "/" + name + "/car";
}

bool IsDir(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

constexpr const char* kDiaNoteKey = "DIA_NOTE";
constexpr const char* kLineNoteKey = "LINE_NOTE";
// A board keeps far fewer lines and timetables than this.
constexpr int32_t kMaxNoteKeys = 10000;

// KEY_COUNT and KEYk = name|note; absent when there is no note, so older boards read as before.
void ReadNoteMap(TRecReader& rd, const std::string& key, TNoteMap& notes) {
  const std::string countKey = key + "_COUNT";
  if (rd.Failed() || !rd.Has(countKey)) return;
  const int32_t n = rd.Count(countKey, kMaxNoteKeys);
  for (int32_t k = 1; k <= n && !rd.Failed(); ++k) {
    const std::string itemKey = CountedKey(key, k);
    const std::vector<std::string> items = rd.List(itemKey, 2, 2);
    if (rd.Failed()) return;
    if (items[0].empty()) return rd.Fail(itemKey, " に名前がありません");
    if (items[1].size() > kMaxNoteBytes) return rd.Fail(itemKey, " のコメントが長すぎます");
    SetNote(notes, items[0], items[1]);
  }
}

void AddNoteMap(const TNoteMap& notes, const std::string& key, TextRec& rec) {
  if (notes.empty()) return;
  rec.Add(key + "_COUNT", IntText(static_cast<int64_t>(notes.size())));
  int32_t k = 0;
  for (const auto& [name, note] : notes) rec.Add(CountedKey(key, ++k), JoinList({name, note}));
}

}  // namespace

void SetNote(TNoteMap& notes, const std::string& name, std::string_view note) {
  std::string text = NoteText(note);
  if (text.empty()) {
    notes.erase(name);
  } else {
    notes[name] = std::move(text);
  }
}

TStatus CheckDiaName(std::string_view name) {
  if (TStatus st = CheckObjName(name, "ダイヤ名"); !st) return st;
  if (name.front() == '.') return TStatus::Error("ダイヤ名は「.」で始められません");
  return TStatus::Ok();
}

// ---- Board.txt ---------------------------------------------------------------------------------

void ReadBoardExtras(TRecReader& rd, TBoardHead& head) {
  head.HasDiaName = rd.Has(kDiaNameKey);
  if (head.HasDiaName) {
    head.DiaName = rd.Text(kDiaNameKey);
    if (TStatus st = CheckDiaName(head.DiaName); !st) {
      rd.Fail(kDiaNameKey, "が正しくありません: " + st.Msg());
    }
  }
  ReadKindKeys(rd, head.Kinds);
  ReadNoteMap(rd, kDiaNoteKey, head.DiaNotes);
  ReadNoteMap(rd, kLineNoteKey, head.LineNotes);
}

// The key is written only when the board had it or names its timetable otherwise, so a board
// that never named it saves as it always did.
void TBrdData::AddBoardExtras(TextRec& rec) const {
  if (diaNameKey_ || Dias[0].Name != kDefaultDiaName) rec.Add(kDiaNameKey, Dias[0].Name);
  AddKindKeys(Kinds, rec);
  AddNoteMap(DiaNotes, kDiaNoteKey, rec);
  AddNoteMap(LineNotes, kLineNoteKey, rec);
}

// ---- Reading -----------------------------------------------------------------------------------

TStatus TBrdData::ReadDias(const std::string& folder) {
  const std::string dir = ResolveIn(folder, kDiaDir);
  if (!IsDir(dir)) return TStatus::Ok();
  std::vector<std::string> names;
  for (const std::string& name : ListDirNames(dir)) {
    if (!IsDir(PathJoin(dir, name)) || name.front() == '.') continue;
    if (TStatus st = CheckDiaName(name); !st) {
      LoadNotes.push_back("dia/" + name + ": 読み込みません（" + st.Msg() + "）");
      continue;
    }
    names.push_back(name);
  }
  if (names.size() + 1 > kMaxDias) {
    return TStatus::Error("dia/: ダイヤが多すぎます（" + IntText(kMaxDias) + "まで）");
  }
  std::sort(names.begin(), names.end(), TLessNoCase());
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& other = i == 0 ? Dias[0].Name : names[i - 1];
    if (SameNoCase(names[i], other)) {
      return TStatus::Error("dia/" + names[i] + ": ダイヤ「" + other +
                            "」と大文字小文字だけが違う名前です");
    }
  }
  for (const std::string& name : names) {
    TBrdDia dia;
    dia.Name = dia.OnDisk = name;
    const std::string carDir = ResolveIn(folder, DiaCarRel(name));
    if (TStatus st = ReadCarFiles(carDir, DiaCarRel(name) + "/", dia.Cars); !st) return st;
    Dias.push_back(std::move(dia));
  }
  return TStatus::Ok();
}

// ---- Saving ------------------------------------------------------------------------------------

// Every further timetable's train sets into dia/<name>/car/, the files of sets no longer there
// and of deleted or renamed timetables removed. The folders of a new timetable are made now,
// empty, so that it is found again even without train sets.
TStatus TBrdData::StageDias(TSaveBatch& batch, const std::string& folder) {
  for (size_t k = 1; k < Dias.size(); ++k) {
    const std::string carDir = ResolveIn(folder, DiaCarRel(Dias[k].Name));
    std::error_code ec;
    if (!IsDir(carDir) && !fs::create_directories(carDir, ec)) {
      return TStatus::Error(DiaCarRel(Dias[k].Name) + ": 作成できません（" + ec.message() + "）");
    }
    std::set<std::string> keep;
    for (const auto& [key, car] : DiaCars(k)) {
      batch.Put(ResolveIn(carDir, IntText(car->Id) + ".txt"), car->MakeRec());
      keep.insert(UpperName(IntText(car->Id)));
    }
    if (TStatus st = StageStale(batch, carDir, DiaCarRel(Dias[k].Name), keep); !st) return st;
  }
  for (const std::string& old : droppedDias_) {
    if (FindDia(old) >= 1) continue;  // a timetable of that name lives there again
    const std::string dir = ResolveIn(folder, DiaCarRel(old));
    if (TStatus st = StageStale(batch, dir, DiaCarRel(old), {}); !st) return st;
  }
  return TStatus::Ok();
}

// The emptied folders of deleted timetables go; one still holding files of others stays.
void TBrdData::FinishDiaSave(const std::string& folder) {
  std::error_code ec;
  for (const std::string& old : droppedDias_) {
    if (FindDia(old) >= 1) continue;
    fs::remove(ResolveIn(folder, DiaCarRel(old)), ec);
    fs::remove(ResolveIn(folder, std::string(kDiaDir) + "/" + old), ec);
  }
  droppedDias_.clear();
  for (size_t k = 1; k < Dias.size(); ++k) {
    Dias[k].OnDisk = fs::path(ResolveIn(folder, std::string(kDiaDir) + "/" + Dias[k].Name))
                         .filename()
                         .string();
  }
  const std::string dir = ResolveIn(folder, kDiaDir);
  if (Dias.size() == 1 && IsDir(dir)) fs::remove(dir, ec);
}

// ---- Choosing and editing ----------------------------------------------------------------------

int32_t TBrdData::FindDia(std::string_view name) const {
  for (size_t k = 0; k < Dias.size(); ++k) {
    if (SameNoCase(Dias[k].Name, name)) return static_cast<int32_t>(k);
  }
  return -1;
}

const TObjList<TCarObj>& TBrdData::DiaCars(size_t k) const {
  return k == ActiveDia ? Cars : Dias.at(k).Cars;
}

void TBrdData::SelectDia(size_t k) {
  if (k == ActiveDia || k >= Dias.size()) return;
  Dias[ActiveDia].Cars = std::move(Cars);
  Cars = std::move(Dias[k].Cars);
  Dias[k].Cars.clear();
  ActiveDia = k;
  RebuildTrainNos(*this);
}

namespace {

// Keeps the further timetables in name order; active follows its timetable.
void SortFurther(std::vector<TBrdDia>& dias, size_t& active) {
  const std::string activeName = dias[active].Name;
  std::sort(dias.begin() + 1, dias.end(), [](const TBrdDia& a, const TBrdDia& b) {
    return CompareNoCase(a.Name, b.Name) < 0;
  });
  for (size_t k = 0; k < dias.size(); ++k) {
    if (dias[k].Name == activeName) active = k;
  }
}

TStatus CheckNewDiaName(const TBrdData& brd, const std::string& name, int32_t self) {
  if (TStatus st = CheckDiaName(name); !st) return st;
  const int32_t at = brd.FindDia(name);
  if (at >= 0 && at != self) return TStatus::Error("ダイヤ「" + name + "」はすでにあります");
  if (brd.Dias.size() >= kMaxDias && self < 0) {
    return TStatus::Error("ダイヤは" + IntText(kMaxDias) + "までです");
  }
  return TStatus::Ok();
}

}  // namespace

TStatus TBrdData::AddDia(const std::string& name, bool copyActive, size_t& k) {
  if (TStatus st = CheckNewDiaName(*this, name, -1); !st) return st;
  TBrdDia dia;
  dia.Name = name;
  if (copyActive) {
    for (const auto& [key, car] : Cars) {
      auto copy = std::make_unique<TCarObj>();
      copy->Id = car->Id;
      if (TStatus st = copy->ReadRec(car->MakeRec(), "car/" + key + ".txt"); !st) return st;
      dia.Cars.emplace(key, std::move(copy));
    }
  }
  Dias.push_back(std::move(dia));
  SortFurther(Dias, ActiveDia);
  k = static_cast<size_t>(FindDia(name));
  Modified = true;
  return TStatus::Ok();
}

TStatus TBrdData::RenameDia(size_t k, const std::string& name) {
  if (k >= Dias.size()) return TStatus::Error("ダイヤがありません");
  if (TStatus st = CheckNewDiaName(*this, name, static_cast<int32_t>(k)); !st) return st;
  if (k > 0 && !Dias[k].OnDisk.empty()) {
    droppedDias_.push_back(Dias[k].OnDisk);
    Dias[k].OnDisk.clear();
  }
  if (auto note = DiaNotes.extract(Dias[k].Name)) {
    note.key() = name;
    DiaNotes.insert(std::move(note));
  }
  Dias[k].Name = name;
  if (k > 0) SortFurther(Dias, ActiveDia);
  Modified = true;
  return TStatus::Ok();
}

TStatus TBrdData::DeleteDia(size_t k) {
  if (k == 0) return TStatus::Error("ボード本来のダイヤ（car フォルダ）は削除できません");
  if (k >= Dias.size()) return TStatus::Error("ダイヤがありません");
  if (k == ActiveDia) SelectDia(0);
  if (!Dias[k].OnDisk.empty()) droppedDias_.push_back(Dias[k].OnDisk);
  DiaNotes.erase(Dias[k].Name);
  Dias.erase(Dias.begin() + static_cast<std::ptrdiff_t>(k));
  if (ActiveDia > k) --ActiveDia;
  Modified = true;
  return TStatus::Ok();
}

// ---- For other readers -------------------------------------------------------------------------

std::vector<TDiaRef> BrdTimetables(const TBrdData& brd) {
  std::vector<TDiaRef> out;
  for (size_t k = 0; k < brd.Dias.size(); ++k) {
    out.push_back(TDiaRef{k, brd.Dias[k].Name, k == brd.ActiveDia, &brd.DiaCars(k)});
  }
  return out;
}

std::string DiaNamesText(const TBrdData& brd) {
  std::string out;
  for (const TBrdDia& d : brd.Dias) out += (out.empty() ? "" : "、") + d.Name;
  return out;
}

TStatus SelectDiaByName(TBrdData& brd, const std::string& name) {
  if (name.empty()) return TStatus::Ok();
  const int32_t k = brd.FindDia(name);
  if (k < 0) {
    return TStatus::Error("ダイヤ「" + name + "」はありません（" + DiaNamesText(brd) + "）");
  }
  brd.SelectDia(static_cast<size_t>(k));
  return TStatus::Ok();
}

}  // namespace ramvel
