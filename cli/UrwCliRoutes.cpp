// ramvel-cli routes and locate.
#include <QImageReader>
#include <QString>
#include <algorithm>

#include "cli/UrwCli.h"
#include "cli/UrwCliBoard.h"
#include "engine/UrwBrdView.h"

namespace ramvel::cli {

namespace {

bool HasHome(TStaObj& sta, int32_t home, std::ostream& err) {
  std::vector<std::string> homes;
  sta.ListHomes(homes);
  if (std::find(homes.begin(), homes.end(), IntText(home)) != homes.end()) return true;
  err << "ramvel-cli: " << sta.Name << " has no platform " << home << "\n";
  return false;
}

}  // namespace

int RunRoutes(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 5 || args.size() > 6) {
    err << "ramvel-cli: routes needs BOARD FROM PLATFORM SIDE TO [PLATFORM]\n";
    return 2;
  }
  int32_t home = 0, side = 0, toHome = -1;
  if (!ParseIntArg(args[2], "platform", home, err) || !ParseIntArg(args[3], "side", side, err)) {
    return 2;
  }
  if (args.size() == 6 && !ParseIntArg(args[5], "platform", toHome, err)) return 2;
  if (side != 0 && side != 1) {
    err << "ramvel-cli: side must be 0 or 1\n";
    return 2;
  }
  auto board = OpenBoard(args[0], err);
  if (!board) return 2;
  TStaObj* from = FindStaByName(board->Brd, args[1], err);
  TStaObj* to = from ? FindStaByName(board->Brd, args[4], err) : nullptr;
  if (to == nullptr) return 2;
  if (!HasHome(*from, home, err) || (toHome >= 0 && !HasHome(*to, toHome, err))) return 2;
  std::vector<std::string> routes;
  board->Brd.GetPathToNextSta(from->Id, home, side, to->Id, toHome, routes);
  for (const std::string& r : routes) out << r << "\n";
  return 0;
}

namespace {

// The terrain's size in metres, or the extent of the board's objects when it has none.
TPoint BoardExtent(const TOpenBoard& board) {
  TPoint ext{0, 0};
  QImageReader reader(QString::fromStdString(ResolveIn(board.Folder, "Land.bmp")));
  const QSize size = reader.size();
  if (size.isValid()) ext = {size.width() * kGridM, size.height() * kGridM};
  const auto grow = [&](const TBaseObj& obj) {
    for (const TPoint& p : obj.EndPos) ext = {std::max(ext.x, p.x + 1), std::max(ext.y, p.y + 1)};
  };
  for (const auto& [key, sta] : board.Brd.Stas) grow(*sta);
  for (const auto& [key, rail] : board.Brd.Rails) grow(*rail);
  return ext;
}

}  // namespace

int RunLocate(const TArgs& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "ramvel-cli: locate needs BOARD TIME\n";
    return 2;
  }
  int32_t t = 0;
  if (!ParseTimeArg(args[1], t, err)) return 2;
  auto board = OpenBoard(args[0], err);
  if (!board) return 2;
  TBrdData& brd = board->Brd;
  TBrdView view(brd);
  const TPoint ext = BoardExtent(*board);
  brd.SCR_XLEFT = brd.SCR_YTOP = 0;
  brd.SCR_MPERP = 1;
  view.DesignMode = false;
  view.SetScrSize(ext.x + 1, ext.y + 1);
  view.Recompute(0, 0);
  TScriptedHost host;  // lookups that fail show up as state 3
  TUiHostScope scope(host);
  brd.CalcCarLocation(0, t);
  for (const auto& [key, car] : brd.Cars) {
    out << car->Id << "\t" << static_cast<int>(car->LocState) << "\t" << car->LabelAt(t);
    if (car->BodyPts.empty()) {
      out << "\t-\t-\n";
    } else {
      out << "\t" << TenthsText(car->BodyPts.front()) << "\t" << TenthsText(car->BodyPts.back())
          << "\n";
    }
  }
  return 0;
}

}  // namespace ramvel::cli
