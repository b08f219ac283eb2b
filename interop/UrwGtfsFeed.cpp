// The GTFS reader: the archive through libzip and a streaming RFC 4180 parser over each member.
#include "interop/UrwGtfsFeed.h"

#include <zip.h>

#include <algorithm>
#include <cstring>

#include "foundation/UrwCmnDef.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace {

using TPull = std::function<int64_t(char*, size_t)>;  // bytes read, 0 at the end, -1 failed

std::string At(std::string_view file, int64_t line) {
  return std::string(file) + " の " + IntText(line) + " 行目";
}

bool ValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || (n > 1 && c < 0xC2) || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

// Records of one CSV text pulled in chunks. Quoted fields may hold commas, doubled quotes and
// line breaks; a quote inside an unquoted field, or text after a closing quote, is kept as it
// stands, as the feeds' own tools do.
class TCsvStream {
 public:
  TCsvStream(std::string_view file, TPull pull) : file_(file), pull_(std::move(pull)) {}

  // The next record; false at the end or on failure (st then says why).
  bool Next(std::vector<std::string>& fields, int64_t& line, TStatus& st);

 private:
  static constexpr size_t kChunk = 64 * 1024;
  std::string file_;
  TPull pull_;
  std::string buf_;
  size_t pos_ = 0;
  int64_t total_ = 0;
  int64_t line_ = 1;
  bool started_ = false, failed_ = false;
  TStatus why_;

  int Get() {
    while (pos_ >= buf_.size()) {
      if (!Fill()) return -1;
    }
    return static_cast<unsigned char>(buf_[pos_++]);
  }
  int Peek() {
    while (pos_ >= buf_.size()) {
      if (!Fill()) return -1;
    }
    return static_cast<unsigned char>(buf_[pos_]);
  }
  // Appends to f the byte just read and those after it in the buffer up to the next quote or
  // line feed, and in an unquoted field also comma or carriage return.
  void TakeRun(std::string& f, bool quoted) {
    const size_t from = pos_ - 1;
    const size_t n = buf_.size();
    const char* b = buf_.data();
    if (quoted) {
      while (pos_ < n && b[pos_] != '"' && b[pos_] != '\n') ++pos_;
    } else {
      while (pos_ < n && b[pos_] != ',' && b[pos_] != '"' && b[pos_] != '\n' && b[pos_] != '\r') {
        ++pos_;
      }
    }
    f.append(b + from, pos_ - from);
  }
  bool Fill();
  bool Fail(std::string msg);
  bool Quoted(int c, std::string& f);
  bool AtEnd(bool quoted, bool any, int64_t line, TStatus& st) const;
};

bool TCsvStream::Fill() {
  if (failed_) return false;
  buf_.resize(kChunk);
  const int64_t n = pull_(buf_.data(), kChunk);
  if (n < 0) return Fail(file_ + " を読めません（アーカイブが壊れています）");
  buf_.resize(static_cast<size_t>(n));
  pos_ = 0;
  total_ += n;
  if (total_ > kMaxGtfsTableBytes) {
    return Fail(file_ + " が大きすぎます（上限 " + IntText(kMaxGtfsTableBytes >> 20) + " MiB）");
  }
  if (!started_) {
    started_ = true;
    if (buf_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
  }
  return n > 0;
}

bool TCsvStream::Fail(std::string msg) {
  if (!failed_) why_ = TStatus::Error(std::move(msg));
  failed_ = true;
  buf_.clear();
  pos_ = 0;
  return false;
}

// One byte c of a quoted field; false once the closing quote is read.
bool TCsvStream::Quoted(int c, std::string& f) {
  if (c == '"' && Peek() == '"') {
    Get();
    f += '"';
  } else if (c == '"') {
    return false;
  } else if (c == '\n') {
    ++line_;
    f += '\n';
  } else {
    TakeRun(f, true);
  }
  return true;
}

// The end of the text: the last record when there is one, or why there is none.
bool TCsvStream::AtEnd(bool quoted, bool any, int64_t line, TStatus& st) const {
  if (failed_) {
    st = why_;
    return false;
  }
  if (quoted) {
    st = TStatus::Error(At(file_, line) + ": 引用符が閉じないままファイルが終わります");
    return false;
  }
  return any;
}

bool TCsvStream::Next(std::vector<std::string>& fields, int64_t& line, TStatus& st) {
  fields.resize(1);  // keeps the first field's room from record to record
  fields[0].clear();
  line = line_;
  bool quoted = false, fieldStarted = false;
  for (bool any = false;; any = true) {
    const int c = Get();
    if (c < 0) return AtEnd(quoted, any, line, st);
    std::string& f = fields.back();
    if (quoted) {
      quoted = Quoted(c, f);
    } else if (c == '"' && !fieldStarted) {
      quoted = fieldStarted = true;
    } else if (c == ',' && fields.size() < kMaxGtfsFields) {
      fields.emplace_back();
      fieldStarted = false;
    } else if (c == ',') {
      st = TStatus::Error(At(file_, line) + ": 項目が多すぎます（上限 " +
                          IntText(static_cast<int64_t>(kMaxGtfsFields)) + "）");
      return false;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && Peek() == '\n') Get();
      ++line_;
      return true;
    } else {
      TakeRun(f, false);
      fieldStarted = true;
    }
    if (fields.back().size() > kMaxGtfsFieldBytes) {
      st = TStatus::Error(At(file_, line) + ": 項目が長すぎます（上限 " +
                          IntText(static_cast<int64_t>(kMaxGtfsFieldBytes)) + " バイト）");
      return false;
    }
  }
}

// The header, then every record handed on with the asked columns picked out.
TStatus ReadTableFrom(std::string_view file, TPull pull, const std::vector<TGtfsCol>& cols,
                      const std::function<TStatus(const TGtfsRecord&)>& onRecord) {
  TCsvStream csv(file, std::move(pull));
  std::vector<std::string> fields;
  int64_t line = 0;
  TStatus st;
  if (!csv.Next(fields, line, st)) {
    return st ? TStatus::Error(std::string(file) + " に見出し行がありません") : st;
  }
  std::vector<int> at(cols.size(), -1);
  for (size_t k = 0; k < cols.size(); ++k) {
    for (size_t i = 0; i < fields.size() && at[k] < 0; ++i) {
      fields[i] = std::string(TrimSpaceTab(fields[i]));
      if (fields[i] == cols[k].Name) at[k] = static_cast<int>(i);
    }
    if (at[k] < 0 && cols[k].Required) {
      return TStatus::Error(std::string(file) + " に必須の列 " + cols[k].Name + " がありません");
    }
  }
  TGtfsRecord rec;
  rec.F.resize(cols.size());
  while (csv.Next(fields, line, st)) {
    if (fields.size() == 1 && fields[0].empty()) continue;  // a blank line
    rec.Line = line;
    for (size_t k = 0; k < cols.size(); ++k) {
      if (at[k] >= 0 && static_cast<size_t>(at[k]) < fields.size()) {
        rec.F[k].swap(fields[static_cast<size_t>(at[k])]);
        rec.F[k] = std::string(TrimSpaceTab(rec.F[k]));
      } else {
        rec.F[k].clear();
      }
      if (!ValidUtf8(rec.F[k])) {
        return TStatus::Error(At(file, line) + ": " + cols[k].Name + " が UTF-8 ではありません");
      }
    }
    if (TStatus r = onRecord(rec); !r) return r;
  }
  return st;
}

}  // namespace

struct TGtfsArchive::TImpl {
  zip_t* Za = nullptr;
};

TGtfsArchive::TGtfsArchive() : impl_(std::make_unique<TImpl>()) {}

TGtfsArchive::~TGtfsArchive() {
  if (impl_->Za != nullptr) zip_discard(impl_->Za);
}

namespace {

TStatus OpenFailed(const std::string& name, zip_error_t* e) {
  std::string why = zip_error_strerror(e);
  if (zip_error_code_zip(e) == ZIP_ER_NOZIP) why = "zip 形式ではないか、途中で切れています";
  zip_error_fini(e);
  return TStatus::Error("GTFS フィード " + name + " を開けません（" + why + "）");
}

TStatus CheckEntries(zip_t* za, const std::string& name) {
  if (zip_get_num_entries(za, 0) > kMaxGtfsEntries) {
    return TStatus::Error("GTFS フィード " + name + " のファイルが多すぎます（上限 " +
                          IntText(kMaxGtfsEntries) + "）");
  }
  return TStatus::Ok();
}

}  // namespace

TStatus TGtfsArchive::OpenFile(const std::string& path) {
  name_ = path;
  int code = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (za == nullptr) {
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    return OpenFailed(path, &e);
  }
  impl_->Za = za;
  return CheckEntries(za, name_);
}

TStatus TGtfsArchive::OpenBytes(std::string_view bytes) {
  name_ = "(zip)";
  zip_error_t e;
  zip_error_init(&e);
  zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &e);
  zip_t* za = src == nullptr ? nullptr : zip_open_from_source(src, ZIP_RDONLY, &e);
  if (za == nullptr) {
    if (src != nullptr) zip_source_free(src);
    return OpenFailed(name_, &e);
  }
  zip_error_fini(&e);
  impl_->Za = za;
  return CheckEntries(za, name_);
}

bool TGtfsArchive::Has(std::string_view file) const {
  return impl_->Za != nullptr &&
         zip_name_locate(impl_->Za, std::string(file).c_str(), ZIP_FL_NOCASE | ZIP_FL_NODIR) >= 0;
}

TStatus TGtfsArchive::ReadTable(std::string_view file, const std::vector<TGtfsCol>& cols,
                                bool required,
                                const std::function<TStatus(const TGtfsRecord&)>& onRecord) {
  const std::string name(file);
  const zip_int64_t idx =
      impl_->Za == nullptr ? -1
                           : zip_name_locate(impl_->Za, name.c_str(), ZIP_FL_NOCASE | ZIP_FL_NODIR);
  if (idx < 0) {
    if (!required) return TStatus::Ok();
    return TStatus::Error("GTFS フィード " + name_ + " に " + name + " がありません");
  }
  zip_file_t* zf = zip_fopen_index(impl_->Za, static_cast<zip_uint64_t>(idx), 0);
  if (zf == nullptr) {
    return TStatus::Error(name + " を開けません（" + zip_strerror(impl_->Za) + "）");
  }
  const TPull pull = [zf](char* to, size_t n) -> int64_t { return zip_fread(zf, to, n); };
  const TStatus st = ReadTableFrom(name, pull, cols, onRecord);
  zip_fclose(zf);
  return st;
}

TStatus ReadGtfsCsv(std::string_view file, std::string_view text, const std::vector<TGtfsCol>& cols,
                    const std::function<TStatus(const TGtfsRecord&)>& onRecord) {
  size_t at = 0;
  const TPull pull = [&](char* to, size_t n) -> int64_t {
    const size_t k = std::min(n, text.size() - at);
    std::memcpy(to, text.data() + at, k);
    at += k;
    return static_cast<int64_t>(k);
  };
  return ReadTableFrom(file, pull, cols, onRecord);
}

bool ParseGtfsTime(std::string_view text, int32_t& sec) {
  const size_t c1 = text.find(':');
  if (c1 == std::string_view::npos || c1 < 1 || c1 > 3 || text.size() != c1 + 6 ||
      text[c1 + 3] != ':') {
    return false;
  }
  int32_t h = 0, m = 0, s = 0;
  for (const char ch : text) {
    if (ch != ':' && (ch < '0' || ch > '9')) return false;
  }
  if (!ParseInt(text.substr(0, c1), h) || !ParseInt(text.substr(c1 + 1, 2), m) ||
      !ParseInt(text.substr(c1 + 4, 2), s) || m > 59 || s > 59) {
    return false;
  }
  sec = h * 3600 + m * 60 + s;
  return true;
}

}  // namespace ramvel
