// The board's kind table (種別): the names and colours of its kinds of train, the six built-in
// ones unless the board keeps its own, and which kind a train's kind text names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/UrwBrdData.h"

namespace ramvel {

// Most kinds a board's table may hold.
inline constexpr int32_t kMaxKinds = 200;

// The six built-in kinds in the order of kTrainTypes, each its own type: 普通 black, 快速 orange,
// 準急 green, 急行 blue, 特急 red, 回送 grey.
const std::vector<TKindDef>& BuiltInKinds();
// The board's table, or the built-in kinds when it keeps none.
const std::vector<TKindDef>& KindTable(const TBrdData& brd);

// The kind of a train's kind text (what follows the "," of its header) in table: the kind whose
// name is the first word of the nickname (a kind of the table beyond the six is stored as its
// type followed by its name: "快速 通勤快速"), else the kind whose name is the type, else the first
// kind of that type; -1 when none fits.
int32_t KindIndexOf(const std::vector<TKindDef>& table, std::string_view kindText);
// The kind text that starts a train of kind k of table: its type, then its name when that is
// not the type itself.
std::string KindTextOf(const TKindDef& kind);

// A kind table is refused, naming the kind, when a name is empty, has blanks around it, holds
// a space or has no Shift-JIS form, when two names are equal, or a type is not one of the six.
TStatus CheckKinds(const std::vector<TKindDef>& kinds);

// One row of a kind table being edited: the kind as it now reads and the index of the board's
// table it came from (-1: added).
struct TKindEdit {
  TKindDef Kind;
  int32_t From = -1;
};

// The board's table (the built-in kinds when it keeps none) as rows to edit.
std::vector<TKindEdit> KindEditRows(const TBrdData& brd);
// A train of any of the board's timetables whose kind is kind k of the board's table, named as
// "列車 N（ダイヤ「D」）"; empty when no train is of that kind.
std::string TrainOfKind(const TBrdData& brd, size_t k);
// Makes rows the board's kind table. Refused, with nothing changed, when CheckKinds refuses the
// table or a kind left out is still a train's kind (the message names the train). The trains of
// a kind renamed or given another type are rewritten to the new kind text, their nickname kept;
// changed receives how many. A table equal to the built-in kinds is kept as none, so Board.txt
// stays as it was for a board that never had its own.
TStatus ApplyKindEdits(TBrdData& brd, const std::vector<TKindEdit>& rows, int32_t& changed);

// Board.txt keys: KIND_COUNT and KINDk = name|type|colour; none for the built-in table.
void ReadKindKeys(TRecReader& rd, std::vector<TKindDef>& kinds);
void AddKindKeys(const std::vector<TKindDef>& kinds, TextRec& rec);

}  // namespace ramvel
