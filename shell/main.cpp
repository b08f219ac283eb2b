// The program's entry point: the application, the dialog host and the main window.
#include <QApplication>
#include <QScreen>
#include <QString>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "engine/UrwProgDirs.h"
#include "engine/UrwShellState.h"
#include "shell/UrwAbout.h"
#include "shell/UrwMain.h"
#include "shell/UrwQtLang.h"
#include "windows/common/UrwQtHost.h"

namespace {

// Qt does not let exceptions pass through its event loop: one escaping a handler is reported
// and the event is dropped instead of ending the program with unsaved work.
class TApp : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* e) override {
    try {
      return QApplication::notify(receiver, e);
    } catch (const std::exception& ex) {
      ramvel::ShowPlainMsg(std::string("Error: ") + ex.what());
    } catch (...) {
      ramvel::ShowPlainMsg("Error: unexpected failure");
    }
    return false;
  }
};

constexpr const char* kUsage =
    "Usage: ramvel [BOARD]\n"
    "  Starts Ramvel, the railway layout designer and timetable simulator. BOARD, a board\n"
    "  folder (one holding Board.txt), is opened at start.\n"
    "  Settings, recent boards, new boards and backups are kept in the program's folder when\n"
    "  that holds the piece files and can be written (a build or an unpacked folder), else in\n"
    "  ~/.local/share/Ramvel ($XDG_DATA_HOME/Ramvel when set).\n"
    "  --version  prints the version and ends\n"
    "  --help     prints this text and ends\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before the application exists, so that no display is needed.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s %s\n", ramvel::kCapProgram, ramvel::kProgramVersion);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  try {
    TApp app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ramvel::kCapProgram));
    QApplication::setApplicationVersion(QString::fromUtf8(ramvel::kProgramVersion));
    // The desktop matches the windows to the installed entry ramvel.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ramvel"));
    QApplication::setWindowIcon(ramvel::ProgramIcon());
    // The file dialog and the message boxes say 開く and キャンセル like the rest of the program.
    if (!ramvel::InstallQtJapanese())
      std::fprintf(stderr, "ramvel: Qt's Japanese texts are not installed\n");
    ramvel::TQtUiHost host;
    ramvel::TUiHostScope scope(host);
    const ramvel::TProgDirs dirs =
        ramvel::ResolveProgDirs(QApplication::applicationDirPath().toStdString(), RAMVEL_DATA_REL,
                                std::getenv("HOME"), std::getenv("XDG_DATA_HOME"));
    const ramvel::TStatus prepared =
        dirs.Installed ? ramvel::PrepareUserBase(dirs) : ramvel::TStatus::Ok();
    ramvel::TFrmMain main(dirs.Base);
    main.DataDir = dirs.Data;
    host.SetParent(&main);
    // Without a window manager a maximised window keeps its first size: start from most of the
    // screen so that the board has room either way.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      main.resize(screen->availableGeometry().size() * 9 / 10);
    }
    main.showMaximized();
    // Told once the window is up; the program starts either way. Qt has taken its own options
    // out of the arguments, so what is left is the board.
    const QStringList args = QApplication::arguments();
    const std::string board = args.size() > 1 ? args.at(1).toStdString() : std::string();
    QTimer::singleShot(0, &main, [&main, prepared, board] {
      if (!prepared) ramvel::ShowMsgBox(ramvel::kCapError, prepared.Msg());
      if (!board.empty()) main.OpenBrdFolder(board);
    });
    return QApplication::exec();
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "ramvel: %s\n", ex.what());
  } catch (...) {
    std::fprintf(stderr, "ramvel: unexpected failure\n");
  }
  return 1;
}
