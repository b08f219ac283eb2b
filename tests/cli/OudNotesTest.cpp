// The notes of an OuDia file survive a trip through a board: every train's 備考, the timetable's
// and the line's comments are kept by the new board and written back by export-oud, and a board
// made from that export again holds the same notes.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "CliInProcess.h"
#include "engine/UrwBrdData.h"
#include "foundation/UrwTextRec.h"
#include "interop/UrwOudFile.h"
#include "interop/UrwOudImport.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::TCliRun;

std::string Train(bool up, const std::string& no, const std::string& cells,
                  const std::string& note) {
  return std::string("Ressya.\nHoukou=") + (up ? "Nobori" : "Kudari") + "\nSyubetsu=0" +
         "\nRessyabangou=" + no + "\nEkiJikoku=" + cells +
         (note.empty() ? "" : "\nBikou=" + note) + "\n.\n";
}

// 東山-中野-西浜 (.oud2): 101 down with a note, 103 down with a note after the cars and speed
// the export writes, 102 up without one; the timetable and the line carry comments.
std::string Noted() {
  std::string f = "FileType=OuDiaSecond.1.07\nRosen.\nRosenmei=東西線\n";
  for (const char* name : {"東山", "中野", "西浜"}) {
    f += std::string("Eki.\nEkimei=") + name + "\nEkijikokukeisiki=Jikokukeisiki_Hatsuchaku\n.\n";
  }
  f += "Ressyasyubetsu.\nSyubetsumei=普通\nDiagramSenColor=00000000\n.\n";
  f += "Dia.\nDiaName=平日\nComment=2026年3月14日改正\nKudari.\n" +
       Train(false, "101", "1;600,1;605/606,1;612/", "中野で5分停車 | 土曜運休") +
       Train(false, "103", "1;700,1;705/706,1;712/", "4両編成 90km/h 臨時列車") + ".\nNobori.\n" +
       Train(true, "102", "1;630,1;636/637,1;643/", "") + ".\n.\n";
  return f + "KitenJikoku=400\nComment=東山から西浜まで\n.\n";
}

struct TNotes {
  std::map<std::string, std::string> Trains;
  TNoteMap Dias, Lines;
  bool operator==(const TNotes&) const = default;
};

TNotes BoardNotes(const std::string& board) {
  TBrdData brd;
  const fs::path p(board);
  EXPECT_TRUE(brd.LoadBrd(p.parent_path().string(), p.filename().string()).ok());
  TNotes out{{}, brd.DiaNotes, brd.LineNotes};
  for (const auto& [key, car] : brd.Cars) {
    for (const auto& [no, note] : car->TrNotes) out.Trains[no] = note;
  }
  return out;
}

TEST(OudNotes, NotesAndCommentsSurviveImportExportAndImportAgain) {
  test::TTempDir dir;
  const std::string oud = dir / "tozai.oud2";
  test::WriteBytes(oud, Noted());
  const std::string board = dir / "Tozai";
  const TCliRun made = Cli({"import-oud", "--new-board", board, oud});
  ASSERT_EQ(made.Exit, 0) << made.Out << made.Err;
  const TNotes want{{{"101", "中野で5分停車 | 土曜運休"}, {"103", "臨時列車"}},
                    {{"平日", "2026年3月14日改正"}},
                    {{"東西線", "東山から西浜まで"}}};
  EXPECT_EQ(BoardNotes(board), want);

  const std::string out = dir / "back.oud2";
  ASSERT_EQ(Cli({"export-oud", board, "東西線", out}).Exit, 0);
  TOudDoc doc;
  ASSERT_TRUE(LoadOudFile(out, doc).ok());
  EXPECT_EQ(doc.Comment, "東山から西浜まで");
  ASSERT_EQ(doc.Dias.size(), 1u);
  EXPECT_EQ(doc.Dias[0].Comment, "2026年3月14日改正");
  std::map<std::string, std::string> own;
  for (const TOudTrain& t : doc.Dias[0].Trains) {
    // Each note starts with the set's cars and speed, which an import reads back.
    TCarProp p;
    EXPECT_TRUE(OudNotedProp(t, p)) << t.Note;
    if (!OudOwnNote(t).empty()) own[t.No] = OudOwnNote(t);
  }
  EXPECT_EQ(own, want.Trains);
  EXPECT_NE(test::ReadBytes(out).find("Comment=2026年3月14日改正\r\n"), std::string::npos);

  const std::string again = dir / "Again";
  const TCliRun remade = Cli({"import-oud", "--new-board", again, out});
  ASSERT_EQ(remade.Exit, 0) << remade.Out << remade.Err;
  EXPECT_EQ(BoardNotes(again), want);

  // Imported back onto the board it came from, nothing changes.
  const auto before = test::DirTree(board);
  const TCliRun same = Cli({"import-oud", board, "東西線", out, "--apply"});
  EXPECT_EQ(same.Exit, 0) << same.Out << same.Err;
  EXPECT_EQ(test::DirTree(board), before);
}

}  // namespace
}  // namespace ramvel
