// Record files on disk: CP932 decoding and encoding, whole-file reading, atomic writing,
// folder listing and the case-insensitive resolution of object paths.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace fs = std::filesystem;

// ---- Files -------------------------------------------------------------------------------------

namespace {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
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

TStatus LoadRec(const std::string& path, TextRec& rec, std::string_view display) {
  const std::string name = NameFor(path, display);
  std::error_code ec;
  if (fs::is_directory(path, ec)) return TStatus::Error(name + ": is a folder, not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) return TStatus::Error(name + ": cannot be opened (" + std::strerror(errno) + ")");
  std::ostringstream buf;
  buf << in.rdbuf();
  if (in.bad()) return TStatus::Error(name + ": cannot be read");
  std::string text;
  if (!Cp932ToUtf8(buf.str(), text)) return TStatus::Error(name + ": is not Shift-JIS text");
  rec.Lines = SplitLines(text);
  return TStatus::Ok();
}

TStatus LoadNumberedRec(const std::string& folder, const std::string& stem,
                        const std::string& display, TextRec& rec, int32_t& id) {
  if (!ParseInt(stem, id)) return TStatus::Error(display + ": the file name is not a number");
  return LoadRec(ResolveIn(folder, stem + ".txt"), rec, display);
}

namespace {

// Whether the file at path already holds text: the same bytes, or bytes that read as the same
// text (a character with two codes keeps the code the file has).
bool HoldsText(const std::string& path, const std::string& bytes, const std::string& text) {
  struct stat sb {};
  if (::stat(path.c_str(), &sb) != 0 || !S_ISREG(sb.st_mode)) return false;
  if (static_cast<size_t>(sb.st_size) > 2 * bytes.size() + 16) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return false;
  std::ostringstream buf;
  buf << in.rdbuf();
  const std::string old = buf.str();
  std::string oldText;
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
    return TStatus::Error(NameFor(path, display) + ": holds characters that Shift-JIS cannot store");
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

std::string PathJoin(std::string_view a, std::string_view b) {
  std::string out(a);
  if (!out.empty() && out.back() != '/') out += '/';
  out += b;
  return out;
}

namespace {

// A name as it reads back from a Shift-JIS file: 〜 (U+301C) is written as 81 60 and read as
// ～ (U+FF5E), so a name kept in Board.txt or latest.txt can come back in that form.
bool IsAscii(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

std::string AsReadBack(const std::string& name) {
  if (IsAscii(name)) return name;
  std::string bytes, back;
  if (!Utf8ToCp932(name, bytes) || !Cp932ToUtf8(bytes, back)) return name;
  return back;
}

// The entry of dir whose name equals name without regard to case, or else reads back from
// Shift-JIS as the same; name itself when none does.
std::string ResolveEntry(const std::string& dir, const std::string& name) {
  std::error_code ec;
  if (fs::exists(PathJoin(dir, name), ec)) return name;
  const std::string back = AsReadBack(name);
  const bool plain = IsAscii(name);
  std::string same;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (SameNoCase(entry, name)) return entry;
    if (same.empty() && !plain && SameNoCase(AsReadBack(entry), back)) same = entry;
  }
  return same.empty() ? name : same;
}

}  // namespace

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

std::vector<std::string> ListFiles(const std::string& folder, std::string_view ext) {
  std::vector<std::string> stems;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (ext.empty()) {
      // Hidden entries and anything but folders and plain files are not objects.
      if (name.empty() || name[0] == '.') continue;
      std::error_code tec;
      if (!it->is_directory(tec) && !it->is_regular_file(tec)) continue;
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

}  // namespace ramvel
