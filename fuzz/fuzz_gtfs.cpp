// Fuzzes the GTFS reader: a zip given as it stands (input starting "PK"), or one made of the
// input's parts (routes, trips, stop times, stops, calendar, calendar dates, separated by lines
// "===="), is read route by route; it must end in a document or a message, never a crash.
#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "interop/UrwGtfsImport.h"

namespace {

const char* const kFiles[] = {"routes.txt", "trips.txt",    "stop_times.txt",
                              "stops.txt",  "calendar.txt", "calendar_dates.txt"};

// The input's parts as the members of a zip written to path.
bool WriteFeed(const std::string& in, const std::string& path) {
  int code = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (za == nullptr) return false;
  std::vector<std::string> parts;
  for (size_t start = 0; parts.size() < std::size(kFiles);) {
    const size_t cut = in.find("\n====\n", start);
    parts.push_back(in.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
    if (cut == std::string::npos) break;
    start = cut + 6;
  }
  for (size_t k = 0; k < parts.size(); ++k) {
    zip_source_t* src = zip_source_buffer(za, parts[k].data(), parts[k].size(), 0);
    if (src == nullptr || zip_file_add(za, kFiles[k], src, 0) < 0) {
      zip_source_free(src);
      zip_discard(za);
      return false;
    }
  }
  return zip_close(za) == 0;
}

void ReadRoutes(ramvel::TGtfsArchive& feed) {
  std::vector<ramvel::TGtfsRoute> routes;
  const ramvel::TStatus st = ramvel::ListGtfsRailRoutes(feed, routes);
  if (!st.ok() && st.Msg().empty()) std::abort();
  for (size_t k = 0; k < routes.size() && k < 3; ++k) {
    ramvel::TOudDoc doc;
    ramvel::TGtfsImportInfo info;
    const ramvel::TStatus r = ramvel::ReadGtfsRoute(feed, {routes[k].Id, ""}, doc, info);
    if (!r.ok() && r.Msg().empty()) std::abort();
    if (r.ok() && (doc.Stations.size() < 2 || doc.Dias.size() != 1)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  ramvel::TGtfsArchive feed;
  if (in.rfind("PK", 0) == 0) {
    if (feed.OpenBytes(in).ok()) ReadRoutes(feed);
    return 0;
  }
  const std::string path = ramvel::fuzz::ScratchDir() + "/feed.zip";
  if (WriteFeed(in, path) && feed.OpenFile(path).ok()) ReadRoutes(feed);
  return 0;
}
