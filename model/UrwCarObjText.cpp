// The texts that name train sets and trains: the train-set keys of a line's selection lists and
// a train's kind text (type and nickname).
#include <cstdio>

#include "model/UrwCarObj.h"

namespace ramvel {

std::string CarIdKey(int32_t carNo) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%3d", static_cast<int>(carNo));
  return buf;
}

std::string ParkedCarIdKey(int32_t carNo) { return CarIdKey(carNo) + "*"; }

bool SplitCarIdKey(std::string_view key, int32_t& carNo, bool& parked) {
  parked = !key.empty() && key.back() == '*';
  if (parked) key.remove_suffix(1);
  return ParseInt(key, carNo);
}

namespace {

bool IsTrainType(std::string_view word) {
  for (std::string_view t : kTrainTypes) {
    if (t == word) return true;
  }
  return false;
}

}  // namespace

std::string TrainKindText(const TTrainKind& kind) {
  std::string out(TrimBlanks(kind.Type));
  const std::string_view nick = TrimBlanks(kind.Nick);
  if (!nick.empty()) out += " " + std::string(nick);
  return out;
}

TTrainKind SplitTrainKind(std::string_view text) {
  const size_t space = text.find(' ');
  const std::string_view word = text.substr(0, space);
  if (IsTrainType(word)) {
    const std::string_view rest = space == std::string_view::npos ? "" : text.substr(space + 1);
    return {std::string(word), std::string(TrimBlanks(rest))};
  }
  return {"", std::string(TrimBlanks(text))};
}

}  // namespace ramvel
