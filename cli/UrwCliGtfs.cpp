// The "export-gtfs" command of ramvel-cli.
#include "cli/UrwCliGtfs.h"

#include "cli/UrwCliBoard.h"
#include "interop/UrwGtfsExport.h"

namespace ramvel::cli {

namespace {

// One option with its value into opt; an error naming the option otherwise.
TStatus TakeOption(const std::string& name, const std::string& value, TGtfsOptions& opt) {
  if (name == "--origin") return ParseGtfsOrigin(value, opt.OriginLat, opt.OriginLon);
  if (name == "--agency-name" && !value.empty()) {
    opt.AgencyName = value;
  } else if (name == "--agency-url" &&
             (value.rfind("http://", 0) == 0 || value.rfind("https://", 0) == 0)) {
    opt.AgencyUrl = value;
  } else if (name == "--start" && value.size() == 8) {
    opt.StartDate = value;  // checked as a date when the calendar is built
  } else if (name == "--days" && value.find('=') != std::string::npos) {
    const size_t eq = value.rfind('=');
    TGtfsDays days;
    if (TStatus st = ParseGtfsDays(value.substr(eq + 1), days); !st) return st;
    opt.Days[value.substr(0, eq)] = days;
  } else {
    return TStatus::Error(name + " " + value +
                          ": --agency-url takes http(s)://..., --start YYYYMMDD, --days "
                          "NAME=1111100[H]");
  }
  return TStatus::Ok();
}

bool IsOption(const std::string& a) {
  return a == "--origin" || a == "--agency-name" || a == "--agency-url" || a == "--start" ||
         a == "--days";
}

}  // namespace

int RunExportGtfs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> words;
  TGtfsOptions opt;
  for (size_t i = 0; i < args.size(); ++i) {
    if (!IsOption(args[i])) {
      words.push_back(args[i]);
      continue;
    }
    const TStatus st = i + 1 < args.size() ? TakeOption(args[i], args[i + 1], opt)
                                           : TStatus::Error(args[i] + " needs a value");
    ++i;
    if (!st) {
      err << "ramvel-cli: " << st.Msg() << "\n";
      return 2;
    }
  }
  if (words.size() != 2) {
    err << "ramvel-cli: export-gtfs needs BOARD OUT.zip [--origin LAT,LON] [--agency-name NAME]"
           " [--agency-url URL] [--start YYYYMMDD] [--days NAME=1111100[H]]\n";
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
