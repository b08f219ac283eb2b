// The "backup" and "restore" commands of ramvel-cli: a board packed into a backup of its program
// folder, and a backup restored all-or-nothing into the program folder's board.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ramvel::cli {

inline constexpr const char* kBackupHelp =
    "ramvel-cli backup BOARD\n"
    "  Packs the text files of the board folder BOARD (Board.txt, station/, rail/, car/, line/)\n"
    "  into BOARD's parent folder (the program folder) as bakup/<board><yymmdd_hhmm>.dat, as\n"
    "  バックアップ作成 does, and prints the backup's path. A backup of the same minute is\n"
    "  replaced. A save of another program that was cut off is completed first. Exit 2, with\n"
    "  nothing written, when a file or folder cannot be read or packed.\n"
    "  Example: ramvel-cli backup build/bin/Sample\n";

inline constexpr const char* kRestoreHelp =
    "ramvel-cli restore PROGRAM_FOLDER FILE.dat\n"
    "  Restores the backup FILE.dat into the board of PROGRAM_FOLDER that its file name names,\n"
    "  as バックアップ読込 does. The whole backup is checked first: a path that leads outside\n"
    "  that board's Board.txt, station/, rail/, car/ or line/, or a damaged file (not Shift-JIS,\n"
    "  a record or number a load would refuse), refuses the restore with exit 2, a one-line\n"
    "  reason and nothing written. The board as it is is first backed up beside it (never\n"
    "  replacing a backup); then the board becomes exactly the backed-up one: the text files of\n"
    "  those folders that the backup does not hold are removed (Land.bmp and other files stay).\n"
    "  All is written at once, as a save is. Prints the board folder and the backup of the\n"
    "  state before on success (exit 0).\n"
    "  Example: ramvel-cli restore build/bin build/bin/bakup/Sample261206_1649.dat\n";

// args: the board folder. Prints the backup's path; 0 made, 2 refused.
int RunBackup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// args: the program folder and the backup file. Prints the restored board folder; 0 restored,
// 2 refused with nothing written.
int RunRestore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ramvel::cli
