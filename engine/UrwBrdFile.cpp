// Reading and writing the board folder: Board.txt and the files of every station, rail and
// train set.
#include <algorithm>
#include <filesystem>
#include <set>

#include "engine/UrwBrdData.h"
#include "foundation/UrwSaveBatch.h"

namespace ramvel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kBoardFile = "Board.txt";

// The allowed zoom at or below z; the finest when z is below every zoom.
int32_t SnapZoom(int32_t z) {
  int32_t out = kZooms[0];
  for (const int32_t v : kZooms) {
    if (v <= z) out = v;
  }
  return out;
}

// The sub-folder of a board, found without regard to case, created when create is set.
TStatus SubDir(const std::string& folder, const char* name, bool create, std::string& dir) {
  dir = ResolveIn(folder, name);
  std::error_code ec;
  if (create && !fs::is_directory(dir, ec)) {
    fs::create_directories(dir, ec);
    if (ec) return TStatus::Error(dir + ": cannot be created (" + ec.message() + ")");
  }
  return TStatus::Ok();
}

}  // namespace

// ---- Reading -----------------------------------------------------------------------------------

TStatus TBrdData::LoadBrd(const std::string& baseDir, const std::string& name) {
  ClearBrd();
  TStatus st = CheckObjName(name, "ボード名");
  if (!st) return st;
  const std::string folder = BrdPath(baseDir, name);
  if (st = RecoverSave(folder); !st) return st;  // a save cut off earlier lands or is undone
  int32_t staCount = 0;
  st = ReadBoardRec(folder, staCount);
  if (st) {
    BrdName = name;
    ReadStations(folder, staCount);
    st = ReadRails(folder);
  }
  if (st) st = ReadCars(folder);
  if (!st) {
    ClearBrd();
    BrdName.clear();
    return st;
  }
  Modified = false;
  return TStatus::Ok();
}

TStatus TBrdData::ReadBoardRec(const std::string& folder, int32_t& staCount) {
  TextRec rec;
  TStatus st = LoadRec(ResolveIn(folder, kBoardFile), rec);
  if (!st) return st;
  TRecReader rd(rec, kBoardFile);
  const int32_t x = rd.Int("SCR_XLEFT");
  const int32_t y = rd.Int("SCR_YTOP");
  const int32_t zoom = rd.Int("SCR_MPERP");
  const int32_t idSta = rd.Count("ID_STA", 999999);
  const int32_t idRail = rd.Count("ID_RAIL", 999999);
  staCount = rd.Count("STA_COUNT", kMaxBrdStas);
  WorkList.clear();
  for (int32_t i = 1; i <= staCount && !rd.Failed(); ++i) {
    const std::string key = CountedKey("STA", i);
    if (!rd.Has(key)) rd.Fail(key, "is missing");
    WorkList.push_back(rd.Text(key));
  }
  if (rd.Failed()) return rd.Status();
  SCR_XLEFT = x;
  SCR_YTOP = y;
  SCR_MPERP = SnapZoom(zoom);
  ID_STA = idSta;
  ID_RAIL = idRail;
  return TStatus::Ok();
}

void TBrdData::ReadStations(const std::string& folder, int32_t staCount) {
  std::string dir;
  SubDir(folder, "station", false, dir);
  for (int32_t i = 0; i < staCount; ++i) {
    const std::string& name = WorkList[static_cast<size_t>(i)];
    auto sta = std::make_unique<TStaObj>();
    TStatus st = CheckObjName(name, "駅名");
    if (st) st = sta->LoadSta(dir, name);
    if (st && IdKind(sta->Id) != kKindSta) {
      st = TStatus::Error("station/" + name + ".txt: LBL_ID is not a station id");
    }
    if (!st) {
      ShowPlainMsg(name + "駅のデータ読み込みに失敗、データを除外します\n" + st.Msg());
      continue;
    }
    Stas.emplace(IntText(sta->Id), std::move(sta));
  }
}

TStatus TBrdData::ReadRails(const std::string& folder) {
  std::string dir;
  SubDir(folder, "rail", false, dir);
  for (const std::string& stem : ListFiles(dir, "txt")) {
    auto rail = std::make_unique<TRailObj>();
    const TStatus st = rail->LoadRail(dir, stem);
    if (!st) return st;
    Rails.emplace(IntText(rail->Id), std::move(rail));
  }
  return TStatus::Ok();
}

TStatus TBrdData::ReadCars(const std::string& folder) {
  std::string dir;
  SubDir(folder, "car", false, dir);
  for (const std::string& stem : ListFiles(dir, "txt")) {
    auto car = std::make_unique<TCarObj>();
    const TStatus st = car->LoadCar(dir, stem);
    if (!st) return st;
    const auto [it, added] = Cars.emplace(IntText(car->Id), std::move(car));
    if (added) AddTrainNos(*it->second);
  }
  return TStatus::Ok();
}

void TBrdData::AddTrainNos(TCarObj& car) {
  for (int32_t i = car.TmTbl.Count() - 1; i >= 0; --i) {
    const std::string& txt = car.TmTbl.At(i).Txt;
    if (!txt.empty()) TrainNos.emplace(TextBefore(txt + ",", ","), &car);
  }
}

// ---- Writing -----------------------------------------------------------------------------------

TextRec TBrdData::MakeBoardRec() const {
  TextRec rec;
  rec.Add("SCR_XLEFT", IntText(SCR_XLEFT));
  rec.Add("SCR_YTOP", IntText(SCR_YTOP));
  rec.Add("SCR_MPERP", IntText(SCR_MPERP));
  rec.Add("ID_STA", IntText(ID_STA));
  rec.Add("ID_RAIL", IntText(ID_RAIL));
  rec.Add("STA_COUNT", IntText(static_cast<int64_t>(Stas.size())));
  int32_t i = 0;
  for (const auto& [key, sta] : Stas) rec.Add(CountedKey("STA", ++i), sta->Name);
  return rec;
}

// Every station (unless keepStations), rail and train set file. Station names go into Board.txt
// and become file names, so they are checked in either case.
TStatus TBrdData::StageObjects(TSaveBatch& batch, const std::string& folder,
                               bool keepStations) const {
  for (const auto& [key, sta] : Stas) {
    TStatus st = CheckObjName(sta->Name, "駅名");
    if (!st) return st;
    if (keepStations) continue;
    const std::string path = ResolveIn(folder, "station/" + sta->Name + ".txt");
    st = sta->CheckLists("station/" + fs::path(path).filename().string());
    if (!st) return st;
    batch.Put(path, sta->MakeRec());
  }
  for (const auto& [key, rail] : Rails) {
    batch.Put(ResolveIn(folder, "rail/" + IntText(rail->Id) + ".txt"), rail->MakeRec());
  }
  for (const auto& [key, car] : Cars) {
    batch.Put(ResolveIn(folder, "car/" + IntText(car->Id) + ".txt"), car->MakeRec());
  }
  return TStatus::Ok();
}

namespace {

// Stages the removal of the ".txt" files of folder whose stems are not in keep (compared in
// upper case).
void StageStale(TSaveBatch& batch, const std::string& folder, const std::set<std::string>& keep) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (!SameNoCase(p.extension().string(), ".txt")) continue;
    if (keep.count(UpperName(p.stem().string())) == 0) batch.Remove(p.string());
  }
}

template <typename T>
std::set<std::string> Keys(const TObjList<T>& list) {
  std::set<std::string> keys;
  for (const auto& [key, obj] : list) keys.insert(UpperName(IntText(obj->Id)));
  return keys;
}

}  // namespace

TStatus TBrdData::SaveBrd(const std::string& folder, bool keepStations) {
  // A folder that vanished while the board was open is not made anew: a board rebuilt from
  // what is in memory would lack its terrain and its lines.
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    return TStatus::Error(folder + ": ボードのフォルダが見つかりません。保存していません");
  }
  // A save cut off earlier lands first, so that the files listed as stale below are final.
  TStatus st = RecoverSave(folder);
  TSaveBatch batch(folder);
  if (st) st = StageObjects(batch, folder, keepStations);
  if (!st) return st;
  batch.Put(ResolveIn(folder, kBoardFile), MakeBoardRec());
  StageStale(batch, ResolveIn(folder, "rail"), Keys(Rails));
  StageStale(batch, ResolveIn(folder, "car"), Keys(Cars));
  st = batch.Commit();
  if (!st) return st;
  if (!keepStations) {
    for (const auto& [key, sta] : Stas) sta->FileRec = sta->MakeRec();
  }
  Modified = false;
  return TStatus::Ok();
}

}  // namespace ramvel
