// The board's object lookups, registering and deleting of objects.
#include "engine/UrwBrdData.h"

#include <algorithm>
#include <cstdlib>

#include "engine/UrwPlayDay.h"

namespace ramvel {

namespace {

std::string KeyOf(int32_t id, int32_t kind) {
  return IntText(int64_t{std::abs(id)} / 1000 * 1000 + kind);
}

template <typename T>
T* Lookup(TObjList<T>& list, const std::string& key, std::string_view tag) {
  const auto it = list.find(key);
  if (it != list.end()) return it->second.get();
  if (!tag.empty()) ShowLookupError(std::string(tag), key);
  return nullptr;
}

template <typename T>
T* Lookup(TRefList<T>& list, const std::string& key, std::string_view tag) {
  const auto it = list.find(key);
  if (it != list.end()) return it->second;
  if (!tag.empty()) ShowLookupError(std::string(tag), key);
  return nullptr;
}

// The list key of an identifier given as text; the text itself when it is not a number.
std::string KeyOfText(std::string_view idText, int32_t kind) {
  int32_t id = 0;
  return ParseInt(idText, id) ? KeyOf(id, kind) : std::string(idText);
}

}  // namespace

std::string BrdPath(const std::string& baseDir, const std::string& name) {
  return PathJoin(baseDir, name);
}

void TBrdData::ClearBrd() {
  if (PlayDay().Brd == this) ClearPlayDay();  // a delayed day belongs to the board played
  booked_.reset();
  Modified = false;
  ID_STA = ID_RAIL = 0;
  LoadNotes.clear();
  LostStas.clear();
  LineName.clear();
  Sections.clear();
  LineStas.clear();
  LineSides.clear();
  TrainNos.clear();
  BlkEnds.clear();
  Blks.clear();
  Cars.clear();
  // Without allocating: the list always holds the board's own timetable, whose name fits in the
  // string's own buffer.
  Dias.resize(1);
  Dias[0].Name = kDefaultDiaName;
  Dias[0].OnDisk.clear();
  Dias[0].Cars.clear();
  ActiveDia = 0;
  Kinds.clear();
  DiaNotes.clear();
  LineNotes.clear();
  droppedDias_.clear();
  diaNameKey_ = false;
  Rails.clear();
  Stas.clear();
  LoadedFiles.clear();
  LoadedFolder.clear();
  ReadOnlyWhy.clear();
}

// ---- Lookups -----------------------------------------------------------------------------------

TBaseObj* TBrdData::FindObj(int32_t codeOrId, std::string_view tag) {
  const int32_t id = SplitEntCode(codeOrId).Id;
  if (IdKind(id) == kKindSta) return FindSta(id, tag);
  return FindRail(id, tag);
}

TStaObj* TBrdData::FindSta(int32_t id, std::string_view tag) {
  return Lookup(Stas, KeyOf(id, kKindSta), tag);
}

TStaObj* TBrdData::FindSta(std::string_view idText, std::string_view tag) {
  return Lookup(Stas, KeyOfText(idText, kKindSta), tag);
}

TRailObj* TBrdData::FindRail(int32_t id, std::string_view tag) {
  return Lookup(Rails, KeyOf(id, kKindRail), tag);
}

TRailObj* TBrdData::FindRail(std::string_view idText, std::string_view tag) {
  return Lookup(Rails, KeyOfText(idText, kKindRail), tag);
}

TCarObj* TBrdData::FindCar(int32_t no, std::string_view tag) {
  return Lookup(Cars, IntText(no), tag);
}

TCarObj* TBrdData::FindTrainCar(std::string_view trainNo, std::string_view tag) {
  return Lookup(TrainNos, std::string(trainNo), tag);
}

TBlkObj* TBrdData::FindBlkEnd(int32_t code, std::string_view tag) {
  return Lookup(BlkEnds, IntText(code), tag);
}

TBaseObj* TBrdData::GetRailConnObj(const TRailObj& rail, int32_t side) {
  if (rail.EntOwner[side]) return nullptr;
  return FindObj(rail.EntConn[side][1], "GetRailConnObj-STA/RAIL-1");
}

TObjAtPoint TBrdData::FindAtPoint(int32_t kind, TPoint p, int32_t tol) const {
  const auto search = [&](const auto& list) {
    for (const auto& [key, obj] : list) {
      const TNearHit h = PtNearSeg(obj->EndPos[0], obj->EndPos[1], p, tol);
      if (h.Hit) return TObjAtPoint{true, obj->Id, h.NearB ? 1 : 0};
    }
    return TObjAtPoint{};
  };
  if (kind == kKindSta) return search(Stas);
  if (kind == kKindRail) return search(Rails);
  return {};
}

bool TBrdData::EndAtDot(int32_t side, TPoint dot, const TBaseObj& obj) {
  return obj.EndPos[side].x / kGridM == dot.x && obj.EndPos[side].y / kGridM == dot.y;
}

// ---- Registering and deleting ------------------------------------------------------------------

void TBrdData::ObjDel(int32_t id) {
  TBaseObj* obj = FindObj(id, "ObjDel-STA/RAIL-1");
  if (obj == nullptr) return;
  booked_.reset();
  for (int32_t side = 0; side < 2; ++side) {
    const int32_t n = std::clamp(obj->EntCount[side], 0, kMaxSlots);
    for (int32_t slot = 1; slot <= n; ++slot) {
      const int32_t code = obj->EntConn[side][slot];
      if (code == 0) continue;
      const TEntCode nb = SplitEntCode(code);
      TBaseObj* other = FindObj(nb.Id, "ObjDel-STA/RAIL-2");
      if (other == nullptr || nb.Slot < 1 || nb.Slot > kMaxSlots) continue;
      other->EntConn[nb.Side][nb.Slot] = 0;
      other->EntOwner[nb.Side] = true;
    }
  }
  if (obj->IsSta()) {
    Stas.erase(KeyOf(obj->Id, kKindSta));
  } else {
    Rails.erase(KeyOf(obj->Id, kKindRail));
  }
  Modified = true;
}

TStatus TBrdData::StaReg(const std::string& folder, const std::string& name, int32_t& id) {
  id = 0;
  auto sta = std::make_unique<TStaObj>();
  TStatus st;
  {
    const TStampReads stamp(LoadedFiles);  // its file is the board's from now on
    st = sta->LoadSta(ResolveIn(folder, "station"), name);
  }
  if (!st) return st;
  if (Stas.count(KeyOf(sta->Id, kKindSta)) > 0) {
    return TStatus::Error(name + "駅（ID=" + IntText(sta->Id) + "）は既にボード上にあります");
  }
  for (auto& side : sta->EntConn) std::fill(std::begin(side), std::end(side), 0);
  id = sta->Id;
  Stas.emplace(KeyOf(id, kKindSta), std::move(sta));
  return TStatus::Ok();
}

bool TBrdData::StaPlace(int32_t id, TPoint start, TPoint delta, TBaseObj* endObj1,
                        TBaseObj* endObj2) {
  TStaObj* sta = FindSta(id, "StaReg-STA-1");
  if (sta == nullptr) return false;
  PlaceRail(*sta, start, delta, endObj1, endObj2);
  Modified = true;
  return true;
}

TRailObj* TBrdData::RailReg(TPoint start, TPoint delta, TBaseObj* endObj1, TBaseObj* endObj2,
                            int32_t nTracks) {
  ++ID_RAIL;
  // Never a serial in use: the new rail must not be dropped as a duplicate key.
  while (Rails.count(KeyOf(ID_RAIL * 1000 + kKindRail, kKindRail)) > 0) ++ID_RAIL;
  auto rail = std::make_unique<TRailObj>();
  rail->Id = ID_RAIL * 1000 + kKindRail;
  rail->EntCount[0] = rail->EntCount[1] = std::clamp(nTracks, 1, kMaxSlots);
  PlaceRail(*rail, start, delta, endObj1, endObj2);
  TRailObj* out = rail.get();
  Rails.emplace(KeyOf(out->Id, kKindRail), std::move(rail));
  Modified = true;
  return out;
}

int32_t TBrdData::CarReg(const TCarProp& prop, int32_t stabling) {
  int32_t no = 1;
  for (const auto& [key, car] : Cars) {
    int32_t n = 0;
    if (ParseInt(key, n)) no = std::max(no, n + 1);
  }
  auto car = std::make_unique<TCarObj>();
  car->SetProps(prop);
  car->Id = no;
  car->TmTbl.Add({"", -1, -1, stabling});
  Cars.emplace(IntText(no), std::move(car));
  Modified = true;
  return no;
}

void TBrdData::CarDel(int32_t no) {
  const auto it = Cars.find(IntText(no));
  if (it == Cars.end()) return;
  // The train numbers must not point at a freed train set.
  std::erase_if(TrainNos, [&](const auto& kv) { return kv.second == it->second.get(); });
  Cars.erase(it);
  Modified = true;
}

bool TBrdData::TrainReg(int32_t carNo, const std::string& trainNo) {
  if (TrainNos.count(trainNo) > 0) return false;
  TCarObj* car = FindCar(carNo, "CAR");
  if (car == nullptr) return false;
  TrainNos.emplace(trainNo, car);
  Modified = true;
  return true;
}

bool TBrdData::TrainDel(const std::string& trainNo, bool anywhere) {
  TCarObj* car = FindTrainCar(trainNo, "TrainDel-CAR-1");
  if (car == nullptr) return false;
  const TTrainRange range = car->FindTrain(trainNo);
  if (range.First < 0) return false;
  // Occupancy is labelled with the train number or, by older bookings, with the train's
  // header, which goes with the train.
  const std::string labels[] = {trainNo, car->TmTbl.At(range.First).Txt};
  if (!car->DeleteTrain(trainNo, anywhere)) return false;
  TrainNos.erase(trainNo);
  for (const std::string& label : labels) {
    for (const std::string& staId : LineStas) {
      if (TStaObj* sta = FindSta(staId, "TrainDel-STA-1")) sta->ClearOccOf(label);
    }
    for (auto& [key, blk] : Blks) blk->Release(label);
  }
  Modified = true;
  return true;
}

bool TBrdData::LastStepOnLine(int32_t carNo, TLastStep& out) {
  TCarObj* car = FindCar(carNo, "CAR");
  if (car == nullptr || car->TmTbl.Count() == 0) return false;
  const TTmTbl step = car->TmTbl.Get(car->StepAt(kDayEnd));
  out.Kind = StepKind(step);
  out.Place = SplitEntCode(step.Loc);
  const std::string staKey = KeyOf(out.Place.Id, kKindSta);
  return std::any_of(LineStas.begin(), LineStas.end(),
                     [&](const std::string& s) { return SameNoCase(s, staKey); });
}

}  // namespace ramvel
