// The diagram grid as rows of text (one header row, one row per train) and as RFC 4180 CSV, shared
// by the diagram editor's CSV export and the command line's timetable listing.
#pragma once

#include <string>
#include <vector>

#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel {

using TTextRow = std::vector<std::string>;

// The cell as the editor shows it: the departure alone at the origin, "arr=" at a pass,
// "arr/dep" at a stop, "arr/" at the terminal; then "#" and the platform. Empty without a step.
std::string DiaCellText(const TDiaObj& dia, int32_t k, int32_t s);

// The header "列車番号", "種別", then staNames (one per slot of the line), followed by one row per
// entry of order: number, kind, and DiaCellText of every slot.
std::vector<TTextRow> DiaGridRows(const TDiaObj& dia, const std::vector<std::string>& staNames,
                                  const TOrderList& order);

// One CSV field: quoted, with doubled quotes, only when it holds a comma, quote or line break.
std::string CsvField(const std::string& f);
// The rows as CSV, each row ended by CR LF.
std::string CsvText(const std::vector<TTextRow>& rows);

}  // namespace ramvel
