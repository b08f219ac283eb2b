// Small track networks for engine tests.
#include "NetBuilder.h"

#include "StaBuilder.h"

namespace ramvel::test {

TStaObj TwoPlatformStation(int32_t id, const std::string& name) {
  TStaBuilder b(id, name);
  b.Ents(2, 2);
  b.Rail(PlainRun(3, 1, 2, 10)).Rail(PlainRun(4, 1, 2, 11));
  b.Rail(TurnoutSeg(3, 10, 1, 1, 1, 1)).Rail(TurnoutSeg(3, 10, 1, 2, 1, 3));
  b.Rail(TurnoutSeg(3, 10, 1, 3, 3, 3));
  b.Rail(PlainRun(5, 4, 8, 10)).Rail(PlainRun(6, 4, 8, 11));
  b.Rail(PlatformTrack(9, 10, 1)).Rail(PlatformTrack(9, 11, 2));
  b.Home(PlatformOutline(9, 10)).Home(PlatformOutline(9, 11));
  b.Rail(PlainRun(7, 13, 16, 10)).Rail(PlainRun(8, 13, 16, 11));
  b.Rail(TurnoutSeg(17, 10, 2, 1, 1, 1)).Rail(TurnoutSeg(17, 10, 2, 2, 1, 3));
  b.Rail(TurnoutSeg(17, 10, 2, 3, 3, 3));
  b.Rail(PlainRun(9, 18, 20, 10)).Rail(PlainRun(10, 18, 20, 11));
  b.Rail(EntryLead(0, 1, 0, 0)).Rail(EntryLead(0, 2, 4, 4));
  b.Rail(EntryLead(1, 11, 0, 0)).Rail(EntryLead(1, 12, 4, 4));
  b.Pt({"1,3", "2"}).Pt({"1,3", "2"});
  return b.Build();
}

TStaObj PassingLoopStation(int32_t id, const std::string& name) {
  TStaBuilder b(id, name);
  b.Ents(1, 1);
  b.Rail(PlainRun(3, 1, 2, 10));
  b.Rail(TurnoutSeg(3, 10, 1, 1, 1, 1)).Rail(TurnoutSeg(3, 10, 1, 2, 1, 3));
  b.Rail(PlainRun(5, 4, 8, 10)).Rail(PlainRun(6, 4, 8, 11));
  b.Rail(PlatformTrack(9, 10, 1)).Rail(PlatformTrack(9, 11, 2));
  b.Home(PlatformOutline(9, 10)).Home(PlatformOutline(9, 11));
  b.Rail(PlainRun(7, 13, 16, 10)).Rail(PlainRun(8, 13, 16, 11));
  b.Rail(TurnoutSeg(17, 10, 2, 1, 1, 1)).Rail(TurnoutSeg(17, 10, 2, 2, 3, 1));
  b.Rail(PlainRun(9, 18, 20, 10));
  b.Rail(EntryLead(0, 1, 0, 0)).Rail(EntryLead(1, 11, 0, 0));
  b.Pt({"1", "2"}).Pt({"1", "2"});
  return b.Build();
}

TStaObj TerminalStation(int32_t id, const std::string& name, int32_t side) {
  TStaBuilder b(id, name);
  if (side == 0) {
    b.Ents(2, 0);
    b.Rail(PlainRun(3, 1, 2, 10)).Rail(PlainRun(4, 1, 2, 11));
    b.Rail(TurnoutSeg(3, 10, 1, 1, 1, 1)).Rail(TurnoutSeg(3, 10, 1, 2, 1, 3));
    b.Rail(TurnoutSeg(3, 10, 1, 3, 3, 3));
    b.Rail(PlainRun(5, 4, 8, 10)).Rail(PlainRun(6, 4, 8, 11));
    b.Rail(PlatformTrack(9, 10, 1)).Rail(PlatformTrack(9, 11, 2));
    b.Rail(EntryLead(0, 1, 0, 0)).Rail(EntryLead(0, 2, 4, 4));
  } else {
    b.Ents(0, 2);
    b.Rail(PlatformTrack(9, 10, 1)).Rail(PlatformTrack(9, 11, 2));
    b.Rail(PlainRun(7, 13, 16, 10)).Rail(PlainRun(8, 13, 16, 11));
    b.Rail(TurnoutSeg(17, 10, 1, 1, 1, 1)).Rail(TurnoutSeg(17, 10, 1, 2, 1, 3));
    b.Rail(TurnoutSeg(17, 10, 1, 3, 3, 3));
    b.Rail(PlainRun(9, 18, 20, 10)).Rail(PlainRun(10, 18, 20, 11));
    b.Rail(EntryLead(1, 11, 0, 0)).Rail(EntryLead(1, 12, 4, 4));
  }
  b.Home(PlatformOutline(9, 10)).Home(PlatformOutline(9, 11));
  b.Pt({"1,3", "2"});
  return b.Build();
}

TStaObj SingleTerminal(int32_t id, const std::string& name, int32_t side) {
  TStaBuilder b(id, name);
  b.Ents(side == 0 ? 1 : 0, side == 0 ? 0 : 1);
  if (side == 0) {
    b.Rail(PlainRun(3, 1, 8, 10)).Rail(PlatformTrack(9, 10, 1));
    b.Rail(EntryLead(0, 1, 0, 0));
  } else {
    b.Rail(PlatformTrack(9, 10, 1)).Rail(PlainRun(7, 13, 20, 10));
    b.Rail(EntryLead(1, 11, 0, 0));
  }
  b.Home(PlatformOutline(9, 10));
  return b.Build();
}

TStaObj* PutStation(TBrdData& brd, TStaObj sta, int32_t gx, int32_t gy) {
  const int32_t id = sta.Id;
  brd.Stas.emplace(IntText(id), std::make_unique<TStaObj>(std::move(sta)));
  brd.StaPlace(id, {gx, gy}, {11, 0}, nullptr, nullptr);
  return brd.FindSta(id, "");
}

}  // namespace ramvel::test
