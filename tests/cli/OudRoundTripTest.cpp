// The sample's lines taken to OuDia and back: exported as .oud2 and imported onto a copy of the
// board without train sets they give the same timetables; the .oud export reads back the same to
// the minute; a damaged file changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "TestSupport.h"
#include "CliInProcess.h"
#include "cli/UrwCli.h"
#include "engine/UrwBrdData.h"
#include "foundation/UrwTextRec.h"
#include "interop/UrwOudFile.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kLines = {"本線", "環状線", "臨港線"};

using test::Cli;
using test::TCliRun;

class OudRoundTrip : public ::testing::Test {
 protected:
  static std::string Sample() { return (fs::path(RAMVEL_CLI).parent_path() / "Sample").string(); }

  // A copy of the sample without its train sets.
  std::string EmptiedCopy() {
    const std::string copy = dir_ / "Copy";
    fs::copy(Sample(), copy, fs::copy_options::recursive);
    for (const auto& e : fs::directory_iterator(fs::path(copy) / "car")) fs::remove(e.path());
    return copy;
  }

  test::TTempDir dir_;
};

TEST_F(OudRoundTrip, Oud2ExportImportedOntoAnEmptiedCopyGivesTheSameTimetables) {
  const std::string copy = EmptiedCopy();
  for (const std::string& line : kLines) {
    const TCliRun ex = Cli({"export-oud", Sample(), line, dir_ / (line + ".oud2")});
    ASSERT_EQ(ex.Exit, 0) << ex.Err;
    EXPECT_NE(ex.Out.find("編成"), std::string::npos) << ex.Out;  // what the format cannot hold
  }
  for (const std::string& line : kLines) {
    // The sample turns its sets round in as little as a minute, which the import must be told.
    const TCliRun im =
        Cli({"import-oud", copy, line, dir_ / (line + ".oud2"), "--apply", "--turn", "1"});
    EXPECT_EQ(im.Exit, 0) << line << "\n" << im.Out << im.Err;
    EXPECT_EQ(im.Out.find("遅れで"), std::string::npos) << im.Out;
  }
  for (const std::string& line : kLines) {
    for (const char* dir : {"down", "up"}) {
      const TCliRun want = Cli({"timetable", Sample(), line, dir});
      const TCliRun got = Cli({"timetable", copy, line, dir});
      ASSERT_EQ(want.Exit, 0);
      EXPECT_EQ(got.Out, want.Out) << line << " " << dir;
    }
  }
  EXPECT_EQ(Cli({"check", copy}).Exit, 0);
}

TEST_F(OudRoundTrip, OudExportReadsBackToTheMinute) {
  for (const std::string& line : kLines) {
    const std::string oud = dir_ / "a.oud", oud2 = dir_ / "a.oud2";
    ASSERT_EQ(Cli({"export-oud", Sample(), line, oud}).Exit, 0);
    ASSERT_EQ(Cli({"export-oud", Sample(), line, oud2}).Exit, 0);
    const std::string bytes = test::ReadBytes(oud);
    EXPECT_EQ(bytes.rfind("FileType=OuDia.1.02\r\n", 0), 0u);
    TOudDoc a, b;
    ASSERT_TRUE(LoadOudFile(oud, a).ok());
    ASSERT_TRUE(LoadOudFile(oud2, b).ok());
    EXPECT_FALSE(a.Second);
    EXPECT_TRUE(b.Second);
    ASSERT_EQ(a.Stations.size(), b.Stations.size());
    ASSERT_EQ(a.Dias.size(), 1u);
    ASSERT_EQ(a.Dias[0].Trains.size(), b.Dias[0].Trains.size());
    ASSERT_GT(a.Dias[0].Trains.size(), 10u);
    int seconds = 0;
    for (size_t t = 0; t < a.Dias[0].Trains.size(); ++t) {
      const TOudTrain& x = a.Dias[0].Trains[t];
      const TOudTrain& y = b.Dias[0].Trains[t];
      EXPECT_EQ(x.No, y.No);
      EXPECT_EQ(x.Nobori, y.Nobori);
      EXPECT_EQ(x.Kind, y.Kind);
      for (size_t s = 0; s < x.Cells.size(); ++s) {
        EXPECT_EQ(x.Cells[s].Stop, y.Cells[s].Stop) << x.No << " " << s;
        EXPECT_EQ(x.Cells[s].Arr, y.Cells[s].Arr < 0 ? -1 : y.Cells[s].Arr / 60 * 60);
        EXPECT_EQ(x.Cells[s].Dep, y.Cells[s].Dep < 0 ? -1 : y.Cells[s].Dep / 60 * 60);
        EXPECT_EQ(x.Cells[s].Track, -1);
        seconds += y.Cells[s].Dep % 60 != 0;
      }
    }
    EXPECT_GT(seconds, 0) << line << ": the .oud2 keeps seconds";
  }
}

TEST_F(OudRoundTrip, ADamagedFileIsRefusedWithItsLineAndChangesNothing) {
  const std::string copy = EmptiedCopy();
  const std::string file = dir_ / "bad.oud";
  test::WriteBytes(file,
                   "FileType=OuDia.1.02\r\nRosen.\r\nRosenmei=X\r\nEki.\r\nEkimei=中央\r\n.\r\n"
                   "Dia.\r\nKudari.\r\nRessya.\r\nEkiJikoku=1;6O0\r\n.\r\n.\r\n.\r\n.\r\n");
  const auto before = test::DirTree(copy);
  for (const bool apply : {false, true}) {
    std::vector<std::string> args = {"import-oud", copy, "本線", file};
    if (apply) args.push_back("--apply");
    const TCliRun run = Cli(args);
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("10行目"), std::string::npos) << run.Err;
  }
  EXPECT_EQ(test::DirTree(copy), before);
}

// A line exported and imported back onto the same board finds every train as it is: nothing is
// updated, added or deleted, and the saved board keeps its bytes. Taking a set's last train out
// of the file and importing with --delete-missing deletes just that train.
TEST_F(OudRoundTrip, ExportedAndImportedBackOntoTheSameBoardChangesNothing) {
  const std::string copy = dir_ / "Same";
  fs::copy(Sample(), copy, fs::copy_options::recursive);
  const std::string file = dir_ / "honsen.oud2";
  ASSERT_EQ(Cli({"export-oud", copy, "本線", file}).Exit, 0);
  TOudDoc doc;
  ASSERT_TRUE(LoadOudFile(file, doc).ok());
  const auto before = test::DirTree(copy);
  const TCliRun back = Cli({"import-oud", copy, "本線", file, "--apply", "--delete-missing"});
  EXPECT_EQ(back.Exit, 0) << back.Out << back.Err;
  const std::string same = "変更なし " + IntText(static_cast<int64_t>(doc.Dias[0].Trains.size())) +
                           "本、更新 0本、追加 0本、削除 0本、入れられない列車 0本";
  EXPECT_NE(back.Out.find(same), std::string::npos) << back.Out;
  EXPECT_EQ(test::DirTree(copy), before);

  // A train that ends its set goes missing from the file.
  std::string last;
  {
    TBrdData brd;
    ASSERT_TRUE(brd.LoadBrd(dir_.Path(), "Same").ok());
    for (const TOudTrain& t : doc.Dias[0].Trains) {
      const TCarObj* car = brd.FindTrainCar(t.No, "");
      if (car != nullptr && car->FindTrain(t.No).Last == car->TmTbl.Count() - 1) last = t.No;
    }
  }
  ASSERT_FALSE(last.empty());
  TOudDoc fewer = doc;
  std::erase_if(fewer.Dias[0].Trains, [&](const TOudTrain& t) { return t.No == last; });
  std::string bytes;
  ASSERT_TRUE(OudDocBytes(fewer, bytes).ok());
  test::WriteBytes(dir_ / "fewer.oud2", bytes);
  const TCliRun gone = Cli({"import-oud", copy, "本線", dir_ / "fewer.oud2", "--delete-missing"});
  EXPECT_NE(gone.Out.find("列車 " + last + ": 削除しました"), std::string::npos) << gone.Out;
  EXPECT_NE(gone.Out.find("変更なし " +
                          IntText(static_cast<int64_t>(fewer.Dias[0].Trains.size())) + "本"),
            std::string::npos)
      << gone.Out;
}

}  // namespace
}  // namespace ramvel
