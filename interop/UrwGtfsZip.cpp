// Writing a GTFS feed as a zip (libzip), reading the board's lines, timetables and the origin, and
// the closing message of an export.
#include <zip.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "engine/UrwBrdDias.h"
#include "foundation/UrwCmnDef.h"
#include "foundation/UrwTextRec.h"
#include "interop/UrwGtfsExport.h"
#include "timetable/UrwDiaEditorUi.h"

namespace ramvel {

namespace {

namespace fs = std::filesystem;

TStatus WriteFail(const std::string& path, const std::string& why) {
  return TStatus::Error("GTFS フィード " + path + " を書き込めません（" + why + "）");
}

std::string ZipErrorText(zip_t* za) { return zip_error_strerror(zip_get_error(za)); }

// Every member carries this time (2026-01-01 00:00 UTC), not the time of writing, so that one
// board gives the same bytes each time.
constexpr time_t kMemberTime = 1767225600;

// Adds every file; the texts stay owned by feed, which outlives the archive's close.
TStatus AddFiles(zip_t* za, const TGtfsFeed& feed) {
  for (const auto& [name, text] : feed.Files) {
    zip_source_t* src = zip_source_buffer(za, text.data(), text.size(), 0);
    if (src == nullptr) return TStatus::Error(ZipErrorText(za));
    const zip_int64_t idx = zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (idx < 0) {
      zip_source_free(src);
      return TStatus::Error(ZipErrorText(za));
    }
    if (zip_file_set_mtime(za, static_cast<zip_uint64_t>(idx), kMemberTime, 0) < 0) {
      return TStatus::Error(ZipErrorText(za));
    }
  }
  return TStatus::Ok();
}

TStatus WriteZipAt(const TGtfsFeed& feed, const std::string& tmp) {
  int code = 0;
  zip_t* za = zip_open(tmp.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (za == nullptr) {
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    const std::string why = zip_error_strerror(&e);
    zip_error_fini(&e);
    return TStatus::Error(why);
  }
  if (TStatus st = AddFiles(za, feed); !st) {
    zip_discard(za);
    return st;
  }
  if (zip_close(za) < 0) {
    const std::string why = ZipErrorText(za);
    zip_discard(za);
    return TStatus::Error(why);
  }
  return TStatus::Ok();
}

bool ParseDegrees(const std::string& text, double& v) {
  if (text.empty()) return false;
  char* end = nullptr;
  v = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(v);
}

}  // namespace

TStatus WriteGtfsZip(const TGtfsFeed& feed, const std::string& path) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return WriteFail(path, "フォルダーです");
  const std::string tmp = path + ".tmp";
  if (TStatus st = WriteZipAt(feed, tmp); !st) {
    fs::remove(tmp, ec);
    return WriteFail(path, st.Msg());
  }
  fs::rename(tmp, path, ec);
  if (ec) {
    fs::remove(tmp, ec);
    return WriteFail(path, "名前を変更できません");
  }
  return TStatus::Ok();
}

TStatus ReadGtfsLines(const std::string& folder, std::vector<TGtfsLine>& lines) {
  lines.clear();
  for (const std::string& file : ListFileNames(ResolveIn(folder, "line"), "txt")) {
    TBrdData scratch;  // reads the line file with the board's own rules, off the open board
    const std::string name = fs::path(file).stem().string();
    TStatus st = scratch.SetLine(name);
    if (st) st = scratch.LoadLine(folder);
    if (!st) return st;
    TGtfsLine line{name, {}};
    for (const std::string& id : scratch.LineStas) line.Stas.push_back(IntOr0(id));
    lines.push_back(std::move(line));
  }
  return TStatus::Ok();
}

std::vector<TGtfsTimetable> GtfsTimetables(const TBrdData& brd) {
  std::vector<TGtfsTimetable> timetables;
  for (const TDiaRef& dia : BrdTimetables(brd)) {
    TGtfsTimetable t{dia.Name, {}};
    for (const auto& [key, car] : *dia.Cars) t.Cars.push_back(car.get());
    timetables.push_back(std::move(t));
  }
  return timetables;
}

TStatus ParseGtfsOrigin(std::string_view text, double& lat, double& lon) {
  const std::string s = ToHalfWidth(text);
  const size_t comma = s.find(',');
  double a = 0, b = 0;
  if (comma == std::string::npos || !ParseDegrees(s.substr(0, comma), a) ||
      !ParseDegrees(s.substr(comma + 1), b) || a <= -90 || a >= 90 || b < -180 || b > 180) {
    return TStatus::Error("起点 " + std::string(text) +
                          " は「緯度,経度」（緯度 -90〜90、経度 -180〜180）ではありません");
  }
  lat = a;
  lon = b;
  return TStatus::Ok();
}

TStatus ExportGtfs(const TBrdData& brd, const std::string& folder, const TGtfsOptions& opt,
                   const std::string& path, TGtfsSummary& summary) {
  std::vector<TGtfsLine> lines;
  std::vector<TGtfsTimetable> timetables;
  TStatus st = ReadGtfsLines(folder, lines);
  if (st) timetables = GtfsTimetables(brd);
  TGtfsFeed feed;
  if (st) st = BuildGtfsFeed(brd, lines, timetables, opt, feed);
  if (st) st = WriteGtfsZip(feed, path);
  if (st) summary = feed.Summary;
  return st;
}

std::string GtfsSummaryText(const TGtfsSummary& s, const std::string& path) {
  std::string text = "GTFS フィードを書き出しました: " + path + "\n駅 " + IntText(s.Stations) +
                     "（のりば " + IntText(s.Platforms) + "）、路線 " + IntText(s.Routes) + "、ダイヤ " + IntText(s.Services) +
                     "、便 " + IntText(s.Trips) + "、停車時刻 " + IntText(s.StopTimes);
  if (s.Deadheads > 0) text += "\n回送列車 " + IntText(s.Deadheads) + " 本は旅客列車でないため除外";
  if (s.OffLine > 0) {
    text += "\nどの路線にも属さない区間 " + IntText(s.OffLine) + " か所を除外";
  }
  return text;
}

}  // namespace ramvel
