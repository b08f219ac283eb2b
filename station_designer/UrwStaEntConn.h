// Entry crossings of one station side: which inner entry (matrix edge) joins which outer entry
// (station end), and the state and picture geometry of the dialog that edits a crossing.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/UrwStaObj.h"

namespace ramvel {

// One entry lead: inner entry Inner (1-based, matrix edge) joins outer entry Outer.
struct TEntJoin {
  int32_t Inner = 0;
  int32_t Outer = 0;
  bool Crossing = false;  // the lead crosses over the others

  friend bool operator==(const TEntJoin&, const TEntJoin&) = default;
};

// Whether the crossing names existing entries of a side with n entries (a zero code always does).
bool CrsFits(int32_t n, const TEntCrs& crs);

// The leads of a side with n entries in the order in which they are built and drawn: first the
// inner entries outside the crossing group in ascending order, numbered i = 1, 2, ... and joined
// to outer entry i below CrsTo and i + CrsCnt from there on; then the group's inner entries
// joined to CrsTo, CrsTo + 1, .... A crossing that does not fit the side counts as none.
std::vector<TEntJoin> EntJoins(int32_t n, const TEntCrs& crs);

// The state of the crossing dialog of one side. The picture is kPicSize pixels square; the
// inner column lies towards the matrix and the outer one towards the station end.
class TStaEntConn {
 public:
  static constexpr int32_t kPicSize = 300;
  static constexpr int32_t kRadius = 5;  // entry circles

  enum class TColumn { kInner, kOuter };
  struct TCircle {
    TColumn Column = TColumn::kInner;
    int32_t Ent = 0;  // 1..n
    friend bool operator==(const TCircle&, const TCircle&) = default;
  };

  // n entries on the side (0..10), its crossing as stored, side 0 (left) or 1 (right).
  TStaEntConn(int32_t n, int32_t side, const TEntCrs& crs);

  int32_t EntCnt() const { return n_; }
  int32_t Side() const { return side_; }
  // The working triple.
  int32_t F() const { return f_; }
  int32_t P() const { return p_; }
  int32_t K() const { return k_; }

  // ---- Picture geometry ----
  int32_t ColumnX(TColumn column) const;
  int32_t EntY(int32_t ent) const;
  // Where the column's label ("内側", "外側") is centred: 25 px beyond the column towards the
  // nearer picture edge, at y = 150.
  int32_t LabelX(TColumn column) const;
  // Whether the circle is drawn white (part of the crossing) rather than grey.
  bool InCrossing(TColumn column, int32_t ent) const;
  // The leads in drawing order; crossing leads come last and are drawn over a wide land line.
  std::vector<TEntJoin> Leads() const;

  // ---- Input ----
  // The circle within kRadius of (x, y): entries 1..n in turn, inner before outer.
  std::optional<TCircle> CircleAt(int32_t x, int32_t y) const;
  // Pointer move: remembers the circle under the pointer (the cursor is a hand over one).
  void MouseMove(int32_t x, int32_t y) { hover_ = CircleAt(x, y); }
  const std::optional<TCircle>& Hover() const { return hover_; }
  // A button released at (x, y); nothing happens off the circles. True when the triple changed.
  bool Click(int32_t x, int32_t y);
  bool ClickCircle(const TCircle& circle);

  // The triple OK stores: a crossing that arrives where it starts is no crossing.
  TEntCrs Result() const;

 private:
  bool ClickInner(int32_t e);
  bool ClickOuter(int32_t e);

  int32_t n_;
  int32_t side_;
  int32_t f_, p_, k_;
  std::optional<TCircle> hover_;
};

}  // namespace ramvel
