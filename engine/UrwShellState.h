// The program shell without a window: the settings file, the recent-board list, board folders
// and names, the clock and zoom choices, the menu enabling rule and the clock time input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/UrwBrdView.h"
#include "foundation/UrwCmnDef.h"

namespace ramvel {

inline constexpr const char* kSettingsFile = "PrwMain.ini";
inline constexpr const char* kRecentFile = "latest.txt";
inline constexpr const char* kHelpPage = "help/top.html";
// Recent boards offered in the menu; the list itself may hold more (see AddRecentBrd).
inline constexpr size_t kRecentItems = 3;
inline constexpr const char* kCapProgram = "Ramvel";
// Set by the build from the project's version.
inline constexpr const char* kProgramVersion = RAMVEL_VERSION;

// ---- Settings (PrwMain.ini) --------------------------------------------------------------------

// The clock's tick level and the train label options, kept between runs.
struct TShellSettings {
  int32_t IntvLevel = 0;  // 0 "高", 1 "中", 2 "低"
  bool ShowTrNo = false;
  bool ShowTrNick = false;
  bool ShowTrOnly = false;
  friend bool operator==(const TShellSettings&, const TShellSettings&) = default;
};

// Reads the two-line settings file. Whatever cannot be read (a missing file or line, an empty
// line, a first line that is not a level 0..2) keeps its default; reading never fails.
TShellSettings ReadSettings(const std::string& path);
// The two lines: the level, then "1" or "0" followed by "[NICK]" and "[ONLY]" as set.
TextRec SettingsRec(const TShellSettings& s);
TStatus WriteSettings(const std::string& path, const TShellSettings& s);

// ---- Recent boards (latest.txt) ----------------------------------------------------------------

// One name a line, most recent first; a missing or unreadable file gives an empty list, blank
// lines are skipped.
std::vector<std::string> ReadRecentBrds(const std::string& path);
TStatus WriteRecentBrds(const std::string& path, const std::vector<std::string>& names);
// Moves name to the front. A name already held (compared without regard to case) is taken out
// first; otherwise a list of exactly three names loses its last. So a longer list, edited by
// hand, grows by one with each new name. An empty name changes nothing.
void AddRecentBrd(std::vector<std::string>& names, const std::string& name);

// ---- Board names and folders -------------------------------------------------------------------

// A board name becomes a folder of the program folder and a line of latest.txt: refused as any
// name that becomes a file name (CheckObjName), and when it holds ".".
TStatus CheckBrdName(std::string_view name);
// The name of baseDir's entry that matches name without regard to case; name itself when none.
std::string BrdFolderName(const std::string& baseDir, const std::string& name);
// Creates the folder of a new board; refused, with nothing created, when the name is unsafe or
// an entry of that name (without regard to case) exists. path receives the new folder.
TStatus MakeBrdFolder(const std::string& baseDir, const std::string& name, std::string& path);
// The sub-folders station, rail, car and line of a board folder.
TStatus MakeBrdSubFolders(const std::string& brdPath);
// Removes a board folder made by MakeBrdFolder again, with whatever it holds.
void RemoveBrdFolder(const std::string& brdPath);
// The boards of the program folder: its sub-folders that hold a Board.txt, as the folder
// listing names them (upper case). Executables, help and backups are not boards.
std::vector<std::string> ListBoards(const std::string& baseDir);
// Copies a terrain bitmap into the board as Land.bmp, replacing the old one only once the copy
// is complete; choosing the board's own Land.bmp leaves it intact.
// What a save does not write but a whole board holds, copied from the board folder from into
// to (made when missing): the terrain, the station files (designs not on the board and
// stations that could not be read included) and the line files.
TStatus CopyBoardExtras(const std::string& from, const std::string& to);
TStatus CopyLandFile(const std::string& src, const std::string& brdPath);

// ---- Clock and zoom choices --------------------------------------------------------------------

// " 1倍速" ... "60倍速": the speed choices, one per clock multiple.
std::vector<std::string> SpeedItems();
// "1/1" ... "1/108": the zoom choices, one per zoom.
std::vector<std::string> ScaleItems();
// The multiple in a speed choice's first two characters; 0 when they hold no number.
int32_t StepMultiple(std::string_view itemText);

// ---- Menus -------------------------------------------------------------------------------------

struct TMenuInput {
  bool Open = false;  // a board is open
  bool DesignMode = false;
  TEditMode EditMode = kEditIdle;
  size_t LineStas = 0;   // stations of the line being edited
};

// Which commands and panels the state allows. Items not named here are always enabled.
struct TMenuState {
  bool ModeSel = false, Save = false, SaveBAK = false, GbxDsp = false;
  bool Layout = false, StaEdit = false, DiaEdit = false, LandLoad = false, StaAdd = false;
  bool LineNew = false, LineMod = false, LineDel = false;
  bool Gbx4StaEdit = false;
  bool LineEdit = false, LineRing = false, LineCancel = false, LineFix = false;
};
TMenuState MenuState(const TMenuInput& in);

// ---- Selection lists ---------------------------------------------------------------------------

// Sizes of the selection dialog for n items, pixels.
struct TSelGeometry {
  int ItemH = 0;    // 15 for text items, 60 for items with a picture
  int Rows = 0;     // visible rows: at most 15 text or 8 picture items
  int ListH = 0;    // Rows x ItemH + 5
  int ClientH = 0;  // 75 for short lists, else ListH + 10
};
TSelGeometry SelGeometry(size_t n, bool textMode);

// The station files a choice offers, sorted: every file of the board folder's station folder,
// or for kind 2 (placing) only those whose station is not on brd (names compared without regard
// to case). brd may be null.
class TBrdData;
std::vector<std::string> StaFilesToOffer(int kind, const std::string& brdFolder,
                                         const TBrdData* brd);
// The train set number of a line of the diagram editor's list: its text before the first "(",
// trimmed ("  12 (" gives 12); false when that is not a number.
bool CarIdOfItem(const std::string& item, int32_t& no);

// ---- Clock time input --------------------------------------------------------------------------

// Asks for a new clock time through the dialog host until an answer is a time of 04:00 to 27:00
// or equals shown (unchanged or cancelled). Full-width digits count as digits. true and t set
// for a new time; false when the user kept shown.
bool AskCurTime(const std::string& shown, int32_t& t);

}  // namespace ramvel
