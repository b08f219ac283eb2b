// The diagram editor's ファイル menu: the line's timetable written to and read from OuDia files.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "foundation/UrwTextRec.h"
#include "interop/UrwOudExport.h"
#include "interop/UrwOudImport.h"
#include "timetable/UrwDiaEditorForm.h"

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
  if (st) st = ImportOud(brd, doc, TOudImportOptions{}, report);
  if (!st) {
    ShowMsgBox(kCapError, "読み込めませんでした。ボードは変更していません。\n" + st.Msg());
    return;
  }
  if (!AskYesNo(kCapConfirm, ConfirmText(report))) {
    UndoOudImport(brd, report);
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
