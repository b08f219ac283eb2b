// The current line: its station list and line file, growing it station by station, and cutting
// its tracks into blocks.
#include <algorithm>
#include <filesystem>

#include "engine/UrwBrdData.h"
#include "foundation/UrwBrdLock.h"

namespace ramvel {

namespace {

constexpr size_t kMaxLineStas = 10000;

std::string LineFile(const std::string& name) { return "line/" + name + ".txt"; }


}  // namespace

TStatus TBrdData::SetLine(const std::string& name) {
  const TStatus st = CheckObjName(name, "路線名");
  if (!st) return st;
  LineName = name;
  LineStas.clear();
  LineSides.clear();
  booked_.reset();
  return TStatus::Ok();
}

TStatus TBrdData::LoadLine(const std::string& folder) {
  TStatus st = CheckObjName(LineName, "路線名");
  if (!st) return st;
  booked_.reset();
  const std::string display = LineFile(LineName);
  TextRec rec;
  st = LoadRec(ResolveIn(folder, display), rec, display);
  if (!st) return st;
  std::vector<std::string> stas;
  for (size_t i = 0; i < rec.Lines.size(); ++i) {
    int32_t id = 0;
    if (rec.Lines[i].empty()) continue;
    if (!ParseInt(rec.Lines[i], id) || IdKind(id) != kKindSta || id <= 0) {
      return TStatus::Error(display + ": " + std::to_string(i + 1) + " 行目が駅の ID ではありません");
    }
    if (stas.size() >= kMaxLineStas) return TStatus::Error(display + ": 駅が多すぎます");
    stas.push_back(IntText(id));
  }
  LineStas = std::move(stas);
  LineSides.assign(LineStas.size(), 0);
  return TStatus::Ok();
}

TStatus TBrdData::SaveLine(const std::string& folder) const {
  TStatus st = CheckObjName(LineName, "路線名");
  if (!st) return st;
  TextRec rec;
  rec.Lines = LineStas;
  const std::string display = LineFile(LineName);
  TBrdLock lock;  // no other program's save or recovery runs in the board meanwhile
  if (st = LockForWrite(folder, lock); !st) return st;
  const std::string path = ResolveIn(folder, display);
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  return SaveRec(rec, path, display);
}

void TBrdData::ListUpStaInLine(std::vector<std::string>& out) {
  out.clear();
  for (const std::string& id : LineStas) {
    if (const TStaObj* sta = FindSta(id, "ListUpStaInLine-STA-1")) out.push_back(sta->Name);
  }
}

int32_t TBrdData::FindStaInLine(int32_t id) const {
  const auto it = std::find(LineStas.begin(), LineStas.end(), IntText(id));
  return it == LineStas.end() ? -1 : static_cast<int32_t>(it - LineStas.begin());
}

bool TBrdData::AreLineNeighbours(int32_t a, int32_t b) const {
  const std::string ta = IntText(a), tb = IntText(b);
  for (size_t i = 0; i + 1 < LineStas.size(); ++i) {
    const std::string& p = LineStas[i];
    const std::string& q = LineStas[i + 1];
    if ((p == ta && q == tb) || (p == tb && q == ta)) return true;
  }
  return false;
}

bool TBrdData::FindLineGap(int32_t& a, int32_t& b) {
  std::vector<std::string> scratch;
  for (size_t i = 0; i + 1 < LineStas.size(); ++i) {
    a = IntOr0(LineStas[i]);
    b = IntOr0(LineStas[i + 1]);
    // A station that is missing is reported by the lookups that meet it.
    if (FindSta(a, "") == nullptr || FindSta(b, "") == nullptr) continue;
    bool joined = false;
    for (int32_t s = 0; s < 2 && !joined; ++s) {
      scratch.clear();
      joined = ListUpConnSta(a, b, scratch, s, 0);
    }
    if (!joined) return true;
  }
  return false;
}

TStatus TBrdData::CheckLineRails() {
  int32_t a = 0, b = 0;
  if (!FindLineGap(a, b)) return TStatus::Ok();
  return TStatus::Error("路線「" + LineName + "」の" + FindSta(a, "")->Name + "駅と" +
                        FindSta(b, "")->Name +
                        "駅の間にはレールがありません。隣り合う駅だけで路線を作り直して下さい");
}

bool TBrdData::AddStaToLine(int32_t x) {
  if (LineStas.empty()) return false;
  const size_t n = LineStas.size();
  std::vector<std::string> scratch;
  const int32_t last = IntOr0(LineStas[n - 1]);
  const int32_t before = n >= 2 ? IntOr0(LineStas[n - 2]) : 0;
  for (int32_t s = 0; s < 2; ++s) {
    scratch.clear();
    if (ListUpConnSta(last, x, scratch, s, before)) {
      LineStas.push_back(IntText(x));
      LineSides.resize(LineStas.size(), 0);
      return true;
    }
  }
  const int32_t first = IntOr0(LineStas[0]);
  const int32_t after = n >= 2 ? IntOr0(LineStas[1]) : 0;
  for (int32_t s = 0; s < 2; ++s) {
    scratch.clear();
    if (ListUpConnSta(first, x, scratch, s, after)) {
      LineStas.insert(LineStas.begin(), IntText(x));
      LineSides.insert(LineSides.begin(), 0);
      return true;
    }
  }
  return false;
}

void TBrdData::MakeLineBlk() {
  booked_.reset();  // its blocks go
  Blks.clear();
  BlkEnds.clear();
  const size_t n = LineStas.size();
  Sections.assign(n >= 2 ? n - 1 : 0, TSection{});
  LineSides.assign(n, 0);
  if (n < 2) return;
  int32_t c = 0, side = 0;
  std::vector<std::string> list;
  for (size_t i = 0; i + 1 < n; ++i) {
    const int32_t a = IntOr0(LineStas[i]), b = IntOr0(LineStas[i + 1]);
    list.clear();
    if (i >= 1) {
      ListUpConnSta(a, b, list, side, 0);
    } else if (ListUpConnSta(a, b, list, 0, 0)) {
      side = LineSides[0] = 0;
    } else {
      list.clear();
      ListUpConnSta(a, b, list, 1, 0);
      side = LineSides[0] = 1;
    }
    TSection& sec = Sections[i];
    for (const std::string& line : list) {
      std::vector<std::string> e = SplitComma(line);
      const int32_t len = IntOr0(e[0]);
      e.erase(e.begin());
      const int32_t last = e.size() >= 3 ? IntOr0(e.back()) : 0;
      if (!IsStaCodeOf(last, b) || sec.Tracks >= kMaxSlots) continue;
      side = 1 - SplitEntCode(last).Side;
      LineSides[i + 1] = side;
      const int32_t blocks = std::max(1, len / kBlkLenM);
      sec.BlkPerTrack = blocks;
      sec.TrackStart[sec.Tracks] = IntOr0(e[0]);
      sec.TrackEnd[sec.Tracks] = last;
      ++sec.Tracks;
      for (int32_t k = 1; k <= blocks; ++k) {
        AddLineBlk(++c, k, blocks, len / blocks, e);
      }
    }
  }
}

void TBrdData::AddLineBlk(int32_t c, int32_t k, int32_t blocks, int32_t len,
                          const std::vector<std::string>& e) {
  auto blk = std::make_unique<TBlkObj>();
  const int32_t code = c * 1000 + 13;
  blk->BlkCode = code;
  blk->Length = len;
  const int32_t key0 = k == 1 ? IntOr0(e[1]) : code;
  const int32_t conn0 = k == 1 ? IntOr0(e[0]) : -((c - 1) * 1000 + 13);
  const int32_t key1 = k == blocks ? IntOr0(e[e.size() - 2]) : -code;
  const int32_t conn1 = k == blocks ? IntOr0(e.back()) : (c + 1) * 1000 + 13;
  blk->SetEnd(0, conn0);
  blk->SetEnd(1, conn1);
  BlkEnds.emplace(IntText(key0), blk.get());
  BlkEnds.emplace(IntText(key1), blk.get());
  Blks.emplace(IntText(c), std::move(blk));
}

bool TBrdData::IsStaCodeOf(int32_t code, int32_t staId) {
  return code != 0 && IdKind(code) == kKindSta && SplitEntCode(code).Id == SplitEntCode(staId).Id;
}

}  // namespace ramvel
