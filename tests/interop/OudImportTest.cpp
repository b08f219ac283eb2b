// An OuDia file read onto a line of three stations: trains chained into sets and entered through
// the editor's checks, passes, stations without service, a train ending midway, up trains, a
// kind of no standard name, a number used twice and a train the rails cannot carry on time.
#include <gtest/gtest.h>

#include <filesystem>

#include "NetBuilder.h"
#include "TestSupport.h"
#include "foundation/UrwUiHost.h"
#include "interop/UrwOudImport.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

constexpr int32_t At(int32_t h, int32_t m) { return (h - 4) * 3600 + m * 60; }

// Stations A, B, C (two platforms each, double track between) and the line 本線 A-B-C.
class OudImport : public ::testing::Test {
 protected:
  void SetUp() override {
    TBrdData brd;
    TStaObj* a = test::PutStation(brd, test::TwoPlatformStation(1001, "A"), 0, 0);
    TStaObj* b = test::PutStation(brd, test::TwoPlatformStation(2001, "B"), 22, 0);
    TStaObj* c = test::PutStation(brd, test::TwoPlatformStation(3001, "C"), 44, 0);
    brd.RailReg({11, 0}, {11, 0}, a, b, 2);
    brd.RailReg({33, 0}, {11, 0}, b, c, 2);
    fs::create_directories(dir_ / "B");
    ASSERT_TRUE(brd.SaveBrd(dir_ / "B", false).ok());
    ASSERT_TRUE(brd.SetLine("本線").ok());
    brd.LineStas = {"1001", "2001", "3001"};
    ASSERT_TRUE(brd.SaveLine(dir_ / "B").ok());
    TUiHostScope scope(host_);
    ASSERT_TRUE(brd_.LoadBrd(dir_.Path(), "B").ok());
    ASSERT_TRUE(brd_.SetLine("本線").ok());
    ASSERT_TRUE(brd_.LoadLine(dir_ / "B").ok());
  }

  const TTrainEntry* Entry(const TOudImportReport& r, const std::string& no) const {
    for (const TTrainEntry& e : r.Trains) {
      if (e.TrNo == no && (e.Entered || no != "101")) return &e;
    }
    return nullptr;
  }

  test::TTempDir dir_;
  TScriptedHost host_;
  TBrdData brd_;
};

// Sets: 101 A→C, 102 C→A (passing B without a time), 103 A→C (快特, passing B at 7:15) and 106
// C→B (no service at A) run by one set; 105 A→B ends midway and starts a second set at A; 107
// B→A leaves B at 9:00 and is due at A one minute later, which no train can run. The second 101
// is refused.
const char* const kFile =
    "FileType=OuDia.1.02\n"
    "Rosen.\nRosenmei=本線\n"
    "Eki.\nEkimei=A\nEkijikokukeisiki=Jikokukeisiki_Hatsu\nEkikibo=Ekikibo_Ippan\n.\n"
    "Eki.\nEkimei=B\nEkijikokukeisiki=Jikokukeisiki_Hatsu\nEkikibo=Ekikibo_Ippan\n.\n"
    "Eki.\nEkimei=C\nEkijikokukeisiki=Jikokukeisiki_KudariChaku\nEkikibo=Ekikibo_Ippan\n.\n"
    "Ressyasyubetsu.\nSyubetsumei=普通\n.\n"
    "Ressyasyubetsu.\nSyubetsumei=快特\n.\n"
    "Dia.\nDiaName=平日\nKudari.\n"
    "Ressya.\nHoukou=Kudari\nSyubetsu=0\nRessyabangou=101\nEkiJikoku=1;600,1;610/611,1;620/\n.\n"
    "Ressya.\nHoukou=Kudari\nSyubetsu=1\nRessyabangou=103\nEkiJikoku=1;710,2;715,1;730/\n.\n"
    "Ressya.\nHoukou=Kudari\nSyubetsu=0\nRessyabangou=105\nEkiJikoku=1;800,1;810/\n.\n"
    "Ressya.\nHoukou=Kudari\nSyubetsu=0\nRessyabangou=101\nEkiJikoku=1;1000,1;1010/\n.\n"
    ".\nNobori.\n"
    "Ressya.\nHoukou=Nobori\nSyubetsu=0\nRessyabangou=102\nEkiJikoku=1;640,2,1;700/\n.\n"
    "Ressya.\nHoukou=Nobori\nSyubetsu=0\nRessyabangou=106\nEkiJikoku=1;800,1;810/\n.\n"
    "Ressya.\nHoukou=Nobori\nSyubetsu=0\nRessyabangou=107\nEkiJikoku=,1;900,1;901/\n.\n"
    ".\n.\nKitenJikoku=400\n.\n";

TEST_F(OudImport, TrainsAreChainedAndEnteredThroughTheEditor) {
  TOudDoc doc;
  ASSERT_TRUE(ReadOudDoc(kFile, false, doc).ok());
  TOudImportReport report;
  ASSERT_TRUE(ImportOud(brd_, doc, TOudImportOptions{}, report).ok());
  EXPECT_EQ(report.Refused, 1);
  EXPECT_EQ(report.Late, 1);
  EXPECT_EQ(report.OnTime, 5);  // six entered, 107 late
  EXPECT_EQ(report.NewCars.size(), 2u);
  for (const char* no : {"101", "102", "103", "105", "106", "107"}) {
    const TTrainEntry* e = Entry(report, no);
    ASSERT_NE(e, nullptr) << no;
    EXPECT_TRUE(e->Entered) << no << ": " << e->Why;
  }
  const TTrainEntry* late = Entry(report, "107");
  EXPECT_GT(late->Late, 0);
  EXPECT_NE(late->Why.find("走行時間"), std::string::npos) << late->Why;
  // One set runs 101, 102, 103 and 106; 105 and 107 the other.
  const int32_t one = Entry(report, "101")->Car;
  for (const char* no : {"102", "103", "106"}) EXPECT_EQ(Entry(report, no)->Car, one) << no;
  EXPECT_EQ(Entry(report, "107")->Car, Entry(report, "105")->Car);
  EXPECT_NE(Entry(report, "105")->Car, one);

  const TCarObj& car = *brd_.FindCar(one, "");
  struct Want {
    const char* no;
    std::vector<TStepKind> kinds;  // StepKind of every step
    int32_t firstDep;
  };
  using enum TStepKind;
  const std::vector<Want> wants = {{"101", {kStart, kStop, kArrival}, At(6, 0)},
                                   {"102", {kStart, kPass, kArrival}, At(6, 40)},
                                   {"103", {kStart, kPass, kArrival}, At(7, 10)},
                                   {"106", {kStart, kArrival}, At(8, 0)}};
  for (const Want& w : wants) {
    const TTrainRange r = car.FindTrain(w.no);
    ASSERT_EQ(r.Last - r.First + 1, static_cast<int32_t>(w.kinds.size())) << w.no;
    for (int32_t i = r.First; i <= r.Last; ++i) {
      EXPECT_EQ(StepKind(car.TmTbl.At(i)), w.kinds[static_cast<size_t>(i - r.First)])
          << w.no << " step " << i - r.First;
    }
    EXPECT_EQ(car.TmTbl.At(r.First).TmEnd, w.firstDep) << w.no;
  }
  // 101 keeps the departure the file gives at B; 103 keeps its kind as nickname.
  EXPECT_EQ(car.TmTbl.At(car.FindTrain("101").First + 1).TmEnd, At(6, 11));
  EXPECT_EQ(car.TmTbl.At(car.FindTrain("103").First).Txt, "103,特急 快特");

  UndoOudImport(brd_, report);
  EXPECT_TRUE(brd_.Cars.empty());
  EXPECT_TRUE(brd_.TrainNos.empty());
}

TEST_F(OudImport, AFileWithoutTheLinesStationsChangesNothing) {
  TOudDoc doc;
  std::string text = kFile;
  for (const char* name : {"Ekimei=A", "Ekimei=B"}) {
    text.replace(text.find(name), 8, "Ekimei=X");
  }
  ASSERT_TRUE(ReadOudDoc(text, false, doc).ok());
  TOudImportReport report;
  const TStatus st = ImportOud(brd_, doc, TOudImportOptions{}, report);
  EXPECT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("本線"), std::string::npos) << st.Msg();
  EXPECT_TRUE(brd_.Cars.empty());
}

}  // namespace
}  // namespace ramvel

namespace ramvel {
namespace {

// Three sets would have to stand at A's two platforms before the day starts: the third cannot be
// made, and its train says so rather than blaming a train before it.
TEST_F(OudImport, ASetWithNowhereToStandNamesTheStation) {
  const char* const file =
      "FileType=OuDia.1.02\nRosen.\nRosenmei=本線\n"
      "Eki.\nEkimei=A\n.\nEki.\nEkimei=B\n.\nEki.\nEkimei=C\n.\n"
      "Ressyasyubetsu.\nSyubetsumei=普通\n.\n"
      "Dia.\nDiaName=平日\nKudari.\n"
      "Ressya.\nHoukou=Kudari\nSyubetsu=0\nRessyabangou=201\nEkiJikoku=1;600,1;610/611,1;620/\n.\n"
      "Ressya.\nHoukou=Kudari\nSyubetsu=0\nRessyabangou=203\nEkiJikoku=1;630,1;640/641,1;650/\n.\n"
      "Ressya.\nHoukou=Kudari\nSyubetsu=0\nRessyabangou=205\nEkiJikoku=1;700,1;710/711,1;720/\n.\n"
      ".\n.\nKitenJikoku=400\n.\n";
  TOudDoc doc;
  ASSERT_TRUE(ReadOudDoc(file, false, doc).ok());
  TOudImportReport report;
  ASSERT_TRUE(ImportOud(brd_, doc, TOudImportOptions{}, report).ok());
  EXPECT_EQ(report.Refused, 1);
  const TTrainEntry* e = Entry(report, "205");
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(e->Entered);
  // The reason names the platform and the stand in the way: set 1 stood there until its 6:00.
  EXPECT_EQ(e->Why, "A駅に始発 7:00 まで編成を留置できる番線がありません (A駅 1番線: 編成1の留置 4:00〜6:00)");
}

}  // namespace
}  // namespace ramvel
