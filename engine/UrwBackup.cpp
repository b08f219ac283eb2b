// Backups: packing a board folder into one file, reading and checking a backup section by
// section, and restoring it through the journaled save.
#include "engine/UrwBackup.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "engine/UrwBrdData.h"
#include "engine/UrwShellState.h"
#include "foundation/UrwBrdLock.h"
#include "foundation/UrwSaveBatch.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSectionMark = "*>";

// One line of raw bytes and where it starts; lines end at CR, LF or CR LF.
struct TRawLine {
  std::string_view Text;
  int32_t No = 0;
};

std::vector<TRawLine> RawLines(std::string_view bytes) {
  std::vector<TRawLine> lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back({bytes.substr(start, i - start), static_cast<int32_t>(lines.size() + 1)});
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) {
    lines.push_back({bytes.substr(start), static_cast<int32_t>(lines.size() + 1)});
  }
  return lines;
}

// The whole file, refused when it is not a plain file or larger than limit.
TStatus ReadWhole(const std::string& path, const std::string& display, uintmax_t limit,
                  std::string& bytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    const bool there = fs::exists(path, ec);
    return TStatus::Error(display + (there ? " はファイルではありません" : " がありません"));
  }
  if (fs::file_size(path, ec) > limit) {
    return TStatus::Error(display + " を読めません（大きすぎます）");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return TStatus::Error(display + " を読めません");
  std::ostringstream buf;
  buf << in.rdbuf();
  if (in.bad()) return TStatus::Error(display + " を読めません");
  bytes = buf.str();
  return TStatus::Ok();
}

TStatus AppendSection(const std::string& recorded, std::string_view content,
                      const std::string& display, std::string& out) {
  std::string path;
  if (!Utf8ToCp932(recorded, path)) {
    return TStatus::Error(recorded + ": パスに Shift-JIS で書けない文字が含まれています");
  }
  out.append(kSectionMark).append(path).append("\r\n");
  for (const TRawLine& line : RawLines(content)) {
    if (!line.Text.empty() && line.Text[0] == '*') {
      return TStatus::Error(display + " の " + IntText(line.No) +
                            " 行目が「*」で始まっているため、バックアップできません");
    }
    out.append(line.Text).append("\r\n");
  }
  return TStatus::Ok();
}

// Packs brdDir/rel, recorded under recordDir + rel.
TStatus PackFile(const std::string& brdDir, const std::string& recordDir, const std::string& rel,
                 std::string& out) {
  std::string content;
  // Through a redirect: a board that could not be recovered is packed as its reader sees it.
  const std::string path = TReadRedirect::SourceOf(ResolveIn(brdDir, rel));
  TStatus st = ReadWhole(path, rel, kMaxBakBytes, content);
  if (st) st = AppendSection(recordDir + rel, content, rel, out);
  return st;
}

bool IsDigits(std::string_view s) {
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return !s.empty();
}

bool IsStamp(std::string_view s) {
  return s.size() == kBakStampLen && IsDigits(s.substr(0, 6)) && s[6] == '_' &&
         IsDigits(s.substr(7));
}

}  // namespace

// ---- Time stamps -------------------------------------------------------------------------------

TBakTime LocalBakTime() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

std::string BakStamp(const TBakTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d_%02d%02d", t.Year % 100, t.Month % 100, t.Day % 100,
                t.Hour % 100, t.Minute % 100);
  return buf;
}

// ---- Making a backup ---------------------------------------------------------------------------

namespace {

// The components of a kBakFolders entry.
std::vector<std::string> Components(std::string_view pattern) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= pattern.size()) {
    size_t end = pattern.find('/', start);
    if (end == std::string_view::npos) end = pattern.size();
    parts.emplace_back(pattern.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The folders below brdDir/rel that match the components from k on, appended to rels.
TStatus ExpandFolder(const std::string& brdDir, const std::string& rel,
                     const std::vector<std::string>& parts, size_t k,
                     std::vector<std::string>& rels) {
  if (k == parts.size()) {
    rels.push_back(rel);
    return TStatus::Ok();
  }
  const std::string dir = rel.empty() ? brdDir : PathJoin(brdDir, rel);
  std::vector<std::string> names;
  if (parts[k] != "*") {
    const std::string found = ResolveIn(dir, parts[k]);
    std::error_code ec;
    if (fs::is_directory(found, ec)) names.push_back(fs::path(found).filename().string());
  } else if (TStatus st = ListDirChecked(dir, names); !st) {
    return st;
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    std::error_code ec;
    if (name[0] == '.' || !fs::is_directory(PathJoin(dir, name), ec)) continue;
    TStatus st = ExpandFolder(brdDir, rel.empty() ? name : rel + "/" + name, parts, k + 1, rels);
    if (!st) return st;
  }
  return TStatus::Ok();
}

}  // namespace

TStatus ListBakFolders(const std::string& brdDir, std::vector<std::string>& rels) {
  rels.clear();
  for (const char* pattern : kBakFolders) {
    if (TStatus st = ExpandFolder(brdDir, "", Components(pattern), 0, rels); !st) return st;
  }
  return TStatus::Ok();
}

TStatus PackBoard(const std::string& baseDir, const std::string& brdName, std::string& bytes) {
  TStatus st = CheckObjName(brdName, "ボード名");
  if (!st) return st;
  const std::string brdDir = ResolveIn(baseDir, brdName);
  const std::string recordDir = PathJoin(PathJoin(baseDir, brdName), "");
  // A save cut off earlier is completed or undone first, and none runs while the files are read.
  TBrdLock lock;
  std::error_code ec;
  if (fs::is_directory(brdDir, ec) && (st = LockForRead(brdDir, lock), !st)) return st;
  std::string out;
  st = CheckRootTwins(brdDir);
  if (st) st = PackFile(brdDir, recordDir, "Board.txt", out);
  std::vector<std::string> folders;
  if (st) st = ListBakFolders(brdDir, folders);
  for (const std::string& folder : folders) {
    std::vector<std::string> names;
    if (st) st = ListRecFileNames(PathJoin(brdDir, folder), "txt", folder, names);
    for (const std::string& name : names) {
      if (!st) break;
      if (name[0] == '.') {  // hidden: a restore could never write it back
        st = TStatus::Error(folder + "/" + name +
                            ": 名前が「.」で始まるファイルはバックアップから戻せません。名前を変えてください");
        break;
      }
      const size_t dot = name.rfind('.');
      st = PackFile(brdDir, recordDir, folder + "/" + UpperName(name.substr(0, dot)) + ".txt", out);
    }
  }
  // A backup larger than any restore accepts would be of no use.
  if (st && out.size() > kMaxBakBytes) {
    st = TStatus::Error("ボード「" + brdName + "」は大きすぎてバックアップできません");
  }
  if (st) bytes = std::move(out);
  return st;
}

namespace {

// t moved on by one minute, through the calendar.
TBakTime NextMinute(const TBakTime& t) {
  std::tm tm{};
  tm.tm_year = t.Year - 1900;
  tm.tm_mon = t.Month - 1;
  tm.tm_mday = t.Day;
  tm.tm_hour = t.Hour;
  tm.tm_min = t.Minute + 1;
  tm.tm_isdst = -1;
  std::mktime(&tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

}  // namespace

TStatus MakeBackup(const std::string& baseDir, const std::string& brdName, const TBakTime& t,
                   std::string& path, bool keepOthers) {
  std::string bytes;
  TStatus st = PackBoard(baseDir, brdName, bytes);
  if (!st) return st;
  const std::string folder = ResolveIn(baseDir, kBakFolder);
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return TStatus::Error(folder + " を作れません（" + ec.message() + "）");
  TBakTime when = t;
  std::string file = PathJoin(folder, brdName + BakStamp(when) + kBakExt);
  for (int tries = 0; keepOthers && fs::exists(fs::symlink_status(file, ec)); ++tries) {
    if (tries == 24 * 60) return TStatus::Error(folder + ": バックアップの名前が空いていません");
    when = NextMinute(when);
    file = PathJoin(folder, brdName + BakStamp(when) + kBakExt);
  }
  st = WriteFileAtomic(file, bytes);
  if (st) path = file;
  return st;
}

// ---- Reading a backup --------------------------------------------------------------------------

TStatus BakBrdName(std::string_view fileName, std::string& brdName) {
  const std::string shown(fileName);
  const size_t dot = fileName.rfind('.');
  const std::string_view stem = dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
  if (stem.size() <= kBakStampLen) {
    return TStatus::Error("バックアップのファイル名「" + shown +
                          "」が短すぎます。ボード名の後に 11 文字の日時 (yymmdd_hhmm) "
                          "が付いた名前が必要です");
  }
  if (!IsStamp(stem.substr(stem.size() - kBakStampLen))) {
    return TStatus::Error("バックアップのファイル名「" + shown +
                          "」がボード名の後に 11 文字の日時 (yymmdd_hhmm) で終わっていません");
  }
  const std::string name(stem.substr(0, stem.size() - kBakStampLen));
  const TStatus st = CheckObjName(name, "ボード名");
  if (!st)
    return TStatus::Error("バックアップ「" + shown + "」のボード名が使えません: " + st.Msg());
  brdName = name;
  return TStatus::Ok();
}

namespace {

std::vector<std::string> PathParts(std::string_view path) {
  std::vector<std::string> parts;
  std::string cur;
  for (const char c : path) {
    if (c == '/' || c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

bool HasControl(std::string_view s) {
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return true;
  }
  return false;
}

TStatus CheckBakFileName(const std::string& name) {
  if (name.size() < 5 || !SameNoCase(std::string_view(name).substr(name.size() - 4), ".txt")) {
    return TStatus::Error("ファイル「" + name + "」の拡張子が .txt ではありません");
  }
  if (name[0] == '.' || HasControl(name)) {
    return TStatus::Error("ファイル名「" + name + "」は使えません");
  }
  return TStatus::Ok();
}

// Whether parts[first..first + pattern size) are the folder of pattern; folder receives it as
// the board knows it (the pattern's own spelling, a "*" part as recorded).
bool MatchFolder(const std::vector<std::string>& parts, size_t first,
                 const std::vector<std::string>& pattern, std::string& folder) {
  folder.clear();
  for (size_t k = 0; k < pattern.size(); ++k) {
    const std::string& part = parts[first + k];
    if (pattern[k] == "*" ? part[0] == '.' || HasControl(part) : !SameNoCase(part, pattern[k])) {
      return false;
    }
    folder += (k == 0 ? "" : "/") + (pattern[k] == "*" ? part : pattern[k]);
  }
  return true;
}

}  // namespace

TStatus MapBakPath(std::string_view recorded, std::string_view brdName, std::string& target) {
  const std::vector<std::string> parts = PathParts(recorded);
  for (const std::string& p : parts) {
    if (p == ".." || p == ".") return TStatus::Error("「.」や「..」を含むパスには書き込めません");
  }
  const size_t n = parts.size();
  std::string otherBrd;
  for (const char* entry : kBakFolders) {
    const std::vector<std::string> pattern = Components(entry);
    std::string folder;
    if (n < pattern.size() + 2 || !MatchFolder(parts, n - 1 - pattern.size(), pattern, folder)) {
      continue;
    }
    const std::string& brd = parts[n - 2 - pattern.size()];
    if (SameNoCase(brd, brdName)) {
      const TStatus st = CheckBakFileName(parts[n - 1]);
      if (st) target = folder + "/" + parts[n - 1];
      return st;
    }
    if (otherBrd.empty()) otherBrd = brd;
  }
  if (n >= 2 && SameNoCase(parts[n - 1], "Board.txt")) {
    if (SameNoCase(parts[n - 2], brdName)) {
      target = "Board.txt";
      return TStatus::Ok();
    }
    if (otherBrd.empty()) otherBrd = parts[n - 2];
  }
  if (!otherBrd.empty()) {
    return TStatus::Error("別のボード「" + otherBrd + "」のファイルです");
  }
  std::string folders;
  for (const char* entry : kBakFolders) folders += std::string(folders.empty() ? "" : "・") + entry;
  return TStatus::Error("ボード「" + std::string(brdName) + "」の Board.txt または " + folders +
                        " の中のファイルではありません");
}

namespace {

TStatus LineError(std::string_view fileName, std::string_view line, int32_t no,
                  const std::string& why) {
  std::string text;
  if (!Cp932ToUtf8(line.substr(0, 200), text)) text = "（Shift-JIS でない文字）";
  return TStatus::Error("バックアップ「" + std::string(fileName) + "」の " + IntText(no) +
                        " 行目「" + EscapeControls(text) + "」: " + why);
}

}  // namespace

// ---- Reading a backup section by section -------------------------------------------------------

TBakScanner::TBakScanner(std::istream& in, std::string fileName, std::string brdName)
    : in_(in), fileName_(std::move(fileName)), brdName_(std::move(brdName)) {}

bool TBakScanner::Fail(TStatus st) {
  st_ = std::move(st);
  return false;
}

// One line without its break (CR, LF or CR LF); false at the end of the file. A line longer
// than any record file allows is refused before it is held whole.
bool TBakScanner::ReadLine(std::string& line) {
  line.clear();
  std::streambuf& buf = *in_.rdbuf();
  for (;;) {
    const int c = buf.sbumpc();
    if (c == std::char_traits<char>::eof()) {
      if (line.empty()) return false;
      endedInBreak_ = false;
      ++lineNo_;
      return true;
    }
    if (c == '\r' || c == '\n') {
      if (c == '\r' && buf.sgetc() == '\n') buf.sbumpc();
      endedInBreak_ = true;
      ++lineNo_;
      return true;
    }
    if (line.size() >= kMaxRecLineBytes + 4096) {
      return Fail(LineError(fileName_, line, lineNo_ + 1, "行が長すぎます"));
    }
    line += static_cast<char>(c);
  }
}

bool TBakScanner::Next(TBakSection& sec) {
  if (!st_) return false;
  const std::string shown = "バックアップ「" + fileName_ + "」";
  if (!started_) {
    started_ = true;
    if (!ReadLine(head_)) return Fail(TStatus::Error(st_ ? shown + "は空です" : st_.Msg()));
    if (head_.empty() || head_[0] != '*') {
      return Fail(LineError(fileName_, head_, lineNo_, "ファイルの区切り行（*>）で始まっていません"));
    }
    haveHead_ = true;
  }
  if (!haveHead_) return false;
  if (++sections_ > kMaxBakSections) {
    return Fail(LineError(fileName_, head_, lineNo_, "ファイルの数が多すぎます"));
  }
  sec = TBakSection();
  const size_t gt = head_.find('>');
  if (gt == std::string::npos) return Fail(LineError(fileName_, head_, lineNo_, "「>」がありません"));
  if (!Cp932ToUtf8(std::string_view(head_).substr(gt + 1), sec.Recorded)) {
    return Fail(LineError(fileName_, head_, lineNo_, "パスが Shift-JIS ではありません"));
  }
  if (TStatus st = MapBakPath(sec.Recorded, brdName_, sec.Target); !st) {
    return Fail(LineError(fileName_, head_, lineNo_, st.Msg()));
  }
  sec.Line = lineNo_;
  haveHead_ = false;
  std::string line;
  while (ReadLine(line)) {
    if (!line.empty() && line[0] == '*') {
      head_ = std::move(line);
      haveHead_ = true;
      break;
    }
    if (sec.Bytes.size() + line.size() + 2 > static_cast<size_t>(kMaxRecFileBytes)) {
      return Fail(TStatus::Error(shown + "の " + sec.Target + " は大きすぎます（" +
                                 IntText(kMaxRecFileBytes / 1048576) + " MB まで）"));
    }
    sec.Bytes.append(line).append("\r\n");
  }
  if (!st_) return false;
  if (in_.bad()) return Fail(TStatus::Error(shown + "を読めません（読み込みエラー）"));
  if (!endedInBreak_) {
    return Fail(TStatus::Error(shown + "は " + IntText(lineNo_) +
                               " 行目の途中で切れています（最後の行に改行がありません）"));
  }
  return true;
}

TStatus ParseBackup(std::string_view fileName, std::string_view bytes, TBackup& bak) {
  TBackup out;
  TStatus st = BakBrdName(fileName, out.BrdName);
  if (!st) return st;
  std::istringstream in{std::string(bytes)};
  TBakScanner scan(in, std::string(fileName), out.BrdName);
  TBakSection sec;
  while (scan.Next(sec)) out.Sections.push_back(std::move(sec));
  if (!scan.Status()) return scan.Status();
  bak = std::move(out);
  return TStatus::Ok();
}

// ---- Checking what a backup holds --------------------------------------------------------------

namespace {

TStatus CheckBoardSection(const TextRec& rec) {
  TBoardHead head;
  TStatus st = ReadBoardHead(rec, head);
  for (size_t i = 0; st && i < head.StaNames.size(); ++i) {
    const std::string key = CountedKey("STA", static_cast<int32_t>(i + 1));
    if (head.StaNames[i].empty()) st = TStatus::Error("Board.txt: " + key + kWhyMissing);
  }
  return st;
}

TStatus CheckLineSection(const TextRec& rec, const std::string& display) {
  for (size_t i = 0; i < rec.Lines.size(); ++i) {
    int32_t id = 0;
    if (rec.Lines[i].empty()) continue;
    if (!ParseInt(rec.Lines[i], id) || IdKind(id) != kKindSta || id <= 0) {
      return TStatus::Error(display + ": " + IntText(static_cast<int64_t>(i + 1)) +
                            " 行目が駅の ID ではありません");
    }
  }
  return TStatus::Ok();
}

}  // namespace

TStatus CheckBakSection(std::string_view fileName, const TBakSection& sec) {
  const std::string& display = sec.Target;
  TextRec rec;
  TStatus st = ParseRec(sec.Bytes, display, rec);
  const fs::path target(sec.Target);
  const std::string folder = target.parent_path().filename().string();
  const std::string stem = target.stem().string();
  int32_t n = 0;
  if (!st) {
  } else if (sec.Target == "Board.txt") {
    st = CheckBoardSection(rec);
  } else if (folder == "station") {
    st = TStaObj().ReadRec(rec, ReadBackName(stem), display);
  } else if (folder == "rail" && ObjFileNumber(stem, n)) {
    st = TRailObj().ReadRec(rec, display);
  } else if (folder == "car" && ObjFileNumber(stem, n)) {
    st = TCarObj().ReadRec(rec, display);
  } else if (folder == "line") {
    st = CheckLineSection(rec, display);
  }
  if (st) return st;
  return TStatus::Error("バックアップ「" + std::string(fileName) + "」の " + IntText(sec.Line) +
                        " 行目からのファイルが壊れています: " + st.Msg());
}

// ---- Restoring ---------------------------------------------------------------------------------

namespace {

// Runs each section of the backup at path through visit, one at a time.
template <typename Visit>
TStatus ScanBackup(const std::string& path, const std::string& fileName,
                   const std::string& brdName, const Visit& visit) {
  const std::string shown = "バックアップ「" + fileName + "」";
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    return TStatus::Error(shown + (fs::exists(path, ec) ? " はファイルではありません" : " がありません"));
  }
  if (fs::file_size(path, ec) > kMaxBakBytes) return TStatus::Error(shown + " を読めません（大きすぎます）");
  std::ifstream in(path, std::ios::binary);
  if (!in) return TStatus::Error(shown + " を読めません");
  TBakScanner scan(in, fileName, brdName);
  TBakSection sec;
  while (scan.Next(sec)) {
    if (TStatus st = visit(sec); !st) return st;
  }
  return scan.Status();
}

// The restore proper, under the board's lock held by batch.
TStatus RestoreInto(const std::string& baseDir, const std::string& bakPath,
                    const std::string& fileName, const std::string& brdDir, TRestored& out) {
  TSaveBatch batch(brdDir);
  TStatus st = batch.Begin();
  if (!st) return st;
  const std::string name = fs::path(brdDir).filename().string();
  std::error_code ec;
  if (fs::exists(ResolveIn(brdDir, "Board.txt"), ec)) {
    st = MakeBackup(baseDir, name, LocalBakTime(), out.AutoBak, true);
    if (!st) return TStatus::Error("今のボードをバックアップできないため、復元しません: " + st.Msg());
  }
  std::set<std::string, TLessNoCase> restored;  // paths relative to brdDir, as on disk
  st = ScanBackup(bakPath, fileName, name, [&](const TBakSection& sec) {
    TStatus checked = CheckBakSection(fileName, sec);
    const std::string path = ResolveIn(brdDir, sec.Target);
    if (checked) checked = batch.Stage(path, sec.Bytes);
    restored.insert(path.substr(PathJoin(brdDir, "").size()));
    return checked;
  });
  std::vector<std::string> folders;
  if (st) st = ListBakFolders(brdDir, folders);
  for (const std::string& folder : folders) {
    std::vector<std::string> names;
    if (st) st = ListRecFileNames(PathJoin(brdDir, folder), "txt", folder, names);
    for (const std::string& file : names) {
      if (st && restored.count(folder + "/" + file) == 0) batch.Remove(PathJoin(brdDir, folder + "/" + file));
    }
  }
  if (st) st = batch.Commit();
  if (!st && !out.AutoBak.empty()) {
    fs::remove(out.AutoBak, ec);  // nothing was restored: the board is as that backup holds it
    out.AutoBak.clear();
  }
  return st;
}

}  // namespace

TStatus RestoreBackup(const std::string& baseDir, const std::string& bakPath, TRestored& out) {
  const std::string fileName = fs::path(bakPath).filename().string();
  std::string name;
  TStatus st = BakBrdName(fileName, name);
  // The whole backup is read and checked before anything is written. A path that leads
  // elsewhere or a backup cut short is told before a damaged file.
  bool hasBoard = false;
  TStatus damaged;
  if (st) {
    st = ScanBackup(bakPath, fileName, name, [&](const TBakSection& sec) {
      hasBoard |= sec.Target == "Board.txt";
      if (damaged) damaged = CheckBakSection(fileName, sec);
      return TStatus::Ok();
    });
  }
  if (st) st = damaged;
  if (st && !hasBoard) {
    st = TStatus::Error("バックアップ「" + fileName + "」に Board.txt がありません");
  }
  if (!st) return st;
  TRestored result;
  result.BrdDir = ResolveIn(baseDir, name);
  std::error_code ec;
  const bool made = !fs::exists(result.BrdDir, ec);
  fs::create_directories(result.BrdDir, ec);
  if (ec) return TStatus::Error(result.BrdDir + " を作れません（" + ec.message() + "）");
  st = RestoreInto(baseDir, bakPath, fileName, result.BrdDir, result);
  if (!st) {
    if (made) fs::remove_all(result.BrdDir, ec);
    return st;
  }
  // A board restored into a fresh folder gets the sub-folders every board has; a board reads
  // without them, so failing here changes nothing that matters.
  static_cast<void>(MakeBrdSubFolders(result.BrdDir));
  result.BrdName = fs::path(result.BrdDir).filename().string();
  out = std::move(result);
  return st;
}

}  // namespace ramvel
