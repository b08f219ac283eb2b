// The program's entry point: the application, the dialog host and the main window.
#include <QApplication>
#include <QScreen>
#include <QString>
#include <cstdio>
#include <exception>

#include "engine/UrwShellState.h"
#include "shell/UrwMain.h"
#include "shell/UrwQtLang.h"
#include "view/UrwQtHost.h"

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

}  // namespace

int main(int argc, char** argv) {
  try {
    TApp app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ramvel::kCapProgram));
    QApplication::setApplicationVersion(QString::fromUtf8(ramvel::kProgramVersion));
    // The file dialog and the message boxes say 開く and キャンセル like the rest of the program.
    if (!ramvel::InstallQtJapanese())
      std::fprintf(stderr, "ramvel: Qt's Japanese texts are not installed\n");
    ramvel::TQtUiHost host;
    ramvel::TUiHostScope scope(host);
    ramvel::TFrmMain main(QApplication::applicationDirPath().toStdString());
    host.SetParent(&main);
    // Without a window manager a maximised window keeps its first size: start from most of the
    // screen so that the board has room either way.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      main.resize(screen->availableGeometry().size() * 9 / 10);
    }
    main.showMaximized();
    return QApplication::exec();
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "ramvel: %s\n", ex.what());
  } catch (...) {
    std::fprintf(stderr, "ramvel: unexpected failure\n");
  }
  return 1;
}
