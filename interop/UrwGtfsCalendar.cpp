// The service days of a GTFS export: the days of the week per timetable and Japan's public
// holidays, on which a weekday timetable gives way to the holiday one.
#include <string>

#include "interop/UrwGtfsExport.h"

namespace ramvel {

namespace {

namespace chr = std::chrono;

// The n-th Monday of a month.
chr::sys_days NthMonday(chr::year y, unsigned month, unsigned n) {
  return chr::sys_days(chr::year_month_weekday{y / chr::month(month) / chr::Monday[n]});
}

// Spring and autumn equinox days (March, September), by the formula the almanac follows.
unsigned EquinoxDay(int y, double base) {
  return static_cast<unsigned>(static_cast<int>(base + 0.242194 * (y - 1980)) - (y - 1980) / 4);
}

bool IsNamedHoliday(chr::sys_days d) {
  const chr::year_month_day ymd(d);
  const int y = static_cast<int>(ymd.year());
  const unsigned m = static_cast<unsigned>(ymd.month()), day = static_cast<unsigned>(ymd.day());
  static const unsigned kFixed[][2] = {{1, 1},  {2, 11}, {2, 23}, {4, 29}, {5, 3},
                                       {5, 4},  {5, 5},  {8, 11}, {11, 3}, {11, 23}};
  for (const auto& f : kFixed) {
    if (m == f[0] && day == f[1]) return true;
  }
  if ((m == 3 && day == EquinoxDay(y, 20.8431)) || (m == 9 && day == EquinoxDay(y, 23.2488))) {
    return true;
  }
  return d == NthMonday(ymd.year(), 1, 2) || d == NthMonday(ymd.year(), 7, 3) ||
         d == NthMonday(ymd.year(), 9, 3) || d == NthMonday(ymd.year(), 10, 2);
}

}  // namespace

bool IsJpHoliday(chr::sys_days d) {
  if (IsNamedHoliday(d)) return true;
  // A holiday on a Sunday moves to the first day after it that is no holiday.
  for (chr::sys_days p = d - chr::days(1); IsNamedHoliday(p); p -= chr::days(1)) {
    if (chr::weekday(p) == chr::Sunday) return true;
  }
  // A day between two holidays is one.
  return IsNamedHoliday(d - chr::days(1)) && IsNamedHoliday(d + chr::days(1));
}

TStatus ParseGtfsDays(std::string_view text, TGtfsDays& days) {
  TGtfsDays out;
  const bool shaped = (text.size() == 7 || (text.size() == 8 && (text[7] == 'H' || text[7] == 'h')));
  for (size_t k = 0; shaped && k < 7; ++k) {
    if (text[k] != '0' && text[k] != '1') break;
    out.Week[k] = text[k] == '1';
    if (k == 6) {
      out.Holidays = text.size() == 8;
      days = out;
      return TStatus::Ok();
    }
  }
  return TStatus::Error("運行日 " + std::string(text) +
                        " は月曜から日曜までの 0/1 の7桁（祝日にも走るなら末尾に H）ではありません");
}

std::string GtfsDaysText(const TGtfsDays& days) {
  std::string text;
  for (const bool on : days.Week) text += on ? '1' : '0';
  return days.Holidays ? text + "H" : text;
}

TGtfsDays DefaultGtfsDays(std::string_view name) {
  const auto has = [&](const char* part) { return name.find(part) != std::string_view::npos; };
  TGtfsDays d;
  if (has("土休") || has("休日") || has("土日")) {
    d = TGtfsDays{{false, false, false, false, false, true, true}, true};
  } else if (has("土曜")) {
    d = TGtfsDays{{false, false, false, false, false, true, false}, false};
  } else if (has("日曜")) {
    d = TGtfsDays{{false, false, false, false, false, false, true}, true};
  }
  return d;
}

}  // namespace ramvel
