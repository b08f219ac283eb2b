// Where the program keeps its files. A program run from its build or from an unpacked folder
// keeps everything beside the executable (the program folder). An installed program, whose
// executable's folder it must not write, reads the piece files, the help page and the sample
// boards from the install's share folder and keeps settings, recent list, boards and backups in
// the user's data folder.
#pragma once

#include <string>
#include <vector>

#include "foundation/UrwStatus.h"

namespace ramvel {

// The piece file whose presence marks a folder as holding the program's data.
inline constexpr const char* kPieceFile = "rw_panel.txt";
// The base folder's name inside the user's data folder.
inline constexpr const char* kUserFolder = "Ramvel";

struct TProgDirs {
  std::string Base;        // settings, recent list, boards, backups; ends with "/"
  std::string Data;        // piece files, help page, sample boards as shipped; ends with "/"
  bool Installed = false;  // Base is the user's data folder, not the program folder
};

// exeDir: the executable's folder. It is the program folder, both Base and Data, when it holds
// the piece file and can be written. Otherwise Data is exeDir/dataRel (the install's share
// folder, e.g. "../share/ramvel") and Base is xdgDataHome/Ramvel when xdgDataHome is an
// absolute path (XDG: a relative one is ignored), else home/.local/share/Ramvel. Without a usable
// home either, the program folder rule stays (saving then tells what cannot be written).
// home and xdgDataHome may be null, as getenv gives them.
TProgDirs ResolveProgDirs(const std::string& exeDir, const std::string& dataRel, const char* home,
                          const char* xdgDataHome);

// For an installed program: makes the base folder and, on the first start there (neither the
// recent list nor the settings file exists yet), copies every sample board of the data folder
// that the base folder does not hold and lists the copies as the recent boards, so the sample
// is one click away in the File menu. Nothing there is ever overwritten; a board is copied
// whole or not at all. A failure names the folder that could not be made or written.
TStatus PrepareUserBase(const TProgDirs& dirs);

}  // namespace ramvel

namespace ramvel {

// A board folder named on the command line: path must be a folder holding Board.txt. parent
// receives the folder that holds it (absolute, ending with "/") and name the board's folder name.
// A refusal says in Japanese what is wrong and names path.
TStatus FindBrdFolder(const std::string& path, std::string& parent, std::string& name);
// Whether a and b name the same existing folder.
bool SameFolder(const std::string& a, const std::string& b);

}  // namespace ramvel
