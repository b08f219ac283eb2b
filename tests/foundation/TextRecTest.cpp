// Record files: lines, encoding, atomic writes, values, lists, listing and path resolution.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "foundation/UrwCmnDef.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;
using Items = std::vector<std::string>;

TEST(LoadRec, AnyLineEndEndsALine) {
  TTempDir dir;
  const struct {
    const char* bytes;
    Items lines;
  } cases[] = {
      {"A=1\nB=2\n", {"A=1", "B=2"}},
      {"A=1\r\nB=2\r\n", {"A=1", "B=2"}},
      {"A=1\rB=2\r\nC=3", {"A=1", "B=2", "C=3"}},
      {"A=1\r\n\r\nB=2", {"A=1", "", "B=2"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / "r.txt", c.bytes);
    TextRec rec;
    ASSERT_TRUE(LoadRec(dir / "r.txt", rec).ok());
    EXPECT_EQ(rec.Lines, c.lines) << c.bytes;
  }
}

TEST(SaveRec, EveryLineEndsInCrLfAndTextIsShiftJis) {
  TTempDir dir;
  TextRec rec;
  rec.Add("NAME", "ポソ表");
  rec.Add("X", "a=b");
  ASSERT_TRUE(SaveRec(rec, dir / "s.txt").ok());
  EXPECT_EQ(ReadBytes(dir / "s.txt"), "NAME=\x83\x7C\x83\x5C\x95\x5C\r\nX=a=b\r\n");
  TextRec back;
  ASSERT_TRUE(LoadRec(dir / "s.txt", back).ok());
  EXPECT_EQ(back.Lines, rec.Lines);
  EXPECT_EQ(GetVal(back, "name"), "ポソ表");
}

TEST(LoadRec, FailuresNameTheFile) {
  TTempDir dir;
  TextRec rec;
  rec.Lines = {"KEEP=1"};
  TStatus st = LoadRec(dir / "missing.txt", rec);
  EXPECT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("missing.txt"), std::string::npos);
  EXPECT_EQ(rec.Lines, Items{"KEEP=1"});

  WriteBytes(dir / "bad.txt", "A=\x81");  // a lead byte without its second byte
  st = LoadRec(dir / "bad.txt", rec);
  EXPECT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("Shift-JIS"), std::string::npos);
  EXPECT_EQ(rec.Lines, Items{"KEEP=1"});

  fs::create_directory(dir / "folder.txt");
  EXPECT_FALSE(LoadRec(dir / "folder.txt", rec).ok());
}

TEST(SaveRec, AFailedSaveLeavesTheOldFileAndNoLitter) {
  TTempDir dir;
  TextRec good;
  good.Add("A", "1");
  ASSERT_TRUE(SaveRec(good, dir / "f.txt").ok());
  TextRec bad;
  bad.Add("A", "😀");  // no Shift-JIS form
  const TStatus st = SaveRec(bad, dir / "f.txt");
  EXPECT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("f.txt"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir / "f.txt"), "A=1\r\n");
  EXPECT_FALSE(SaveRec(good, dir / "no/such/folder/f.txt").ok());
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir.Path())) entries += e.exists();
  EXPECT_EQ(entries, 1);
}

TEST(GetVal, KeyIgnoresCaseAndTheFirstLineWins) {
  TextRec rec;
  rec.Lines = {"noequals", "lbl_id=5", "LBL_ID=6", "X=a=b", "LBL=7"};
  EXPECT_EQ(GetVal(rec, "LBL_ID"), "5");
  EXPECT_EQ(GetVal(rec, "x"), "a=b");
  EXPECT_EQ(GetVal(rec, "noequals"), "");
  EXPECT_EQ(GetVal(rec, "LB"), "");
  TRecReader rd(rec, "t.txt");
  EXPECT_EQ(rd.Int("Lbl_Id"), 5);
  EXPECT_FALSE(rd.Has("noequals"));
}

TEST(Values, TruthAndRealForms) {
  TextRec rec;
  rec.Lines = {"A=Y", "B=y", "C=1", "D=Yes", "R=0.785398185253143"};
  TRecReader rd(rec, "t.txt");
  EXPECT_TRUE(rd.YN("A"));
  EXPECT_FALSE(rd.YN("B"));
  EXPECT_FALSE(rd.YN("D"));
  EXPECT_FALSE(rd.YN("MISSING"));
  EXPECT_TRUE(rd.Flag10("C"));
  EXPECT_FALSE(rd.Flag10("A"));
  EXPECT_EQ(RealText(0.785398163f), "0.785398185253143");
  EXPECT_EQ(RealText(0.0f), "0");
  EXPECT_EQ(RealText(-1.5f), "-1.5");
  EXPECT_FLOAT_EQ(rd.Real("R"), 0.785398163f);
  EXPECT_EQ(std::string(YNText(true)) + YNText(false) + Text10(true) + Text10(false), "YN10");
}

TEST(Reader, OnlyTheItemsReadAreSplit) {
  TextRec rec;
  rec.Lines = {"TM1=1|2|3|4" + std::string(1 << 20, '|'), "PT1=2|1,2|3|4|5|6"};
  TRecReader rd(rec, "car/1.txt");
  EXPECT_EQ(rd.List("TM1", 4, 4), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(rd.List("PT1", 1, 3).size(), 3u);
  EXPECT_EQ(SplitList("a|b|c|d", 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitList("a|", 1), (std::vector<std::string>{"a"}));
  EXPECT_FALSE(rd.Failed());
}

TEST(Reader, FirstFailureNamesFileAndKey) {
  TextRec rec;
  rec.Lines = {"LENGTH=abc", "CNT=12", "POS=1|2", "NUM= 42", "BIG=99999999999"};
  TRecReader rd(rec, "rail/5002.txt");
  EXPECT_EQ(rd.Int("NUM"), 42);
  EXPECT_FALSE(rd.Failed());
  rd.Int("LENGTH");
  rd.Int("MISSING");
  EXPECT_EQ(rd.Status().Msg(), "rail/5002.txt: LENGTH が数値ではありません");

  const auto message = [&](auto read) {
    TRecReader r(rec, "rail/5002.txt");
    read(r);
    return r.Status().Msg();
  };
  EXPECT_EQ(message([](TRecReader& r) { r.Int("NOPE"); }), "rail/5002.txt: NOPE がありません");
  EXPECT_EQ(message([](TRecReader& r) { r.Count("CNT", 10); }),
            "rail/5002.txt: CNT が範囲外です（0 から 10 まで）");
  EXPECT_EQ(message([](TRecReader& r) { r.Ints("POS", 4); }),
            "rail/5002.txt: POS の項目が 2 個しかありません（4 個必要）");
  EXPECT_EQ(message([](TRecReader& r) { r.Int("BIG"); }), "rail/5002.txt: BIG が数値ではありません");
  EXPECT_EQ(message([](TRecReader& r) { r.Real("LENGTH"); }),
            "rail/5002.txt: LENGTH が数値ではありません");
}

TEST(Lists, JoinAndSplitRoundTrip) {
  const Items cases[] = {
      {"a", "b"},     {"a b"},           {"x\"y", "z"},  {""},           {"a", "", "b"},
      {"", "a"},      {"a", ""},         {"", ""},       {"a|b", "c"},   {"ポ", "ソ", "表"},
      {"101,普通 はやて", "x"}, {"-1", "0", "12"},
  };
  for (const Items& items : cases) {
    const std::string text = JoinList(items);
    EXPECT_EQ(SplitList(text), items) << text;
  }
  EXPECT_TRUE(SplitList("").empty());
  EXPECT_EQ(JoinList({}), "");
}

TEST(Lists, WrittenForms) {
  EXPECT_EQ(JoinList({"a", "b"}), "a|b");
  EXPECT_EQ(JoinList({"a b"}), "\"a b\"");
  EXPECT_EQ(JoinList({"x\"y"}), "\"x\"\"y\"");
  EXPECT_EQ(JoinList({""}), "\"\"");
  EXPECT_EQ(JoinList({"a", "", "b"}), "a||b");
  EXPECT_EQ(JoinList({"a|b"}), "\"a|b\"");
  // ポ is 83 7C in Shift-JIS: quoted so that byte-wise readers keep it whole. ソ (83 5C) is not.
  EXPECT_EQ(JoinList({"ポ", "ソ"}), "\"ポ\"|ソ");
  EXPECT_EQ(JoinComma({"1", "2"}), "1,2");
  EXPECT_EQ(JoinComma({"a,b", "c"}), "\"a,b\",c");
  EXPECT_EQ(SplitComma(JoinComma({","})), Items{","});
}

TEST(Lists, SplittingRules) {
  EXPECT_EQ(SplitList("a b"), (Items{"a", "b"}));
  EXPECT_EQ(SplitList("a|b|"), (Items{"a", "b", ""}));
  EXPECT_EQ(SplitList("  a | b "), (Items{"a", "b"}));
  EXPECT_EQ(SplitList("\"a|b\"|c"), (Items{"a|b", "c"}));
  EXPECT_EQ(SplitList("\"unclosed"), (Items{"unclosed"}));
  EXPECT_EQ(SplitComma("1,2,3"), (Items{"1", "2", "3"}));
}

TEST(Keys, Numbering) {
  EXPECT_EQ(CountedKey("TM", 12), "TM12");
  EXPECT_EQ(SideKey("ENT", 1), "ENT1");
  EXPECT_EQ(MtrxKey(3, 5), "MTRX0305");
  EXPECT_EQ(MtrxKey(20, 1), "MTRX2001");
}

TEST(ListFiles, MissingFolderIsEmpty) {
  TTempDir dir;
  EXPECT_TRUE(ListFiles(dir / "nothing", "txt").empty());
  EXPECT_TRUE(ListFiles(dir / "nothing", "").empty());
  EXPECT_TRUE(ListFiles(dir.Path(), "txt").empty());
}

TEST(ListFiles, StemsInUpperCaseByPattern) {
  TTempDir dir;
  for (const char* f : {"abc.txt", "Def.TXT", "ｇｈｉ.txt", ".txt", "a.b.txt", "x.bmp", "noext",
                        ".hidden", "駅.txt"}) {
    WriteBytes(dir / f, "");
  }
  fs::create_directory(dir / "sub.txt");
  fs::create_directory(dir / "board1");
  EXPECT_EQ(ListFiles(dir.Path(), "txt"),
            (Items{"A.B", "ABC", "DEF", "SUB", "駅", "ＧＨＩ"}));
  EXPECT_EQ(ListFiles(dir.Path(), ""), (Items{"BOARD1", "NOEXT"}));
}

TEST(ResolveIn, FindsEntriesWhateverTheirCase) {
  TTempDir dir;
  WriteBytes(dir / "Station/Abc.txt", "A=1\r\n");
  EXPECT_EQ(ResolveIn(dir.Path(), "station/ABC.txt"), dir / "Station/Abc.txt");
  EXPECT_EQ(ResolveIn(dir.Path(), "STATION/new.txt"), dir / "Station/new.txt");
  EXPECT_EQ(ResolveIn(dir.Path(), "rail/1002.txt"), dir / "rail/1002.txt");
  // Saving through the resolved path replaces the existing file, never adds a twin.
  TextRec rec;
  rec.Add("A", "2");
  ASSERT_TRUE(SaveRec(rec, ResolveIn(dir.Path(), "STATION/abc.TXT")).ok());
  EXPECT_EQ(ListFiles(dir / "Station", "txt"), Items{"ABC"});
  EXPECT_EQ(ReadBytes(dir / "Station/Abc.txt"), "A=2\r\n");
}

TEST(Names, CaseFoldingAndOrder) {
  EXPECT_EQ(UpperName("abcＸｙｚ駅"), "ABCＸＹＺ駅");
  EXPECT_TRUE(SameNoCase("Tokyo", "TOKYO"));
  EXPECT_TRUE(SameNoCase("ｔｏｋｙｏ", "ＴＯＫＹＯ"));
  EXPECT_FALSE(SameNoCase("Tokyo", "Tokyo2"));
  EXPECT_LT(CompareNoCase("10001", "2001"), 0);
  EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
  EXPECT_EQ(CompareNoCase("abc", "ABC"), 0);
}

TEST(Names, UnsafeNamesAreRefused) {
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "tab\there", "nl\n"}) {
    EXPECT_FALSE(CheckObjName(bad, "駅名").ok()) << bad;
  }
  for (const char* good : {"東京", "Shin-Osaka", "a.b", "ポ"}) {
    EXPECT_TRUE(CheckObjName(good, "駅名").ok()) << good;
  }
  EXPECT_NE(CheckObjName("", "路線名").Msg().find("路線名"), std::string::npos);
}

TEST(BaseRec, WritesFixedKeysAndReadsThemBack) {
  TBaseObj o;
  o.Id = 1001;
  o.Rote = 0.785398163f;
  o.EntConn[0][1] = 2012;
  o.EntConn[1][10] = -3102;
  o.EndPos[0] = {0, 0};
  o.EndPos[1] = {1188, -108};
  o.EntCount[0] = 2;
  o.EntCount[1] = 10;
  TextRec rec;
  WriteBaseRec(o, rec);
  EXPECT_EQ(rec.Lines, (Items{"LBL_ID=1001", "ROTE=0.785398185253143",
                              "LBL_CONN0=2012|0|0|0|0|0|0|0|0|0",
                              "LBL_CONN1=0|0|0|0|0|0|0|0|0|-3102", "LBL_POS=0|0|1188|-108",
                              "ENT0=2", "ENT1=10"}));
  TBaseObj back;
  TRecReader rd(rec, "station/A.txt");
  ReadBaseRec(back, rd);
  ASSERT_FALSE(rd.Failed()) << rd.Status().Msg();
  TextRec again;
  WriteBaseRec(back, again);
  EXPECT_EQ(again.Lines, rec.Lines);
}

TEST(BaseRec, BadValuesLeaveTheObjectAlone) {
  TextRec rec;
  rec.Lines = {"LBL_ID=1001", "ROTE=0", "LBL_CONN0=0|0|0|0|0|0|0|0|0|0",
               "LBL_CONN1=0|0|0|0|0|0|0|0|0|0", "LBL_POS=0|0|1188|0", "ENT0=11", "ENT1=1"};
  TBaseObj o;
  o.Id = 7;
  TRecReader rd(rec, "station/A.txt");
  ReadBaseRec(o, rd);
  EXPECT_EQ(rd.Status().Msg(), "station/A.txt: ENT0 が範囲外です（0 から 10 まで）");
  EXPECT_EQ(o.Id, 7);
}

}  // namespace
}  // namespace ramvel

namespace ramvel {
namespace {

TEST(Cp932, KnownCharactersBothWays) {
  const struct {
    const char* utf8;
    const char* cp932;
  } cases[] = {
      {"～", "\x81\x60"}, {"－", "\x81\x7C"}, {"∥", "\x81\x61"}, {"￢", "\x81\xCA"},
      {"ｱ", "\xB1"},      {"駅", "\x89\x77"}, {"①", "\x87\x40"}, {"a\\~", "a\\~"},
  };
  for (const auto& c : cases) {
    std::string out;
    ASSERT_TRUE(Utf8ToCp932(c.utf8, out)) << c.utf8;
    EXPECT_EQ(out, c.cp932) << c.utf8;
    ASSERT_TRUE(Cp932ToUtf8(c.cp932, out)) << c.utf8;
    EXPECT_EQ(out, c.utf8);
  }
  // Two codes for one character: reading either gives it, writing gives the usual one.
  std::string text, bytes;
  ASSERT_TRUE(Cp932ToUtf8("\xED\x40", text));
  ASSERT_TRUE(Utf8ToCp932(text, bytes));
  EXPECT_EQ(bytes, "\xFA\x5C");
}

TEST(Cp932, MalformedTextIsRefused) {
  std::string out = "keep";
  for (const char* bad : {"\x81", "A\x81\x20", "\xFF", "\x80"}) {
    EXPECT_FALSE(Cp932ToUtf8(bad, out)) << bad;
  }
  for (const char* bad : {"😀", "\xE3\x81", "\xC0\x80"}) {
    EXPECT_FALSE(Utf8ToCp932(bad, out)) << bad;
  }
}

// Names from files never drive a terminal or break a message into lines.
TEST(EscapeControls, ControlCharactersAreWrittenOut) {
  struct TCase {
    std::string In;
    bool KeepBreaks;
    std::string Out;
  } cases[] = {
      {"東京", false, "東京"},
      {"a\x1b[2Jb", false, "a\\x1B[2Jb"},
      {"a\nb\tc\r", false, "a\\x0Ab\\x09c\\x0D"},
      {"a\nb\tc\r", true, "a\nb\tc\r"},
      {"x\x7f\xc2\x9by", true, "x\\x7F\\u009By"},
      {std::string("a\0b", 3), false, "a\\x00b"},
  };
  for (const TCase& c : cases) EXPECT_EQ(EscapeControls(c.In, c.KeepBreaks), c.Out) << c.In;
}

// A new object's name may not begin with "."; one read from a file still may.
TEST(CheckNewObjName, RefusesALeadingDotThatOldNamesMayHave) {
  EXPECT_TRUE(CheckObjName(".hidden", "駅名").ok());
  const TStatus st = CheckNewObjName(".hidden", "駅名");
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("駅名"), std::string::npos);
  EXPECT_TRUE(CheckNewObjName("a.b", "駅名").ok());
  EXPECT_FALSE(CheckNewObjName("..", "駅名").ok());
}

// Listing the record files of a folder: names differing only in case (also as Shift-JIS reads
// them back) are refused naming both; a folder that cannot be listed is an error, a missing
// one is empty.
TEST(ListRecFileNames, RefusesCaseTwinsAndUnlistableFolders) {
  TTempDir dir;
  WriteBytes(dir / "s/Abc.txt", "");
  WriteBytes(dir / "s/x.txt", "");
  std::vector<std::string> names;
  ASSERT_TRUE(ListRecFileNames(dir / "s", "txt", "station", names).ok());
  EXPECT_EQ(names, (std::vector<std::string>{"Abc.txt", "x.txt"}));
  WriteBytes(dir / "s/ABC.txt", "");
  const TStatus st = ListRecFileNames(dir / "s", "txt", "station", names);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.Msg().find("station/ABC.txt"), std::string::npos) << st.Msg();
  EXPECT_NE(st.Msg().find("station/Abc.txt"), std::string::npos) << st.Msg();
  EXPECT_TRUE(ListRecFileNames(dir / "none", "txt", "none", names).ok());
  EXPECT_TRUE(names.empty());
  WriteBytes(dir / "f", "a file, not a folder");
  EXPECT_FALSE(ListRecFileNames(dir / "f", "txt", "f", names).ok());
}

}  // namespace
}  // namespace ramvel
