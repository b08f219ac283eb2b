// The diagnostics window: the fields of a station, a rail and a train set, the station picture
// with the track under the mouse and its occupancy, Escape, and F1 from the main window.
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "NetBuilder.h"
#include "ShellFixture.h"
#include "diagnostics/UrwForDebug.h"

namespace ramvel::test {
namespace {

using Names = std::vector<std::string>;

std::string Text(const QLineEdit* e) { return e->text().toStdString(); }

Names Items(const QListWidget* l) {
  Names out;
  for (int i = 0; i < l->count(); ++i) out.push_back(l->item(i)->text().toStdString());
  return out;
}

Names Row(const QTableWidget* g, int r) {
  Names out;
  for (int c = 0; c < g->columnCount(); ++c) {
    const QTableWidgetItem* it = g->item(r, c);
    out.push_back(it != nullptr ? it->text().toStdString() : "");
  }
  return out;
}

QColor Pixel(const TFrmDebug& d, int x, int y) { return d.Picture.pixelColor(x, y); }

// Runs act; any modal window it opens is closed with Escape and counted.
int ModalsShownBy(const std::function<void()>& act, std::function<void(QWidget*)> look = {}) {
  int shown = 0;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr || !w->isVisible()) return;
    ++shown;
    if (look) look(w);
    QTest::keyClick(w, Qt::Key_Escape);
    if (w->isVisible()) {
      ADD_FAILURE() << "Escape did not close the window";
      static_cast<QDialog*>(w)->reject();
    }
  });
  poll.start(5);
  act();
  poll.stop();
  return shown;
}

// Stations A (1001) from grid (0, 2) and B (2001) from (23, 2), joined by a two-track rail of
// twelve cells (1296 m); train set 1 stabled at A platform 1 runs train 101 from A at 06:00 to
// B platform 1, arriving 06:02:59.
class DebugForm : public ShellTest {
 protected:
  DebugForm() {
    A = PutStation(brd_, TwoPlatformStation(1001, "A"), 0, 2);
    B = PutStation(brd_, TwoPlatformStation(2001, "B"), 23, 2);
    Rail = brd_.RailReg({11, 2}, {12, 0}, A, B, 2);
    const int32_t no = brd_.CarReg({0, "", 0x0000FF, 4, 72}, MakeEntCode(1001, 1, 1));
    Car = brd_.FindCar(no, "");
    Car->TmTbl.Add({"101,普通", At(6, 0), At(6, 0), MakeEntCode(1001, 1, 1)});
    Car->TmTbl.Add({"", At(6, 2, 59), -1, MakeEntCode(2001, 1, 0)});
  }
  ~DebugForm() override { delete dlg_; }
  // Opens the window with show and looks at it with look while it is open; Escape closes it.
  void Show(const std::function<void()>& show, const std::function<void()>& look) {
    const auto inside = [&](QWidget* w) {
      EXPECT_EQ(w, dlg_);
      look();
    };
    EXPECT_EQ(ModalsShownBy(show, inside), 1);
  }

  TBrdData brd_;
  TStaObj* A;
  TStaObj* B;
  TRailObj* Rail;
  TCarObj* Car;
  TFrmDebug* dlg_ = new TFrmDebug(nullptr);
};

TEST_F(DebugForm, StationFieldsAndPicture) {
  Show([&] { dlg_->ShowSta(*A); },
       [&] {
         EXPECT_EQ(Text(dlg_->EdtId), "1001");
         EXPECT_EQ(Text(dlg_->EdtName), "A");
         EXPECT_EQ(Text(dlg_->EdtAng), "0°");
         EXPECT_EQ(Text(dlg_->EdtPosL), "0,216");
         EXPECT_EQ(Text(dlg_->EdtPosR), "1188,216");
         EXPECT_EQ(Text(dlg_->EdtEntL), "2");
         EXPECT_EQ(Text(dlg_->EdtEntR), "2");
         // A station owns its junctions; side 0 is free, side 1 holds the rail's side 0 slots.
         EXPECT_EQ(Text(dlg_->EdtOfsL), "1");
         EXPECT_EQ(Text(dlg_->EdtOfsR), "1");
         EXPECT_EQ(Items(dlg_->LbxEntL), (Names{"0", "0"}));
         EXPECT_EQ(Items(dlg_->LbxEntR), (Names{"1012", "1022"}));
         EXPECT_TRUE(dlg_->Pbx->isVisible());
         EXPECT_FALSE(dlg_->Grd->isVisible());
       });
  // Platform track 1 (u 514..674, v 0) at 2 m per pixel on the middle row; platform track 2
  // (v 4) 12 pixels lower; the ground grey.
  EXPECT_EQ(dlg_->Picture.size(), QSize(594, 240));
  EXPECT_EQ(Pixel(*dlg_, 262, 120), QColor(255, 255, 255));
  EXPECT_EQ(Pixel(*dlg_, 262, 132), QColor(255, 255, 255));
  EXPECT_EQ(Pixel(*dlg_, 262, 100), QColor(128, 128, 128));
  EXPECT_EQ(Pixel(*dlg_, 5, 5), QColor(128, 128, 128));
  EXPECT_FALSE(A->ShowDetail);  // the board's draw flag is left as it was
}

TEST_F(DebugForm, RailShowsItsLengthAndNoPicture) {
  Show([&] { dlg_->ShowRail(*Rail); },
       [&] {
         EXPECT_EQ(Text(dlg_->EdtId), "1002");
         EXPECT_EQ(Text(dlg_->EdtName), "1296m");
         EXPECT_EQ(Text(dlg_->EdtPosL), "1188,216");
         EXPECT_EQ(Text(dlg_->EdtPosR), "2484,216");
         EXPECT_EQ(Text(dlg_->EdtOfsL), "0");
         EXPECT_EQ(Items(dlg_->LbxEntL), (Names{"-1011", "-1021"}));
         EXPECT_EQ(Items(dlg_->LbxEntR), (Names{"2011", "2021"}));
       });
  for (int x = 0; x < 594; x += 37) EXPECT_EQ(Pixel(*dlg_, x, 120), QColor(128, 128, 128));
}

TEST_F(DebugForm, TrainSetListsItsTimetable) {
  Show([&] { dlg_->ShowCar(*Car); },
       [&] {
         EXPECT_EQ(Text(dlg_->EdtId), "1");
         EXPECT_EQ(Text(dlg_->EdtName), "");  // nothing of an earlier object stays
         EXPECT_TRUE(dlg_->Grd->isVisible());
         EXPECT_FALSE(dlg_->Pbx->isVisible());
         const QTableWidget* g = dlg_->Grd;
         EXPECT_EQ(g->horizontalHeaderItem(0)->text().toStdString(), "InTime");
         EXPECT_EQ(g->horizontalHeaderItem(1)->text().toStdString(), "OutTime");
         ASSERT_EQ(g->rowCount(), 3);
         EXPECT_EQ(Row(g, 0), (Names{"-1", "-1", "-1011", ""}));
         EXPECT_EQ(Row(g, 1), (Names{" 600.00", " 600.00", "-1011", "101,普通"}));
         EXPECT_EQ(Row(g, 2), (Names{" 602.59", "-1", "2011", ""}));
         dlg_->grab().save(QStringLiteral(RAMVEL_BINARY_DIR "/debug_car.png"));
       });
}

// The track under the mouse turns blue and lists its occupancy; leaving it turns it white.
TEST_F(DebugForm, TrackUnderTheMouseShowsItsOccupancy) {
  A->ResetOcc();
  StaRail* h1 = A->GetRailInSta(kRailHome, 1);
  ASSERT_NE(h1, nullptr);
  h1->Occ->Add({"101", At(5, 58), At(6, 0, 30), 0});
  Show([&] { dlg_->ShowSta(*A); },
       [&] {
         QTest::mouseMove(dlg_->Pbx, QPoint(262, 120));  // u 524, v 0: platform track 1
         EXPECT_EQ(dlg_->HiRail(), h1);
         EXPECT_EQ(Pixel(*dlg_, 262, 120), QColor(0, 0, 255));
         EXPECT_EQ(Pixel(*dlg_, 320, 120), QColor(0, 0, 255));
         EXPECT_TRUE(dlg_->Grd->isVisible());
         ASSERT_EQ(dlg_->Grd->rowCount(), 1);
         EXPECT_EQ(Row(dlg_->Grd, 0), (Names{" 558.00", " 600.30", "0", "101"}));
         QTest::mouseMove(dlg_->Pbx, QPoint(262, 131));  // v 4 (3.67 rounded): track 2, free
         EXPECT_EQ(dlg_->HiRail(), A->GetRailInSta(kRailHome, 2));
         EXPECT_EQ(Pixel(*dlg_, 262, 120), QColor(255, 255, 255));
         EXPECT_EQ(Pixel(*dlg_, 262, 132), QColor(0, 0, 255));
         EXPECT_FALSE(dlg_->Grd->isVisible());
         QTest::mouseMove(dlg_->Pbx, QPoint(262, 200));  // nothing there
         EXPECT_EQ(dlg_->HiRail(), nullptr);
         EXPECT_EQ(Pixel(*dlg_, 262, 132), QColor(255, 255, 255));
       });
}

// The first and last column holding the platform colour.
std::pair<int, int> PlatformSpan(const TFrmDebug& d) {
  int first = 594, last = -1;
  for (int x = 0; x < 594; ++x) {
    for (int y = 0; y < 240; ++y) {
      if (Pixel(d, x, y) == QColor(128, 0, 0)) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
  }
  return {first, last};
}

// A turned station is drawn at 2 m per pixel along its own axis like any other: platforms at
// u 514..674 cover pixels 257..337, where the mouse finds their tracks.
TEST_F(DebugForm, TurnedStationKeepsTwoMetresPerPixel) {
  brd_.Stas.emplace("3001", std::make_unique<TStaObj>(TwoPlatformStation(3001, "T")));
  brd_.StaPlace(3001, {40, 2}, {8, 8}, nullptr, nullptr);
  TStaObj* t = brd_.FindSta(3001, "");
  Show([&] { dlg_->ShowSta(*A); }, [] {});
  EXPECT_EQ(PlatformSpan(*dlg_), std::make_pair(257, 337));
  Show([&] { dlg_->ShowSta(*t); },
       [&] {
         EXPECT_EQ(Text(dlg_->EdtAng), "45°");
         EXPECT_EQ(PlatformSpan(*dlg_), std::make_pair(257, 337));
         QTest::mouseMove(dlg_->Pbx, QPoint(330, 120));
         EXPECT_EQ(dlg_->HiRail(), t->GetRailInSta(kRailHome, 1));
         EXPECT_EQ(Pixel(*dlg_, 330, 120), QColor(0, 0, 255));
       });
}

// ---- F1 from the main window -------------------------------------------------------------------

class DebugKey : public ShellTest {
 protected:
  // Board S in design mode at 18 m per pixel: station A from pixel (12, 12) to (78, 12), the
  // rail from (78, 12) to (144, 12), station B from (144, 12) to (210, 12).
  TFrmMain& Design() {
    MakeBoard(base_.Path(), "S");
    WriteBytes(Base() + "latest.txt", "S\r\n");
    TFrmMain& m = Main();
    EXPECT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
    m.MnuModeSelClick();
    EXPECT_EQ(m.Edit.View.DesignMode, 1);
    return m;
  }
  // The name field of the window F1 opens over (x, y); "" when none opens.
  std::string F1At(TFrmMain& m, int x, int y) {
    QTest::mouseMove(m.BoardArea, QPoint(x, y));
    std::string name;
    const int n = ModalsShownBy([&] { QTest::keyClick(m.BoardArea, Qt::Key_F1); },
                                [&](QWidget*) { name = Text(m.Debug->EdtName); });
    return n == 0 ? "" : name;
  }
};

TEST_F(DebugKey, F1ShowsTheObjectUnderTheMouse) {
  TFrmMain& m = Design();
  EXPECT_EQ(F1At(m, 45, 12), "A");
  EXPECT_EQ(F1At(m, 110, 14), "1188m");
  EXPECT_EQ(F1At(m, 180, 10), "B");
  EXPECT_TRUE(Shown().empty());
}

TEST_F(DebugKey, F1OverEmptyGroundOrInRunModeShowsNothing) {
  TFrmMain& m = Design();
  EXPECT_EQ(F1At(m, 300, 300), "");
  EXPECT_EQ(m.Edit.View.CurObjId, 0);
  m.MnuModeSelClick();  // run mode
  EXPECT_EQ(F1At(m, 45, 12), "");
  EXPECT_TRUE(Shown().empty());
}

// The diagram editor's F1 names a station (its hover) or else a train set.
TEST_F(DebugKey, DiagramEditorF1ShowsTheStationElseTheTrainSet) {
  TFrmMain& m = Design();
  std::string name, id;
  const auto f1 = [&](int32_t sta, int32_t car) {
    name.clear();
    id.clear();
    return ModalsShownBy([&] { m.DiaDiagnostics(sta, car); },
                         [&](QWidget*) {
                           name = Text(m.Debug->EdtName);
                           id = Text(m.Debug->EdtId);
                         });
  };
  EXPECT_EQ(f1(1001, -1), 1);
  EXPECT_EQ(name, "A");
  EXPECT_EQ(f1(1001, 1), 1);
  EXPECT_EQ(name, "A");
  EXPECT_EQ(f1(-1, 1), 1);
  EXPECT_EQ(id, "1");
  EXPECT_EQ(f1(-1, -1), 0);
  EXPECT_EQ(f1(9001, -1), 0);  // no such station: a lookup box instead of the window
}

// The window for a station, rendered for a look at it.
TEST_F(DebugForm, RendersAStation) {
  A->ResetOcc();
  A->GetRailInSta(kRailHome, 2)->Occ->Add({"205", At(7, 10), At(7, 12), 0});
  QImage shot;
  Show([&] { dlg_->ShowSta(*A); },
       [&] {
         QTest::mouseMove(dlg_->Pbx, QPoint(300, 132));
         QApplication::processEvents();
         shot = dlg_->grab().toImage();
       });
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(QStringLiteral(RAMVEL_BINARY_DIR "/debug_station.png")));
  const QPoint pbx = dlg_->Pbx->mapTo(dlg_, QPoint(0, 0));
  EXPECT_EQ(shot.pixelColor(pbx + QPoint(262, 132)), QColor(0, 0, 255));
}

// The sample board's central station, with its entry crossing, fills the picture end to end.
TEST_F(DebugForm, RendersTheSampleCentralStation) {
  TStaObj sta;
  const TStatus st = sta.LoadSta(RAMVEL_BINARY_DIR "/bin/Sample/station", "中央");
  ASSERT_TRUE(st.ok()) << st.Msg();
  QImage shot;
  Show([&] { dlg_->ShowSta(sta); }, [&] { shot = dlg_->grab().toImage(); });
  EXPECT_TRUE(shot.save(QStringLiteral(RAMVEL_BINARY_DIR "/debug_sample_station.png")));
  int left = 594, right = -1;
  for (int x = 0; x < 594; ++x) {
    for (int y = 0; y < 240; ++y) {
      if (Pixel(*dlg_, x, y) != QColor(128, 128, 128)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  EXPECT_EQ(left, 0);
  EXPECT_EQ(right, 593);  // the side 1 end, u = 1188, falls on x = 594, just past the picture
}

}  // namespace
}  // namespace ramvel::test
