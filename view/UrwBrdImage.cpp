// Board pictures: drawing at a chosen view and writing PNG files.
#include "view/UrwBrdImage.h"

#include <QFile>
#include <QSaveFile>
#include <filesystem>

namespace ramvel {

namespace {

struct TSavedView {
  int32_t XLeft, YTop, MPerP, W, H;
};

TSavedView SaveView(const TBrdData& b) {
  return {b.SCR_XLEFT, b.SCR_YTOP, b.SCR_MPERP, b.ScrWidth, b.ScrHeight};
}

void SetView(TBrdEdit& ed, int32_t x, int32_t y, int32_t mPerP, int32_t w, int32_t h) {
  ed.Brd.SCR_XLEFT = x;
  ed.Brd.SCR_YTOP = y;
  ed.Brd.SCR_MPERP = mPerP;
  ed.View.SyncScaleIdx();
  ed.View.SetScrSize(w, h);
}

TStatus WriteFail(const std::string& path, const QString& why) {
  return TStatus::Error(path + ": 画像を書き込めません（" + why.toStdString() + "）");
}

TStatus WritePngInPlace(const QImage& img, const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) return WriteFail(path, file.errorString());
  if (!img.save(&file, "PNG") || !file.flush() || file.error() != QFileDevice::NoError) {
    return WriteFail(path, file.errorString());
  }
  file.close();
  if (file.error() != QFileDevice::NoError) return WriteFail(path, file.errorString());
  return TStatus::Ok();
}

}  // namespace

TBrdImageView WholeBoardView(const TBrdEdit& ed, int32_t mPerP) {
  const int32_t m = mPerP > 0 ? mPerP : 1;
  return {0, 0, m, (ed.View.LandWidth + m - 1) / m, (ed.View.LandHeight + m - 1) / m};
}

QImage DrawBrdImage(TBrdEdit& ed, TBrdImageView& v) {
  const TSavedView old = SaveView(ed.Brd);
  SetView(ed, v.XLeft, v.YTop, v.MPerP, v.W, v.H);
  ed.DrawBoard(nullptr, true);
  v.XLeft = ed.Brd.SCR_XLEFT;
  v.YTop = ed.Brd.SCR_YTOP;
  QImage img = ed.FrameBmp;
  SetView(ed, old.XLeft, old.YTop, old.MPerP, old.W, old.H);
  return img;
}

TStatus WritePngFile(const QImage& img, const std::string& path) {
  if (img.isNull()) return TStatus::Error(path + ": 描画できるものがありません");
  std::error_code ec;
  const auto kind = std::filesystem::status(path, ec).type();
  if (kind != std::filesystem::file_type::not_found &&
      kind != std::filesystem::file_type::regular && kind != std::filesystem::file_type::none) {
    return WritePngInPlace(img, path);
  }
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) return WriteFail(path, file.errorString());
  if (!img.save(&file, "PNG")) {
    file.cancelWriting();
    return WriteFail(path, file.errorString());
  }
  if (!file.commit()) return WriteFail(path, file.errorString());
  return TStatus::Ok();
}

}  // namespace ramvel
