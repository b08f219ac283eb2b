// ramvel-cli timetable: a line's diagram as text or CSV, in the diagram editor's order.
#include "cli/UrwCli.h"
#include "cli/UrwCliBoard.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel::cli {

namespace {

std::string Trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a);
}

std::string Tm(int32_t t) { return t < 0 ? std::string() : Trimmed(TimeToText(t, true)); }

// The cell as the editor shows it: the departure alone at the origin, "arr=" at a pass,
// "arr/dep" at a stop, "arr/" at the terminal; then "#" and the platform.
std::string CellText(const TDiaObj& dia, int32_t k, int32_t s) {
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

std::string CsvField(const std::string& f) {
  if (f.find_first_of(",\"\r\n") == std::string::npos) return f;
  std::string out = "\"";
  for (const char ch : f) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

void WriteRow(std::ostream& out, const std::vector<std::string>& fields, bool csv) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out << (csv ? "," : "\t");
    out << (csv ? CsvField(fields[i]) : fields[i]);
  }
  out << (csv ? "\r\n" : "\n");
}

}  // namespace

int RunTimetable(const TArgs& args, std::ostream& out, std::ostream& err) {
  TArgs pos;
  bool csv = false;
  for (const std::string& a : args) {
    if (a == "--csv") {
      csv = true;
    } else {
      pos.push_back(a);
    }
  }
  if (pos.size() < 2 || pos.size() > 3 || (pos.size() == 3 && pos[2] != "down" && pos[2] != "up")) {
    err << "ramvel-cli: timetable needs BOARD LINE [down|up] [--csv]\n";
    return 2;
  }
  auto board = OpenBoard(pos[0], err);
  if (!board) return 2;
  TBrdData& brd = board->Brd;
  const std::string line = FindLineName(board->Folder, pos[1], err);
  if (line.empty()) return 2;
  TStatus st = brd.SetLine(line);
  if (st) st = brd.LoadLine(board->Folder);
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 2;
  }
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  dia.MakeDirOrders();
  const bool up = pos.size() == 3 && pos[2] == "up";
  std::vector<std::string> header{"列車番号", "種別"};
  for (const std::string& id : brd.LineStas) {
    const TStaObj* sta = brd.FindSta(id, "");
    header.push_back(sta ? sta->Name : id);
  }
  WriteRow(out, header, csv);
  for (const TOrderEntry& e : up ? dia.NoboriOrder : dia.KudariOrder) {
    std::vector<std::string> row{e.TrNo, dia.TrInfo[static_cast<size_t>(e.Tr)].TrKind};
    for (int32_t s = 0; s < dia.StaCount; ++s) row.push_back(CellText(dia, e.Tr, s));
    WriteRow(out, row, csv);
  }
  return 0;
}

}  // namespace ramvel::cli
