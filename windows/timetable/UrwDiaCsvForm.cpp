// The diagram editor's grid written as CSV (ファイル › CSVとして書き出し).
#include <QMenu>
#include <QMenuBar>
#include <filesystem>

#include "foundation/UrwTextRec.h"
#include "foundation/UrwUiHost.h"
#include "timetable/UrwDiaCsv.h"
#include "windows/timetable/UrwDiaEditorForm.h"

namespace ramvel {

// UTF-8 with a byte-order mark, so that spreadsheet programs set to Japanese read the station
// names right; the columns are those of ramvel-cli timetable --csv.
void TFrmDiaEditor::MnuCsvClick() {
  if (!Ed) return;
  const std::string suggested = PathJoin(BrdFolder, Ed->Brd().LineName + ".csv");
  const auto file = UiHost().SaveFileDialog("CSVとして書き出し", suggested, "CSV ファイル|*.csv");
  if (!file) return;
  const std::string path = std::filesystem::path(*file).has_extension() ? *file : *file + ".csv";
  const TDiaObj& dia = Ed->Dia;
  const std::string csv =
      "\xEF\xBB\xBF" + CsvText(DiaGridRows(dia, Ed->LineStaNames, *dia.ViewOrder));
  if (const TStatus st = WriteFileAtomic(path, csv, path); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  ShowMsgBox(kCapNotice, "CSV を書き出しました: " + path + "\n列車 " +
                             IntText(static_cast<int64_t>(dia.ViewOrder->size())) + " 本");
}

}  // namespace ramvel
