// The start-ordered timetable list: insertion order, free time and waiting.
#include <gtest/gtest.h>

#include "foundation/UrwTmTbl.h"

namespace ramvel {
namespace {

std::vector<std::string> Labels(const TTmTblObj& t) {
  std::vector<std::string> out;
  for (const TTmTbl& r : t.Items()) out.push_back(r.Txt);
  return out;
}

TEST(TmTbl, EqualStartsKeepInsertionOrder) {
  TTmTblObj t;
  t.Add({"a", 300, 310, 0});
  t.Add({"b", 100, 110, 0});
  t.Add({"c", 200, 210, 0});
  t.Add({"d", 200, 220, 0});
  EXPECT_EQ(Labels(t), (std::vector<std::string>{"b", "c", "d", "a"}));
}

TEST(TmTbl, FreeUntil) {
  TTmTblObj t;
  EXPECT_EQ(t.FreeUntil(50), 82800);
  t.Add({"x", 100, 200, 0});
  EXPECT_EQ(t.FreeUntil(50), 100);
  EXPECT_EQ(t.FreeUntil(150), 0);  // inside the record at index 0
  EXPECT_EQ(t.FreeUntil(200), 82800);
  t.Add({"y", 300, 400, 0});
  EXPECT_EQ(t.FreeUntil(350), -1);
  EXPECT_EQ(t.FreeUntil(250), 300);
}

TEST(TmTbl, WaitForPushesPastTrainsAndStopsAtStabledSets) {
  TTmTblObj t;
  EXPECT_EQ(t.WaitFor(100, 50), 0);
  t.Add({"1,普通", 120, 180, 0});
  t.Add({"2,急行", 200, 260, 0});
  EXPECT_EQ(t.WaitFor(100, 50), 160);
  EXPECT_EQ(t.WaitFor(300, 50), 0);  // everything ended before
  EXPECT_EQ(t.WaitFor(100, 10), 0);   // fits before the first
  EXPECT_EQ(t.WaitFor(150, 10), 30);  // waits for the first, fits before the second

  TTmTblObj s;
  s.Add({"1,普通", 120, 180, 0});
  s.Add({"[3]", 200, 260, 0});
  EXPECT_EQ(s.WaitFor(100, 50), 80);
}

TEST(TmTbl, WaitForNeverReturnsIntoALongerInterval) {
  TTmTblObj t;
  t.Add({"long", 120, 300, 0});
  t.Add({"short", 130, 140, 0});
  EXPECT_EQ(t.WaitFor(100, 50), 200);
}

TEST(TmTbl, StepKinds) {
  struct Case {
    TTmTbl rec;
    TStepKind kind;
  };
  using enum TStepKind;
  const Case cases[] = {
      {{"", -1, -1, 0}, kStabling}, {{"", 600, -1, 0}, kArrival},
      {{"1,普通", 600, 600, 0}, kStart}, {{"", 600, 600, 0}, kPass},
      {{"", 600, 660, 0}, kStop},   {{"1,普通", 600, 660, 0}, kStop},
  };
  TTmTblObj t;
  for (const Case& c : cases) {
    EXPECT_EQ(StepKind(c.rec), c.kind) << c.rec.TmStart << " " << c.rec.TmEnd;
    t.Clear();
    t.Add(c.rec);
    TTmTbl got;
    EXPECT_EQ(t.GetKind(0, got), c.kind);
    EXPECT_EQ(got.TmEnd, c.rec.TmEnd);
  }
  EXPECT_TRUE(IsPass({"", 600, 600, 0}));
  EXPECT_FALSE(IsPass({"9,回送", 600, 600, 0}));
}

TEST(TmTbl, DeleteByTxtRemovesEveryMatch) {
  TTmTblObj t;
  t.Add({"a", 1, 2, 0});
  t.Add({"b", 3, 4, 0});
  t.Add({"a", 5, 6, 0});
  t.Add({"c", 7, 8, 0});
  t.Add({"a", 9, 10, 0});
  t.DeleteByTxt("a");
  EXPECT_EQ(Labels(t), (std::vector<std::string>{"b", "c"}));
  t.DeleteByStart(7);
  t.DeleteByStart(99);
  EXPECT_EQ(Labels(t), (std::vector<std::string>{"b"}));
}

TEST(TmTbl, TxtAtAndLast) {
  TTmTblObj t;
  t.Add({"a", 100, 200, 0});
  t.Add({"b", 300, 400, 0});
  EXPECT_EQ(t.TxtAt(200), "a");
  EXPECT_EQ(t.TxtAt(250), "");
  EXPECT_EQ(t.TxtAt(300), "b");
  EXPECT_EQ(t.GetLast().Txt, "b");
  t.Delete(0);
  EXPECT_EQ(t.Count(), 1);
  EXPECT_EQ(t.Get(0).Txt, "b");
}

}  // namespace
}  // namespace ramvel
