// Undo and redo of the diagram editor on the sample board's 本線: a seeded random run of train
// set and train commands (accepted and refused ones alike), taken back to the last step and done
// again, must save the very bytes of the board before and after.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "timetable/UrwDiaEditor.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

// Questions answered Yes four times in five.
class TRandomHost : public TScriptedHost {
 public:
  explicit TRandomHost(std::mt19937& rng) : rng_(rng) {}
  bool AskYesNo(const std::string&, const std::string&) override { return rng_() % 5 != 0; }
  void ShowMsgBox(const std::string&, const std::string&) override {}

 private:
  std::mt19937& rng_;
};

// Answers every dialog of the editor at random from one generator.
class TRandomDialogs : public TDiaDialogs {
 public:
  explicit TRandomDialogs(std::mt19937& rng) : rng_(rng) {}

  int32_t Pick(size_t n) { return static_cast<int32_t>(rng_() % n); }
  bool Chance(int percent) { return Pick(100) < percent; }

  bool OneStep(TDiaOneStep& form) override {
    for (int tries = 0; tries < 3 && !form.LbxSta.empty() && !Chance(10); ++tries) {
      form.StaIndex = Pick(form.LbxSta.size());
      if (!form.LbxStart.empty() && Chance(40)) form.LbxStartClick(Pick(form.LbxStart.size()));
      if (Chance(15)) form.EdtCurSta = Chance(50) ? "25:99" : "5:00";  // often refused
      if (Chance(20) ? form.BtnThruClick() : form.BtnOkClick()) return true;
    }
    return false;
  }
  std::optional<int32_t> SelectItem(const std::vector<std::string>& items, const std::string&,
                                    bool) override {
    if (items.empty() || Chance(10)) return std::nullopt;
    return Pick(items.size());
  }
  std::optional<TNewCarChoice> NewCar(const std::vector<std::string>&,
                                      const std::vector<std::string>&, TBrdData& brd) override {
    if (Chance(10)) return std::nullopt;
    TNewCarChoice c;
    c.Prop.NCar = 1 + Pick(10);  // 9 and 10 are refused
    c.Prop.Spd = 60 + 10 * Pick(10);
    const std::string& sta = brd.LineStas[static_cast<size_t>(Pick(brd.LineStas.size()))];
    int32_t id = 0;
    ParseInt(sta, id);
    c.StabLoc = MakeEntCode(id, 1 + Pick(4), 0);
    return c;
  }
  void ShowSpec(const TCarObj&, const std::string&, const std::string&) override {}
  std::optional<TTrainChoice> EditTrain(const TTrainNoList&, const TCarObj&, const std::string&,
                                        const std::string& number, bool, const std::string&,
                                        const std::string&) override {
    if (Chance(10)) return std::nullopt;
    // A number in use now and then, which the dialog's check refuses.
    const std::string no = Chance(20) && !number.empty() ? number : "U" + IntText(++serial_);
    return TTrainChoice{no, Chance(50) ? "普通" : "快速"};
  }

 private:
  std::mt19937& rng_;
  int serial_ = 0;
};

class DiaUndo : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override {
    const std::string sample = std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample";
    fs::copy(sample, folder_, fs::copy_options::recursive);
    ASSERT_EQ(brd_.LoadBrd(dir_.Path(), "Sample").Msg(), "");
    ASSERT_TRUE(brd_.SetLine("本線").ok());
    ASSERT_TRUE(brd_.LoadLine(folder_).ok());
    ed_.OpenDia();
  }
  // The board as saved now: every file of its folder.
  std::map<std::string, std::string> Saved() {
    EXPECT_EQ(brd_.SaveBrd(folder_, false).Msg(), "");
    return test::DirTree(folder_);
  }
  int32_t AnyTrain() { return ed_.Dia.TrCount == 0 ? 0 : dlg_.Pick(ed_.Dia.TrCount + 1) - 1; }
  int32_t AnySlot() { return dlg_.Pick(ed_.Dia.StaCount + 1); }
  // One command of the menus or the grid popup, its dialogs answered at random.
  void RandomCommand() {
    switch (dlg_.Pick(11)) {
      case 0:
        ed_.CarNew();
        break;
      case 1:
        ed_.CarDel();
        break;
      case 2:
      case 3:
        ed_.TrainNew();
        break;
      case 4:
        ed_.TrainBridge();
        break;
      case 5:
        ed_.ChgTrNo();
        break;
      case 6:
        dlg_.Chance(50) ? ed_.TrainDel() : ed_.TrainDel2(AnyTrain());
        break;
      case 7:
        ed_.KukanAdd(AnyTrain());
        break;
      case 8:
        ed_.KukanDelAll(AnyTrain(), AnySlot());
        break;
      case 9:
        ed_.CarDiv(AnyTrain());
        break;
      default:
        ed_.CarMarge(AnyTrain());
        break;
    }
  }

  test::TTempDir dir_;
  const std::string folder_ = dir_ / "Sample";
  std::mt19937 rng_{GetParam()};
  TRandomDialogs dlg_{rng_};
  TRandomHost host_{rng_};
  TUiHostScope scope_{host_};
  TBrdData brd_;
  TDiaEditor ed_{brd_, dlg_};
};

TEST_P(DiaUndo, UndoingEveryStepSavesTheOriginalAndRedoingSavesTheEdited) {
  const auto original = Saved();
  for (int i = 0; i < 200; ++i) RandomCommand();
  const size_t steps = ed_.History.UndoCount();
  ASSERT_GE(steps, 20u) << "too few commands were accepted to prove anything";
  const auto edited = Saved();
  ASSERT_NE(edited, original);
  while (ed_.Undo()) {
  }
  EXPECT_EQ(ed_.History.RedoCount(), steps);
  EXPECT_TRUE(Saved() == original);
  while (ed_.Redo()) {
  }
  EXPECT_TRUE(Saved() == edited);
  // What is derived is rebuilt too: the model shows the edited line as a fresh open does.
  const int32_t shown = ed_.Dia.TrCount;
  const std::string chk = ed_.ChkMsg;
  ed_.OpenDia();
  EXPECT_EQ(ed_.Dia.TrCount, shown);
  EXPECT_EQ(ed_.ChkMsg, chk);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DiaUndo, ::testing::Values(1u, 20u, 300u));

}  // namespace
}  // namespace ramvel
