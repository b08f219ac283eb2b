// Reading a GTFS feed: its zip archive opened through libzip and each table streamed record by
// record (RFC 4180 CSV, UTF-8 with or without a byte-order mark, CR LF or LF), within limits.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/UrwStatus.h"

namespace ramvel {

// Limits checked while reading, so that a hostile or damaged feed ends with a message instead of
// taking the machine's memory or time.
inline constexpr int64_t kMaxGtfsTableBytes = int64_t{1} << 30;  // one table, uncompressed
inline constexpr size_t kMaxGtfsFieldBytes = 64 * 1024;
inline constexpr size_t kMaxGtfsFields = 512;
inline constexpr int32_t kMaxGtfsEntries = 10000;  // members of the archive

// A column a reader asks for; Required ones missing from the header fail the read.
struct TGtfsCol {
  const char* Name;
  bool Required = false;
};

// One record of a table: the fields of the asked columns in the asked order (empty when the
// column is absent or the record is short), and the line of the file where the record starts.
struct TGtfsRecord {
  std::vector<std::string> F;
  int64_t Line = 0;
};

// A feed's zip archive, open for reading while this object lives.
class TGtfsArchive {
 public:
  TGtfsArchive();
  ~TGtfsArchive();
  TGtfsArchive(const TGtfsArchive&) = delete;
  TGtfsArchive& operator=(const TGtfsArchive&) = delete;

  TStatus OpenFile(const std::string& path);
  // bytes must stay live and unchanged while the archive is open.
  TStatus OpenBytes(std::string_view bytes);
  // Whether the archive holds the table (a member of that name at the top or in one folder).
  bool Has(std::string_view file) const;
  // Streams the table's records to onRecord in file order; the first failure (of the file, of
  // onRecord) ends the read and is returned, naming the file and the line. A missing file is
  // an error when required, and no record otherwise.
  TStatus ReadTable(std::string_view file, const std::vector<TGtfsCol>& cols, bool required,
                    const std::function<TStatus(const TGtfsRecord&)>& onRecord);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
  std::string name_;  // the archive as messages name it
};

// Parses CSV text (a whole table) with the same rules, for tests and the fuzzer.
TStatus ReadGtfsCsv(std::string_view file, std::string_view text, const std::vector<TGtfsCol>& cols,
                    const std::function<TStatus(const TGtfsRecord&)>& onRecord);

// "HH:MM:SS" (hours may be one digit and run past 23) into seconds after midnight of the service
// day; false when text is not such a time.
bool ParseGtfsTime(std::string_view text, int32_t& sec);

}  // namespace ramvel
