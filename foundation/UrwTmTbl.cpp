// Timetable steps and the start-ordered occupancy list.
#include "foundation/UrwTmTbl.h"

#include <algorithm>
#include <atomic>

namespace ramvel {

namespace {
constexpr int32_t kEndOfDay = 82800;
}

TStepKind StepKind(const TTmTbl& r) {
  if (r.TmStart == -1 && r.TmEnd == -1) return TStepKind::kStabling;
  if (r.TmEnd == -1) return TStepKind::kArrival;
  if (r.TmStart == r.TmEnd) return r.Txt.empty() ? TStepKind::kPass : TStepKind::kStart;
  return TStepKind::kStop;
}

bool IsPass(const TTmTbl& r) { return r.Txt.empty() && r.TmStart == r.TmEnd; }

void TTmTblObj::Touch() {
  static std::atomic<uint64_t> gLastVersion{0};
  version_ = ++gLastVersion;
}

void TTmTblObj::Add(const TTmTbl& rec) {
  Touch();
  // upper_bound keeps equal starts in their order of insertion.
  const auto pos = std::upper_bound(
      items_.begin(), items_.end(), rec.TmStart,
      [](int32_t tm, const TTmTbl& r) { return tm < r.TmStart; });
  items_.insert(pos, rec);
}

void TTmTblObj::Delete(int32_t index) {
  Touch();
  items_.erase(items_.begin() + index);
}

void TTmTblObj::DeleteByStart(int32_t tm) {
  const auto it = std::find_if(items_.begin(), items_.end(),
                               [&](const TTmTbl& r) { return r.TmStart == tm; });
  if (it == items_.end()) return;
  Touch();
  items_.erase(it);
}

void TTmTblObj::DeleteByTxt(std::string_view txt) {
  Touch();
  std::erase_if(items_, [&](const TTmTbl& r) { return r.Txt == txt; });
}

TStepKind TTmTblObj::GetKind(int32_t index, TTmTbl& rec) const {
  rec = items_.at(index);
  return StepKind(rec);
}

std::string TTmTblObj::TxtAt(int32_t t) const {
  for (const TTmTbl& r : items_) {
    if (r.TmStart <= t && t <= r.TmEnd) return r.Txt;
  }
  return {};
}

int32_t TTmTblObj::FreeUntil(int32_t t) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].TmEnd <= t) continue;
    if (t < items_[i].TmStart) return items_[i].TmStart;
    return -static_cast<int32_t>(i);
  }
  return kEndOfDay;
}

int32_t TTmTblObj::WaitFor(int32_t t, int32_t dur) const {
  size_t i = 0;
  while (i < items_.size() && items_[i].TmEnd <= t) ++i;
  int32_t cur = t;
  for (; i < items_.size() && items_[i].TmStart <= cur + dur; ++i) {
    if (!items_[i].Txt.empty() && items_[i].Txt[0] == '[') break;
    // An interval that ends inside one already waited for must not pull the wait back.
    cur = std::max(cur, items_[i].TmEnd);
  }
  return cur - t;
}

}  // namespace ramvel
