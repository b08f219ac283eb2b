// The diagram editor's ファイル menu: the line's timetable written to and read from OuDia files.
#include <QAction>
#include <algorithm>
#include <QMenu>
#include <QMenuBar>

#include "foundation/UrwTextRec.h"
#include "interop/UrwOudDias.h"
#include "interop/UrwOudExport.h"
#include "interop/UrwOudImport.h"
#include "windows/timetable/UrwDiaEditorForm.h"

namespace ramvel {

namespace {

constexpr const char* kOudFilter = "OuDiaSecond (*.oud2)|*.oud2|OuDia (*.oud)|*.oud";
constexpr size_t kShownTrains = 25;  // train lines shown in the confirmation; the rest counted

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && SameNoCase(s.substr(s.size() - tail.size()), tail);
}

// The confirmation text: the notes, the first trains, the totals and the question.
std::string ConfirmText(const TOudImportReport& report) {
  const std::vector<std::string> lines = report.Lines();
  const size_t notes = report.Notes.size();
  const size_t trains = lines.size() - notes - 1;
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    const bool train = i >= notes && i + 1 < lines.size();
    if (train && i - notes >= kShownTrains) continue;
    text += lines[i] + "\n";
    if (train && i - notes + 1 == kShownTrains && trains > kShownTrains) {
      text += "… ほか " + IntText(static_cast<int64_t>(trains - kShownTrains)) + "本\n";
    }
  }
  return text + "\nこの内容で読み込み、ボードを保存しますか？";
}

// The file's timetable to read into the board's active one: asked with the selection dialog
// when the file has several, the one named as the active timetable offered first. An empty
// message when the user cancels.
TStatus ChooseOudDia(const TBrdData& brd, const TOudDoc& doc, size_t& k) {
  std::string note;
  if (TStatus st = PickOudDia(brd, doc, "", k, note); !st || doc.Dias.size() < 2) return st;
  std::vector<std::string> names;
  for (const TOudDia& d : doc.Dias) names.push_back(d.Name.empty() ? "(名前なし)" : d.Name);
  std::rotate(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(k),
              names.begin() + static_cast<std::ptrdiff_t>(k) + 1);
  const auto chosen = UiHost().SelectItem(
      names, "ダイヤ「" + brd.Dias[brd.ActiveDia].Name + "」に読み込むダイヤを選んで下さい", "");
  if (!chosen) return TStatus::Error("");
  const size_t at = *chosen;
  k = at == 0 ? k : (at <= k ? at - 1 : at);
  return TStatus::Ok();
}

}  // namespace

void TFrmDiaEditor::MakeFileMenu() {
  MnuFile = MainMenu1->addMenu(QStringLiteral("ファイル(&F)"));
  MnuOudImport = MnuFile->addAction(QStringLiteral("OuDiaから読み込み(&I)..."));
  MnuOudExport = MnuFile->addAction(QStringLiteral("OuDiaへ書き出し(&E)..."));
  connect(MnuOudImport, &QAction::triggered, this, [this] { MnuOudImportClick(); });
  connect(MnuOudExport, &QAction::triggered, this, [this] { MnuOudExportClick(); });
  MnuFile->addSeparator();
  MnuCsv = MnuFile->addAction(QStringLiteral("CSVとして書き出し(&C)..."));
  MnuCsv->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  connect(MnuCsv, &QAction::triggered, this, [this] { MnuCsvClick(); });
}

void TFrmDiaEditor::MnuOudExportClick() {
  if (!Ed) return;
  TBrdData& brd = Ed->Brd();
  const auto chosen = UiHost().SaveFileDialog("OuDiaへ書き出し",
                                              PathJoin(BrdFolder, brd.LineName + ".oud2"),
                                              kOudFilter);
  if (!chosen) return;
  std::string path = *chosen;
  if (!EndsWithNoCase(path, ".oud") && !EndsWithNoCase(path, ".oud2")) path += ".oud2";
  std::vector<std::string> summary;
  if (const TStatus st = ExportOudFile(brd, path, summary); !st) {
    ShowMsgBox(kCapError, "書き出せませんでした。\n" + st.Msg());
    return;
  }
  std::string text = path + " に書き出しました。";
  if (!summary.empty()) text += "\n\n書き出せなかったもの:";
  for (const std::string& s : summary) text += "\n・" + s;
  ShowMsgBox(kCapNotice, text);
}

void TFrmDiaEditor::MnuOudImportClick() {
  if (!Ed) return;
  TBrdData& brd = Ed->Brd();
  const auto path = UiHost().OpenFileDialog("OuDiaから読み込み", BrdFolder, kOudFilter);
  if (!path) return;
  TOudDoc doc;
  TOudImportReport report;
  TStatus st = LoadOudFile(*path, doc);
  if (st) st = CheckOudShiftJis(doc);
  size_t k = 0;
  if (st) st = ChooseOudDia(brd, doc, k);
  const std::vector<TKindDef> kinds = brd.Kinds;
  if (st) st = MergeOudKinds(brd, doc, report.Notes);
  if (st) st = ImportOud(brd, OudWithOneDia(doc, k), TOudImportOptions{}, report);
  if (!st) {
    brd.Kinds = kinds;
    if (st.Msg().empty()) return;  // the choice was cancelled
    ShowMsgBox(kCapError, "読み込めませんでした。ボードは変更していません。\n" + st.Msg());
    return;
  }
  if (!AskYesNo(kCapConfirm, ConfirmText(report))) {
    UndoOudImport(brd, report);
    brd.Kinds = kinds;
  } else {
    brd.Modified = true;
    if (const TStatus saved = brd.SaveBrd(BrdFolder, true); !saved) {
      ShowMsgBox(kCapError, "読み込んだ列車は残っていますが、ボードを保存できませんでした。\n" +
                                saved.Msg());
    }
  }
  Ed->RebuildDia();
  Ed->ApplyDir();
  RefreshView(true);
}

}  // namespace ramvel
