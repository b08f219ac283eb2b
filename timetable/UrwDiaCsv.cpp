// The diagram grid as text rows and CSV.
#include "timetable/UrwDiaCsv.h"

#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace {

// Only leading spaces: the time texts are padded on the left.
std::string DropLeadingSpaces(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a);
}

std::string Tm(int32_t t) { return t < 0 ? std::string() : DropLeadingSpaces(TimeToText(t, true)); }

}  // namespace

std::string DiaCellText(const TDiaObj& dia, int32_t k, int32_t s) {
  if (!dia.HasCell(k, s)) return {};
  const TTmTbl& c = dia.Cell(k, s);
  std::string text;
  if (dia.IsOriginCell(k, s)) {
    text = Tm(c.TmEnd);
  } else if (c.TmStart >= 0 && c.TmStart == c.TmEnd) {
    text = Tm(c.TmStart) + "=";
  } else {
    text = Tm(c.TmStart) + "/" + Tm(c.TmEnd);
  }
  return text + "#" + IntText(SplitEntCode(c.Loc).Slot);
}

std::vector<TTextRow> DiaGridRows(const TDiaObj& dia, const std::vector<std::string>& staNames,
                                  const TOrderList& order) {
  std::vector<TTextRow> rows;
  TTextRow header{"列車番号", "種別"};
  header.insert(header.end(), staNames.begin(), staNames.end());
  rows.push_back(std::move(header));
  for (const TOrderEntry& e : order) {
    const bool known = e.Tr >= 0 && e.Tr < dia.TrCount;
    TTextRow row{e.TrNo, known ? dia.TrInfo[static_cast<size_t>(e.Tr)].TrKind : std::string()};
    for (int32_t s = 0; s < dia.StaCount; ++s) row.push_back(DiaCellText(dia, e.Tr, s));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string CsvField(const std::string& f) {
  if (f.find_first_of(",\"\r\n") == std::string::npos) return f;
  std::string out = "\"";
  for (const char ch : f) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

std::string CsvText(const std::vector<TTextRow>& rows) {
  std::string out;
  for (const TTextRow& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) out += ',';
      out += CsvField(row[i]);
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace ramvel
