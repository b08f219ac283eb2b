// The board (TBrdData): owner of every station, rail, block and train set of the open board, its
// folder on disk, the object lookups and the registering and deleting of objects.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/UrwCmnDef.h"
#include "model/UrwCarObj.h"
#include "model/UrwRailObj.h"
#include "model/UrwStaObj.h"

namespace ramvel {

class TSaveBatch;

// An owning object list keyed by decimal text, ordered as text without regard to case
// ("10001" before "2001"). Adding a key that is present already keeps the first object.
template <typename T>
using TObjList = std::map<std::string, std::unique_ptr<T>, TLessNoCase>;
// The same for objects owned elsewhere.
template <typename T>
using TRefList = std::map<std::string, T*, TLessNoCase>;

// One pair of neighbouring stations of the current line.
struct TSection {
  int32_t BlkPerTrack = 0;          // blocks made for the last track processed
  int32_t Tracks = 0;               // tracks from the first station that reach the second
  int32_t TrackStart[kMaxSlots] = {};  // entry code of the first station's slot, per track
  int32_t TrackEnd[kMaxSlots] = {};    // entry code of the second station's slot, per track
};

// What "find at point" reports.
struct TObjAtPoint {
  bool Found = false;
  int32_t Id = 0;
  int32_t NearEnd = 0;  // 1 when the foot lies at or beyond the middle of the object
};

// One timetable (ダイヤ) of the board. The board's own lives in car/; further ones in
// dia/<Name>/car/, the same record files.
struct TBrdDia {
  std::string Name;
  // The dia/ folder as spelt on disk when the timetable was read or last saved; empty for the
  // board's own and for a timetable not saved yet.
  std::string OnDisk;
  // Its train sets while another timetable is active; the active one's are TBrdData::Cars.
  TObjList<TCarObj> Cars;
};

// Notes by the name of what they belong to, without regard to case.
using TNoteMap = std::map<std::string, std::string, TLessNoCase>;

// The name of the board's own timetable when Board.txt names none.
inline constexpr const char* kDefaultDiaName = "ダイヤ";
// The timetable list of a board with only its own timetable, named by default.
inline std::vector<TBrdDia> OwnDiaOnly() {
  std::vector<TBrdDia> dias(1);
  dias[0].Name = kDefaultDiaName;
  return dias;
}

// One kind of train (種別) of the board's kind table: its name, drawing colour and the train
// type (one of kTrainTypes) the timetable and its checks treat it as.
struct TKindDef {
  std::string Name;
  int32_t Color = 0;  // 0x00BBGGRR
  std::string Type;
  bool operator==(const TKindDef&) const = default;
};

// The allowed zooms in metres per pixel.
inline constexpr int32_t kZooms[] = {1, 2, 3, 4, 6, 9, 12, 18, 27, 36, 54, 108};
// Sane limit for STA_COUNT.
inline constexpr int32_t kMaxBrdStas = 100000;

// The refusal to save a board opened read-only (TBrdData::ReadOnlyWhy) into its own folder.
inline constexpr const char* kMsgBrdReadOnly =
    "このボードは読み取り専用で開いています。上書き保存できないので、別名で保存してください";

class TBrdData {
 public:
  TBrdData() = default;
  ~TBrdData() { ClearBrd(); }
  TBrdData(const TBrdData&) = delete;
  TBrdData& operator=(const TBrdData&) = delete;

  std::string BrdName;                // folder name under the base directory; empty: no board
  std::vector<std::string> WorkList;  // scratch list for splitting path texts
  bool Modified = false;
  int32_t ID_STA = 0;   // last station serial handed out
  int32_t ID_RAIL = 0;  // last rail serial handed out
  int32_t SCR_XLEFT = 0, SCR_YTOP = 0;  // board metres at the view's top-left corner
  int32_t SCR_MPERP = 108;              // metres per pixel, one of kZooms
  int32_t TrackWide = 10;               // cross-track magnification of the drawing
  int32_t ScrWidth = 0, ScrHeight = 0;  // drawing area, pixels
  int32_t ScrXRight = 0, ScrYBottom = 0;

  TObjList<TStaObj> Stas;       // key: station id
  TObjList<TRailObj> Rails;     // key: rail id
  TRefList<TBlkObj> BlkEnds;    // key: entry code of a block end; two keys per block
  TObjList<TBlkObj> Blks;       // key: block number
  std::vector<TSection> Sections;
  TObjList<TCarObj> Cars;       // key: train set number
  TRefList<TCarObj> TrainNos;   // key: train number; the train set that runs it
  std::string LineName;
  std::vector<std::string> LineStas;  // station ids of the current line, in line order
  // Per line station: the side by which the line goes on towards the next station; set by
  // MakeLineBlk.
  std::vector<int32_t> LineSides;
  // What the last load left out or skipped, one text per matter (stations that could not be
  // read, files that are not the board's, joins to objects that are not there). The window
  // shows them once after opening; nothing reports them again while the board is in use.
  std::vector<std::string> LoadNotes;
  // Names listed in Board.txt whose station could not be read. A save keeps them listed and
  // leaves their files alone, so a station that is unreadable for a while is never lost.
  std::vector<std::string> LostStas;
  // The timetables: [0] the board's own (car/), then the further ones by name. Cars holds the
  // train sets of Dias[ActiveDia]. Never empty.
  std::vector<TBrdDia> Dias = OwnDiaOnly();
  size_t ActiveDia = 0;
  // The board's kind table; empty for the six built-in kinds (KindTable gives them).
  std::vector<TKindDef> Kinds;
  // The notes (コメント) of timetables and of lines, by name, never empty texts: what an OuDia
  // file says of its line and its timetables, carried back when it is written again.
  TNoteMap DiaNotes;
  TNoteMap LineNotes;
  // Every file the board was read from (or last saved to) in LoadedFolder, as it was then. A
  // save into that folder refuses when any file it writes or removes is no longer so, so that
  // an edit another program saved meanwhile is never overwritten without a word.
  TFileStamps LoadedFiles;
  std::string LoadedFolder;  // StampKey of the board folder; empty when none
  // Not empty when the board was read from a folder that cannot be written while it held a
  // save cut off midway (shown as that save left it): why. A save into that folder is refused
  // with kMsgBrdReadOnly; saving under another name is how the user keeps an edit.
  std::string ReadOnlyWhy;

  // ---- Board folder ----

  // Empties the board and reads baseDir/name under the board's shared lock: Board.txt, every
  // station it names, every rail and train set file. A station that cannot be read is left out with a note (LoadNotes) and
  // kept in LostStas; anything else that cannot be read fails the whole load with a message
  // naming the file (and key). A failure of any kind, an exception included, leaves the board
  // empty with no name, so nothing half-read can later be saved over good files.
  TStatus LoadBrd(const std::string& baseDir, const std::string& name);
  // Writes the board into folder, which must exist, all or nothing (TSaveBatch): the next load
  // sees either the board as it was or as saved, even after a crash, and the files of deleted
  // rails and train sets go with the switch. A file whose text is unchanged keeps its bytes.
  // keepStations leaves the station files as they are. The save holds the board lock and, into
  // the folder the board was read from, refuses with kMsgChangedElsewhere when another program
  // changed its files since (LoadedFiles), unless overwrite is set. On failure Modified is
  // unchanged.
  TStatus SaveBrd(const std::string& folder, bool keepStations, bool overwrite = false);
  // Whether a file the board was read from differs on disk now or is gone, or a rail or train
  // set file was made beside them: a quick look for a notice, not the save's check.
  bool ChangedOnDisk() const;
  // Frees every object and the current line; the board name and the view are kept.
  void ClearBrd();

  // ---- Timetables (UrwBrdDias.cpp) ----

  // The index of the timetable of that name (without regard to case); -1 when none.
  int32_t FindDia(std::string_view name) const;
  // The train sets of timetable k, active or not.
  const TObjList<TCarObj>& DiaCars(size_t k) const;
  // Makes timetable k active: its train sets move into Cars and the train numbers are made
  // again; what is derived from them (occupancy, locations, undo) is the caller's to rebuild.
  // Nothing is written and the board is not marked modified.
  void SelectDia(size_t k);
  // Adds a further timetable, empty or holding a copy of the active one's train sets; k
  // receives its index. Refused when the name cannot be a folder name or is taken.
  TStatus AddDia(const std::string& name, bool copyActive, size_t& k);
  // Renames timetable k; refused as AddDia. The files move at the next save.
  TStatus RenameDia(size_t k, const std::string& name);
  // Deletes further timetable k (the board's own cannot be); the active one passes to the
  // board's own first. Its files go at the next save.
  TStatus DeleteDia(size_t k);

  // ---- Lookups: an empty tag makes a failed lookup silent, otherwise it shows
  // "Error(" + tag + ":" + key + ")". ----

  TBaseObj* FindObj(int32_t codeOrId, std::string_view tag);
  TStaObj* FindSta(int32_t id, std::string_view tag);
  TStaObj* FindSta(std::string_view idText, std::string_view tag);
  TRailObj* FindRail(int32_t id, std::string_view tag);
  TRailObj* FindRail(std::string_view idText, std::string_view tag);
  TCarObj* FindCar(int32_t no, std::string_view tag);
  TCarObj* FindTrainCar(std::string_view trainNo, std::string_view tag);
  TBlkObj* FindBlkEnd(int32_t code, std::string_view tag);
  // The object a rail's end is joined to; null when the rail owns that end.
  TBaseObj* GetRailConnObj(const TRailObj& rail, int32_t side);
  // The first station (kind 1) or rail (kind 2) in list order whose centre line passes within
  // tol metres of p.
  TObjAtPoint FindAtPoint(int32_t kind, TPoint p, int32_t tol) const;
  // Whether the object's end lies on the terrain dot (108 m per dot).
  static bool EndAtDot(int32_t side, TPoint dot, const TBaseObj& obj);

  // ---- Registering and deleting ----

  // Frees the object's neighbours' slots that lead to it, then deletes it. Its file stays.
  void ObjDel(int32_t id);
  // Reads the station file folder/station/name.txt and adds the station with all its entry
  // connections cleared; id receives its identifier. Refused when the file cannot be read or
  // a station with that identifier is on the board already.
  TStatus StaReg(const std::string& folder, const std::string& name, int32_t& id);
  // Places an added station from start along delta (grid units), joined to the objects at its
  // ends (either may be null).
  bool StaPlace(int32_t id, TPoint start, TPoint delta, TBaseObj* endObj1, TBaseObj* endObj2);
  // Creates the next rail with nTracks tracks and places it like StaPlace.
  TRailObj* RailReg(TPoint start, TPoint delta, TBaseObj* endObj1, TBaseObj* endObj2,
                    int32_t nTracks);
  // Creates a train set numbered one above the highest, standing at stabling (an entry code of
  // station and platform) at the start of service; returns its number.
  int32_t CarReg(const TCarProp& prop, int32_t stabling);
  void CarDel(int32_t no);
  // False when the train number is taken already.
  bool TrainReg(int32_t carNo, const std::string& trainNo);
  // Deletes a train set's last train (any of its trains with anywhere, see
  // TCarObj::DeleteTrain) and its occupancy on the current line; false when the train is not
  // its train set's last.
  bool TrainDel(const std::string& trainNo, bool anywhere = false);

  struct TLastStep {
    TStepKind Kind = TStepKind::kStabling;  // the train set's last step of the day
    TEntCode Place;    // its station, platform and side
  };
  // The train set's last step of the day; true when its station is on the current line.
  bool LastStepOnLine(int32_t carNo, TLastStep& out);

  // ---- Network ----

  // Follows both ends of a rail in view through rails that are not in view (ShowDetail clear)
  // and sets NearFlag on the first station met.
  void SetNearStaFlag(const TRailObj& rail);
  // Whether every slot in use of every station and rail is joined; name receives the first
  // object with an open slot (a station's name, or "レール#" + rail id).
  bool CheckAllConn(std::string& name) const;

  // Appends to path the code of what the far end of its last rail joins (and, unless onlyNext,
  // the rail's own far-end code before it); next receives that code and len grows by the rail's
  // length. False, after the lookup box, when the last code names no rail.
  bool WalkRail(std::string& path, int32_t& next, bool onlyNext, int32_t& len);
  // Adds to list (kept sorted) one neighbour line "<length>,<rail path>" for every slot of side
  // b of station a that leads by rails to a station. True when target t (0: none) is among the
  // neighbours and the excluded station x (0: none) is not.
  bool ListUpConnSta(int32_t a, int32_t t, std::vector<std::string>& list, int32_t b,
                     int32_t x);
  // Routes "label=route" over the rails from a platform to the platforms (toHome -1: any) of
  // the next station, one per platform.
  void GetPathToNextSta(int32_t fromSta, int32_t fromHome, int32_t fromSide, int32_t toSta,
                        int32_t toHome, std::vector<std::string>& list);
  // The same over the blocks of the current line.
  void ListUpNextStaCanGo(int32_t fromSta, int32_t fromHome, int32_t fromSide, int32_t toSta,
                          int32_t toHome, std::vector<std::string>& list);
  // Keeps one route per label: the one with fewer diverging turnouts at its two ends, on a tie
  // the one that sorts later.
  void PickBestPath(std::vector<std::string>& list);

  // ---- Lines ----

  // Makes name the current line with no stations; refused when the name cannot be a file name.
  TStatus SetLine(const std::string& name);
  TStatus LoadLine(const std::string& folder);
  TStatus SaveLine(const std::string& folder) const;
  // The names of the line's stations, in line order.
  void ListUpStaInLine(std::vector<std::string>& out);
  // The position of the station in the line; -1 when it is not there.
  int32_t FindStaInLine(int32_t id) const;
  // Whether stations a and b follow each other, either way round, on the current line (on a
  // ring line the first station, listed again at the end, also follows the last one).
  bool AreLineNeighbours(int32_t a, int32_t b) const;
  // The first two consecutive line stations that no rail joins directly (a line file written
  // by hand may skip a station): true with their ids in a and b. Such a line has no blocks
  // between them, so its sections there can neither be entered nor checked.
  bool FindLineGap(int32_t& a, int32_t& b);
  // Ok when every two consecutive line stations are rail neighbours; otherwise the message
  // "路線「名前」のA駅とB駅の間にはレールがありません…".
  TStatus CheckLineRails();
  // Adds station x at the end of the line, or else at its front, where it is a neighbour on the
  // side away from the line's next station.
  bool AddStaToLine(int32_t x);
  // Cuts every track between neighbouring line stations into blocks of about 648 m.
  void MakeLineBlk();

  // ---- Train location ----

  // Locates every train set at now; step is the seconds since the last call, 0 to locate
  // afresh from the timetables. Only sections touching a station in view (ShowDetail) or near
  // it (NearFlag) are searched and laid out.
  void CalcCarLocation(int32_t step, int32_t now);
  // Locates one train set from its timetable.
  void ActionAtInit(TCarObj& car, int32_t now);
  // Lays a standing train set's body at its platform (PathItems[0] holds its Loc).
  void CalcStopPoint(TCarObj& car);
  // Finds the element of PathItems that holds the head x seconds after entering element a and
  // sets LocTm and RunTm; false when x runs past the route.
  bool AdvanceCar(TCarObj& car, int32_t a, float x);
  // Builds BodyPts from the head (element LocTm, RunTm seconds in) backwards.
  void LayCarBody(TCarObj& car);

  // ---- Timetable occupancy ----
  // Seconds are booked as whole seconds: every running time becomes an interval length rounded
  // half to even. A route is the comma text after the "=" of a route line: the departure
  // station part, the block end codes, the arrival station part.

  // The earliest start at or after t (t moves there) at which the car can run the route without
  // meeting anything booked; passFrom and passTo tell whether it passes the departure and the
  // arrival station. Each piece is tested for as long as RegPathToNextSta books it. False, t
  // unchanged, when that would mean waiting 1800 s or more, or when no free start is found in
  // 1000 attempts (reported with a plain message).
  bool CalcTimeCanStart(const TCarObj& car, const std::string& route, int32_t& t, bool passTo,
                        bool passFrom);
  // The earliest start at or after t at which the route is free, however long the wait (what a
  // refusal offers instead); -1 when there is none before the end of the day.
  int32_t EarliestStart(const TCarObj& car, const std::string& route, int32_t t, bool passTo,
                        bool passFrom);
  // A set other than carNo standing ("[n]") at platform home of station staId at some time of
  // [from, until]: true with its booking in stand. Runs are tested by CalcTimeCanStart, which
  // does not wait for stands; an arrival and a stay must not meet one.
  bool StandingSetAt(int32_t staId, int32_t home, int32_t from, int32_t until, int32_t carNo,
                     TTmTbl& stand);
  // Books the route for the car under label from start on: the departure station's leaving half,
  // every block, and the arrival station's arriving half, its platform until depAtArrival when
  // that is not -1. step receives the arrival at the stopping point (TmStart, TmEnd -1) and the
  // platform reached (Loc); with an empty route it gets start and Loc 0.
  void RegPathToNextSta(const TCarObj& car, const std::string& label, TTmTbl& step,
                        int32_t depAtArrival, int32_t start, bool passTo, bool passFrom,
                        const std::string& route);
  // Rebuilds the platform, turnout and block occupancy of the current line from the trains
  // trNos (those with a step on the line, in the order a diagram lists them). Each train is
  // booked from its whole timetable: every section it runs between neighbouring line stations
  // and every way into and out of the line, however often it visits the line, whatever a
  // diagram shows of it. Then books every train set standing at a line station ("[n]") and
  // adds the parked ones to carIds; msg receives one "\n"-led line per train set that must be
  // moved empty.
  void InitObjTmTbl(const std::vector<std::string>& trNos, TCarIdSet& carIds, std::string& msg);
  // The same booking, brought up to date from the last one: only trains whose steps, train set
  // or set's length and speed changed since, trains gone since, and labels booked since by
  // RegPathToNextSta (a section entry, a bulk check) are unbooked, and such of them as are in
  // trNos booked again (on the objects so touched, whatever no kept train holds goes); then
  // every stand is booked afresh, since stands depend on the trains around them. The result is
  // the booking InitObjTmTbl makes (turnout slots that two trains want at once may go to the
  // other one; both are overlaps either way). Falls back to InitObjTmTbl when there is no last
  // booking: after a new line, new blocks, a deleted object or a board read.
  void RebookLine(const std::vector<std::string>& trNos, TCarIdSet& carIds, std::string& msg);

 private:
  TStatus ReadBrd(const std::string& baseDir, const std::string& name);
  TStatus ReadBoardRec(const std::string& folder);
  TStatus ReadStations(const std::string& folder);
  // The object files of dir (rail/, car/): stems receives the stems named by numbers, in number
  // order; other files are noted and left out. Messages name them as prefix + file. Two files of
  // one number are an error, and so is a folder that cannot be listed.
  TStatus ListNumbered(const std::string& dir, const std::string& prefix,
                       std::vector<std::string>& stems);
  TStatus ReadRails(const std::string& folder);
  TStatus ReadCars(const std::string& folder);
  // Reads the numbered car files of carDir into cars; messages name them as prefix + file.
  TStatus ReadCarFiles(const std::string& carDir, const std::string& prefix,
                       TObjList<TCarObj>& cars);
  TStatus ReadDias(const std::string& folder);
  // The keys of Board.txt that name the board's own timetable and its kind table.
  void AddBoardExtras(TextRec& rec) const;
  // The board's own timetable's train sets, whichever timetable is active.
  const TObjList<TCarObj>& OwnCars() const { return DiaCars(0); }
  TStatus StageDias(TSaveBatch& batch, const std::string& folder);
  void FinishDiaSave(const std::string& folder);
  // The dia/ folders of deleted or renamed timetables, emptied by the next save.
  std::vector<std::string> droppedDias_;
  bool diaNameKey_ = false;  // Board.txt named the board's own timetable
  void RaiseIdCounters();
  void NoteDanglingJoins();
  void AddTrainNos(const std::vector<TCarObj*>& cars);
  TStatus StageObjects(TSaveBatch& batch, const std::string& folder, bool keepStations) const;
  TextRec MakeBoardRec() const;
  // Block c, the k-th of blocks on the track whose rail path is e, len metres long.
  void AddLineBlk(int32_t c, int32_t k, int32_t blocks, int32_t len,
                  const std::vector<std::string>& e);
  static bool IsStaCodeOf(int32_t code, int32_t staId);
  // The train sets of Cars in its order, as the clock tick walks them: stepping through the
  // map's nodes costs more than the tick's work on most sets. Built again when Cars has another
  // size or first or last set, or when any train set object has been freed since (TCarLife).
  const std::vector<TCarObj*>& TickCars(bool rebuild);

  std::vector<TCarObj*> tickCars_;
  uint64_t tickCarsEnds_ = 0;

  // What the last booking of the line holds, for RebookLine: per train what its booking depends
  // on and the objects it booked, and the objects of labels booked outside it since.
  struct TBookedObjs {
    std::vector<TStaObj*> Stas;
    std::vector<TBlkObj*> Blks;
    void Add(TStaObj* s);
    void Add(TBlkObj* b);
  };
  struct TBookedTrain {
    uint64_t Sum = 0;
    TBookedObjs Objs;
  };
  struct TBooking {
    std::map<std::string, TBookedTrain> Trains;
    std::map<std::string, TBookedObjs> Strays;
  };
  std::unique_ptr<TBooking> booked_;
  TBookedObjs* trace_ = nullptr;  // where the booking under way notes the objects it books

  friend struct TBookTrace;
};

// Whether stem names an object file of rail/ or car/: decimal digits only, a number from 1.
// Other files there are not the board's: it neither reads nor removes them.
bool ObjFileNumber(std::string_view stem, int32_t& n);

// Stages the removal of the object files of folder (numbered ".txt" files) whose stems are not
// in keep (compared in upper case). Files the board does not read are not its to remove. display
// names the folder in messages ("car"); a folder that cannot be listed is an error.
TStatus StageStale(TSaveBatch& batch, const std::string& folder, const std::string& display,
                   const std::set<std::string>& keep);
// What Board.txt holds.
struct TBoardHead {
  int32_t XLeft = 0, YTop = 0, MPerP = 108, IdSta = 0, IdRail = 0;
  std::vector<std::string> StaNames;  // STA1..STA_COUNT; empty where a line is missing
  bool HasDiaName = false;            // DIA_NAME= is there
  std::string DiaName;                // the board's own timetable, when HasDiaName
  std::vector<TKindDef> Kinds;        // the kind table; empty for the built-in kinds
  TNoteMap DiaNotes, LineNotes;       // DIA_NOTEk and LINE_NOTEk
};
// Reads DIA_NAME and the kind table into head; a bad value fails rd naming the key.
void ReadBoardExtras(TRecReader& rd, TBoardHead& head);
// Board.txt read as a load reads it; messages name "Board.txt" and the key.
TStatus ReadBoardHead(const TextRec& rec, TBoardHead& head);

// Refused when the board folder holds Board.txt or a record folder twice in different letter
// case: the program would read one and write the other.
TStatus CheckRootTwins(const std::string& folder);

// baseDir + "/" + name: the folder of a board.
std::string BrdPath(const std::string& baseDir, const std::string& name);

}  // namespace ramvel
