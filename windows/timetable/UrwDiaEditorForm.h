// TFrmDiaEditor: the timetable editor window of one line: the line picture with the scroll and
// direction panels, the time grid GrdTm, the menus and the grid popup over TDiaEditor.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QComboBox>
#include <QLabel>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "timetable/UrwDiaEditor.h"
#include "windows/common/UrwUndoMenu.h"

class QLineEdit;
class QMenu;
class QAction;
class QMenuBar;
class QPushButton;
class QScrollBar;

namespace ramvel {

class TFrmSelSta;
class TFrmDiaDialogs;
class TFrmDiagram;
class TFrmHomeChart;
class TFrmDiaProblems;

// A string grid with one fixed row and one fixed column, fixed-height rows and a vertical scroll
// bar only. The owner draws every cell.
class TStrGrid : public QWidget {
  Q_OBJECT

 public:
  explicit TStrGrid(QWidget* parent);

  static constexpr int kLineW = 1;  // grid line width, pixels
  int DefaultRowHeight = 20;
  std::vector<int> ColWidths;                   // column 0 first
  std::vector<std::vector<std::string>> Cells;  // [row][col]
  QScrollBar* VBar;

  int ColCount() const { return static_cast<int>(ColWidths.size()); }
  int RowCount() const { return static_cast<int>(Cells.size()); }
  void SetRowCount(int rows);
  // Columns: only column 0 (64 px) left.
  void ResetCols();
  void AddCol(int width, const std::string& header);
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);
  // The rectangle of a cell on the widget; empty when it is scrolled out of view.
  QRect CellRect(int col, int row) const;
  // The cell under a point; false outside every cell.
  bool MouseToCell(QPoint p, int& col, int& row) const;
  int TopRow() const;  // first scrollable row in view

  std::function<void(QPainter&, int, int, const QRect&)> OnDrawCell;
  std::function<void(QPoint)> OnMouseMove;
  std::function<void(Qt::MouseButton, QPoint)> OnMouseUp;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  // Up, Down, Page Up, Page Down, Home and End scroll the rows.
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void UpdateBar();
  int ColLeft(int col) const;
};

// A bevelled panel with a caption that acts on a click (上り, 下り, 圧縮).
class TClickPanel : public QLabel {
  Q_OBJECT

 public:
  TClickPanel(const QString& caption, int tag, QWidget* parent);
  int Tag;
  std::function<void()> OnClick;
  bool IsDown() const { return frameShadow() == QFrame::Sunken; }

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
};

// The area that shows the line picture.
class TLinePicArea : public QWidget {
  Q_OBJECT

 public:
  explicit TLinePicArea(QWidget* parent);
  const QImage* Bmp = nullptr;  // BackBmp of the editor
  std::function<void(QPoint)> OnMouseMove;
  std::function<void()> OnResize;
  std::function<void()> OnLeave;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void leaveEvent(QEvent* e) override;
};

// One drawn station of the picture: its id and its horizontal extent [From, To) in pixels.
struct TStaCol {
  int32_t StaId = 0;
  int32_t From = 0;
  int32_t To = 0;
};

class TFrmDiaEditor : public QDialog, public TDiaView {
  Q_OBJECT

 public:
  // dialogs: the editor's modal dialogs (not owned); null installs the real windows over sel,
  // the program's selection dialog (not owned; one of its own when null).
  TFrmDiaEditor(TDiaDialogs* dialogs, TFrmSelSta* sel, QWidget* parent = nullptr);
  ~TFrmDiaEditor() override;

  // ---- Geometry ----
  static constexpr int kStaColW = 130;
  static constexpr int kBlkW = 30;
  static constexpr int kPicH = 240;
  static constexpr int kPicMidY = 120;
  static constexpr float kAlongScale = 7.3846154f;  // metres per pixel along a station
  static constexpr float kAcrossScale = 0.33333334f;

  // ---- State ----
  std::unique_ptr<TDiaEditor> Ed;  // the model and the commands
  std::string BrdFolder;
  QImage LineBmp, BackBmp;
  int32_t BmpLeft = 69;
  int32_t HoverStaId = -1;
  int32_t HoverCarId = -1;
  std::vector<TStaCol> StaCols;
  std::vector<std::string> PathElems;  // sorted
  // Opens the diagnostics window for a station (staId) or a train set (carNo), -1 none; F1.
  std::function<void(int32_t staId, int32_t carNo)> OnDiagnostics;

  // ---- Controls ----
  QMenuBar* MainMenu1;
  QMenu* MnuFile;
  QAction *MnuOudImport, *MnuOudExport;
  QAction* MnuCsv;  // CSVとして書き出し...
  QAction *MnuChk, *MnuReg;
  QMenu* MnuEdit;
  TUndoActions MnuUndoRedo;  // 編集: 元に戻す, やり直し
  QMenu* MnuCar;
  QAction *MnuCarNew, *MnuCarSpec, *MnuCarDel;
  QMenu* MnuTrain;
  QAction *MnuTrainNew, *MnuTrainBridge, *MnuChgTrNo, *MnuTrNote, *MnuTrainDel, *MnuShiftTime,
      *MnuRepeat;
  QMenu* MnuView;
  QAction *MnuDiagram, *MnuHomeChart;
  QComboBox* CbxDia;  // ダイヤ: the board's timetable being edited, at the menu bar's right
  QMenu* PMnuGrid;
  QAction *MnuHint, *N9, *MnuTrainDel2, *N4, *MnuKukanAdd, *MnuKukanDelAll, *N8, *MnuCarDiv,
      *MnuCarMarge, *N6, *MnuShowPath, *MnuOccupyStatus, *MnuShowOneCar, *MnuShowOneSta, *N11,
      *MnuShiftTime2, *MnuRepeat2, *MnuTrNote2;
  QFrame* PnlTopLeft;
  TClickPanel *PnlNobori, *PnlKudari, *PnlBlkPack;
  QPushButton *Button1, *BtnL5, *BtnL1;
  QLabel* LblCarID;
  QLineEdit* EdtCarId;
  QFrame* PnlTopRight;
  QPushButton *Button2, *BtnR5, *BtnR1;
  TLinePicArea* ImgLine;
  QLabel* SBarDia;
  QFrame* PnlTm;
  TStrGrid* GrdTm;

  // ---- Opening ----
  // Opens the board's current line (its line stations loaded) on brd, which must outlive the
  // window.
  void OpenDia(TBrdData& brd);
  void ApplyDir();
  void UpdateCarMenus();
  void SetPanelDown(TClickPanel* panel, bool down);
  void SetBlkPack(bool v);

  // ---- TDiaView ----
  void RefreshView(bool full) override;
  void DrawTmTbl() override;
  int32_t ShownStaCount() const override { return static_cast<int32_t>(StaCols.size()); }

  // ---- The line picture (UrwDiaLinePicForm.cpp) ----
  int PicWidth() const;
  int SectionWidth(int32_t q) const;
  void DrawStaLine();
  void ShowOccupiedStatus(QPainter& p, int32_t q, int32_t i, int x, int y1, int y2);
  void MakePathElems();
  int32_t FitLeft(int32_t k) const;
  // y of an entry slot (code) of station sta in the picture.
  static int SlotY(const TStaObj& sta, int32_t code, bool turned);

  // ---- Grid ----
  void GrdTmDrawCell(QPainter& p, int col, int row, const QRect& rect);
  void GrdTmMouseMove(QPoint pos);
  void ShowHoverNote(int col, int row);
  void GrdTmMouseUp(Qt::MouseButton button, QPoint pos);
  void FormMouseMove(QPoint picPos);
  // Grid cell to (slot, train); false when the row names no train.
  bool CellToDia(int col, int row, int32_t& slot, int32_t& tr) const;

  // ---- Commands ----
  void PnlMukiClick(int tag);
  int32_t MukiTarget(int tag) const;
  void PnlDirectClick(int tag);
  void PnlBlkPackClick();
  void MnuChkClick();
  // 元に戻す / やり直し: the editor's last step taken back or done again.
  void MnuUndoClick(bool redo);
  // Names the steps in the 編集 menu and enables its items as the history allows.
  void UpdateUndoMenu();
  void MnuShowOneStaClick();
  void EdtCarIdClick();
  void MnuShowOneCarClick();
  void ShowOneCar(int32_t n);
  void MnuOccupyStatusClick();
  void MnuShowPathClick();
  // 時刻をずらす... and 繰り返し作成... (menu: tr -1, a train or train set is chosen; popup: the
  // clicked train). The result is shown in a box after the grid has been rebuilt.
  void MnuShiftTimeClick(int32_t tr);
  void MnuRepeatClick(int32_t tr);
  // Every bulk edit runs through here: op changes the board (true when it did), then the model
  // and the occupancy are rebuilt, the window redrawn and the undo menu updated.
  bool RunBulkEdit(const std::function<bool()>& op);

  // ---- The viewer windows (UrwDiaEditorViewForm.cpp) ----
  // Both are windows of their own beside the editor, owned by it, open while it is; null until
  // first opened.
  TFrmDiagram* FrmDiagram = nullptr;
  TFrmHomeChart* FrmHomeChart = nullptr;
  // 表示 › ダイヤグラム: the time-space diagram of the line.
  void MnuDiagramClick();
  // 表示 › 番線使用図: the chart of the station under the mouse in the picture, else of one
  // chosen from the line's stations.
  void MnuHomeChartClick();
  // システム › チェック: the problem list beside the editor (a box when there is none).
  TFrmDiaProblems* FrmProblems = nullptr;
  void ShowProblems(const std::vector<TLineProblem>& problems);
  // A problem picked in the list: its first train selected in the grid, the diagram centred on
  // its time.
  void PickProblem(const TLineProblem& p);
  // Marks train column `column` (number trNo) as the current train in the grid, switching the
  // direction shown when it runs the other way, and scrolls its row and first station into view.
  // False when the grid has no such train.
  bool SelectTrain(const std::string& trNo, int32_t column);

 protected:
  void reject() override;
  void done(int r) override;
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  void MakeMenus();
  // Writes the grid as it is shown (its direction or one-train-set / one-station order) as CSV.
  void MnuCsvClick();
  void MakePopup();
  void MakeTopPanels(QWidget* top);
  QPushButton* MakeMukiButton(QWidget* parent, const QString& caption, int tag, int x, int y);
  void ConnectCommands();
  bool FormCloseQuery();
  void DrawTimeInCell(QPainter& p, const QRect& r, int pos, const QString& text, bool inverted);
  bool RunsLeftwards(int32_t tr) const;
  void MarkForPopup(int col, int row, int32_t slot, int32_t tr);
  int PopupTagCol() const;
  int PopupTagRow() const;
  TStaObj* LineSta(int32_t q, bool& turned);
  std::string StaPathOf(int32_t staId) const;
  void DrawLineSta(QPainter& p, const TStaObj& sta, bool turned, int x);
  void DrawSection(QPainter& p, int32_t q, const TStaObj& sta, bool turned, const TStaObj& next,
                   bool nextTurned, int x, int s);
  void NoteDrawError(const std::string& tag, const std::string& key);
  void MakeViewMenu();
  // ---- ファイル menu: OuDia files (UrwDiaOudForm.cpp) and CSV (UrwDiaCsvForm.cpp) ----
  void MakeFileMenu();
  // ファイル › OuDiaへ書き出し: the line's timetable as .oud or .oud2, with what was left out.
  void MnuOudExportClick();
  // ファイル › OuDiaから読み込み: an OuDia file entered onto the line, kept (and the board
  // saved) only when the user confirms the report; otherwise the train sets made are removed.
  void MnuOudImportClick();
  void PlaceBeside(QWidget* w);
  // ---- The ダイヤ choice (UrwDiaChoiceForm.cpp) ----
  void MakeDiaChoice();
  // Edits timetable k of the board instead: the model, the occupancy and the viewer windows are
  // made again from its trains; the undo history starts anew. Refused while a train is entered.
  void CbxDiaChange(int k);
  // Redraws the open viewer windows when the model changed since they last drew it.
  void RefreshCharts();
  size_t DiaStamp() const;

  std::unique_ptr<TFrmDiaDialogs> ownDialogs_;
  std::unique_ptr<TFrmSelSta> ownSel_;
  TDiaDialogs* ed_dialogs_ = nullptr;
  TBrdData* brd_ = nullptr;
  int popupTag_ = 0;       // col * 10000 + row of the cell the popup was opened on
  bool noteShown_ = false;  // the status bar shows the note of the train under the mouse
  size_t chartStamp_ = 0;  // DiaStamp() the viewer windows show
};

}  // namespace ramvel
