// Stations: grid, lists, entry crossings, occupancy tables and the station file.
#include "model/UrwStaObj.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace ramvel {

namespace {

constexpr int32_t kNearRailM = 2;  // FindRailAt tolerance, metres

bool InGrid(int64_t col, int64_t row) {
  return col >= 1 && col <= kStaCols && row >= 1 && row <= kStaRows;
}

// How messages name a station file: its folder inside the board and its name on disk.
std::string DisplayName(const std::string& path) {
  return "station/" + std::filesystem::path(path).filename().string();
}

std::string Fmt(std::string_view fileName, std::string_view key, std::string_view reason) {
  std::string msg(fileName);
  msg.append(": ").append(key).append(reason);
  return msg;
}

// ---- Record checks -------------------------------------------------------------------------
// Each returns the empty text for a sound record, else the reason, phrased to follow the key.
// The reader and the writer share them, so that whatever is written can be read back.

std::string CellProblem(int32_t kind, int32_t col, int32_t row, int32_t dCol, int32_t dRow) {
  if (kind < kCellOrigin || kind > kCellEmpty) return " のセル種別が 0、1、2 のいずれでもありません";
  if (kind == kCellCovered && !InGrid(int64_t{col} - dCol, int64_t{row} - dRow)) {
    return " が格子の外の部品原点を指しています";
  }
  return {};
}

std::string RailKindProblem(int32_t kind) {
  if (kind == kRailPlain || kind == kRailPt || kind == kRailHome) return {};
  return " の線路種別が 0、1、3 のいずれでもありません";
}

// Station-local positions lie within the station's axis and its width, with ample room.
constexpr int32_t kMaxStaLocalM = 100000;

bool InStation(int32_t x) { return x >= -kMaxStaLocalM && x <= kMaxStaLocalM; }

// A segment's end points from items 2..5 of its record: inside the station, and apart, since a
// segment of no length would lead a path search back to where it stands.
std::string SegProblem(const std::vector<int32_t>& v) {
  for (size_t i = 2; i < 6; ++i) {
    if (!InStation(v[i])) return WhyOutOfRange(-kMaxStaLocalM, kMaxStaLocalM);
  }
  if (v[2] == v[4] && v[3] == v[5]) return " の線路の長さが 0 です";
  return {};
}

std::string RouteCntProblem(int32_t cnt) {
  if (cnt >= 0 && cnt <= kMaxRoutes) return {};
  return " の進路数 " + IntText(cnt) + " が範囲外です（0 から " + IntText(kMaxRoutes) + " まで）";
}

// An empty route names no segment; it is kept as it is, since it leads nowhere.
bool IsSegList(std::string_view route) {
  for (const std::string& item : SplitComma(route)) {
    int32_t j = 0;
    if (!ParseInt(item, j) || j < 1 || j > kMaxPtSeg) return false;
  }
  return true;
}

std::string PtProblem(const TPtStatus& pt) {
  if (std::string why = RouteCntProblem(pt.RouteCnt); !why.empty()) return why;
  for (int32_t r = 1; r <= pt.RouteCnt; ++r) {
    if (!IsSegList(pt.Routes[r])) {
      return " の進路 " + IntText(r) + " が線路番号（1 から " + IntText(kMaxPtSeg) +
             " まで）のカンマ区切りではありません";
    }
  }
  return {};
}

std::string EntCountProblem(int32_t n) {
  if (n >= 0 && n <= kMaxStaEnt) return {};
  return WhyOutOfRange(0, kMaxStaEnt);
}

// A crossing is either 0 or three parts each in 1..10.
std::string EntCrsProblem(int32_t code) {
  if (code == 0) return {};
  const int32_t f = code / 10000, p = code % 10000 / 100, k = code % 100;
  const bool ok = code > 0 && f >= 1 && f <= kMaxStaEnt && p >= 1 && p <= kMaxStaEnt && k >= 1 &&
                  k <= kMaxStaEnt;
  return ok ? std::string() : " が立体交差の値ではありません";
}

// A problem of a whole station, as the key and the reason.
struct TProblem {
  std::string Key;
  std::string Why;
  bool Any() const { return !Why.empty(); }
};

TProblem DescProblem(const std::string& desc) {
  if (desc.find_first_of("\r\n") == std::string::npos) return {};
  return {"DESC", " に改行が含まれています"};
}

TProblem CellsProblem(const TStaObj& sta) {
  for (int32_t row = 1; row <= kStaRows; ++row) {
    for (int32_t col = 1; col <= kStaCols; ++col) {
      const StaCell& c = sta.Cells[col][row];
      std::string why = CellProblem(c.Kind, col, row, c.DCol, c.DRow);
      if (!why.empty()) return {MtrxKey(col, row), why};
    }
  }
  return {};
}

TProblem SidesProblem(const TStaObj& sta) {
  for (int32_t side = 0; side < 2; ++side) {
    if (std::string why = EntCrsProblem(sta.EntCrs[side]); !why.empty()) {
      return {SideKey("ENTCRS", side), why};
    }
    if (std::string why = EntCountProblem(sta.EntCount[side]); !why.empty()) {
      return {SideKey("ENT", side), why};
    }
  }
  return {};
}

// The count against its limit, then each item through check.
template <typename T, typename Check>
TProblem ListProblem(const std::vector<T>& items, std::string_view countKey,
                     std::string_view recKey, int32_t max, Check check) {
  if (items.size() > static_cast<size_t>(max)) {
    return {std::string(countKey), WhyOutOfRange(0, max)};
  }
  for (size_t i = 0; i < items.size(); ++i) {
    std::string why = check(items[i]);
    if (!why.empty()) return {CountedKey(recKey, static_cast<int32_t>(i + 1)), why};
  }
  return {};
}

// ---- Reading -------------------------------------------------------------------------------

void ReadCell(TStaObj& sta, TRecReader& rd, int32_t col, int32_t row) {
  const std::string key = MtrxKey(col, row);
  if (rd.Text(key).empty()) return;  // no line: the cell stays empty
  const std::vector<int32_t> v = rd.Ints(key, 5);
  if (rd.Failed() || v.size() < 5) return;
  if (std::string why = CellProblem(v[0], col, row, v[2], v[3]); !why.empty()) {
    return rd.Fail(key, why);
  }
  if (v[0] == kCellEmpty) return;  // an empty cell carries no fields
  sta.Cells[col][row] = StaCell{static_cast<uint8_t>(v[0]), v[1], v[2], v[3], v[4]};
}

void ReadCells(TStaObj& sta, TRecReader& rd) {
  for (int32_t row = 1; row <= kStaRows; ++row) {
    for (int32_t col = 1; col <= kStaCols && !rd.Failed(); ++col) ReadCell(sta, rd, col, row);
  }
}

// A missing or empty ENTCRS line means no crossing.
void ReadEntCrs(TStaObj& sta, TRecReader& rd) {
  for (int32_t side = 0; side < 2 && !rd.Failed(); ++side) {
    const std::string key = SideKey("ENTCRS", side);
    if (rd.Text(key).empty()) continue;
    const int32_t code = rd.Int(key);
    if (rd.Failed()) return;
    if (std::string why = EntCrsProblem(code); !why.empty()) return rd.Fail(key, why);
    sta.EntCrs[side] = code;
  }
}

void ReadPt(TStaObj& sta, TRecReader& rd, const std::string& key) {
  const std::vector<std::string> items = rd.List(key, 1, 1 + kMaxRoutes + 1);
  const int32_t cnt = rd.IntItem(items, 0, key);
  if (rd.Failed()) return;
  if (std::string why = RouteCntProblem(cnt); !why.empty()) return rd.Fail(key, why);
  if (items.size() < static_cast<size_t>(cnt) + 1) {
    return rd.Fail(key, " の進路が宣言された数より少ないです");
  }
  TPtStatus pt;
  pt.RouteCnt = cnt;
  for (int32_t r = 1; r <= cnt; ++r) pt.Routes[r] = items[r];
  if (std::string why = PtProblem(pt); !why.empty()) return rd.Fail(key, why);
  sta.Pts.push_back(std::move(pt));
}

void ReadRail(TStaObj& sta, TRecReader& rd, const std::string& key) {
  const std::vector<int32_t> v = rd.Ints(key, 6);
  if (rd.Failed() || v.size() < 6) return;
  if (std::string why = RailKindProblem(v[0]); !why.empty()) return rd.Fail(key, why);
  if (std::string why = SegProblem(v); !why.empty()) return rd.Fail(key, why);
  StaRail rail(static_cast<uint8_t>(v[0]), v[1], TPoint{v[2], v[3]}, TPoint{v[4], v[5]});
  rail.Mark = 2;
  sta.Rails.push_back(std::move(rail));
}

void ReadHome(TStaObj& sta, TRecReader& rd, const std::string& key) {
  const std::vector<int32_t> v = rd.Ints(key, 4);
  if (rd.Failed() || v.size() < 4) return;
  for (const int32_t x : v) {
    if (!InStation(x)) return rd.Fail(key, WhyOutOfRange(-kMaxStaLocalM, kMaxStaLocalM));
  }
  sta.Homes.push_back(StaHome{v[0], v[1], v[2], v[3]});
}

// Reads the count key and then each counted record with readOne.
template <typename ReadOne>
void ReadCounted(TStaObj& sta, TRecReader& rd, std::string_view countKey, std::string_view recKey,
                 int32_t max, ReadOne readOne) {
  if (rd.Failed()) return;
  const int32_t n = rd.Count(countKey, max);
  for (int32_t i = 1; i <= n && !rd.Failed(); ++i) readOne(sta, rd, CountedKey(recKey, i));
}

// ---- Writing -------------------------------------------------------------------------------

void WriteCells(const TStaObj& sta, TextRec& rec) {
  for (int32_t row = 1; row <= kStaRows; ++row) {
    for (int32_t col = 1; col <= kStaCols; ++col) {
      const StaCell& c = sta.Cells[col][row];
      if (c.Kind == kCellEmpty) continue;
      const int32_t v[] = {c.Kind, c.PanelNo, c.DCol, c.DRow, c.HomeNo};
      rec.Add(MtrxKey(col, row), JoinInts(v));
    }
  }
}

std::string PtText(const TPtStatus& pt) {
  std::vector<std::string> items{IntText(pt.RouteCnt)};
  for (int32_t r = 1; r <= pt.RouteCnt; ++r) items.push_back(pt.Routes[r]);
  return JoinList(items);
}

std::string RailText(const StaRail& r) {
  const int32_t v[] = {r.Kind, r.No, r.P[0].x, r.P[0].y, r.P[1].x, r.P[1].y};
  return JoinInts(v);
}

std::string HomeText(const StaHome& h) {
  const int32_t v[] = {h.Left, h.Top, h.Right, h.Bottom};
  return JoinInts(v);
}

// Writes the count key and one counted record per element.
template <typename T, typename ToText>
void WriteCounted(TextRec& rec, std::string_view countKey, std::string_view recKey,
                  const std::vector<T>& items, ToText toText) {
  rec.Add(countKey, IntText(static_cast<int64_t>(items.size())));
  for (size_t i = 0; i < items.size(); ++i) {
    rec.Add(CountedKey(recKey, static_cast<int32_t>(i + 1)), toText(items[i]));
  }
}

TStatus EnsureFolder(const std::string& folder) {
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return TStatus::Ok();
  std::filesystem::create_directories(folder, ec);
  if (!ec) return TStatus::Ok();
  return TStatus::Error(folder + ": フォルダーを作成できません（" + ec.message() + "）");
}

}  // namespace

// ---- StaRail -----------------------------------------------------------------------------------

StaRail::StaRail(uint8_t kind, int32_t no, TPoint p0, TPoint p1) : Kind(kind), No(no), P{p0, p1} {}

StaRail::StaRail(const StaRail& other)
    : Kind(other.Kind),
      No(other.No),
      Mark(other.Mark),
      P{other.P[0], other.P[1]},
      Occ(other.Occ ? std::make_unique<TTmTblObj>(*other.Occ) : nullptr) {}

StaRail& StaRail::operator=(const StaRail& other) {
  if (this != &other) *this = StaRail(other);
  return *this;
}

// ---- Construction, grid and lists --------------------------------------------------------------

TStaObj::TStaObj() { EntOwner[0] = EntOwner[1] = true; }

void TStaObj::ClearCells() {
  for (auto& column : Cells) column.fill(StaCell{});
  EntCount[0] = EntCount[1] = 1;
  EntCrs[0] = EntCrs[1] = 0;
}

void TStaObj::ClearLists() {
  Rails.clear();  // the segments take their occupancy tables with them
  Pts.clear();
  Homes.clear();
}

TCellAt TStaObj::GetCell(int32_t col, int32_t row) const {
  if (col > kStaCols || row > kStaRows) ShowPlainMsg("err");
  if (!InGrid(col, row)) return TCellAt{StaCell{}, col, row};
  const StaCell& cell = Cells[col][row];
  if (cell.Kind != kCellCovered) return TCellAt{cell, col, row};
  return TCellAt{cell, col - cell.DCol, row - cell.DRow};
}

bool TStaObj::SetCell(int32_t col, int32_t row, const StaCell& cell) {
  if (!InGrid(col, row)) return false;
  Cells[col][row] = cell;
  return true;
}

void TStaObj::AddRail(const StaRail& rail) {
  StaRail copy(rail.Kind, rail.No, rail.P[0], rail.P[1]);
  copy.Mark = rail.Mark;
  Rails.push_back(std::move(copy));
}

void TStaObj::AddHome(const StaHome& home) { Homes.push_back(home); }

void TStaObj::AddPt(const TPtStatus& pt) { Pts.push_back(pt); }

// ---- Entry tracks ------------------------------------------------------------------------------

TEntCrs TStaObj::SplitEntCrs(int32_t side) const {
  const int32_t code = EntCrs[side];
  return TEntCrs{code / 10000, code % 10000 / 100, code % 100};
}

void TStaObj::MakeEntCrs(int32_t side, int32_t crsFrom, int32_t crsTo, int32_t crsCnt) {
  EntCrs[side] = crsFrom * 10000 + crsTo * 100 + crsCnt;
}

bool TStaObj::InCrs(int32_t side, int32_t pos) const {
  const TEntCrs x = SplitEntCrs(side);
  return x.CrsCnt > 0 && x.CrsFrom <= pos && pos <= x.CrsFrom + x.CrsCnt - 1;
}

int32_t TStaObj::CrsSlot(int32_t side, int32_t pos) const {
  const TEntCrs x = SplitEntCrs(side);
  if (InCrs(side, pos)) return x.CrsTo + (pos - x.CrsFrom);
  // i: the position's number among those outside the group.
  const bool afterGroup = x.CrsCnt > 0 && pos > x.CrsFrom + x.CrsCnt - 1;
  const int32_t i = afterGroup ? pos - x.CrsCnt : pos;
  return i < x.CrsTo ? i : x.CrsCnt + i;
}

void TStaObj::ListEntConns(int32_t side, std::vector<std::string>& list) const {
  const int32_t n = std::min(EntCount[side], kMaxSlots);
  for (int32_t slot = 1; slot <= n; ++slot) {
    list.push_back(IntText(MakeEntCode(Id, slot, side)) + "," + IntText(EntConn[side][slot]));
  }
}

void TStaObj::ListHomes(std::vector<std::string>& list) const {
  list.clear();
  for (const StaRail& r : Rails) {
    if (r.Kind == kRailHome) list.push_back(IntText(r.No));
  }
}

// ---- Lookup and occupancy ----------------------------------------------------------------------

const StaRail* TStaObj::FindRailAt(TPoint p) const {
  for (const StaRail& r : Rails) {
    if (PtNearSeg(r.P[0], r.P[1], p, kNearRailM).Hit) return &r;
  }
  return nullptr;
}

void TStaObj::ResetOcc() {
  for (StaRail& r : Rails) {
    if (r.Occ) {
      r.Occ->Clear();
    } else {
      r.Occ = std::make_unique<TTmTblObj>();
    }
  }
}

void TStaObj::ResetPtOcc() {
  for (TPtStatus& pt : Pts) pt.Occ.fill(-1);
  PtUses.clear();
}

void TStaObj::ClearOccOf(std::string_view txt) {
  for (StaRail& r : Rails) {
    if (r.Occ) r.Occ->DeleteByTxt(txt);
  }
}

// ---- Station file ------------------------------------------------------------------------------

TStatus TStaObj::LoadSta(const std::string& folder, const std::string& name) {
  if (TStatus st = CheckObjName(name, "駅名"); !st) return st;
  return LoadStaFrom(ResolveIn(folder, name + ".txt"), name);
}

TStatus TStaObj::LoadStaFrom(const std::string& path, const std::string& name) {
  const std::string display = DisplayName(path);
  TextRec rec;
  if (TStatus st = LoadRec(path, rec, display); !st) return st;
  return ReadRec(rec, name, display);
}

TStatus TStaObj::ReadRec(const TextRec& rec, const std::string& name, const std::string& display) {
  TStaObj fresh;
  fresh.FileRec = rec;
  TRecReader rd(fresh.FileRec, display);
  fresh.ReadRecords(rd);
  if (rd.Failed()) return rd.Status();
  fresh.Name = name;
  TakeLoaded(std::move(fresh));
  return TStatus::Ok();
}

void TStaObj::ReadRecords(TRecReader& rd) {
  IsErr = rd.YN("IS_ERR");
  Desc = rd.Text("DESC");
  ClearCells();
  ReadCells(*this, rd);
  ReadEntCrs(*this, rd);
  ReadCounted(*this, rd, "PT_CNT", "PT", kMaxStaPts, ReadPt);
  ReadCounted(*this, rd, "RAIL_CNT", "RAIL", kMaxStaRails, ReadRail);
  ReadCounted(*this, rd, "HOME_CNT", "HOME", kMaxStaHomes, ReadHome);
  ReadBaseRec(*this, rd);  // also checks ENT0/ENT1 against 0..10
}

// Takes what the file defines; the drawing transform, the owner flags and the run-time flags
// stay as they were.
void TStaObj::TakeLoaded(TStaObj&& src) {
  Id = src.Id;
  Rote = src.Rote;
  for (int32_t side = 0; side < 2; ++side) {
    EndPos[side] = src.EndPos[side];
    EntCount[side] = src.EntCount[side];
    EntCrs[side] = src.EntCrs[side];
    std::copy(std::begin(src.EntConn[side]), std::end(src.EntConn[side]), EntConn[side]);
  }
  FileRec = std::move(src.FileRec);
  Name = std::move(src.Name);
  Desc = std::move(src.Desc);
  Cells = src.Cells;
  Pts = std::move(src.Pts);
  Homes = std::move(src.Homes);
  Rails = std::move(src.Rails);
  IsErr = src.IsErr;
}

TStatus TStaObj::SaveSta(const std::string& folder) {
  if (TStatus st = CheckObjName(Name, "駅名"); !st) return st;
  const std::string path = ResolveIn(folder, Name + ".txt");
  const std::string display = DisplayName(path);
  if (TStatus st = CheckLists(display); !st) return st;
  if (TStatus st = EnsureFolder(folder); !st) return st;
  FileRec = MakeRec();
  return SaveRec(FileRec, path, display);
}

TextRec TStaObj::MakeRec() const {
  TextRec rec;
  rec.Add("IS_ERR", YNText(IsErr));
  rec.Add("DESC", Desc);
  WriteCells(*this, rec);
  for (int32_t side = 0; side < 2; ++side) rec.Add(SideKey("ENTCRS", side), IntText(EntCrs[side]));
  WriteCounted(rec, "PT_CNT", "PT", Pts, PtText);
  WriteCounted(rec, "RAIL_CNT", "RAIL", Rails, RailText);
  WriteCounted(rec, "HOME_CNT", "HOME", Homes, HomeText);
  WriteBaseRec(*this, rec);
  return rec;
}

TStatus TStaObj::CheckLists(const std::string& fileName) const {
  auto railKind = [](const StaRail& r) { return RailKindProblem(r.Kind); };
  auto anyHome = [](const StaHome&) { return std::string(); };
  TProblem p = DescProblem(Desc);
  if (!p.Any()) p = CellsProblem(*this);
  if (!p.Any()) p = SidesProblem(*this);
  if (!p.Any()) p = ListProblem(Pts, "PT_CNT", "PT", kMaxStaPts, PtProblem);
  if (!p.Any()) p = ListProblem(Rails, "RAIL_CNT", "RAIL", kMaxStaRails, railKind);
  if (!p.Any()) p = ListProblem(Homes, "HOME_CNT", "HOME", kMaxStaHomes, anyHome);
  return p.Any() ? TStatus::Error(Fmt(fileName, p.Key, p.Why)) : TStatus::Ok();
}

}  // namespace ramvel
