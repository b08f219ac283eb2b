// Backups of a board: every text file of a board folder packed into one Shift-JIS file in the
// program folder's bakup/ folder, and the restore of such a file, checked whole and written
// all-or-nothing into the board folder it names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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
// station/, rail/, car/ and line/. Recorded paths are baseDir + brdName + "/" + sub-folder +
// upper-case stem + ".txt". Fails, naming the file, when a file cannot be read, holds a line
// that begins with "*" (it would restore as a section of its own) or a path has no Shift-JIS
// form.
TStatus PackBoard(const std::string& baseDir, const std::string& brdName, std::string& bytes);
// Packs the board and writes baseDir + "bakup/" + brdName + stamp + ".dat" through a temporary
// file renamed into place, so a backup of the same minute is replaced whole. Nothing is written
// when anything fails. path receives the backup's path.
TStatus MakeBackup(const std::string& baseDir, const std::string& brdName, const TBakTime& t,
                   std::string& path);

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
// Splits and checks a whole backup. fileName is the backup's file name (it names the board);
// messages name it and the offending line. Nothing on disk is read.
TStatus ParseBackup(std::string_view fileName, std::string_view bytes, TBackup& bak);

// ---- Restoring ---------------------------------------------------------------------------------

// Reads and checks the whole backup at bakPath, then writes every section into the board folder
// baseDir + board (made, with its sub-folders, when missing) all-or-nothing: on any failure no
// file of the board changes. Files of the board that the backup does not hold stay. brdName
// receives the board's name as its folder is spelt.
TStatus RestoreBackup(const std::string& baseDir, const std::string& bakPath, std::string& brdName);

// One file to be written: its path relative to a folder, and its bytes.
struct TFileImage {
  std::string Rel;
  std::string Bytes;
};

// Writes every file under a short temporary name in its folder (creating missing folders, dir
// included), then renames them into place, each existing file first moved aside. Any failure
// undoes every rename made, removes the temporary files and the folders it made, and leaves
// dir as it was. Paths are resolved without regard to letter case; a later image of the same
// path wins. failRename, for tests only, is asked before each rename (by index into files) and
// makes that rename fail when it returns true.
TStatus ReplaceFiles(const std::string& dir, const std::vector<TFileImage>& files,
                     const std::function<bool(size_t)>& failRename = {});

}  // namespace ramvel
