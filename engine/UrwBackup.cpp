// Backups: packing a board folder into one file, and reading and checking a backup.
#include "engine/UrwBackup.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/UrwShellState.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace fs = std::filesystem;

namespace {

// The board's sub-folders in the order a backup packs them.
constexpr std::array<const char*, 4> kBakSubs = {"station", "rail", "car", "line"};
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
  TStatus st = ReadWhole(ResolveIn(brdDir, rel), rel, kMaxBakBytes, content);
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

TStatus PackBoard(const std::string& baseDir, const std::string& brdName, std::string& bytes) {
  TStatus st = CheckObjName(brdName, "ボード名");
  if (!st) return st;
  const std::string brdDir = ResolveIn(baseDir, brdName);
  const std::string recordDir = PathJoin(PathJoin(baseDir, brdName), "");
  std::string out;
  st = PackFile(brdDir, recordDir, "Board.txt", out);
  for (const char* sub : kBakSubs) {
    for (const std::string& stem : ListFiles(ResolveIn(brdDir, sub), "txt")) {
      if (!st) break;
      st = PackFile(brdDir, recordDir, std::string(sub) + "/" + stem + ".txt", out);
    }
  }
  // A backup larger than any restore accepts would be of no use.
  if (st && out.size() > kMaxBakBytes) {
    st = TStatus::Error("ボード「" + brdName + "」は大きすぎてバックアップできません");
  }
  if (st) bytes = std::move(out);
  return st;
}

TStatus MakeBackup(const std::string& baseDir, const std::string& brdName, const TBakTime& t,
                   std::string& path) {
  std::string bytes;
  TStatus st = PackBoard(baseDir, brdName, bytes);
  if (!st) return st;
  const std::string folder = ResolveIn(baseDir, kBakFolder);
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return TStatus::Error(folder + " を作れません（" + ec.message() + "）");
  const std::string file = PathJoin(folder, brdName + BakStamp(t) + kBakExt);
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

bool IsBakSub(std::string_view part, std::string& canonical) {
  for (const char* sub : kBakSubs) {
    if (SameNoCase(part, sub)) {
      canonical = sub;
      return true;
    }
  }
  return false;
}

}  // namespace

TStatus MapBakPath(std::string_view recorded, std::string_view brdName, std::string& target) {
  const std::vector<std::string> parts = PathParts(recorded);
  for (const std::string& p : parts) {
    if (p == ".." || p == ".") return TStatus::Error("「.」や「..」を含むパスには書き込めません");
  }
  const size_t n = parts.size();
  std::string sub;
  std::string otherBrd;
  if (n >= 3 && IsBakSub(parts[n - 2], sub)) {
    if (SameNoCase(parts[n - 3], brdName)) {
      const TStatus st = CheckBakFileName(parts[n - 1]);
      if (st) target = sub + "/" + parts[n - 1];
      return st;
    }
    otherBrd = parts[n - 3];
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
  return TStatus::Error(
      "ボード「" + std::string(brdName) +
      "」の Board.txt または station・rail・car・line の中のファイルではありません");
}

namespace {

TStatus LineError(std::string_view fileName, const TRawLine& line, const std::string& why) {
  std::string text;
  if (!Cp932ToUtf8(line.Text.substr(0, 200), text)) text = "（Shift-JIS でない文字）";
  return TStatus::Error("バックアップ「" + std::string(fileName) + "」の " + IntText(line.No) +
                        " 行目「" + text + "」: " + why);
}

TStatus ParseHeader(std::string_view fileName, const TRawLine& line, std::string_view brdName,
                    TBakSection& sec) {
  const size_t gt = line.Text.find('>');
  if (gt == std::string_view::npos) return LineError(fileName, line, "「>」がありません");
  if (!Cp932ToUtf8(line.Text.substr(gt + 1), sec.Recorded)) {
    return LineError(fileName, line, "パスが Shift-JIS ではありません");
  }
  const TStatus st = MapBakPath(sec.Recorded, brdName, sec.Target);
  if (!st) return LineError(fileName, line, st.Msg());
  sec.Line = line.No;
  return TStatus::Ok();
}

}  // namespace

TStatus ParseBackup(std::string_view fileName, std::string_view bytes, TBackup& bak) {
  TBackup out;
  TStatus st = BakBrdName(fileName, out.BrdName);
  if (!st) return st;
  const std::string shown = "バックアップ「" + std::string(fileName) + "」";
  if (bytes.empty()) return TStatus::Error(shown + "は空です");
  const std::vector<TRawLine> lines = RawLines(bytes);
  if (bytes.back() != '\n' && bytes.back() != '\r') {
    return TStatus::Error(shown + "は " + IntText(lines.back().No) +
                          " 行目の途中で切れています（最後の行に改行がありません）");
  }
  if (lines.front().Text.empty() || lines.front().Text[0] != '*') {
    return LineError(fileName, lines.front(), "ファイルの区切り行（*>）で始まっていません");
  }
  for (const TRawLine& line : lines) {
    if (!line.Text.empty() && line.Text[0] == '*') {
      if (out.Sections.size() >= kMaxBakSections) {
        return LineError(fileName, line, "ファイルの数が多すぎます");
      }
      out.Sections.emplace_back();
      st = ParseHeader(fileName, line, out.BrdName, out.Sections.back());
      if (!st) return st;
    } else {
      out.Sections.back().Bytes.append(line.Text).append("\r\n");
    }
  }
  bak = std::move(out);
  return TStatus::Ok();
}

// ---- Restoring ---------------------------------------------------------------------------------

TStatus RestoreBackup(const std::string& baseDir, const std::string& bakPath,
                      std::string& brdName) {
  const std::string fileName = fs::path(bakPath).filename().string();
  std::string name;
  TStatus st = BakBrdName(fileName, name);
  std::string bytes;
  if (st) st = ReadWhole(bakPath, "バックアップ「" + fileName + "」", kMaxBakBytes, bytes);
  TBackup bak;
  if (st) st = ParseBackup(fileName, bytes, bak);
  if (!st) return st;
  std::vector<TFileImage> files;
  files.reserve(bak.Sections.size());
  for (TBakSection& sec : bak.Sections) files.push_back({sec.Target, std::move(sec.Bytes)});
  const std::string brdDir = ResolveIn(baseDir, bak.BrdName);
  st = ReplaceFiles(brdDir, files);
  if (!st) return st;
  // A board restored into a fresh folder gets the sub-folders every board has; a board reads
  // without them, so failing here changes nothing that matters.
  MakeBrdSubFolders(brdDir);
  brdName = fs::path(brdDir).filename().string();
  return st;
}

}  // namespace ramvel
