// The main window's exports: the board's timetables as a GTFS feed (GTFSとして書き出し) and the
// board view as a PNG picture (画像として保存).
#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <chrono>
#include <functional>
#include <thread>

#include "interop/UrwGtfsExport.h"
#include "interop/UrwGtfsImport.h"
#include "interop/UrwOudBoard.h"
#include "shell/UrwMain.h"
#include "timetable/UrwDiaEditorUi.h"
#include "view/UrwBrdImage.h"

namespace ramvel {

namespace {

constexpr const char* kCapGtfs = "GTFSとして書き出し";
constexpr const char* kCapImage = "画像として保存";
constexpr const char* kImageView = "表示中の範囲";
constexpr const char* kImageWhole = "ボード全体";

// The chosen file with ext added when the name has no extension (a typed name without one).
std::string WithExt(const std::string& file, const char* ext) {
  return std::filesystem::path(file).has_extension() ? file : file + ext;
}

// "18 m/ピクセル（1020×1170）", the whole board at z metres per pixel.
std::string ScaleItem(const TBrdImageView& v) {
  return IntText(v.MPerP) + " m/ピクセル（" + IntText(v.W) + "×" + IntText(v.H) + "）";
}

}  // namespace

namespace {

// The report of a new board as a box can show it: what the source said first, the plan, the
// trains not entered on time (the first kShownTrains of them) and the totals.
std::string NewOudSummary(const std::vector<std::string>& preface, const TOudBoardReport& r) {
  constexpr size_t kShownTrains = 20;
  const std::vector<std::string> lines = r.Lines();
  std::string text;
  for (const std::string& l : preface) text += l + "\n";
  size_t shown = 0, hidden = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    const bool train = l.rfind("列車 ", 0) == 0;
    if (train && l.find("時刻どおり入れました") != std::string::npos) continue;
    if (train && ++shown > kShownTrains) {
      ++hidden;
      continue;
    }
    text += l + "\n";
  }
  if (hidden > 0) text += "ほか " + IntText(static_cast<int64_t>(hidden)) + "本は省略しました\n";
  return text;
}

// The id of the rail route the user picks from the feed's; nullopt after a message when the feed
// has none or cannot be read, or when the user cancels.
std::optional<std::string> ChooseRailRoute(TGtfsArchive& feed, const std::string& file) {
  std::vector<TGtfsRoute> routes;
  const TStatus st = ListGtfsRailRoutes(feed, routes);
  if (!st || routes.empty()) {
    ShowMsgBox(kCapError, st ? file + " に鉄道の路線がありません" : st.Msg());
    return std::nullopt;
  }
  std::vector<std::string> items;
  for (const TGtfsRoute& r : routes) items.push_back(r.Name + "（" + r.Id + "）");
  const auto chosen = ChooseItem(items, "路線を選んでください");
  if (!chosen) return std::nullopt;
  return routes[static_cast<size_t>(std::find(items.begin(), items.end(), *chosen) - items.begin())]
      .Id;
}

}  // namespace

namespace {

// Runs work on a thread of its own while a progress box with 中止 keeps the window alive; 中止
// asks the work to stop at its next step (its progress function answers false). Returns what
// the work returns.
TStatus RunWithProgress(QWidget* parent, const char* caption,
                        const std::function<TStatus(const TProgressFn&)>& work) {
  std::atomic<int32_t> permille{0};
  std::atomic<bool> stop{false}, done{false};
  TStatus result = TStatus::Ok();
  std::thread worker([&] {
    result = work([&](double share) {
      permille = static_cast<int32_t>(std::clamp(share, 0.0, 1.0) * 1000);
      return !stop.load();
    });
    done = true;
  });
  QProgressDialog box(QStringLiteral("時刻表を読み込んでいます…"), QStringLiteral("中止"), 0, 1000,
                      parent);
  box.setWindowTitle(QString::fromUtf8(caption));
  box.setWindowModality(Qt::WindowModal);
  box.setAutoReset(false);
  box.setAutoClose(false);
  box.setMinimumDuration(0);
  box.setMinimumWidth(360);
  box.show();
  while (!done) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (box.wasCanceled() && !stop) {
      stop = true;
      box.setLabelText(QStringLiteral("中止しています…"));
    }
    box.setValue(permille.load());
    if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  worker.join();
  box.hide();
  return result;
}

}  // namespace

void TFrmMain::MnuNewOudClick() {
  constexpr const char* kCap = "OuDiaから新規作成";
  if (!ConfirmDiscard()) return;
  const auto file = UiHost().OpenFileDialog(kCap, BaseDir, "OuDia (*.oud;*.oud2)|*.oud;*.oud2");
  if (!file) return;
  TOudDoc doc;
  if (const TStatus st = LoadOudFile(*file, doc); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  NewBoardFromDoc(kCap, doc, {});
}

// The feed, one of its rail routes and the service day are asked in turn; the route's timetable
// then goes the way of an OuDia file.
void TFrmMain::MnuNewGtfsClick() {
  constexpr const char* kCap = "GTFSから新規作成";
  if (!ConfirmDiscard()) return;
  const auto file = UiHost().OpenFileDialog(kCap, BaseDir, "GTFS フィード (*.zip)|*.zip");
  if (!file) return;
  TGtfsArchive feed;
  TStatus st = feed.OpenFile(*file);
  const auto route = st ? ChooseRailRoute(feed, *file) : std::nullopt;
  if (!st) ShowMsgBox(kCapError, st.Msg());
  if (!route) return;
  TGtfsImportOptions options;
  options.RouteId = *route;
  // The route is read once for the day with the most trips, which the day box then offers.
  TOudDoc doc;
  TGtfsImportInfo info;
  if (st = ReadGtfsRoute(feed, options, doc, info); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  const auto date = UiHost().InputBox(kCap, "運行日 YYYYMMDD（空欄: 便のいちばん多い日）", info.Date);
  if (!date) return;
  options.Date = std::string(TrimBlanks(ToHalfWidth(*date)));
  if (!options.Date.empty() && !IsGtfsDate(options.Date)) {
    ShowMsgBox(kCapError, "運行日 " + *date + " は YYYYMMDD 形式の日付ではありません");
    return;
  }
  if (!options.Date.empty() && options.Date != info.Date) {
    if (st = ReadGtfsRoute(feed, options, doc, info); !st) {
      ShowMsgBox(kCapError, st.Msg());
      return;
    }
  }
  options.Date = info.Date;
  NewBoardFromDoc(kCap, doc, info.Lines(options, doc));
}

void TFrmMain::NewBoardFromDoc(const char* cap, const TOudDoc& doc,
                               const std::vector<std::string>& preface) {
  TStaPanels panels;
  if (const TStatus st = panels.Load(DataDir); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  const auto name = UiHost().InputBox(cap, "ボード名を入力して下さい", doc.LineName);
  if (!name || name->empty()) return;
  std::string path;
  TStatus st = MakeBrdFolder(BaseDir, *name, path);
  if (!st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  TOudBoardReport report;
  st = RunWithProgress(this, cap, [&](const TProgressFn& progress) {
    TOudImportOptions options;
    options.Progress = progress;
    return MakeOudBoard(panels, doc, path, options, report);
  });
  if (!st) {
    RemoveBrdFolder(path);  // still the empty folder made above
    if (st.Msg() != kWorkCancelled) ShowMsgBox(kCapError, st.Msg());
    return;
  }
  RunClock(false);
  SetupView();
  BrdBase = BaseDir;
  if (!LoadChosenBrd(*name)) {
    LeaveNoBoard();
    return;
  }
  FinishOpen(*name, false);
  ShowMsgBox(kCapNotice, NewOudSummary(preface, report));
}

// The file, the origin, the first day of service and the days of each timetable are asked in
// turn; every answer is checked before anything is written.
void TFrmMain::MnuGtfsClick() {
  if (Edit.Brd.BrdName.empty()) return;
  const auto file = UiHost().SaveFileDialog(kCapGtfs, BaseDir + Edit.Brd.BrdName + "_gtfs.zip",
                                            "GTFS フィード (zip)|*.zip");
  if (!file) return;
  const auto origin = UiHost().InputBox(kCapGtfs, "ボード左上隅の緯度,経度（度）", GtfsOrigin);
  if (!origin) return;
  TGtfsOptions opt;
  TStatus st = ParseGtfsOrigin(*origin, opt.OriginLat, opt.OriginLon);
  const std::vector<TGtfsTimetable> timetables = GtfsTimetables(Edit.Brd);
  if (!st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  GtfsOrigin = *origin;
  const auto start = UiHost().InputBox(kCapGtfs, "運行開始日 YYYYMMDD（365日分）", GtfsStart);
  if (!start) return;
  opt.StartDate = std::string(TrimBlanks(ToHalfWidth(*start)));
  for (const TGtfsTimetable& tt : timetables) {
    const auto days = UiHost().InputBox(
        kCapGtfs, "ダイヤ「" + tt.Name + "」の運行日（月〜日の 0/1 7桁、祝日も走るなら末尾に H）",
        GtfsDaysText(DefaultGtfsDays(tt.Name)));
    if (!days) return;
    if (st = ParseGtfsDays(std::string(TrimBlanks(ToHalfWidth(*days))), opt.Days[tt.Name]); !st) {
      ShowMsgBox(kCapError, st.Msg());
      return;
    }
  }
  const std::string path = WithExt(*file, ".zip");
  TGtfsSummary sum;
  st = ExportGtfs(Edit.Brd, Edit.View.BrdPath, opt, path, sum);
  if (!st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  GtfsStart = opt.StartDate;
  ShowMsgBox(kCapNotice, GtfsSummaryText(sum, path));
}

// The current view is saved as shown; the whole board is drawn anew at the chosen scale (only
// scales whose picture stays within kMaxImageSide are offered) and the view drawn back after.
void TFrmMain::MnuImageClick() {
  if (Edit.Brd.BrdName.empty()) return;
  const auto what = ChooseItem({kImageView, kImageWhole}, "保存する範囲を選んでください");
  if (!what) return;
  TBrdImageView whole;
  if (*what == kImageWhole) {
    std::vector<std::string> items;
    std::vector<TBrdImageView> views;
    for (const int32_t z : kZooms) {
      const TBrdImageView v = WholeBoardView(Edit, z);
      if (v.W < 1 || v.H < 1 || v.W > kMaxImageSide || v.H > kMaxImageSide) continue;
      items.push_back(ScaleItem(v));
      views.push_back(v);
    }
    const auto scale = ChooseItem(items, "縮尺を選んでください");
    if (!scale) return;
    whole =
        views[static_cast<size_t>(std::find(items.begin(), items.end(), *scale) - items.begin())];
  }
  const auto file =
      UiHost().SaveFileDialog(kCapImage, BaseDir + Edit.Brd.BrdName + ".png", "PNG 画像|*.png");
  if (!file) return;
  QImage img = Edit.FrameBmp;
  if (*what == kImageWhole) {
    img = DrawBrdImage(Edit, whole);
    Redraw(true);
  }
  const std::string path = WithExt(*file, ".png");
  if (const TStatus st = WritePngFile(img, path); !st) {
    ShowMsgBox(kCapError, st.Msg());
    return;
  }
  ShowMsgBox(kCapNotice, "画像を保存しました（" + IntText(img.width()) + "×" +
                             IntText(img.height()) + " ピクセル）\n\n" + path);
}

}  // namespace ramvel
