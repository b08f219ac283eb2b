// OuDiaから新規作成 of the main window: a file and a name asked through the dialog host, the board
// made, opened and reported; a name taken by a board already there is refused and that board kept.
#include <gtest/gtest.h>

#include <QAction>
#include <filesystem>

#include "ShellFixture.h"

namespace ramvel::test {
namespace {

namespace fs = std::filesystem;

// Three stations, two trains each way an hour apart.
const char* const kFile =
    "FileType=OuDia.1.02\nRosen.\nRosenmei=北線\n"
    "Eki.\nEkimei=北\n.\nEki.\nEkimei=中\n.\nEki.\nEkimei=南\n.\n"
    "Ressyasyubetsu.\nSyubetsumei=普通\n.\nDia.\nDiaName=平日\nKudari.\n"
    "Ressya.\nHoukou=Kudari\nSyubetsu=0\nRessyabangou=1\nEkiJikoku=1;700,1;705/706,1;711/\n.\n"
    "Ressya.\nHoukou=Kudari\nSyubetsu=0\nRessyabangou=3\nEkiJikoku=1;800,1;805/806,1;811/\n.\n"
    ".\nNobori.\n"
    "Ressya.\nHoukou=Nobori\nSyubetsu=0\nRessyabangou=2\nEkiJikoku=1;730,1;735/736,1;741/\n.\n"
    "Ressya.\nHoukou=Nobori\nSyubetsu=0\nRessyabangou=4\nEkiJikoku=1;830,1;835/836,1;841/\n.\n"
    ".\n.\nKitenJikoku=400\n.\n";

class NewOudMenu : public ShellTest {};

TEST_F(NewOudMenu, MakesOpensAndReportsTheBoard) {
  WriteBytes(Base() + "kita.oud", kFile);
  MakeEmptyBoard(Base(), "Taken");
  TFrmMain& m = Main(640, 480);
  m.DataDir = std::string(RAMVEL_SOURCE_DIR) + "/data/";
  // A name already used is refused; that board stays as it was.
  const std::string before = ReadBytes(Base() + "Taken/Board.txt");
  host_.FileAnswers = {Base() + "kita.oud"};
  host_.InputAnswers = {"Taken"};
  m.MnuNewOud->trigger();
  ASSERT_FALSE(host_.Events.empty());
  EXPECT_EQ(host_.Events.back().Caption, "エラー");
  EXPECT_EQ(ReadBytes(Base() + "Taken/Board.txt"), before);
  EXPECT_TRUE(m.Edit.Brd.BrdName.empty());
  host_.FileAnswers = {Base() + "kita.oud"};
  host_.InputAnswers = {"Kita"};
  m.MnuNewOud->trigger();
  ASSERT_EQ(host_.Events.back().Caption, "お知らせ") << host_.Events.back().Text;
  EXPECT_NE(host_.Events.back().Text.find("時刻どおり 4本"), std::string::npos)
      << host_.Events.back().Text;
  EXPECT_EQ(m.Edit.Brd.BrdName, "Kita");
  EXPECT_EQ(m.Edit.Brd.Stas.size(), 3u);
  EXPECT_EQ(m.Edit.Brd.TrainNos.size(), 4u);
  EXPECT_TRUE(fs::exists(Base() + "Kita/line"));
  EXPECT_EQ(host_.Unanswered, 0);
}

}  // namespace
}  // namespace ramvel::test
