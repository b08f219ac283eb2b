// The bulk timetable edits: moving trains in time and repeating a round trip.
#include "timetable/UrwDiaBulk.h"

#include <algorithm>
#include <cstdlib>

#include "timetable/UrwDiaBulkCheck.h"
#include "timetable/UrwDiaEditorUi.h"

namespace ramvel {

namespace {

constexpr int32_t kTurnSec = 30;       // least time between an arrival and the next departure
constexpr int32_t kMaxMinutes = 1380;  // 04:00..27:00

TBulkResult Refused(std::string msg) {
  TBulkResult r;
  r.Msg = std::move(msg);
  return r;
}

std::string Signed(int32_t minutes) { return (minutes > 0 ? "+" : "") + IntText(minutes) + "分"; }

std::string Clock(int32_t t) { return std::string(TrimBlanks(TimeToText(t, t % 60 != 0))); }

// Moves every time of steps[first..last] by delta; false when one leaves the day.
bool MoveSteps(std::vector<TTmTbl>& steps, int32_t first, int32_t last, int32_t delta) {
  for (int32_t i = first; i <= last; ++i) {
    TTmTbl& s = steps[static_cast<size_t>(i)];
    for (int32_t* t : {&s.TmStart, &s.TmEnd}) {
      if (*t < 0) continue;
      *t += delta;
      if (*t < 0 || *t > kDayEnd) return false;
    }
  }
  return true;
}

// The plan of the section from step i to step i + 1 of a train starting at step first; arr is
// when the set began standing at an origin.
TSectionPlan PlanOf(const std::vector<TTmTbl>& steps, int32_t first, int32_t i, int32_t arr,
                    const std::string& trNo) {
  const TTmTbl& a = steps[static_cast<size_t>(i)];
  const TTmTbl& b = steps[static_cast<size_t>(i + 1)];
  TSectionPlan p;
  p.TrNo = trNo;
  p.From = SplitEntCode(a.Loc);
  p.Arr = i == first ? arr : a.TmStart;
  p.Dep = a.TmEnd;
  p.PassCur = i != first && IsPass(a);
  p.NextId = SplitEntCode(b.Loc).Id;
  p.PassNext = IsPass(b);
  p.NextDep = b.TmEnd;
  return p;
}

// ---- Shifting ----------------------------------------------------------------------------------

class TShift {
 public:
  TShift(TBrdData& brd, TCarObj& car, const std::vector<TSetTrain>& trains, size_t from, size_t to,
         int32_t minutes)
      : brd_(brd),
        car_(car),
        trains_(trains),
        from_(from),
        to_(to),
        minutes_(minutes),
        old_(car.TmTbl.Items()),
        new_(old_),
        bk_(brd, car) {}

  TBulkResult Run();

 private:
  const TSetTrain& Tr(size_t k) const { return trains_[k]; }
  const TTmTbl& New(int32_t i) const { return new_[static_cast<size_t>(i)]; }
  std::string Prefix() const {
    return "列車" + Tr(from_).TrNo + "を" + Signed(minutes_) + "ずらすと、";
  }
  std::string CheckTimes();
  std::string CheckSections();

  TBrdData& brd_;
  TCarObj& car_;
  const std::vector<TSetTrain>& trains_;
  size_t from_, to_;  // the trains moved
  int32_t minutes_;
  const std::vector<TTmTbl> old_;
  std::vector<TTmTbl> new_;
  TBulkBooker bk_;
};

// The checks that need no occupancy: the line, the day, and the set's turns.
std::string TShift::CheckTimes() {
  for (size_t k = from_; k <= to_; ++k) {
    if (!bk_.OnLine(old_, Tr(k).First, Tr(k).Last)) {
      return "列車" + Tr(k).TrNo + "はこの路線の外も走るため、この路線ではずらせません";
    }
  }
  if (!MoveSteps(new_, Tr(from_).First, Tr(to_).Last, minutes_ * 60)) {
    return Prefix() + "時刻が4:00〜27:00の範囲を外れます";
  }
  const int32_t before = Tr(from_).First - 1;  // the set's arrival before the first moved train
  if (before >= 1 && from_ > 0 && New(Tr(from_).First).TmEnd < New(before).TmStart + kTurnSec) {
    return Prefix() + "前の列車" + Tr(from_ - 1).TrNo + "の到着（" + Clock(New(before).TmStart) +
           "）から30秒以上空きません";
  }
  if (to_ + 1 < trains_.size()) {
    const int32_t arr = New(Tr(to_).Last).TmStart;
    if (New(Tr(to_ + 1).First).TmEnd < arr + kTurnSec) {
      return Prefix() + "次の列車" + Tr(to_ + 1).TrNo + "の発車まで30秒以上空きません";
    }
  }
  return "";
}

// Every section of the moved trains, entered in order as the editor enters them, then the stand
// until the set's next train (or the end of the day).
std::string TShift::CheckSections() {
  std::vector<std::string> skip;
  for (size_t k = from_; k <= to_; ++k) skip.push_back(Tr(k).TrNo);
  bk_.Rebuild(skip);
  const int32_t before = Tr(from_).First - 1;
  int32_t arr = before >= 1 ? old_[static_cast<size_t>(before)].TmStart : 0;
  bk_.DropStand(old_[static_cast<size_t>(before)].Loc, arr);
  for (size_t k = from_; k <= to_; ++k) {
    const TTmTbl& end = old_[static_cast<size_t>(Tr(k).Last)];
    bk_.DropStand(end.Loc, end.TmStart);
  }
  for (size_t k = from_; k <= to_; ++k) {
    for (int32_t i = Tr(k).First; i < Tr(k).Last; ++i) {
      const TSectionPlan p = PlanOf(new_, Tr(k).First, i, arr, Tr(k).TrNo);
      TEntCode from = p.From;
      const std::vector<std::string> routes =
          bk_.Routes(from, p.NextId, SplitEntCode(New(i + 1).Loc).Slot);
      TTmTbl arrived;
      const TStatus st =
          bk_.Section(p, routes.empty() ? "" : TextAfter(routes.front(), '='), arrived);
      if (!st) return Prefix() + (k == from_ ? "" : "列車" + Tr(k).TrNo + "が") + st.Msg();
    }
    arr = New(Tr(k).Last).TmStart;
  }
  const int32_t until = to_ + 1 < trains_.size() ? New(Tr(to_ + 1).First).TmEnd : kDayEnd;
  const TStatus st = bk_.HomeFree(New(Tr(to_).Last).Loc, arr, until, Tr(to_).TrNo);
  return st ? "" : Prefix() + "到着後の編成が" + st.Msg();
}

TBulkResult TShift::Run() {
  std::string why = CheckTimes();
  if (why.empty()) why = CheckSections();
  if (!why.empty()) return Refused(why + "。時刻は変更していません。");
  TTmTblObj t;
  for (const TTmTbl& s : new_) t.Add(s);
  car_.TmTbl = std::move(t);
  brd_.Modified = true;
  TBulkResult r;
  r.Ok = true;
  r.Trains = static_cast<int32_t>(to_ - from_ + 1);
  r.Msg = "列車" + Tr(from_).TrNo + (r.Trains > 1 ? "以降の" + IntText(r.Trains) + "本" : "") +
          "の時刻を" + Signed(minutes_) + "ずらしました";
  return r;
}

}  // namespace

TBulkResult ShiftTrain(TBrdData& brd, const std::string& trNo, int32_t minutes, bool following) {
  if (minutes == 0 || std::abs(minutes) > kMaxMinutes) {
    return Refused("ずらす時間は-1380〜+1380分（0分を除く）で指定して下さい");
  }
  TCarObj* car = brd.FindTrainCar(trNo, "");
  const std::vector<TSetTrain> trains = car ? SetTrains(*car) : std::vector<TSetTrain>{};
  const auto it = std::find_if(trains.begin(), trains.end(),
                               [&](const TSetTrain& t) { return t.TrNo == trNo; });
  if (it == trains.end()) return Refused("列車「" + trNo + "」が見つかりません");
  const size_t from = static_cast<size_t>(it - trains.begin());
  TShift shift(brd, *car, trains, from, following ? trains.size() - 1 : from, minutes);
  return shift.Run();
}

bool TrainOnLine(TBrdData& brd, const std::string& trNo) {
  const TCarObj* car = brd.FindTrainCar(trNo, "");
  if (car == nullptr) return false;
  const TTrainRange r = car->FindTrain(trNo);
  return r.First >= 0 && TBulkBooker(brd, *car).OnLine(car->TmTbl.Items(), r.First, r.Last);
}

// ---- Small helpers -----------------------------------------------------------------------------

bool ParseClock(std::string_view s, int32_t& t) {
  std::string text(TrimBlanks(s));
  const size_t colon = text.find(':');
  if (colon != std::string::npos) {
    const std::string mm = text.substr(colon + 1);
    if (colon == 0 || mm.size() < 2 || mm[0] < '0' || mm[0] > '9' || mm[1] < '0' || mm[1] > '9') {
      return false;
    }
    text = text.substr(0, colon) + mm;
  }
  if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  return TextToTime(text, t);
}

std::string BumpTrainNo(const std::string& no, int64_t add) {
  const size_t end = no.find_last_of("0123456789");
  if (end == std::string::npos) return "";
  size_t begin = end;
  while (begin > 0 && no[begin - 1] >= '0' && no[begin - 1] <= '9') --begin;
  const std::string digits = no.substr(begin, end - begin + 1);
  if (digits.size() > 15) return "";
  std::string n = std::to_string(std::stoll(digits) + add);
  if (n.size() < digits.size()) n.insert(0, digits.size() - n.size(), '0');
  return no.substr(0, begin) + n + no.substr(end + 1);
}

}  // namespace ramvel
