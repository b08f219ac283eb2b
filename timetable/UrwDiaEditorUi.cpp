// Selection helpers of the diagram editor and the checks that guard the properties dialog's
// answers.
#include "timetable/UrwDiaEditorUi.h"

#include <algorithm>

#include "engine/UrwBrdData.h"
#include "timetable/UrwDiaBulkCheck.h"

namespace ramvel {

namespace {

bool HasHome(const TStaObj& sta, int32_t home) {
  return std::any_of(sta.Rails.begin(), sta.Rails.end(),
                     [&](const StaRail& r) { return r.Kind == kRailHome && r.No == home; });
}

}  // namespace

// ---- Selection ---------------------------------------------------------------------------------

std::optional<int32_t> ShowSelList(TDiaDialogs& dlg, const std::vector<std::string>& list,
                                   const std::string& prompt, bool textMode) {
  if (list.empty()) {
    ShowMsgBox(kCapNotice, "選択できるものがありません");
    return std::nullopt;
  }
  const std::optional<int32_t> i = dlg.SelectItem(list, prompt, textMode);
  if (!i || *i < 0 || *i >= static_cast<int32_t>(list.size())) return std::nullopt;
  return i;
}

std::optional<int32_t> SelectCarId(TDiaDialogs& dlg, const std::vector<std::string>& list,
                                   const std::string& prompt) {
  const std::optional<int32_t> i = ShowSelList(dlg, list, prompt, true);
  if (!i) return std::nullopt;
  int32_t no = 0;
  if (!ParseInt(TrimBlanks(TextBefore(list[*i] + "(", "(")), no)) return std::nullopt;
  return no;
}

std::optional<std::string> SelectTrNo(TDiaDialogs& dlg, const std::vector<std::string>& list) {
  const std::optional<int32_t> i = ShowSelList(dlg, list, "列車を選択して下さい", true);
  if (!i) return std::nullopt;
  return list[*i];
}

// ---- Checks ------------------------------------------------------------------------------------

TStatus CheckTrainNo(const TTrainNoList& trains, const std::string& number,
                     const std::string& own) {
  const std::string no = std::string(TrimBlanks(number));
  if (no.empty()) return TStatus::Error("列車番号を入力して下さい");
  if (no.find_first_of(",[]") != std::string::npos) {
    return TStatus::Error("列車番号を正しく入力して下さい");
  }
  if (trains.count(no) > 0 && !(!own.empty() && SameNoCase(no, own))) {
    return TStatus::Error("既に存在する列車番号です");
  }
  return TStatus::Ok();
}

TStatus CheckNewCar(TBrdData& brd, const TNewCarChoice& choice) {
  if (choice.Prop.NCar < 1 || choice.Prop.NCar > kMaxCars) {
    return TStatus::Error("両数を入力して下さい");
  }
  if (choice.Prop.Spd < kMinSpd || choice.Prop.Spd > kMaxSpd) {
    return TStatus::Error("速度の入力が正しくありません");
  }
  const TEntCode at = SplitEntCode(choice.StabLoc);
  TStaObj* sta = brd.FindStaInLine(at.Id) >= 0 ? brd.FindSta(at.Id, "") : nullptr;
  if (sta == nullptr) return TStatus::Error("始業時留置駅を入力して下さい");
  if (!HasHome(*sta, at.Slot)) return TStatus::Error("始業時留置ホームを入力して下さい");
  TTmTbl occ;
  if (sta->OccupyHome(0, at.Slot, "", occ) <= 0) {
    const std::string who = occ.Txt.empty() ? "" : "（" + OccupantText(occ.Txt) + "が使っています）";
    return TStatus::Error("指定の留置場所が始業時に空いていません" + who);
  }
  return TStatus::Ok();
}

}  // namespace ramvel
