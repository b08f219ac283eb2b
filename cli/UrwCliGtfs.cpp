// The "export-gtfs" command of ramvel-cli.
#include "cli/UrwCliGtfs.h"

#include "cli/UrwCliBoard.h"
#include "interop/UrwGtfsExport.h"

namespace ramvel::cli {

int RunExportGtfs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> words;
  TGtfsOptions opt;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--origin") {
      words.push_back(args[i]);
      continue;
    }
    const TStatus st = i + 1 < args.size()
                           ? ParseGtfsOrigin(args[++i], opt.OriginLat, opt.OriginLon)
                           : TStatus::Error("--origin needs LAT,LON");
    if (!st) {
      err << "ramvel-cli: " << st.Msg() << "\n";
      return 2;
    }
  }
  if (words.size() != 2) {
    err << "ramvel-cli: export-gtfs needs BOARD OUT.zip [--origin LAT,LON]\n";
    return 2;
  }
  auto board = OpenBoard(words[0], err);
  if (!board) return 2;
  TGtfsSummary sum;
  if (const TStatus st = ExportGtfs(board->Brd, board->Folder, opt, words[1], sum); !st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 2;
  }
  out << GtfsSummaryText(sum, words[1]) << "\n";
  return 0;
}

}  // namespace ramvel::cli
