// The one-section dialog without its window.
#include "timetable/UrwDiaOneStep.h"

#include <algorithm>

#include "foundation/UrwCmnDef.h"

namespace ramvel {

namespace {

constexpr int32_t kItemH = 15;  // list item height, pixels
constexpr int32_t kMaxRouteRows = 15;
constexpr int32_t kLbxStaTop = 64;
constexpr int32_t kLbxStartBottom = 88 + 178;
constexpr int32_t kStopChoices = 10;

// Only the space character: the list texts are padded with spaces and nothing else.
std::string TrimSpaceChars(std::string_view s) {
  const size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return "";
  return std::string(s.substr(b, s.find_last_not_of(' ') - b + 1));
}

// Seconds rounded up to a whole minute.
int32_t CeilMinute(int32_t t) { return t % 60 <= 0 ? t : t / 60 * 60 + 60; }

}  // namespace

std::string StopChoiceText(int32_t first, int32_t n) {
  if (n == 0) return TimeToText(first, true) + " (最短停車)";
  const int32_t t = CeilMinute(first - 30 + 60 * n);
  return TimeToText(t, true) + " (" + IntText(n) + "分停車)";
}

std::string StopShortMsg(int32_t s) {
  std::string out = "停車を更に";
  if (s >= 60) out += IntText(s / 60) + "分";
  return out + IntText(s % 60) + "秒増やす必要があります";
}

void TDiaOneStep::SetupStep(const std::string& cur, const std::string& next,
                            const std::vector<std::string>& routes, int32_t first, int32_t sections,
                            bool isPassCur, bool isStart, bool canPassNext) {
  IsStart = isStart;
  IsPassCur = isPassCur;
  FirstDep = first;
  Routes = routes;
  Focus = TOneStepFocus::kNone;
  LbxStart.clear();
  StartIndex = -1;
  std::string kind;
  if (isStart) {
    kind = "始発駅です";
    Lbl4CurSta = "発車時刻を入れて下さい。";
    // Whole minutes are proposed; any time from the earliest on is accepted.
    EdtCurSta = TimeToText(CeilMinute(first), false);
    EdtCurStaVisible = true;
    LbxStartVisible = false;
    BtnCancelEnabled = true;
  } else if (isPassCur) {
    kind = "通過駅です";
    Lbl4CurSta.clear();
    EdtCurStaVisible = LbxStartVisible = false;
    BtnCancelEnabled = false;  // a train cannot end where it passes
  } else {
    kind = "停車駅です";
    Lbl4CurSta = "発車時刻を入れて下さい。";
    EdtCurSta = TimeToText(first, true);
    EdtCurStaVisible = LbxStartVisible = true;
    BtnCancelEnabled = true;
    for (int32_t n = 0; n < kStopChoices; ++n) LbxStart.push_back(StopChoiceText(first, n));
    StartIndex = 0;
    if (sections == 0 && first % 60 != 0) {
      // Going on from a terminal: the next whole minute is proposed, the shortest stop listed.
      EdtCurSta = TimeToText(CeilMinute(first), false);
      StartIndex = -1;
    }
  }
  LblCurSta = "現在の駅「" + cur + "」- " + kind;
  LblNextSta = "次の駅「" + next + "」";
  BtnThruEnabled = canPassNext;
  BtnCancelCaption = sections > 0 ? "現在駅を終点とする" : "キャンセル";
  LbxSta.clear();
  for (const std::string& r : routes) LbxSta.push_back(TextBefore(r + "=", "="));
  StaIndex = LbxSta.size() == 1 ? 0 : -1;
  const int32_t rows = std::min<int32_t>(static_cast<int32_t>(LbxSta.size()), kMaxRouteRows);
  LbxStaHeight = kItemH * rows + 5;
  const int32_t bottom = kLbxStaTop + LbxStaHeight;
  ClientHeight = (LbxStartVisible ? std::max(bottom, kLbxStartBottom) : bottom) + 10;
}

void TDiaOneStep::LbxStartClick(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(LbxStart.size())) return;
  StartIndex = index;
  EdtCurSta = TrimSpaceChars(TextBefore(LbxStart[index], "("));
}

std::string TDiaOneStep::ChosenRoute() const {
  if (StaIndex < 0 || StaIndex >= static_cast<int32_t>(Routes.size())) return "";
  return TextAfter(Routes[StaIndex], '=');
}

// The departure: typed at the origin and at a stop, the arrival itself at a passed station.
// An origin may not leave before the earliest departure either: an earlier start would put the
// new train's steps before the train set's previous arrival.
bool TDiaOneStep::CheckDep() {
  if (IsPassCur && !IsStart) {
    ChosenDep = FirstDep;
    return true;
  }
  const bool shortest = !IsStart && StartIndex == 0 && !LbxStart.empty() &&
                        TrimSpaceChars(EdtCurSta) == TrimSpaceChars(TextBefore(LbxStart[0], "("));
  if (shortest) {
    ChosenDep = FirstDep;
    return true;
  }
  int32_t t = 0;
  std::string msg;
  if (!TextToTime(ToHalfWidth(EdtCurSta), t)) {
    msg = "発車時刻が正しく入力されていません";
  } else if (t < FirstDep) {
    msg = "発車時刻が早すぎます";
  }
  if (msg.empty()) {
    ChosenDep = t;
    return true;
  }
  ShowMsgBox(kCapError, msg);
  Focus = TOneStepFocus::kDep;
  return false;
}

bool TDiaOneStep::Accept(bool thru) {
  Focus = TOneStepFocus::kNone;
  if (thru && !BtnThruEnabled) {
    ShowMsgBox(kCapError, "次の駅は路線の終点なので通過できません");
    return false;
  }
  if (!CheckDep()) return false;
  if (StaIndex < 0 || StaIndex >= static_cast<int32_t>(Routes.size())) {
    ShowMsgBox(kCapError, "次の駅が選択されていません");
    Focus = TOneStepFocus::kRoute;
    return false;
  }
  PassNext = thru;
  return true;
}

}  // namespace ramvel
