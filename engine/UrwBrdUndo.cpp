// The board's undo targets: records of train sets, stations, rails and lines taken and written
// back.
#include "engine/UrwBrdUndo.h"

#include <filesystem>

#include "foundation/UrwUiHost.h"

namespace ramvel {

namespace fs = std::filesystem;

namespace {

// A record as one text: every line followed by "\n", so that empty lines survive.
std::string RecText(const TextRec& rec) {
  std::string out;
  for (const std::string& l : rec.Lines) out += l + "\n";
  return out;
}

TextRec TextToRec(std::string_view text) {
  TextRec rec;
  size_t from = 0;
  for (size_t nl = text.find('\n'); nl != std::string_view::npos; nl = text.find('\n', from)) {
    rec.Lines.emplace_back(text.substr(from, nl - from));
    from = nl + 1;
  }
  return rec;
}

// The number after "<kind>/" in key; 0 when there is none.
int32_t KeyNumber(const std::string& key) {
  int32_t n = 0;
  const size_t slash = key.find('/');
  if (slash == std::string::npos || !ParseInt(std::string_view(key).substr(slash + 1), n)) return 0;
  return n;
}

std::string KindOf(const std::string& key) { return key.substr(0, key.find('/')); }

void SnapshotCars(const TBrdData& brd, TUndoRecs& out) {
  for (const auto& [key, car] : brd.Cars) out.emplace("car/" + key, RecText(car->MakeRec()));
}

// Records come from snapshots, so they read back; a failure would mean a fault of the program,
// reported rather than hidden.
void ReportBadRec(const std::string& key, const TStatus& st) {
  ShowMsgBox(kCapError, "元に戻せませんでした（" + key + "）\n" + st.Msg());
}

// Gives the object of list under key's number the record rec through read (which fills an
// object from a record text), creating it when missing; deletes it when rec is empty. A record
// that does not read back is reported and leaves no empty object behind.
template <typename T, typename F>
void RestoreObj(TObjList<T>& list, const std::string& key, const TUndoRec& rec, F read) {
  const std::string id = IntText(KeyNumber(key));
  if (!rec) {
    list.erase(id);
    return;
  }
  const auto it = list.find(id);
  std::unique_ptr<T> fresh;
  T& obj = it != list.end() ? *it->second : *(fresh = std::make_unique<T>());
  if (const TStatus st = read(obj, *rec); !st) return ReportBadRec(key, st);
  if (fresh) list.emplace(id, std::move(fresh));
}

void RestoreCar(TBrdData& brd, const std::string& key, const TUndoRec& rec) {
  RestoreObj(brd.Cars, key, rec, [&](TCarObj& car, const std::string& text) {
    const TStatus st = car.ReadRec(TextToRec(text), key);
    if (st) car.Id = KeyNumber(key);
    return st;
  });
}

void RestoreRail(TBrdData& brd, const std::string& key, const TUndoRec& rec) {
  RestoreObj(brd.Rails, key, rec, [&](TRailObj& rail, const std::string& text) {
    return rail.ReadRec(TextToRec(text), key);
  });
}

// A station's text holds its name on the first line, then its record.
void RestoreSta(TBrdData& brd, const std::string& key, const TUndoRec& rec) {
  RestoreObj(brd.Stas, key, rec, [&](TStaObj& sta, const std::string& text) {
    TextRec r = TextToRec(text);
    const std::string name = r.Lines.empty() ? std::string() : r.Lines.front();
    if (!r.Lines.empty()) r.Lines.erase(r.Lines.begin());
    return sta.ReadRec(r, name, key);
  });
}

}  // namespace

void RebuildTrainNos(TBrdData& brd) {
  brd.TrainNos.clear();
  // As a load adds them: per train set, the last train first; a number met again keeps the first.
  for (const auto& [key, car] : brd.Cars) {
    for (int32_t i = car->TmTbl.Count() - 1; i >= 0; --i) {
      const std::string& txt = car->TmTbl.At(i).Txt;
      if (!txt.empty()) brd.TrainNos.emplace(TextBefore(txt + ",", ","), car.get());
    }
  }
}

// ---- Train sets --------------------------------------------------------------------------------

TUndoRecs TCarUndoTarget::Snapshot() const {
  TUndoRecs out;
  SnapshotCars(brd_, out);
  return out;
}

void TCarUndoTarget::Restore(const std::map<std::string, TUndoRec>& recs) {
  for (const auto& [key, rec] : recs) RestoreCar(brd_, key, rec);
  RebuildTrainNos(brd_);
  brd_.Modified = true;
  if (rebuilt_) rebuilt_();
}

// ---- Layout ------------------------------------------------------------------------------------

TUndoRecs TLayoutUndoTarget::Snapshot() const {
  TUndoRecs out;
  out.emplace("board",
              "ID_STA=" + IntText(brd_.ID_STA) + "\nID_RAIL=" + IntText(brd_.ID_RAIL) + "\n");
  const int32_t pending = pending_ ? pending_() : 0;
  for (const auto& [key, sta] : brd_.Stas) {
    if (sta->Id == pending) continue;
    out.emplace("sta/" + key, sta->Name + "\n" + RecText(sta->MakeRec()));
  }
  for (const auto& [key, rail] : brd_.Rails) {
    out.emplace("rail/" + key, RecText(rail->MakeRec()));
  }
  SnapshotCars(brd_, out);
  TextRec line;
  line.Lines = brd_.LineStas;
  out.emplace("line", brd_.LineName + "\n" + RecText(line));
  if (folder_.empty()) return out;
  const std::string dir = ResolveIn(folder_, "line");
  for (const std::string& name : ListFileNames(dir, "txt")) {
    TextRec rec;
    if (LoadRec(PathJoin(dir, name), rec)) out.emplace("linefile/" + name, RecText(rec));
  }
  return out;
}

void TLayoutUndoTarget::Restore(const std::map<std::string, TUndoRec>& recs) {
  bool boardChanged = false;
  for (const auto& [key, rec] : recs) {
    RestoreOne(key, rec);
    // The line and its files are written by line editing itself, not by saving the board.
    boardChanged = boardChanged || (KindOf(key) != "line" && KindOf(key) != "linefile");
  }
  RebuildTrainNos(brd_);
  if (boardChanged) brd_.Modified = true;
  if (rebuilt_) rebuilt_();
}

void TLayoutUndoTarget::RestoreOne(const std::string& key, const TUndoRec& rec) {
  const std::string kind = KindOf(key);
  if (kind == "car") return RestoreCar(brd_, key, rec);
  if (kind == "rail") return RestoreRail(brd_, key, rec);
  if (kind == "sta") return RestoreSta(brd_, key, rec);
  if (kind == "linefile") return RestoreLineFile(key.substr(9), rec);
  if (!rec) return;  // the counters and the current line are always there
  TextRec r = TextToRec(*rec);
  if (kind == "board") {
    TRecReader rd(r, key);
    brd_.ID_STA = rd.Int("ID_STA");
    brd_.ID_RAIL = rd.Int("ID_RAIL");
  } else if (kind == "line") {
    brd_.LineName = r.Lines.empty() ? std::string() : r.Lines.front();
    brd_.LineStas.assign(r.Lines.begin() + (r.Lines.empty() ? 0 : 1), r.Lines.end());
    brd_.LineSides.assign(brd_.LineStas.size(), 0);  // sides come with the line's blocks
  }
}

void TLayoutUndoTarget::RestoreLineFile(const std::string& name, const TUndoRec& rec) {
  const std::string path = PathJoin(ResolveIn(folder_, "line"), name);
  std::error_code ec;
  TStatus st;
  if (rec) {
    st = SaveRec(TextToRec(*rec), path, "line/" + name);
  } else if (!fs::remove(path, ec) && ec) {
    st = TStatus::Error(path + ": " + ec.message());
  }
  if (!st) ReportBadRec("line/" + name, st);
}

}  // namespace ramvel
