// ramvel-cli timetable: a line's diagram as text or CSV, in the diagram editor's order.
#include "cli/UrwCli.h"
#include "cli/UrwCliBoard.h"
#include "timetable/UrwDiaCsv.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel::cli {

namespace {

void WriteTabRow(std::ostream& out, const TTextRow& fields) {
  for (size_t i = 0; i < fields.size(); ++i) out << (i > 0 ? "\t" : "") << fields[i];
  out << "\n";
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
  if (!OpenLine(*board, pos[1], err)) return 2;
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  dia.MakeDirOrders();
  const bool up = pos.size() == 3 && pos[2] == "up";
  std::vector<std::string> names;
  for (const std::string& id : brd.LineStas) {
    const TStaObj* sta = brd.FindSta(id, "");
    names.push_back(sta ? sta->Name : id);
  }
  const std::vector<TTextRow> rows =
      DiaGridRows(dia, names, up ? dia.NoboriOrder : dia.KudariOrder);
  if (csv) {
    out << CsvText(rows);
  } else {
    for (const TTextRow& row : rows) WriteTabRow(out, row);
  }
  return 0;
}

}  // namespace ramvel::cli
