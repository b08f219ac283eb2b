// Everything an OuDia file holds survives: a file with two timetables and kinds of its own
// becomes a board with both timetables and its kind table, each timetable is chosen with --dia,
// exported under its name and read back into another timetable; a text without a Shift-JIS form
// is refused before anything is made, naming the train and the field.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "TestSupport.h"
#include "CliInProcess.h"
#include "cli/UrwCli.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::TCliRun;

std::string Train(bool up, int kind, const std::string& no, const std::string& cells,
                  const std::string& name = "") {
  return std::string("Ressya.\nHoukou=") + (up ? "Nobori" : "Kudari") + "\nSyubetsu=" +
         IntText(kind) + "\nRessyabangou=" + no + (name.empty() ? "" : "\nRessyamei=" + name) +
         "\nEkiJikoku=" + cells + "\n.\n";
}

// 東山-中野-西浜 (.oud2). Kinds " 各停" (blue, padded as files often are) and 特急 (red). 平日
// runs 101 down and 102 up (各停) and 103 down (特急, passing 中野); 土休日 runs 201 down and 202
// up. trainName is the name of 103.
std::string TwoDias(const std::string& trainName = "") {
  std::string f = "FileType=OuDiaSecond.1.07\nRosen.\nRosenmei=東西線\n";
  for (const char* name : {"東山", "中野", "西浜"}) {
    f += std::string("Eki.\nEkimei=") + name +
         "\nEkijikokukeisiki=Jikokukeisiki_Hatsuchaku\nEkikibo=Ekikibo_Ippan\n.\n";
  }
  f += "Ressyasyubetsu.\nSyubetsumei= 各停\nDiagramSenColor=00FF0000\n.\n"
       "Ressyasyubetsu.\nSyubetsumei=特急\nDiagramSenColor=000000FF\n.\n";
  f += "Dia.\nDiaName=平日\nKudari.\n" + Train(false, 0, "101", "1;600,1;605/606,1;612/") +
       Train(false, 1, "103", "1;700,2,1;710/", trainName) + ".\nNobori.\n" +
       Train(true, 0, "102", "1;630,1;636/637,1;643/") + ".\n.\n";
  f += "Dia.\nDiaName=土休日\nKudari.\n" + Train(false, 0, "201", "1;800,1;805/806,1;812/") +
       ".\nNobori.\n" + Train(true, 0, "202", "1;830,1;836/837,1;843/") + ".\n.\n";
  return f + "KitenJikoku=400\nComment=テスト\n.\n";
}

std::string Cp932(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp932(utf8, out));
  return out;
}

TEST(OudDias, BothTimetablesAndTheKindsBecomeTheNewBoards) {
  test::TTempDir dir;
  const std::string oud = dir / "tozai.oud2";
  test::WriteBytes(oud, TwoDias());
  const std::string board = dir / "Tozai";
  const TCliRun made = Cli({"import-oud", "--new-board", board, oud});
  ASSERT_EQ(made.Exit, 0) << made.Out << made.Err;
  const std::string rec = test::ReadBytes(board + "/Board.txt");
  // The first timetable is the board's own, named; the kinds keep their colours as 0x00BBGGRR.
  EXPECT_NE(rec.find(Cp932("DIA_NAME=平日\r\n")), std::string::npos);
  EXPECT_NE(rec.find(Cp932("KIND_COUNT=2\r\nKIND1=各停|普通|16711680\r\nKIND2=特急|特急|255\r\n")),
            std::string::npos);
  EXPECT_TRUE(fs::is_directory(board + "/dia/土休日/car"));
  // Each timetable shows its own trains; the kind text carries the trimmed kind name.
  const TCliRun weekday = Cli({"timetable", board, "東西線"});
  EXPECT_NE(weekday.Out.find("101\t普通 各停"), std::string::npos) << weekday.Out;
  EXPECT_NE(weekday.Out.find("103\t特急"), std::string::npos) << weekday.Out;
  EXPECT_EQ(weekday.Out.find("201"), std::string::npos);
  const TCliRun weekend = Cli({"timetable", board, "東西線", "--dia", "土休日"});
  EXPECT_NE(weekend.Out.find("201\t普通 各停"), std::string::npos) << weekend.Out << weekend.Err;
  EXPECT_EQ(weekend.Out.find("101"), std::string::npos);
  EXPECT_EQ(Cli({"check", board, "--dia", "土休日"}).Exit, 0);
  const TCliRun none = Cli({"check", board, "--dia", "臨時"});
  EXPECT_EQ(none.Exit, 2);
  EXPECT_NE(none.Err.find("平日、土休日"), std::string::npos) << none.Err;
  EXPECT_EQ(Cli({"routes", board, "--dia", "土休日"}).Exit, 2);

  // The weekend timetable written out under its name and kinds, read into a new timetable.
  const std::string out = dir / "weekend.oud2";
  ASSERT_EQ(Cli({"export-oud", board, "東西線", out, "--dia", "土休日"}).Exit, 0);
  const std::string written = test::ReadBytes(out);
  EXPECT_NE(written.find("DiaName=土休日"), std::string::npos);
  EXPECT_NE(written.find("Syubetsumei=各停\r\n"), std::string::npos);
  EXPECT_NE(written.find("DiagramSenColor=00FF0000"), std::string::npos);
  const auto before = test::DirTree(board);
  const TCliRun back = Cli({"import-oud", board, "東西線", out, "--dia", "臨時", "--apply"});
  ASSERT_EQ(back.Exit, 0) << back.Out << back.Err;
  EXPECT_NE(back.Out.find("新しいダイヤ「臨時」"), std::string::npos) << back.Out;
  // Only the new timetable's files are new; the others are as they were.
  auto after = test::DirTree(board);
  for (auto it = after.begin(); it != after.end();) {
    it = it->first.rfind("dia/臨時", 0) == 0 ? after.erase(it) : std::next(it);
  }
  EXPECT_EQ(after, before);
  const TCliRun extra = Cli({"timetable", board, "東西線", "--dia", "臨時"});
  EXPECT_NE(extra.Out.find("201\t普通 各停"), std::string::npos) << extra.Out;
}

TEST(OudDias, ATextWithoutAShiftJisFormIsRefusedBeforeAnythingIsMade) {
  test::TTempDir dir;
  const std::string oud = dir / "tozai.oud2";
  test::WriteBytes(oud, TwoDias("はやぶさ\xF0\x9F\x9A\x83"));  // a train emoji
  const std::string board = dir / "Tozai";
  const TCliRun made = Cli({"import-oud", "--new-board", board, oud});
  EXPECT_EQ(made.Exit, 1);
  EXPECT_NE(made.Err.find("列車 103"), std::string::npos) << made.Err;
  EXPECT_NE(made.Err.find("列車名"), std::string::npos) << made.Err;
  EXPECT_EQ(made.Out, "");  // refused up front: no report of entered trains
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace ramvel
