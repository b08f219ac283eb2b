// The timetable document of OuDia files: read from the node tree and written back to it.
#include <charconv>
#include <cstdio>

#include "foundation/UrwCmnDef.h"
#include "foundation/UrwTextRec.h"
#include "interop/UrwOudFile.h"

namespace ramvel {

namespace {

// Counts a file may hold; beyond them it is refused before anything is allocated for them.
constexpr size_t kMaxStations = 2000;
constexpr size_t kMaxKinds = 1000;
constexpr size_t kMaxTrains = 200000;
constexpr int32_t kDaySec = 24 * 3600;

TStatus LineError(int32_t line, const std::string& what) {
  return TStatus::Error("OuDiaファイルの" + IntText(line) + "行目: " + what);
}

bool ParseHex(std::string_view s, uint32_t& v) {
  if (s.empty() || s.size() > 8) return false;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  return ec == std::errc() && p == s.data() + s.size();
}

bool ParseCount(std::string_view s, int32_t& v) {
  if (s.empty() || s.size() > 9) return false;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size() && v >= 0;
}

std::vector<std::string> Split(std::string_view s, char sep) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t at; (at = s.find(sep, from)) != std::string_view::npos; from = at + 1) {
    out.emplace_back(s.substr(from, at - from));
  }
  out.emplace_back(s.substr(from));
  return out;
}

// ---- Reading ------------------------------------------------------------------------------------


TOudStation ReadStation(const TOudNode& n) {
  TOudStation s;
  s.Name = TrimOudName(n.Get("Ekimei"));
  if (const TOudEntry* e = n.Find("Ekijikokukeisiki")) s.Format = e->Value;
  if (const TOudEntry* e = n.Find("Ekikibo")) s.Size = e->Value;
  for (const TOudEntry& e : n.Entries) {
    if (e.Child.empty() || e.Child.front().Type != "EkiTrack2Cont") continue;
    for (const TOudEntry& t : e.Child.front().Entries) {
      if (!t.Child.empty() && t.Child.front().Type == "EkiTrack2") {
        s.Tracks.push_back(t.Child.front().Get("TrackName"));
      }
    }
  }
  return s;
}

TStatus ReadKind(const TOudNode& n, TOudKind& k) {
  k.Name = TrimOudName(n.Get("Syubetsumei"));
  k.Short = TrimOudName(n.Get("Ryakusyou"));
  if (const TOudEntry* e = n.Find("DiagramSenColor"); e && !ParseHex(e->Value, k.Color)) {
    return LineError(e->Line, "色の値が正しくありません: " + e->Value);
  }
  if (const TOudEntry* e = n.Find("DiagramSenStyle")) k.Style = e->Value;
  k.Bold = n.Get("DiagramSenIsBold") == "1";
  return TStatus::Ok();
}

// One EkiJikoku item: "", "1", "2", "3", "1;T", "1;A/", "1;A/D", "2;T", each optionally with
// "$track".
bool ParseCell(std::string_view item, TOudCell& c) {
  c = TOudCell{};
  if (item.empty()) return true;
  if (const size_t dollar = item.find('$'); dollar != std::string_view::npos) {
    if (!ParseCount(item.substr(dollar + 1), c.Track)) return false;
    item = item.substr(0, dollar);
  }
  const size_t semi = item.find(';');
  const std::string_view code = item.substr(0, semi);
  if (code != "0" && code != "1" && code != "2" && code != "3") return false;
  c.Stop = static_cast<TOudStop>(code[0] - '0');
  if (semi == std::string_view::npos) return true;
  if (c.Stop != TOudStop::kStop && c.Stop != TOudStop::kPass) return false;
  const std::string_view times = item.substr(semi + 1);
  const size_t slash = times.find('/');
  if (slash == std::string_view::npos) return ParseOudTime(times, c.Dep);
  if (!ParseOudTime(times.substr(0, slash), c.Arr)) return false;
  return slash + 1 == times.size() || ParseOudTime(times.substr(slash + 1), c.Dep);
}

TStatus ReadTrain(const TOudNode& n, bool nobori, size_t nSta, size_t nKind, TOudTrain& t) {
  t.Nobori = nobori;
  if (const TOudEntry* e = n.Find("Houkou"); e && e->Value != (nobori ? "Nobori" : "Kudari")) {
    return LineError(e->Line, "列車の方向が置かれた場所と違います: " + e->Value);
  }
  if (const TOudEntry* e = n.Find("Syubetsu")) {
    if (!ParseCount(e->Value, t.Kind) || static_cast<size_t>(t.Kind) >= nKind) {
      return LineError(e->Line, "列車種別の番号が正しくありません: " + e->Value);
    }
  }
  t.No = TrimOudName(n.Get("Ressyabangou"));
  t.Name = TrimOudName(n.Get("Ressyamei"));
  t.Gou = TrimOudName(n.Get("Gousuu"));
  t.Note = n.Get("Bikou");
  t.Cells.assign(nSta, TOudCell{});
  const TOudEntry* e = n.Find("EkiJikoku");
  if (e == nullptr || e->Value.empty()) return TStatus::Ok();  // runs nowhere
  const std::vector<std::string> items = Split(e->Value, ',');
  if (items.size() > nSta) {
    return LineError(e->Line, "駅の数 (" + IntText(static_cast<int64_t>(nSta)) +
                                  ") より多い駅時刻があります");
  }
  for (size_t i = 0; i < items.size(); ++i) {
    const size_t sta = nobori ? nSta - 1 - i : i;
    if (!ParseCell(items[i], t.Cells[sta])) {
      return LineError(e->Line, IntText(static_cast<int64_t>(i + 1)) +
                                    "番目の駅時刻が読めません: " + items[i]);
    }
  }
  return TStatus::Ok();
}

TStatus ReadDia(const TOudNode& n, size_t nSta, size_t nKind, TOudDia& d, size_t& total) {
  d.Name = TrimOudName(n.Get("DiaName"));
  d.Comment = n.Get("Comment");
  for (const char* dir : {"Kudari", "Nobori"}) {
    for (const TOudEntry& e : n.Entries) {
      if (e.Child.empty() || e.Child.front().Type != dir) continue;
      for (const TOudEntry& r : e.Child.front().Entries) {
        if (r.Child.empty() || r.Child.front().Type != "Ressya") continue;
        if (++total > kMaxTrains) return LineError(r.Line, "列車が多すぎます");
        TOudTrain t;
        const bool nobori = dir[0] == 'N';
        if (TStatus st = ReadTrain(r.Child.front(), nobori, nSta, nKind, t); !st) return st;
        d.Trains.push_back(std::move(t));
      }
    }
  }
  return TStatus::Ok();
}

TStatus ReadRosen(const TOudNode& n, TOudDoc& doc) {
  doc.LineName = TrimOudName(n.Get("Rosenmei"));
  doc.Comment = n.Get("Comment");
  if (const TOudEntry* e = n.Find("KitenJikoku"); e && !ParseOudTime(e->Value, doc.StartTime)) {
    return LineError(e->Line, "起点時刻が正しくありません: " + e->Value);
  }
  for (const TOudEntry& e : n.Entries) {
    if (e.Child.empty()) continue;
    const TOudNode& c = e.Child.front();
    if (c.Type == "Eki") {
      if (doc.Stations.size() >= kMaxStations) return LineError(e.Line, "駅が多すぎます");
      doc.Stations.push_back(ReadStation(c));
    } else if (c.Type == "Ressyasyubetsu") {
      if (doc.Kinds.size() >= kMaxKinds) return LineError(e.Line, "列車種別が多すぎます");
      doc.Kinds.emplace_back();
      if (TStatus st = ReadKind(c, doc.Kinds.back()); !st) return st;
    }
  }
  size_t total = 0;
  for (const TOudEntry& e : n.Entries) {
    if (e.Child.empty() || e.Child.front().Type != "Dia") continue;
    doc.Dias.emplace_back();
    const size_t nKind = doc.Kinds.size();
    if (TStatus st = ReadDia(e.Child.front(), doc.Stations.size(), nKind, doc.Dias.back(), total);
        !st) {
      return st;
    }
  }
  return TStatus::Ok();
}

// ---- Writing ------------------------------------------------------------------------------------

std::string HexText(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", v);
  return buf;
}

std::string CellText(const TOudCell& c, bool second) {
  if (c.Stop == TOudStop::kNone) return {};
  std::string s = IntText(static_cast<int32_t>(c.Stop));
  if (c.Arr >= 0 || c.Dep >= 0) {
    s += ";";
    if (c.Arr >= 0) s += OudTimeText(c.Arr, second) + "/";
    if (c.Dep >= 0) s += OudTimeText(c.Dep, second);
  }
  if (second && c.Track >= 0) s += "$" + IntText(c.Track);
  return s;
}

std::string EkiJikokuText(const TOudTrain& t, bool second) {
  std::vector<std::string> items;
  for (size_t i = 0; i < t.Cells.size(); ++i) {
    items.push_back(CellText(t.Cells[t.Nobori ? t.Cells.size() - 1 - i : i], second));
  }
  while (!items.empty() && items.back().empty()) items.pop_back();
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) out += (i > 0 ? "," : "") + items[i];
  return out;
}

// A kind index is written only when it names a kind, so that the file reads back.
void WriteTrain(TOudNode& parent, const TOudTrain& t, bool second, size_t nKind) {
  TOudNode& n = parent.AddNode("Ressya");
  n.Add("Houkou", t.Nobori ? "Nobori" : "Kudari");
  if (t.Kind >= 0 && static_cast<size_t>(t.Kind) < nKind) n.Add("Syubetsu", IntText(t.Kind));
  if (!t.No.empty()) n.Add("Ressyabangou", t.No);
  if (!t.Name.empty()) n.Add("Ressyamei", t.Name);
  if (!t.Gou.empty()) n.Add("Gousuu", t.Gou);
  n.Add("EkiJikoku", EkiJikokuText(t, second));
  if (!t.Note.empty()) n.Add("Bikou", t.Note);
}

void WriteStation(TOudNode& rosen, const TOudStation& s, bool second) {
  TOudNode& n = rosen.AddNode("Eki");
  n.Add("Ekimei", s.Name);
  n.Add("Ekijikokukeisiki", s.Format);
  n.Add("Ekikibo", s.Size);
  if (!second || s.Tracks.empty()) return;
  TOudNode& cont = n.AddNode("EkiTrack2Cont");
  for (const std::string& name : s.Tracks) {
    TOudNode& t = cont.AddNode("EkiTrack2");
    t.Add("TrackName", name);
    t.Add("TrackRyakusyou", name);
  }
}

void WriteKind(TOudNode& rosen, const TOudKind& k) {
  TOudNode& n = rosen.AddNode("Ressyasyubetsu");
  n.Add("Syubetsumei", k.Name);
  if (!k.Short.empty()) n.Add("Ryakusyou", k.Short);
  n.Add("JikokuhyouMojiColor", HexText(k.Color));
  n.Add("JikokuhyouFontIndex", "0");
  n.Add("DiagramSenColor", HexText(k.Color));
  n.Add("DiagramSenStyle", k.Style);
  if (k.Bold) n.Add("DiagramSenIsBold", "1");
}

TOudNode DocTree(const TOudDoc& doc) {
  TOudNode root;
  root.Add("FileType", doc.Second ? "OuDiaSecond.1.07" : "OuDia.1.02");
  TOudNode& rosen = root.AddNode("Rosen");
  rosen.Add("Rosenmei", doc.LineName);
  for (const TOudStation& s : doc.Stations) WriteStation(rosen, s, doc.Second);
  for (const TOudKind& k : doc.Kinds) WriteKind(rosen, k);
  for (const TOudDia& d : doc.Dias) {
    TOudNode& dia = rosen.AddNode("Dia");
    dia.Add("DiaName", d.Name);
    if (!d.Comment.empty()) dia.Add("Comment", d.Comment);
    for (const bool nobori : {false, true}) {
      TOudNode& dir = dia.AddNode(nobori ? "Nobori" : "Kudari");
      for (const TOudTrain& t : d.Trains) {
        if (t.Nobori == nobori) WriteTrain(dir, t, doc.Second, doc.Kinds.size());
      }
    }
  }
  rosen.Add("KitenJikoku", OudTimeText(doc.StartTime, false));
  rosen.Add("DiagramDgrYZahyouKyoriDefault", "60");
  rosen.Add("Comment", doc.Comment);
  root.Add("FileTypeAppComment", "Ramvel");
  return root;
}

}  // namespace

std::string TrimOudName(std::string_view s) {
  constexpr std::string_view kWide = "　";
  for (bool cut = true; cut && !s.empty();) {
    cut = false;
    if (static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1), cut = true;
    if (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1), cut = true;
    if (s.substr(0, kWide.size()) == kWide) s.remove_prefix(kWide.size()), cut = true;
    if (s.size() >= kWide.size() && s.substr(s.size() - kWide.size()) == kWide) {
      s.remove_suffix(kWide.size());
      cut = true;
    }
  }
  return std::string(s);
}

std::string OudTimeText(int32_t t, bool withSec) {
  t = ((t % kDaySec) + kDaySec) % kDaySec;
  std::string s = IntText(t / 3600 * 100 + t / 60 % 60);
  if (s.size() < 3) s.insert(0, 3 - s.size(), '0');
  if (withSec && t % 60 != 0) {
    s += static_cast<char>('0' + t % 60 / 10);
    s += static_cast<char>('0' + t % 10);
  }
  return s;
}

bool ParseOudTime(std::string_view s, int32_t& t) {
  if (s.size() < 3 || s.size() > 6) return false;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
  }
  int32_t v = 0;
  ParseCount(s, v);
  int32_t sec = 0;
  if (s.size() >= 5) {
    sec = v % 100;
    v /= 100;
  }
  const int32_t h = v / 100;
  const int32_t m = v % 100;
  if (m >= 60 || sec >= 60 || h >= 48) return false;
  t = (h * 3600 + m * 60 + sec) % kDaySec;
  return true;
}

TStatus ReadOudDoc(std::string_view bytes, bool second, TOudDoc& doc) {
  std::string text;
  if (TStatus st = DecodeOudBytes(bytes, second, text); !st) return st;
  TOudNode root;
  if (TStatus st = ParseOudTree(text, root); !st) return st;
  TOudDoc out;
  out.FileType = root.Get("FileType");
  if (out.FileType.rfind("OuDia", 0) != 0) {
    return TStatus::Error("OuDiaのファイルではありません (FileType がありません)");
  }
  out.Second = out.FileType.rfind("OuDiaSecond", 0) == 0;
  const TOudEntry* rosen = nullptr;
  for (const TOudEntry& e : root.Entries) {
    if (!e.Child.empty() && e.Child.front().Type == "Rosen" && rosen == nullptr) rosen = &e;
  }
  if (rosen == nullptr) return TStatus::Error("OuDiaファイルに路線 (Rosen.) がありません");
  if (TStatus st = ReadRosen(rosen->Child.front(), out); !st) return st;
  doc = std::move(out);
  return TStatus::Ok();
}

TStatus OudDocBytes(const TOudDoc& doc, std::string& bytes) {
  const std::string text = OudTreeText(DocTree(doc));
  if (doc.Second) {
    bytes = "\xEF\xBB\xBF" + text;
    return TStatus::Ok();
  }
  if (!Utf8ToCp932(text, bytes)) {
    return TStatus::Error("Shift-JIS (CP932) で書けない文字があります");
  }
  return TStatus::Ok();
}

}  // namespace ramvel
