// Saves of many files: what a commit writes and keeps, and how the traces of a save that was cut
// off are completed or undone (a journal written by hand stands for the cut).
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "foundation/UrwSaveBatch.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

TextRec Rec(const std::string& line) {
  TextRec rec;
  rec.Lines.push_back(line);
  return rec;
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& [rel, bytes] : test::DirTree(dir)) names.push_back(rel);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SaveBatch, WritesWhatChangedAndKeepsWhatReadsTheSame) {
  TTempDir dir;
  WriteBytes(dir / "a.txt", "A=\x87\x9A\r\n");  // ∵ under its NEC code
  WriteBytes(dir / "b.txt", "B=1\r\n");
  TSaveBatch batch(dir.Path());
  batch.Put(dir / "a.txt", Rec("A=∵"));
  batch.Put(dir / "b.txt", Rec("B=2"));
  batch.Put(dir / "sub/c.txt", Rec("C=3"));
  ASSERT_TRUE(batch.Commit().ok());
  EXPECT_EQ(2, batch.Written());
  EXPECT_EQ(1, batch.Kept());
  EXPECT_EQ("A=\x87\x9A\r\n", ReadBytes(dir / "a.txt"));
  EXPECT_EQ("B=2\r\n", ReadBytes(dir / "b.txt"));
  EXPECT_EQ("C=3\r\n", ReadBytes(dir / "sub/c.txt"));
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt", "sub", "sub/c.txt"}), Entries(dir.Path()));
}

TEST(SaveBatch, TwoRecordsForOneFileAreRefused) {
  TTempDir dir;
  TSaveBatch batch(dir.Path());
  batch.Put(dir / "Ab.txt", Rec("X=1"));
  batch.Put(dir / "aB.txt", Rec("X=2"));
  const TStatus st = batch.Commit();
  ASSERT_FALSE(st.ok());
  EXPECT_NE(std::string::npos, st.Msg().find("aB.txt")) << st.Msg();
  EXPECT_TRUE(Entries(dir.Path()).empty());
}

TEST(SaveRecKeeps, AFileThatReadsAsTheSameTextKeepsItsBytes) {
  TTempDir dir;
  WriteBytes(dir / "f.txt", "A=\xED\x40\r\n");  // 纊 under its NEC-selected IBM code
  ASSERT_TRUE(SaveRec(Rec("A=纊"), dir / "f.txt").ok());
  EXPECT_EQ("A=\xED\x40\r\n", ReadBytes(dir / "f.txt"));
  ASSERT_TRUE(SaveRec(Rec("A=纊2"), dir / "f.txt").ok());
  EXPECT_EQ("A=\xFA\x5C" "2\r\n", ReadBytes(dir / "f.txt"));
}

// The state a save cut off after its commit leaves: one file renamed already, one still under
// its temporary name, one file set aside for removal.
void CutAfterCommit(const TTempDir& dir, const std::string& journalEnd) {
  WriteBytes(dir / "a.txt", "new a");
  WriteBytes(dir / "b.txt", "old b");
  WriteBytes(dir / "car/.rv2.tmp", "new b");
  WriteBytes(dir / "car/3.txt.rvdel", "old 3");
  WriteBytes(dir / ".rvsave",
             "RAMVEL-SAVE 1\nW .rv1.tmp\ta.txt\nW car/.rv2.tmp\tcar/b.txt\nD car/3.txt\n" +
                 journalEnd);
}

TEST(RecoverSave, ACommittedSaveIsCompleted) {
  TTempDir dir;
  CutAfterCommit(dir, "END\n");
  ASSERT_TRUE(RecoverSave(dir.Path()).ok());
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt", "car", "car/b.txt"}), Entries(dir.Path()));
  EXPECT_EQ("new b", ReadBytes(dir / "car/b.txt"));
}

TEST(RecoverSave, AJournalThatIsNotWholeIsUndone) {
  TTempDir dir;
  CutAfterCommit(dir, "W car/.rv3.tm");
  ASSERT_TRUE(RecoverSave(dir.Path()).ok());
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt", "car", "car/3.txt"}), Entries(dir.Path()));
  EXPECT_EQ("old 3", ReadBytes(dir / "car/3.txt"));
}

TEST(RecoverSave, AnUncommittedSaveIsUndone) {
  TTempDir dir;
  WriteBytes(dir / "station/東京.txt", "old");
  WriteBytes(dir / "station/.rv1.tmp", "new");
  WriteBytes(dir / "rail/2002.txt.rvdel", "old rail");
  WriteBytes(dir / ".rvsave.tmp", "RAMVEL-SAVE 1\n");
  ASSERT_TRUE(RecoverSave(dir.Path()).ok());
  EXPECT_EQ((std::vector<std::string>{"rail", "rail/2002.txt", "station", "station/東京.txt"}),
            Entries(dir.Path()));
  EXPECT_EQ("old", ReadBytes(dir / "station/東京.txt"));
}

// A journal naming paths outside the board, or a temporary file that is not one, moves nothing.
TEST(RecoverSave, AJournalLeadingOutsideTheFolderIsNotFollowed) {
  TTempDir dir;
  WriteBytes(dir / "outside.txt", "keep");
  WriteBytes(dir / "B/a.txt", "keep a");
  for (const char* entry : {"W ../outside.txt\ta.txt", "W .rv1.tmp\t../outside.txt",
                                   "W a.txt\tb.txt", "D ../outside.txt"}) {
    WriteBytes(dir / "B/.rvsave", std::string("RAMVEL-SAVE 1\n") + entry + "\nEND\n");
    ASSERT_TRUE(RecoverSave(dir / "B").ok());
    EXPECT_EQ("keep", ReadBytes(dir / "outside.txt")) << entry;
    EXPECT_EQ("keep a", ReadBytes(dir / "B/a.txt")) << entry;
    EXPECT_FALSE(fs::exists(dir / "B/.rvsave")) << entry;
  }
}

TEST(RecoverSave, AFolderWithoutTracesIsLeftAlone) {
  TTempDir dir;
  WriteBytes(dir / "Board.txt", "x");
  WriteBytes(dir / "rail/.hidden", "y");
  ASSERT_TRUE(RecoverSave(dir.Path()).ok());
  ASSERT_TRUE(RecoverSave(dir / "missing").ok());
  EXPECT_EQ((std::vector<std::string>{"Board.txt", "rail", "rail/.hidden"}), Entries(dir.Path()));
}

}  // namespace
}  // namespace ramvel
