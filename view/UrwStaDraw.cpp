// The one drawing of a station's track layout.
#include "view/UrwStaDraw.h"

#include <QPolygon>
#include <cmath>
#include <string>
#include <vector>

#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr int kCaptionPoints = 8;

// The keys by which segments are found on a highlighted path: a turnout segment by its number,
// the others by their item text.
std::vector<std::string> PathKeys(std::string_view path) {
  std::vector<std::string> keys;
  if (path.empty()) return keys;
  size_t start = 0;
  for (;;) {
    const size_t bar = path.find('|', start);
    const std::string_view item =
        path.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
    if (!item.empty() && (item[0] == 'H' || item[0] == 'R')) {
      keys.emplace_back(item);
    } else {
      keys.push_back(TextAfter(item, ';'));
    }
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return keys;
}

std::string SegmentKey(const StaRail& r) {
  return r.Kind == kRailPt ? IntText(r.No) : ItemText(r.Kind, r.No, 0);
}

// A text to be written once all tracks are drawn.
struct TCaption {
  QPoint Centre;
  QString Text;
  QColor Fore, Back;
};

class TStaPainter {
 public:
  TStaPainter(QPainter& p, const TStaObj& sta, const TStaDrawArgs& a);

  void Draw();

 private:
  QPoint Pix(float u, float v) const;
  // Pixel end points of a segment; a lead (side 0 or 1) has its outer end shifted inwards.
  void Ends(const StaRail& r, int leadSide, QPoint& a, QPoint& b) const;
  bool IsLead(size_t index) const;
  bool OnPath(const StaRail& r) const;

  void Platforms();
  void Tracks();
  void Leads(int side);
  void Crossings(int side);
  void Segment(const StaRail& r, int leadSide);
  void NoteCaptions(const StaRail& r, QPoint a, QPoint b, bool lead);
  void Captions();

  QPainter& p_;
  const TStaObj& sta_;
  const TStaDrawArgs& a_;
  TBaseObj xf_;  // the station's base part carrying this drawing's transform
  int dir_ = 1;
  float u0_ = 0;
  float shift_ = 0;
  TLeadRange leads_[2];
  std::vector<std::string> pathKeys_;
  std::string occLabels_;
  std::vector<TCaption> captions_;
  QPoint halfCross_;
  QColor track_, back_;
};

TStaPainter::TStaPainter(QPainter& p, const TStaObj& sta, const TStaDrawArgs& a)
    : p_(p), sta_(sta), a_(a), xf_(static_cast<const TBaseObj&>(sta)) {
  xf_.OrgX = a.Origin.x;
  xf_.OrgY = a.Origin.y;
  SetStaTransform(xf_, a.Angle, a.AcrossScale, a.AlongScale);
  dir_ = (a.Flags & kDrawTurned) != 0 ? -1 : 1;
  const bool shifted = (a.Flags & kDrawLeadShift) != 0;
  u0_ = shifted ? static_cast<float>(kLeadShiftM) : 0.0f;
  shift_ = u0_;
  leads_[0] = TBrdView::EntLeads(sta, 0);
  leads_[1] = TBrdView::EntLeads(sta, 1);
  pathKeys_ = PathKeys(a.HighlightPath);
  halfCross_ = QPoint(RoundInt(xf_.NegSinV / 2.0), RoundInt(xf_.CosV / 2.0));
  track_ = RgbColour(a.TrackColour);
  back_ = RgbColour(a.BackColour);
}

QPoint TStaPainter::Pix(float u, float v) const {
  const TPointF f = LocalToScreen(xf_, u, v, dir_, u0_);
  return {RoundInt(f.x), RoundInt(f.y)};
}

void TStaPainter::Ends(const StaRail& r, int leadSide, QPoint& a, QPoint& b) const {
  float u0 = static_cast<float>(r.P[0].x), u1 = static_cast<float>(r.P[1].x);
  if (leadSide == 0) u0 += shift_;
  if (leadSide == 1) u1 -= shift_;
  a = Pix(u0, static_cast<float>(r.P[0].y));
  b = Pix(u1, static_cast<float>(r.P[1].y));
}

bool TStaPainter::IsLead(size_t index) const {
  const auto i = static_cast<int32_t>(index);
  for (const TLeadRange& r : leads_) {
    if (r.Valid && i >= r.First && i < r.First + r.Count) return true;
  }
  return false;
}

bool TStaPainter::OnPath(const StaRail& r) const {
  if (pathKeys_.empty()) return false;
  const std::string key = SegmentKey(r);
  for (const std::string& k : pathKeys_) {
    if (k == key) return true;
  }
  return false;
}

void TStaPainter::Draw() {
  if (!sta_.ShowDetail) return;
  p_.save();
  p_.setRenderHint(QPainter::Antialiasing, false);
  p_.setFont(UiFont(false, PointsToPixels(kCaptionPoints)));
  if ((a_.Flags & kDrawOverlay) == 0) {
    Platforms();
    Tracks();
    Leads(0);
    Leads(1);
    Captions();
  }
  if ((a_.Flags & kDrawCrossings) != 0) {
    Crossings(0);
    Crossings(1);
  }
  p_.restore();
}

void TStaPainter::Platforms() {
  const QColor c = RgbColour(kClrHome);
  p_.setPen(c);
  p_.setBrush(c);
  for (const StaHome& h : sta_.Homes) {
    const float l = static_cast<float>(h.Left), t = static_cast<float>(h.Top);
    const float r = static_cast<float>(h.Right), b = static_cast<float>(h.Bottom);
    const QPolygon poly({Pix(l, t), Pix(r, t), Pix(r, b), Pix(l, b)});
    p_.drawPolygon(poly);
  }
  p_.setBrush(Qt::NoBrush);
}

void TStaPainter::Tracks() {
  for (size_t i = 0; i < sta_.Rails.size(); ++i) {
    if (!IsLead(i)) Segment(sta_.Rails[i], -1);
  }
}

void TStaPainter::Leads(int side) {
  const TLeadRange& r = leads_[side];
  if (!r.Valid) return;
  for (int32_t k = r.First; k < r.First + r.Count; ++k) {
    Segment(sta_.Rails[static_cast<size_t>(k)], side);
  }
}

void TStaPainter::Segment(const StaRail& r, int leadSide) {
  QPoint a, b;
  Ends(r, leadSide, a, b);
  const QColor c = OnPath(r) ? RgbColour(kClrHighlight) : track_;
  if ((a_.Flags & kDrawDouble) != 0) {
    DrawPlainLine(p_, a + halfCross_, b + halfCross_, c);
    DrawPlainLine(p_, a - halfCross_, b - halfCross_, c);
  } else {
    DrawPlainLine(p_, a, b, c);
  }
  if ((a_.Flags & kDrawJoints) != 0) {
    DrawJointDot(p_, a, c);
    DrawJointDot(p_, b, c);
  }
  NoteCaptions(r, a, b, leadSide >= 0);
}

// Platform numbers with kDrawNumbers and the trains on platform tracks and leads at OccTime,
// each train named once per drawing.
void TStaPainter::NoteCaptions(const StaRail& r, QPoint a, QPoint b, bool lead) {
  const bool home = r.Kind == kRailHome && (a_.Flags & kDrawNumbers) != 0;
  if (!home && !lead) return;
  // Both are centred on the segment; a train's name covers the platform's number.
  const QPoint mid((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
  if (home) {
    const QString no = QStr(" " + IntText(r.No) + " ");
    captions_.push_back({mid, no, RgbColour(kClrHomeNoText), RgbColour(kClrOutside)});
  }
  if (!TStaObj::AddOccLabel(a_.OccTime, r.Occ.get(), occLabels_)) return;
  const QString name = QStr("<" + r.Occ->TxtAt(a_.OccTime) + ">");
  captions_.push_back({mid, name, RgbColour(kClrOccText), RgbColour(kClrOccBack)});
}

void TStaPainter::Captions() {
  for (const TCaption& c : captions_) DrawBoxedTextCentred(p_, c.Centre, c.Text, c.Fore, c.Back);
  captions_.clear();
}

// The crossing leads of a side drawn again over everything, on a strip of ground that hides the
// leads they pass over.
void TStaPainter::Crossings(int side) {
  const TLeadRange& r = leads_[side];
  if (!r.Valid || r.CrsCount <= 0) return;
  const bool shifted = (a_.Flags & kDrawLeadShift) != 0;
  const int w = shifted ? 5 : (a_.AcrossScale > 0 ? RoundInt(3.0 / a_.AcrossScale) : 1);
  for (int32_t k = r.First + r.Count - r.CrsCount; k < r.First + r.Count; ++k) {
    const StaRail& lead = sta_.Rails[static_cast<size_t>(k)];
    QPoint a, b;
    Ends(lead, side, a, b);
    const double dx = b.x() - a.x(), dy = b.y() - a.y(), len = std::hypot(dx, dy);
    if (w > 0 && len > w) {
      const double f = w / 2.0 / len;
      const QPoint a2(RoundInt(a.x() + dx * f), RoundInt(a.y() + dy * f));
      const QPoint b2(RoundInt(b.x() - dx * f), RoundInt(b.y() - dy * f));
      DrawPlainLine(p_, a2, b2, back_, w);
    }
    Segment(lead, side);
  }
  Captions();
}

}  // namespace

void DrawSta(QPainter& p, const TStaObj& sta, const TStaDrawArgs& args) {
  TStaPainter(p, sta, args).Draw();
}

}  // namespace ramvel
