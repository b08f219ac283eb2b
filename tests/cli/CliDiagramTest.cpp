// ramvel-cli diagram and platforms on a copy of the sample board: the pictures are written as
// PNG and SVG, the SVG is XML with one path per train, a planted conflict is reported, and bad
// arguments are refused with exit 2.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QXmlStreamReader>
#include <filesystem>
#include <set>
#include <sstream>

#include "TestSupport.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using TRun = test::TProgramRun;

class CliDiagram : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(RAMVEL_SOURCE_DIR) / "data/boards/Sample", Board(),
             fs::copy_options::recursive);
  }
  std::string Board() const { return dir_ / "Sample"; }
  TRun Run(std::vector<std::string> args) {
    if (args.size() > 1) args.insert(args.begin() + 1, Board());
    return test::RunProgram(RAMVEL_CLI, args, dir_.Path());
  }
  // The train numbers of a line that run between two of its stations, from the timetable
  // command (both directions): its rows are number, kind, then one cell per station.
  std::set<std::string> LineTrains(const std::string& line) {
    std::set<std::string> trains;
    for (const char* dir : {"down", "up"}) {
      const TRun run = Run({"timetable", line, dir});
      EXPECT_EQ(run.Exit, 0) << run.Err;
      std::istringstream in(run.Out);
      std::string row;
      std::getline(in, row);  // the header of station names
      while (std::getline(in, row)) {
        std::istringstream fields(row);
        std::string no, kind, cell;
        std::getline(fields, no, '\t');
        std::getline(fields, kind, '\t');
        int cells = 0;
        while (std::getline(fields, cell, '\t')) cells += cell.empty() ? 0 : 1;
        if (cells >= 2) trains.insert(no);
      }
    }
    return trains;
  }
  test::TTempDir dir_;
};

// The number of <path> elements of an SVG file; -1 when it is not well-formed XML.
int SvgPaths(const std::string& path) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  QXmlStreamReader xml(&f);
  int paths = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"path") ++paths;
  }
  return xml.hasError() ? -1 : paths;
}

TEST_F(CliDiagram, SvgIsXmlWithOnePathPerTrain) {
  const std::string out = dir_ / "main.svg";
  const TRun run = Run({"diagram", "本線", out});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  const size_t trains = LineTrains("本線").size();
  ASSERT_GT(trains, 100u);
  EXPECT_EQ(SvgPaths(out), static_cast<int>(trains));
  EXPECT_NE(run.Out.find(std::to_string(trains) + " trains, 0 conflicts"), std::string::npos)
      << run.Out;
  // One direction only: the down trains.
  const TRun down = Run({"diagram", "本線", out, "--dir", "down"});
  ASSERT_EQ(down.Exit, 0) << down.Err;
  EXPECT_LT(SvgPaths(out), static_cast<int>(trains));
  EXPECT_GT(SvgPaths(out), 0);
}

TEST_F(CliDiagram, PngOfTheGivenSize) {
  const std::string out = dir_ / "ring.png";
  const TRun run =
      Run({"diagram", "環状線", out, "--from", "6:00", "--to", "900", "--size", "1200x700"});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  const QImage img(QString::fromStdString(out));
  EXPECT_EQ(img.width(), 1200);
  EXPECT_EQ(img.height(), 700);
  const TRun chart = Run({"platforms", "港", dir_ / "minato.png", "--from", "600", "--to", "900"});
  ASSERT_EQ(chart.Exit, 0) << chart.Err;
  EXPECT_FALSE(QImage(QString::fromStdString(dir_ / "minato.png")).isNull());
  EXPECT_NE(chart.Out.find("港, "), std::string::npos) << chart.Out;
}

TEST_F(CliDiagram, PlantedConflictIsReportedOnBothViews) {
  // Train set 14 runs "901" 10 s behind "1" out of 中央's platform 3.
  std::string bytes;
  ASSERT_TRUE(
      Utf8ToCp932("USAGE=\r\nCOLOR=255\r\nN_CAR=6\r\nSPD=130\r\nTM_COUNT=5\r\n"
                  "TM1=-1|-1|1041|\r\nTM2=3910|3910|-1031|901,普通\r\n"
                  "TM3=4038|4038|7031|\r\nTM4=4125|4125|8021|\r\nTM5=4252|-1|-9021|\r\n",
                  bytes));
  test::WriteBytes(Board() + "/car/14.txt", bytes);
  const TRun dia = Run({"diagram", "本線", dir_ / "c.png"});
  ASSERT_EQ(dia.Exit, 0) << dia.Err;
  // 3910 and 3930 s after 04:00.
  EXPECT_NE(dia.Out.find("conflict: 中央 5:05:10-5:05:30 1 and 901"), std::string::npos) << dia.Out;
  const TRun chart = Run({"platforms", "中央", dir_ / "c.svg"});
  ASSERT_EQ(chart.Exit, 0) << chart.Err;
  EXPECT_NE(chart.Out.find("conflict: 3番ホーム 5:05:10-5:05:30 1 and 901"), std::string::npos)
      << chart.Out;
  EXPECT_GE(SvgPaths(dir_ / "c.svg"), 0);
}

TEST_F(CliDiagram, BadArgumentsAreRefused) {
  struct TCase {
    std::vector<std::string> Args;
    int Exit;
  };
  const std::string png = dir_ / "x.png";
  const std::vector<TCase> cases = {
      {{"diagram", "本線"}, 2},
      {{"diagram", "本線", dir_ / "x.bmp"}, 2},
      {{"diagram", "本線", png, "--dir", "sideways"}, 2},
      {{"diagram", "本線", png, "--size", "10x10"}, 2},
      {{"diagram", "本線", png, "--from", "900", "--to", "800"}, 2},
      {{"diagram", "本線", png, "--from", "2800"}, 2},
      {{"diagram", "本線", png, "--colour", "red"}, 2},
      {{"platforms", "港", png, "--dir", "up"}, 2},
      {{"diagram", "山線", png}, 1},
      {{"platforms", "山", png}, 1},
  };
  for (const TCase& c : cases) {
    const TRun run = Run(c.Args);
    EXPECT_EQ(run.Exit, c.Exit) << c.Args[0] << " " << c.Args.back() << ": " << run.Err;
    EXPECT_FALSE(run.Err.empty());
  }
  EXPECT_FALSE(fs::exists(png));
  const TRun help = Run({"--help"});
  for (const char* cmd : {"diagram", "platforms"}) {
    EXPECT_NE(help.Out.find(std::string("Example: ramvel-cli ") + cmd), std::string::npos) << cmd;
  }
}

}  // namespace
}  // namespace ramvel
