// Entry crossings: the joins of inner and outer entries and the crossing dialog's state.
#include "station_designer/UrwStaEntConn.h"

namespace ramvel {

bool CrsFits(int32_t n, const TEntCrs& crs) {
  if (crs.CrsFrom == 0 && crs.CrsTo == 0 && crs.CrsCnt == 0) return true;
  return crs.CrsFrom >= 1 && crs.CrsTo >= 1 && crs.CrsCnt >= 1 &&
         crs.CrsFrom + crs.CrsCnt - 1 <= n && crs.CrsTo + crs.CrsCnt - 1 <= n;
}

std::vector<TEntJoin> EntJoins(int32_t n, const TEntCrs& crs) {
  const TEntCrs x = CrsFits(n, crs) ? crs : TEntCrs{};
  const auto inGroup = [&x](int32_t j) {
    return x.CrsCnt > 0 && j >= x.CrsFrom && j <= x.CrsFrom + x.CrsCnt - 1;
  };
  std::vector<TEntJoin> joins;
  int32_t i = 0;
  for (int32_t j = 1; j <= n; ++j) {
    if (inGroup(j)) continue;
    ++i;
    joins.push_back({j, i < x.CrsTo ? i : i + x.CrsCnt, false});
  }
  for (int32_t g = 0; g < x.CrsCnt; ++g) joins.push_back({x.CrsFrom + g, x.CrsTo + g, true});
  return joins;
}

TStaEntConn::TStaEntConn(int32_t n, int32_t side, const TEntCrs& crs)
    : n_(n), side_(side), f_(crs.CrsFrom), p_(crs.CrsTo), k_(crs.CrsCnt) {}

int32_t TStaEntConn::ColumnX(TColumn column) const {
  const bool innerRight = side_ == 0;  // the picture is oriented as the station is
  const bool right = (column == TColumn::kInner) == innerRight;
  return right ? 250 : 50;
}

int32_t TStaEntConn::EntY(int32_t ent) const { return (ent - (n_ + 1) / 2) * 25 + 150; }

int32_t TStaEntConn::LabelX(TColumn column) const {
  const int32_t x = ColumnX(column);
  return x > kPicSize / 2 ? x + 25 : x - 25;
}

bool TStaEntConn::InCrossing(TColumn column, int32_t ent) const {
  if (f_ <= 0) return false;
  const int32_t first = column == TColumn::kInner ? f_ : p_;
  return ent >= first && ent <= first + k_ - 1;
}

std::vector<TEntJoin> TStaEntConn::Leads() const { return EntJoins(n_, TEntCrs{f_, p_, k_}); }

std::optional<TStaEntConn::TCircle> TStaEntConn::CircleAt(int32_t x, int32_t y) const {
  for (int32_t e = 1; e <= n_; ++e) {
    for (TColumn column : {TColumn::kInner, TColumn::kOuter}) {
      const int32_t dx = x - ColumnX(column), dy = y - EntY(e);
      if (dx * dx + dy * dy <= kRadius * kRadius) return TCircle{column, e};
    }
  }
  return std::nullopt;
}

bool TStaEntConn::Click(int32_t x, int32_t y) {
  const std::optional<TCircle> circle = CircleAt(x, y);
  return circle.has_value() && ClickCircle(*circle);
}

bool TStaEntConn::ClickCircle(const TCircle& circle) {
  if (circle.Ent < 1 || circle.Ent > n_) return false;
  return circle.Column == TColumn::kInner ? ClickInner(circle.Ent) : ClickOuter(circle.Ent);
}

// Inner entries start a crossing, remove it (its first entry), shorten it (its last entry) or
// lengthen it (the entry after it, while the outer run still fits).
bool TStaEntConn::ClickInner(int32_t e) {
  if (f_ == 0) {
    f_ = p_ = e;
    k_ = 1;
  } else if (e == f_) {
    f_ = p_ = k_ = 0;
  } else if (f_ + k_ == e + 1) {
    --k_;
  } else if (f_ + k_ == e && p_ + k_ - 1 < n_) {
    ++k_;
  } else {
    return false;
  }
  return true;
}

// Outer entries move the crossing's arrival when the whole run still fits.
bool TStaEntConn::ClickOuter(int32_t e) {
  if (f_ <= 0 || e + k_ - 1 > n_ || e == p_) return false;
  p_ = e;
  return true;
}

TEntCrs TStaEntConn::Result() const {
  if (f_ == p_) return TEntCrs{};
  return TEntCrs{f_, p_, k_};
}

}  // namespace ramvel
