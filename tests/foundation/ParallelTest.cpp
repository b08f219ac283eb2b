// Work spread over both cores: every item done once, the first failure in item order reported
// whichever thread meets it first, and a save of many files that checks and writes on both cores
// yet names the same file as a save one file at a time.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>

#include "TestSupport.h"
#include "foundation/UrwParallel.h"
#include "foundation/UrwSaveBatch.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;

TEST(ForEachParallel, CallsEveryItemExactlyOnce) {
  for (const size_t n : {size_t{0}, size_t{1}, size_t{2}, size_t{997}}) {
    std::vector<std::atomic<int>> calls(n);
    ForEachParallel(n, [&](size_t i) { ++calls[i]; });
    for (size_t i = 0; i < n; ++i) EXPECT_EQ(1, calls[i].load()) << "item " << i << " of " << n;
  }
}

// Item 10 is always begun before item 500 (items are handed out in order), so its failure is
// the one seen, on every run.
TEST(ForEachParallel, RethrowsTheFailureOfTheLowestItem) {
  for (int run = 0; run < 20; ++run) {
    try {
      ForEachParallel(1000, [](size_t i) {
        if (i == 10) throw std::runtime_error("item 10");
        if (i == 500) throw std::runtime_error("item 500");
      });
      ADD_FAILURE() << "nothing was thrown";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ("item 10", e.what()) << "run " << run;
    }
  }
}

TextRec Rec(const std::string& line) {
  TextRec rec;
  rec.Lines.push_back(line);
  return rec;
}

// 200 files of which file 37 cannot be written in Shift-JIS (U+1F600 has no code there), file 90
// repeats the name of file 12 and file 150 again cannot be written: the first in put order, file
// 37, is named, and nothing reaches the disk.
TEST(SaveBatchOnBothCores, NamesTheFirstFileInPutOrder) {
  for (int run = 0; run < 5; ++run) {
    TTempDir dir;
    TSaveBatch batch(dir.Path());
    for (int i = 0; i < 200; ++i) {
      const std::string name = i == 90 ? "f12.txt" : "f" + std::to_string(i) + ".txt";
      batch.Put(dir / name, Rec(i == 37 || i == 150 ? "X=\xF0\x9F\x98\x80" : "X=1"));
    }
    const TStatus st = batch.Commit();
    ASSERT_FALSE(st.ok());
    EXPECT_EQ("f37.txt: Shift-JIS で保存できない文字があります", st.Msg()) << "run " << run;
    EXPECT_TRUE(test::DirTree(dir.Path()).empty());
  }
}

// Without file 37's fault the repeated name of file 90 is the first fault.
TEST(SaveBatchOnBothCores, ARepeatedNameBeforeAnUnwritableFileIsNamed) {
  TTempDir dir;
  TSaveBatch batch(dir.Path());
  for (int i = 0; i < 200; ++i) {
    const std::string name = i == 90 ? "f12.txt" : "f" + std::to_string(i) + ".txt";
    batch.Put(dir / name, Rec(i == 150 ? "X=\xF0\x9F\x98\x80" : "X=1"));
  }
  const TStatus st = batch.Commit();
  ASSERT_FALSE(st.ok());
  EXPECT_EQ("f12.txt: 二つのデータが同じファイル名になります", st.Msg());
  EXPECT_TRUE(test::DirTree(dir.Path()).empty());
}

// Every one of 300 files lands with its own bytes, in two folders made by the save.
TEST(SaveBatchOnBothCores, WritesEveryFileWithItsOwnBytes) {
  TTempDir dir;
  TSaveBatch batch(dir.Path());
  for (int i = 0; i < 300; ++i) {
    batch.Put(dir / ((i % 2 == 0 ? "even/" : "odd/") + std::to_string(i) + ".txt"),
              Rec("N=" + std::to_string(i) + ",駅"));
  }
  ASSERT_TRUE(batch.Commit().ok());
  EXPECT_EQ(300, batch.Written());
  for (int i = 0; i < 300; ++i) {
    const std::string path = dir / ((i % 2 == 0 ? "even/" : "odd/") + std::to_string(i) + ".txt");
    EXPECT_EQ("N=" + std::to_string(i) + ",\x89\x77\r\n", ReadBytes(path)) << path;
  }
  EXPECT_EQ(302u, test::DirTree(dir.Path()).size());
}

}  // namespace
}  // namespace ramvel
