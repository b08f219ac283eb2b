// All-or-nothing writing of a set of record files inside one folder, with a journal that lets
// the next reader finish or undo a save that was cut off.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "foundation/UrwStatus.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

// A save of many files in one folder (the root, a board folder) that lands whole or not at all:
//   1. every record is encoded and every target checked (not a folder, not read-only);
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

  // path (inside root, as spelt on disk) is to hold rec: CP932, CR LF after every line.
  void Put(const std::string& path, const TextRec& rec);
  // path (inside root) is to be gone after the save.
  void Remove(const std::string& path);
  // Runs the save. Messages name the file by its path inside root.
  TStatus Commit();

  int Written() const { return written_; }  // after Commit: files replaced or created
  int Kept() const { return kept_; }        // after Commit: files left as they were

 private:
  struct TPut {
    std::string Rel;
    std::string Text;   // UTF-8, lines ended by CR LF
    std::string Bytes;  // CP932
    std::string Tmp;    // temporary path; empty while none is written
    mode_t Mode = 0644;
    bool Keep = false;  // the file already holds this text
  };
  struct TDel {
    std::string Rel;
    bool Parked = false;  // set aside as Rel + ".rvdel"
  };

  std::string Abs(const std::string& rel) const;
  TStatus Check();
  TStatus CheckTarget(TPut& p);
  TStatus WriteTemps();
  TStatus WriteTemp(TPut& p, int n);
  TStatus ParkStale();
  TStatus WriteJournal();
  TStatus Flush();
  void Undo();
  TStatus Switch();

  std::string root_;
  std::vector<TPut> puts_;
  std::vector<TDel> dels_;
  int written_ = 0;
  int kept_ = 0;
};

// Finishes a committed save that was cut off in root (renames its remaining temporary files,
// deletes the files it set aside) or undoes an uncommitted one (removes its temporary files,
// puts back what it set aside). Runs before a board is read and before a save; a root without
// traces of a save is left untouched.
TStatus RecoverSave(const std::string& root);

// Called before each step of a save that changes the disk (writing a file, the flush, a rename,
// a removal). Tests use it to stop a process at every point of a save; null in the program.
using TSaveStepHook = void (*)();
void SetSaveStepHook(TSaveStepHook hook);

}  // namespace ramvel
