// The board view (TBrdEdit): owner of the board, its terrain and the off-screen pictures, which
// it paints from the toolkit-free view state of TBrdView; and its mouse dispatch.
#pragma once

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <string>

#include "engine/UrwBrdData.h"
#include "engine/UrwBrdView.h"
#include "engine/UrwLayoutEdit.h"
#include "foundation/UrwCmnDef.h"
#include "view/UrwDrawKit.h"
#include "view/UrwStaDraw.h"

namespace ramvel {

// What the board view shows outside its own picture; the main window implements it. Every call
// does nothing by default, so a headless user overrides only what it wants to see.
class TBrdEditSink {
 public:
  virtual ~TBrdEditSink() = default;
  // Status bar panel 0 (the edit mode) or 1 (messages and object information).
  virtual void SetStatusText(int panel, const std::string& text);
  // The pointer over the board area: Qt::ArrowCursor, Qt::PointingHandCursor (an object under
  // the pointer), Qt::SplitHCursor or Qt::SplitVCursor (a click scrolls across or up/down).
  virtual void SetViewCursor(Qt::CursorShape shape);
  // The terrain size label ("横%dkm x 縦%dkm").
  virtual void SetLandSizeText(const std::string& text);
  // The minimap: the terrain thumbnail with the view's outline. Shown from the first call on.
  virtual void ShowMiniMap(const QImage& image);
};

// Width of the minimap thumbnail, pixels.
inline constexpr int32_t kMiniMapWidth = 105;
// Font sizes of the board picture, points.
inline constexpr int kTrainLabelPoints = 9;

class TBrdEdit {
 public:
  // sink may be null (nothing is shown outside the picture) and must outlive the view.
  explicit TBrdEdit(TBrdEditSink* sink = nullptr);
  virtual ~TBrdEdit() = default;
  TBrdEdit(const TBrdEdit&) = delete;
  TBrdEdit& operator=(const TBrdEdit&) = delete;

  void SetSink(TBrdEditSink* sink) { sink_ = sink; }

  TBrdData Brd;        // the open board, owned
  TBrdView View{Brd};  // the view's state: position, modes, clock, label options
  TLayoutEdit Layout{View};  // placing, deleting, renaming and line editing
  QImage LandBmp;      // the terrain as loaded
  QImage LandThumb;    // the terrain recoloured for the minimap; null without terrain
  QImage LayerBmp;     // terrain, stations and rails of the last recompute
  QImage FrameBmp;     // the layer with the rubber band or the trains: what the window shows
  QImage MiniMapBmp;   // the thumbnail with the view's outline, as last shown

  // ---- Life cycle (UrwBrdEditor.cpp) ----

  // A view of width x height pixels at 18 m per pixel on the terrain's corner, and an empty
  // board. Called before a board is created or opened.
  void InitView(int32_t height, int32_t width);
  // Reads the board root/name and its terrain. A board that cannot be read leaves the board
  // empty; a terrain that cannot be read leaves the board loaded and the previous terrain in
  // place. The message names the file.
  TStatus LoadBoard(const std::string& root, const std::string& name);
  // Reads a terrain picture (pure blue pixels are sea, pure white pixels land) and shows its
  // size and minimap. On failure nothing changes.
  TStatus LoadLand(const std::string& file);
  // LoadLand with anything thrown turned into a failure.
  TStatus LoadLandGuarded(const std::string& file);
  // Writes the board into its folder; after a full save the files of renamed stations bear
  // their new names.
  // overwrite: saved even over changes another program made meanwhile (SaveBrd).
  TStatus SaveBoard(bool keepStations, bool overwrite = false);
  // Design mode, idle, nothing selected, both status panels cleared.
  void EndEdit();

  // ---- Drawing (UrwBrdEditorDraw.cpp) ----

  // With recompute: scrolls by half a view per step of dx, dy, recomputes the view, repaints the
  // layout layer and, in run mode, locates every train set afresh at CurTime. Always composes
  // the frame and, when canvas is given, copies it there at (0, 0).
  void DrawBoard(QPainter* canvas, bool recompute, int32_t dx = 0, int32_t dy = 0);
  // Repaints the layout layer (terrain, stations, rails) and the minimap from the state of the
  // last recompute.
  void DrawLayout();

  // ---- Mouse (UrwBrdEditorMouse.cpp) ----

  // kind is kMouseMove, kMouseLeftUp or kMouseOtherUp; x, y in view pixels. True when the view
  // or the layout changed, so that the caller redraws with recompute.
  bool MouseEvent(int32_t kind, int32_t x, int32_t y);

 protected:
  // ---- Editing hooks ----
  // The mouse dispatch reaches the editing operations of Layout through these.

  // kEditLine: a button released on the station CurObjId of the line being edited.
  virtual bool LineEditClick(int32_t kind);
  // kEditIdle: left button released on the object CurObjId at its end CurSide.
  virtual bool StartRailAdd();
  // kEditIdle: other button released on the object CurObjId.
  virtual bool DelObj();
  // kEditPutSta: every move and release while a station is being placed.
  virtual bool StaPlaceEvent(int32_t kind, int32_t x, int32_t y);
  // kEditPutRail: every move and release while a rail is being placed.
  virtual bool RailPlaceEvent(int32_t kind, int32_t x, int32_t y);

  void SetStatus(int panel, const std::string& text);
  void SetCursor(Qt::CursorShape shape);
  // Status panel 1: the name of a station or the length and id of a rail.
  void ShowObjInfo(int32_t id);

 private:
  // UrwBrdEditorDraw.cpp
  void PaintTerrain(QPainter& p);
  void PaintSea(QPainter& p);
  void UpdateMiniMap();
  void PaintStations(QPainter& p);
  void PaintRails(QPainter& p);
  void PaintRail(QPainter& p, TRailObj& rail);
  void ComposeFrame();
  void PaintRubberBand(QPainter& p);
  void PaintTrains(QPainter& p);
  bool DrawTrain(QPainter& p, int pass);
  bool PaintTrain(QPainter& p, const TCarObj& car);
  void PaintTrainLabel(QPainter& p, const TCarObj& car, TPoint head);
  TStaDrawArgs StaArgs(const TStaObj& sta, uint8_t flags) const;
  // UrwBrdEditorMouse.cpp
  bool RunModeMove(int32_t x, int32_t y);
  bool DispatchEdit(int32_t kind, int32_t x, int32_t y);
  bool HoverEvent(int32_t kind, int32_t x, int32_t y, bool withRails);

  TBrdEditSink* sink_ = nullptr;
  // Train labels laid out in the label font, kept from frame to frame: laying out a text shapes
  // it, and the same labels come back at every tick.
  TLaidTextCache labels_;
};

}  // namespace ramvel
