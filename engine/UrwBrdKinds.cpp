// The board's kind table: the built-in kinds, the table's keys in Board.txt and the kind a
// train's kind text names.
#include "engine/UrwBrdKinds.h"

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
