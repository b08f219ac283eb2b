// The train group of the train set properties dialog without its window.
#include "timetable/UrwCarProperty.h"

#include <iterator>

namespace ramvel {

namespace {

constexpr int32_t kTypeCount = static_cast<int32_t>(std::size(kTrainTypes));

int32_t TypeIndex(const std::string& type) {
  for (int32_t i = 0; i < kTypeCount; ++i) {
    if (kTrainTypes[i] == type) return i;
  }
  return -1;
}

}  // namespace

void TTrainForm::Setup(const std::string& kind, const std::string& number, bool change) {
  CbxTrType = -1;
  if (!change) {
    Caption = "列車の新規作成";
    EdtTrNo.clear();
    EdtTrNick.clear();
    return;
  }
  Caption = "列車番号の変更";
  EdtTrNo = number;
  const TTrainKind k = SplitTrainKind(kind);
  CbxTrType = TypeIndex(k.Type);
  EdtTrNick = k.Nick;
}

TStatus TTrainForm::Check(const TTrainNoList& trains, const std::string& own) const {
  return CheckTrainNo(trains, EdtTrNo, own);
}

TTrainChoice TTrainForm::Result() const {
  TTrainKind k;
  if (CbxTrType >= 0 && CbxTrType < kTypeCount) k.Type = std::string(kTrainTypes[CbxTrType]);
  k.Nick = EdtTrNick;
  return TTrainChoice{std::string(TrimBlanks(EdtTrNo)), TrainKindText(k)};
}

}  // namespace ramvel
