// ramvel-cli import-gtfs: the rail routes of a GTFS feed listed, or one of them made into a new
// board through the same path as an OuDia file.
#include "cli/UrwCliBoard.h"
#include "cli/UrwCliOud.h"
#include "cli/UrwCliGtfs.h"
#include "interop/UrwGtfsImport.h"
#include "interop/UrwOudBoard.h"

namespace ramvel::cli {

namespace {

struct TGtfsArgs {
  std::vector<std::string> Pos;
  std::string NewBoard;
  TGtfsImportOptions Import;
  int32_t TurnMin = 5;
};

bool Value(const std::vector<std::string>& args, size_t& i, std::string& to) {
  if (i + 1 >= args.size() || !to.empty()) return false;
  to = args[++i];
  return !to.empty();
}

bool ParseGtfsArgs(const std::vector<std::string>& args, TGtfsArgs& a, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    bool ok = true;
    if (args[i] == "--new-board") {
      ok = Value(args, i, a.NewBoard);
    } else if (args[i] == "--route") {
      ok = Value(args, i, a.Import.RouteId);
    } else if (args[i] == "--date") {
      ok = Value(args, i, a.Import.Date) && IsGtfsDate(a.Import.Date);
    } else if (args[i] == "--turn") {
      ok = i + 1 < args.size() && ParseIntArg(args[++i], "--turn", a.TurnMin, err) &&
           a.TurnMin >= 0 && a.TurnMin <= 600;
    } else if (args[i].rfind("--", 0) == 0) {
      ok = false;
    } else {
      a.Pos.push_back(args[i]);
    }
    if (!ok) {
      err << "ramvel-cli: import-gtfs: " << args[i]
          << " needs a value (--date YYYYMMDD, --turn 0 to 600)\n";
      return false;
    }
  }
  const bool listing = a.NewBoard.empty() && a.Import.RouteId.empty() && a.Import.Date.empty();
  if (a.Pos.size() != 1 || (!listing && (a.NewBoard.empty() || a.Import.RouteId.empty()))) {
    err << "ramvel-cli: import-gtfs needs FEED.zip, or --new-board FOLDER FEED.zip --route "
           "ROUTE_ID [--date YYYYMMDD] [--turn MIN]\n";
    return false;
  }
  return true;
}

int ListRoutes(TGtfsArchive& feed, std::ostream& out, std::ostream& err) {
  std::vector<TGtfsRoute> routes;
  if (const TStatus st = ListGtfsRailRoutes(feed, routes); !st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 1;
  }
  for (const TGtfsRoute& r : routes) out << r.Id << "\t" << r.Type << "\t" << r.Name << "\n";
  if (routes.empty()) out << "鉄道の路線がありません\n";
  return 0;
}

int MakeBoard(TGtfsArchive& feed, const TGtfsArgs& a, std::ostream& out, std::ostream& err) {
  TOudDoc doc;
  TGtfsImportInfo info;
  TStaPanels panels;
  TStatus st = ReadGtfsRoute(feed, a.Import, doc, info);
  if (st) st = panels.Load(PieceDir());
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 1;
  }
  return MakeBoardFromDoc(panels, doc, a.NewBoard, a.TurnMin, info.Lines(a.Import, doc), out,
                          err);
}

}  // namespace

int RunImportGtfs(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TGtfsArgs a;
  if (!ParseGtfsArgs(args, a, err)) return 2;
  TGtfsArchive feed;
  if (const TStatus st = feed.OpenFile(a.Pos[0]); !st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return 1;
  }
  return a.NewBoard.empty() ? ListRoutes(feed, out, err) : MakeBoard(feed, a, out, err);
}

}  // namespace ramvel::cli
