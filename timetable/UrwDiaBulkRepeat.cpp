// The repetition of a round trip: copies of a train set's last trains appended at a fixed
// interval, each entered section by section, on another free platform where the original's is
// taken.
#include <algorithm>

#include "timetable/UrwDiaBulk.h"
#include "timetable/UrwDiaBulkCheck.h"
#include "timetable/UrwDiaEditorUi.h"

namespace ramvel {

namespace {

constexpr int32_t kTurnSec = 30;  // least time between an arrival and the next departure

// The platform a route ends at: the number of its last "H;" item.
int32_t RouteHome(const std::string& route) {
  const size_t at = route.rfind("H;");
  return at == std::string::npos ? -1 : IntOr0(std::string_view(route).substr(at + 2));
}

class TRepeat {
 public:
  TRepeat(TBrdData& brd, TCarObj& car, const TRepeatOrder& order)
      : brd_(brd), car_(car), order_(order), steps_(car.TmTbl.Items()), bk_(brd, car) {}

  TBulkResult Run();

 private:
  std::string CheckPattern();
  // Why copy r cannot be made before any section is tried; empty when it can be tried.
  std::string CopyDue(int32_t r, bool& finished) const;
  std::string EnterCopy(int32_t r, std::vector<TTmTbl>& out);
  std::string EnterTrain(const TSetTrain& t, int32_t off, const std::string& no, int32_t standUntil,
                         std::vector<TTmTbl>& out);
  // p.From.Side becomes the side the train leaves by.
  std::string EnterSection(TSectionPlan& p, int32_t home, int32_t holdUntil, TTmTbl& next);
  int32_t Offset(int32_t r) const { return r * order_.Every * 60; }
  int32_t FirstDep(int32_t r) const { return Step(pattern_.front().First).TmEnd + Offset(r); }
  const TTmTbl& Step(int32_t i) const { return steps_[static_cast<size_t>(i)]; }

  TBrdData& brd_;
  TCarObj& car_;
  const TRepeatOrder& order_;
  const std::vector<TTmTbl> steps_;
  std::vector<TSetTrain> pattern_;
  TBulkBooker bk_;
  int32_t standArr_ = 0;  // when the set arrived where it stands
  int32_t standLoc_ = 0;  // where it stands
};

std::string TRepeat::CheckPattern() {
  const std::string set = "編成" + IntText(order_.CarNo);
  std::vector<TSetTrain> trains = SetTrains(car_);
  if (order_.K < 1 || order_.K > static_cast<int32_t>(trains.size())) {
    return set + "の列車は" + IntText(static_cast<int32_t>(trains.size())) +
           "本です。繰り返す列車の数は1〜その本数で指定して下さい";
  }
  pattern_.assign(trains.end() - order_.K, trains.end());
  for (size_t k = 0; k < pattern_.size(); ++k) {
    const TSetTrain& t = pattern_[k];
    if (!bk_.OnLine(steps_, t.First, t.Last)) {
      return "列車" + t.TrNo + "はこの路線の外も走るため、繰り返せません";
    }
    if (BumpTrainNo(t.TrNo, 1).empty())
      return "列車番号「" + t.TrNo + "」に数字がないため番号を振れません";
    if (k > 0 &&
        SplitEntCode(Step(t.First).Loc).Id != SplitEntCode(Step(pattern_[k - 1].Last).Loc).Id) {
      return "列車" + t.TrNo + "は前の列車の終着駅から発車していません";
    }
  }
  const TTmTbl& last = steps_.back();
  const int32_t home = SplitEntCode(Step(pattern_.front().First).Loc).Id;
  if (last.TmEnd >= 0 || SplitEntCode(last.Loc).Id != home) {
    const TStaObj* sta = brd_.FindSta(home, "");
    return "最後の" + IntText(order_.K) + "本の列車は、列車" + pattern_.front().TrNo +
           "の始発駅（" + (sta ? sta->Name : "?") + "駅）に戻る往復になっていません";
  }
  standArr_ = last.TmStart;
  standLoc_ = last.Loc;
  return "";
}

// finished: the copy is not due (it would leave after Until), which ends a repeat normally.
std::string TRepeat::CopyDue(int32_t r, bool& finished) const {
  finished = FirstDep(r) > order_.Until;
  if (finished) return "";
  for (const TSetTrain& t : pattern_) {
    for (int32_t i = t.First; i <= t.Last; ++i) {
      if (std::max(Step(i).TmStart, Step(i).TmEnd) + Offset(r) > kDayEnd) {
        return "27:00を過ぎます";
      }
    }
    const std::string no = BumpTrainNo(t.TrNo, static_cast<int64_t>(r) * order_.Increment);
    if (brd_.TrainNos.count(no) != 0) return "列車番号" + no + "が既に使われています";
  }
  if (FirstDep(r) < standArr_ + kTurnSec) {
    return "編成が" + std::string(TrimBlanks(TimeToText(standArr_, true))) +
           "に戻る前に発車することになります";
  }
  return "";
}

TBulkResult TRepeat::Run() {
  TBulkResult res;
  if (std::string why = CheckPattern(); !why.empty()) {
    res.Msg = why;
    return res;
  }
  bk_.Rebuild({});
  bk_.DropStand(standLoc_, standArr_);
  std::string stop;
  for (int32_t r = 1;; ++r) {
    bool finished = false;
    stop = CopyDue(r, finished);
    if (finished) break;
    std::vector<TTmTbl> out;
    if (stop.empty()) stop = EnterCopy(r, out);
    if (!stop.empty()) {
      stop = IntText(r) + "回目の複製は、" + stop;
      break;
    }
    for (const TTmTbl& s : out) car_.TmTbl.Add(s);
    for (const TSetTrain& t : pattern_) {
      brd_.TrainReg(car_.Id, BumpTrainNo(t.TrNo, static_cast<int64_t>(r) * order_.Increment));
    }
    ++res.Copies;
    standArr_ = out.back().TmStart;
    standLoc_ = out.back().Loc;
  }
  res.Ok = res.Copies > 0;
  res.Trains = res.Copies * order_.K;
  if (!res.Ok) {
    // Without a refusal the first copy was not due: it would leave after the end given.
    if (stop.empty()) {
      stop = "最初の複製は" +
             std::string(TrimBlanks(TimeToText(FirstDep(1), FirstDep(1) % 60 != 0))) +
             "発で、終了時刻" + std::string(TrimBlanks(TimeToText(order_.Until, false))) +
             "より後になります";
    }
    res.Msg = stop + "。列車は作成していません。";
    return res;
  }
  brd_.Modified = true;
  res.Msg = IntText(res.Copies) + "回分（" + IntText(res.Trains) + "本）の列車を作成しました。";
  res.Msg += stop.empty()
                 ? "次の複製は" + std::string(TrimBlanks(TimeToText(order_.Until, false))) +
                       "より後に発車するため、ここで終わりました。"
                 : stop + "。ここで止めました。";
  return res;
}

// The copy's trains in order; out receives their steps. Nothing is stored here.
std::string TRepeat::EnterCopy(int32_t r, std::vector<TTmTbl>& out) {
  // After the copy the set stands where it ends until the next copy leaves, or for the night.
  bool finished = false;
  const std::string due = CopyDue(r + 1, finished);
  const int32_t lastUntil = finished || !due.empty() ? kDayEnd : FirstDep(r + 1);
  for (size_t k = 0; k < pattern_.size(); ++k) {
    const TSetTrain& t = pattern_[k];
    const std::string no = BumpTrainNo(t.TrNo, static_cast<int64_t>(r) * order_.Increment);
    const int32_t until =
        k + 1 < pattern_.size() ? Step(pattern_[k + 1].First).TmEnd + Offset(r) : lastUntil;
    if (std::string why = EnterTrain(t, Offset(r), no, until, out); !why.empty()) {
      return "列車" + no + "が" + why;
    }
  }
  return "";
}

// One train of a copy, leaving from where the set stands; standUntil is when the set leaves its
// terminal again.
std::string TRepeat::EnterTrain(const TSetTrain& t, int32_t off, const std::string& no,
                                int32_t standUntil, std::vector<TTmTbl>& out) {
  const TTmTbl& o = Step(t.First);
  if (o.TmEnd + off < standArr_ + kTurnSec) return "折り返しの30秒を取れません";
  const TEntCode at = SplitEntCode(standLoc_);
  out.push_back(TTmTbl{no + "," + TextAfter(o.Txt, ','), o.TmEnd + off, o.TmEnd + off,
                       MakeEntCode(at.Id, at.Slot, SplitEntCode(o.Loc).Side)});
  for (int32_t i = t.First; i < t.Last; ++i) {
    const TTmTbl& want = Step(i + 1);
    const TTmTbl cur = out.back();
    TSectionPlan p;
    p.TrNo = no;
    p.From = SplitEntCode(cur.Loc);
    p.Arr = i == t.First ? standArr_ : cur.TmStart;
    p.Dep = cur.TmEnd;
    p.PassCur = i != t.First && IsPass(cur);
    p.NextId = SplitEntCode(want.Loc).Id;
    p.PassNext = IsPass(want);
    p.NextDep = want.TmEnd < 0 ? -1 : want.TmEnd + off;
    const int32_t hold = i + 1 == t.Last ? standUntil : p.NextDep;
    TTmTbl next;
    if (std::string why = EnterSection(p, SplitEntCode(want.Loc).Slot, hold, next); !why.empty()) {
      return why;
    }
    out.back().Loc = MakeEntCode(p.From.Id, p.From.Slot, p.From.Side);
    out.push_back(next);
  }
  standArr_ = out.back().TmStart;
  standLoc_ = out.back().Loc;
  return "";
}

// Tries the planned platform of the next station first, then its other platforms in route
// order; the first one whose section passes the checks, whose platform is free from the arrival
// until holdUntil (-1: only for the arrival), and which leaves a stop its 30 s, is booked. next
// receives the step stored for the next station.
std::string TRepeat::EnterSection(TSectionPlan& p, int32_t home, int32_t holdUntil, TTmTbl& next) {
  std::vector<std::string> routes = bk_.Routes(p.From, p.NextId, -1);
  std::stable_partition(routes.begin(), routes.end(),
                        [&](const std::string& r) { return RouteHome(TextAfter(r, '=')) == home; });
  std::string first;
  for (const std::string& line : routes) {
    const std::string route = TextAfter(line, '=');
    const int32_t h = RouteHome(route);
    const int32_t arr = p.Dep + bk_.RunSec(route, p.PassNext, p.PassCur);
    TSectionPlan q = p;
    if (p.PassNext) q.NextDep = arr;
    std::string why;
    if (!p.PassNext && q.NextDep >= 0 && q.NextDep < arr + kTurnSec) {
      why = "停車時間が足りません";
    } else if (const TStatus st = bk_.HomeFree(MakeEntCode(p.NextId, h, 0), arr,
                                               std::max(holdUntil, q.NextDep), p.TrNo);
               !st) {
      why = st.Msg();
    }
    TTmTbl arrived;
    if (why.empty()) {
      if (const TStatus st = bk_.Section(q, route, arrived); !st) why = st.Msg();
    }
    if (why.empty()) {
      const TEntCode to = SplitEntCode(arrived.Loc);
      // A pass keeps the time the booking gives, so that it stays a pass.
      next = TTmTbl{"", arrived.TmStart, p.PassNext ? arrived.TmStart : q.NextDep,
                    MakeEntCode(p.NextId, to.Slot, 1 - to.Side)};
      return "";
    }
    if (first.empty()) first = why;
  }
  return first.empty() ? "次の駅への経路がありません" : first;
}

}  // namespace

TBulkResult RepeatTrains(TBrdData& brd, const TRepeatOrder& order) {
  TBulkResult res;
  TCarObj* car = brd.FindCar(order.CarNo, "");
  if (car == nullptr) {
    res.Msg = "編成" + IntText(order.CarNo) + "が見つかりません";
  } else if (order.Every < 1 || order.Every > 1380) {
    res.Msg = "間隔は1〜1380分で指定して下さい";
  } else if (order.Increment < 1 || order.Increment > 1000000) {
    res.Msg = "列車番号の増分は1〜1000000で指定して下さい";
  } else {
    TRepeat rep(brd, *car, order);
    return rep.Run();
  }
  return res;
}

}  // namespace ramvel
