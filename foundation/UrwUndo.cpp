// The undo history: opening and closing steps, undoing and redoing them.
#include "foundation/UrwUndo.h"

namespace ramvel {

namespace {

// The objects whose record differs between before and after, with both records.
TUndoStep Diff(const std::string& name, const TUndoRecs& before, const TUndoRecs& after) {
  TUndoStep step;
  step.Name = name;
  for (const auto& [key, text] : before) {
    const auto it = after.find(key);
    if (it != after.end() && it->second == text) continue;
    step.Before.emplace(key, text);
    step.After.emplace(key, it == after.end() ? TUndoRec() : TUndoRec(it->second));
  }
  for (const auto& [key, text] : after) {
    if (before.count(key) > 0) continue;
    step.Before.emplace(key, TUndoRec());
    step.After.emplace(key, text);
  }
  return step;
}

}  // namespace

void TUndoHistory::Begin(const std::string& name) {
  if (depth_++ > 0 || target_ == nullptr) return;
  openName_ = name;
  openRecs_ = target_->Snapshot();
}

bool TUndoHistory::End() {
  if (depth_ == 0) return false;
  if (--depth_ > 0 || target_ == nullptr) return false;
  TUndoStep step = Diff(openName_, openRecs_, target_->Snapshot());
  openRecs_.clear();
  if (step.Before.empty()) return false;
  redo_.clear();
  undo_.push_back(std::move(step));
  while (undo_.size() > limit_) undo_.pop_front();
  return true;
}

bool TUndoHistory::Undo() {
  if (!CanUndo() || target_ == nullptr) return false;
  TUndoStep step = std::move(undo_.back());
  undo_.pop_back();
  target_->Restore(step.Before);
  redo_.push_back(std::move(step));
  return true;
}

bool TUndoHistory::Redo() {
  if (!CanRedo() || target_ == nullptr) return false;
  TUndoStep step = std::move(redo_.back());
  redo_.pop_back();
  target_->Restore(step.After);
  undo_.push_back(std::move(step));
  return true;
}

void TUndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

std::string UndoMenuText(const TUndoHistory& h) {
  return h.CanUndo() ? "元に戻す: " + h.UndoName() : "元に戻す";
}

std::string RedoMenuText(const TUndoHistory& h) {
  return h.CanRedo() ? "やり直し: " + h.RedoName() : "やり直し";
}

}  // namespace ramvel
