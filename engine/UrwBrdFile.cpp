// Reading and writing the board folder: Board.txt and the files of every station, rail and
// train set.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <new>
#include <set>
#include <stdexcept>

#include "engine/UrwBrdAudit.h"
#include "engine/UrwBrdData.h"
#include "foundation/UrwBrdLock.h"
#include "foundation/UrwParallel.h"
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

}  // namespace

// ---- Reading -----------------------------------------------------------------------------------

namespace {

// How many dangling joins the load notice lists before it only counts the rest.
constexpr size_t kMaxListedJoins = 20;

// The station files of dir by their names as Board.txt reads them back, folded to upper case;
// read once per load so that a board naming thousands of missing stations does not scan the
// folder for each.
TStatus StationIndex(const std::string& dir, std::map<std::string, std::string>& index) {
  std::vector<std::string> names;
  TStatus st = ListRecFileNames(dir, "txt", "station", names);
  for (const std::string& name : names) index.emplace(UpperName(ReadBackName(name)), name);
  return st;
}

}  // namespace

TStatus CheckRootTwins(const std::string& folder) {
  std::vector<std::string> names;
  TStatus st = ListDirChecked(folder, names);
  std::map<std::string, std::string> seen;
  for (const std::string& name : names) {
    if (!st) break;
    bool ours = false;
    for (const char* own : {kBoardFile, "station", "rail", "car", "line"}) ours |= SameNoCase(name, own);
    if (!ours) continue;
    const auto [it, added] = seen.emplace(UpperName(name), name);
    if (!added) {
      st = TStatus::Error(CaseTwinText(std::min(it->second, name), std::max(it->second, name)));
    }
  }
  return st;
}

namespace {

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : "、") + n;
  return out;
}

}  // namespace

bool ObjFileNumber(std::string_view stem, int32_t& n) {
  if (stem.empty() || stem.size() > 10) return false;
  for (const char c : stem) {
    if (c < '0' || c > '9') return false;
  }
  return ParseInt(stem, n) && n >= 1;
}

TStatus TBrdData::LoadBrd(const std::string& baseDir, const std::string& name) {
  ClearBrd();
  BrdName.clear();
  TStatus st;
  try {
    st = ReadBrd(baseDir, name);
  } catch (const std::bad_alloc&) {
    st = TStatus::Error(name + ": ボードの読み込み中にメモリが足りなくなりました");
  } catch (const std::exception& e) {
    st = TStatus::Error(name + ": ボードを読み込めません（" + e.what() + "）");
  } catch (...) {
    st = TStatus::Error(name + ": ボードを読み込めません");
  }
  if (!st) {
    ClearBrd();
    BrdName.clear();
    return st;
  }
  Modified = false;
  return TStatus::Ok();
}

TStatus TBrdData::ReadBrd(const std::string& baseDir, const std::string& name) {
  // Not CheckBrdName: a board folder named with "." from before that was refused still opens.
  TStatus st = CheckObjName(name, "ボード名");
  if (!st) return st;
  const std::string folder = BrdPath(baseDir, name);
  // A save cut off earlier lands or is undone first; no program saves while this one reads.
  TBrdLock lock;
  std::error_code ec;
  if (fs::is_directory(folder, ec) && (st = LockForRead(folder, lock), !st)) return st;
  if (!lock.Pending().empty()) {
    ReadOnlyWhy = lock.Pending();
    LoadNotes.push_back(lock.Pending());
  }
  TFileStamps stamps;
  {
    const TStampReads stamp(stamps);
    st = CheckRootTwins(folder);
    if (st) st = ReadBoardRec(folder);
    if (st) st = ReadStations(folder);
    if (st) st = ReadRails(folder);
    if (st) st = ReadCars(folder);
    if (st) st = ReadDias(folder);
  }
  if (!st) return st;
  LoadedFiles = std::move(stamps);
  LoadedFolder = StampKey(PathJoin(folder, ""));  // with its "/", as every caller may give it
  RaiseIdCounters();
  NoteDanglingJoins();
  BrdName = name;
  return TStatus::Ok();
}

TStatus ReadBoardHead(const TextRec& rec, TBoardHead& head) {
  TRecReader rd(rec, kBoardFile);
  const int32_t x = rd.Int("SCR_XLEFT");
  const int32_t y = rd.Int("SCR_YTOP");
  const int32_t zoom = rd.Int("SCR_MPERP");
  const int32_t idSta = rd.Count("ID_STA", 999999);
  const int32_t idRail = rd.Count("ID_RAIL", 999999);
  const int32_t staCount = rd.Count("STA_COUNT", kMaxBrdStas);
  ReadBoardExtras(rd, head);
  if (!rd.Failed() && (x < -kMaxBoardM || x > kMaxBoardM)) {
    rd.Fail("SCR_XLEFT", WhyOutOfRange(-kMaxBoardM, kMaxBoardM));
  }
  if (!rd.Failed() && (y < -kMaxBoardM || y > kMaxBoardM)) {
    rd.Fail("SCR_YTOP", WhyOutOfRange(-kMaxBoardM, kMaxBoardM));
  }
  if (rd.Failed()) return rd.Status();
  // A missing STAi line leaves its place empty, as an empty one does; ReadStations reports it.
  head.StaNames.clear();
  for (int32_t i = 1; i <= staCount; ++i) head.StaNames.push_back(rd.Text(CountedKey("STA", i)));
  head.XLeft = x;
  head.YTop = y;
  head.MPerP = SnapZoom(zoom);
  head.IdSta = idSta;
  head.IdRail = idRail;
  return TStatus::Ok();
}

TStatus TBrdData::ReadBoardRec(const std::string& folder) {
  TextRec rec;
  TStatus st = LoadRec(ResolveIn(folder, kBoardFile), rec, kBoardFile);
  TBoardHead head;
  if (st) st = ReadBoardHead(rec, head);
  if (!st) return st;
  WorkList = std::move(head.StaNames);
  SCR_XLEFT = head.XLeft;
  SCR_YTOP = head.YTop;
  SCR_MPERP = head.MPerP;
  ID_STA = head.IdSta;
  ID_RAIL = head.IdRail;
  diaNameKey_ = head.HasDiaName;
  if (diaNameKey_) Dias[0].Name = std::move(head.DiaName);
  Kinds = std::move(head.Kinds);
  DiaNotes = std::move(head.DiaNotes);
  LineNotes = std::move(head.LineNotes);
  return TStatus::Ok();
}

TStatus TBrdData::ReadStations(const std::string& folder) {
  const std::string dir = ResolveIn(folder, "station");
  std::map<std::string, std::string> index;
  if (TStatus st = StationIndex(dir, index); !st) return st;
  std::map<int32_t, std::string> nameOfId;
  for (size_t i = 0; i < WorkList.size(); ++i) {
    const std::string& name = WorkList[i];
    if (name.empty()) {
      LoadNotes.push_back("Board.txt: " + CountedKey("STA", static_cast<int32_t>(i + 1)) +
                          " に駅名がありません。この駅を除外します");
      continue;
    }
    auto sta = std::make_unique<TStaObj>();
    TStatus st = CheckObjName(name, "駅名");
    const auto file = index.find(UpperName(ReadBackName(name + ".txt")));
    if (st && file == index.end()) {
      st = TStatus::Error("station/" + name + ".txt: ファイルがありません");
    }
    if (st) st = sta->LoadStaFrom(PathJoin(dir, file->second), name);
    if (st && (sta->Id <= 0 || IdKind(sta->Id) != kKindSta)) {
      st = TStatus::Error("station/" + file->second + ": LBL_ID が駅の ID ではありません");
    }
    if (st && nameOfId.count(sta->Id) > 0) {
      st = TStatus::Error("ID " + IntText(sta->Id) + " は " + nameOfId[sta->Id] +
                          "駅と重複しています");
    }
    if (!st) {
      LoadNotes.push_back(name + "駅のデータ読み込みに失敗、データを除外します\n" + st.Msg());
      LostStas.push_back(name);
      continue;
    }
    nameOfId.emplace(sta->Id, name);
    Stas.emplace(IntText(sta->Id), std::move(sta));
  }
  return TStatus::Ok();
}

TStatus TBrdData::ListNumbered(const std::string& dir, const std::string& prefix,
                               std::vector<std::string>& stems) {
  std::vector<std::pair<int32_t, std::string>> files;  // number, stem as on disk
  std::vector<std::string> skipped, names;
  const std::string display = prefix.substr(0, prefix.size() - 1);
  if (TStatus st = ListRecFileNames(dir, "txt", display, names); !st) return st;
  for (const std::string& name : names) {
    const std::string stem = name.substr(0, name.size() - 4);
    int32_t n = 0;
    if (ObjFileNumber(stem, n)) {
      files.emplace_back(n, stem);
    } else {
      skipped.push_back(prefix + name);
    }
  }
  if (!skipped.empty()) {
    LoadNotes.push_back("番号の名前でないファイルは読み込みません: " + JoinNames(skipped));
  }
  std::sort(files.begin(), files.end());
  for (size_t i = 1; i < files.size(); ++i) {
    if (files[i].first != files[i - 1].first) continue;
    return TStatus::Error(prefix + files[i - 1].second + ".txt と " + prefix + files[i].second +
                          ".txt は同じ番号 " + IntText(files[i].first) + " のファイルです");
  }
  stems.clear();
  for (auto& [n, stem] : files) stems.push_back(std::move(stem));
  return TStatus::Ok();
}

namespace {

// One object file read on any thread: the object, or why it could not be read.
template <typename T>
struct TLoaded {
  std::unique_ptr<T> Obj;
  TStatus St;
};

// Reads the files dir/<stem>.txt on both cores. Each file is read into its own object, so the
// result is the same whichever thread finishes first; the caller takes them in stem order.
template <typename T, typename Load>
std::vector<TLoaded<T>> LoadAll(const std::string& dir, const std::vector<std::string>& stems,
                                const Load& load) {
  std::vector<TLoaded<T>> out(stems.size());
  ForEachParallel(stems.size(), [&](size_t i) {
    auto obj = std::make_unique<T>();
    out[i].St = load(*obj, dir, stems[i]);
    out[i].Obj = std::move(obj);
  });
  return out;
}

std::string DuplicateText(const char* sub, const std::string& stem, const std::string& key,
                          const std::string& first) {
  const std::string prefix = std::string(sub) + "/";
  return prefix + stem + ".txt: LBL_ID " + key + " は " + prefix + first + ".txt と重複しています";
}

}  // namespace

// The files are taken in number order, so the first file that fails, and the later of two that
// share an id, are named as when they were read one by one.
TStatus TBrdData::ReadRails(const std::string& folder) {
  const std::string dir = ResolveIn(folder, "rail");
  std::vector<std::string> stems;
  if (TStatus st = ListNumbered(dir, "rail/", stems); !st) return st;
  auto loaded = LoadAll<TRailObj>(
      dir, stems, [](TRailObj& rail, const std::string& d, const std::string& stem) {
        return rail.LoadRail(d, stem);
      });
  std::map<std::string, std::string> fileOfKey;
  for (size_t i = 0; i < loaded.size(); ++i) {
    if (!loaded[i].St) return loaded[i].St;
    const std::string key = IntText(loaded[i].Obj->Id);
    if (!Rails.emplace(key, std::move(loaded[i].Obj)).second) {
      return TStatus::Error(DuplicateText("rail", stems[i], key, fileOfKey[key]));
    }
    fileOfKey.emplace(key, stems[i]);
  }
  return TStatus::Ok();
}

TStatus TBrdData::ReadCars(const std::string& folder) {
  const std::string dir = ResolveIn(folder, "car");
  if (TStatus st = ReadCarFiles(dir, "car/", Cars); !st) return st;
  std::vector<TCarObj*> cars;
  for (const auto& [key, car] : Cars) cars.push_back(car.get());
  std::sort(cars.begin(), cars.end(), [](const TCarObj* a, const TCarObj* b) { return a->Id < b->Id; });
  AddTrainNos(cars);
  // The list keeps one set per number; the other set's train would run unseen by the editor.
  if (std::string note = DuplicateTrainNoNote(DuplicateTrainNos(*this)); !note.empty()) {
    LoadNotes.push_back(std::move(note));
  }
  return TStatus::Ok();
}

TStatus TBrdData::ReadCarFiles(const std::string& carDir, const std::string& prefix,
                               TObjList<TCarObj>& cars) {
  std::vector<std::string> stems;
  if (TStatus st = ListNumbered(carDir, prefix, stems); !st) return st;
  auto loaded = LoadAll<TCarObj>(
      carDir, stems, [&prefix](TCarObj& car, const std::string& d, const std::string& stem) {
        // As LoadCar reads car/ files, with the message naming the file where it lies.
        TextRec rec;
        int32_t id = 0;
        const std::string shown = prefix + stem + ".txt";
        TStatus st = LoadNumberedRec(d, stem, shown, rec, id);
        if (st) st = car.ReadRec(rec, shown);
        if (st) car.Id = id;
        return st;
      });
  std::map<std::string, std::string> fileOfKey;
  const std::string sub = prefix.substr(0, prefix.size() - 1);
  for (size_t i = 0; i < loaded.size(); ++i) {
    if (!loaded[i].St) return loaded[i].St;
    const std::string key = IntText(loaded[i].Obj->Id);
    if (!cars.emplace(key, std::move(loaded[i].Obj)).second) {
      return TStatus::Error(DuplicateText(sub.c_str(), stems[i], key, fileOfKey[key]));
    }
    fileOfKey.emplace(key, stems[i]);
  }
  return TStatus::Ok();
}

// New stations and rails get the serial above the counter; a board whose counters lag behind
// its objects would hand out a serial in use.
void TBrdData::RaiseIdCounters() {
  for (const auto& [key, sta] : Stas) ID_STA = std::max(ID_STA, sta->Id / 1000);
  for (const auto& [key, rail] : Rails) ID_RAIL = std::max(ID_RAIL, rail->Id / 1000);
}

void TBrdData::NoteDanglingJoins() {
  std::vector<std::string> lines;
  size_t count = 0;
  const auto scan = [&](const TBaseObj& obj, const std::string& what) {
    for (int32_t side = 0; side < 2; ++side) {
      const int32_t n = std::clamp(obj.EntCount[side], 0, kMaxSlots);
      for (int32_t slot = 1; slot <= n; ++slot) {
        const int32_t code = obj.EntConn[side][slot];
        if (code == 0 || FindObj(code, "") != nullptr) continue;
        if (++count > kMaxListedJoins) continue;
        const TEntCode to = SplitEntCode(code);
        lines.push_back(what + " の端 " + IntText(side) + " の " + IntText(slot) + " 番 → " +
                        (IdKind(to.Id) == kKindSta ? "駅" : "レール") + " ID " + IntText(to.Id));
      }
    }
  };
  for (const auto& [key, sta] : Stas) scan(*sta, sta->Name + "駅");
  for (const auto& [key, rail] : Rails) scan(*rail, "レール#" + IntText(rail->Id));
  if (count == 0) return;
  std::string msg = "ボード上にない駅やレールにつながっている線路があります（" + IntText(count) +
                    " 箇所）:";
  for (const std::string& l : lines) msg += "\n" + l;
  if (count > lines.size()) msg += "\nほか " + IntText(count - lines.size()) + " 箇所";
  LoadNotes.push_back(msg);
}

// The train numbers of cars (given in ascending Id, as their files are read), registered as one
// by one would be: car after car, the first registration of a number kept. Each block of cars is
// sorted and inserted in order, so that each insertion starts where the last one ended instead of
// searching the whole list; blocks, so that the sorted copy stays small beside the list itself.
void TBrdData::AddTrainNos(const std::vector<TCarObj*>& cars) {
  constexpr size_t kBlockCars = 64;
  std::vector<std::pair<std::string_view, TCarObj*>> nos;
  for (size_t first = 0; first < cars.size(); first += kBlockCars) {
    nos.clear();
    for (size_t c = first; c < std::min(cars.size(), first + kBlockCars); ++c) {
      for (const TTmTbl& step : cars[c]->TmTbl.Items()) {
        const std::string_view txt = step.Txt;
        if (!txt.empty()) nos.emplace_back(txt.substr(0, txt.find(',')), cars[c]);
      }
    }
    // Among equal numbers the lowest Id was registered first; within one car every registration
    // names the same car.
    std::sort(nos.begin(), nos.end(), [](const auto& a, const auto& b) {
      const int c = CompareNoCase(a.first, b.first);
      return c != 0 ? c < 0 : a.second->Id < b.second->Id;
    });
    auto hint = TrainNos.begin();
    for (const auto& [no, car] : nos) hint = std::next(TrainNos.emplace_hint(hint, no, car));
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
  rec.Add("STA_COUNT", IntText(static_cast<int64_t>(Stas.size() + LostStas.size())));
  int32_t i = 0;
  for (const auto& [key, sta] : Stas) rec.Add(CountedKey("STA", ++i), sta->Name);
  // Stations that could not be read stay listed, so that their files are found again once they
  // can be read.
  for (const std::string& name : LostStas) rec.Add(CountedKey("STA", ++i), name);
  AddBoardExtras(rec);
  return rec;
}

namespace {

// One object file to be saved, made on any thread: its path and record, or why the object cannot
// be saved.
struct TStaged {
  const TStaObj* Sta = nullptr;  // one of the three
  const TRailObj* Rail = nullptr;
  const TCarObj* Car = nullptr;
  std::string Path;
  TextRec Rec;
  TStatus St;
};

}  // namespace

// Every station (unless keepStations), rail and train set file. Station names go into Board.txt
// and become file names, so they are checked in either case. The records are made on both cores
// and staged in list order; the first station that cannot be saved is named as when they were
// made one by one.
TStatus TBrdData::StageObjects(TSaveBatch& batch, const std::string& folder,
                               bool keepStations) const {
  std::vector<TStaged> jobs;
  jobs.reserve(Stas.size() + Rails.size() + Cars.size());
  for (const auto& [key, sta] : Stas) jobs.emplace_back().Sta = sta.get();
  for (const auto& [key, rail] : Rails) jobs.emplace_back().Rail = rail.get();
  for (const auto& [key, car] : OwnCars()) jobs.emplace_back().Car = car.get();
  ForEachParallel(jobs.size(), [&](size_t i) {
    TStaged& job = jobs[i];
    if (job.Sta != nullptr) {
      job.St = CheckObjName(job.Sta->Name, "駅名");
      if (!job.St || keepStations) return;
      job.Path = ResolveIn(folder, "station/" + job.Sta->Name + ".txt");
      job.St = job.Sta->CheckLists("station/" + fs::path(job.Path).filename().string());
      if (job.St) job.Rec = job.Sta->MakeRec();
    } else if (job.Rail != nullptr) {
      job.Path = ResolveIn(folder, "rail/" + IntText(job.Rail->Id) + ".txt");
      job.Rec = job.Rail->MakeRec();
    } else {
      job.Path = ResolveIn(folder, "car/" + IntText(job.Car->Id) + ".txt");
      job.Rec = job.Car->MakeRec();
    }
  });
  for (const TStaged& job : jobs) {
    if (!job.St) return job.St;
    if (job.Sta == nullptr || !keepStations) batch.Put(job.Path, job.Rec);
  }
  return TStatus::Ok();
}

TStatus StageStale(TSaveBatch& batch, const std::string& folder, const std::string& display,
                   const std::set<std::string>& keep) {
  std::vector<std::string> names;
  TStatus st = ListRecFileNames(folder, "txt", display, names);
  for (const std::string& name : names) {
    const std::string stem = name.substr(0, name.size() - 4);
    int32_t n = 0;
    if (!ObjFileNumber(stem, n)) continue;
    if (keep.count(UpperName(stem)) == 0) batch.Remove(PathJoin(folder, name));
  }
  return st;
}

namespace {

template <typename T>
std::set<std::string> Keys(const TObjList<T>& list) {
  std::set<std::string> keys;
  for (const auto& [key, obj] : list) keys.insert(UpperName(IntText(obj->Id)));
  return keys;
}

}  // namespace

TStatus TBrdData::SaveBrd(const std::string& folder, bool keepStations, bool overwrite) {
  // A folder that vanished while the board was open is not made anew: a board rebuilt from
  // what is in memory would lack its terrain and its lines.
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    return TStatus::Error(folder + ": ボードのフォルダが見つかりません。保存していません");
  }
  const bool ownFolder = !LoadedFolder.empty() && LoadedFolder == StampKey(PathJoin(folder, ""));
  if (ownFolder && !ReadOnlyWhy.empty()) return TStatus::Error(kMsgBrdReadOnly);
  // The lock is taken and a save cut off earlier lands first, so that the files listed as stale
  // below are final and stay so until the switch.
  TSaveBatch batch(folder);
  TStatus st = batch.Begin();
  if (st) st = StageObjects(batch, folder, keepStations);
  if (!st) return st;
  batch.Put(ResolveIn(folder, kBoardFile), MakeBoardRec());
  st = StageStale(batch, ResolveIn(folder, "rail"), "rail", Keys(Rails));
  if (st) st = StageStale(batch, ResolveIn(folder, "car"), "car", Keys(OwnCars()));
  if (st) st = StageDias(batch, folder);
  if (!st) return st;
  if (ownFolder && !overwrite) batch.ExpectUnchanged(LoadedFiles);
  st = batch.Commit();
  if (!st) return st;
  FinishDiaSave(folder);
  if (!ownFolder) LoadedFiles.clear();
  batch.UpdateStamps(LoadedFiles);
  LoadedFolder = StampKey(PathJoin(folder, ""));  // with its "/", as every caller may give it
  ReadOnlyWhy.clear();  // saved under another name: that folder is the board's now
  if (!keepStations) {
    for (const auto& [key, sta] : Stas) sta->FileRec = sta->MakeRec();
  }
  Modified = false;
  return TStatus::Ok();
}

bool TBrdData::ChangedOnDisk() const {
  if (LoadedFolder.empty()) return false;
  for (const char* sub : {"rail", "car"}) {
    const std::string dir = ResolveIn(LoadedFolder, sub);
    for (const std::string& name : ListFileNames(dir, "txt")) {
      int32_t n = 0;
      if (!ObjFileNumber(name.substr(0, name.size() - 4), n)) continue;
      if (LoadedFiles.count(StampKey(PathJoin(dir, name))) == 0) return true;  // made elsewhere
    }
  }
  for (const auto& [path, stamp] : LoadedFiles) {
    struct stat sb {};
    if (::lstat(path.c_str(), &sb) != 0) return true;
    const int64_t mtime = static_cast<int64_t>(sb.st_mtim.tv_sec) * 1000000000 + sb.st_mtim.tv_nsec;
    if (sb.st_size == stamp.Size && mtime == stamp.MTimeNs) continue;
    std::optional<TFileStamp> now;
    if (!StampFile(path, now) || !now || now->Size != stamp.Size || now->Hash != stamp.Hash) {
      return true;
    }
  }
  return false;
}

}  // namespace ramvel
