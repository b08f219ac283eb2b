// TFrmStaEditor: the modal window "駅データの編集" in which the user designs one station's track
// layout with the mouse. It gathers input, hands it to TStaEditor and draws what the model and
// its check say.
#pragma once

#include <QDialog>
#include <QImage>
#include <QWidget>
#include <string>

#include "station_designer/UrwStaEditor.h"
#include "view/UrwStaEditDraw.h"
#include "windows/common/UrwUndoMenu.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;

namespace ramvel {

class TFrmSelSta;
class TFrmStaEnt;

// The designer's picture: shows the composed image and reports the mouse in its own pixels.
class TStaEditPic : public QWidget {
  Q_OBJECT

 public:
  explicit TStaEditPic(QWidget* parent);
  QImage Pic;

 signals:
  void MouseMoved(int x, int y);
  void MouseLeft();
  void MouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
};

class TFrmStaEditor : public QDialog {
  Q_OBJECT

 public:
  // selSta: the program's selection dialog for choosing station files; null makes one of the
  // designer's own.
  explicit TFrmStaEditor(QWidget* parent = nullptr, TFrmSelSta* selSta = nullptr);

  // Reads the pieces from pieceDir (empty: the program folder), takes the board folder and the
  // board's station counter and starts a new station. On failure the designer must not be shown.
  TStatus Open(const std::string& progDir, const std::string& brdName, int32_t idSta,
               const std::string& pieceDir = {});
  // The board's station counter as the designer leaves it.
  int32_t IdSta() const { return Ed.IdSta(); }

  TStaEditor Ed;

  // ---- Controls ----
  QMenuBar* MainMenu;
  QMenu *MnuFile, *MnuEdit, *MnuEntCrs, *MnuHome;
  QAction *MnuNew, *MnuCopy, *MnuOpen, *MnuSave, *MnuExit;
  TUndoActions MnuUndoRedo;  // 元に戻す and やり直し at the top of 編集
  QAction *MnuRevV, *MnuRevH, *MnuMovU, *MnuMovD;
  QAction *MnuEntCrsL, *MnuEntCrsR, *MnuHomeU, *MnuHomeL;
  TStaEditPic* ImgSta;
  QFrame* PnlName;
  QLineEdit* EdtName;
  QLineEdit* EdtDesc;
  QComboBox* CbxEntL;
  QComboBox* CbxEntR;
  QLabel* SBar;
  TStaPointer Pointer;  // where the mouse is over the picture

  // ---- Handlers ----
  void MnuNewClick() {
    Run([this] { Ed.New(); });
  }
  void MnuCopyClick() {
    Run([this] { Ed.Copy(); });
  }
  void MnuOpenClick() {
    Run([this] { Ed.OpenSta(); });
  }
  void MnuSaveClick() {
    Run([this] { Ed.Save(); });
  }
  void MnuRevVClick() {
    RunCommitted([this] { Ed.RevV(); });
  }
  void MnuRevHClick() {
    RunCommitted([this] { Ed.RevH(); });
  }
  void MnuMovUClick() {
    RunCommitted([this] { Ed.MovU(); });
  }
  void MnuMovDClick() {
    RunCommitted([this] { Ed.MovD(); });
  }
  void MnuEntCrsClick(int tag);
  // 元に戻す / やり直し.
  void MnuUndoClick(bool redo);
  void MnuHomeClick(int tag);
  void CbxEntChange(int tag);
  void ImgStaMouseMove(int x, int y);
  void ImgStaMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y);
  // Composes the picture from the model and its check and shows it with the status line.
  void Redraw();

  // Closing (終了, Escape, the window's close button) asks first when there are unsaved changes.
  void reject() override;

 private:
  void MakeMenu();
  void MakeLayout();
  void MakeNamePanel();
  void ConnectMenu();
  void ConnectFields();
  void ConnectPicture();
  // Runs a command that commits the fields itself, then shows the result.
  template <typename F>
  void Run(F&& command) {
    command();
    ShowState();
  }
  // Commits the fields, runs the command unless an entry count was refused, and shows the
  // result.
  template <typename F>
  void RunCommitted(F&& command) {
    if (Ed.CommitFields()) command();
    ShowState();
  }
  // Takes the model's fields, caption and focus request into the controls and redraws.
  void ShowState();
  std::string StatusText(const TStaCheck& check) const;

  TFrmSelSta* selSta_;
  TFrmStaEnt* entForm_;
  // Whether an entry count box was edited since its text was last handed to the model: Enter
  // and leaving the box both confirm a typed count, which is then checked once.
  bool entEdited_[2] = {false, false};
};

}  // namespace ramvel
