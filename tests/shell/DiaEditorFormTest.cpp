// The diagram editor window: the sample's 本線 opened, directions, compression and scrolling with
// real mouse events, the grid's popup and special views, and whole timetables entered, changed
// and deleted through the window, saved and read back.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "ShellFixture.h"
#include "windows/timetable/UrwDiaEditorForm.h"
#include "view/UrwChartDraw.h"
#include "windows/timetable/UrwDiaChartView.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

constexpr int32_t A = 1001, B = 2001, C = 3001;

std::string PngDir() {
  const std::string dir = std::string(RAMVEL_BINARY_DIR) + "/dia_png";
  fs::create_directories(dir);
  return dir + "/";
}

// The centre of a grid cell in the grid's coordinates.
QPoint CellCentre(const TFrmDiaEditor& w, int col, int row) {
  return w.GrdTm->CellRect(col, row).center();
}

// The grid row that shows train number n; -1 when none.
int RowOf(const TFrmDiaEditor& w, const std::string& n) {
  for (int r = 1; r < w.GrdTm->RowCount(); ++r) {
    if (w.GrdTm->Cell(0, r) == n) return r;
  }
  return -1;
}

// ---- The sample board's 本線 -------------------------------------------------------------------

class DiaEditorSample : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    fs::copy(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample", dir_ / "Sample",
             fs::copy_options::recursive);
    ASSERT_TRUE(brd_.LoadBrd(dir_.Path(), "Sample").ok());
    ASSERT_TRUE(brd_.SetLine("本線").ok());
    ASSERT_TRUE(brd_.LoadLine(dir_ / "Sample/").ok());
  }
  TFrmDiaEditor& Open(int w, int h) {
    win_ = std::make_unique<TFrmDiaEditor>(&dlg_, nullptr);
    win_->resize(w, h);
    win_->show();
    win_->OpenDia(brd_);
    return *win_;
  }

  TTempDir dir_;
  TBrdData brd_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TScriptedDiaDialogs dlg_;
  std::unique_ptr<TFrmDiaEditor> win_;
};

TEST_F(DiaEditorSample, OpensDownTrainsWithStationsAboveTheirColumns) {
  TFrmDiaEditor& w = Open(1400, 700);
  const TDiaEditor& ed = *w.Ed;
  ASSERT_EQ(ed.LineStaNames.size(), 4u);
  EXPECT_TRUE(ed.KudariMode);
  EXPECT_TRUE(w.PnlKudari->IsDown());
  EXPECT_FALSE(w.PnlNobori->IsDown());
  EXPECT_EQ(w.GrdTm->RowCount(), static_cast<int>(ed.Dia.KudariOrder.size()) + 1);
  EXPECT_GT(ed.Dia.KudariOrder.size(), 10u);
  EXPECT_EQ(w.GrdTm->Cell(0, 0), "列車番号");
  // Four stations of 130 px with three sections between them fit 1400 px: seven columns after
  // the train column, station names above the odd ones.
  ASSERT_EQ(w.StaCols.size(), 4u);
  ASSERT_EQ(w.GrdTm->ColCount(), 8);
  int x = w.GrdTm->ColWidths[0] + TStrGrid::kLineW;
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(w.GrdTm->Cell(2 * c + 1, 0), ed.LineStaNames[c]);
    EXPECT_EQ(w.StaCols[c].To - w.StaCols[c].From, 130);
    // The column starts where its station is drawn, the picture standing BmpLeft to the right.
    EXPECT_EQ(x, w.StaCols[c].From + w.BmpLeft) << c;
    x += w.GrdTm->ColWidths[2 * c + 1] + TStrGrid::kLineW;
    if (c < 3) x += w.GrdTm->ColWidths[2 * c + 2] + TStrGrid::kLineW;
  }
  // A section is 30 px per block of its track.
  for (int q = 0; q < 3; ++q) {
    EXPECT_EQ(w.GrdTm->ColWidths[2 * q + 2] + 1, 30 * brd_.Sections[q].BlkPerTrack) << q;
  }
  // Every row's first station cell that holds a stop shows "!", a section between two stops
  // "*".
  const int32_t t = ed.Dia.KudariOrder[0].Tr;
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(w.GrdTm->Cell(2 * c + 1, 1), ed.Dia.HasCell(t, c) ? "!" : "") << c;
  }
  w.grab().save(QString::fromStdString(PngDir() + "normal.png"));
  // The occupancy at the arrival of the first train at 川辺: trains in the blocks in red.
  for (int r = 1; r < w.GrdTm->RowCount(); ++r) {
    if (w.GrdTm->Cell(3, r) != "!" ||
        w.Ed->Dia.Cell(w.Ed->Dia.KudariOrder[r - 1].Tr, 1).TmStart < 0) {
      continue;
    }
    QTest::mouseClick(w.GrdTm, Qt::LeftButton, {}, CellCentre(w, 3, r));
    w.PMnuGrid->hide();
    w.MnuOccupyStatus->trigger();
    break;
  }
  EXPECT_GE(w.Ed->OccTm, 0);
  w.grab().save(QString::fromStdString(PngDir() + "sample_occupancy.png"));
}

TEST_F(DiaEditorSample, DirectionCompressionAndScrollByMouse) {
  TFrmDiaEditor& w = Open(700, 600);
  TDiaEditor& ed = *w.Ed;
  QTest::mouseClick(w.PnlNobori, Qt::LeftButton);
  EXPECT_FALSE(ed.KudariMode);
  EXPECT_TRUE(w.PnlNobori->IsDown());
  EXPECT_EQ(w.GrdTm->RowCount(), static_cast<int>(ed.Dia.NoboriOrder.size()) + 1);
  QTest::mouseClick(w.PnlBlkPack, Qt::LeftButton);
  EXPECT_TRUE(ed.BlkPack);
  EXPECT_TRUE(w.PnlBlkPack->IsDown());
  EXPECT_EQ(w.GrdTm->ColWidths[2], 29);
  QTest::mouseClick(w.PnlBlkPack, Qt::LeftButton);
  EXPECT_FALSE(ed.BlkPack);
  // 700 px leave 605 px of picture: not every station fits.
  const int shown = static_cast<int>(w.StaCols.size());
  ASSERT_LT(shown, 4);
  ed.MarkCol = 5;
  QTest::mouseClick(w.BtnR1, Qt::LeftButton);
  EXPECT_EQ(ed.LeftSta, 1);
  EXPECT_EQ(ed.MarkCol, 3);  // the marked column moves with its station
  ed.MarkCol = kNoMark;
  EXPECT_EQ(w.GrdTm->Cell(1, 0), ed.LineStaNames[1]);
  QTest::mouseClick(w.BtnL1, Qt::LeftButton);
  QTest::mouseClick(w.BtnL1, Qt::LeftButton);
  EXPECT_EQ(ed.LeftSta, 0);                      // never below the first station
  QTest::mouseClick(w.Button2, Qt::LeftButton);  // >>|: the last station at the right edge
  EXPECT_EQ(ed.LeftSta, w.FitLeft(3));
  EXPECT_EQ(IntText(w.StaCols.back().StaId), ed.Dia.StaList.back());
  QTest::mouseClick(w.Button1, Qt::LeftButton);
  EXPECT_EQ(ed.LeftSta, 0);
  // Hovering names the station under the mouse in the picture and the train set of a grid row;
  // F1 hands them to the diagnostics window.
  std::vector<std::pair<int32_t, int32_t>> asked;
  w.OnDiagnostics = [&](int32_t sta, int32_t car) { asked.emplace_back(sta, car); };
  QTest::mouseMove(w.ImgLine, QPoint(w.StaCols[0].From + 5, 100));
  QTest::keyClick(&w, Qt::Key_F1);
  QTest::mouseMove(w.GrdTm, CellCentre(w, 1, 1));
  QTest::keyClick(&w, Qt::Key_F1);
  const TCarObj* first = brd_.FindTrainCar(ed.Dia.NoboriOrder[0].TrNo, "");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(asked,
            (std::vector<std::pair<int32_t, int32_t>>{{w.StaCols[0].StaId, -1}, {-1, first->Id}}));
  // The rows scroll by keys; the header row stays.
  const int top = w.GrdTm->TopRow();
  QTest::keyClick(w.GrdTm, Qt::Key_PageDown);
  EXPECT_GT(w.GrdTm->TopRow(), top);
  EXPECT_EQ(w.GrdTm->CellRect(1, 0).top(), 0);
  QTest::keyClick(w.GrdTm, Qt::Key_Home);
  EXPECT_EQ(w.GrdTm->TopRow(), 1);
  // Clicking the train column switches it to train set numbers.
  QTest::mouseClick(w.GrdTm, Qt::LeftButton, {}, CellCentre(w, 0, 1));
  EXPECT_EQ(w.GrdTm->Cell(0, 0), "編成ID");
  const TCarObj* c = brd_.FindTrainCar(ed.Dia.NoboriOrder[0].TrNo, "");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(w.GrdTm->Cell(0, 1), IntText(c->Id));
}

// ---- The diagram and the platform chart beside the editor ---------------------------------------

TEST_F(DiaEditorSample, ViewMenuOpensTheDiagramAndAStationsChartBesideTheEditor) {
  TFrmDiaEditor& w = Open(1000, 600);
  w.MnuDiagram->trigger();
  ASSERT_NE(w.FrmDiagram, nullptr);
  EXPECT_TRUE(w.FrmDiagram->isVisible());
  EXPECT_TRUE(w.FrmDiagram->isWindow());
  // One line per train that runs between two stations of the line, named as in the editor.
  const TDiaObj& dia = w.Ed->Dia;
  const auto runs = std::count_if(dia.TrInfo.begin(), dia.TrInfo.end(),
                                  [](const TTrInfo& t) { return t.CellCount >= 2; });
  ASSERT_EQ(static_cast<long>(w.FrmDiagram->Diagram().Trains.size()), runs);
  for (const TDiaTrain& t : w.FrmDiagram->Diagram().Trains) {
    EXPECT_EQ(t.TrNo, dia.TrInfo[t.Column].TrNo);
  }
  const size_t events = host_.Events.size();
  // The station under the mouse in the picture, without a question.
  // (The test screen is smaller than the two windows: the diagram moves off the picture.)
  w.FrmDiagram->move(w.frameGeometry().right() + 1, 0);
  QTest::mouseMove(w.ImgLine, QPoint(w.StaCols[1].From + 5, 100));
  w.MnuHomeChart->trigger();
  ASSERT_NE(w.FrmHomeChart, nullptr);
  EXPECT_TRUE(w.FrmHomeChart->isVisible());
  EXPECT_EQ(w.FrmHomeChart->Chart().StaId, w.StaCols[1].StaId);
  EXPECT_EQ(host_.Events.size(), events);
  // Away from the picture: chosen from the line's stations; a cancel changes nothing.
  QTest::mouseMove(w.GrdTm, CellCentre(w, 1, 1));
  host_.SelectAnswers = {std::nullopt, w.Ed->LineStaNames[2]};
  w.MnuHomeChart->trigger();
  EXPECT_EQ(w.FrmHomeChart->Chart().StaId, w.StaCols[1].StaId);
  w.MnuHomeChart->trigger();
  EXPECT_EQ(IntText(w.FrmHomeChart->Chart().StaId), w.Ed->Dia.StaList[2]);
  ASSERT_EQ(host_.Events.size(), events + 2);
  EXPECT_EQ(host_.Events.back().Kind, "select");
  EXPECT_EQ(host_.Events.back().Text, w.Ed->LineStaNames[0] + "|" + w.Ed->LineStaNames[1] + "|" +
                                          w.Ed->LineStaNames[2] + "|" + w.Ed->LineStaNames[3]);
  w.FrmDiagram->resize(900, 500);
  w.FrmDiagram->grab().save(QString::fromStdString(PngDir() + "editor_diagram.png"));
  w.grab().save(QString::fromStdString(PngDir() + "editor_with_diagram.png"));
  // Both close with the editor.
  host_.YesNoAnswers = {true};
  w.MnuReg->trigger();
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.FrmDiagram->isVisible());
  EXPECT_FALSE(w.FrmHomeChart->isVisible());
}

TEST_F(DiaEditorSample, DiagramRedrawsAfterAnAcceptedEditOnly) {
  TFrmDiaEditor& w = Open(1000, 600);
  w.MnuDiagram->trigger();
  TFrmDiagram& d = *w.FrmDiagram;
  const size_t trains = d.Diagram().Trains.size();
  d.Canvas()->Picture();
  const int renders = d.Canvas()->Renders();
  // Scrolling and the other direction change the grid, not the line's trains.
  QTest::mouseClick(w.BtnR1, Qt::LeftButton);
  QTest::mouseClick(w.PnlNobori, Qt::LeftButton);
  QTest::mouseClick(w.PnlKudari, Qt::LeftButton);
  d.Canvas()->Picture();
  EXPECT_EQ(d.Canvas()->Renders(), renders);
  // Deleting a down train that ends its train set's day, refused once, then accepted.
  const TDiaObj& dia = w.Ed->Dia;
  std::string gone;
  int row = -1;
  for (size_t k = 0; k < dia.KudariOrder.size() && row < 0; ++k) {
    const TOrderEntry& e = dia.KudariOrder[k];
    const TCarObj* c = brd_.FindTrainCar(e.TrNo, "");
    const int r = static_cast<int>(k) + 1;
    if (c != nullptr && IsLastTrain(*c, e.TrNo) && dia.TrInfo[e.Tr].CellCount >= 2 &&
        w.GrdTm->Cell(1, r) == "!") {
      row = r;
      gone = e.TrNo;
    }
  }
  w.GrdTm->VBar->setValue(row - 1);
  host_.YesNoAnswers = {false, true};
  for (int i = 0; i < 2; ++i) {
    QTest::mouseClick(w.GrdTm, Qt::LeftButton, {}, CellCentre(w, 1, row));
    w.PMnuGrid->hide();
    w.MnuTrainDel2->trigger();
    d.Canvas()->Picture();
    EXPECT_EQ(d.Canvas()->Renders(), renders + i) << i;
  }
  ASSERT_EQ(d.Diagram().Trains.size(), trains - 1);
  for (const TDiaTrain& t : d.Diagram().Trains) EXPECT_NE(t.TrNo, gone);
}

TEST_F(DiaEditorSample, ClickOnATrainLineSelectsItsRowInTheGrid) {
  TFrmDiaEditor& w = Open(1000, 500);
  w.MnuDiagram->trigger();
  TFrmDiagram& d = *w.FrmDiagram;
  d.resize(1200, 700);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  // The last up train drawn while the down trains are shown: the grid turns and scrolls to it.
  const TDiaObj& dia = w.Ed->Dia;
  size_t k = dia.NoboriOrder.size();
  while (k > 0 && dia.TrInfo[dia.NoboriOrder[k - 1].Tr].CellCount < 2) --k;
  ASSERT_GT(k, 20u);
  const TOrderEntry up = dia.NoboriOrder[k - 1];
  ASSERT_EQ(dia.TrInfo[up.Tr].Dir, -1);
  const TDiaTrain* line = nullptr;
  for (const TDiaTrain& t : d.Diagram().Trains) {
    if (t.Column == up.Tr) line = &t;
  }
  ASSERT_NE(line, nullptr);
  ASSERT_GE(line->Pts.size(), 2u);
  // The middle of its longest run between two stations.
  size_t j = 0;
  for (size_t i = 1; i + 1 < line->Pts.size(); ++i) {
    const auto run = [&](size_t k) { return std::abs(line->Pts[k + 1].Dist - line->Pts[k].Dist); };
    if (run(i) > run(j)) j = i;
  }
  const TDiaLayout lay(d.Diagram(), d.Canvas()->size(), d.Opts());
  const QPoint at(static_cast<int>((lay.X(line->Pts[j].Tm) + lay.X(line->Pts[j + 1].Tm)) / 2),
                  static_cast<int>((lay.Y(line->Pts[j].Dist) + lay.Y(line->Pts[j + 1].Dist)) / 2));
  ASSERT_GE(d.TrainAt(at), 0);
  ASSERT_EQ(d.Diagram().Trains[static_cast<size_t>(d.TrainAt(at))].Column, up.Tr);
  QTest::mouseClick(d.Canvas(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_FALSE(w.Ed->KudariMode);
  EXPECT_TRUE(w.PnlNobori->IsDown());
  const int row = RowOf(w, up.TrNo);
  ASSERT_EQ(row, static_cast<int>(k));
  EXPECT_EQ(w.Ed->MarkRow, row);
  EXPECT_EQ(w.Ed->MarkCol, kNoMark);
  EXPECT_EQ(dia.CurTr, up.Tr);
  EXPECT_EQ(w.SBarDia->text().toStdString(), "ダイヤグラムで選んだ列車：" + up.TrNo);
  EXPECT_GE(row, w.GrdTm->TopRow());
  EXPECT_FALSE(w.GrdTm->CellRect(1, row).isEmpty());
  EXPECT_LE(w.GrdTm->CellRect(1, row).bottom(), w.GrdTm->height());
  // Marked yellow like any marked train.
  const QImage grid = w.GrdTm->grab().toImage();
  const QRect cell = w.GrdTm->CellRect(1, row);
  EXPECT_EQ(grid.pixelColor(cell.left() + 2, cell.top() + 2), QColor(255, 255, 0));
  w.grab().save(QString::fromStdString(PngDir() + "editor_train_picked.png"));
  d.grab().save(QString::fromStdString(PngDir() + "diagram_train_picked.png"));
}

// ---- Timetables entered in the window ----------------------------------------------------------

// Line A - B - C - D, 1188 m between stations (one block of 59 s at 20 m/s); train set 1 of 4 cars
// at 72 km/h stands at A's platform 1. A stop takes 55 s to leave a station and 63 s to come in,
// so a section from a stop to a stop takes 55 + 59 + 63 = 177 s.
class DiaEditorEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    MakeLine(brd_, {"A", "B", "C", "D"});
    car_ = &AddCar(brd_, A, 1);
    win_ = std::make_unique<TFrmDiaEditor>(&dlg_, nullptr);
    win_->resize(1000, 600);
    win_->show();
    win_->OpenDia(brd_);
  }
  TFrmDiaEditor& W() { return *win_; }
  // Clicks a grid cell of train n's row and returns whether the popup opened.
  bool ClickCell(const std::string& n, int col) {
    const int row = RowOf(W(), n);
    if (row < 0) return false;
    QTest::mouseClick(W().GrdTm, Qt::LeftButton, {}, CellCentre(W(), col, row));
    const bool open = W().PMnuGrid->isVisible();
    W().PMnuGrid->hide();
    return open;
  }
  bool Said(const std::string& text) const {
    for (const std::string& t : host_.Texts()) {
      if (t == text) return true;
    }
    return false;
  }
  void ExpectStep(int i, const std::string& txt, int32_t arr, int32_t dep, int32_t loc) {
    ASSERT_LT(i, car_->TmTbl.Count());
    const TTmTbl& s = car_->TmTbl.At(i);
    EXPECT_EQ(s.Txt, txt) << i;
    EXPECT_EQ(s.TmStart, arr) << i;
    EXPECT_EQ(s.TmEnd, dep) << i;
    EXPECT_EQ(s.Loc, loc) << i;
  }

  TTempDir dir_;
  TBrdData brd_;
  TCarObj* car_ = nullptr;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  TScriptedDiaDialogs dlg_;
  std::unique_ptr<TFrmDiaEditor> win_;
};

TEST_F(DiaEditorEntry, WholeTimetableEnteredChangedAndSaved) {
  const int32_t t1001 = At(10, 1);
  // Another train holds the block A - B from 10:00 for a minute.
  brd_.Blks.at("1")->Occupy("X", At(10, 0), 60);
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"101", "普通"}};
  dlg_.Steps = {StopVia("B  1番ホーム", "959"), StopVia("B  1番ホーム", "1001"),
                StopVia("C  1番ホーム", "1005"), Cancel()};
  host_.YesNoAnswers = {false};  // the held start is refused
  W().MnuTrainNew->trigger();
  // Leaving at 09:59 the train would have to wait until the block is free at 10:01.
  EXPECT_TRUE(Said("停車を更に2分0秒増やす必要があります（A駅〜B駅間で列車Xと重なります。1001発なら"
                   "入れます）。よろしいですか？"));
  EXPECT_TRUE(Said("列車を追加しました"));
  ExpectStep(1, "101,普通", t1001, t1001, MakeEntCode(A, 1, 1));
  ExpectStep(2, "", t1001 + 177, At(10, 5), MakeEntCode(B, 1, 1));
  ExpectStep(3, "", At(10, 5) + 177, -1, MakeEntCode(C, 1, 1));
  const int row = RowOf(W(), "101");
  ASSERT_GT(row, 0);
  for (int c = 1; c <= 6; ++c) {
    EXPECT_EQ(W().GrdTm->Cell(c, row), c <= 5 ? (c % 2 ? "!" : "*") : "") << c;
  }

  // Renumbered; the train keeps its steps.
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"102", "快速"}};
  W().MnuChgTrNo->trigger();
  ExpectStep(1, "102,快速", t1001, t1001, MakeEntCode(A, 1, 1));
  EXPECT_EQ(brd_.TrainNos.count("101"), 0u);
  EXPECT_EQ(brd_.TrainNos.count("102"), 1u);

  // B's popup: the train is its set's last and runs on: the sections beyond can go.
  ASSERT_TRUE(ClickCell("102", 3));
  EXPECT_TRUE(W().MnuKukanDelAll->isVisible());
  EXPECT_FALSE(W().MnuKukanAdd->isVisible());
  EXPECT_TRUE(W().MnuCarMarge->isVisible());
  EXPECT_FALSE(W().MnuCarDiv->isVisible());
  host_.YesNoAnswers = {true};
  W().MnuKukanDelAll->trigger();
  ASSERT_EQ(car_->TmTbl.Count(), 3);
  ExpectStep(2, "", t1001 + 177, -1, MakeEntCode(B, 1, 1));

  // B is the terminal now: sections can be added after it.
  ASSERT_TRUE(ClickCell("102", 3));
  EXPECT_TRUE(W().MnuKukanAdd->isVisible());
  EXPECT_FALSE(W().MnuKukanDelAll->isVisible());
  dlg_.Steps = {StopVia("C  2番ホーム", "1006"), Cancel()};
  W().MnuKukanAdd->trigger();
  EXPECT_TRUE(Said("区間を追加しました"));
  ExpectStep(2, "", t1001 + 177, At(10, 6), MakeEntCode(B, 1, 1));
  ExpectStep(3, "", At(10, 6) + 177, -1, MakeEntCode(C, 2, 1));

  // Saved with the line, read back, and seen by the command line.
  const std::string folder = dir_ / "Brd";
  fs::create_directories(folder);
  ASSERT_TRUE(brd_.SaveBrd(folder, false).ok());
  ASSERT_TRUE(brd_.SaveLine(folder + "/").ok());
  TBrdData back;
  ASSERT_TRUE(back.LoadBrd(dir_.Path(), "Brd").ok());
  const TCarObj* c = back.FindCar(1, "");
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->TmTbl.Count(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(c->TmTbl.At(i).Txt, car_->TmTbl.At(i).Txt);
    EXPECT_EQ(c->TmTbl.At(i).TmStart, car_->TmTbl.At(i).TmStart);
    EXPECT_EQ(c->TmTbl.At(i).TmEnd, car_->TmTbl.At(i).TmEnd);
    EXPECT_EQ(c->TmTbl.At(i).Loc, car_->TmTbl.At(i).Loc);
  }
  const TProgramRun tt = RunProgram(RAMVEL_CLI, {"timetable", folder, "本線"}, dir_.Path());
  EXPECT_EQ(tt.Exit, 0) << tt.Err;
  EXPECT_NE(tt.Out.find("102\t快速\t1001.00#1\t1003.57/1006.00#1\t1008.57/#2\t\n"),
            std::string::npos)
      << tt.Out;
  const TProgramRun chk = RunProgram(RAMVEL_CLI, {"check", folder}, dir_.Path());
  EXPECT_NE(chk.Out.find("line 本線: ok"), std::string::npos) << chk.Out << chk.Err;
}

TEST_F(DiaEditorEntry, TrainSetsCreatedDividedMergedAndDeleted) {
  // Train 101 A -> B, then train 103 B -> C of the same set.
  dlg_.Selections = {0, 0};
  dlg_.Trains = {TTrainChoice{"101", ""}, TTrainChoice{"103", ""}};
  dlg_.Steps = {StopVia("B  1番ホーム", "1000"), Cancel(), StopVia("C  1番ホーム", "1010"),
                Cancel()};
  W().MnuTrainNew->trigger();
  W().MnuTrainNew->trigger();
  ASSERT_EQ(car_->TmTbl.Count(), 5);
  ASSERT_TRUE(ClickCell("101", 1));
  EXPECT_TRUE(W().MnuCarDiv->isVisible());  // 101 is not the set's last train
  EXPECT_FALSE(W().MnuCarMarge->isVisible());
  host_.YesNoAnswers = {true};
  W().MnuCarDiv->trigger();
  ASSERT_EQ(brd_.Cars.size(), 2u);
  const TCarObj* b = brd_.FindCar(2, "");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(brd_.TrainNos.at("103"), b);
  EXPECT_EQ(car_->TmTbl.Count(), 3);
  // Set 2 stands where 103 starts: B's platform 1.
  EXPECT_EQ(std::abs(b->TmTbl.At(0).Loc), std::abs(MakeEntCode(B, 1, 0)));

  // Merged back: set 2 leaves from where 101 ends.
  ASSERT_TRUE(ClickCell("101", 3));
  EXPECT_TRUE(W().MnuCarMarge->isVisible());
  host_.YesNoAnswers = {true};
  W().MnuCarMarge->trigger();
  EXPECT_TRUE(Said("併合対象の編成(ID=2)と併合してよろしいですね？"));
  EXPECT_EQ(brd_.Cars.size(), 1u);
  EXPECT_EQ(car_->TmTbl.Count(), 5);
  EXPECT_EQ(brd_.TrainNos.at("103"), car_);

  // A new set stabled at C's platform 2, then deleted: it has no train.
  dlg_.NewCars = {TNewCarChoice{TCarProp{0, "", 0x0000FF, 4, 90}, MakeEntCode(C, 2, 0)}};
  W().MnuCarNew->trigger();
  ASSERT_EQ(brd_.Cars.size(), 2u);
  dlg_.Selections = {0};
  W().MnuCarDel->trigger();
  ASSERT_EQ(dlg_.SelShown.size(), 3u);
  EXPECT_EQ(dlg_.SelShown.back().Items.size(), 1u);  // only the set without trains
  EXPECT_EQ(brd_.Cars.size(), 1u);

  // What was divided and merged back is saved as one train set running both trains.
  const std::string folder = dir_ / "Brd";
  fs::create_directories(folder);
  ASSERT_TRUE(brd_.SaveBrd(folder, false).ok());
  TBrdData back;
  ASSERT_TRUE(back.LoadBrd(dir_.Path(), "Brd").ok());
  ASSERT_EQ(back.Cars.size(), 1u);
  EXPECT_EQ(back.TrainNos.at("101")->Id, 1);
  EXPECT_EQ(back.TrainNos.at("103")->Id, 1);
  EXPECT_EQ(back.FindCar(1, "")->TmTbl.Count(), 5);
  EXPECT_FALSE(fs::exists(folder + "/car/2.txt"));
}

// The picture is drawn on resizing too: a station that cannot be found is named in the status
// bar, never in a box.
TEST_F(DiaEditorEntry, DrawingReportsAMissingStationInTheStatusBar) {
  brd_.LineStas.push_back("99001");
  W().resize(1400, 600);
  W().RefreshView(true);
  EXPECT_TRUE(host_.Events.empty());
  EXPECT_EQ(W().SBarDia->text().toStdString(), "Error(STA:99001)");
  EXPECT_EQ(W().StaCols.size(), 4u);
}

TEST_F(DiaEditorEntry, SpecialViewsMarkAndRender) {
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"101", "普通"}};
  dlg_.Steps = {StopVia("B  1番ホーム", "1000"), PassVia("C  1番ホーム"), StopVia("D  2番ホーム"),
                Cancel()};
  W().MnuTrainNew->trigger();
  const std::string png = PngDir();
  W().grab().save(QString::fromStdString(png + "entry_normal.png"));
  // The path view marks the row and lights the train's tracks in aqua.
  ASSERT_TRUE(ClickCell("101", 1));
  W().MnuShowPath->trigger();
  EXPECT_EQ(W().Ed->DiaMode, TDiaMode::kPathShown);
  EXPECT_EQ(W().Ed->MarkRow, 1);
  EXPECT_FALSE(W().PathElems.empty());
  const int y = TFrmDiaEditor::SlotY(*brd_.FindSta(A, ""), brd_.Sections[0].TrackStart[0], false);
  const int x = W().StaCols[0].To + 1;
  EXPECT_EQ(W().LineBmp.pixelColor(x, y), QColor(0, 255, 255));
  QImage grid(W().GrdTm->size(), QImage::Format_RGB32);
  W().GrdTm->render(&grid);
  EXPECT_EQ(grid.pixelColor(W().GrdTm->CellRect(2, 1).topLeft() + QPoint(2, 2)),
            QColor(255, 255, 0));
  W().grab().save(QString::fromStdString(png + "path.png"));
  // The passed station's popup offers its passing time.
  ASSERT_TRUE(ClickCell("101", 5));
  EXPECT_TRUE(W().MnuHint->isVisible());
  EXPECT_EQ(W().MnuHint->text().toStdString(),
            "通過時刻：" + TimeToText(W().Ed->Dia.Cell(0, 2).TmStart, true));
  // The occupancy at B's arrival: the block A - B is no longer held, B's platform is.
  ASSERT_TRUE(ClickCell("101", 3));
  W().MnuOccupyStatus->trigger();
  EXPECT_EQ(W().Ed->OccTm, W().Ed->Dia.Cell(0, 1).TmStart);
  QTest::mouseClick(W().PnlBlkPack, Qt::LeftButton);
  EXPECT_FALSE(W().Ed->BlkPack);  // no compression while occupancy is shown
  // A train held in the block B - C at that time is drawn there in red.
  brd_.Blks.at("2")->Occupy("Y", W().Ed->OccTm - 10, 100);
  W().RefreshView(true);
  const TSection& bc = brd_.Sections[1];
  const int yb = TFrmDiaEditor::SlotY(*brd_.FindSta(B, ""), bc.TrackStart[0], false);
  EXPECT_EQ(W().LineBmp.pixelColor(W().StaCols[1].To + 2, yb), QColor(255, 0, 0));
  W().grab().save(QString::fromStdString(png + "occupancy.png"));
  // One train set: both directions, the menus of sets and trains off.
  ASSERT_TRUE(ClickCell("101", 1));
  W().MnuShowOneCar->trigger();
  EXPECT_EQ(W().EdtCarId->text(), "1");
  EXPECT_FALSE(W().MnuCar->isEnabled());
  EXPECT_EQ(W().SBarDia->text().toStdString(),
            "通常の表示に戻るには「上り」か「下り」のボタンを押して下さい");
  W().grab().save(QString::fromStdString(png + "one_car.png"));
  QTest::mouseClick(W().PnlKudari, Qt::LeftButton);
  EXPECT_TRUE(W().EdtCarId->text().isEmpty());
  EXPECT_TRUE(W().MnuCar->isEnabled());
  // One station: the column of B marked, the trains by their arrival there.
  ASSERT_TRUE(ClickCell("101", 3));
  W().MnuShowOneSta->trigger();
  EXPECT_EQ(W().EdtCarId->text(), "*1");
  EXPECT_EQ(W().Ed->MarkCol, 3);
  EXPECT_EQ(W().Ed->MarkRow, kNoMark);
}

// Dark pixels of a grid cell left and right of its middle (the platform number box excluded).
std::pair<int, int> InkLeftRight(TFrmDiaEditor& w, int col, int row) {
  QImage img(w.GrdTm->size(), QImage::Format_RGB32);
  w.GrdTm->render(&img);
  const QRect r = w.GrdTm->CellRect(col, row);
  int left = 0, right = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left() + 2; x < r.right() - 1; ++x) {
      if (std::abs(x - r.center().x()) < 12 || img.pixelColor(x, y).lightness() > 100) continue;
      (x < r.center().x() ? left : right) += 1;
    }
  }
  return {left, right};
}

TEST_F(DiaEditorEntry, UpTrainShowsArrivalRightAndDepartureLeft) {
  QTest::mouseClick(W().PnlNobori, Qt::LeftButton);
  dlg_.Selections = {0};
  dlg_.Trains = {TTrainChoice{"202", ""}};
  // An up train needs a set that stands further down the line: a new one at C.
  dlg_.NewCars = {TNewCarChoice{TCarProp{0, "", 0xFF, 4, 72}, MakeEntCode(C, 2, 0)}};
  W().MnuCarNew->trigger();
  dlg_.Selections = {1};  // set 2, stabled at C
  dlg_.Steps = {StopVia("B  1番ホーム", "1000"), Cancel()};
  W().MnuTrainNew->trigger();
  const int row = RowOf(W(), "202");
  ASSERT_GT(row, 0);
  // C is the origin: its departure on the left. B is the terminal: its arrival on the right.
  const auto [cLeft, cRight] = InkLeftRight(W(), 5, row);
  EXPECT_GT(cLeft, 0);
  EXPECT_EQ(cRight, 0);
  const auto [bLeft, bRight] = InkLeftRight(W(), 3, row);
  EXPECT_EQ(bLeft, 0);
  EXPECT_GT(bRight, 0);
  EXPECT_EQ(W().GrdTm->Cell(4, row), "*");
}

TEST_F(DiaEditorEntry, ClosingWithProblemsAsksFirst) {
  W().Ed->ChkMsg = "\n編成1はA駅の1番ホームから回送が必要です";
  host_.YesNoAnswers = {false};
  W().MnuReg->trigger();
  EXPECT_TRUE(W().isVisible());
  host_.YesNoAnswers = {true};
  W().MnuReg->trigger();
  EXPECT_FALSE(W().isVisible());
  EXPECT_EQ(host_.Events[0].Text,
            "不具合な箇所がありますがこのまま終了しますか？：\n\n編成1はA駅の1番ホームから回送が必"
            "要です");
}

}  // namespace
}  // namespace ramvel::test
