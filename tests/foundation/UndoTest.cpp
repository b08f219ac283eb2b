// The undo history over a target of plain records: which steps are kept, what undo and redo
// write back, nesting, the limit and the menu texts.
#include <gtest/gtest.h>

#include "foundation/UrwUndo.h"

namespace ramvel {
namespace {

// Objects as key -> text; Restore writes back what it is given.
class TMapTarget : public TUndoTarget {
 public:
  TUndoRecs Objs;
  int Restores = 0;
  TUndoRecs Snapshot() const override { return Objs; }
  void Restore(const std::map<std::string, TUndoRec>& recs) override {
    ++Restores;
    for (const auto& [key, rec] : recs) {
      if (rec) {
        Objs[key] = *rec;
      } else {
        Objs.erase(key);
      }
    }
  }
};

class UndoHistory : public ::testing::Test {
 protected:
  void SetUp() override { h_.SetTarget(&t_); }
  // One step that sets key to text (erases it when text is empty).
  bool Set(const std::string& name, const std::string& key, const std::string& text) {
    h_.Begin(name);
    if (text.empty()) {
      t_.Objs.erase(key);
    } else {
      t_.Objs[key] = text;
    }
    return h_.End();
  }
  TMapTarget t_;
  TUndoHistory h_;
};

TEST_F(UndoHistory, UndoAndRedoWalkThroughEveryState) {
  t_.Objs = {{"a", "1"}, {"b", "2"}};
  const TUndoRecs s0 = t_.Objs;
  ASSERT_TRUE(Set("駅の追加", "c", "3"));  // created
  const TUndoRecs s1 = t_.Objs;
  ASSERT_TRUE(Set("レールの敷設", "a", "9"));  // changed
  const TUndoRecs s2 = t_.Objs;
  ASSERT_TRUE(Set("駅の削除", "b", ""));  // deleted
  const TUndoRecs s3 = t_.Objs;
  const TUndoRecs states[] = {s0, s1, s2, s3};
  EXPECT_EQ(UndoMenuText(h_), "元に戻す: 駅の削除");
  for (int i = 2; i >= 0; --i) {
    ASSERT_TRUE(h_.Undo());
    EXPECT_EQ(t_.Objs, states[i]) << i;
  }
  EXPECT_FALSE(h_.Undo());
  EXPECT_EQ(UndoMenuText(h_), "元に戻す");
  EXPECT_EQ(RedoMenuText(h_), "やり直し: 駅の追加");
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(h_.Redo());
    EXPECT_EQ(t_.Objs, states[i]) << i;
  }
  EXPECT_FALSE(h_.Redo());
  EXPECT_EQ(RedoMenuText(h_), "やり直し");
}

TEST_F(UndoHistory, AStepHoldsOnlyWhatChanged) {
  t_.Objs = {{"a", "1"}, {"b", "2"}};
  h_.Begin("列車の新規設定");
  t_.Objs["b"] = "3";
  t_.Objs["c"] = "4";
  t_.Objs.erase("a");
  t_.Objs["a"] = "1";  // back as it was: not part of the step
  ASSERT_TRUE(h_.End());
  t_.Objs["b"] = "5";  // outside any step: left alone by an undo that does not touch it?
  ASSERT_TRUE(h_.Undo());
  // Only b and c were in the step, so b gets its before record and c goes.
  EXPECT_EQ(t_.Objs, (TUndoRecs{{"a", "1"}, {"b", "2"}}));
}

TEST_F(UndoHistory, NothingChangedMakesNoStepAndKeepsRedo) {
  t_.Objs = {{"a", "1"}};
  ASSERT_TRUE(Set("s1", "a", "2"));
  ASSERT_TRUE(h_.Undo());
  EXPECT_FALSE(Set("refused", "a", "1"));  // a refused edit changes nothing
  EXPECT_EQ(h_.UndoCount(), 0u);
  EXPECT_TRUE(h_.CanRedo());
  ASSERT_TRUE(Set("s2", "a", "3"));  // a new step ends the redo chain
  EXPECT_FALSE(h_.CanRedo());
}

TEST_F(UndoHistory, NestedStepsBecomeTheOutermostOne) {
  t_.Objs = {{"a", "1"}};
  const int made = h_.Record("繰り返し作成", [&] {
    for (int i = 0; i < 3; ++i) Set("列車の新規設定", "t" + std::to_string(i), "x");
    EXPECT_FALSE(h_.CanUndo());  // nothing can be taken back while a step is open
    return 3;
  });
  EXPECT_EQ(made, 3);
  EXPECT_EQ(h_.UndoCount(), 1u);
  EXPECT_EQ(h_.UndoName(), "繰り返し作成");
  ASSERT_TRUE(h_.Undo());
  EXPECT_EQ(t_.Objs, (TUndoRecs{{"a", "1"}}));
  EXPECT_EQ(t_.Restores, 1);
}

TEST_F(UndoHistory, KeepsTheNewestStepsUpToItsLimitAndClears) {
  TUndoHistory small(100);
  small.SetTarget(&t_);
  for (int i = 1; i <= 130; ++i) {
    small.Begin("s" + std::to_string(i));
    t_.Objs["a"] = std::to_string(i);
    small.End();
  }
  EXPECT_EQ(small.UndoCount(), 100u);
  while (small.Undo()) {
  }
  EXPECT_EQ(t_.Objs["a"], "30");  // the state before step 31, the oldest kept
  small.Clear();
  EXPECT_FALSE(small.CanRedo());
  EXPECT_GE(TUndoHistory::kDefaultLimit, 100u);
}

}  // namespace
}  // namespace ramvel
