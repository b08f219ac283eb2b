// The selection dialog: sizes of both modes, choosing, keys, and the lists of each choice.
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "NetBuilder.h"
#include "ShellFixture.h"
#include "windows/common/UrwSelStaForm.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

Names Items(int n) {
  Names out;
  for (int i = 1; i <= n; ++i) out.push_back("Item" + std::to_string(100 + i));
  return out;
}

void KeyUp(QWidget* w, int key) {
  QKeyEvent e(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

class SelStaTest : public ::testing::Test {
 protected:
  SelStaTest() { App(); }
  TFrmSelSta& Dlg() {
    if (!dlg_) dlg_ = std::make_unique<TFrmSelSta>();
    return *dlg_;
  }
  // Rows shown, list height and client height while the dialog is open; it is then cancelled.
  struct TSizes {
    int ItemH = 0, ListH = 0, ClientH = 0;
    bool OkEnabled = false;
    int Selected = -2;
  };
  TSizes SizesOf(const Names& list, bool textMode) {
    TSizes s;
    OnModal([this, &s](QWidget*) {
      TFrmSelSta& d = Dlg();
      s.ItemH = d.LbxSta->visualItemRect(d.LbxSta->item(0)).height();
      s.ListH = d.LbxSta->height();
      s.ClientH = d.height();
      s.OkEnabled = d.BtnOk->isEnabled();
      s.Selected = d.SelectedIndex();
      d.reject();
    });
    EXPECT_FALSE(Dlg().ShowSelList(list, "prompt", textMode));
    return s;
  }

  TScriptedHost host_;
  TUiHostScope scope_{host_};
  std::unique_ptr<TFrmSelSta> dlg_;
};

TEST_F(SelStaTest, TwentyTextItemsShowFifteenRows) {
  const TSizes s = SizesOf(Items(20), true);
  EXPECT_EQ(s.ItemH, 15);
  EXPECT_EQ(s.ListH, 230);
  EXPECT_EQ(s.ClientH, 240);
  EXPECT_FALSE(s.OkEnabled);
  EXPECT_EQ(s.Selected, -1);
}

TEST_F(SelStaTest, ThreeStationPicturesShowThreeRows) {
  const TSizes s = SizesOf(Items(3), false);
  EXPECT_EQ(s.ItemH, 60);
  EXPECT_EQ(s.ListH, 185);
  EXPECT_EQ(s.ClientH, 195);
}

TEST_F(SelStaTest, TenStationPicturesShowEightRows) {
  const TSizes s = SizesOf(Items(10), false);
  EXPECT_EQ(s.ListH, 485);
  EXPECT_EQ(s.ClientH, 495);
}

TEST_F(SelStaTest, OneItemIsChosenAlreadyAndEnterTakesIt) {
  const TSizes s = SizesOf(Items(1), true);
  EXPECT_EQ(s.ClientH, 75);
  EXPECT_TRUE(s.OkEnabled);
  EXPECT_EQ(s.Selected, 0);
  OnModal([](QWidget* w) { KeyUp(w, Qt::Key_Return); });
  ASSERT_TRUE(Dlg().ShowSelList({"Only"}, "prompt", true));
  EXPECT_EQ(Dlg().SelectedText(), "Only");
}

TEST_F(SelStaTest, EnterWithoutAChoiceDoesNothingAndEscapeCancels) {
  OnModal([this](QWidget* w) {
    KeyUp(Dlg().LbxSta, Qt::Key_Return);
    EXPECT_TRUE(w->isVisible());
    KeyUp(Dlg().LbxSta, Qt::Key_Escape);
  });
  EXPECT_FALSE(Dlg().ShowSelList(Items(4), "prompt", true));
}

TEST_F(SelStaTest, ChoosingAnItemEnablesOk) {
  OnModal([this](QWidget*) {
    Dlg().LbxSta->setCurrentRow(2);
    EXPECT_TRUE(Dlg().BtnOk->isEnabled());
    Dlg().BtnOk->click();
  });
  ASSERT_TRUE(Dlg().ShowSelList(Items(4), "見出し", true));
  EXPECT_EQ(Dlg().SelectedText(), "Item103");
  EXPECT_EQ(Dlg().windowTitle().toStdString(), "見出し");
}

TEST_F(SelStaTest, EmptyListSaysSoWithoutOpening) {
  EXPECT_FALSE(Dlg().ShowSelList({}, "prompt", true));
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Caption, "お知らせ");
  EXPECT_EQ(host_.Events[0].Text, "選択できるものがありません");
}

TEST_F(SelStaTest, TrainSetNumberIsTheTextBeforeTheBracket) {
  OnModal([this](QWidget*) {
    Dlg().LbxSta->setCurrentRow(1);
    Dlg().accept();
  });
  int32_t no = 0;
  ASSERT_TRUE(Dlg().SelectCarId({"   7 ( 4両編成 始発駅：A駅 1番ホーム)", "  12 ("}, "編成", no));
  EXPECT_EQ(no, 12);
}

TEST_F(SelStaTest, TrainNumberChoice) {
  OnModal([this](QWidget* w) {
    EXPECT_EQ(w->windowTitle().toStdString(), "列車を選択して下さい");
    Dlg().LbxSta->setCurrentRow(0);
    Dlg().accept();
  });
  std::string trNo;
  ASSERT_TRUE(Dlg().SelectTrNo({"101M", "102M"}, trNo));
  EXPECT_EQ(trNo, "101M");
}

TEST_F(SelStaTest, LinesOfTheBoardFolderSorted) {
  TTempDir brd;
  for (const char* n : {"west.txt", "East.txt", "note.dat"})
    WriteBytes(brd / ("line/" + std::string(n)), "");
  Names shown;
  OnModal([this, &shown](QWidget* w) {
    EXPECT_EQ(w->windowTitle().toStdString(), "路線を選択して下さい");
    for (int i = 0; i < Dlg().LbxSta->count(); ++i) {
      shown.push_back(Dlg().LbxSta->item(i)->text().toStdString());
    }
    Dlg().reject();
  });
  std::string name;
  EXPECT_FALSE(Dlg().SelectLine(brd.Path(), name));
  EXPECT_EQ(shown, (Names{"EAST", "WEST"}));
}

// ---- Station files -----------------------------------------------------------------------------

class SelStaFilesTest : public SelStaTest {
 protected:
  SelStaFilesTest() {
    for (auto [id, name] : {std::pair{1001, "A"}, std::pair{2001, "B"}, std::pair{3001, "C"}}) {
      TStaObj sta = TwoPlatformStation(id, name);
      EXPECT_TRUE(sta.SaveSta(brd_ / "station").ok());
    }
    brdData_.Stas.emplace("1001", std::make_unique<TStaObj>(TwoPlatformStation(1001, "A")));
  }
  // The names offered, and whether each picture block holds anything but grey.
  Names Offered(int kind, std::vector<bool>* drawn = nullptr) {
    Names shown;
    OnModal([this, &shown](QWidget*) {
      for (int i = 0; i < Dlg().LbxSta->count(); ++i) {
        shown.push_back(Dlg().LbxSta->item(i)->text().toStdString());
      }
      Dlg().reject();
    });
    std::string name;
    EXPECT_FALSE(Dlg().SelectSta(kind, brd_.Path(), &brdData_, name));
    if (drawn != nullptr) {
      for (size_t b = 0; b < shown.size(); ++b) drawn->push_back(BlockDrawn(static_cast<int>(b)));
    }
    return shown;
  }
  bool BlockDrawn(int b) {
    const QImage& pics = Dlg().StaPics;
    for (int y = 60 * b; y < 60 * b + 60; ++y) {
      for (int x = 0; x < 100; ++x) {
        if (pics.pixelColor(x, y) != QColor(128, 128, 128)) return true;
      }
    }
    return false;
  }

  TTempDir brd_;
  TBrdData brdData_;
};

TEST_F(SelStaFilesTest, PlacingOffersOnlyStationsNotOnTheBoard) {
  EXPECT_EQ(Offered(2), (Names{"B", "C"}));
  EXPECT_EQ(Offered(0), (Names{"A", "B", "C"}));
  EXPECT_EQ(Offered(1), (Names{"A", "B", "C"}));
  EXPECT_EQ(Dlg().windowTitle().toStdString(), "駅を選択して下さい");
  EXPECT_EQ(Dlg().StaPics.size(), QSize(100, 180));
}

TEST_F(SelStaFilesTest, EveryStationGetsItsPictureAndUnreadableFilesStayGrey) {
  WriteBytes(brd_ / "station/BAD.txt", "LBL_ID=x\r\n");
  std::vector<bool> drawn;
  EXPECT_EQ(Offered(0, &drawn), (Names{"A", "B", "BAD", "C"}));
  EXPECT_EQ(drawn, (std::vector<bool>{true, true, false, true}));
}

TEST_F(SelStaFilesTest, NothingLeftToPlace) {
  for (int id : {2001, 3001}) {
    brdData_.Stas.emplace(std::to_string(id), std::make_unique<TStaObj>(
                                                  TwoPlatformStation(id, id == 2001 ? "B" : "C")));
  }
  std::string name;
  EXPECT_FALSE(Dlg().SelectSta(2, brd_.Path(), &brdData_, name));
  ASSERT_EQ(host_.Events.size(), 1u);
  EXPECT_EQ(host_.Events[0].Text, "選択できるものがありません");
}

}  // namespace
}  // namespace ramvel::test
