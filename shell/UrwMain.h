// TFrmMain: the main window. It frames the board view with the side panel and the status bar,
// holds the menu, opens and saves boards, switches between design and run mode and drives the
// operation clock.
#pragma once

#include <QMainWindow>
#include <QFileSystemWatcher>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/UrwShellState.h"
#include "interop/UrwGtfsExport.h"
#include "view/UrwBrdEditor.h"
#include "windows/common/UrwUndoMenu.h"

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace ramvel {

struct TOudDoc;
class TFrmAbout;
class TFrmDebug;
class TFrmSelSta;

// The board area: shows the board view's frame and passes the mouse to the main window.
class TBoardArea : public QWidget {
  Q_OBJECT

 public:
  explicit TBoardArea(QWidget* parent);
  const QImage* Frame = nullptr;  // the picture shown; owned by the board view

 signals:
  void MouseMoved(int x, int y);
  void MouseReleased(Qt::MouseButton button, int x, int y);
  void DoubleClicked(int x, int y);
  void Resized();
  void PointerLeft();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void leaveEvent(QEvent* e) override;
};

// Ways OpenBrd finds the board.
enum class TOpenKind { kNew, kChoose, kRecent };

class TFrmMain : public QMainWindow, public TBrdEditSink {
  Q_OBJECT

 public:
  // baseDir: the program folder (the executable's), which holds the settings, the recent list
  // and the boards.
  explicit TFrmMain(const std::string& baseDir, QWidget* parent = nullptr);
  ~TFrmMain() override;

  // ---- State ----
  std::string BaseDir;  // ends with "/"
  // The piece files and the help page: BaseDir, or the install's share folder when installed.
  std::string DataDir;
  // The folder holding the open board: BaseDir, or the folder of a board opened by its path.
  std::string BrdBase;
  std::vector<std::string> RecentBrds;  // most recent first
  int32_t IntvLevel = 0;                // the clock's tick level 0..2
  TBrdEdit Edit;                        // the board view, which owns the board
  TFrmSelSta* SelSta;                   // the selection dialog, created once
  TFrmDebug* Debug;                     // the diagnostics window, created once
  TFrmAbout* About;
  // Commands whose windows arrive with later features stay disabled until they are connected.
  struct TFeatures {
    bool Backup = true, StaEditor = true, LineEdit = true, DiaEditor = false, Layout = true;
  } Features;
  // The wall clock (hour, minute) read when run mode starts with the clock not set; replaceable
  // so that the start can be checked at any hour.
  std::function<std::pair<int, int>()> WallClock;
  // Opens a local file with the desktop's default handler.
  // Hands a document to the desktop's default application; false when that failed.
  std::function<bool(const std::string&)> OpenDocument;

  // ---- Controls ----
  TBoardArea* BoardArea;
  QFrame* PnlMain;
  QLabel* LblMode;
  QGroupBox* GbxTm;
  QLineEdit* EdtCurTm;
  QLineEdit* EdtCurTmSec;
  QComboBox* CbxIntv;
  QFrame* PnlTmStat;
  QLabel* ImgTmOn;
  QLabel* ImgTmOff;
  QPushButton* BtnStep;
  QGroupBox* GbxDsp;
  QComboBox* CbxScale;
  std::vector<QPushButton*> BtnMuki;  // the eight scroll buttons, Tag in property "Tag"
  QLabel* LblLandSize;
  QLabel* ImgLand;
  QGroupBox* Gbx4StaEdit;
  QPushButton* BtnStaRoteL;
  QPushButton* BtnStaRoteR;
  QLabel* SBarPanel[2];
  // The notice that another program changed the open board's files; hidden while they are as
  // the board was read or last saved.
  QLabel* SBarDisk;
  QFileSystemWatcher* BrdWatch;  // the open board's folders
  QTimer WatchDelay;             // one look after a burst of changes
  QTimer Timer;
  int TimerTag = 0;  // set while a tick is handled

  // ---- Menu ----
  QMenu* MnuFile;
  QAction *MnuNew, *MnuLoad, *MnuLog[3], *MnuSave, *MnuSaveBAK, *MnuLoadBAK, *MnuExit;
  QAction* MnuNewOud;           // OuDiaから新規作成...
  QAction* MnuNewGtfs;          // GTFSから新規作成...
  QAction *MnuGtfs, *MnuImage;  // GTFSとして書き出し..., 画像として保存...
  QAction *MnuModeSel, *MnuStaEdit, *MnuDiaEdit, *MnuLandLoad, *MnuOpt;
  QMenu* MnuLineEdit;
  QAction *MnuLineNew, *MnuLineMod, *MnuLineDel, *MnuLineRing, *MnuLineCancel, *MnuLineFix;
  QMenu* MnuLayout;
  QMenu* MnuEdit;  // 編集(&E): undo and redo of design mode
  TUndoActions MnuUndoRedo;
  QAction *MnuStaAdd, *MnuStaRename;
  QMenu* Help1;
  QAction *H1, *MnuAbout;

  // ---- Board files (UrwMainFile.cpp) ----
  bool OpenBrd(TOpenKind kind, int index = 0);
  // Opens the board in folder path (as named on the command line). A board outside BaseDir is
  // read and saved where it is but not put on the recent list, whose names are BaseDir's.
  // Anything that is not a board is refused with a message naming path.
  bool OpenBrdFolder(const std::string& path);
  // True when the board was saved; a failure is shown to the user. When another program changed
  // the board's files since they were read, the user chooses: 読み直す (the board is read again,
  // this edit given up), 別名で保存 (this edit saved as a new board) or 上書き (saved over them).
  bool SaveCurBrd(bool keepStations);
  // Reads the open board again from its folder, unsaved changes given up.
  bool ReloadBrd();
  // Asks for a new board name and saves the open board as that board in BaseDir, with the
  // terrain, the station designs and the lines of the board it was; that board is open after.
  bool SaveAsNewBrd(bool keepStations);
  // Watches the open board's folders (none while no board is open) and shows SBarDisk while
  // its files differ from what was read or saved.
  void WatchBrd();
  void WatchBrdFiles();
  void BrdDiskChanged();
  // Above this many files only the folders are watched (the system's watches are limited).
  static constexpr size_t kMaxWatchedFiles = 4000;
  void AddRecentBrd(const std::string& name);
  bool ConfirmDiscard();
  bool ConfirmSaveFirst();
  bool ChooseLand();
  void MnuNewClick() { OpenBrd(TOpenKind::kNew); }
  void MnuLoadClick() { OpenBrd(TOpenKind::kChoose); }
  void MnuLogClick(int tag) { OpenBrd(TOpenKind::kRecent, tag - 1); }
  void MnuSaveClick() { SaveCurBrd(false); }
  void MnuLandLoadClick();
  // The station designer, opened modally on the saved board; the board is read again after it.
  void MnuStaEditClick();
  // Writes the recent list and the settings.
  void FormClose();

  // ---- Backups and diagnostics (UrwMainBackup.cpp) ----
  void MnuSaveBAKClick();
  // Exports of the open board: the GTFS feed of its timetables, a picture of the view or of the
  // whole board.
  void MnuGtfsClick();
  // Asks for an OuDia file and a board name, makes the board from the file and opens it.
  void MnuNewOudClick();
  // Asks for a GTFS feed, one of its rail routes, a service day and a board name, makes the board
  // from that route's trips of the day and opens it.
  void MnuNewGtfsClick();
  // Asks for the board's name, makes the board from doc, opens it and shows the report after
  // the preface lines; cap is the caption of the boxes.
  void NewBoardFromDoc(const char* cap, const TOudDoc& doc,
                       const std::vector<std::string>& preface);
  void MnuImageClick();
  std::string GtfsOrigin = "35.0,139.0";  // the origin last typed, offered next time
  std::string GtfsStart = kGtfsDefaultStart;  // the first day of service last used
  void MnuLoadBAKClick();
  // Shows the station or rail under the mouse in the diagnostics window (F1 in design mode).
  void ShowDebugAtMouse();
  // Shows the station staId, else the train set carNo (-1: none) in the diagnostics window (F1
  // in the diagram editor).
  void ShowDebugFor(int32_t staId, int32_t carNo);

  // ---- Modes and clock (UrwMainClock.cpp) ----
  void SetMode(bool design);
  void MnuModeSelClick() { SetMode(!Edit.View.DesignMode); }
  void RunClock(bool on);
  void TimerTimer();
  void BtnStepClick();
  void ShowCurTm();
  void EdtCurTmClick();
  void CbxIntvChange() { RunClock(Timer.isActive()); }

  // ---- View (UrwMainView.cpp) ----
  void UpdateMenus();
  void Redraw(bool full, int32_t dx = 0, int32_t dy = 0);
  void FormResize();
  void CbxScaleChange(int idx);
  void BtnMukiClick(int tag);
  void FormDblClick(int x, int y);
  void FormMouseMove(int x, int y);
  void FormMouseUp(Qt::MouseButton button, int x, int y);
  // The pointer left the board: what it pointed at is no longer named.
  void FormMouseLeave();

  // ---- Timetables (UrwMainDias.cpp) ----
  QGroupBox* GbxDia;  // ダイヤ: the timetable that runs and is edited, while a board is open
  QComboBox* CbxDia;
  QMenu* MnuDia;      // ファイル › ダイヤ
  QAction *MnuDiaNew, *MnuDiaRename, *MnuDiaDel, *MnuDiaNote, *MnuKinds;
  // Runs and edits timetable k: the trains are located afresh, the design undo history (which
  // holds train sets) starts anew. Nothing is written.
  void CbxDiaChange(int k);
  // 新規: a new timetable, empty or a copy of the active one, made active.
  void MnuDiaNewClick();
  void MnuDiaRenameClick();
  // 削除: the active timetable, after a question; the board's own cannot be deleted.
  void MnuDiaDelClick();
  // ファイル › ダイヤ › コメント: the active timetable's note, read and edited in an input box.
  void MnuDiaNoteClick();
  // ファイル › ダイヤ › 種別の編集: the kind table window; the board changes only on its OK.
  void MnuKindsClick();
  // The choice and the menu as the board's timetables stand.
  void ShowDiaState();

  // ---- Diagram editor (UrwMainDia.cpp) ----
  void MnuDiaEditClick();
  // Opens the diagnostics window from the diagram editor (F1) for a station or a train set (-1
  // none); replaceable for tests.
  std::function<void(int32_t staId, int32_t carNo)> DiaDiagnostics;

  // ---- Layout and line editing (UrwMainLayout.cpp) ----
  void MnuStaAddClick();
  // 元に戻す / やり直し of design mode.
  void MnuUndoClick(bool redo);
  void MnuStaRenameClick();
  void BtnStaMukiClick(int tag);
  // F1 opens the diagnostics window; the up and down arrows turn a station being placed.
  void FormKeyUp(int key);
  void MnuLineNewClick();
  void MnuLineModClick();
  void MnuLineDelClick();
  void MnuLineRingClick();
  void MnuLineCancelClick();
  void MnuLineFixClick();

  // ---- Options and help (UrwMainView.cpp) ----
  void MnuOptClick();
  void H1Click();
  void MnuAboutClick();
  TShellSettings Settings() const;
  void ApplySettings(const TShellSettings& s);

  // ---- TBrdEditSink ----
  void SetStatusText(int panel, const std::string& text) override;
  // A scope in which messages go to the status bar instead of boxes.
  TQuietBoxes QuietToStatusBar();
  void SetViewCursor(Qt::CursorShape shape) override;
  void SetLandSizeText(const std::string& text) override;
  void ShowMiniMap(const QImage& image) override;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  // UrwMain.cpp: the window's parts, in the order the user sees them.
  void FormCreate();
  void MakeMenu();
  void MakeBoardArea();
  void MakePanel();
  QGroupBox* MakeTimeGroup();
  QGroupBox* MakeDisplayGroup();
  QGroupBox* MakeStaEditGroup();
  QGroupBox* MakeDiaGroup();
  void MakeDiaMenu();
  void MakeStatusBar();
  void FillChoices();
  void ConnectEvents();
  void ConnectDiaEditor();
  // UrwMainLayout.cpp
  void ConnectLayoutEvents();
  void AfterLineCommand(bool changed);
  // UrwMainFile.cpp
  bool AskBrdName(TOpenKind kind, int index, std::string& name);
  void SetupView();
  bool StartNewBrd(const std::string& name, const std::string& path);
  bool LoadChosenBrd(const std::string& name);
  bool AskSaveConflict(bool keepStations, const TStatus& st);
  void LeaveNoBoard();
  void FinishOpen(const std::string& name, bool isNew);

  Qt::CursorShape viewCursor_ = Qt::ArrowCursor;
};

}  // namespace ramvel
