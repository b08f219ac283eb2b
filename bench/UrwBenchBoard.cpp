// Synthetic boards for the benchmarks.
#include "UrwBenchBoard.h"

#include <cmath>
#include <cstdlib>

#include "NetBuilder.h"

namespace ramvel::bench {

namespace {

constexpr int32_t kGap = 11;  // grid cells of rail between neighbouring stations

TPoint StationAt(int32_t i, int32_t perRow) { return {(i % perRow) * (11 + kGap), (i / perRow) * 8}; }

void Link(TBrdData& brd, TStaObj* a, TStaObj* b, int32_t rails) {
  const TPoint start = {a->EndPos[1].x / kGridM, a->EndPos[1].y / kGridM};
  TBaseObj* prev = a;
  for (int32_t r = 0; r < rails; ++r) {
    const int32_t from = kGap * r / rails, to = kGap * (r + 1) / rails;
    TBaseObj* end = r + 1 == rails ? b : nullptr;
    prev = brd.RailReg({start.x + from, start.y}, {to - from, 0}, end, prev, 2);
  }
}

// Seconds from a stop at one station to a stop at the next, rounded up.
int32_t RunSeconds(const TCarObj& car, int32_t railLen) {
  const float t = StaRunTime(car, false, false) + static_cast<float>(railLen) / car.SpdMps() +
                  StaRunTime(car, true, false);
  return static_cast<int32_t>(std::ceil(t));
}

void AddShuttle(TBrdData& brd, int32_t k, int32_t a, int32_t b, int32_t railLen,
                int32_t trains, int32_t layover) {
  const int32_t no = brd.CarReg({0, "", 0x0000FF, 1 + k % 8, 60 + k % 5 * 20},
                                MakeEntCode(a, 1, 1));
  TCarObj& car = *brd.FindCar(no, "");
  const int32_t run = RunSeconds(car, railLen);
  int32_t t = 1800 + (k * 37) % 1200;
  bool out = true;
  for (int32_t n = 0; t + run < 79200 && (trains == 0 || n < trains); ++n, out = !out) {
    const int32_t from = out ? a : b, to = out ? b : a;
    const std::string trNo = IntText(no) + "-" + IntText(n);
    car.TmTbl.Add({trNo + ",普通", t, t, MakeEntCode(from, 1, out ? 1 : 0)});
    car.TmTbl.Add({"", t + run, -1, MakeEntCode(to, 1, out ? 0 : 1)});
    brd.TrainNos.emplace(trNo, &car);
    t += run + layover;
  }
}

}  // namespace

void MakeSynthBoard(TBrdData& brd, const TSynthSize& size) {
  brd.BrdName = "SYNTH";
  std::vector<TStaObj*> stas;
  for (int32_t i = 0; i < size.Stations; ++i) {
    const TPoint g = StationAt(i, size.PerRow);
    const int32_t id = (i + 1) * 1000 + 1;
    stas.push_back(test::PutStation(brd, test::TwoPlatformStation(id, "S" + IntText(i + 1)), g.x,
                                    g.y));
  }
  brd.ID_STA = size.Stations;
  std::vector<std::pair<int32_t, int32_t>> links;
  for (int32_t i = 0; i + 1 < size.Stations; ++i) {
    if ((i + 1) % size.PerRow == 0) continue;
    Link(brd, stas[static_cast<size_t>(i)], stas[static_cast<size_t>(i + 1)], size.RailsPerLink);
    links.emplace_back(stas[static_cast<size_t>(i)]->Id, stas[static_cast<size_t>(i + 1)]->Id);
  }
  for (int32_t k = 0; k < size.Cars && !links.empty(); ++k) {
    const auto& [a, b] = links[static_cast<size_t>(k) % links.size()];
    AddShuttle(brd, k, a, b, kGap * kGridM, size.TrainsPerCar, size.Layover);
  }
  if (!brd.SetLine("BENCH").ok()) std::abort();  // a fixed, valid name: never refused
  for (int32_t i = 0; i < std::min(size.Stations, size.PerRow); ++i) {
    brd.LineStas.push_back(IntText(stas[static_cast<size_t>(i)]->Id));
  }
}

std::unique_ptr<TBrdData> MakeTwoStationLine(TCarObj*& car) {
  auto brd = std::make_unique<TBrdData>();
  TStaObj* a = test::PutStation(*brd, test::TwoPlatformStation(kLineA, "A"), 0, 0);
  TStaObj* b = test::PutStation(*brd, test::TwoPlatformStation(kLineB, "B"), 22, 0);
  brd->RailReg({11, 0}, {11, 0}, a, b, 1);
  (void)brd->SetLine("本線");
  brd->LineStas = {IntText(kLineA), IntText(kLineB)};
  brd->LineSides.assign(2, 0);
  brd->MakeLineBlk();
  const int32_t no = brd->CarReg(TCarProp{0, "", 0x00FF00, 4, 72}, MakeEntCode(kLineA, 1, 0));
  car = brd->FindCar(no, "");
  return brd;
}

void ShowWholeBoard(TBrdData& brd) {
  for (auto& [key, sta] : brd.Stas) {
    sta->ShowDetail = true;
    SetStaTransform(*sta, sta->Rote, 0.1f, 1.0f);
    sta->OrgX = sta->EndPos[0].x;
    sta->OrgY = sta->EndPos[0].y;
  }
  for (auto& [key, rail] : brd.Rails) {
    rail->ShowDetail = true;
    SetRailTransform(*rail, rail->EndPos[0], 0.1f, 1.0f);
  }
}

}  // namespace ramvel::bench
