// The board with one conflict of every kind.
#include "ConflictBoard.h"

#include "DiaScript.h"
#include "DiaSupport.h"
#include "NetBuilder.h"

namespace ramvel::test {

namespace {

// A train stored step by step: (station, platform, side it leaves by, arrival, departure).
void Run(TBrdData& brd, TCarObj& car, const std::string& header, const std::vector<TTmTbl>& steps,
         bool registerNo = true) {
  for (size_t k = 0; k < steps.size(); ++k) {
    TTmTbl s = steps[k];
    s.Txt = k == 0 ? header : "";
    car.TmTbl.Add(s);
  }
  if (registerNo) brd.TrainReg(car.Id, TextBefore(header + ",", ","));
}

}  // namespace

// A stop takes 55 s to leave and 63 s to come in at 72 km/h with 4 cars, a block 59 s: a section
// between two stops is 177 s.
void FillConflictBoard(TBrdData& brd, uint32_t plants) {
  MakeLine(brd, {"A", "B", "C", "D", "E"}, 2);
  TStaObj* x = PutStation(brd, TwoPlatformStation(kCX, "X"), -22, 0);
  brd.RailReg({-11, 0}, {11, 0}, x, brd.FindSta(kCA, ""), 1);
  // Block: 21 runs A 1 -> B 1 on track 1; 22 leaves B 1 for A 1 at the same moment.
  Run(brd, AddCar(brd, kCA, 1), "21,普通", {MakeStep(kCA, 1, 1, 30000, 30000), MakeStep(kCB, 1, 1, 30177, -1)});
  TCarObj& s2 = AddCar(brd, kCB, 1);
  if (plants & kPlantBlock) {
    Run(brd, s2, "22,普通", {MakeStep(kCB, 1, 0, 30000, 30000), MakeStep(kCA, 1, 0, 30177, -1)});
  }
  // Platform: 41 stops at C 2 from 31177 to 31300; 51 comes the other way and stops there too.
  Run(brd, AddCar(brd, kCB, 2), "41,普通",
      {MakeStep(kCB, 2, 1, 31000, 31000), MakeStep(kCC, 2, 1, 31177, 31300),
       MakeStep(kCD, 2, 1, 31477, -1)});
  TCarObj& s4 = AddCar(brd, kCD, 2);
  if (plants & kPlantTrack) {
    Run(brd, s4, "51,普通",
        {MakeStep(kCD, 2, 0, 31023, 31023), MakeStep(kCC, 2, 0, 31200, 31260),
         MakeStep(kCB, 2, 0, 31437, -1)});
  }
  // Turnout: 71 leaves E 2 at 31941 crossing to track 1 at E's turnout 1 (slots 2129-2133);
  // 61 comes in on track 1 straight to E 1 from 31996 (slot 2133), when 71 has just left the
  // tracks they share.
  Run(brd, AddCar(brd, kCD, 1), "61,普通", {MakeStep(kCD, 1, 1, 31882, 31882), MakeStep(kCE, 1, 1, 32059, -1)});
  TCarObj& s6 = AddCar(brd, kCE, 2);
  if (plants & kPlantTurnout) {
    Run(brd, s6, "71,普通", {MakeStep(kCE, 2, 0, 31941, 31941), MakeStep(kCD, 1, 0, 32118, -1)});
  }
  // Standing set: set 1 stands at B 1 from 30177 for the night; 91 leaves C 1 at 33000 to come
  // in there.
  TCarObj& s7 = AddCar(brd, kCC, 1);
  if (plants & kPlantStand) {
    Run(brd, s7, "91,普通", {MakeStep(kCC, 1, 0, 33000, 33000), MakeStep(kCB, 1, 0, 33177, -1)});
  }
  // Train number: set 8 runs a "41" of its own at X, off the line.
  TCarObj& s8 = AddCar(brd, kCX, 2);
  if (plants & kPlantDupNo) {
    Run(brd, s8, "41,普通", {MakeStep(kCX, 2, 1, 3600, 3600), MakeStep(kCX, 2, 1, 3700, -1)}, false);
  }
}

}  // namespace ramvel::test
