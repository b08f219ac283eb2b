// An OuDia file's timetables and kinds carried onto a board, and the Shift-JIS check of its
// texts made before anything is changed.
#include "interop/UrwOudDias.h"

#include <algorithm>

#include "engine/UrwBrdDias.h"
#include "engine/UrwBrdKinds.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace {

bool HasCp932(const std::string& s) {
  std::string cp932;
  return Utf8ToCp932(s, cp932);
}

TStatus NoCp932(const std::string& what, const std::string& field, const std::string& text) {
  return TStatus::Error(what + "の" + field + "「" + text +
                        "」にShift-JISで書けない文字があります。ボードには何も作っていません");
}

std::string TrainWhat(const TOudDia& dia, const TOudTrain& t, size_t index) {
  const std::string no = t.No.empty() ? IntText(static_cast<int64_t>(index + 1)) + "番目の列車"
                                      : "列車 " + t.No;
  return "ダイヤ「" + dia.Name + "」の" + (t.Nobori ? "上り" : "下り") + no;
}

TStatus CheckTrain(const TOudDia& dia, const TOudTrain& t, size_t index) {
  const std::pair<const char*, const std::string*> fields[] = {
      {"列車番号", &t.No}, {"列車名", &t.Name}, {"号数", &t.Gou}, {"備考", &t.Note}};
  for (const auto& [field, text] : fields) {
    if (!HasCp932(*text)) return NoCp932(TrainWhat(dia, t, index), field, *text);
  }
  return TStatus::Ok();
}

}  // namespace

std::string BoardKindName(const TOudKind& k) {
  std::string out;
  for (size_t i = 0; i < k.Name.size(); ++i) {
    if (k.Name[i] == ' ' || k.Name[i] == '\t') continue;
    if (k.Name.compare(i, 3, "　") == 0) {
      i += 2;
      continue;
    }
    out += k.Name[i];
  }
  return out;
}

TStatus CheckOudShiftJis(const TOudDoc& doc) {
  if (!HasCp932(doc.LineName)) return NoCp932("路線", "名前", doc.LineName);
  if (!HasCp932(doc.Comment)) return NoCp932("ファイル", "コメント", doc.Comment);
  for (const TOudStation& s : doc.Stations) {
    if (!HasCp932(s.Name)) return NoCp932("駅", "名前", s.Name);
  }
  for (const TOudKind& k : doc.Kinds) {
    if (!HasCp932(k.Name)) return NoCp932("種別", "名前", k.Name);
  }
  for (const TOudDia& d : doc.Dias) {
    if (!HasCp932(d.Name)) return NoCp932("ダイヤ", "名前", d.Name);
    if (!HasCp932(d.Comment)) return NoCp932("ダイヤ「" + d.Name + "」", "コメント", d.Comment);
    for (size_t i = 0; i < d.Trains.size(); ++i) {
      if (TStatus st = CheckTrain(d, d.Trains[i], i); !st) return st;
    }
  }
  return TStatus::Ok();
}

std::string NearestTrainType(const std::string& kindName) {
  for (const std::string_view t : kTrainTypes) {
    if (t == kindName) return kindName;
  }
  static const std::pair<const char*, const char*> kNearest[] = {
      {"回送", "回送"}, {"特", "特急"}, {"準急", "準急"}, {"急", "急行"},
      {"快", "快速"},   {"回", "回送"}};
  for (const auto& [part, nearest] : kNearest) {
    if (kindName.find(part) != std::string::npos) return nearest;
  }
  return "普通";
}

std::vector<TKindDef> OudKindTable(const TOudDoc& doc) {
  std::vector<TKindDef> out;
  for (const TOudKind& k : doc.Kinds) {
    const std::string name = BoardKindName(k);
    const bool seen = std::any_of(out.begin(), out.end(), [&](const TKindDef& d) {
      return d.Name == name;
    });
    if (name.empty() || seen) continue;
    out.push_back(TKindDef{name, static_cast<int32_t>(k.Color & 0xFFFFFF), NearestTrainType(name)});
  }
  if (out == BuiltInKinds()) out.clear();
  return out;
}

TStatus MergeOudKinds(TBrdData& brd, const TOudDoc& doc, std::vector<std::string>& notes) {
  std::vector<TKindDef> table = KindTable(brd);
  std::vector<std::string> added;
  for (const TKindDef& k : OudKindTable(doc)) {
    const bool known = std::any_of(table.begin(), table.end(), [&](const TKindDef& d) {
      return d.Name == k.Name;
    });
    if (known) continue;
    table.push_back(k);
    added.push_back(k.Name);
  }
  if (added.empty()) return TStatus::Ok();
  if (TStatus st = CheckKinds(table); !st) return st;
  brd.Kinds = std::move(table);
  for (const std::string& name : added) notes.push_back("種別「" + name + "」を加えました");
  return TStatus::Ok();
}

TOudDoc OudWithOneDia(const TOudDoc& doc, size_t k) {
  TOudDoc out;
  out.Second = doc.Second;
  out.FileType = doc.FileType;
  out.LineName = doc.LineName;
  out.Stations = doc.Stations;
  out.Kinds = doc.Kinds;
  out.StartTime = doc.StartTime;
  out.Comment = doc.Comment;
  if (k < doc.Dias.size()) out.Dias.push_back(doc.Dias[k]);
  return out;
}

int32_t FindOudDia(const TOudDoc& doc, const std::string& name) {
  for (size_t k = 0; k < doc.Dias.size(); ++k) {
    if (SameNoCase(doc.Dias[k].Name, name)) return static_cast<int32_t>(k);
  }
  return -1;
}

std::string OudDiaNames(const TOudDoc& doc) {
  std::string out;
  for (const TOudDia& d : doc.Dias) out += (out.empty() ? "" : "、") + d.Name;
  return out;
}

namespace {

// The board's timetable that file timetable k goes into: the board's own for the first, a new
// one for every other.
TStatus DiaFor(TBrdData& brd, const TOudDoc& doc, size_t k, size_t& at,
               std::vector<std::string>& notes) {
  const std::string& name = doc.Dias[k].Name;
  at = 0;
  if (k == 0) {
    if (!name.empty() && !brd.RenameDia(0, name)) {
      notes.push_back("ダイヤ名「" + name + "」は使えないため「" + brd.Dias[0].Name + "」にしました");
    }
    return TStatus::Ok();
  }
  TStatus st = brd.AddDia(name, false, at);
  const std::string fallback = "ダイヤ" + IntText(static_cast<int64_t>(k + 1));
  for (int32_t n = 1; !st && n <= 10; ++n) {
    st = brd.AddDia(n == 1 ? fallback : fallback + "-" + IntText(n), false, at);
    if (st) notes.push_back("ダイヤ名「" + name + "」は使えないため「" + brd.Dias[at].Name + "」にしました");
  }
  return st;
}

}  // namespace

TStatus ImportOudAllDias(TBrdData& brd, const TOudDoc& doc, const TOudImportOptions& options,
                         std::vector<TOudDiaReport>& reports) {
  brd.Kinds = OudKindTable(doc);
  if (TStatus st = CheckKinds(brd.Kinds); !st) return st;
  for (size_t k = 0; k < doc.Dias.size(); ++k) {
    std::vector<std::string> notes;
    size_t at = 0;
    if (TStatus st = DiaFor(brd, doc, k, at, notes); !st) return st;
    brd.SelectDia(at);
    TOudDiaReport r;
    r.Name = brd.Dias[brd.ActiveDia].Name;
    TOudImportOptions one = options;  // progress runs once over all the timetables
    if (options.Progress) {
      const double n = static_cast<double>(doc.Dias.size());
      one.Progress = [&options, k, n](double share) {
        return options.Progress((static_cast<double>(k) + share) / n);
      };
    }
    if (TStatus st = ImportOud(brd, OudWithOneDia(doc, k), one, r.Report); !st) return st;
    r.Report.Notes.insert(r.Report.Notes.begin(), notes.begin(), notes.end());
    reports.push_back(std::move(r));
  }
  brd.SelectDia(0);
  return TStatus::Ok();
}

TStatus PickOudDia(const TBrdData& brd, const TOudDoc& doc, const std::string& wanted, size_t& k,
                   std::string& note) {
  if (doc.Dias.empty()) return TStatus::Error("OuDiaファイルにダイヤがありません");
  int32_t at = FindOudDia(doc, wanted.empty() ? brd.Dias[brd.ActiveDia].Name : wanted);
  if (at < 0 && !wanted.empty() && doc.Dias.size() > 1) {
    return TStatus::Error("OuDiaファイルにダイヤ「" + wanted + "」がありません（" +
                          OudDiaNames(doc) + "）");
  }
  k = at < 0 ? 0 : static_cast<size_t>(at);
  if (doc.Dias.size() > 1) {
    note = "ダイヤ「" + doc.Dias[k].Name + "」を読み込みます（ファイルのダイヤ: " +
           OudDiaNames(doc) + "）";
  }
  return TStatus::Ok();
}

}  // namespace ramvel
