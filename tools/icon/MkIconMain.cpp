// ramvel-mkicon PNG SIZE: writes the program's icon, drawn from the SVG built into the windows,
// as a square PNG of SIZE pixels, so that the installed PNG never drifts from the drawing.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "shell/UrwAbout.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[2]) <= 0) {
    std::fprintf(stderr, "Usage: ramvel-mkicon PNG SIZE\n");
    return 2;
  }
  // Drawing needs no screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QImage image = ramvel::ProgramIconImage(std::atoi(argv[2]));
  if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "ramvel-mkicon: cannot write %s\n", argv[1]);
    return 2;
  }
  return 0;
}
