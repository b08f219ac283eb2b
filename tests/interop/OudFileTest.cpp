// The OuDia file reader and writer: a hand-written file read item by item, damaged files refused
// with their line number, the three encodings, and write → read → write giving the same bytes.
#include <gtest/gtest.h>

#include "foundation/UrwTextRec.h"
#include "interop/UrwOudFile.h"

namespace ramvel {
namespace {

// Four stations 甲 乙 丙 丁; kinds 普通 and 快特 (a name of no standard kind); an unknown key and
// an unknown node to skip. Down train 101 leaves 甲 at 6:00, passes 乙 at 6:05, stops at 丙
// 6:10/6:11 and ends at 丁 at 6:20. Down train 103 has no service at 甲, starts at 乙 6:20 and
// ends midway at 丙 at 6:30 (the item of 丁 left out). Up train 102 runs 丁 7:00 → 甲 arriving
// 7:20, passing 丙 (no time) and stopping at 乙 7:10/7:11.
const char* const kHandText =
    "FileType=OuDia.1.02\n"
    "Rosen.\n"
    "Rosenmei=テスト線\n"
    "Eki.\nEkimei=甲\nEkijikokukeisiki=Jikokukeisiki_Hatsu\nEkikibo=Ekikibo_Syuyou\n.\n"
    "Eki.\nEkimei=乙\nEkijikokukeisiki=Jikokukeisiki_Hatsu\nEkikibo=Ekikibo_Ippan\n.\n"
    "Eki.\nEkimei=丙\nEkijikokukeisiki=Jikokukeisiki_Hatsuchaku\nEkikibo=Ekikibo_Ippan\n"
    "UnknownKey=1\n.\n"
    "Eki.\nEkimei=丁\nEkijikokukeisiki=Jikokukeisiki_KudariChaku\nEkikibo=Ekikibo_Ippan\n.\n"
    "Ressyasyubetsu.\nSyubetsumei=普通\nDiagramSenColor=00000000\n.\n"
    "Ressyasyubetsu.\nSyubetsumei=快特\nRyakusyou=快\nDiagramSenColor=000000FF\n"
    "DiagramSenIsBold=1\nSomeNode.\nX=1\n.\n.\n"
    "Dia.\nDiaName=平日\n"
    "Kudari.\n"
    "Ressya.\nHoukou=Kudari\nSyubetsu=1\nRessyabangou=101\nRessyamei=はやて\nGousuu=3\n"
    "EkiJikoku=1;600,2;605,1;610/611,1;620/\n.\n"
    "Ressya.\nHoukou=Kudari\nSyubetsu=0\nRessyabangou=103\nEkiJikoku=,1;620,1;630/\n"
    "Bikou=途中止まり\n.\n"
    ".\n"
    "Nobori.\n"
    "Ressya.\nHoukou=Nobori\nSyubetsu=0\nRessyabangou=102\nEkiJikoku=1;700,2,1;710/711,1;720/\n.\n"
    ".\n"
    ".\n"
    "KitenJikoku=400\n"
    "Comment=\n"
    ".\n"
    "DispProp.\nJikokuhyouFont=PointTextHeight=9\n.\n"
    "FileTypeAppComment=hand\n";

std::string Crlf(const std::string& lf) {
  std::string out;
  for (const char c : lf) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

std::string Cp932(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp932(utf8, out));
  return out;
}

constexpr int32_t H(int32_t h, int32_t m, int32_t s = 0) { return h * 3600 + m * 60 + s; }

TOudCell Cell(TOudStop stop, int32_t arr = -1, int32_t dep = -1) {
  return TOudCell{stop, arr, dep, -1};
}

TEST(OudFile, HandWrittenFileReadsItemByItem) {
  TOudDoc doc;
  ASSERT_TRUE(ReadOudDoc(Cp932(Crlf(kHandText)), false, doc).ok());
  EXPECT_FALSE(doc.Second);
  EXPECT_EQ(doc.LineName, "テスト線");
  ASSERT_EQ(doc.Stations.size(), 4u);
  EXPECT_EQ(doc.Stations[2].Name, "丙");
  EXPECT_EQ(doc.Stations[0].Size, "Ekikibo_Syuyou");
  ASSERT_EQ(doc.Kinds.size(), 2u);
  EXPECT_EQ(doc.Kinds[1].Name, "快特");
  EXPECT_EQ(doc.Kinds[1].Color, 0xFFu);
  EXPECT_TRUE(doc.Kinds[1].Bold);
  EXPECT_EQ(doc.StartTime, H(4, 0));
  ASSERT_EQ(doc.Dias.size(), 1u);
  const std::vector<TOudTrain>& tr = doc.Dias[0].Trains;
  ASSERT_EQ(tr.size(), 3u);
  using S = TOudStop;
  const std::vector<std::vector<TOudCell>> want = {
      {Cell(S::kStop, -1, H(6, 0)), Cell(S::kPass, -1, H(6, 5)),
       Cell(S::kStop, H(6, 10), H(6, 11)), Cell(S::kStop, H(6, 20))},
      {Cell(S::kNone), Cell(S::kStop, -1, H(6, 20)), Cell(S::kStop, H(6, 30)), Cell(S::kNone)},
      // listed 丁 丙 乙 甲 in the file; kept in station order
      {Cell(S::kStop, H(7, 20)), Cell(S::kStop, H(7, 10), H(7, 11)), Cell(S::kPass),
       Cell(S::kStop, -1, H(7, 0))},
  };
  const std::vector<std::string> nos = {"101", "103", "102"};
  for (size_t i = 0; i < tr.size(); ++i) {
    EXPECT_EQ(tr[i].No, nos[i]);
    EXPECT_EQ(tr[i].Nobori, i == 2);
    EXPECT_EQ(tr[i].Cells, want[i]) << tr[i].No;
  }
  EXPECT_EQ(tr[0].Kind, 1);
  EXPECT_EQ(tr[0].Name, "はやて");
  EXPECT_EQ(tr[0].Gou, "3");
  EXPECT_EQ(tr[1].Note, "途中止まり");
}

TEST(OudFile, EncodingsAreRecognised) {
  const std::string utf8 = Crlf(kHandText);
  struct Case {
    const char* what;
    std::string bytes;
    bool second;
  };
  const std::vector<Case> cases = {
      {"CP932 .oud", Cp932(utf8), false},
      {"UTF-8 .oud with a mark", "\xEF\xBB\xBF" + utf8, false},
      {"UTF-8 .oud without a mark", utf8, false},
      {"LF only", Cp932(kHandText), false},
      {".oud2 with a mark", "\xEF\xBB\xBF" + utf8, true},
  };
  for (const Case& c : cases) {
    TOudDoc doc;
    ASSERT_TRUE(ReadOudDoc(c.bytes, c.second, doc).ok()) << c.what;
    EXPECT_EQ(doc.Stations[3].Name, "丁") << c.what;
  }
  TOudDoc doc;
  EXPECT_FALSE(ReadOudDoc(Cp932(utf8), true, doc).ok()) << "a .oud2 must be UTF-8";
}

TEST(OudFile, DamagedFilesAreRefusedWithTheirLine) {
  struct Case {
    std::string text;
    const char* msg;
  };
  const std::string head = "FileType=OuDia.1.02\nRosen.\nRosenmei=X\nEki.\nEkimei=A\n.\n"
                           "Ressyasyubetsu.\nSyubetsumei=普通\n.\n";  // 9 lines
  const std::string dia = "Dia.\nDiaName=D\nKudari.\nRessya.\nHoukou=Kudari\n";  // lines 10-14
  const std::string tail = ".\n.\n.\n.\n";
  const std::vector<Case> cases = {
      {head + "これは何\n.\n", "10行目"},
      {head + ".\n.\n", "11行目"},
      {head + "Dia.\n", "10行目"},  // never closed
      {head + "ke y=1\n.\n", "10行目"},
      {head + dia + "EkiJikoku=1;6000\n" + tail, "15行目"},
      {head + dia + "EkiJikoku=1;675\n" + tail, "15行目"},
      {head + dia + "EkiJikoku=7;600\n" + tail, "15行目"},
      {head + dia + "EkiJikoku=1;600,1;610\n" + tail, "15行目"},  // more items than stations
      {head + dia + "Syubetsu=4\n" + tail, "15行目"},
      {head + dia + "EkiJikoku=1;600$x\n" + tail, "15行目"},
      {"Rosen.\n.\n", "FileType"},
  };
  for (const Case& c : cases) {
    TOudDoc doc;
    const TStatus st = ReadOudDoc(c.text, false, doc);
    ASSERT_FALSE(st.ok()) << c.text;
    EXPECT_NE(st.Msg().find(c.msg), std::string::npos) << st.Msg();
    EXPECT_TRUE(doc.Stations.empty());
  }
}

TEST(OudFile, TimesReadAndWrite) {
  struct Case {
    const char* text;
    int32_t t;  // -1: refused
  };
  const std::vector<Case> cases = {
      {"600", H(6, 0)},      {"0600", H(6, 0)},      {"1234", H(12, 34)}, {"000", 0},
      {"60030", H(6, 0, 30)}, {"123456", H(12, 34, 56)}, {"2459", H(0, 59)},
      {"60", -1},            {"660", -1},             {"6a0", -1},         {"1234567", -1},
      {"61260", -1},
  };
  for (const Case& c : cases) {
    int32_t t = -1;
    EXPECT_EQ(ParseOudTime(c.text, t), c.t >= 0) << c.text;
    if (c.t >= 0) {
      EXPECT_EQ(t, c.t) << c.text;
    }
  }
  EXPECT_EQ(OudTimeText(H(6, 0, 30), true), "60030");
  EXPECT_EQ(OudTimeText(H(6, 0, 30), false), "600");
  EXPECT_EQ(OudTimeText(H(0, 5), true), "005");
  EXPECT_EQ(OudTimeText(H(25, 10), false), "110");
}

TEST(OudFile, WriteReadWriteGivesTheSameBytes) {
  for (const bool second : {false, true}) {
    TOudDoc doc;
    ASSERT_TRUE(ReadOudDoc(Cp932(Crlf(kHandText)), false, doc).ok());
    doc.Second = second;
    doc.Stations[1].Tracks = {"1番線", "2番線"};
    doc.Dias[0].Trains[0].Cells[1].Track = 1;
    doc.Dias[0].Trains[0].Cells[2].Dep = H(6, 11, 15);
    // A train without service anywhere reads back as written.
    doc.Dias[0].Trains.push_back(TOudTrain{true, 0, "900", "", "", "", std::vector<TOudCell>(4)});
    std::string a;
    ASSERT_TRUE(OudDocBytes(doc, a).ok());
    EXPECT_EQ(a.substr(0, 3) == "\xEF\xBB\xBF", second);
    EXPECT_NE(a.find("\r\n"), std::string::npos);
    TOudDoc back;
    ASSERT_TRUE(ReadOudDoc(a, second, back).ok()) << second;
    std::string b;
    ASSERT_TRUE(OudDocBytes(back, b).ok());
    EXPECT_EQ(a, b);
    const TOudCell& c = back.Dias[0].Trains[0].Cells[2];
    EXPECT_EQ(c.Dep, second ? H(6, 11, 15) : H(6, 11));
    EXPECT_EQ(back.Dias[0].Trains[0].Cells[1].Track, second ? 1 : -1);
    ASSERT_EQ(back.Dias[0].Trains.size(), 4u);
    EXPECT_EQ(back.Dias[0].Trains[2].Cells, doc.Dias[0].Trains[2].Cells);
    EXPECT_EQ(back.Dias[0].Trains[3].Cells, std::vector<TOudCell>(4));
    // A kind that names none of the file's kinds is left out, so the file still reads.
    back.Dias[0].Trains[1].Kind = 7;
    ASSERT_TRUE(OudDocBytes(back, b).ok());
    TOudDoc again;
    ASSERT_TRUE(ReadOudDoc(b, second, again).ok());
    EXPECT_EQ(again.Dias[0].Trains[1].Kind, 0);
  }
}

}  // namespace
}  // namespace ramvel
