// The board's kind table: the built-in kinds, the table's keys in Board.txt and the kind a
// train's kind text names.
#include "engine/UrwBrdKinds.h"

#include <algorithm>
#include <map>
#include <set>

namespace ramvel {

namespace {

constexpr const char* kKindCountKey = "KIND_COUNT";
constexpr const char* kKindKey = "KIND";

bool IsType(std::string_view s) {
  for (const std::string_view t : kTrainTypes) {
    if (t == s) return true;
  }
  return false;
}

bool HasBlank(std::string_view s) {
  return s.find(' ') != std::string_view::npos || s.find("　") != std::string_view::npos ||
         s.find('\t') != std::string_view::npos;
}

}  // namespace

const std::vector<TKindDef>& BuiltInKinds() {
  static const std::vector<TKindDef> kinds = {
      {"普通", 0x000000, "普通"}, {"快速", 0x0080FF, "快速"}, {"準急", 0x008000, "準急"},
      {"急行", 0xFF0000, "急行"}, {"特急", 0x0000FF, "特急"}, {"回送", 0x808080, "回送"}};
  return kinds;
}

const std::vector<TKindDef>& KindTable(const TBrdData& brd) {
  return brd.Kinds.empty() ? BuiltInKinds() : brd.Kinds;
}

int32_t KindIndexOf(const std::vector<TKindDef>& table, std::string_view kindText) {
  const TTrainKind k = SplitTrainKind(kindText);
  const std::string_view nick = k.Nick;
  const std::string_view first = nick.substr(0, nick.find(' '));
  const auto find = [&](auto pred) -> int32_t {
    for (size_t i = 0; i < table.size(); ++i) {
      if (pred(table[i])) return static_cast<int32_t>(i);
    }
    return -1;
  };
  int32_t at = -1;
  if (!first.empty()) {
    at = find([&](const TKindDef& d) { return d.Name == first && (k.Type.empty() || d.Type == k.Type); });
  }
  if (at < 0 && !k.Type.empty()) at = find([&](const TKindDef& d) { return d.Name == k.Type; });
  if (at < 0 && !k.Type.empty()) at = find([&](const TKindDef& d) { return d.Type == k.Type; });
  return at;
}

std::string KindTextOf(const TKindDef& kind) {
  return kind.Name == kind.Type ? kind.Type : kind.Type + " " + kind.Name;
}

TStatus CheckKinds(const std::vector<TKindDef>& kinds) {
  if (kinds.size() > static_cast<size_t>(kMaxKinds)) {
    return TStatus::Error("種別が多すぎます（" + IntText(kMaxKinds) + "まで）");
  }
  std::set<std::string> seen;
  for (const TKindDef& d : kinds) {
    std::string cp932;
    if (d.Name.empty()) return TStatus::Error("名前のない種別があります");
    if (HasBlank(d.Name)) return TStatus::Error("種別「" + d.Name + "」の名前に空白があります");
    if (!Utf8ToCp932(d.Name, cp932)) {
      return TStatus::Error("種別「" + d.Name + "」の名前にShift-JISで書けない文字があります");
    }
    if (!seen.insert(d.Name).second) return TStatus::Error("種別「" + d.Name + "」が2度あります");
    if (!IsType(d.Type)) {
      return TStatus::Error("種別「" + d.Name + "」の扱い「" + d.Type + "」は列車の種別ではありません");
    }
    if (d.Color < 0 || d.Color > 0xFFFFFF) {
      return TStatus::Error("種別「" + d.Name + "」の色が正しくありません");
    }
  }
  return TStatus::Ok();
}

void ReadKindKeys(TRecReader& rd, std::vector<TKindDef>& kinds) {
  kinds.clear();
  if (!rd.Has(kKindCountKey)) return;
  const int32_t n = rd.Count(kKindCountKey, kMaxKinds);
  std::vector<TKindDef> out;
  for (int32_t i = 1; i <= n && !rd.Failed(); ++i) {
    const std::string key = CountedKey(kKindKey, i);
    const std::vector<std::string> items = rd.List(key, 3, 3);
    if (rd.Failed()) break;
    out.push_back(TKindDef{items[0], rd.IntItem(items, 2, key), items[1]});
  }
  if (rd.Failed()) return;
  if (TStatus st = CheckKinds(out); !st) {
    rd.Fail(kKindCountKey, ": " + st.Msg());
    return;
  }
  kinds = std::move(out);
}

void AddKindKeys(const std::vector<TKindDef>& kinds, TextRec& rec) {
  if (kinds.empty()) return;
  rec.Add(kKindCountKey, IntText(static_cast<int64_t>(kinds.size())));
  for (size_t i = 0; i < kinds.size(); ++i) {
    const TKindDef& d = kinds[i];
    rec.Add(CountedKey(kKindKey, static_cast<int32_t>(i + 1)),
            JoinList({d.Name, d.Type, IntText(d.Color)}));
  }
}

}  // namespace ramvel

namespace ramvel {

namespace {

// Calls f(dia name, train set, header step index) for every train of every timetable; f returns
// false to stop.
template <typename TBrd, typename F>
void ForEachTrain(TBrd& brd, F f) {
  for (size_t d = 0; d < brd.Dias.size(); ++d) {
    auto& cars = d == brd.ActiveDia ? brd.Cars : brd.Dias[d].Cars;
    for (auto& [key, car] : cars) {
      for (int32_t i = 1; i < car->TmTbl.Count(); ++i) {
        const std::string& txt = car->TmTbl.At(i).Txt;
        if (txt.find(',') == std::string::npos) continue;
        if (!f(brd.Dias[d].Name, *car, i)) return;
      }
    }
  }
}

// The kind text of a train of kind from when it becomes kind to: the nickname after the kind's
// own name is kept.
std::string MovedKindText(const TKindDef& from, const TKindDef& to, std::string_view text) {
  std::string nick = SplitTrainKind(text).Nick;
  if (from.Name != from.Type && nick.rfind(from.Name, 0) == 0 &&
      (nick.size() == from.Name.size() || nick[from.Name.size()] == ' ')) {
    nick.erase(0, std::min(nick.size(), from.Name.size() + 1));
  }
  if (to.Name != to.Type) nick = nick.empty() ? to.Name : to.Name + " " + nick;
  return TrainKindText({to.Type, nick});
}

}  // namespace

std::vector<TKindEdit> KindEditRows(const TBrdData& brd) {
  std::vector<TKindEdit> rows;
  const std::vector<TKindDef>& table = KindTable(brd);
  for (size_t i = 0; i < table.size(); ++i) rows.push_back({table[i], static_cast<int32_t>(i)});
  return rows;
}

std::string TrainOfKind(const TBrdData& brd, size_t k) {
  const std::vector<TKindDef>& table = KindTable(brd);
  std::string found;
  ForEachTrain(brd, [&](const std::string& dia, const TCarObj& car, int32_t i) {
    const std::string& txt = car.TmTbl.At(i).Txt;
    if (KindIndexOf(table, TextAfter(txt, ',')) != static_cast<int32_t>(k)) return true;
    found = "列車 " + TextBefore(txt, ",") + "（ダイヤ「" + dia + "」）";
    return false;
  });
  return found;
}

TStatus ApplyKindEdits(TBrdData& brd, const std::vector<TKindEdit>& rows, int32_t& changed) {
  changed = 0;
  const std::vector<TKindDef> old = KindTable(brd);
  std::vector<TKindDef> table;
  std::vector<int32_t> to(old.size(), -1);  // old index -> new index
  for (size_t j = 0; j < rows.size(); ++j) {
    table.push_back(rows[j].Kind);
    const int32_t from = rows[j].From;
    if (from >= 0 && static_cast<size_t>(from) < old.size()) to[static_cast<size_t>(from)] = static_cast<int32_t>(j);
  }
  if (TStatus st = CheckKinds(table); !st) return st;
  if (table.empty()) return TStatus::Error("種別が一つもありません");
  for (size_t k = 0; k < old.size(); ++k) {
    if (to[k] >= 0) continue;
    if (const std::string tr = TrainOfKind(brd, k); !tr.empty()) {
      return TStatus::Error("種別「" + old[k].Name + "」は" + tr + "が使っているため削除できません");
    }
  }
  // Every train's new kind text is worked out against the old table before any is written.
  std::map<TCarObj*, std::vector<std::pair<int32_t, std::string>>> moves;
  ForEachTrain(brd, [&](const std::string&, TCarObj& car, int32_t i) {
    const std::string& txt = car.TmTbl.At(i).Txt;
    const std::string kindText = TextAfter(txt, ',');
    const int32_t k = KindIndexOf(old, kindText);
    if (k < 0 || to[static_cast<size_t>(k)] < 0) return true;
    const TKindDef& from = old[static_cast<size_t>(k)];
    const TKindDef& dest = table[static_cast<size_t>(to[static_cast<size_t>(k)])];
    if (from.Name == dest.Name && from.Type == dest.Type) return true;
    moves[&car].emplace_back(i, TextBefore(txt, ",") + "," + MovedKindText(from, dest, kindText));
    ++changed;
    return true;
  });
  // The steps are set again in their order: headers keep their times, so the order stays.
  for (auto& [car, headers] : moves) {
    std::vector<TTmTbl> steps = car->TmTbl.Items();
    for (auto& [i, txt] : headers) steps[static_cast<size_t>(i)].Txt = std::move(txt);
    car->TmTbl.Clear();
    for (const TTmTbl& st : steps) car->TmTbl.Add(st);
  }
  if (table == BuiltInKinds()) table.clear();
  if (table == brd.Kinds && moves.empty()) return TStatus::Ok();
  brd.Kinds = std::move(table);
  brd.Modified = true;
  return TStatus::Ok();
}

}  // namespace ramvel
