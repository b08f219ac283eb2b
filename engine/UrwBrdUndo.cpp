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

void RestoreCar(TBrdData& brd, const std::string& key, const TUndoRec& rec) {
  const int32_t no = KeyNumber(key);
  const std::string id = IntText(no);
  if (!rec) {
    brd.Cars.erase(id);
    return;
  }
  auto& slot = brd.Cars[id];
  TCarObj* car = slot.get();
  std::unique_ptr<TCarObj> fresh;
  if (car == nullptr) car = (fresh = std::make_unique<TCarObj>()).get();
  if (const TStatus st = car->ReadRec(TextToRec(*rec), key); !st) {
    ReportBadRec(key, st);
    if (fresh) brd.Cars.erase(id);
    return;
  }
  car->Id = no;
  if (fresh) slot = std::move(fresh);
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
  const std::string id = IntText(KeyNumber(key));
  if (kind == "car") return RestoreCar(brd_, key, rec);
  if (kind == "board" && rec) {
    TextRec r = TextToRec(*rec);
    TRecReader rd(r, key);
    brd_.ID_STA = rd.Int("ID_STA");
    brd_.ID_RAIL = rd.Int("ID_RAIL");
  } else if (kind == "line" && rec) {
    TextRec r = TextToRec(*rec);
    brd_.LineName = r.Lines.empty() ? std::string() : r.Lines.front();
    brd_.LineStas.assign(r.Lines.begin() + (r.Lines.empty() ? 0 : 1), r.Lines.end());
    brd_.LineSides.assign(brd_.LineStas.size(), 0);  // sides come with the line's blocks
  } else if (kind == "linefile") {
    const std::string path = PathJoin(ResolveIn(folder_, "line"), key.substr(9));
    std::error_code ec;
    const TStatus st = rec ? SaveRec(TextToRec(*rec), path, "line/" + key.substr(9))
                           : (fs::remove(path, ec),
                              ec ? TStatus::Error(path + ": " + ec.message()) : TStatus::Ok());
    if (!st) ReportBadRec(key, st);
  } else if (kind == "rail") {
    if (!rec) {
      brd_.Rails.erase(id);
      return;
    }
    auto& slot = brd_.Rails[id];
    if (!slot) slot = std::make_unique<TRailObj>();
    if (const TStatus st = slot->ReadRec(TextToRec(*rec), key); !st) ReportBadRec(key, st);
  } else if (kind == "sta") {
    if (!rec) {
      brd_.Stas.erase(id);
      return;
    }
    TextRec r = TextToRec(*rec);
    const std::string name = r.Lines.empty() ? std::string() : r.Lines.front();
    if (!r.Lines.empty()) r.Lines.erase(r.Lines.begin());
    auto& slot = brd_.Stas[id];
    if (!slot) slot = std::make_unique<TStaObj>();
    if (const TStatus st = slot->ReadRec(r, name, key); !st) ReportBadRec(key, st);
  }
}

}  // namespace ramvel
