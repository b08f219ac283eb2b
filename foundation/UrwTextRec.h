// Record files of KEY=value lines: reading and atomic writing in CP932, value forms, lists,
// key numbering, folder listing and the case-insensitive resolution of object paths.
#pragma once

#include <cstdint>
#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/UrwStatus.h"

namespace ramvel {

// A whole record file as UTF-8 lines without their line ends.
struct TextRec {
  std::vector<std::string> Lines;

  void Add(std::string_view key, std::string_view value);
  void Clear() { Lines.clear(); }
};

// ---- Encoding ----------------------------------------------------------------------------------

// False when the bytes are not valid CP932 (or the text has no CP932 form).
bool Cp932ToUtf8(std::string_view cp932, std::string& utf8);
bool Utf8ToCp932(std::string_view utf8, std::string& cp932);

// ---- Files -------------------------------------------------------------------------------------

// Limits of a record file, checked before anything is allocated for its content.
inline constexpr int64_t kMaxRecFileBytes = 16 * 1024 * 1024;
inline constexpr size_t kMaxRecLineBytes = 1024 * 1024;
// Far above the largest record (a Board.txt of the most stations, a timetable of the most steps).
inline constexpr size_t kMaxRecLines = 1000000;

// Reads a whole regular file of at most kMaxRecFileBytes whose lines are at most
// kMaxRecLineBytes long; lines end at CR, LF or CR LF. The message names the file as display (the
// path when display is empty) and the reason. On failure rec is unchanged.
TStatus LoadRec(const std::string& path, TextRec& rec, std::string_view display = {});
// The checks and decoding of LoadRec on bytes already read; messages name the file as name.
TStatus ParseRec(std::string_view bytes, const std::string& name, TextRec& rec);
// The raw bytes of a whole regular file of at most kMaxRecFileBytes, undecoded.
TStatus ReadFileBytes(const std::string& path, std::string& bytes, std::string_view display = {});
// The lines of a text; a line ends at CR, LF or CR LF.
std::vector<std::string> SplitTextLines(std::string_view text);
// Replaces the whole file, CR LF after every line, through a temporary file in the same folder
// renamed over the old one, so that a failed write leaves the old content in place. A file that
// already reads as this text is left as it is.
TStatus SaveRec(const TextRec& rec, const std::string& path, std::string_view display = {});
// Reads folder/<stem>.txt of an object whose file is named by its number (rails, train sets);
// id receives that number. Messages name the file as display.
TStatus LoadNumberedRec(const std::string& folder, const std::string& stem,
                        const std::string& display, TextRec& rec, int32_t& id);
// The same for raw bytes.
TStatus WriteFileAtomic(const std::string& path, std::string_view bytes,
                        std::string_view display = {});

// What a file held when it was read, to tell later whether another program changed it.
struct TFileStamp {
  int64_t Size = 0;
  int64_t MTimeNs = 0;  // modification time in nanoseconds: a quick sign of a change
  uint64_t Hash = 0;    // HashBytes of the content: what decides
  bool operator==(const TFileStamp&) const = default;
};
// Stamps by StampKey of the path.
using TFileStamps = std::map<std::string, TFileStamp>;
uint64_t HashBytes(std::string_view bytes);
// The key of a path in TFileStamps: the path made lexically normal.
std::string StampKey(const std::string& path);
// The file at path now: out is empty when nothing is there; an error when it cannot be read.
TStatus StampFile(const std::string& path, std::optional<TFileStamp>& out);
// While one lives, every file read whole through LoadRec or ReadFileBytes, on any thread, is
// stamped into stamps as it was read. Scopes nest; the innermost receives the stamps. Reading a
// board inside one records exactly the files the board was made of, whatever folders it reads.
class TStampReads {
 public:
  explicit TStampReads(TFileStamps& stamps);
  ~TStampReads();
  TStampReads(const TStampReads&) = delete;
  TStampReads& operator=(const TStampReads&) = delete;

 private:
  TFileStamps* prev_;
};

// While one lives, a read of a file named in it (ReadFileBytes, LoadRec) reads another file
// instead, and listings of its folder (ListDirNames, ListDirChecked) name it even when it is not
// there. It shows a board whose cut-off save could be neither finished nor undone on disk (a
// read-only folder) as the recovery would have left it. Paths are compared after making them
// absolute and normal; one redirect lives at a time per file.
class TReadRedirect {
 public:
  // target path -> path whose bytes it is to read as
  explicit TReadRedirect(std::map<std::string, std::string> from);
  // The file a read of path is to read: path itself unless a living redirect names it.
  static std::string SourceOf(const std::string& path);
  ~TReadRedirect();
  TReadRedirect(const TReadRedirect&) = delete;
  TReadRedirect& operator=(const TReadRedirect&) = delete;

 private:
  std::vector<std::string> keys_;
};

// a + "/" + b, without doubling a separator that a already ends with.
std::string PathJoin(std::string_view a, std::string_view b);

// name as it reads back from a Shift-JIS file: 〜 (U+301C) is written as 81 60 and read as ～
// (U+FF5E), so a name kept in Board.txt or latest.txt can come back in that form. A name without a
// Shift-JIS form comes back unchanged.
std::string ReadBackName(const std::string& name);
// Resolves each component of rel (separated by "/") inside dir without regard to letter case:
// an existing entry that matches is used as it is spelt on disk, otherwise the component is kept
// as given. dir itself is taken as it stands. Every reader and writer of board objects goes
// through here so that the program never makes a second file differing only in case.
std::string ResolveIn(const std::string& dir, std::string_view rel);

// The names of the entries of dir except "." and "..", as spelt on disk, in the order the file
// system gives them; none when dir cannot be listed. An allocation failure throws (it never ends
// the program), so that a board read can fail cleanly anywhere.
std::vector<std::string> ListDirNames(const std::string& dir);
// The same, but a folder that exists and cannot be listed is an error naming it (a board read
// from it would silently lack its files); a missing one gives no names.
TStatus ListDirChecked(const std::string& dir, std::vector<std::string>& names);
// The names of folder's "*.ext" entries like ListFileNames, refused when the folder cannot be
// listed or when two names differ only in letter case (compared as they read back from
// Shift-JIS): the program could read one and write the other. display names the folder in
// messages ("station").
TStatus ListRecFileNames(const std::string& folder, std::string_view ext,
                         const std::string& display, std::vector<std::string>& names);
// The message for two entries whose names differ only in letter case.
std::string CaseTwinText(const std::string& a, const std::string& b);
// The object stems of a folder in upper case, sorted. With an extension: entries of any kind
// named "*.ext"; without one: folders and files without an extension, hidden entries excluded.
// A missing folder gives an empty list.
std::vector<std::string> ListFiles(const std::string& folder, std::string_view ext);
// The names (as spelt on disk, with the extension) of the entries of folder named "*.ext", of any
// kind, hidden ones included, sorted; a missing folder gives an empty list.
std::vector<std::string> ListFileNames(const std::string& folder, std::string_view ext);

// ---- Names -------------------------------------------------------------------------------------

// Upper case of ASCII and full-width Latin letters; other characters unchanged.
std::string UpperName(std::string_view s);
// Compares as text without regard to case (ASCII and full-width Latin letters): <0, 0, >0.
int CompareNoCase(std::string_view a, std::string_view b);
bool SameNoCase(std::string_view a, std::string_view b);

struct TLessNoCase {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    return CompareNoCase(a, b) < 0;
  }
};

// The one rule for names that become file or folder names (boards, stations, lines): refused
// when empty or only blanks, equal to "." or "..", holding "/", "\", "=" (routes are split at
// the first "=" after a station's name) or a control character, or without a Shift-JIS form.
// what names the object in the message ("駅名", "路線名").
TStatus CheckObjName(std::string_view name, std::string_view what);
// The rule for a name given to a new object (a station made or renamed, a line made): also
// refused when it begins with ".", which hides the file and which a backup cannot restore.
// Objects already named so are still read and written.
TStatus CheckNewObjName(std::string_view name, std::string_view what);

// s with every control character (C0, DEL and the C1 range, as UTF-8) written as "\xNN" or
// "\u00NN", so that a name read from a file cannot move the cursor, clear a terminal or break
// a message into lines. With keepBreaks, line feeds, carriage returns and tabs stay.
std::string EscapeControls(std::string_view s, bool keepBreaks = false);

// ---- Values ------------------------------------------------------------------------------------

// The value of the first line whose key equals key without regard to ASCII case; empty when none.
std::string GetVal(const TextRec& rec, std::string_view key);

std::string IntText(int64_t v);
std::string RealText(float v);  // "%.15g" of the value widened to double
const char* YNText(bool v);
const char* Text10(bool v);

bool ParseInt(std::string_view s, int32_t& v);
// The integer of s, or 0 when s is not one (for codes the program wrote itself).
int32_t IntOr0(std::string_view s);
bool ParseReal(std::string_view s, float& v);

// List values: items joined by "|", quoted where needed; see the implementation for the rules.
std::string JoinList(const std::vector<std::string>& items);
std::string JoinInts(std::span<const int32_t> items);
// At most maxItems items are split off; the rest of the text is not looked at.
std::vector<std::string> SplitList(std::string_view s, size_t maxItems = SIZE_MAX);
// Comma lists used inside one list item.
std::string JoinComma(const std::vector<std::string>& items);
std::vector<std::string> SplitComma(std::string_view s, size_t maxItems = SIZE_MAX);

std::string CountedKey(std::string_view key, int32_t n);  // "TM" 3 -> "TM3"
std::string SideKey(std::string_view key, int32_t side);  // "ENT" 1 -> "ENT1"
std::string MtrxKey(int32_t col, int32_t row);            // 3, 5 -> "MTRX0305"

// Reasons of the reader's messages; each follows the key it is about.
inline constexpr const char* kWhyMissing = " がありません";
inline constexpr const char* kWhyNotNumber = " が数値ではありません";
// " が範囲外です（lo から hi まで）"
std::string WhyOutOfRange(int64_t lo, int64_t hi);

// Reads typed values from a record, keeping the first failure as a message that names the file
// and the key ("rail/5002.txt: LENGTH が数値ではありません"). After a failure every further read
// returns a zero value, so a reader can read on and check once at the end.
class TRecReader {
 public:
  // rec must outlive the reader; fileName is how messages name the file.
  TRecReader(const TextRec& rec, std::string fileName);

  bool Has(std::string_view key) const;
  std::string Text(std::string_view key) const { return std::string(View(key)); }
  // The value in place; valid while the record is.
  std::string_view View(std::string_view key) const;
  int32_t Int(std::string_view key);
  float Real(std::string_view key);
  bool YN(std::string_view key) const { return View(key) == "Y"; }
  bool Flag10(std::string_view key) const { return View(key) == "1"; }
  // A count key: an integer in 0..max.
  int32_t Count(std::string_view key, int32_t max);
  // The first maxItems items of a list value (the rest is not split), failing when there are
  // fewer than minItems.
  std::vector<std::string> List(std::string_view key, size_t minItems, size_t maxItems);
  // The first n items of a list value as integers.
  std::vector<int32_t> Ints(std::string_view key, size_t n);
  // One item of a list already split, as an integer.
  int32_t IntItem(const std::vector<std::string>& items, size_t i, std::string_view key);

  // reason follows the key directly (" が数値ではありません").
  void Fail(std::string_view key, std::string_view reason);
  bool Failed() const { return failed_; }
  TStatus Status() const;
  const std::string& FileName() const { return fileName_; }

 private:
  const TextRec& rec_;
  std::string fileName_;
  // Keys compared without regard to ASCII case, as GetVal does.
  struct TKeyHash {
    size_t operator()(std::string_view s) const;
  };
  struct TKeyEq {
    bool operator()(std::string_view a, std::string_view b) const;
  };
  std::unordered_map<std::string_view, size_t, TKeyHash, TKeyEq> index_;  // key -> first line
  bool failed_ = false;
  std::string msg_;
};

}  // namespace ramvel
