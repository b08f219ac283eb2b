// The main window's 駅データの編集 (save first, the designer, the station counter taken back,
// the board read again in design mode), and stations designed by clicks carrying trains.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "DiaScript.h"
#include "DiaSupport.h"
#include "NetBuilder.h"
#include "ShellFixture.h"
#include "StaClicks.h"
#include "engine/UrwBrdView.h"
#include "windows/station_designer/UrwStaEntConnForm.h"
#include "timetable/UrwDiaEditor.h"
#include "windows/common/UrwSelStaForm.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

constexpr const char* kSaveFirst = "先にボードの保存が必要です。保存してよろしいですか？";

class StaEditMenu : public ShellTest {
 protected:
  void SetUp() override {
    CopyPieces(base_.Path());
    MakeBoard(base_.Path(), "B");  // stations A and B, ID_STA = 2
    WriteBytes(Base() + "latest.txt", "B\r\n");
  }
  TFrmMain& OpenInDesign() {
    TFrmMain& m = Main();
    EXPECT_TRUE(m.OpenBrd(TOpenKind::kRecent, 0));
    m.SetMode(true);
    return m;
  }
};

TEST_F(StaEditMenu, TheDesignerWorksOnTheSavedBoardWhichIsThenReadAgain) {
  TFrmMain& m = OpenInDesign();
  ASSERT_TRUE(m.MnuStaEdit->isEnabled());
  m.Edit.Brd.ID_RAIL = 9;  // an unsaved change
  m.Edit.Brd.Modified = true;
  host_.YesNoAnswers = {true};
  bool shown = false;
  OnModal([&](QWidget* w) {
    auto* d = qobject_cast<TFrmStaEditor*>(w);
    ASSERT_NE(d, nullptr);
    shown = true;
    EXPECT_EQ(d->IdSta(), 2);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("駅データの編集 - 新規"));
    // Saved before the designer opened.
    EXPECT_NE(ReadBytes(Base() + "B/Board.txt").find("ID_RAIL=9\r\n"), std::string::npos);
    // Only the station files the designer writes are read again, not this change in memory.
    m.Edit.Brd.FindSta(1001, "")->Desc = "memo";
    TStaClicks(*d).Design(PassingLoop(), host_);
    d->MnuSave->trigger();
    d->MnuExit->trigger();
  });
  m.MnuStaEdit->trigger();
  EXPECT_TRUE(shown);
  EXPECT_EQ(host_.Texts(), Texts{kSaveFirst});
  EXPECT_EQ(m.Edit.Brd.ID_STA, 3);
  EXPECT_FALSE(m.Edit.Brd.Modified);
  EXPECT_TRUE(m.Edit.View.DesignMode);
  EXPECT_EQ(m.Edit.View.EditMode, kEditIdle);
  ASSERT_NE(m.Edit.Brd.FindSta(1001, ""), nullptr);
  EXPECT_EQ(m.Edit.Brd.FindSta(1001, "")->Desc, "");
  EXPECT_EQ(m.Edit.Brd.Stas.size(), 2u);  // the new station waits to be placed
  EXPECT_NE(ReadBytes(Base() + "B/Board.txt").find("ID_STA=3\r\n"), std::string::npos);
  const std::string sta = ReadBytes(Base() + "B/station/待避.txt");
  EXPECT_NE(sta.find("3001"), std::string::npos);
  EXPECT_EQ(m.RecentBrds.front(), "B");
}

// Closes whatever modal window turns up and remembers that one did.
class TModalGuard {
 public:
  TModalGuard() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (QWidget* w = QApplication::activeModalWidget()) {
        Shown = true;
        w->close();
      }
    });
    timer_.start(10);
  }
  bool Shown = false;

 private:
  QTimer timer_;
};

TEST_F(StaEditMenu, NoToSavingFirstKeepsTheDesignerClosed) {
  TFrmMain& m = OpenInDesign();
  m.Edit.Brd.Modified = true;
  host_.YesNoAnswers = {false};
  TModalGuard guard;
  m.MnuStaEdit->trigger();
  EXPECT_FALSE(guard.Shown);
  EXPECT_EQ(host_.Texts(), Texts{kSaveFirst});
  EXPECT_TRUE(m.Edit.Brd.Modified);
  EXPECT_EQ(m.Edit.Brd.ID_STA, 2);
}

TEST_F(StaEditMenu, MissingPiecesAreReportedAndNothingElseHappens) {
  fs::remove(Base() + "rw_panel.txt");
  TFrmMain& m = OpenInDesign();
  m.Edit.Brd.Modified = true;
  TModalGuard guard;
  m.MnuStaEdit->trigger();
  EXPECT_FALSE(guard.Shown);
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Caption, "エラー");
  EXPECT_EQ(
      host_.Events[0].Text.rfind("駅の部品定義を読み込めないため、駅データの編集を開けません。", 0),
      0u)
      << host_.Events[0].Text;
  EXPECT_NE(host_.Events[0].Text.find("rw_panel.txt"), std::string::npos);
  EXPECT_TRUE(m.Edit.Brd.Modified);
}

// ---- Trains through stations designed by clicks ------------------------------------------------

std::string ClockText(int32_t t) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d%02d.%02d", 4 + t / 3600, t % 3600 / 60, t % 60);
  return buf;
}

// The train sets' lines of a locate report for one train set: "no\tstate\ttrain\thead\ttail".
std::string LocateLine(const std::string& out, int32_t carNo) {
  const std::string head = std::to_string(carNo) + "\t";
  for (size_t at = 0; at < out.size();) {
    const size_t end = out.find('\n', at);
    const std::string line = out.substr(at, end - at);
    if (line.rfind(head, 0) == 0) return line;
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return "";
}

// x and y of the n-th position (0 head, 1 tail) of a locate line.
std::pair<double, double> PosOf(const std::string& line, int n) {
  size_t at = 0;
  for (int i = 0; i < 3 + n; ++i) at = line.find('\t', at) + 1;
  double x = 0, y = 0;
  std::sscanf(line.c_str() + at, "%lf,%lf", &x, &y);
  return {x, y};
}

class StaDesignRun : public StaEditMenu {
 protected:
  // Designs the four stations in the designer window as a user does and saves them into the
  // board folder: 終端 1001, 終端西 2001 (copied and mirrored), 待避 3001, 立体 4001.
  void DesignAll(const std::string& brdName) {
    TFrmStaEditor win;
    ASSERT_TRUE(win.Open(base_.Path(), brdName, 0));
    win.show();
    TStaClicks c(win);
    c.Design(Terminus(), host_);
    win.MnuSave->trigger();
    OnModal([](QWidget* w) {
      auto* sel = qobject_cast<TFrmSelSta*>(w);
      ASSERT_NE(sel, nullptr);
      sel->LbxSta->setCurrentRow(0);
      QTest::mouseClick(sel->BtnOk, Qt::LeftButton);
    });
    win.MnuCopy->trigger();
    win.MnuRevH->trigger();
    c.SetEntries(0, 1);
    c.Type(win.EdtName, "終端西");
    win.MnuSave->trigger();
    for (const TStaPicture& pic : {PassingLoop(), Crossing()}) {
      win.MnuNew->trigger();
      c.Design(pic, host_);
      win.MnuSave->trigger();
    }
    EXPECT_EQ(win.IdSta(), 4);
  }
  TStaObj* Place(TBrdData& brd, const std::string& name, int32_t gx, int32_t gy) {
    int32_t id = 0;
    const TStatus st = brd.StaReg(folder_, name, id);
    EXPECT_TRUE(st) << st.Msg();
    brd.StaPlace(id, {gx, gy}, {11, 0}, nullptr, nullptr);
    return brd.FindSta(id, "");
  }
  // Enters one train through the diagram editor of the board's current line.
  void EnterTrain(TBrdData& brd, int32_t from, const std::string& no,
                  std::deque<TStepAnswer> steps) {
    TScriptedDiaDialogs dlg;
    TCountingView view;
    TDiaEditor ed(brd, dlg, &view);
    const int32_t carNo = AddCar(brd, from, 1).Id;
    ed.OpenDia();
    // The list offers the train sets that may start a train here; a first look finds ours.
    EXPECT_FALSE(ed.TrainNew());
    ASSERT_EQ(dlg.SelShown.size(), 1u);
    const std::vector<std::string>& items = dlg.SelShown[0].Items;
    int32_t index = -1;
    for (size_t i = 0; i < items.size(); ++i) {
      if (std::stoi(items[i]) == carNo) index = static_cast<int32_t>(i);
    }
    ASSERT_GE(index, 0);
    dlg.Unanswered = 0;
    dlg.Selections.push_back(index);
    dlg.Trains.push_back(TTrainChoice{no, "普通"});
    dlg.Steps = std::move(steps);
    EXPECT_TRUE(ed.TrainNew());
    EXPECT_EQ(dlg.Unanswered, 0);

    EXPECT_EQ(ed.ChkMsg, "");
  }
  void SetLine(TBrdData& brd, const std::string& name, const std::vector<TStaObj*>& stas) {
    ASSERT_TRUE(brd.SetLine(name));
    brd.LineStas.clear();
    for (const TStaObj* s : stas) brd.LineStas.push_back(IntText(s->Id));
    brd.LineSides.assign(brd.LineStas.size(), 0);
  }

  std::string folder_;
};

// 本線: 終端西 - 待避 - 終端 on single track, the train taking 待避's loop (platform 2);
// 支線: A - 立体 - B on double track through the crossings of 立体.
TEST_F(StaDesignRun, TrainsRunThroughTheDesignedStations) {
  MakeEmptyBoard(base_.Path(), "R", 80, 40);
  folder_ = Base() + "R";
  DesignAll("R");
  host_.Events.clear();
  TBrdData brd;
  TStaObj* w = Place(brd, "終端西", 0, 0);
  TStaObj* p = Place(brd, "待避", 22, 0);
  TStaObj* t = Place(brd, "終端", 44, 0);
  ASSERT_TRUE(w && p && t);
  brd.RailReg({11, 0}, {11, 0}, w, p, 1);
  brd.RailReg({33, 0}, {11, 0}, p, t, 1);
  TStaObj* a = PutStation(brd, TwoPlatformStation(11001, "A"), 0, 20);
  TStaObj* x = Place(brd, "立体", 22, 20);
  TStaObj* b = PutStation(brd, TwoPlatformStation(12001, "B"), 44, 20);
  ASSERT_TRUE(x);
  brd.RailReg({11, 20}, {11, 0}, a, x, 2);
  brd.RailReg({33, 20}, {11, 0}, x, b, 2);
  brd.ID_STA = 12;
  brd.SCR_MPERP = 18;

  SetLine(brd, "本線", {w, p, t});
  EnterTrain(brd, w->Id, "101",
             {StopVia("待避  2番ホーム", "600"), StopVia("終端  1番ホーム", "610")});
  ASSERT_TRUE(brd.SaveLine(folder_));
  SetLine(brd, "支線", {a, x, b});
  EnterTrain(brd, a->Id, "201",
             {PassVia("立体  1番ホーム", "700"),
              // 立体's right crossing leads its platform 1 to B's track 2.
              StopVia("B  2番ホーム")});
  ASSERT_TRUE(brd.SaveLine(folder_));
  ASSERT_TRUE(brd.SaveBrd(folder_, false));
  EXPECT_EQ(host_.Texts(), (Texts{"列車を追加しました", "列車を追加しました"}));

  const TProgramRun check = RunProgram(RAMVEL_CLI, {"check", folder_}, base_.Path());
  EXPECT_NE(check.Out.find("line 本線: ok"), std::string::npos) << check.Out << check.Err;
  EXPECT_NE(check.Out.find("line 支線: ok"), std::string::npos) << check.Out;
  const std::string layout = check.Out.substr(0, check.Out.find('\n'));
  for (const char* name : {"終端", "待避", "立体"}) {
    EXPECT_EQ(layout.find(name), std::string::npos) << layout;
  }

  // Train 101 stands in 待避's loop (row 11: 4 m off the axis) between its arrival and its
  // departure; the station spans x = 2376 .. 3564 m.
  const TCarObj& car1 = *brd.FindCar(1, "");
  int32_t arrP = -1;
  for (const TTmTbl& step : car1.TmTbl.Items()) {
    const TEntCode at = SplitEntCode(step.Loc);
    if (at.Id == p->Id && step.TmStart > 0) {
      EXPECT_EQ(at.Slot, 2);  // the loop
      arrP = step.TmStart;
      break;
    }
  }
  ASSERT_GT(arrP, 0);
  TProgramRun loc = RunProgram(RAMVEL_CLI, {"locate", folder_, ClockText(arrP + 30)}, base_.Path());
  ASSERT_EQ(loc.Exit, 0) << loc.Err;
  const std::string line1 = LocateLine(loc.Out, 1);
  ASSERT_FALSE(line1.empty()) << loc.Out;
  const auto [hx, hy] = PosOf(line1, 0);
  EXPECT_GT(hx, 2376);
  EXPECT_LT(hx, 3564);
  // Across the axis the view draws tracks TrackWide times as far apart as they lie; at one
  // metre per pixel that is 6.
  const double loopY = 4.0 * TBrdView::TrackWideFor(1);
  EXPECT_EQ(hy, loopY) << line1;
  EXPECT_EQ(PosOf(line1, 1).second, loopY) << line1;
}

}  // namespace
}  // namespace ramvel::test
