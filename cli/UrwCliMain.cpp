// Command dispatch and the help texts of ramvel-cli.
#include <map>
#include <set>

#include "cli/UrwCli.h"
#include "cli/UrwCliAnalysis.h"
#include "cli/UrwCliBackup.h"
#include "cli/UrwCliBoard.h"
#include "cli/UrwCliBulk.h"
#include "cli/UrwCliDiagram.h"
#include "cli/UrwCliGtfs.h"
#include "cli/UrwCliOud.h"
#include "cli/UrwCliRender.h"
#include "engine/UrwShellState.h"

namespace ramvel::cli {

namespace {

struct TCommand {
  int (*Run)(const TArgs&, std::ostream&, std::ostream&);
  const char* Help;
};

const std::map<std::string, TCommand>& Commands() {
  static const std::map<std::string, TCommand> commands = {
      {"backup", {RunBackup, kBackupHelp}},
      {"capacity", {RunCapacity, kCapacityHelp}},
      {"delays", {RunDelays, kDelaysHelp}},
      {"restore", {RunRestore, kRestoreHelp}},
      {"shift", {RunShift, kShiftHelp}},
      {"repeat", {RunRepeat, kRepeatHelp}},
      {"diagram", {RunDiagram, kDiagramHelp}},
      {"platforms", {RunPlatforms, kPlatformsHelp}},
      {"export-gtfs", {RunExportGtfs, kExportGtfsHelp}},
      {"export-oud", {RunExportOud, kExportOudHelp}},
      {"import-gtfs", {RunImportGtfs, kImportGtfsHelp}},
      {"import-oud", {RunImportOud, kImportOudHelp}},
      {"check",
       {RunCheck,
        "ramvel-cli check BOARD\n"
        "  Checks that every station and rail of the board is joined (\"layout: ok\" or\n"
        "  \"layout: incomplete: <name>\"), then rebuilds the occupancy of every line in line/\n"
        "  and prints \"line <NAME>: ok\" or one line per problem: train sets that must be moved\n"
        "  empty, sections without a route, and two trains holding one block, platform track or\n"
        "  turnout at once. Exit 1 when a problem is found.\n"
        "  Example: ramvel-cli check data/boards/Sample\n"}},
      {"routes",
       {RunRoutes,
        "ramvel-cli routes BOARD FROM PLATFORM SIDE TO [PLATFORM]\n"
        "  The routes over the rails from a platform of station FROM, leaving by SIDE (0 or 1),\n"
        "  to the platforms of the neighbouring station TO (all when PLATFORM is left out),\n"
        "  one per line as label=route.\n"
        "  Example: ramvel-cli routes data/boards/Sample 東町 1 1 北野\n"}},
      {"locate",
       {RunLocate,
        "ramvel-cli locate BOARD TIME\n"
        "  Locates every train set at TIME (\"630\", \"1830.15\") with the whole terrain in view\n"
        "  at 1 metre per pixel. One line per train set: id, state, label, head point and tail\n"
        "  point of its body in pixels (\"x,y\", one decimal), separated by tabs.\n"
        "  Example: ramvel-cli locate data/boards/Sample 800\n"}},
      {"timetable",
       {RunTimetable,
        "ramvel-cli timetable BOARD LINE [down|up] [--csv]\n"
        "  The diagram of a line for one direction (down by default) in the diagram editor's\n"
        "  order: a header with the station names, then one line per train with its number,\n"
        "  kind and, for each station, \"dep\" at its origin, \"arr/dep\" at a stop, \"arr=\" at a\n"
        "  pass, \"arr/\" at its terminal, each followed by \"#\" and the platform.\n"
        "  --csv writes RFC 4180 CSV instead of tab-separated text.\n"
        "  Example: ramvel-cli timetable data/boards/Sample 本線 up\n"}},
      {"save",
       {RunSave,
        "ramvel-cli save BOARD [--to FOLDER]\n"
        "  Reads the board as the program opens it and saves it with the program's own save\n"
        "  (上書き保存). With --to the board is saved into FOLDER (new or empty), which then\n"
        "  holds the whole board: Land.bmp, station/, line/ and what the save writes.\n"
        "  Exit 1 when the save fails.\n"
        "  Example: ramvel-cli save data/boards/Sample --to /tmp/Sample2\n"}},
      {"render",
       {RunRender,
        "ramvel-cli render BOARD OUT.png [--time T] [--scale M] [--at X,Y] [--size WxH] [--labels]\n"
        "  Draws the board as the board view does in run mode at time T (default 800) at M\n"
        "  metres per pixel (default 18) with the view's top-left corner at board metres X,Y\n"
        "  and a view of W x H pixels (default 800x600), and writes it as PNG.\n"
        "  Example: ramvel-cli render data/boards/Sample out.png --time 830 --scale 9\n"}},
  };
  return commands;
}

// The commands that read or edit one timetable and so take --dia NAME; import-oud reads it
// itself, as it may make the timetable.
const std::set<std::string> kDiaCommands = {"check",   "timetable", "shift",    "repeat",
                                            "diagram", "platforms", "render",   "locate",
                                            "export-oud", "capacity", "delays"};

// Takes "--dia NAME" out of args into name; false after a line to err when it is given twice,
// without a name, or to a command that has no use for it.
bool TakeDiaArg(const std::string& command, TArgs& args, std::string& name, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--dia") continue;
    if (command == "import-oud") return true;
    if (kDiaCommands.count(command) == 0) {
      err << "ramvel-cli: " << command << " does not take --dia\n";
      return false;
    }
    if (i + 1 >= args.size() || !name.empty()) {
      err << "ramvel-cli: --dia needs one timetable name\n";
      return false;
    }
    name = args[i + 1];
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i + 2));
    --i;
  }
  return true;
}

void Usage(std::ostream& out) {
  out << "ramvel-cli: the command-line companion of Ramvel\n\n"
         "Usage: ramvel-cli COMMAND ARGS...   (ramvel-cli COMMAND --help for details)\n"
         "       ramvel-cli --version\n\n";
  for (const auto& [name, cmd] : Commands()) out << cmd.Help << "\n";
  out << "The commands that read or edit a timetable (check, timetable, shift, repeat, diagram,\n"
         "platforms, render, locate, export-oud, import-oud, capacity, delays) take --dia NAME to use\n"
         "the board's timetable NAME instead of its own (car/).\n\n";
  out << "A board is named by its folder. Exit status: 0 success, 1 problems found,\n"
         "2 the board or an argument cannot be used.\n";
}

}  // namespace

int CliMain(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    Usage(err);
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    Usage(out);
    return 0;
  }
  if (args[0] == "--version") {
    out << "ramvel-cli (" << kCapProgram << ") " << kProgramVersion << "\n";
    return 0;
  }
  const auto it = Commands().find(args[0]);
  if (it == Commands().end()) {
    err << "ramvel-cli: unknown command " << args[0] << " (ramvel-cli --help lists them)\n";
    return 2;
  }
  TArgs rest(args.begin() + 1, args.end());
  for (const std::string& a : rest) {
    if (a == "--help" || a == "-h") {
      out << it->second.Help;
      if (kDiaCommands.count(args[0]) > 0) {
        out << "  --dia NAME uses the board's timetable NAME instead of its own (car/).\n";
      }
      return 0;
    }
  }
  std::string dia;
  if (!TakeDiaArg(args[0], rest, dia, err)) return 2;
  SetDiaArg(dia);
  const int rc = it->second.Run(rest, out, err);
  SetDiaArg("");
  return rc;
}

}  // namespace ramvel::cli
