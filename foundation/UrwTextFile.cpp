// Record files on disk: CP932 decoding and encoding, whole-file reading, atomic writing,
// folder listing and the case-insensitive resolution of object paths.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace fs = std::filesystem;

// ---- Files -------------------------------------------------------------------------------------

namespace {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  // Room for every line of a CR LF or LF file at once: timetables run to thousands of lines.
  lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace

namespace {

std::string NameFor(const std::string& path, std::string_view display) {
  return display.empty() ? path : std::string(display);
}

}  // namespace

namespace {

// The stamps of the innermost TStampReads, written from any thread under gStampMutex.
std::mutex gStampMutex;
TFileStamps* gStamps = nullptr;

int64_t MTimeNs(const struct stat& sb) {
  return static_cast<int64_t>(sb.st_mtim.tv_sec) * 1000000000 + sb.st_mtim.tv_nsec;
}

void NoteRead(const std::string& path, const struct stat& sb, std::string_view bytes) {
  const std::lock_guard<std::mutex> guard(gStampMutex);
  if (gStamps == nullptr) return;
  (*gStamps)[StampKey(path)] = {static_cast<int64_t>(bytes.size()), MTimeNs(sb), HashBytes(bytes)};
}

// The redirects of every living TReadRedirect, by absolute normal path; gRedirectCount lets a
// read skip the lock while there are none (the usual case).
std::mutex gRedirectMutex;
std::map<std::string, std::string> gRedirects;
std::atomic<size_t> gRedirectCount{0};

std::string AbsNormal(const std::string& path) {
  std::error_code ec;
  const fs::path abs = fs::absolute(path, ec);
  return (ec ? fs::path(path) : abs).lexically_normal().string();
}

// The file to read for path: path itself unless a redirect names it.
std::string ReadSource(const std::string& path) {
  if (gRedirectCount.load() == 0) return path;
  const std::string key = AbsNormal(path);
  const std::lock_guard<std::mutex> guard(gRedirectMutex);
  const auto it = gRedirects.find(key);
  return it == gRedirects.end() ? path : it->second;
}

// Adds to names the redirected files of dir that are not on disk.
void AddRedirectedNames(const std::string& dir, std::vector<std::string>& names) {
  if (gRedirectCount.load() == 0) return;
  const fs::path folder = fs::path(AbsNormal(PathJoin(dir, "x"))).parent_path();
  const std::lock_guard<std::mutex> guard(gRedirectMutex);
  for (const auto& [target, source] : gRedirects) {
    const fs::path t(target);
    if (t.parent_path() != folder) continue;
    const std::string name = t.filename().string();
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
}

// Reads the whole regular file at path into bytes. Anything else (a folder, a FIFO, a device) is
// refused before a byte is read, so that a damaged board can neither hang the program nor feed
// it without end; so is a file above kMaxRecFileBytes.
TStatus ReadRegularFile(const std::string& path, const std::string& name, std::string& bytes) {
  const int fd = ::open(ReadSource(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return TStatus::Error(name + ": ファイルを開けません（" + std::strerror(errno) + "）");
  }
  struct stat sb {};
  TStatus st;
  if (fstat(fd, &sb) != 0) {
    st = TStatus::Error(name + ": ファイルを読めません（" + std::strerror(errno) + "）");
  } else if (S_ISDIR(sb.st_mode)) {
    st = TStatus::Error(name + ": フォルダーであり、ファイルではありません");
  } else if (!S_ISREG(sb.st_mode)) {
    st = TStatus::Error(name + ": 通常のファイルではありません");
  } else if (sb.st_size > kMaxRecFileBytes) {
    st = TStatus::Error(name + ": ファイルが大きすぎます（" + IntText(kMaxRecFileBytes / 1048576) +
                        " MB まで）");
  }
  if (st) {
    bytes.assign(static_cast<size_t>(sb.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        st = TStatus::Error(name + ": ファイルを読めません（" + std::strerror(errno) + "）");
        break;
      }
      if (n == 0) break;  // shrank while being read: take what is there
      done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    if (st) NoteRead(path, sb, bytes);
  }
  ::close(fd);
  return st;
}

// The first line of text longer than max; empty when there is none.
std::string_view LongLine(std::string_view text, size_t max) {
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    if (i - start > max) return text.substr(start, i - start);
    start = i + 1;
  }
  return {};
}

// The key of a line when it is a plain ASCII word, for messages; empty otherwise.
std::string KeyOfLine(std::string_view line) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos || eq == 0 || eq > 40) return {};
  for (const char c : line.substr(0, eq)) {
    if (c <= ' ' || c > '~') return {};
  }
  return std::string(line.substr(0, eq)) + " の";
}

}  // namespace

TStatus ReadFileBytes(const std::string& path, std::string& bytes, std::string_view display) {
  return ReadRegularFile(path, NameFor(path, display), bytes);
}

std::vector<std::string> SplitTextLines(std::string_view text) { return SplitLines(text); }

TStatus LoadRec(const std::string& path, TextRec& rec, std::string_view display) {
  const std::string name = NameFor(path, display);
  std::string bytes;
  if (TStatus st = ReadRegularFile(path, name, bytes); !st) return st;
  return ParseRec(bytes, name, rec);
}

TStatus ParseRec(std::string_view bytes, const std::string& name, TextRec& rec) {
  if (const std::string_view line = LongLine(bytes, kMaxRecLineBytes); !line.empty()) {
    return TStatus::Error(name + ": " + KeyOfLine(line) + "行が長すぎます（" +
                          IntText(kMaxRecLineBytes / 1024) + " KB まで）");
  }
  if (const size_t lines = std::count(bytes.begin(), bytes.end(), '\n'); lines > kMaxRecLines) {
    return TStatus::Error(name + ": 行が多すぎます（" + IntText(kMaxRecLines) + " 行まで）");
  }
  // A NUL would end the text wherever it is shown, cutting a name short without a word.
  if (const size_t nul = bytes.find('\0'); nul != std::string::npos) {
    const auto line = std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(nul), '\n');
    return TStatus::Error(name + ": " + IntText(line + 1) + " 行目に NUL 文字があります");
  }
  std::string text;
  if (!Cp932ToUtf8(bytes, text)) {
    return TStatus::Error(name + ": Shift-JIS のテキストではありません");
  }
  rec.Lines = SplitLines(text);
  return TStatus::Ok();
}

TStatus LoadNumberedRec(const std::string& folder, const std::string& stem,
                        const std::string& display, TextRec& rec, int32_t& id) {
  if (!ParseInt(stem, id)) return TStatus::Error(display + ": ファイル名が数値ではありません");
  return LoadRec(ResolveIn(folder, stem + ".txt"), rec, display);
}

namespace {

// Whether the file at path already holds text: the same bytes, or bytes that read as the same
// text (a character with two codes keeps the code the file has).
bool HoldsText(const std::string& path, const std::string& bytes, const std::string& text) {
  struct stat sb {};
  if (::stat(path.c_str(), &sb) != 0 || !S_ISREG(sb.st_mode)) return false;
  if (static_cast<size_t>(sb.st_size) > 2 * bytes.size() + 16) return false;
  std::string old, oldText;
  if (!ReadRegularFile(path, path, old)) return false;
  return old == bytes || (Cp932ToUtf8(old, oldText) && oldText == text);
}

}  // namespace

TStatus SaveRec(const TextRec& rec, const std::string& path, std::string_view display) {
  std::string text;
  for (const std::string& line : rec.Lines) {
    text += line;
    text += "\r\n";
  }
  std::string bytes;
  if (!Utf8ToCp932(text, bytes)) {
    return TStatus::Error(NameFor(path, display) + ": Shift-JIS で保存できない文字があります");
  }
  if (HoldsText(path, bytes, text)) return TStatus::Ok();
  return WriteFileAtomic(path, bytes, display);
}

TStatus WriteFileAtomic(const std::string& path, std::string_view bytes, std::string_view display) {
  const auto fail = [&](const std::string& what) {
    return TStatus::Error(NameFor(path, display) + ": cannot be written (" + what + ")");
  };
  // The file's mode is kept; a read-only file stays unchanged.
  mode_t mode = 0644;
  struct stat sb {};
  if (::stat(path.c_str(), &sb) == 0 && S_ISREG(sb.st_mode)) {
    if ((sb.st_mode & 0222) == 0) return fail("読み取り専用のファイルです");
    mode = sb.st_mode & 07777;
  }
  // A short temporary name: the target's own name may be as long as the file system allows.
  const size_t slash = path.rfind('/');
  std::string tmp =
      (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".rvXXXXXX.tmp";
  const int fd = mkstemps(tmp.data(), 4);
  if (fd < 0) return fail(std::strerror(errno));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string why = std::strerror(errno);
      ::close(fd);
      ::unlink(tmp.c_str());
      return fail(why);
    }
    done += static_cast<size_t>(n);
  }
  fchmod(fd, mode);
  // No fsync: the rename replaces the file whole, so a failed or interrupted write never leaves
  // half a file. Board saves, which must land all together, go through TSaveBatch.
  if (::close(fd) != 0) {
    const std::string why = std::strerror(errno);
    ::unlink(tmp.c_str());
    return fail(why);
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    ::unlink(tmp.c_str());
    return fail(why);
  }
  return TStatus::Ok();
}

std::string EscapeControls(std::string_view s, bool keepBreaks) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (keepBreaks && (b == '\n' || b == '\r' || b == '\t')) {
      out += s[i];
    } else if (b < 0x20 || b == 0x7F) {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else if (b == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(s[i + 1]) <= 0x9F) {
      const auto c = static_cast<unsigned char>(s[++i]);
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += s[i];
    }
  }
  return out;
}

// ---- Stamps ------------------------------------------------------------------------------------

uint64_t HashBytes(std::string_view bytes) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

std::string StampKey(const std::string& path) { return fs::path(path).lexically_normal().string(); }

TStatus StampFile(const std::string& path, std::optional<TFileStamp>& out) {
  out.reset();
  struct stat sb {};
  if (::lstat(path.c_str(), &sb) != 0) {
    if (errno == ENOENT) return TStatus::Ok();
    return TStatus::Error(path + ": ファイルを調べられません（" + std::strerror(errno) + "）");
  }
  std::string bytes;
  TStatus st = ReadRegularFile(path, path, bytes);
  if (st) out = TFileStamp{static_cast<int64_t>(bytes.size()), MTimeNs(sb), HashBytes(bytes)};
  return st;
}

TStampReads::TStampReads(TFileStamps& stamps) {
  const std::lock_guard<std::mutex> guard(gStampMutex);
  prev_ = gStamps;
  gStamps = &stamps;
}

TStampReads::~TStampReads() {
  const std::lock_guard<std::mutex> guard(gStampMutex);
  gStamps = prev_;
}

TReadRedirect::TReadRedirect(std::map<std::string, std::string> from) {
  const std::lock_guard<std::mutex> guard(gRedirectMutex);
  for (auto& [target, source] : from) {
    std::string key = AbsNormal(target);
    gRedirects[key] = AbsNormal(source);
    keys_.push_back(std::move(key));
  }
  gRedirectCount = gRedirects.size();
}

std::string TReadRedirect::SourceOf(const std::string& path) { return ReadSource(path); }

TReadRedirect::~TReadRedirect() {
  const std::lock_guard<std::mutex> guard(gRedirectMutex);
  for (const std::string& key : keys_) gRedirects.erase(key);
  gRedirectCount = gRedirects.size();
}

std::string PathJoin(std::string_view a, std::string_view b) {
  std::string out(a);
  if (!out.empty() && out.back() != '/') out += '/';
  out += b;
  return out;
}

namespace {

bool IsDirOrFile(const std::string& path) {
  struct stat sb {};
  return ::stat(path.c_str(), &sb) == 0 && (S_ISDIR(sb.st_mode) || S_ISREG(sb.st_mode));
}

bool IsAscii(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

// The entry of dir whose name equals name without regard to case, or else reads back from
// Shift-JIS as the same; name itself when none does.
std::string ResolveEntry(const std::string& dir, const std::string& name) {
  struct stat sb {};
  if (::lstat(PathJoin(dir, name).c_str(), &sb) == 0) return name;
  const std::string back = ReadBackName(name);
  const bool plain = IsAscii(name);
  std::string same;
  for (std::string& entry : ListDirNames(dir)) {
    if (SameNoCase(entry, name)) return entry;
    if (same.empty() && !plain && SameNoCase(ReadBackName(entry), back)) same = entry;
  }
  return same.empty() ? name : same;
}

}  // namespace

std::string ReadBackName(const std::string& name) {
  if (IsAscii(name)) return name;
  std::string bytes, back;
  if (!Utf8ToCp932(name, bytes) || !Cp932ToUtf8(bytes, back)) return name;
  return back;
}

std::string ResolveIn(const std::string& dir, std::string_view rel) {
  std::string path = dir;
  size_t start = 0;
  while (start <= rel.size()) {
    size_t end = rel.find('/', start);
    if (end == std::string_view::npos) end = rel.size();
    const std::string part(rel.substr(start, end - start));
    if (!part.empty()) path = PathJoin(path, ResolveEntry(path, part));
    start = end + 1;
  }
  return path;
}

// ---- Listing -----------------------------------------------------------------------------------

namespace {

bool ExtMatches(const std::string& name, std::string_view ext) {
  const size_t dot = name.rfind('.');
  if (ext.empty()) return dot == std::string::npos;
  return dot != std::string::npos && SameNoCase(std::string_view(name).substr(dot + 1), ext);
}

}  // namespace

// POSIX rather than std::filesystem, whose non-throwing listing ends the program when an
// allocation fails inside it.
std::vector<std::string> ListDirNames(const std::string& dir) {
  std::vector<std::string> names;
  const std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), &::closedir);
  if (!d) return names;
  while (const dirent* e = ::readdir(d.get())) {
    const std::string_view name = e->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  AddRedirectedNames(dir, names);
  return names;
}

TStatus ListDirChecked(const std::string& dir, std::vector<std::string>& names) {
  names.clear();
  const std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), &::closedir);
  if (!d) {
    if (errno == ENOENT) {
      AddRedirectedNames(dir, names);
      return TStatus::Ok();
    }
    return TStatus::Error(dir + ": フォルダの中を読めません（" + std::strerror(errno) + "）");
  }
  errno = 0;
  while (const dirent* e = ::readdir(d.get())) {
    const std::string_view name = e->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  if (errno != 0) {
    return TStatus::Error(dir + ": フォルダの中を読めません（" + std::strerror(errno) + "）");
  }
  AddRedirectedNames(dir, names);
  return TStatus::Ok();
}

std::string CaseTwinText(const std::string& a, const std::string& b) {
  return a + " と " + b + " は大文字と小文字だけが違う名前のファイルです。" +
         "どちらを読み書きするか決められないので、一方の名前を変えてください";
}

TStatus ListRecFileNames(const std::string& folder, std::string_view ext,
                         const std::string& display, std::vector<std::string>& names) {
  std::vector<std::string> all;
  TStatus st = ListDirChecked(folder, all);
  if (!st) return st;
  names.clear();
  std::vector<std::pair<std::string, std::string>> folded;  // folded name, name
  for (std::string& name : all) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || !ExtMatches(name, ext)) continue;
    folded.emplace_back(UpperName(ReadBackName(name)), name);
    names.push_back(std::move(name));
  }
  std::sort(folded.begin(), folded.end());
  for (size_t i = 1; i < folded.size(); ++i) {
    if (folded[i].first != folded[i - 1].first) continue;
    const std::string prefix = display.empty() ? std::string() : display + "/";
    return TStatus::Error(CaseTwinText(prefix + folded[i - 1].second, prefix + folded[i].second));
  }
  std::sort(names.begin(), names.end());
  return TStatus::Ok();
}

std::vector<std::string> ListFiles(const std::string& folder, std::string_view ext) {
  std::vector<std::string> stems;
  for (const std::string& name : ListDirNames(folder)) {
    if (ext.empty()) {
      // Hidden entries and anything but folders and plain files are not objects.
      if (name.empty() || name[0] == '.') continue;
      if (!IsDirOrFile(PathJoin(folder, name))) continue;
    }
    if (!ExtMatches(name, ext)) continue;
    const size_t dot = name.rfind('.');
    const std::string stem = UpperName(dot == std::string::npos ? name : name.substr(0, dot));
    if (stem.empty() || stem == "." || stem == "..") continue;
    stems.push_back(stem);
  }
  std::sort(stems.begin(), stems.end());
  return stems;
}

std::vector<std::string> ListFileNames(const std::string& folder, std::string_view ext) {
  std::vector<std::string> names;
  for (std::string& name : ListDirNames(folder)) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || !ExtMatches(name, ext)) continue;
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace ramvel
