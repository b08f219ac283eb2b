// TFrmAbout: the about box with the program's name and version.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QImage>

class QLabel;
class QPushButton;

namespace ramvel {

// The program's icon (a train on a track), drawn from the built-in SVG at size x size pixels on a
// transparent ground; a null image only if the drawing is missing from the build.
QImage ProgramIconImage(int size);
// The icon for windows, in the sizes a desktop asks for.
QIcon ProgramIcon();

class TFrmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmAbout(QWidget* parent = nullptr);

  QLabel* ImgIcon;
  QLabel* LblName;
  QLabel* LblVersion;
  QLabel* LblText;
  QPushButton* BtnOk;
};

}  // namespace ramvel
