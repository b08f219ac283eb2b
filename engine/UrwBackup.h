// Backups of a board: every text file of a board folder packed into one Shift-JIS file in the
// program folder's bakup/ folder, and the restore of such a file, checked whole and written
// all-or-nothing into the board folder it names, so that the board becomes exactly the one
// backed up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/UrwStatus.h"

namespace ramvel {

inline constexpr const char* kBakFolder = "bakup";
inline constexpr const char* kBakExt = ".dat";
// The time stamp "yymmdd_hhmm" that follows the board name in a backup's file name.
inline constexpr size_t kBakStampLen = 11;
// Limits that keep a damaged or hostile backup from costing more than a moment: boards take a
// few megabytes and a few thousand files.
inline constexpr uintmax_t kMaxBakBytes = uintmax_t{256} << 20;
inline constexpr size_t kMaxBakSections = 100000;

// The folders of a board whose ".txt" files a backup packs after Board.txt, in this order; a "*"
// component stands for every sub-folder there. The one list that packing, the paths a restore
// accepts and the files a restore removes all follow.
inline constexpr const char* kBakFolders[] = {"station", "rail", "car", "line", "dia/*/car"};
// kBakFolders as they are in the board folder brdDir: each folder relative to it, as spelt on
// disk; folders that are not there are left out. Refused when one cannot be listed.
TStatus ListBakFolders(const std::string& brdDir, std::vector<std::string>& rels);

// Local date and time of a backup, to the minute.
struct TBakTime {
  int Year = 2000;  // four digits
  int Month = 1, Day = 1, Hour = 0, Minute = 0;
};
TBakTime LocalBakTime();
// "yymmdd_hhmm": 6 December 2026 16:49 gives "261206_1649".
std::string BakStamp(const TBakTime& t);

// ---- Making a backup ---------------------------------------------------------------------------

// The backup's bytes for the board folder baseDir + brdName: a section "*>" + path + CR LF per
// file, followed by its lines, each ended by CR LF, for Board.txt and then every ".txt" file of
// the kBakFolders. Recorded paths are baseDir + brdName + "/" + folder + "/" + upper-case stem +
// ".txt". The board is read under its lock, after a save cut off earlier has been completed or
// undone. Fails, naming the file, when a file or folder cannot be read, two names differ only
// in case, a file holds a line that begins with "*" (it would restore as a section of its own)
// or a path has no Shift-JIS form.
TStatus PackBoard(const std::string& baseDir, const std::string& brdName, std::string& bytes);
// Packs the board and writes baseDir + "bakup/" + brdName + stamp + ".dat" through a temporary
// file renamed into place, so a backup of the same minute is replaced whole; with keepOthers an
// existing backup is never replaced and the first free minute from t on is taken instead.
// Nothing is written when anything fails. path receives the backup's path.
TStatus MakeBackup(const std::string& baseDir, const std::string& brdName, const TBakTime& t,
                   std::string& path, bool keepOthers = false);

// ---- Reading a backup --------------------------------------------------------------------------

// One packed file.
struct TBakSection {
  int32_t Line = 0;      // line number of its "*>" line, from 1
  std::string Recorded;  // the path as recorded, UTF-8
  std::string Target;    // its place in the board folder: "Board.txt" or "<sub-folder>/<name>"
  std::string Bytes;     // the content as stored (Shift-JIS), CR LF after every line
};

struct TBackup {
  std::string BrdName;  // from the backup's file name
  std::vector<TBakSection> Sections;
};

// The board a backup file belongs to: its file name without extension less the 11-character
// time stamp. Refused when the name is too short, its last 11 characters are not a time stamp
// or the rest is not a usable board name.
TStatus BakBrdName(std::string_view fileName, std::string& brdName);
// Where a recorded path restores inside board brdName: the path ("\" or "/" separated, with any
// drive letter or folder before the board) must end in brdName + "/Board.txt" or brdName + "/"
// + one of station, rail, car, line + "/" + a plain name ending in ".txt". ".." anywhere, other
// boards, other folders, other extensions and hidden or control-character names are refused.
TStatus MapBakPath(std::string_view recorded, std::string_view brdName, std::string& target);
// Reads a backup one section at a time, so that memory stays within one packed file whatever
// the backup's size. Messages name the backup (fileName) and the offending line.
class TBakScanner {
 public:
  // in must outlive the scanner; brdName is the board the file name names.
  TBakScanner(std::istream& in, std::string fileName, std::string brdName);
  // The next section; false at the end or on a failure (Status says which).
  bool Next(TBakSection& sec);
  const TStatus& Status() const { return st_; }

 private:
  bool ReadLine(std::string& line);
  bool Fail(TStatus st);

  std::istream& in_;
  std::string fileName_, brdName_;
  std::string head_;  // the "*" line that begins the next section
  bool haveHead_ = false;
  bool started_ = false;
  bool endedInBreak_ = true;  // the last line read ended with a line break
  int32_t lineNo_ = 0;
  size_t sections_ = 0;
  TStatus st_;
};

// Splits and checks the structure of a whole backup held in memory. fileName is the backup's
// file name (it names the board); messages name it and the offending line. Nothing on disk is
// read.
TStatus ParseBackup(std::string_view fileName, std::string_view bytes, TBackup& bak);
// Checks a packed file as a load of the board would read it: Shift-JIS, lines, records and
// numbers of its kind (Board.txt, a station, a rail, a train set, a line). Other files of a
// folder (a rail file not named by a number) need only be text.
TStatus CheckBakSection(std::string_view fileName, const TBakSection& sec);

// ---- Restoring ---------------------------------------------------------------------------------

struct TRestored {
  std::string BrdName;  // the board's name as its folder is spelt
  std::string BrdDir;   // its folder
  std::string AutoBak;  // the backup of the state before; empty when the folder held no board
};

// Restores the backup at bakPath into the board folder baseDir + board (made, with its
// sub-folders, when missing), baseDir being the folder that holds the board the backup came
// from. Every section is read and checked first; then, under the board's lock, the board as it
// is is backed up beside it (baseDir + "bakup/", never replacing a backup), and the board is made
// exactly the backed-up one in one journaled save: every packed file written, every ".txt" file
// of the kBakFolders (and Board.txt) that the backup does not hold removed. Other files
// (the terrain) stay. On any failure no file of the board changes.
TStatus RestoreBackup(const std::string& baseDir, const std::string& bakPath, TRestored& out);

}  // namespace ramvel
