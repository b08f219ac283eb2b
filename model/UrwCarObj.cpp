// Train sets: timetable queries and the car file.
#include "model/UrwCarObj.h"

#include <algorithm>
#include <utility>

namespace ramvel {

void TCarObj::SetProps(const TCarProp& prop) {
  Id = prop.Id;
  Usage = prop.Usage;
  Color = prop.Color;
  NCar = prop.NCar;
  Spd = prop.Spd;
}

float TCarObj::SpdMps() const { return static_cast<float>(Spd / 3.6); }

// ---- Timetable queries -------------------------------------------------------------------------

TTrainRange TTrainIndex::Find(const TTmTblObj& tbl, std::string_view trainNo) const {
  const std::lock_guard<std::mutex> guard(mutex_);
  if (!built_ || version_ != tbl.Version()) {
    ranges_.clear();
    // Headers in a row with one number are one train; a number that comes back later is not
    // seen again (the first run counts), as a scan from the start would find it.
    const int32_t n = tbl.Count();
    std::string_view cur;
    TTrainRange run;
    for (int32_t a = 1; a <= n; ++a) {
      std::string_view h;
      if (a < n) {
        const std::string& txt = tbl.At(a).Txt;
        const size_t comma = txt.find(',');
        if (comma == std::string::npos || comma == 0) continue;
        h = std::string_view(txt.data(), comma);
        if (run.First >= 0 && h == cur) {
          run.First = a;  // of headers in a row with one number, the train starts at the last
          continue;
        }
      }
      if (run.First >= 0) {
        run.Last = a - 1;
        ranges_.try_emplace(std::string(cur), run);
      }
      cur = h;
      run.First = a;
    }
    version_ = tbl.Version();
    built_ = true;
  }
  const auto it = ranges_.find(trainNo);
  return it == ranges_.end() ? TTrainRange{} : it->second;
}

int32_t TCarObj::FindTrainStep(std::string_view trainNo, int32_t staId) const {
  const TTrainRange r = FindTrain(trainNo);
  for (int32_t i = std::max(r.First, 0); i <= r.Last; ++i) {
    if (SplitEntCode(TmTbl.At(i).Loc).Id == staId) return i;
  }
  return -1;
}

bool TCarObj::DeleteTrain(std::string_view trainNo, bool anywhere) {
  const TTrainRange r = FindTrain(trainNo);
  if (r.First < 0 || (!anywhere && r.Last < TmTbl.Count() - 1)) return false;
  for (int32_t i = r.Last; i >= r.First; --i) TmTbl.Delete(i);
  return true;
}

THeaderHit TCarObj::PrevHeader(int32_t index, bool full) const {
  THeaderHit hit;
  for (int32_t i = std::min(index, TmTbl.Count()) - 1; i >= 0; --i) {
    const std::string& txt = TmTbl.At(i).Txt;
    if (txt.empty()) continue;
    hit.Found = true;
    hit.Txt = full ? txt : TextBefore(txt, ",");
    hit.Index = i;
    break;
  }
  return hit;
}

// The steps are kept in ascending TmStart, so the last step from 1 on that starts at or before t
// is the one before the first that starts after it; a search, since the clock asks at every tick
// and every label.
int32_t TCarObj::StepAt(int32_t t) const {
  const std::vector<TTmTbl>& steps = TmTbl.Items();
  if (steps.size() < 2) return 0;
  const auto after = std::upper_bound(steps.begin() + 1, steps.end(), t,
                                      [](int32_t tm, const TTmTbl& s) { return tm < s.TmStart; });
  return static_cast<int32_t>(after - steps.begin()) - 1;
}

std::string TCarObj::LabelAt(int32_t t) const {
  const std::string stabled = StandLabel(Id);
  // A train set without even its stabling step can only be shown as standing.
  if (TmTbl.Count() == 0) return stabled;
  const int32_t i = StepAt(t);
  const TTmTbl& s = TmTbl.At(i);
  if (s.TmEnd < 0) return stabled;
  if (!s.Txt.empty()) return s.Txt;
  return PrevHeader(i + 1, true).Txt;
}

// ---- Car file ----------------------------------------------------------------------------------

namespace {

std::string DisplayName(std::string_view stem) { return "car/" + std::string(stem) + ".txt"; }

TTmTbl ReadStep(TRecReader& rd, int32_t k) {
  const std::string key = CountedKey("TM", k);
  const std::vector<std::string> items = rd.List(key, 4, 4);
  TTmTbl step;
  step.TmStart = rd.IntItem(items, 0, key);
  step.TmEnd = rd.IntItem(items, 1, key);
  step.Loc = rd.IntItem(items, 2, key);
  step.Txt = items[3];
  // Times are added to running times and compared as seconds of the day: -1 (not timed) up to
  // a second day, so that no sum overflows.
  for (const int32_t t : {step.TmStart, step.TmEnd}) {
    if (!rd.Failed() && (t < -1 || t > kMaxStepTm)) rd.Fail(key, WhyOutOfRange(-1, kMaxStepTm));
  }
  if (!rd.Failed() && (step.Loc < -kMaxCode || step.Loc > kMaxCode)) {
    rd.Fail(key, WhyOutOfRange(-kMaxCode, kMaxCode));
  }
  return step;
}

// Everything the file stores, read into a fresh object so that a failure changes nothing.
void ReadCarRec(TRecReader& rd, TCarObj& car) {
  car.Usage = rd.Text("USAGE");
  car.Color = rd.Int("COLOR");
  car.NCar = rd.Int("N_CAR");
  if (!rd.Failed() && (car.NCar < 1 || car.NCar > kMaxCars)) {
    rd.Fail("N_CAR", WhyOutOfRange(1, kMaxCars));
  }
  car.Spd = rd.Int("SPD");
  // The speed divides every running time.
  if (!rd.Failed() && (car.Spd < 1 || car.Spd > kMaxFileSpd)) rd.Fail("SPD", WhyOutOfRange(1, kMaxFileSpd));
  const int32_t n = rd.Count("TM_COUNT", kMaxTmSteps);
  for (int32_t k = 1; k <= n && !rd.Failed(); ++k) {
    const TTmTbl step = ReadStep(rd, k);
    if (!rd.Failed()) car.TmTbl.Add(step);
  }
  ReadNoteKeys(rd, car);
}

}  // namespace

TStatus TCarObj::LoadCar(const std::string& folder, const std::string& stem) {
  const std::string display = DisplayName(stem);
  int32_t id = 0;
  TextRec rec;
  if (TStatus st = LoadNumberedRec(folder, stem, display, rec, id); !st) return st;
  if (TStatus st = ReadRec(rec, display); !st) return st;
  Id = id;
  return TStatus::Ok();
}

TStatus TCarObj::ReadRec(const TextRec& rec, const std::string& display) {
  TRecReader rd(rec, display);
  TCarObj loaded;
  ReadCarRec(rd, loaded);
  if (rd.Failed()) return rd.Status();
  Usage = std::move(loaded.Usage);
  Color = loaded.Color;
  NCar = loaded.NCar;
  Spd = loaded.Spd;
  TmTbl = std::move(loaded.TmTbl);
  TrNotes = std::move(loaded.TrNotes);
  return TStatus::Ok();
}

TStatus TCarObj::SaveCar(const std::string& folder) const {
  const std::string stem = IntText(Id);
  const std::string path = ResolveIn(folder, stem + ".txt");
  return SaveRec(MakeRec(), path, DisplayName(stem));
}

TextRec TCarObj::MakeRec() const {
  TextRec rec;
  rec.Add("USAGE", Usage);
  rec.Add("COLOR", IntText(Color));
  rec.Add("N_CAR", IntText(NCar));
  rec.Add("SPD", IntText(Spd));
  rec.Add("TM_COUNT", IntText(TmTbl.Count()));
  for (int32_t i = 0; i < TmTbl.Count(); ++i) {
    const TTmTbl& s = TmTbl.At(i);
    rec.Add(CountedKey("TM", i + 1),
            JoinList({IntText(s.TmStart), IntText(s.TmEnd), IntText(s.Loc), s.Txt}));
  }
  AddNoteKeys(*this, rec);
  return rec;
}

std::string StandLabel(int32_t carNo) { return "[" + IntText(carNo) + "]"; }

}  // namespace ramvel
