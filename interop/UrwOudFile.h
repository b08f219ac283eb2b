// OuDia (.oud) and OuDiaSecond (.oud2) files: the node tree of their text, and the timetable
// document it carries (a line, its stations and train kinds, and the trains of each timetable).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/UrwStatus.h"

namespace ramvel {

// ---- The node tree ------------------------------------------------------------------------------

// One entry of a node: a "Key=Value" line, or a child node ("Type." ... "."). Entries keep the
// order of the file, since writers fix it and readers of other programs expect it.
struct TOudNode;
struct TOudEntry {
  std::string Key;              // empty for a child node
  std::string Value;            // UTF-8
  std::vector<TOudNode> Child;  // one node for a child entry, none for a key
  int32_t Line = 0;             // 1-based line in the file; 0 for an entry made in memory
};
struct TOudNode {
  std::string Type;  // empty for the root
  std::vector<TOudEntry> Entries;
  int32_t Line = 0;

  void Add(std::string key, std::string value);
  TOudNode& AddNode(std::string type);
  // The value of the first key; empty when there is none.
  std::string Get(std::string_view key) const;
  const TOudEntry* Find(std::string_view key) const;
};

// Limits checked before anything is allocated for the content.
inline constexpr size_t kMaxOudBytes = 16 * 1024 * 1024;  // as any file the program reads
inline constexpr int32_t kMaxOudDepth = 32;

// Decodes a file's bytes to UTF-8: a .oud2 (second) is UTF-8; a .oud is CP932 unless it starts
// with a UTF-8 byte-order mark or is valid UTF-8 throughout. The mark is dropped.
TStatus DecodeOudBytes(std::string_view bytes, bool second, std::string& utf8);
// Parses UTF-8 text into the root node. Lines end at LF or CR LF; blank lines are skipped. A line
// that is neither "Key=Value", "Type." nor "." is refused with its line number, and so is an
// unbalanced ".".
TStatus ParseOudTree(std::string_view utf8, TOudNode& root);
// The text of a tree: the root's entries, nodes opened by "Type." and closed by ".", every line
// ended by CR LF.
std::string OudTreeText(const TOudNode& root);

// ---- The document -------------------------------------------------------------------------------

// What a train does at a station, as an EkiJikoku item says.
enum class TOudStop : int32_t {
  kNone = 0,     // no service there (empty item)
  kStop = 1,     // stops
  kPass = 2,     // passes without stopping
  kNotVia = 3,   // does not go by this station (a branch)
};

// Times are seconds from midnight, 0..86399; -1 when none is given.
struct TOudCell {
  TOudStop Stop = TOudStop::kNone;
  int32_t Arr = -1;
  int32_t Dep = -1;
  int32_t Track = -1;  // index in the station's track list (.oud2); -1 none
  bool operator==(const TOudCell&) const = default;
};

struct TOudTrain {
  bool Nobori = false;  // up train: its EkiJikoku lists the stations in reverse
  int32_t Kind = 0;     // index into TOudDoc::Kinds
  std::string No;       // Ressyabangou
  std::string Name;     // Ressyamei
  std::string Gou;      // Gousuu
  std::string Note;     // Bikou
  std::vector<TOudCell> Cells;  // one per station, in station (down) order
  // The working (a GTFS block) the train belongs to: the trains of one working run in turn by
  // one train set. Empty: chained by turnaround time. Not written to OuDia files.
  std::string Block = {};
};

struct TOudStation {
  std::string Name;
  std::string Format = "Jikokukeisiki_Hatsu";  // Ekijikokukeisiki
  std::string Size = "Ekikibo_Ippan";          // Ekikibo
  std::vector<std::string> Tracks;             // track names (.oud2)
  // Distance along the line in km from the first station with a known position, over straight
  // legs between the stations' real positions; negative when unknown. Not written to OuDia files.
  double Km = -1;
};

struct TOudKind {
  std::string Name;
  std::string Short;
  uint32_t Color = 0;  // AABBGGRR as the file writes it
  std::string Style = "SenStyle_Jissen";
  bool Bold = false;
};

struct TOudDia {
  std::string Name;
  std::vector<TOudTrain> Trains;  // down trains then up trains, each in file order
  std::string Comment = {};       // the timetable's own Comment=, written only when not empty
};

struct TOudDoc {
  bool Second = false;  // OuDiaSecond (.oud2)
  std::string FileType;
  std::string LineName;
  std::vector<TOudStation> Stations;
  std::vector<TOudKind> Kinds;
  std::vector<TOudDia> Dias;
  int32_t StartTime = 4 * 3600;  // KitenJikoku, seconds from midnight
  std::string Comment;
};

// Reads the document from a file's bytes; second chooses .oud2. Unknown keys and nodes are
// skipped; a damaged value is refused with its line number. On failure doc is unchanged.
TStatus ReadOudDoc(std::string_view bytes, bool second, TOudDoc& doc);
// The bytes of the document: .oud as CP932 with FileType OuDia.1.02, .oud2 as UTF-8 with a
// byte-order mark; CR LF throughout. Fails when a text has no CP932 form.
TStatus OudDocBytes(const TOudDoc& doc, std::string& bytes);
// Reads a file from disk; .oud2 is told by its extension.
TStatus LoadOudFile(const std::string& path, TOudDoc& doc);
// Whether path names a .oud2 file (extension, without regard to case).
bool IsOud2Path(std::string_view path);

// A name without the blanks around it (ASCII blanks and the full-width space): files often pad
// kind and station names to line them up.
std::string TrimOudName(std::string_view s);

// "HMM" (or "HMMSS" when withSec) of a time of day given in seconds from midnight.
std::string OudTimeText(int32_t t, bool withSec);
// Reads "HMM", "HHMM", "HMMSS" or "HHMMSS"; false when s is not such a time.
bool ParseOudTime(std::string_view s, int32_t& t);

}  // namespace ramvel
