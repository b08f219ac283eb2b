// The undo history of one editor (TUndoHistory): named steps that hold, for every object a step
// changed, the object's record text before and after, and the target that writes them back.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace ramvel {

// The records of the objects an editor can change: object key -> the object's record text, the
// same text its record file holds. An object that does not exist has no key.
using TUndoRecs = std::map<std::string, std::string>;

// One object's record before or after a step; nullopt when the object did not (or no longer)
// exist.
using TUndoRec = std::optional<std::string>;

// What an editor offers its history: a snapshot of every object it can change, and the writing
// back of records.
class TUndoTarget {
 public:
  virtual ~TUndoTarget() = default;
  // The records of every object the editor's operations can change.
  virtual TUndoRecs Snapshot() const = 0;
  // Makes every key of recs hold its record (nullopt: the object is deleted), leaves every other
  // object as it is, then rebuilds everything derived from the objects (occupancy, lists,
  // pictures) as a fresh load would. The records come from Snapshot, so they always read back.
  virtual void Restore(const std::map<std::string, TUndoRec>& recs) = 0;
};

// One step: its name for the menu ("駅の追加") and the records of the objects it changed.
struct TUndoStep {
  std::string Name;
  std::map<std::string, TUndoRec> Before;
  std::map<std::string, TUndoRec> After;
};

class TUndoHistory {
 public:
  // Steps kept; the oldest goes when a new one would exceed it.
  static constexpr size_t kDefaultLimit = 200;

  explicit TUndoHistory(size_t limit = kDefaultLimit) : limit_(limit < 1 ? 1 : limit) {}

  // target must outlive its use here; null detaches (Begin and End then record nothing).
  void SetTarget(TUndoTarget* target) { target_ = target; }

  // Opens a step named name: snapshots every object the target can change. Begin and End nest;
  // only the outermost pair makes a step, under the outermost name, so an operation built of
  // other recorded operations becomes one step.
  void Begin(const std::string& name);
  // Closes the step opened by the matching Begin. The step keeps only the objects whose record
  // changed, appeared or disappeared; with none it is dropped (a refused edit makes no step).
  // Discards the redo steps when a step is kept. True when a step was kept.
  bool End();
  // Runs op as one step named name; returns what op returns. The step is closed even when op
  // throws.
  template <typename F>
  auto Record(const std::string& name, F&& op) -> decltype(op());

  bool CanUndo() const { return !undo_.empty() && depth_ == 0; }
  bool CanRedo() const { return !redo_.empty() && depth_ == 0; }
  // The name of the step Undo (Redo) would take back (do again); empty when there is none.
  std::string UndoName() const { return undo_.empty() ? std::string() : undo_.back().Name; }
  std::string RedoName() const { return redo_.empty() ? std::string() : redo_.back().Name; }
  size_t UndoCount() const { return undo_.size(); }
  size_t RedoCount() const { return redo_.size(); }
  // Writes back the "before" records of the last step; false when there is none or a step is
  // open.
  bool Undo();
  // Writes back the "after" records of the last undone step.
  bool Redo();
  // Forgets every step (a board opened, a station loaded).
  void Clear();

 private:
  TUndoTarget* target_ = nullptr;
  size_t limit_;
  int depth_ = 0;
  std::string openName_;
  TUndoRecs openRecs_;
  std::deque<TUndoStep> undo_;
  std::deque<TUndoStep> redo_;
};

// Opens a step for as long as it lives (Begin at construction, End at destruction).
class TUndoScope {
 public:
  TUndoScope(TUndoHistory& h, const std::string& name) : h_(h) { h_.Begin(name); }
  ~TUndoScope() { h_.End(); }
  TUndoScope(const TUndoScope&) = delete;
  TUndoScope& operator=(const TUndoScope&) = delete;

 private:
  TUndoHistory& h_;
};

template <typename F>
auto TUndoHistory::Record(const std::string& name, F&& op) -> decltype(op()) {
  TUndoScope scope(*this, name);
  return op();
}

// The menu texts: "元に戻す: 駅の追加" / "元に戻す" and "やり直し: 駅の追加" / "やり直し".
std::string UndoMenuText(const TUndoHistory& h);
std::string RedoMenuText(const TUndoHistory& h);

}  // namespace ramvel
