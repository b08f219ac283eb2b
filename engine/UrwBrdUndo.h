// What the board's editors offer their undo histories: the train sets (diagram editor) and the
// whole layout (design mode) as records, and the writing back of records with the rebuild of
// what is derived from them.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "engine/UrwBrdData.h"
#include "foundation/UrwUndo.h"

namespace ramvel {

// The board's train sets, keyed "car/<number>", each as its file's record.
class TCarUndoTarget : public TUndoTarget {
 public:
  // brd must outlive the target; rebuilt runs after records were written back (it rebuilds the
  // editor's model, the occupancy and the view) and may be empty.
  TCarUndoTarget(TBrdData& brd, std::function<void()> rebuilt)
      : brd_(brd), rebuilt_(std::move(rebuilt)) {}
  TUndoRecs Snapshot() const override;
  // Also rebuilds the board's train number list and marks the board modified.
  void Restore(const std::map<std::string, TUndoRec>& recs) override;

 private:
  TBrdData& brd_;
  std::function<void()> rebuilt_;
};

// Everything design mode changes: the station and rail serial counters ("board"), every placed
// station ("sta/<id>": its name on the first line, then its file's record), every rail
// ("rail/<id>"), every train set ("car/<number>"), the current line ("line") and the line files
// on disk ("linefile/<name as on disk>"), which line editing writes at once.
class TLayoutUndoTarget : public TUndoTarget {
 public:
  // brd and folder (the board's folder, "" for none) must outlive the target; rebuilt as above.
  // pending, when given, names a station that is being placed (0: none): it is not part of the
  // layout yet, so a step that places it records it as created.
  TLayoutUndoTarget(TBrdData& brd, const std::string& folder, std::function<void()> rebuilt,
                    std::function<int32_t()> pending = {})
      : brd_(brd), folder_(folder), rebuilt_(std::move(rebuilt)), pending_(std::move(pending)) {}
  TUndoRecs Snapshot() const override;
  // Writes line files back at once, like line editing (a line file that cannot be written is
  // reported, the rest is still restored); marks the board modified unless only lines changed.
  void Restore(const std::map<std::string, TUndoRec>& recs) override;

 private:
  void RestoreOne(const std::string& key, const TUndoRec& rec);
  void RestoreLineFile(const std::string& name, const TUndoRec& rec);
  TBrdData& brd_;
  const std::string& folder_;
  std::function<void()> rebuilt_;
  std::function<int32_t()> pending_;
};

// The board's list of train numbers made again from every train set's timetable, as a load
// makes it.
void RebuildTrainNos(TBrdData& brd);

}  // namespace ramvel
