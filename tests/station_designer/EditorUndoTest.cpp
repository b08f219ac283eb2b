// Undo and redo of the station designer: a seeded random run of clicks, field edits and menu
// commands on a station of the sample board, taken back to the last step and done again, must
// give the very record the station file would hold before and after; and the steps are named.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "StaPicture.h"
#include "TestSupport.h"
#include "station_designer/UrwStaEditor.h"

namespace ramvel {
namespace {

// Questions answered Yes four times in five; input boxes answered with a number, or nonsense.
class TRandomHost : public TScriptedHost {
 public:
  explicit TRandomHost(std::mt19937& rng) : rng_(rng) {}
  bool AskYesNo(const std::string&, const std::string&) override { return rng_() % 5 != 0; }
  void ShowMsgBox(const std::string&, const std::string&) override {}
  void ShowPlainMsg(const std::string&) override {}
  std::optional<std::string> InputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    if (rng_() % 10 == 0) return std::nullopt;
    return rng_() % 6 == 0 ? std::string("x") : std::to_string(rng_() % 12);
  }

 private:
  std::mt19937& rng_;
};

class StaEditorUndo : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override {
    std::filesystem::copy(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample", dir_.Path(),
                          std::filesystem::copy_options::recursive);
    ed_.Open(test::StdPanels(), dir_.Path(), 50);
    ed_.SetHooks({[this](TStaEntConn& conn) {
                    for (int i = 0; i < 3; ++i) conn.Click(Pick(300), Pick(400));
                    return Pick(4) != 0;
                  },
                  [](const std::string&) { return std::optional<std::string>("川辺"); }});
    ASSERT_TRUE(ed_.OpenSta());
  }
  int32_t Pick(uint32_t n) { return static_cast<int32_t>(rng_() % n); }
  // The station's file text as the designer would save it, with the fields it shows.
  std::string State() const {
    std::string out;
    for (const std::string& l : ed_.Sta().MakeRec().Lines) out += l + "\n";
    const TStaFields& f = ed_.Fields();
    return out + f.Name + "|" + f.Desc + "|" + f.EntL + "|" + f.EntR;
  }
  void RandomCommand() {
    switch (Pick(12)) {
      case 0:
      case 1:
      case 2:
      case 3: {
        const TMouseBtn btn = Pick(4) == 0 ? TMouseBtn::kRight : TMouseBtn::kLeft;
        ed_.MouseUp(btn, Pick(5) == 0, Pick(kStaClientW), Pick(kMatrixH));
        break;
      }
      case 4:
        ed_.CbxEntChange(Pick(2), Pick(8) == 0 ? "x" : std::to_string(Pick(12)));
        break;
      case 5:
        ed_.Fields().Desc = "備考" + std::to_string(Pick(3));
        ed_.CommitFields();
        break;
      case 6:
        ed_.RevV();
        break;
      case 7:
        ed_.RevH();
        break;
      case 8:
        ed_.MovU();
        break;
      case 9:
        ed_.MovD();
        break;
      case 10:
        ed_.NumberHomes(Pick(2));
        break;
      default:
        ed_.Hold(Pick(40));
        break;
    }
  }

  test::TTempDir dir_;
  std::mt19937 rng_{GetParam()};
  TRandomHost host_{rng_};
  TUiHostScope scope_{host_};
  TStaEditor ed_;
};

TEST_P(StaEditorUndo, UndoingEveryStepGivesTheOpenedStationAndRedoingTheEdited) {
  EXPECT_FALSE(ed_.History().CanUndo());  // opening a station starts a fresh history
  const std::string original = State();
  for (int i = 0; i < 200; ++i) RandomCommand();
  const size_t steps = ed_.History().UndoCount();
  ASSERT_GE(steps, 20u) << "too few commands changed the station to prove anything";
  const std::string edited = State();
  while (ed_.Undo()) {
  }
  EXPECT_EQ(ed_.History().RedoCount(), steps);
  EXPECT_EQ(State(), original);
  while (ed_.Redo()) {
  }
  EXPECT_EQ(State(), edited);
  EXPECT_TRUE(ed_.Modified());
}

INSTANTIATE_TEST_SUITE_P(Seeds, StaEditorUndo, ::testing::Values(1u, 20u, 300u));

TEST(StaEditorUndoSteps, EachCommandIsOneNamedStepAndARefusalNone) {
  TScriptedHost host;
  TUiHostScope scope(host);
  TStaEditor ed;
  ed.Open(test::StdPanels(), "", 7);
  ASSERT_TRUE(ed.PlacePanel(1, 1, 1));
  EXPECT_EQ(UndoMenuText(ed.History()), "元に戻す: 部品の配置");
  ed.RevV();
  EXPECT_EQ(ed.History().UndoName(), "上下反転");
  EXPECT_FALSE(ed.MovD());  // row 20 holds the piece now: refused
  EXPECT_FALSE(ed.CbxEntChange(0, "x"));
  EXPECT_EQ(ed.History().UndoCount(), 2u);
  ed.Fields().Desc = "typed";  // typing is taken back first
  ASSERT_TRUE(ed.Undo());
  EXPECT_EQ(ed.Sta().Desc, "");
  EXPECT_EQ(RedoMenuText(ed.History()), "やり直し: 駅名・備考の変更");
  ASSERT_TRUE(ed.Undo());
  EXPECT_TRUE(ed.MovD());  // the piece is back in row 1
  EXPECT_FALSE(ed.History().CanRedo());
}

}  // namespace
}  // namespace ramvel
