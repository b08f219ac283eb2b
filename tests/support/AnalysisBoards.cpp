#include "AnalysisBoards.h"

#include "DiaScript.h"
#include "DiaSupport.h"
#include "NetBuilder.h"
#include "foundation/UrwTextRec.h"

namespace ramvel::test {

namespace {

void Train(TBrdData& brd, TCarObj& car, const std::string& no,
           const std::vector<TTmTbl>& steps) {
  for (const TTmTbl& s : steps) car.TmTbl.Add(s);
  brd.TrainReg(car.Id, no);
}

}  // namespace

namespace {

// Stations placed 22 cells apart and joined by single-track rails of 1188 m; the line over them.
void SingleTrackLine(TBrdData& brd, const std::vector<TStaObj>& stations, const char* name) {
  std::vector<TStaObj*> s;
  for (size_t i = 0; i < stations.size(); ++i) {
    s.push_back(PutStation(brd, stations[i], static_cast<int32_t>(i) * 22, 0));
  }
  for (size_t i = 0; i + 1 < s.size(); ++i) {
    brd.RailReg({static_cast<int32_t>(i) * 22 + 11, 0}, {11, 0}, s[i], s[i + 1], 1);
  }
  if (!brd.SetLine(name).ok()) return;
  for (const TStaObj* sta : s) brd.LineStas.push_back(IntText(sta->Id));
  brd.LineSides.assign(brd.LineStas.size(), 0);
}

}  // namespace

void FillFollowLine(TBrdData& brd) {
  SingleTrackLine(brd,
                  {PassingLoopStation(kSA, "A"), PassingLoopStation(kSB, "B"),
                   PassingLoopStation(kSC, "C")},
                  "本線");
  TCarObj& c1 = AddCar(brd, kSA, 1);
  Train(brd, c1, "1",
        {MakeStep(kSA, 1, 1, 1000, 1000, "1,普通"), MakeStep(kSB, 1, 1, 1177, 1300),
         MakeStep(kSC, 1, 1, 1477, -1)});
  TCarObj& c2 = AddCar(brd, kSA, 2);
  Train(brd, c2, "2",
        {MakeStep(kSA, 2, 1, 1100, 1100, "2,普通"), MakeStep(kSB, 2, 1, 1277, 1600),
         MakeStep(kSC, 2, 1, 1777, -1)});
}

void FillLoopLine(TBrdData& brd) {
  SingleTrackLine(brd,
                  {TwoPlatformStation(kSA, "A"), PassingLoopStation(kSB, "L"),
                   TwoPlatformStation(kSC, "B")},
                  "単線");
  TCarObj& d = AddCar(brd, kSA, 1);
  Train(brd, d, "D",
        {MakeStep(kSA, 1, 1, 1000, 1000, "D,普通"), MakeStep(kSB, 1, 1, 1177, 1300),
         MakeStep(kSC, 1, 1, 1477, -1)});
  TCarObj& u = AddCar(brd, kSC, 1);
  Train(brd, u, "U",
        {MakeStep(kSC, 1, 0, 1100, 1100, "U,普通"), MakeStep(kSB, 2, 0, 1277, 1400),
         MakeStep(kSA, 1, 0, 1577, -1)});
}

}  // namespace ramvel::test
