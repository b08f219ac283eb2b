// The time-space diagram and platform chart models on the sample board: distances from the rail
// lengths, one train's polyline from its car file, a pass as a point, the ring line's repeated
// first station, a station's bars from its occupancy, and a planted conflict at its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TestSupport.h"
#include "engine/UrwBrdData.h"
#include "timetable/UrwDiaChart.h"
#include "timetable/UrwStaChart.h"

namespace ramvel {
namespace {

namespace fs = std::filesystem;

// Rails of the sample, from its rail files (LENGTH, joined by LBL_CONN0/1):
//   中央 side 1 - 26002 (582) - 27002 (540) - 28002 (540) - 29002 (1163) - 川辺: 2825
//   川辺 side 0 - 30002 (1944) - 浜田: 1944
//   浜田 side 0 - 31002 (540) - 32002 (582) - 33002 (540) - 34002 (540) - 35002 (582) - 港: 2784
constexpr int32_t kKawabe = 2825, kHamada = 2825 + 1944, kMinato = 2825 + 1944 + 2784;

class SampleChart : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(RAMVEL_SOURCE_DIR) / "data/boards/Sample", fs::path(dir_.Path()) / "S",
             fs::copy_options::recursive);
  }
  void Load(const std::string& line) {
    ASSERT_TRUE(brd_.LoadBrd(dir_.Path(), "S").ok());
    ASSERT_TRUE(brd_.SetLine(line).ok());
    ASSERT_TRUE(brd_.LoadLine(dir_ / "S").ok());
  }
  const TDiaTrain* Train(const TLineDiagram& dia, const std::string& no) {
    for (const TDiaTrain& tr : dia.Trains) {
      if (tr.TrNo == no) return &tr;
    }
    return nullptr;
  }
  test::TTempDir dir_;
  TBrdData brd_;
};

bool Same(const TDiaPoint& a, const TDiaPoint& b) {
  return a.Tm == b.Tm && a.Dist == b.Dist && a.Pass == b.Pass;
}

TEST_F(SampleChart, MainLineStationsLieAtTheirRailDistances) {
  Load("本線");
  const TLineDiagram dia = MakeLineDiagram(brd_);
  ASSERT_EQ(dia.Stas.size(), 4u);
  const std::vector<std::pair<std::string, int32_t>> want = {
      {"中央", 0}, {"川辺", kKawabe}, {"浜田", kHamada}, {"港", kMinato}};
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(dia.Stas[i].Name, want[i].first);
    EXPECT_EQ(dia.Stas[i].Dist, want[i].second) << want[i].first;
  }
  EXPECT_FALSE(dia.Ring);
  EXPECT_TRUE(dia.Conflicts.empty());
}

TEST_F(SampleChart, LimitedExpressIsAPolylineWithPassesAsPoints) {
  Load("本線");
  const TLineDiagram dia = MakeLineDiagram(brd_);
  // car/7.txt: "1,特急 しおかぜ" leaves 中央 at 3900, passes 川辺 at 4028 and 浜田 at 4115 and
  // ends at 港 at 4242.
  const TDiaTrain* tr = Train(dia, "1");
  ASSERT_NE(tr, nullptr);
  EXPECT_EQ(tr->Type, TTrType::kLtdExp);
  EXPECT_EQ(tr->Dir, 1);
  const std::vector<TDiaPoint> want = {
      {3900, 0, false}, {4028, kKawabe, true}, {4115, kHamada, true}, {4242, kMinato, false}};
  ASSERT_EQ(tr->Pts.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_TRUE(Same(tr->Pts[i], want[i])) << i << ": " << tr->Pts[i].Tm << " " << tr->Pts[i].Dist;
  }
  // Its way back, "2", leaves 港 at 6600 and runs up.
  const TDiaTrain* back = Train(dia, "2");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Dir, -1);
  EXPECT_TRUE(Same(back->Pts.front(), {6600, kMinato, false}));
}

TEST_F(SampleChart, RingLineShowsItsFirstStationAgainAtTheEnd) {
  Load("環状線");
  const TLineDiagram dia = MakeLineDiagram(brd_);
  // Ring rails: 中央-東町 756+582+540+540+582+1404, 東町-北野 1404+582+540+540+582,
  // 北野-新町 2592, 新町-西町 648+582+540+540+582+1188, 西町-本町 1620+582+540+540+582+648,
  // 本町-中央 1836.
  const std::vector<int32_t> want = {0, 4404, 8052, 10644, 14724, 19236, 21072};
  ASSERT_EQ(dia.Stas.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(dia.Stas[i].Dist, want[i]) << i;
  EXPECT_TRUE(dia.Ring);
  EXPECT_EQ(dia.Stas.back().Name, "中央");
  // car/1.txt: "1001,普通" from 中央 at 3600 round to 中央 again at 5010, stopping at every
  // station for 30 s.
  const TDiaTrain* tr = Train(dia, "1001");
  ASSERT_NE(tr, nullptr);
  EXPECT_EQ(tr->Type, TTrType::kLocal);
  const std::vector<TDiaPoint> pts = {
      {3600, 0, false},     {3841, 4404, false},  {3871, 4404, false},  {4086, 8052, false},
      {4116, 8052, false},  {4293, 10644, false}, {4323, 10644, false}, {4552, 14724, false},
      {4582, 14724, false}, {4829, 19236, false}, {4859, 19236, false}, {5010, 21072, false}};
  ASSERT_EQ(tr->Pts.size(), pts.size());
  for (size_t i = 0; i < pts.size(); ++i) EXPECT_TRUE(Same(tr->Pts[i], pts[i])) << i;
}

// A bar of a chart row, or null.
const TChartBar* Bar(const TChartRow& row, const std::string& label, int32_t from) {
  for (const TChartBar& b : row.Bars) {
    if (b.Label == label && b.From == from) return &b;
  }
  return nullptr;
}

TEST_F(SampleChart, StationChartHasABarPerOccupancyRecord) {
  Load("本線");
  MakeLineDiagram(brd_);  // rebuilds the line's occupancy
  const TStaObj* sta = brd_.FindSta(7001, "");
  ASSERT_NE(sta, nullptr);
  const TStaChart chart = MakeStaChart(brd_, *sta);
  ASSERT_FALSE(chart.Rows.empty());
  EXPECT_EQ(chart.Rows.front().Name, "1番ホーム");
  const auto row = std::find_if(chart.Rows.begin(), chart.Rows.end(),
                                [](const TChartRow& r) { return r.Name == "3番ホーム"; });
  ASSERT_NE(row, chart.Rows.end());
  // Train "1" (6 cars, 130 km/h = 36.11 m/s) passes 川辺's platform 3 at 4028: the arriving
  // half (594 + 60) / 36.11 = 18.1 s is booked as [4010, 4028], the leaving half (594 - 60) /
  // 36.11 = 14.8 s as [4028, 4043]; the two records make one bar.
  const TChartBar* pass = Bar(*row, "1", 4010);
  ASSERT_NE(pass, nullptr);
  EXPECT_EQ(pass->To, 4043);
  EXPECT_FALSE(pass->Stabled);
  EXPECT_EQ(Bar(*row, "1", 4028), nullptr);
  // Rows are platforms first, by number.
  for (size_t i = 1; i < chart.Rows.size(); ++i) {
    const TChartRow& a = chart.Rows[i - 1];
    const TChartRow& b = chart.Rows[i];
    if (a.Kind == b.Kind) {
      EXPECT_LT(a.No, b.No);
    }
    if (b.Kind == kRailHome) {
      EXPECT_EQ(a.Kind, kRailHome);
    }
  }
  EXPECT_TRUE(chart.Conflicts.empty());
}

TEST_F(SampleChart, PlantedConflictIsMarkedAtItsPlaceAndTime) {
  // Train set 14 runs "901" 10 s behind "1" over the same platform and tracks.
  std::string bytes;
  ASSERT_TRUE(
      Utf8ToCp932("USAGE=\r\nCOLOR=255\r\nN_CAR=6\r\nSPD=130\r\nTM_COUNT=5\r\n"
                  "TM1=-1|-1|1041|\r\nTM2=3910|3910|-1031|901,普通\r\n"
                  "TM3=4038|4038|7031|\r\nTM4=4125|4125|8021|\r\nTM5=4252|-1|-9021|\r\n",
                  bytes));
  test::WriteBytes(dir_ / "S/car/14.txt", bytes);
  Load("本線");
  const TLineDiagram dia = MakeLineDiagram(brd_);
  const auto has = [&](const std::string& where, int32_t from, int32_t to, int32_t dist) {
    return std::any_of(dia.Conflicts.begin(), dia.Conflicts.end(), [&](const TDiaConflict& c) {
      const bool pair = (c.TrA == "1" && c.TrB == "901") || (c.TrA == "901" && c.TrB == "1");
      return pair && c.Where.rfind(where, 0) == 0 && c.From == from && c.To == to && c.Dist == dist;
    });
  };
  // 中央's platform 3: "1" leaves over [3900, 3930] (leaving half at half speed, 534 / 18.06 =
  // 29.6 s), "901" over [3910, 3940]; both hold it over [3910, 3930].
  EXPECT_TRUE(has("中央", 3910, 3930, 0));
  // The first block (2825 m in four blocks of 706 m, 19.6 s each) holds "1" over [3930, 3950]
  // and "901" over [3940, 3960]; its middle lies 2825 / 8 = 353 m from 中央.
  EXPECT_TRUE(has("閉塞", 3940, 3950, 353));
  // The platform chart of 中央 shows the overlap on platform 3.
  const TStaChart chart = MakeStaChart(brd_, *brd_.FindSta(1001, ""));
  const bool onHome3 = std::any_of(chart.Conflicts.begin(), chart.Conflicts.end(), [&](auto& c) {
    return chart.Rows[static_cast<size_t>(c.Row)].Name == "3番ホーム" && c.From == 3910 &&
           c.To == 3930;
  });
  EXPECT_TRUE(onHome3);
}

TEST_F(SampleChart, ChartOverAllLinesMergesTheLinesOfAStation) {
  ASSERT_TRUE(brd_.LoadBrd(dir_.Path(), "S").ok());
  TStaChart chart;
  ASSERT_TRUE(
      MakeStaChartAllLines(brd_, dir_ / "S", {"本線", "環状線", "臨港線"}, 1001, chart).ok());
  // 中央 serves the ring ("1001" leaves platform 1 at 3600) and the main line ("1" leaves
  // platform 3 at 3900).
  const auto rowHas = [&](const std::string& name, const std::string& label, int32_t from) {
    for (const TChartRow& r : chart.Rows) {
      if (r.Name == name && Bar(r, label, from) != nullptr) return true;
    }
    return false;
  };
  EXPECT_TRUE(rowHas("1番ホーム", "1001", 3600));
  EXPECT_TRUE(rowHas("3番ホーム", "1", 3900));
  EXPECT_TRUE(chart.Conflicts.empty());
}

}  // namespace
}  // namespace ramvel
