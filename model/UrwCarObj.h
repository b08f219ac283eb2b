// Train sets (TCarObj): properties, timetable queries, run-time location fields and the car file.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/UrwCmnDef.h"

namespace ramvel {

constexpr int32_t kMaxCars = 8;
// A train set runs a few hundred steps a day; anything far beyond is a damaged file.
constexpr int32_t kMaxTmSteps = 10000;
// Highest speed in km/h and latest step time (seconds from 04:00) a car file may hold.
constexpr int32_t kMaxFileSpd = 1000;
constexpr int32_t kMaxStepTm = 2 * kDayEnd;

// The properties handed over when a train set is created or edited.
struct TCarProp {
  int32_t Id = 0;
  std::string Usage;
  int32_t Color = 0;  // 0x00BBGGRR
  int32_t NCar = 0;
  int32_t Spd = 0;  // km/h
};

// The step range of one train; First = -1, Last = -2 when the train is not in the timetable.
struct TTrainRange {
  int32_t First = -1;
  int32_t Last = -2;
};

// Where each train of a timetable lies, by train number, built from the timetable when first
// asked and again whenever the timetable has changed since (TTmTblObj::Version), so that a
// lookup costs the same for a set of ten trains as for one of ten thousand. Safe to ask from
// several threads at once. A copy starts empty and builds its own.
class TTrainIndex {
 public:
  TTrainIndex() = default;
  TTrainIndex(const TTrainIndex&) {}
  TTrainIndex& operator=(const TTrainIndex&) { return *this; }

  TTrainRange Find(const TTmTblObj& tbl, std::string_view trainNo) const;

 private:
  struct THash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  mutable std::mutex mutex_;
  mutable bool built_ = false;
  mutable uint64_t version_ = 0;
  mutable std::unordered_map<std::string, TTrainRange, THash, std::equal_to<>> ranges_;
};

// The nearest header step before a step.
struct THeaderHit {
  bool Found = false;
  std::string Txt;  // the whole header, or only the train number
  int32_t Index = -1;
};

// Counts the train set objects freed in the process. A list of pointers to train sets built
// when the count was n holds no freed one while the count is still n.
class TCarLife {
 public:
  TCarLife() = default;
  TCarLife(const TCarLife&) = default;
  TCarLife& operator=(const TCarLife&) = default;
  ~TCarLife() { ends_.fetch_add(1, std::memory_order_relaxed); }
  static uint64_t Ends() { return ends_.load(std::memory_order_relaxed); }

 private:
  static inline std::atomic<uint64_t> ends_{0};
};

// Where the train location put a train set: standing at a platform of a station that is drawn,
// not drawn (until LocTm), running along PathItems, or not to be located.
enum class TLocState : uint8_t { kLocStand, kLocHidden, kLocRun, kLocError };
using enum TLocState;

// The drawing mark of the station segment under a train set's head: on an entry lead that
// crosses over the others, on one that passes under an entry crossing, or anywhere else.
enum class TStaPosKind : uint8_t { kOverLead, kUnderLead, kElsewhere };

class TCarObj {
 public:
  // ---- Stored in the car file ----
  int32_t Id = 0;  // train set number, the file stem
  std::string Usage;
  int32_t Color = 0;  // 0x00BBGGRR
  int32_t NCar = 0;   // 1..8 cars of 20 m
  int32_t Spd = 0;    // top speed, km/h
  // Step 0 is the stabling step; each train is a run of steps that starts with a header step.
  TTmTblObj TmTbl;
  // The notes (備考) of its trains by train number, never empty texts. A note stays with its
  // number while the steps change; the car file keeps only the notes of trains the set runs.
  std::map<std::string, std::string> TrNotes;

  // ---- Run time only, kept by the train location ----
  TLocState LocState = kLocStand;
  int32_t LocTm = 0;
  float RunTm = 0;                     // seconds spent in the current path element
  std::vector<std::string> PathItems;  // the route being run
  std::vector<std::string> BodyPts;    // body polyline, head first, as PtToTenthsText texts
  bool PassFrom = false;
  bool PassTo = false;
  TStaPosKind StaPosKind = TStaPosKind::kOverLead;
  int32_t CurSta = 0;
  TCarLife Life;

  void SetProps(const TCarProp& prop);
  // Spd in m/s.
  float SpdMps() const;

  // The steps of the train: from its header (the last of headers in a row with that number) up
  // to the step before the next header with another number; a later run of the same number is
  // not seen. Steps whose text has no "," before its end are no headers.
  TTrainRange FindTrain(std::string_view trainNo) const { return trains_.Find(TmTbl, trainNo); }
  // The first step of the train at station staId; -1 when the train does not call there.
  int32_t FindTrainStep(std::string_view trainNo, int32_t staId) const;
  // Deletes the train only when it is the last one of the chain (or anywhere in it, when
  // anywhere is set and the caller has made sure the trains around it still join); false (and
  // nothing changed) otherwise, also when the train is not found.
  bool DeleteTrain(std::string_view trainNo, bool anywhere = false);
  // The nearest step before index with a header; full gives the whole header, else the number.
  THeaderHit PrevHeader(int32_t index, bool full) const;
  // The last step from 1 on that has started by t; 0 when none has.
  int32_t StepAt(int32_t t) const;
  // The note of a train; empty when it has none.
  std::string TrNote(std::string_view trainNo) const;
  // Sets the note of a train (NoteText of note); an empty note removes it.
  void SetTrNote(const std::string& trainNo, std::string_view note);
  // The label shown on the train set at t: its train's header, or "[Id]" while it stands.
  std::string LabelAt(int32_t t) const;

  // Reads folder/<stem>.txt (letter case on disk does not matter). On failure the object is
  // left exactly as it was and the message names "car/<stem>.txt" and, where it applies, the key.
  TStatus LoadCar(const std::string& folder, const std::string& stem);
  // Takes everything but Id from a record as LoadCar reads it; all or nothing, the message
  // naming the record as display.
  TStatus ReadRec(const TextRec& rec, const std::string& display);
  // Writes folder/<Id>.txt, replacing the file only once the new content is safely written.
  TStatus SaveCar(const std::string& folder) const;
  // The train set file's record, as SaveCar writes it.
  TextRec MakeRec() const;

 private:
  TTrainIndex trains_;
};

// The train types a train's kind text may begin with.
inline constexpr std::string_view kTrainTypes[] = {"普通", "快速", "準急", "急行", "特急", "回送"};

// A train's kind: its type (one of kTrainTypes, or empty) and its nickname (may be empty).
struct TTrainKind {
  std::string Type;
  std::string Nick;
};
// The kind text stored after the "," of a train's header: the type, then, when there is a
// nickname, one space and the nickname ("快速 みなと", " みなと", "快速", ""). Blanks around
// either part are dropped.
std::string TrainKindText(const TTrainKind& kind);
// A note as the files keep it: one line (line breaks and tabs become spaces), no blanks around.
std::string NoteText(std::string_view note);
// The most notes a car file may hold, and the longest note in bytes.
inline constexpr int32_t kMaxTrNotes = kMaxTmSteps;
inline constexpr size_t kMaxNoteBytes = 4096;

// The car file's notes: NOTE_COUNT and NOTEk = train number|note. Written only when the set
// keeps a note of a train it runs, so that a file without notes saves as it always did; a bad
// count, a missing key or a note without a number fails rd naming the key.
void ReadNoteKeys(TRecReader& rd, TCarObj& car);
void AddNoteKeys(const TCarObj& car, TextRec& rec);

// The label under which a standing train set is booked at a platform: "[" + number + "]".
std::string StandLabel(int32_t carNo);
// Reads a kind text back, so that TrainKindText gives the same text again. The word before the
// first space, or the whole text when it has none, is the type when it is one of kTrainTypes;
// otherwise the whole text is the nickname.
TTrainKind SplitTrainKind(std::string_view text);

// The train sets related to a line, as the diagram editor offers them: CarIdKey ("%3d") for a
// train set with a train on the line, ParkedCarIdKey ("%3d*") for one that only parks at a
// station of the line. Ordered as text without regard to case.
using TCarIdSet = std::set<std::string, TLessNoCase>;
std::string CarIdKey(int32_t carNo);
std::string ParkedCarIdKey(int32_t carNo);
// Reads a key back: the train set number and whether it carries the "*". False when the text
// holds no number.
bool SplitCarIdKey(std::string_view key, int32_t& carNo, bool& parked);

}  // namespace ramvel
