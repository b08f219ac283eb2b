// ramvel-cli save: a board read as the program opens it and written by the program's own save.
#include <QCoreApplication>
#include <QGuiApplication>
#include <filesystem>
#include <memory>

#include "cli/UrwCliBoard.h"
#include "cli/UrwCliRender.h"
#include "engine/UrwShellState.h"
#include "view/UrwBrdEditor.h"

namespace ramvel {

namespace {

namespace fs = std::filesystem;

bool EmptyOrMissing(const std::string& folder) {
  std::error_code ec;
  if (!fs::exists(folder, ec)) return true;
  return fs::is_directory(folder, ec) && fs::is_empty(folder, ec);
}

int Save(const std::string& board, const std::string& to, std::ostream& out, std::ostream& err) {
  TBrdEdit ed(nullptr);
  std::string root, name;
  cli::SplitBoardPath(board, root, name);
  if (const TStatus st = ed.LoadBoard(root, name); !st) {
    err << "save: " << st.Msg() << "\n";
    return 2;
  }
  if (!to.empty()) {
    if (const TStatus st = CopyBoardExtras(ed.View.BrdPath, to); !st) {
      err << "save: " << st.Msg() << "\n";
      return 1;
    }
    ed.View.BrdPath = PathJoin(to, "");
  }
  if (const TStatus st = ed.SaveBoard(false); !st) {
    err << "save: " << st.Msg() << "\n";
    return 1;
  }
  out << ed.View.BrdPath << ": saved " << ed.Brd.Stas.size() << " stations, " << ed.Brd.Rails.size()
      << " rails, " << ed.Brd.Cars.size() << " train sets\n";
  return 0;
}

}  // namespace

int RunSave(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string to;
  if (args.size() == 3 && args[1] == "--to") {
    to = args[2];
  } else if (args.size() != 1) {
    err << "ramvel-cli: save needs BOARD [--to FOLDER]\n";
    return 2;
  }
  if (!to.empty() && !EmptyOrMissing(to)) {
    err << "ramvel-cli: " << to << ": the folder is not empty; a board is saved into a new one\n";
    return 2;
  }
  // The terrain is read as the program reads it, which needs an application object.
  std::unique_ptr<QGuiApplication> app;
  if (QCoreApplication::instance() == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char arg0[] = "ramvel-cli";
    static char* argv[] = {arg0, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  return Save(args[0], to, out, err);
}

}  // namespace ramvel
