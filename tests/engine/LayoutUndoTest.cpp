// Undo and redo of design mode on the sample board: a seeded random run of deleting, placing
// stations, laying rails, changing rail connections, renaming and line editing (accepted and
// refused alike), taken back to the last step and done again, must save the very bytes of the
// board before and after.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "TestSupport.h"
#include "engine/UrwLayoutEdit.h"
#include "engine/UrwRailConnState.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

// Questions answered Yes four times in five, selections and names at random.
class TRandomHost : public TScriptedHost {
 public:
  explicit TRandomHost(std::mt19937& rng) : rng_(rng) {}
  bool AskYesNo(const std::string&, const std::string&) override { return rng_() % 5 != 0; }
  void ShowMsgBox(const std::string&, const std::string&) override {}
  std::optional<std::string> InputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    static const char* const kNames[] = {"新駅", "港", "路線X", "a/b", "北野", "東西線"};
    return std::string(kNames[rng_() % 6]) + (rng_() % 2 == 0 ? "" : "2");
  }
  std::optional<size_t> SelectItem(const std::vector<std::string>& items, const std::string&,
                                   const std::string&) override {
    if (items.empty() || rng_() % 10 == 0) return std::nullopt;
    return rng_() % items.size();
  }

 private:
  std::mt19937& rng_;
};

class LayoutUndo : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override {
    fs::copy(std::string(RAMVEL_SOURCE_DIR) + "/data/boards/Sample", folder_,
             fs::copy_options::recursive);
    view_.InitView(200, 220);
    ASSERT_EQ(brd_.LoadBrd(dir_.Path(), "Sample").Msg(), "");
    view_.BrdPath = folder_ + "/";
    brd_.SCR_XLEFT = brd_.SCR_YTOP = 0;
    brd_.SCR_MPERP = kGridM;  // one pixel is one terrain dot
    view_.EndEdit();
    view_.Land = {200, 220, std::vector<uint32_t>(200 * 220, 0xFFFFFF)};  // land everywhere
    for (const auto& [key, sta] : brd_.Stas) homes_.push_back(sta->EndPos[0]);
    edit_.RailConn = [this](TStaObj& sta, TRailObj& rail, int32_t side) {
      TRailConnState st;
      st.Open(sta, rail, side);
      for (int i = 0; i < 3; ++i) st.Click(1 + Pick(st.N + 1));
      if (!st.Changed || Pick(5) == 0) return false;
      st.Apply(sta, rail);
      return true;
    };
  }
  int32_t Pick(size_t n) { return static_cast<int32_t>(rng_() % n); }
  // The board as saved now: its folder, but of the station files only those the board lists
  // (a renamed or deleted station's file stays on disk, as it always has).
  std::map<std::string, std::string> Saved() {
    EXPECT_EQ(brd_.SaveBrd(folder_, false).Msg(), "");
    EXPECT_EQ(edit_.FinishRenames(folder_).Msg(), "");
    std::map<std::string, std::string> tree = test::DirTree(folder_);
    std::erase_if(tree, [&](const auto& kv) {
      if (kv.first.rfind("station/", 0) != 0 || kv.second == "<dir>") return false;
      return std::none_of(brd_.Stas.begin(), brd_.Stas.end(), [&](const auto& s) {
        return kv.first == "station/" + s.second->Name + ".txt";
      });
    });
    return tree;
  }
  // A dot near an object's end, where placing is most often accepted.
  TPoint NearSomeEnd() {
    std::vector<TPoint> ends = homes_;
    for (const auto& [key, sta] : brd_.Stas)
      ends.insert(ends.end(), {sta->EndPos[0], sta->EndPos[1]});
    for (const auto& [key, rail] : brd_.Rails) ends.push_back(rail->EndPos[Pick(2)]);
    const TPoint m = ends[static_cast<size_t>(Pick(ends.size()))];
    const int32_t jitter = Pick(4) == 0 ? 12 : 0;
    return {m.x / kGridM + Pick(2 * jitter + 1) - jitter,
            m.y / kGridM + Pick(2 * jitter + 1) - jitter};
  }
  int32_t AnyObjectId() {
    std::vector<int32_t> ids;
    for (const auto& [key, sta] : brd_.Stas) ids.push_back(sta->Id);
    for (const auto& [key, rail] : brd_.Rails) ids.push_back(rail->Id);
    return ids.empty() ? 0 : ids[static_cast<size_t>(Pick(ids.size()))];
  }
  void Click(int32_t kind, TPoint dot, bool sta) {
    const TPoint px = view_.LandDotToPix(dot.x, dot.y);
    sta ? edit_.StaPlaceEvent(kind, px.x, px.y) : edit_.RailPlaceEvent(kind, px.x, px.y);
  }
  void LayRails() {
    // Most ends are taken; a few tries find a free one (or change a rail's connections).
    for (int i = 0; i < 8 && view_.EditMode != kEditPutRail; ++i) {
      view_.CurObjId = AnyObjectId();
      view_.CurSide = static_cast<uint8_t>(Pick(2));
      if (edit_.StartRailAdd() && view_.EditMode != kEditPutRail) return;
    }
    for (int i = 0; i < 3 && view_.EditMode == kEditPutRail; ++i) {
      const TPoint to = NearSomeEnd();
      Click(kMouseMove, to, false);
      Click(kMouseLeftUp, to, false);
    }
    if (view_.EditMode == kEditPutRail) Click(kMouseOtherUp, {0, 0}, false);
  }
  void PlaceStation() {
    if (!edit_.StartStaAdd()) return;
    edit_.RotateNewSta(Pick(9) - 4);
    const TPoint at = NearSomeEnd();
    Click(kMouseMove, at, true);
    Click(kMouseLeftUp, at, true);
    while (view_.EditMode == kEditPutSta) Click(kMouseOtherUp, at, true);
  }
  void EditLine(bool isNew) {
    if (!edit_.StartLineEdit(isNew)) return;
    for (int i = Pick(6); i > 0; --i) {
      view_.CurObjId = AnyObjectId();
      edit_.LineStaToggle();
    }
    switch (Pick(4)) {
      case 0:
        edit_.MakeRing();
        break;
      case 1:
        edit_.LineEndAsk();
        break;
      default:
        edit_.LineFix();
        break;
    }
    while (view_.EditMode == kEditLine) edit_.LineCancel();
  }
  void RandomCommand() {
    switch (Pick(8)) {
      case 0:
        view_.CurObjId = AnyObjectId();
        edit_.DelObj();
        view_.EndEdit();
        break;
      case 1:
      case 2:
        LayRails();
        break;
      case 3:
      case 4:
        PlaceStation();
        break;
      case 5:
        edit_.StaRename();
        break;
      case 6:
        EditLine(Pick(2) == 0);
        break;
      default:
        edit_.LineDel();
        break;
    }
  }

  test::TTempDir dir_;
  const std::string folder_ = dir_ / "Sample";
  std::mt19937 rng_{GetParam()};
  TRandomHost host_{rng_};
  TUiHostScope scope_{host_};
  TBrdData brd_;
  TBrdView view_{brd_};
  TLayoutEdit edit_{view_};
  std::vector<TPoint> homes_;  // where the sample's stations begin, board metres
};

TEST_P(LayoutUndo, UndoingEveryStepSavesTheOriginalAndRedoingSavesTheEdited) {
  const auto original = Saved();
  for (int i = 0; i < 200; ++i) RandomCommand();
  const size_t steps = edit_.History.UndoCount();
  ASSERT_GE(steps, 20u) << "too few commands were accepted to prove anything";
  const auto edited = Saved();
  ASSERT_NE(edited, original);
  std::set<std::string> names;
  while (edit_.History.CanUndo()) {
    names.insert(edit_.History.UndoName());
    ASSERT_TRUE(edit_.Undo());
  }
  EXPECT_TRUE(brd_.Modified);
  EXPECT_TRUE(Saved() == original);
  while (edit_.Redo()) {
  }
  EXPECT_EQ(edit_.History.UndoCount(), steps);
  EXPECT_TRUE(Saved() == edited);
  // The menu names what each step did.
  std::string all;
  for (const std::string& n : names) all += n + " ";
  EXPECT_TRUE(names.count("レールの敷設") == 1 && names.count("レールの削除") == 1) << all;
}

INSTANTIATE_TEST_SUITE_P(Seeds, LayoutUndo, ::testing::Values(1u, 20u, 300u));

}  // namespace
}  // namespace ramvel
