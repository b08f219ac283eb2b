// All-or-nothing writing of a set of record files inside one folder, with a journal that lets
// the next reader finish or undo a save that was cut off.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "foundation/UrwBrdLock.h"
#include "foundation/UrwStatus.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

// A save of many files in one folder (the root, a board folder) that lands whole or not at all:
//   0. the root's lock is taken exclusively (TBrdLock) and a save cut off earlier recovered;
//   1. every record is encoded and every target checked (not a folder, not read-only, and, with
//      ExpectUnchanged, as it was when the board was read);
//   2. each changed file is written under a short temporary name beside its target, and each file
//      to be removed is set aside under its name + ".rvdel"; then the journal is written;
//   3. one flush of the file system; the journal is renamed into place: the save is committed;
//   4. the temporary files are renamed over their targets, the set-aside files deleted, and the
//      journal removed.
// A failure in 1 to 3 undoes what was done and leaves the root as it was. A process killed
// anywhere leaves either no journal (RecoverSave undoes the save) or a whole one (RecoverSave
// completes it). A file whose existing bytes read as exactly the text to be written is left
// alone, so that an unchanged file keeps its bytes (a character with two codes keeps its code).
class TSaveBatch {
 public:
  // root must exist when Commit runs; every path given later lies inside it.
  explicit TSaveBatch(std::string root);
  // A batch that was not committed takes its temporary files away and gives back the lock.
  ~TSaveBatch();
  TSaveBatch(const TSaveBatch&) = delete;
  TSaveBatch& operator=(const TSaveBatch&) = delete;

  // Takes the root's lock and recovers a save cut off earlier; Commit and Stage do it when it
  // was not done. Callers that list the root to decide what to put take it first, so that the
  // listing and the save see the same files.
  TStatus Begin();
  // path (inside root, as spelt on disk) is to hold rec: CP932, CR LF after every line.
  void Put(const std::string& path, const TextRec& rec);
  // path is to hold bytes exactly. The temporary file is written at once (after Begin), so that
  // a batch of many large files holds only one of them in memory; a failure names the file.
  TStatus Stage(const std::string& path, std::string_view bytes);
  // path (inside root) is to be gone after the save.
  void Remove(const std::string& path);
  // Every path the save writes or removes must be as stamps (keyed by StampKey of the full
  // path) recorded it, or absent when stamps hold no entry for it; otherwise the save is refused
  // with kMsgChangedElsewhere before anything changes. stamps must outlive Commit.
  void ExpectUnchanged(const TFileStamps& stamps) { expect_ = &stamps; }
  // Runs the save. Messages name the file by its path inside root.
  TStatus Commit();
  // After a successful Commit: stamps updated to what the save left on disk (the files it put
  // and kept stamped anew, the files it removed taken out).
  void UpdateStamps(TFileStamps& stamps) const;

  int Written() const { return written_; }  // after Commit: files replaced or created
  int Kept() const { return kept_; }        // after Commit: files left as they were

 private:
  struct TPut {
    std::string Rel;
    std::string Text;   // UTF-8, lines ended by CR LF; empty for staged bytes
    std::string Bytes;  // CP932; emptied once a staged file is written
    std::string Tmp;    // temporary path; empty while none is written
    mode_t Mode = 0644;
    bool Keep = false;    // the file already holds this text
    bool Staged = false;  // checked and written by Stage
    TFileStamp Disk;      // what the file holds after the save (Size and Hash)
  };
  struct TDel {
    std::string Rel;
    bool Parked = false;  // set aside as Rel + ".rvdel"
  };

  std::string Abs(const std::string& rel) const;
  std::string RelOf(const std::string& path) const;
  TStatus Check();
  TStatus CheckTarget(TPut& p);
  TStatus CheckUnchanged(const std::string& rel, const std::string* bytes) const;
  TStatus WriteTemps();
  TStatus WriteTemp(TPut& p);
  TStatus ParkStale();
  TStatus WriteJournal();
  TStatus Flush();
  void Undo();
  TStatus Switch();

  std::string root_;
  std::vector<TPut> puts_;
  std::vector<TDel> dels_;
  const TFileStamps* expect_ = nullptr;
  TBrdLock lock_;
  bool begun_ = false;
  bool committed_ = false;
  int written_ = 0;
  int kept_ = 0;
};

// The refusal of a save whose files another program changed since they were read; the file
// follows on the next line.
inline constexpr const char* kMsgChangedElsewhere =
    "ボードが他で変更されています。読み直すか、別の名前で保存してください";
bool IsChangedElsewhere(const TStatus& st);

// Whether root holds traces of a save that was cut off (a journal, temporary or set-aside files).
bool HasSaveTraces(const std::string& root);

// Finishes a committed save that was cut off in root (renames its remaining temporary files,
// deletes the files it set aside) or undoes an uncommitted one (removes its temporary files,
// puts back what it set aside). Runs only under the root's exclusive lock (LockForWrite,
// LockForRead), where no save of another program is under way; a root without traces of a save
// is left untouched.
TStatus RecoverSave(const std::string& root);
// The same; *readOnly tells that it failed because the folder refuses to be changed (a
// read-only mount), so that a reader may still show the board through PendingSaveView.
TStatus RecoverSave(const std::string& root, bool* readOnly);
// The redirects (TReadRedirect) that show root as RecoverSave would leave it without changing
// it: with a whole journal, the files still under their temporary names are read for their
// targets (the files it removes are set aside already); without one, the files set aside are read
// under their own names again. Empty when no such trace is there.
std::map<std::string, std::string> PendingSaveView(const std::string& root);

// Test hook: called before each rename or removal of the recovery with the path it changes; a
// non-zero result fails that change with it as errno (EROFS stands for a read-only mount). Null
// in the program.
using TRecoverFaultHook = int (*)(const std::string& target);
void SetRecoverFaultHook(TRecoverFaultHook hook);

// Called before each step of a save that changes the disk (writing a file, the flush, a rename,
// a removal). Tests use it to stop a process at every point of a save; null in the program.
using TSaveStepHook = void (*)();
void SetSaveStepHook(TSaveStepHook hook);

}  // namespace ramvel
