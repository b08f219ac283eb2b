// The board view's life cycle: the board and its terrain read and written, the view started and
// the editing ended.
#include "view/UrwBrdEditor.h"

#include <QImageReader>
#include <QString>
#include <algorithm>
#include <utility>

#include "view/UrwDrawKit.h"
#include "view/UrwLandFile.h"

namespace ramvel {

// ---- Sink defaults
// -------------------------------------------------------------------------------

void TBrdEditSink::SetStatusText(int, const std::string&) {}
void TBrdEditSink::SetViewCursor(Qt::CursorShape) {}
void TBrdEditSink::SetLandSizeText(const std::string&) {}
void TBrdEditSink::ShowMiniMap(const QImage&) {}

namespace {

// The terrain's pixels as 0xRRGGBB values.
// The terrain stretched to the minimap's width, sea and land in the view's colours.
QImage MakeThumb(const QImage& land, int32_t height) {
  // Nearest pixels only, so that sea and land keep their pure colours to be recognised.
  QImage t = land.convertToFormat(QImage::Format_RGB32)
                 .scaled(kMiniMapWidth, std::max(height, 1), Qt::IgnoreAspectRatio,
                         Qt::FastTransformation);
  for (int y = 0; y < t.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(t.scanLine(y));
    for (int x = 0; x < t.width(); ++x) {
      line[x] = 0xFF000000u | TBrdView::ThumbColour(line[x] & 0xFFFFFFu);
    }
  }
  return t;
}

// The terrain's own message names the file as "Land.bmp"; name the file actually read.
TStatus Renamed(const TStatus& st, const std::string& file) {
  std::string msg = st.Msg();
  const std::string prefix = "Land.bmp: ";
  if (msg.rfind(prefix, 0) == 0) msg.erase(0, prefix.size());
  return TStatus::Error(file + ": " + msg);
}

}  // namespace

// ---- Life cycle
// ----------------------------------------------------------------------------------

TBrdEdit::TBrdEdit(TBrdEditSink* sink) : sink_(sink) {
  Layout.Status = [this](int panel, const std::string& text) { SetStatus(panel, text); };
}

void TBrdEdit::InitView(int32_t height, int32_t width) {
  View.InitView(width, height);
  Layout.History.Clear();  // the steps belong to the board that was open
}

TStatus TBrdEdit::LoadBoard(const std::string& root, const std::string& name) {
  Layout.History.Clear();
  View.BrdPath.clear();
  TStatus st = Brd.LoadBrd(root, name);
  if (st) st = LoadLandGuarded(ResolveIn(PathJoin(BrdPath(root, name), ""), "Land.bmp"));
  if (!st) {
    Brd.ClearBrd();
    Brd.BrdName.clear();
    return st;
  }
  View.BrdPath = BrdPath(root, name) + "/";
  View.SyncScaleIdx();
  return TStatus::Ok();
}

TStatus TBrdEdit::LoadLandGuarded(const std::string& file) {
  try {
    return LoadLand(file);
  } catch (const std::bad_alloc&) {
    return TStatus::Error(file + ": 地形図の読み込み中にメモリが足りなくなりました");
  } catch (const std::exception& e) {
    return TStatus::Error(file + ": 地形図を読み込めません（" + e.what() + "）");
  }
}

TStatus TBrdEdit::LoadLand(const std::string& file) {
  QImage img;
  TStatus st = ReadLandFile(file, img);
  if (!st) return st;
  st = View.SetLand(GridOf(img));
  if (!st) return Renamed(st, file);
  LandBmp = std::move(img);
  LandThumb = MakeThumb(LandBmp, View.ThumbHeight(kMiniMapWidth));
  if (sink_ != nullptr) sink_->SetLandSizeText(View.LandSizeText());
  return TStatus::Ok();
}

TStatus TBrdEdit::SaveBoard(bool keepStations, bool overwrite) {
  const TStatus st = Brd.SaveBrd(View.BrdPath, keepStations, overwrite);
  if (!st || keepStations) return st;
  return Layout.FinishRenames(View.BrdPath);
}

void TBrdEdit::EndEdit() {
  View.EndEdit();
  SetStatus(0, "");
  SetStatus(1, "");
}

void TBrdEdit::SetStatus(int panel, const std::string& text) {
  if (sink_ != nullptr) sink_->SetStatusText(panel, text);
}

void TBrdEdit::SetCursor(Qt::CursorShape shape) {
  if (sink_ != nullptr) sink_->SetViewCursor(shape);
}

void TBrdEdit::ShowObjInfo(int32_t id) { SetStatus(1, View.ObjInfoText(id)); }

}  // namespace ramvel
