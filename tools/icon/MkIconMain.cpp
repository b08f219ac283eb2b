// ramvel-mkicon SVG PNG SIZE: renders the program's icon from its drawing into a square PNG of
// SIZE pixels with a transparent background, so the PNG never drifts from the SVG.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "Usage: ramvel-mkicon SVG PNG SIZE\n");
    return 2;
  }
  // Drawing needs no screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int size = std::atoi(argv[3]);
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid() || size <= 0) {
    std::fprintf(stderr, "ramvel-mkicon: cannot read %s\n", argv[1]);
    return 2;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
  }
  if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "ramvel-mkicon: cannot write %s\n", argv[2]);
    return 2;
  }
  return 0;
}
