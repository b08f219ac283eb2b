// Import of an OuDia timetable onto a line: matching, the plan of train sets, and the entry.
#include "interop/UrwOudImport.h"

#include <algorithm>
#include <map>
#include <set>

#include "foundation/UrwCmnDef.h"
#include "foundation/UrwTextRec.h"
#include "engine/UrwBrdDias.h"
#include "interop/UrwOudDias.h"
#include "interop/UrwOudExport.h"
#include "timetable/UrwDiaEditorUi.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

namespace {

constexpr int32_t kDayStart = 4 * 3600;  // board times count from 04:00
constexpr int32_t kDaySec = 24 * 3600;

// The line as the import sees it: per slot the station id, name and platforms.
struct TLineSlots {
  std::vector<int32_t> Ids;
  std::vector<std::string> Names;
  std::vector<std::vector<int32_t>> Homes;
  bool Ring = false;
};

TLineSlots LineSlots(TBrdData& brd) {
  TLineSlots l;
  for (const std::string& idText : brd.LineStas) {
    const TStaObj* sta = brd.FindSta(idText, "");
    l.Ids.push_back(sta != nullptr ? sta->Id : 0);
    l.Names.push_back(sta != nullptr ? sta->Name : std::string());
    l.Homes.push_back(sta != nullptr ? StaPlatforms(*sta) : std::vector<int32_t>{});
  }
  l.Ring = l.Ids.size() > 2 && l.Ids.front() == l.Ids.back();
  return l;
}

// The line slot of each of the file's stations (-1: not on the line), matched by name with the
// slots rising (forward) or falling (reversed).
std::vector<int32_t> MatchSlots(const TOudDoc& doc, const TLineSlots& line, bool reversed) {
  const int32_t n = static_cast<int32_t>(line.Names.size());
  std::vector<int32_t> out;
  int32_t prev = reversed ? n : -1;
  for (const TOudStation& s : doc.Stations) {
    int32_t found = -1;
    for (int32_t k = prev + (reversed ? -1 : 1); k >= 0 && k < n; k += reversed ? -1 : 1) {
      if (SameNoCase(line.Names[static_cast<size_t>(k)], s.Name)) {
        found = k;
        break;
      }
    }
    out.push_back(found);
    if (found >= 0) prev = found;
  }
  return out;
}

int32_t Matched(const std::vector<int32_t>& slots) {
  return static_cast<int32_t>(std::count_if(slots.begin(), slots.end(), [](int32_t s) {
    return s >= 0;
  }));
}

// Board time (s from 04:00) of a clock time in a file whose day starts at start.
int32_t BoardTime(int32_t clock, int32_t start) {
  if (clock < 0) return -1;
  return start + (clock - start + kDaySec) % kDaySec - kDayStart;
}

// The kind text of a train: the type whose name the file's kind bears, else the nearest of the
// six with the file's kind name kept in the nickname; then the train's name and number.
std::string KindText(const TOudDoc& doc, const TOudTrain& t, std::set<std::string>& mapped) {
  const std::string name = t.Kind >= 0 && static_cast<size_t>(t.Kind) < doc.Kinds.size()
                               ? BoardKindName(doc.Kinds[t.Kind])
                               : "";
  const std::string type = NearestTrainType(name);
  std::string nick;
  if (type != name) {
    nick = name;
    if (!name.empty()) mapped.insert(name + " → " + type);
  }
  std::string title = t.Name + (t.Gou.empty() ? "" : t.Gou + "号");
  if (!title.empty()) nick += (nick.empty() ? "" : " ") + title;
  return nick.empty() ? type : type + " " + nick;
}

// The set's cars and speed from a note "N両編成 Skm/h" (noted tells whether there was one); the
// defaults otherwise.
TCarProp PropOf(const TOudTrain& t, const TOudImportOptions& o, uint32_t color, bool& noted) {
  TCarProp p{0, "", static_cast<int32_t>(color & 0xFFFFFF), o.DefaultCars, o.DefaultKmh};
  noted = OudNotedProp(t, p);
  return p;
}

}  // namespace

TStatus CheckOudSize(const TOudDoc& doc) {
  if (doc.Dias.empty() || doc.Dias[0].Trains.size() <= kMaxOudTrains) return TStatus::Ok();
  return TStatus::Error("ダイヤ「" + doc.Dias[0].Name + "」の列車が多すぎます (" +
                        IntText(static_cast<int64_t>(doc.Dias[0].Trains.size())) +
                        "本、読み込めるのは" + IntText(static_cast<int64_t>(kMaxOudTrains)) +
                        "本までです)");
}

bool OudNotedProp(const TOudTrain& t, TCarProp& p) {
  const size_t ryo = t.Note.find("両編成");
  const size_t kmh = t.Note.find("km/h");
  int32_t n = 0, s = 0;
  if (ryo != std::string::npos && kmh != std::string::npos &&
      ParseInt(TrimBlanks(t.Note.substr(0, ryo)), n) &&
      ParseInt(TrimBlanks(t.Note.substr(ryo + 9, kmh - ryo - 9)), s) && n >= 1 && n <= kMaxCars &&
      s >= kMinSpd && s <= kMaxSpd) {
    p.NCar = n;
    p.Spd = s;
    return true;
  }
  return false;
}

std::string OudOwnNote(const TOudTrain& t) {
  TCarProp p;
  if (!OudNotedProp(t, p)) return NoteText(t.Note);
  return NoteText(t.Note.substr(t.Note.find("km/h") + 4));
}

namespace {

// A train ready to be chained: its plan, where it starts and ends, and its set's properties.
struct TRun {
  TTrainPlan Plan;
  int32_t From = 0, To = 0;  // slots
  int32_t Arr = 0;           // arrival at To
  TCarProp Prop;
  bool Noted = false;  // Prop comes from the train's note: only a set like it may run it
  int32_t FitKmh = 0;  // the speed the options fit to the train; 0: none
  std::vector<int32_t> OriginHomes;  // platforms a new set may stand at to start this train
  std::string Block;                 // the train's working; empty when the file gives none
};

// The platforms of the slot `from` with a route towards the next station, those that leave with
// fewer diverging turnouts first (a platform of the train's own direction), else in the order
// given; all of them when none has a route.
std::vector<int32_t> HomesWithRoute(TBrdData& brd, const TLineSlots& line, int32_t from,
                                    int32_t dir, const std::vector<int32_t>& homes) {
  std::vector<std::pair<int32_t, int32_t>> out;  // (diverging, platform)
  const int32_t staId = line.Ids[static_cast<size_t>(from)];
  const int32_t nextId = line.Ids[static_cast<size_t>(from + dir)];
  for (const int32_t home : homes) {
    std::vector<std::string> routes;
    for (int32_t side = 0; side < 2 && routes.empty(); ++side) {
      brd.ListUpNextStaCanGo(staId, home, side, nextId, -1, routes);
    }
    if (routes.empty()) continue;
    int32_t least = 1 << 20;
    for (const std::string& r : routes) {
      const std::vector<std::string> el = SplitComma(TextAfter(r, '='));
      if (!el.empty()) least = std::min(least, TStaObj::CountDiverging(el.front()));
    }
    out.push_back({least, home});
  }
  if (out.empty()) return homes;
  std::stable_sort(out.begin(), out.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<int32_t> sorted;
  for (const auto& [d, home] : out) sorted.push_back(home);
  return sorted;
}

// The platforms to offer at a slot: the file's track first (a .oud2), then the others.
std::vector<int32_t> HomesFor(const TOudDoc& doc, const TLineSlots& line, size_t docSta,
                              int32_t slot, const TOudCell& c) {
  std::vector<int32_t> homes = line.Homes[static_cast<size_t>(slot)];
  const std::vector<std::string>& tracks = doc.Stations[docSta].Tracks;
  if (c.Track < 0 || static_cast<size_t>(c.Track) >= tracks.size()) return homes;
  int32_t no = 0;
  if (!ParseInt(TextBefore(tracks[static_cast<size_t>(c.Track)] + "番", "番"), no)) {
    no = c.Track + 1;
  }
  const auto it = std::find(homes.begin(), homes.end(), no);
  if (it != homes.end()) std::rotate(homes.begin(), it, it + 1);
  return homes;
}

// The run of one train over the line, or the reason it cannot be planned.
std::string MakeRun(TBrdData& brd, const TOudDoc& doc, const TOudTrain& t, const TLineSlots& line,
                    const std::vector<int32_t>& slots, bool reversed, TRun& run) {
  std::map<int32_t, size_t> bySlot;  // slot -> the file's station
  for (size_t i = 0; i < slots.size(); ++i) {
    const TOudStop st = t.Cells[i].Stop;
    if (slots[i] >= 0 && (st == TOudStop::kStop || st == TOudStop::kPass)) bySlot[slots[i]] = i;
  }
  if (bySlot.size() < 2) return "この路線の駅に2駅以上停まりません";
  const int32_t dir = (t.Nobori != reversed) ? -1 : 1;
  run.From = dir > 0 ? bySlot.begin()->first : bySlot.rbegin()->first;
  run.To = dir > 0 ? bySlot.rbegin()->first : bySlot.begin()->first;
  const TOudCell& first = t.Cells[bySlot[run.From]];
  const int32_t dep = BoardTime(first.Dep >= 0 ? first.Dep : first.Arr, doc.StartTime);
  if (dep < 0) return "始発駅の発車時刻がありません";
  run.Plan.Dir = dir;
  run.Plan.Dep = dep;
  run.OriginHomes = HomesWithRoute(brd, line, run.From, dir,
                                   HomesFor(doc, line, bySlot[run.From], run.From, first));
  run.Plan.FromSlot = run.From;
  run.Plan.FromHomes = run.OriginHomes;
  int32_t last = dep;
  for (int32_t s = run.From + dir; s != run.To + dir; s += dir) {
    TStopPlan stop;
    const auto it = bySlot.find(s);
    stop.Homes = line.Homes[static_cast<size_t>(s)];
    if (it == bySlot.end() || (t.Cells[it->second].Stop == TOudStop::kPass && s != run.To)) {
      stop.Pass = true;
      if (it != bySlot.end()) stop.Homes = HomesFor(doc, line, it->second, s, t.Cells[it->second]);
    } else {
      const TOudCell& c = t.Cells[it->second];
      stop.Homes = HomesFor(doc, line, it->second, s, c);
      stop.Arr = BoardTime(c.Arr >= 0 ? c.Arr : (s == run.To ? c.Dep : -1), doc.StartTime);
      if (s != run.To) stop.Dep = BoardTime(c.Dep, doc.StartTime);
      if (stop.Arr >= 0 && stop.Dep >= 0) stop.Slack = std::max(60, stop.Dep - stop.Arr);
    }
    // A .oud2 that names the track keeps a timetable already free of conflicts.
    stop.Exact = doc.Second && it != bySlot.end() && t.Cells[it->second].Track >= 0;
    stop.AnyHome = !stop.Exact;
    for (const int32_t tm : {stop.Arr, stop.Dep}) {
      if (tm < 0) continue;
      if (tm < last) return "時刻が逆に進んでいます (" + line.Names[static_cast<size_t>(s)] + "駅)";
      last = tm;
    }
    run.Plan.Stops.push_back(std::move(stop));
  }
  if (last > kDayEnd) return "27時を過ぎて走ります";
  run.Arr = run.Plan.Stops.back().Arr >= 0 ? run.Plan.Stops.back().Arr : last;
  return {};
}

// Chains the runs (sorted by departure) into train sets. A train of a working continues the
// set of its working's previous train when that set stands where it starts, in either direction
// and after any turnaround; sets of a working take no other trains.
std::vector<TCarPlan> Chain(std::vector<TRun>& runs, const TLineSlots& line, int32_t turn) {
  std::stable_sort(runs.begin(), runs.end(),
                   [](const TRun& a, const TRun& b) { return a.Plan.Dep < b.Plan.Dep; });
  struct TOpen {
    int32_t StaId, Arr, Dir;
    size_t Car;
    std::string Block;
  };
  std::vector<TCarPlan> cars;
  std::vector<TOpen> open;  // sets standing at the end of their last train
  for (TRun& r : runs) {
    const int32_t staId = line.Ids[static_cast<size_t>(r.From)];
    auto best = open.end();
    for (auto it = open.begin(); it != open.end(); ++it) {
      if (it->Block != r.Block) continue;
      const bool dirOk = it->Dir != r.Plan.Dir || line.Ring || !r.Block.empty();
      const bool turned = it->Arr + (r.Block.empty() ? turn : 0) <= r.Plan.Dep;
      const TCarProp& p = cars[it->Car].Prop;
      const bool alike = !r.Noted || (p.NCar == r.Prop.NCar && p.Spd == r.Prop.Spd);
      if (it->StaId == staId && dirOk && alike && turned &&
          (best == open.end() || it->Arr < best->Arr)) {
        best = it;
      }
    }
    size_t car = cars.size();
    if (best != open.end()) {
      car = best->Car;
      open.erase(best);
      // A set runs as fast as the fastest of its fitted trains needs.
      if (r.FitKmh > 0) cars[car].Prop.Spd = std::max(cars[car].Prop.Spd, r.FitKmh);
    } else {
      cars.push_back(TCarPlan{0, r.Prop, r.From, r.OriginHomes, {}});
      if (r.FitKmh > 0) cars.back().Prop.Spd = r.FitKmh;
    }
    cars[car].Trains.push_back(std::move(r.Plan));
    open.push_back(TOpen{line.Ids[static_cast<size_t>(r.To)], r.Arr, cars[car].Trains.back().Dir,
                         car, r.Block});
  }
  return cars;
}

bool WholeMinutes(const TOudDia& dia) {
  for (const TOudTrain& t : dia.Trains) {
    for (const TOudCell& c : t.Cells) {
      if ((c.Arr > 0 && c.Arr % 60 != 0) || (c.Dep > 0 && c.Dep % 60 != 0)) return false;
    }
  }
  return true;
}

// Whether the board's train runs the line as the run plans it: the same stations from the same
// origin, passing the same ones, at the same times (within tol seconds).
bool SameOnLine(const TCarObj& car, const std::string& no, const TLineSlots& line, const TRun& run,
                int32_t tol) {
  const TTrainRange r = car.FindTrain(no);
  const std::vector<TStopPlan>& stops = run.Plan.Stops;
  if (r.First < 0 || r.Last - r.First != static_cast<int32_t>(stops.size())) return false;
  const auto near = [tol](int32_t a, int32_t b) { return std::abs(a - b) <= tol; };
  const TTmTbl& origin = car.TmTbl.At(r.First);
  if (SplitEntCode(origin.Loc).Id != line.Ids[static_cast<size_t>(run.From)] ||
      !near(origin.TmEnd, run.Plan.Dep)) {
    return false;
  }
  for (size_t i = 0; i < stops.size(); ++i) {
    const TTmTbl& s = car.TmTbl.At(r.First + 1 + static_cast<int32_t>(i));
    const int32_t slot = run.From + run.Plan.Dir * static_cast<int32_t>(i + 1);
    if (SplitEntCode(s.Loc).Id != line.Ids[static_cast<size_t>(slot)]) return false;
    if (stops[i].Pass != (i + 1 < stops.size() && IsPass(s))) return false;
    if (stops[i].Arr >= 0 && !near(s.TmStart, stops[i].Arr)) return false;
    if (stops[i].Dep >= 0 && !near(s.TmEnd, stops[i].Dep)) return false;
  }
  return true;
}

bool WholeMinutes(const TOudDia& dia);

std::string DurText(int32_t sec) {
  if (sec < 60) return IntText(sec) + "秒";
  return IntText(sec / 60) + "分" + (sec % 60 != 0 ? IntText(sec % 60) + "秒" : "");
}

}  // namespace

TStatus PlanOudImport(TBrdData& brd, const TOudDoc& doc, const TOudImportOptions& options,
                      TLinePlan& plan, std::vector<std::string>& notes,
                      std::vector<TTrainEntry>& refused, std::vector<std::string>* unchanged) {
  const TLineSlots line = LineSlots(brd);
  const std::vector<int32_t> fwd = MatchSlots(doc, line, false);
  const std::vector<int32_t> rev = MatchSlots(doc, line, true);
  const bool reversed = Matched(rev) > Matched(fwd);
  const std::vector<int32_t>& slots = reversed ? rev : fwd;
  if (Matched(slots) < 2) {
    return TStatus::Error("路線「" + brd.LineName + "」の駅と、OuDiaファイルの駅が2駅以上一致しません");
  }
  if (doc.Dias.empty()) return TStatus::Error("OuDiaファイルにダイヤがありません");
  if (TStatus st = CheckOudSize(doc); !st) return st;
  if (reversed) notes.push_back("駅の並びが路線と逆なので、下りと上りを入れ替えて読み込みます");
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i] < 0) notes.push_back(doc.Stations[i].Name + "駅は路線にないので読み飛ばします");
  }
  if (doc.Dias.size() > 1) {
    notes.push_back("ダイヤ「" + doc.Dias[0].Name + "」を読み込みます (ほかの" +
                    IntText(static_cast<int64_t>(doc.Dias.size() - 1)) + "件は読み込みません)");
  }
  std::set<std::string> mapped, numbers;
  std::vector<TRun> runs;
  std::vector<TCarPlan> replacing;  // trains the board has, in new times
  const int32_t tol = WholeMinutes(doc.Dias[0]) ? 59 : 0;
  for (const TOudTrain& t : doc.Dias[0].Trains) {
    TRun run;
    run.Plan.TrNo = std::string(TrimBlanks(t.No));
    run.Plan.Kind = KindText(doc, t, mapped);
    const uint32_t color = static_cast<size_t>(t.Kind) < doc.Kinds.size() ? doc.Kinds[t.Kind].Color : 0;
    run.Prop = PropOf(t, options, color, run.Noted);
    if (!run.Noted && options.FitKmh) run.FitKmh = options.FitKmh(t);
    run.Block = t.Block;
    std::string why;
    const TCarObj* had = run.Plan.TrNo.empty() ? nullptr : brd.FindTrainCar(run.Plan.TrNo, "");
    if (run.Plan.TrNo.empty()) {
      why = "列車番号がありません";
    } else if (!numbers.insert(run.Plan.TrNo).second) {
      why = "列車番号がファイルに2度あります";
    } else {
      why = MakeRun(brd, doc, t, line, slots, reversed, run);
    }
    if (why.empty() && had != nullptr) {
      if (SameOnLine(*had, run.Plan.TrNo, line, run, tol)) {
        if (unchanged != nullptr) unchanged->push_back(run.Plan.TrNo);
        continue;
      }
      const TTrainRange r = had->FindTrain(run.Plan.TrNo);
      if (r.Last != had->TmTbl.Count() - 1) {
        const THeaderHit after = had->PrevHeader(had->TmTbl.Count(), true);
        why = "編成" + IntText(had->Id) + "の途中の列車なので更新できません (後に列車 " +
              TextBefore(after.Txt + ",", ",") + " があります)";
      } else {
        const TCarProp prop{had->Id, had->Usage, had->Color, had->NCar, had->Spd};
        replacing.push_back(TCarPlan{had->Id, prop, -1, {}, {std::move(run.Plan)}});
        continue;
      }
    }
    if (why.empty()) {
      runs.push_back(std::move(run));
    } else {
      TTrainEntry e;
      e.TrNo = run.Plan.TrNo.empty() ? "(番号なし)" : run.Plan.TrNo;
      e.Why = why;
      refused.push_back(std::move(e));
    }
  }
  for (const std::string& m : mapped) notes.push_back("種別 " + m + " (名前は愛称に残します)");
  plan.Line = brd.LineName;
  plan.Cars = std::move(replacing);
  for (TCarPlan& c : Chain(runs, line, options.TurnSec)) plan.Cars.push_back(std::move(c));
  return TStatus::Ok();
}

namespace {

// The steps of a train taken off the board for a while, to put back when its replacement fails.
struct TTakenTrain {
  int32_t Car = 0;
  std::string TrNo;
  std::vector<TTmTbl> Steps;
};

// Deletes the last train of its set, keeping its steps; false when it is not its set's last.
bool TakeLastTrain(TBrdData& brd, const std::string& no, std::vector<TTakenTrain>& taken) {
  TCarObj* car = brd.FindTrainCar(no, "");
  if (car == nullptr) return false;
  const TTrainRange r = car->FindTrain(no);
  if (r.First < 0 || r.Last != car->TmTbl.Count() - 1) return false;
  TTakenTrain t{car->Id, no, {}};
  for (int32_t i = r.First; i <= r.Last; ++i) t.Steps.push_back(car->TmTbl.At(i));
  if (!brd.TrainDel(no)) return false;
  taken.push_back(std::move(t));
  return true;
}

void PutBack(TBrdData& brd, const TTakenTrain& t) {
  TCarObj* car = brd.FindCar(t.Car, "");
  if (car == nullptr) return;
  for (const TTmTbl& s : t.Steps) car->TmTbl.Add(s);
  brd.TrainReg(t.Car, t.TrNo);
}

// Deletes the line's trains whose numbers the file does not give, each set from its end; a
// train with a kept train after it in its set stays.
void DeleteMissing(TBrdData& brd, const TOudDoc& doc, TOudImportReport& report) {
  std::set<std::string> inFile;
  for (const TOudTrain& t : doc.Dias[0].Trains) inFile.insert(std::string(TrimBlanks(t.No)));
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  std::vector<std::string> missing;
  // The line's trains are those the export writes: two stations or more of the line.
  for (const TTrInfo& info : dia.TrInfo) {
    if (info.CellCount >= 2 && !inFile.count(info.TrNo)) missing.push_back(info.TrNo);
  }
  std::vector<TTakenTrain> gone;
  for (bool more = true; more;) {
    more = false;
    for (auto it = missing.begin(); it != missing.end();) {
      if (TakeLastTrain(brd, *it, gone)) {
        report.Removed.push_back(*it);
        it = missing.erase(it);
        more = true;
      } else {
        ++it;
      }
    }
  }
  for (const std::string& no : missing) {
    report.Kept.push_back(no + ": 編成の途中の列車なので削除できません");
  }
}

// The file's notes onto the trains the line now runs as the file gives them.
void TakeNotes(TBrdData& brd, const TOudDia& dia, TOudImportReport& report) {
  std::set<std::string> kept(report.Unchanged.begin(), report.Unchanged.end());
  for (const TTrainEntry& e : report.Trains) {
    if (e.Entered) kept.insert(e.TrNo);
  }
  for (const TOudTrain& t : dia.Trains) {
    if (!kept.count(t.No)) continue;
    TCarObj* car = brd.FindTrainCar(t.No, "");
    if (car == nullptr) continue;
    const std::string note = OudOwnNote(t);
    std::string old = car->TrNote(t.No);
    if (note == old) continue;
    report.OldNotes.emplace_back(t.No, std::move(old));
    car->SetTrNote(t.No, note);
    brd.Modified = true;
  }
}

// A comment of the file onto the board's note of name; a file without one leaves the note be.
void TakeComment(TNoteMap& notes, const std::string& name, const std::string& comment,
                 std::optional<std::string>& old) {
  const std::string text = NoteText(comment);
  const auto it = notes.find(name);
  std::string before = it == notes.end() ? std::string() : it->second;
  if (text.empty() || text == before) return;
  old = std::move(before);
  SetNote(notes, name, text);
}

}  // namespace

TStatus ImportOud(TBrdData& brd, const TOudDoc& doc, const TOudImportOptions& options,
                  TOudImportReport& report) {
  TLinePlan plan;
  std::vector<TTrainEntry> refused;
  if (TStatus st = PlanOudImport(brd, doc, options, plan, report.Notes, refused, &report.Unchanged);
      !st) {
    return st;
  }
  // Trains replaced make way for their new steps; put back when those are refused.
  std::vector<TTakenTrain> taken;
  for (const TCarPlan& c : plan.Cars) {
    if (c.Car != 0) TakeLastTrain(brd, c.Trains.front().TrNo, taken);
  }
  if (options.DeleteMissing) DeleteMissing(brd, doc, report);
  std::set<int32_t> before;
  for (const auto& [key, c] : brd.Cars) before.insert(c->Id);
  TAutoEntryOptions entry;
  entry.StopAtRefusal = false;
  entry.EveryPlatformFirst = true;
  entry.Progress = options.Progress;
  const TStatus st = EnterLinePlan(brd, plan, entry, report.Trains);
  for (const auto& [key, c] : brd.Cars) {
    if (!before.count(c->Id)) report.NewCars.push_back(c->Id);
  }
  if (!st) {
    UndoOudImport(brd, report);
    report.NewCars.clear();
    for (const TTakenTrain& t : taken) PutBack(brd, t);
    return st;
  }
  for (const TTakenTrain& t : taken) {
    const auto e = std::find_if(report.Trains.begin(), report.Trains.end(),
                                [&](const TTrainEntry& x) { return x.TrNo == t.TrNo; });
    if (e != report.Trains.end() && e->Entered) {
      report.Updated.push_back(t.TrNo);
    } else {
      PutBack(brd, t);
      if (e != report.Trains.end()) e->Why += " (元の列車をそのまま残しました)";
    }
  }
  // A file of whole minutes (every .oud) is kept when a train is within the minute it gives.
  const int32_t tolerance = WholeMinutes(doc.Dias[0]) ? 59 : 0;
  for (TTrainEntry& e : report.Trains) {
    if (e.Entered && e.Late <= tolerance) {
      e.Late = 0;
      e.Why.clear();
    }
    report.OnTime += e.Entered && e.Late == 0;
    report.Late += e.Entered && e.Late > 0;
    report.Refused += !e.Entered;
  }
  report.Refused += static_cast<int32_t>(refused.size());
  for (TTrainEntry& e : refused) report.Trains.push_back(std::move(e));
  TakeNotes(brd, doc.Dias[0], report);
  TakeComment(brd.LineNotes, brd.LineName, doc.Comment, report.OldLineNote);
  TakeComment(brd.DiaNotes, brd.Dias[brd.ActiveDia].Name, doc.Dias[0].Comment, report.OldDiaNote);
  return TStatus::Ok();
}

void UndoOudImport(TBrdData& brd, const TOudImportReport& report) {
  for (const int32_t id : report.NewCars) brd.CarDel(id);
  for (const auto& [no, note] : report.OldNotes) {
    if (TCarObj* car = brd.FindTrainCar(no, "")) car->SetTrNote(no, note);
  }
  if (report.OldLineNote) SetNote(brd.LineNotes, brd.LineName, *report.OldLineNote);
  if (report.OldDiaNote) SetNote(brd.DiaNotes, brd.Dias[brd.ActiveDia].Name, *report.OldDiaNote);
}

std::vector<std::string> TOudImportReport::Lines() const {
  std::vector<std::string> out = Notes;
  for (const TTrainEntry& e : Trains) {
    if (!e.Entered) {
      out.push_back("列車 " + e.TrNo + ": 入れられません: " + e.Why);
    } else if (e.Late > 0) {
      out.push_back("列車 " + e.TrNo + ": " + DurText(e.Late) + "遅れで入れました: " + e.Why);
    } else {
      out.push_back("列車 " + e.TrNo + ": 時刻どおり入れました");
    }
  }
  for (const std::string& no : Removed) out.push_back("列車 " + no + ": 削除しました");
  for (const std::string& k : Kept) out.push_back("列車 " + k);
  out.push_back("時刻どおり " + IntText(OnTime) + "本、遅れ " + IntText(Late) +
                "本、入れられない列車 " + IntText(Refused) + "本、新しい編成 " +
                IntText(static_cast<int64_t>(NewCars.size())) + "本");
  if (!Unchanged.empty() || !Updated.empty() || !Removed.empty() || !Kept.empty()) {
    const int64_t entered = OnTime + Late;
    out.push_back("変更なし " + IntText(static_cast<int64_t>(Unchanged.size())) + "本、更新 " +
                  IntText(static_cast<int64_t>(Updated.size())) + "本、追加 " +
                  IntText(entered - static_cast<int64_t>(Updated.size())) + "本、削除 " +
                  IntText(static_cast<int64_t>(Removed.size())) + "本、入れられない列車 " +
                  IntText(Refused) + "本");
  }
  return out;
}

}  // namespace ramvel
