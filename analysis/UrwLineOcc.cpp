// Reading a line's booked blocking times for the analyses.
#include "analysis/UrwLineOcc.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "engine/UrwBrdAudit.h"
#include "foundation/UrwTextRec.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

namespace {

bool IsStationCode(int32_t code) { return std::abs(SplitEntCode(code).Id) % 10 == 1; }

std::string StaNameOf(TBrdData& brd, int32_t id) {
  const TStaObj* sta = brd.FindSta(id, "");
  return sta != nullptr ? sta->Name : IntText(id);
}

class TCollector {
 public:
  TCollector(TBrdData& brd, TLineOcc& occ) : brd_(brd), occ_(occ) {}

  void Trains(const std::vector<std::string>& trNos) {
    for (const std::string& trNo : trNos) {
      const TCarObj* car = brd_.FindTrainCar(trNo, "");
      if (car == nullptr || trainIdx_.count(trNo) > 0) continue;
      TLineTrain tr;
      tr.TrNo = trNo;
      tr.CarNo = car->Id;
      const TTrainRange r = car->FindTrain(trNo);
      for (int32_t i = r.First; i >= 0 && i <= r.Last; ++i) {
        const TTmTbl& s = car->TmTbl.At(i);
        const int32_t sta = SplitEntCode(s.Loc).Id;
        const int32_t idx = brd_.FindStaInLine(sta);
        if (idx < 0) continue;
        TTrainCall c;
        c.Sta = sta;
        c.LineIdx = idx;
        c.Arr = i == r.First ? -1 : s.TmStart;
        c.Dep = i == r.Last ? -1 : s.TmEnd;
        c.Pass = IsPass(s);
        tr.Calls.push_back(c);
      }
      if (tr.Calls.size() >= 2) {
        tr.Dir = tr.Calls[1].LineIdx >= tr.Calls[0].LineIdx ? 1 : -1;
        // On a ring line the first station stands at both ends; the step back to it closes the
        // ring and still runs the line's way.
        if (occ_.Ring && tr.Calls[0].LineIdx == 0 && tr.Calls[1].LineIdx > 1) tr.Dir = -1;
      }
      trainIdx_[trNo] = static_cast<int32_t>(occ_.Trains.size());
      occ_.Trains.push_back(std::move(tr));
    }
  }

  void Places() {
    const size_t n = brd_.LineStas.size();
    for (size_t i = 0; i < n; ++i) {
      const int32_t id = std::atoi(brd_.LineStas[i].c_str());
      const bool again = std::find(brd_.LineStas.begin(), brd_.LineStas.begin() + i,
                                   brd_.LineStas[i]) != brd_.LineStas.begin() + i;
      if (!again) {
        staPlace_[id] = static_cast<int32_t>(occ_.Places.size());
        occ_.Places.push_back({true, id, id, static_cast<int32_t>(i), StaNameOf(brd_, id) + "駅 構内"});
      }
      if (i + 1 < n) {
        const int32_t next = std::atoi(brd_.LineStas[i + 1].c_str());
        secPlace_[{id, next}] = secPlace_[{next, id}] = static_cast<int32_t>(occ_.Places.size());
        occ_.Places.push_back({false, id, next, static_cast<int32_t>(i),
                               SectionName(StaNameOf(brd_, id), StaNameOf(brd_, next))});
      }
    }
  }

  void Blocks() {
    std::vector<const TBlkObj*> run;
    int32_t a = 0;
    for (size_t c = 1; c <= brd_.Blks.size(); ++c) {
      const auto it = brd_.Blks.find(IntText(static_cast<int64_t>(c)));
      if (it == brd_.Blks.end()) continue;
      const TBlkObj& blk = *it->second;
      if (IsStationCode(blk.BlkEnd[0])) {
        run.clear();
        a = SplitEntCode(blk.BlkEnd[0]).Id;
      }
      run.push_back(&blk);
      if (!IsStationCode(blk.BlkEnd[1])) continue;
      const auto sec = secPlace_.find({a, SplitEntCode(blk.BlkEnd[1]).Id});
      if (sec == secPlace_.end()) continue;
      for (const TBlkObj* b : run) {
        const std::string key = IntText(SplitEntCode(b->BlkCode).Id / 1000);
        AddTable(sec->second, "閉塞" + key, b->Occ.Items());
      }
    }
  }

  void Stations() {
    for (const auto& [id, place] : staPlace_) {
      TStaObj* sta = brd_.FindSta(id, "");
      if (sta == nullptr) continue;
      for (const StaRail& r : sta->Rails) {
        if (!r.Occ || r.Occ->Count() == 0) continue;
        const std::string what = r.Kind == kRailHome ? IntText(r.No) + "番ホーム"
                                                     : "線路" + ItemText(r.Kind, r.No, 0);
        AddTable(place, sta->Name + "駅 " + what, r.Occ->Items());
      }
      // A turnout booking keeps only its slots. The booking set the station's tracks of the same
      // path from the very second it set the turnout, so that second is the start of the
      // train's track occupation there within the first slot. A later train on another route
      // may set the turnout from the end of the last slot on.
      std::map<std::string, std::vector<int32_t>> trackStarts;
      for (const StaRail& r : sta->Rails) {
        if (!r.Occ) continue;
        for (const TTmTbl& rec : r.Occ->Items()) trackStarts[rec.Txt].push_back(rec.TmStart);
      }
      std::map<int32_t, int32_t> ptRes;
      for (const TPtUse& u : sta->PtUses) {
        const int32_t train = TrainOf(u.Label);
        if (train < 0) continue;
        auto pr = ptRes.find(u.Pt);
        if (pr == ptRes.end()) {
          pr = ptRes.emplace(u.Pt, NewRes(place, sta->Name + "駅 分岐器" + IntText(u.Pt))).first;
        }
        int32_t start = u.First * kPtSlotSec;
        for (const int32_t s : trackStarts[u.Label]) {
          if (s / kPtSlotSec == u.First) {
            start = s;
            break;
          }
        }
        occ_.Recs.push_back({pr->second, start, (u.Last + 1) * kPtSlotSec, u.R, train});
      }
    }
  }

 private:
  int32_t TrainOf(const std::string& label) {
    if (IsStandLabel(label)) return -1;
    const auto it = trainIdx_.find(OccLabelTrain(label));
    return it != trainIdx_.end() ? it->second : -1;
  }

  int32_t NewRes(int32_t place, std::string name) {
    occ_.Res.push_back({place, std::move(name)});
    return static_cast<int32_t>(occ_.Res.size()) - 1;
  }

  void AddTable(int32_t place, std::string name, const std::vector<TTmTbl>& items) {
    int32_t res = -1;
    for (const TTmTbl& rec : items) {
      const int32_t train = TrainOf(rec.Txt);
      if (train < 0) continue;
      if (res < 0) res = NewRes(place, name);
      occ_.Recs.push_back({res, rec.TmStart, rec.TmEnd, 0, train});
    }
  }

  TBrdData& brd_;
  TLineOcc& occ_;
  std::map<std::string, int32_t, TLessNoCase> trainIdx_;
  std::map<int32_t, int32_t> staPlace_;
  std::map<std::pair<int32_t, int32_t>, int32_t> secPlace_;
};

}  // namespace

std::string SectionName(const std::string& a, const std::string& b) {
  return a + "駅〜" + b + "駅";
}

std::vector<std::string> BookLineForAnalysis(TBrdData& brd) {
  brd.MakeLineBlk();
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  std::string moves;
  brd.InitObjTmTbl(dia.TrNos(), dia.CarIds, moves);
  return dia.TrNos();
}

TLineOcc CollectLineOcc(TBrdData& brd, const std::vector<std::string>& trNos) {
  TLineOcc occ;
  occ.Ring = brd.LineStas.size() > 2 && brd.LineStas.front() == brd.LineStas.back();
  TCollector c(brd, occ);
  c.Trains(trNos);
  c.Places();
  c.Blocks();
  c.Stations();
  std::stable_sort(occ.Recs.begin(), occ.Recs.end(), [](const TOccRec& x, const TOccRec& y) {
    return x.Res != y.Res ? x.Res < y.Res : x.Start < y.Start;
  });
  return occ;
}

}  // namespace ramvel
