// The time-space diagram and platform chart windows and their drawing: a conflict is drawn red
// at its place and time, a click on a train's line selects it, the wheel zooms the time axis,
// the picture is made again only after a change, and both windows save PNG and SVG.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>

#include "TestSupport.h"
#include "ViewSupport.h"
#include "foundation/UrwUiHost.h"
#include "view/UrwChartDraw.h"
#include "windows/timetable/UrwDiaChartView.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

// Two stations 6 km apart, a down train 101 from 05:00 to 05:06 and an up train 102 that meets
// it in the middle, with the conflict between them at 05:03.
TLineDiagram TwoTrains() {
  TLineDiagram dia;
  dia.LineName = "試験線";
  dia.Stas = {{"甲", 1001, 0}, {"乙", 2001, 6000}};
  dia.Trains.push_back({"101", "普通", TTrType::kLocal, 1, 0, {{3600, 0}, {3960, 6000}}});
  dia.Trains.push_back({"102", "特急", TTrType::kLtdExp, -1, 1, {{3600, 6000}, {3960, 0}}});
  dia.Conflicts.push_back({3780, 3800, 3000, "101", "102", "閉塞5"});
  return dia;
}

bool IsRed(uint32_t rgb) {
  const int r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
  return r > 150 && g < 90 && b < 90;
}

TEST(ChartDraw, ConflictIsRedAtItsPlaceAndTime) {
  test::EnsureApp();
  const TLineDiagram dia = TwoTrains();
  TDiaDrawOpts opts;
  opts.Span = {3000, 4500};
  const QSize size(900, 500);
  QImage img(size, QImage::Format_RGB32);
  {
    QPainter p(&img);
    DrawLineDiagram(p, size, dia, opts);
  }
  const TDiaLayout lay(dia, size, opts);
  const int y = static_cast<int>(lay.Y(3000));
  EXPECT_TRUE(IsRed(test::Px(img, static_cast<int>(lay.X(3790)), y)));
  // Away from the conflict the trains keep their colours: 101 at 05:01 is 1000 m down.
  EXPECT_FALSE(IsRed(test::Px(img, static_cast<int>(lay.X(3660)), static_cast<int>(lay.Y(1000)))));
  EXPECT_FALSE(IsRed(test::Px(img, static_cast<int>(lay.X(3300)), y)));
}

class ChartWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApp();
    ASSERT_TRUE(brd_.LoadBrd(std::string(RAMVEL_SOURCE_DIR) + "/data/boards", "Sample").ok());
    ASSERT_TRUE(brd_.SetLine("本線").ok());
    ASSERT_TRUE(brd_.LoadLine(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample").ok());
  }
  TBrdData brd_;
  test::TTempDir dir_;
};

TEST_F(ChartWindows, ClickOnATrainLineSelectsIt) {
  TFrmDiagram frm(brd_);
  frm.Refresh();
  frm.resize(1200, 700);
  frm.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
  TDiaDrawOpts opts;
  opts.Span = {3600, 5400};  // 05:00-05:30
  frm.SetOpts(opts);
  // "1" runs from 中央 (0 m) at 3900 to 川辺 (2825 m), passing it at 4028.
  const TDiaLayout lay(frm.Diagram(), frm.Canvas()->size(), frm.Opts());
  const QPoint at(static_cast<int>(lay.X(3964)), static_cast<int>(lay.Y(2825 / 2)));
  QSignalSpy spy(&frm, &TFrmDiagram::TrainClicked);
  QTest::mouseClick(frm.Canvas(), Qt::LeftButton, Qt::NoModifier, at);
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).toString(), QString("1"));
  // An empty corner selects nothing.
  QTest::mouseClick(frm.Canvas(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(static_cast<int>(lay.X(3610)), static_cast<int>(lay.Y(6000))));
  EXPECT_EQ(spy.count(), 1);
}

TEST_F(ChartWindows, WheelZoomsTimeAroundThePointerAndRedrawsOnlyAfterAChange) {
  TFrmDiagram frm(brd_);
  frm.Refresh();
  frm.resize(1200, 700);
  frm.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
  frm.Canvas()->Picture();
  const int renders = frm.Canvas()->Renders();
  frm.Canvas()->Picture();
  frm.Canvas()->repaint();
  EXPECT_EQ(frm.Canvas()->Renders(), renders);
  const TDiaLayout lay(frm.Diagram(), frm.Canvas()->size(), frm.Opts());
  const QPointF pos(lay.X(43200), lay.Plot().center().y());  // 16:00
  QWheelEvent wheel(pos, frm.Canvas()->mapToGlobal(pos), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(frm.Canvas(), &wheel);
  const TChartSpan span = frm.Opts().Span;
  EXPECT_NEAR(span.To - span.From, kDayEnd / 1.25, 2);
  EXPECT_LT(span.From, 43200);
  EXPECT_GT(span.To, 43200);
  frm.Canvas()->Picture();
  EXPECT_EQ(frm.Canvas()->Renders(), renders + 1);
}

// Writes a picture of the whole window when RAMVEL_SHOT_DIR names a folder (to look at it).
void Shot(QWidget& w, const std::string& name) {
  const QByteArray dir = qgetenv("RAMVEL_SHOT_DIR");
  if (!dir.isEmpty()) w.grab().save(QString::fromUtf8(dir) + "/" + QString::fromStdString(name));
}

TEST_F(ChartWindows, BothWindowsSavePngAndSvg) {
  TScriptedHost host;
  TUiHostScope scope(host);
  TFrmDiagram dia(brd_);
  dia.Refresh();
  TFrmHomeChart chart(brd_);
  chart.Refresh(7001);
  dia.show();
  chart.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
  Shot(dia, "diagram-window.png");
  Shot(chart, "chart-window.png");
  EXPECT_EQ(chart.CbxSta->currentText(), QString::fromUtf8("川辺"));
  EXPECT_FALSE(chart.Chart().Rows.empty());
  for (TFrmChartBase* frm : std::vector<TFrmChartBase*>{&dia, &chart}) {
    for (const char* ext : {".png", ".svg"}) {
      const std::string path = dir_ / (std::string(frm == &dia ? "dia" : "chart") + ext);
      frm->AskSavePath = [&] { return std::optional<std::string>(path); };
      frm->BtnSaveClick();
      EXPECT_TRUE(fs::exists(path)) << path;
      EXPECT_GT(fs::file_size(path), 1000u) << path;
    }
  }
  // A folder that does not exist: an error box, nothing written.
  dia.AskSavePath = [&] { return std::optional<std::string>(dir_ / "none/x.png"); };
  dia.BtnSaveClick();
  ASSERT_EQ(host.Events.size(), 1u);
  EXPECT_EQ(host.Events[0].Caption, "エラー");
  EXPECT_FALSE(fs::exists(dir_ / "none"));
}

}  // namespace
}  // namespace ramvel
