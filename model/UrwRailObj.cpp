// Rails, their file, blocks, and the laying of a train's body along a rail track.
#include "model/UrwRailObj.h"

#include <cmath>

#include "model/UrwCarObj.h"

namespace ramvel {

namespace {

bool ValidSlot(int32_t side, int32_t slot) {
  return (side == 0 || side == 1) && slot >= 1 && slot <= kMaxSlots;
}

float Per(int32_t length, float speed) {
  return static_cast<float>(static_cast<double>(length) / speed);
}

}  // namespace

// ---- TRailObj ----------------------------------------------------------------------------------

TRailObj::TRailObj() { EntOwner[0] = EntOwner[1] = true; }

float TRailObj::RunTime(float speed) const { return Per(Length, speed); }

int32_t TRailObj::GetConn(int32_t side, int32_t track) const {
  return ValidSlot(side, track) ? EntConn[side][track] : 0;
}

TNearHit PtNearRail(const TRailObj& rail, int32_t x, int32_t y, int32_t tol) {
  return PtNearSeg(rail.EndPos[0], rail.EndPos[1], TPoint{x, y}, tol);
}

bool RailCrossesSeg(const TRailObj& rail, TPoint q0, TPoint q1) {
  const auto f = [](TPoint p) { return TPointF{static_cast<float>(p.x), static_cast<float>(p.y)}; };
  return SegCross(f(rail.EndPos[0]), f(rail.EndPos[1]), f(q0), f(q1));
}

TPoint TrackEndPoint(const TRailObj& rail, int32_t track, int32_t side, const TBaseObj* other) {
  if (other != nullptr) {
    const TEntCode to = SplitEntCode(rail.GetConn(side, track));
    // A loose track, or one that leads elsewhere, has no slot on other to be drawn to.
    if (to.Id == other->Id && to.Id != 0) return EntPoint(*other, to.Slot, to.Side);
  }
  return EntPoint(rail, track, side);
}

// ---- Rail file ---------------------------------------------------------------------------------

namespace {

std::string DisplayName(std::string_view stem) { return "rail/" + std::string(stem) + ".txt"; }

// The longest LENGTH a rail between its end points may have: a rail is straight, so anything
// far above the distance of its ends is damage (and would make its number of blocks unbounded).
int64_t MaxLength(const TRailObj& rail) {
  const double dx = double(rail.EndPos[1].x) - rail.EndPos[0].x;
  const double dy = double(rail.EndPos[1].y) - rail.EndPos[0].y;
  return static_cast<int64_t>(2 * std::sqrt(dx * dx + dy * dy)) + kBlkLenM;
}

void ReadRailRec(TRecReader& rd, TRailObj& rail) {
  rail.Length = rd.Int("LENGTH");
  if (!rd.Failed() && rail.Length < 0) rd.Fail("LENGTH", " が負の値です");
  // A missing flag reads as false.
  rail.EntOwner[0] = rd.Flag10("ENTOWNER0");
  rail.EntOwner[1] = rd.Flag10("ENTOWNER1");
  ReadBaseRec(rail, rd);
  // The board finds rails by the kind digit of their id.
  if (!rd.Failed() && (rail.Id <= 0 || IdKind(rail.Id) != kKindRail)) {
    rd.Fail("LBL_ID", " がレールの ID ではありません");
  }
  if (!rd.Failed() && rail.Length > MaxLength(rail)) {
    rd.Fail("LENGTH", " が両端の距離に比べて長すぎます（" + IntText(MaxLength(rail)) + " m まで）");
  }
}

}  // namespace

TStatus TRailObj::LoadRail(const std::string& folder, const std::string& stem) {
  const std::string display = DisplayName(stem);
  // The id itself comes from LBL_ID; a stem that is no number names no rail file.
  int32_t id = 0;
  TextRec rec;
  if (TStatus st = LoadNumberedRec(folder, stem, display, rec, id); !st) return st;
  return ReadRec(rec, display);
}

TStatus TRailObj::ReadRec(const TextRec& rec, const std::string& display) {
  TRecReader rd(rec, display);
  // Read into a copy so that a failure leaves this rail untouched; the copy keeps the fields
  // that the file does not hold (drawing transform, flags).
  TRailObj loaded = *this;
  ReadRailRec(rd, loaded);
  if (rd.Failed()) return rd.Status();
  *this = loaded;
  return TStatus::Ok();
}

TStatus TRailObj::SaveRail(const std::string& folder) const {
  const std::string stem = IntText(Id);
  const std::string path = ResolveIn(folder, stem + ".txt");
  return SaveRec(MakeRec(), path, DisplayName(stem));
}

TextRec TRailObj::MakeRec() const {
  TextRec rec;
  rec.Add("LENGTH", IntText(Length));
  rec.Add("ENTOWNER0", Text10(EntOwner[0]));
  rec.Add("ENTOWNER1", Text10(EntOwner[1]));
  WriteBaseRec(*this, rec);
  return rec;
}

// ---- Body on a rail track ----------------------------------------------------------------------

namespace {

// The point d metres from the entry end (side) of the track drawn from a (end 0) to b (end 1).
TPointF TrackPoint(TPoint a, TPoint b, int32_t length, int32_t side, float d) {
  // A rail always joins two different grid points; a zero length is damage, drawn at the entry.
  if (length <= 0) {
    const TPoint e = side == 0 ? a : b;
    return {static_cast<float>(e.x), static_cast<float>(e.y)};
  }
  const float len = static_cast<float>(length);
  const float c = side == 0 ? d : len - d;
  return {(float(b.x) * c + float(a.x) * (len - c)) / len,
          (float(b.y) * c + float(a.y) * (len - c)) / len};
}

}  // namespace

int32_t LayBodyOnRail(const TRailObj& rail, TCarObj& car, int32_t pathCode, float& rem,
                      const TBaseObj* atEnd1, const TBaseObj* atEnd0) {
  const TEntCode path = SplitEntCode(pathCode);
  const TPoint a = TrackEndPoint(rail, path.Slot, 0, atEnd0);
  const TPoint b = TrackEndPoint(rail, path.Slot, 1, atEnd1);
  const auto add = [&](float d) {
    const TPointF p = TrackPoint(a, b, rail.Length, path.Side, d);
    car.BodyPts.push_back(PtToTenthsText(p.x, p.y));
  };
  if (rem != 0) {
    // The head is further on: the body comes in over the far end.
    add(static_cast<float>(rail.Length));
    rem -= static_cast<float>(rail.Length);
  } else {
    car.BodyPts.clear();
    const float head = car.SpdMps() * car.RunTm;
    add(head);
    rem = static_cast<float>(car.NCar * kCarLenM) - head;
  }
  if (rem > 0) {
    add(0);
    return rail.GetConn(path.Side, path.Slot);
  }
  add(-rem);
  rem = 0;
  return 0;
}

// ---- TBlkObj -----------------------------------------------------------------------------------

void TBlkObj::SetEnd(int32_t side, int32_t code) { BlkEnd[side == 0 ? 0 : 1] = code; }

int32_t TBlkObj::OtherEnd(int32_t code) const {
  return SplitEntCode(code).Id == SplitEntCode(BlkEnd[0]).Id ? BlkEnd[1] : BlkEnd[0];
}

float TBlkObj::RunTime(float speed) const { return Per(Length, speed); }

int32_t TBlkObj::WaitFor(int32_t t, int32_t dur) const { return Occ.WaitFor(t, dur); }

void TBlkObj::Occupy(const std::string& label, int32_t t, int32_t dur) {
  Occ.Add(TTmTbl{label, t, t + dur, 0});
}

void TBlkObj::Release(std::string_view label) { Occ.DeleteByTxt(label); }

void TBlkObj::ClearOcc() { Occ.Clear(); }

}  // namespace ramvel
