// The program shell's files: the settings file, the recent-board list and board folders.
#include "engine/UrwShellState.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace ramvel {

namespace fs = std::filesystem;

// ---- Settings ----------------------------------------------------------------------------------

namespace {

constexpr const char* kNick = "[NICK]";
constexpr const char* kOnly = "[ONLY]";

void ReadLevel(const std::string& line, TShellSettings& s) {
  int32_t level = 0;
  if (ParseInt(line, level) && level >= 0 && level <= 2) s.IntvLevel = level;
}

void ReadLabelFlags(const std::string& line, TShellSettings& s) {
  if (line.empty()) return;
  s.ShowTrNo = line[0] == '1';
  s.ShowTrNick = line.find(kNick) != std::string::npos;
  s.ShowTrOnly = line.find(kOnly) != std::string::npos;
}

}  // namespace

// Each line is decoded on its own, so that a damaged line costs only its own value.
TShellSettings ReadSettings(const std::string& path) {
  TShellSettings s;
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return s;
  const std::vector<std::string> lines = SplitTextLines(bytes);
  std::string text;
  if (lines.size() >= 1 && Cp932ToUtf8(lines[0], text)) ReadLevel(text, s);
  if (lines.size() >= 2 && Cp932ToUtf8(lines[1], text)) ReadLabelFlags(text, s);
  return s;
}

TextRec SettingsRec(const TShellSettings& s) {
  TextRec rec;
  rec.Lines.push_back(IntText(s.IntvLevel));
  std::string flags = s.ShowTrNo ? "1" : "0";
  if (s.ShowTrNick) flags += kNick;
  if (s.ShowTrOnly) flags += kOnly;
  rec.Lines.push_back(flags);
  return rec;
}

TStatus WriteSettings(const std::string& path, const TShellSettings& s) {
  return SaveRec(SettingsRec(s), path, kSettingsFile);
}

// ---- Recent boards -----------------------------------------------------------------------------

std::vector<std::string> ReadRecentBrds(const std::string& path) {
  TextRec rec;
  std::vector<std::string> names;
  if (!LoadRec(path, rec)) return names;
  for (const std::string& line : rec.Lines) {
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

TStatus WriteRecentBrds(const std::string& path, const std::vector<std::string>& names) {
  TextRec rec;
  // The menu shows three; a longer list read from a hand-edited file is trimmed here.
  rec.Lines.assign(names.begin(), names.begin() + std::min(names.size(), kRecentItems));
  return SaveRec(rec, path, kRecentFile);
}

void AddRecentBrd(std::vector<std::string>& names, const std::string& name) {
  if (name.empty()) return;
  const auto held = std::find_if(names.begin(), names.end(),
                                 [&](const std::string& n) { return SameNoCase(n, name); });
  if (held != names.end()) {
    names.erase(held);
  } else if (names.size() == kRecentItems) {
    names.pop_back();
  }
  names.insert(names.begin(), name);
}

// ---- Board names and folders -------------------------------------------------------------------

TStatus CheckBrdName(std::string_view name) {
  TStatus st = CheckObjName(name, "ボード名");
  if (!st) return st;
  // The board list shows names without an extension only, so a board named with "." could be
  // made but never chosen again.
  if (name.find('.') != std::string_view::npos) {
    return TStatus::Error("ボード名に「.」は使えません: " + std::string(name));
  }
  return TStatus::Ok();
}

std::string BrdFolderName(const std::string& baseDir, const std::string& name) {
  return fs::path(ResolveIn(baseDir, name)).filename().string();
}

TStatus MakeBrdFolder(const std::string& baseDir, const std::string& name, std::string& path) {
  TStatus st = CheckBrdName(name);
  if (!st) return st;
  std::error_code ec;
  if (fs::exists(ResolveIn(baseDir, name), ec)) {
    return TStatus::Error("そのボード名は既に存在します");
  }
  path = PathJoin(baseDir, name);
  if (!fs::create_directory(path, ec)) {
    return TStatus::Error(path + ": 作成できません（" + ec.message() + "）");
  }
  return TStatus::Ok();
}

TStatus CopyBoardExtras(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::create_directories(to, ec);
  if (ec) return TStatus::Error(to + ": 作成できません（" + ec.message() + "）");
  const std::string land = ResolveIn(from, "Land.bmp");
  fs::copy_file(land, PathJoin(to, "Land.bmp"), ec);
  if (ec) return TStatus::Error(land + ": コピーできません（" + ec.message() + "）");
  for (const char* sub : {"station", "line"}) {
    const std::string src = ResolveIn(from, sub);
    if (!fs::is_directory(src, ec)) continue;
    fs::copy(src, PathJoin(to, sub), fs::copy_options::recursive, ec);
    if (ec) return TStatus::Error(src + ": コピーできません（" + ec.message() + "）");
  }
  return TStatus::Ok();
}

TStatus MakeBrdSubFolders(const std::string& brdPath) {
  for (const char* sub : {"station", "rail", "car", "line"}) {
    const std::string dir = ResolveIn(brdPath, sub);
    std::error_code ec;
    if (fs::is_directory(dir, ec)) continue;
    fs::create_directories(dir, ec);
    if (ec) return TStatus::Error(dir + ": 作成できません（" + ec.message() + "）");
  }
  return TStatus::Ok();
}

std::vector<std::string> ListBoards(const std::string& baseDir) {
  std::vector<std::string> boards;
  for (const std::string& stem : ListFiles(baseDir, "")) {
    std::error_code ec;
    const std::string folder = ResolveIn(baseDir, stem);
    if (std::filesystem::is_directory(folder, ec) &&
        std::filesystem::is_regular_file(ResolveIn(folder, "Board.txt"), ec)) {
      boards.push_back(stem);
    }
  }
  return boards;
}

void RemoveBrdFolder(const std::string& brdPath) {
  std::error_code ec;
  fs::remove_all(brdPath, ec);
}

TStatus CopyLandFile(const std::string& src, const std::string& brdPath) {
  const std::string dest = ResolveIn(brdPath, "Land.bmp");
  const std::string tmp = PathJoin(brdPath, "Land.bmp.copying");
  std::error_code ec;
  fs::copy_file(src, tmp, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::rename(tmp, dest, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(tmp, ignored);
    return TStatus::Error(src + ": cannot be copied to " + dest + " (" + ec.message() + ")");
  }
  return TStatus::Ok();
}

}  // namespace ramvel
