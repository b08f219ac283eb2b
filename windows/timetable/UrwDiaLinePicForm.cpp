// The line picture of the diagram editor: the stations with their layouts and the sections with
// their tracks side by side, laid out together with the columns of the time grid; the block
// occupation at one time and the path of one train.
#include <algorithm>
#include <cmath>

#include "windows/timetable/UrwDiaEditorForm.h"
#include "view/UrwDrawKit.h"
#include "view/UrwStaDraw.h"

namespace ramvel {

namespace {

const QColor kClGray(128, 128, 128);
const QColor kClSilver(192, 192, 192);
const QColor kClWhite(255, 255, 255);
const QColor kClAqua(0, 255, 255);
constexpr uint8_t kLineStaFlags = kDrawJoints | kDrawCrossings | kDrawNumbers | kDrawLeadShift;

bool Contains(const std::vector<std::string>& sorted, const std::string& s) {
  return std::binary_search(sorted.begin(), sorted.end(), s);
}

}  // namespace

int TFrmDiaEditor::PicWidth() const { return std::max(1, ImgLine->width()); }

int TFrmDiaEditor::SectionWidth(int32_t q) const {
  if (Ed->BlkPack || q < 0 || q >= static_cast<int32_t>(brd_->Sections.size())) return kBlkW;
  return kBlkW * std::max(1, brd_->Sections[q].BlkPerTrack);
}

// Slots lie 4 m apart, centred on the axis; a turned station mirrors them.
int TFrmDiaEditor::SlotY(const TStaObj& sta, int32_t code, bool turned) {
  const TEntCode e = SplitEntCode(code);
  const int32_t side = e.Side == 0 ? 0 : 1;
  const int32_t c = e.Slot - (sta.EntCount[side] + 1) / 2;
  const int32_t c2 = turned ? 1 - c : c;
  return static_cast<int>(std::nearbyint(kPicMidY + kSlotGapM * c2 / kAcrossScale));
}

// The station of slot q and whether it is drawn from its other end. The picture is drawn on
// resizing too, where no box may open: a station that is missing is named in the status bar.
TStaObj* TFrmDiaEditor::LineSta(int32_t q, bool& turned) {
  if (q < 0 || q >= static_cast<int32_t>(brd_->LineStas.size())) return nullptr;
  turned = q < static_cast<int32_t>(brd_->LineSides.size()) && brd_->LineSides[q] == 0;
  TStaObj* sta = brd_->FindSta(brd_->LineStas[q], "");
  if (sta == nullptr) NoteDrawError("STA", brd_->LineStas[q]);
  return sta;
}

void TFrmDiaEditor::NoteDrawError(const std::string& tag, const std::string& key) {
  SBarDia->setText(QStr("Error(" + tag + ":" + key + ")"));
}

// The way through station sta on the shown path ("code|item|item..."); empty when none.
std::string TFrmDiaEditor::StaPathOf(int32_t staId) const {
  for (const std::string& e : PathElems) {
    // A bare entry code marks a section's track, not a way through the station.
    int32_t code = 0;
    if (e.find('|') == std::string::npos || !ParseInt(TextBefore(e, "|"), code)) continue;
    if (SplitEntCode(code).Id == staId) return e;
  }
  return {};
}

void TFrmDiaEditor::DrawLineSta(QPainter& p, const TStaObj& sta, bool turned, int x) {
  const std::string path = StaPathOf(sta.Id);
  TStaDrawArgs a;
  a.Origin = turned ? TPoint{x + kStaColW, kPicMidY + 12} : TPoint{x, kPicMidY};
  a.Flags = turned ? kLineStaFlags | kDrawTurned : kLineStaFlags;
  a.OccTime = Ed->OccTm;
  a.HighlightPath = path;
  a.BackColour = 0x808080;
  a.TrackColour = 0xFFFFFF;
  a.AcrossScale = kAcrossScale;
  a.AlongScale = kAlongScale;
  DrawSta(p, sta, a);
}

// The tracks of section q from the station drawn ending at x, s pixels wide.
void TFrmDiaEditor::DrawSection(QPainter& p, int32_t q, const TStaObj& sta, bool turned,
                                const TStaObj& next, bool nextTurned, int x, int s) {
  if (q >= static_cast<int32_t>(brd_->Sections.size())) return;
  const TSection& sec = brd_->Sections[q];
  for (int32_t i = 0; i < sec.Tracks && i < kMaxSlots; ++i) {
    const int32_t a0 = sec.TrackStart[i], b0 = sec.TrackEnd[i];
    const bool onPath = !PathElems.empty() &&
                        (Contains(PathElems, IntText(a0)) || Contains(PathElems, IntText(b0)));
    const int y1 = SlotY(sta, a0, turned), y2 = SlotY(next, b0, nextTurned);
    DrawPlainLine(p, {x, y1}, {x + s, y2}, onPath ? kClAqua : kClWhite);
    ShowOccupiedStatus(p, q, i, x, y1, y2);
  }
}

// Stations and sections from LeftSta on, as far as they fit; each one drawn gets its column.
void TFrmDiaEditor::DrawStaLine() {
  const int w = PicWidth();
  LineBmp = QImage(w, kPicH, QImage::Format_RGB32);
  LineBmp.fill(kClGray);
  StaCols.clear();
  GrdTm->ResetCols();
  GrdTm->ColWidths[0] = BmpLeft - TStrGrid::kLineW;  // stations stand above their columns
  QPainter p(&LineBmp);
  const bool entering = Ed->Entering();
  const auto current = [&](int32_t q) { return q == Ed->CurSta || q == Ed->NextSta; };
  const int32_t count = static_cast<int32_t>(brd_->LineStas.size());
  int x = 0;
  for (int32_t q = Ed->LeftSta; q < count; ++q) {
    if (entering && current(q)) p.fillRect(x, 0, kStaColW, kPicH, kClSilver);
    bool turned = false, nextTurned = false;
    TStaObj* sta = LineSta(q, turned);
    if (sta == nullptr) break;
    sta->ShowDetail = true;
    DrawLineSta(p, *sta, turned, x);
    if (w < x + kStaColW) break;
    StaCols.push_back({sta->Id, x, x + kStaColW});
    GrdTm->AddCol(kStaColW - TStrGrid::kLineW, sta->Name);
    x += kStaColW;
    const TStaObj* next = q + 1 < count ? LineSta(q + 1, nextTurned) : nullptr;
    if (next == nullptr) break;
    const int s = SectionWidth(q);
    if (entering && current(q) && current(q + 1)) p.fillRect(x, 0, s, kPicH, kClSilver);
    DrawSection(p, q, *sta, turned, *next, nextTurned, x, s);
    if (w < x + s) break;
    GrdTm->AddCol(s - TStrGrid::kLineW, "");
    x += s;
  }
  HoverStaId = HoverCarId = -1;
}

// The blocks of track i of section q taken at OccTm, in red with the holder's name.
void TFrmDiaEditor::ShowOccupiedStatus(QPainter& p, int32_t q, int32_t i, int x, int y1, int y2) {
  if (Ed->OccTm < 0) return;
  const TSection& sec = brd_->Sections[q];
  const TEntCode start = SplitEntCode(sec.TrackStart[i]);
  const TStaObj* left = brd_->FindSta(start.Id, "");
  if (left == nullptr || start.Slot < 1 || start.Slot > kMaxSlots) return;
  int32_t code = left->EntConn[start.Side == 0 ? 0 : 1][start.Slot];
  const int m = std::max(1, sec.BlkPerTrack);
  const int bw = Ed->BlkPack ? kBlkW / m : kBlkW;
  for (int j = 1; j <= m; ++j) {
    const TBlkObj* blk = brd_->FindBlkEnd(code, "");
    if (blk == nullptr) {
      NoteDrawError("ShowOccupiedStatus-BLK-1", IntText(code));
      return;
    }
    const std::string who = blk->Occ.TxtAt(Ed->OccTm);
    if (!who.empty()) {
      const QPoint a(x + bw * (j - 1), y1 + (y2 - y1) * (j - 1) / m);
      const QPoint b(x + bw * j, y1 + j * (y2 - y1) / m);
      DrawPlainLine(p, a, b, RgbColour(kClrOccBack), 3);
      p.setFont(UiFont(false, PointsToPixels(8)));
      DrawBoxedTextCentred(p, (a + b) / 2, QStr("<" + who + ">"), RgbColour(kClrOccText),
                           RgbColour(kClrOccBack));
    }
    code = blk->BlkEnd[1];
  }
}

void TFrmDiaEditor::MakePathElems() {
  PathElems.clear();
  const TDiaObj& dia = Ed->Dia;
  const int32_t t = dia.CurTr;
  if (Ed->DiaMode == TDiaMode::kNormal || t < 0 || t >= dia.TrCount) return;
  const TTrInfo& tr = dia.TrInfo[t];
  if (tr.CellCount <= 1) return;
  TEntCode from = SplitEntCode(dia.Cell(t, tr.FirstSta).Loc);
  for (int32_t j = 1; j < tr.CellCount; ++j) {
    const int32_t slot = tr.FirstSta + j * tr.Dir;
    const TEntCode to = SplitEntCode(dia.Cell(t, slot).Loc);
    int32_t staId = 0;
    ParseInt(dia.StaList[slot], staId);
    std::vector<std::string> routes;
    brd_->ListUpNextStaCanGo(from.Id, from.Slot, from.Side, staId, to.Slot, routes);
    if (routes.empty()) break;
    const std::vector<std::string> e = SplitComma(TextAfter(routes[0], '='));
    if (e.size() < 2) break;
    if (PathElems.empty()) {
      PathElems.push_back(e.front());
    } else {
      PathElems.back() += "|" + TextAfter(e.front(), '|');
    }
    PathElems.push_back(TextBefore(e.back() + "|", "|"));
    PathElems.push_back(e.back());
    from = to;
  }
  std::sort(PathElems.begin(), PathElems.end());
}

int32_t TFrmDiaEditor::FitLeft(int32_t k) const {
  int w = PicWidth() - kStaColW;
  while (k > 0) {
    w -= SectionWidth(k - 1) + kStaColW;
    if (w < 0) break;
    --k;
  }
  return k;
}

}  // namespace ramvel
