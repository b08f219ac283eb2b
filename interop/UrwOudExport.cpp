// Export of a line's timetable to OuDia: the grid of the diagram editor turned into stations,
// kinds and EkiJikoku items, and a summary of what the format left out.
#include "interop/UrwOudExport.h"

#include <algorithm>
#include <set>

#include "foundation/UrwCmnDef.h"
#include "engine/UrwBrdKinds.h"
#include "foundation/UrwTextRec.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

namespace {

constexpr int32_t kDayStart = 4 * 3600;  // board times count from 04:00

// The first character of a UTF-8 text: a kind's short name.
std::string FirstChar(const std::string& s) {
  size_t n = 1;
  while (n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) ++n;
  return s.substr(0, std::min(n, s.size()));
}

// A kind of the board's table as the file writes it: its colour (the same 0x00BBGGRR layout),
// dashed for 回送.
TOudKind OudKind(const TKindDef& k) {
  return TOudKind{k.Name, FirstChar(k.Name), static_cast<uint32_t>(k.Color),
                  k.Type == "回送" ? "SenStyle_Hasen" : "SenStyle_Jissen", false};
}

// What the writing lost, counted over the trains.
struct TLosses {
  int32_t Seconds = 0;    // times whose seconds were dropped (.oud)
  int32_t Platforms = 0;  // platform numbers not written (.oud)
  int32_t NoType = 0;     // trains without a type, written as 普通
  int32_t Partial = 0;    // trains that run on other lines too
};

int32_t Clock(int32_t t) { return t < 0 ? -1 : (t + kDayStart) % (24 * 3600); }

TOudStation Station(const TStaObj* sta, size_t slot, size_t count, bool ring) {
  TOudStation s;
  s.Name = sta != nullptr ? sta->Name : "?";
  if (slot + 1 == count) {
    s.Format = "Jikokukeisiki_KudariChaku";
  } else if (slot == 0) {
    s.Format = "Jikokukeisiki_NoboriChaku";
  }
  if (ring && (slot == 0 || slot + 1 == count)) s.Size = "Ekikibo_Syuyou";
  if (sta == nullptr) return s;
  for (const int32_t no : StaPlatforms(*sta)) s.Tracks.push_back(IntText(no) + "番線");
  return s;
}

TOudCell CellOf(const TDiaObj& dia, int32_t k, int32_t s, const std::vector<int32_t>& homes) {
  TOudCell c;
  if (!dia.HasCell(k, s)) return c;
  const TTmTbl& cell = dia.Cell(k, s);
  c.Stop = TOudStop::kStop;
  if (dia.IsOriginCell(k, s)) {
    c.Dep = Clock(cell.TmEnd);
  } else if (cell.TmStart == cell.TmEnd) {
    c.Stop = TOudStop::kPass;
    c.Dep = Clock(cell.TmStart);
  } else {
    c.Arr = Clock(cell.TmStart);
    c.Dep = Clock(cell.TmEnd);
  }
  const auto it = std::find(homes.begin(), homes.end(), SplitEntCode(cell.Loc).Slot);
  if (it != homes.end()) c.Track = static_cast<int32_t>(it - homes.begin());
  return c;
}

void CountLosses(const TOudTrain& t, bool second, TLosses& loss) {
  for (const TOudCell& c : t.Cells) {
    if (second || c.Stop == TOudStop::kNone) continue;
    loss.Seconds += (c.Arr > 0 && c.Arr % 60 != 0) + (c.Dep > 0 && c.Dep % 60 != 0);
    loss.Platforms += c.Track >= 0;
  }
}

// Splits a train's kind text ("type", "type nickname", "type kind nickname") into the index of
// its kind in the board's table and the train's name: the nickname without the kind's name.
void SetKind(const std::vector<TKindDef>& table, const std::string& kindText, TOudTrain& t,
             TLosses& loss) {
  const int32_t at = KindIndexOf(table, kindText);
  std::string nick = SplitTrainKind(kindText).Nick;
  if (at >= 0 && table[static_cast<size_t>(at)].Name != table[static_cast<size_t>(at)].Type) {
    const std::string& name = table[static_cast<size_t>(at)].Name;
    if (nick.rfind(name, 0) == 0) nick = TrimOudName(nick.substr(name.size()));
  }
  t.Name = nick;
  t.Kind = std::max(at, 0);
  loss.NoType += at < 0;
}

TOudTrain TrainOf(TBrdData& brd, const TDiaObj& dia, int32_t k,
                  const std::vector<std::vector<int32_t>>& homes, TLosses& loss) {
  const TTrInfo& info = dia.TrInfo[static_cast<size_t>(k)];
  TOudTrain t;
  t.Nobori = info.Dir < 0;
  t.No = info.TrNo;
  SetKind(KindTable(brd), info.TrKind, t, loss);
  for (int32_t s = 0; s < dia.StaCount; ++s) {
    t.Cells.push_back(CellOf(dia, k, s, homes[static_cast<size_t>(s)]));
  }
  const TCarObj* car = brd.FindTrainCar(info.TrNo, "");
  if (car != nullptr) {
    t.Note = CarNote(car->NCar, car->Spd);
    if (const std::string own = car->TrNote(info.TrNo); !own.empty()) t.Note += " " + own;
    const TTrainRange r = car->FindTrain(info.TrNo);
    if (!info.IsOrigin || r.Last - r.First + 1 != info.CellCount) ++loss.Partial;
  }
  return t;
}

std::vector<std::string> Summary(const TLosses& loss, bool second) {
  std::vector<std::string> out;
  if (loss.Seconds > 0) {
    out.push_back("秒を切り捨てた時刻: " + IntText(loss.Seconds) + "か所 (OuDia形式は分単位)");
  }
  if (loss.Platforms > 0) {
    out.push_back("書き出せなかった番線: " + IntText(loss.Platforms) +
                  "か所 (OuDia形式には番線がありません。.oud2 なら残ります)");
  }
  if (loss.NoType > 0) {
    out.push_back("種別のない列車 " + IntText(loss.NoType) + "本を普通として書き出しました");
  }
  if (loss.Partial > 0) {
    out.push_back("他の路線も走る列車 " + IntText(loss.Partial) +
                  "本は、この路線の区間だけを書き出しました");
  }
  out.push_back(std::string("編成のつながり・色・留置場所は") + (second ? ".oud2" : ".oud") +
                "形式では書き出せません (両数と最高速度は各列車の備考に書きました)");
  return out;
}

std::string NoteOf(const TNoteMap& notes, const std::string& name) {
  const auto it = notes.find(name);
  return it == notes.end() ? std::string() : it->second;
}

}  // namespace

std::vector<int32_t> StaPlatforms(const TStaObj& sta) {
  std::set<int32_t> nos;
  for (const StaRail& r : sta.Rails) {
    if (r.Kind == kRailHome) nos.insert(r.No);
  }
  return {nos.begin(), nos.end()};
}

std::string CarNote(int32_t nCar, int32_t kmh) {
  return IntText(nCar) + "両編成 " + IntText(kmh) + "km/h";
}

const std::vector<std::string>& OudKindNames() {
  static const std::vector<std::string> names = {"普通", "快速", "準急", "急行", "特急", "回送"};
  return names;
}

TOudDoc OudFromLine(TBrdData& brd, bool second, std::vector<std::string>& summary) {
  TOudDoc doc;
  doc.Second = second;
  doc.LineName = brd.LineName;
  doc.StartTime = kDayStart;
  doc.Comment = NoteOf(brd.LineNotes, brd.LineName);
  const size_t n = brd.LineStas.size();
  const bool ring = n > 2 && brd.LineStas.front() == brd.LineStas.back();
  std::vector<std::vector<int32_t>> homes;
  for (size_t s = 0; s < n; ++s) {
    const TStaObj* sta = brd.FindSta(brd.LineStas[s], "");
    doc.Stations.push_back(Station(sta, s, n, ring));
    homes.push_back(sta != nullptr ? StaPlatforms(*sta) : std::vector<int32_t>{});
  }
  for (const TKindDef& k : KindTable(brd)) doc.Kinds.push_back(OudKind(k));
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  dia.MakeDirOrders();
  TLosses loss;
  const std::string& diaName = brd.Dias[brd.ActiveDia].Name;
  doc.Dias.push_back(TOudDia{diaName, {}, NoteOf(brd.DiaNotes, diaName)});
  for (const bool up : {false, true}) {
    for (const TOrderEntry& e : up ? dia.NoboriOrder : dia.KudariOrder) {
      const TTrInfo& info = dia.TrInfo[static_cast<size_t>(e.Tr)];
      // A train of another line that only touches a station of this one is not its train.
      if (info.CellCount < 2 || (info.Dir < 0) != up) continue;
      doc.Dias[0].Trains.push_back(TrainOf(brd, dia, e.Tr, homes, loss));
      CountLosses(doc.Dias[0].Trains.back(), second, loss);
    }
  }
  summary = Summary(loss, second);
  return doc;
}

TStatus ExportOudFile(TBrdData& brd, const std::string& path, std::vector<std::string>& summary) {
  const TOudDoc doc = OudFromLine(brd, IsOud2Path(path), summary);
  std::string bytes;
  if (TStatus st = OudDocBytes(doc, bytes); !st) return TStatus::Error(path + ": " + st.Msg());
  return WriteFileAtomic(path, bytes, path);
}

}  // namespace ramvel
