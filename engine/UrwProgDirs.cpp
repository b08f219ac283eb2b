// The program's folders and the first start of an installed program.
#include "engine/UrwProgDirs.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "engine/UrwShellState.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace fs = std::filesystem;

namespace {

bool IsWritableDir(const std::string& dir) {
  std::error_code ec;
  return fs::is_directory(dir, ec) && ::access(dir.c_str(), W_OK) == 0;
}

std::string Normal(const std::string& path) {
  return PathJoin(fs::path(path).lexically_normal().string(), "");
}

// Copies board folder src to dest through a temporary folder renamed into place, so that an
// interrupted copy never leaves a half board under the board's own name.
TStatus CopyBoard(const std::string& src, const std::string& dest) {
  const std::string tmp = dest + ".copying";
  std::error_code ec;
  fs::remove_all(tmp, ec);
  fs::copy(src, tmp, fs::copy_options::recursive, ec);
  if (!ec) fs::rename(tmp, dest, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove_all(tmp, ignored);
    return TStatus::Error("サンプルボードをコピーできませんでした。\nコピー先: " + dest + "\n" +
                          ec.message());
  }
  return TStatus::Ok();
}

}  // namespace

TProgDirs ResolveProgDirs(const std::string& exeDir, const std::string& dataRel, const char* home,
                          const char* xdgDataHome) {
  TProgDirs dirs;
  dirs.Base = dirs.Data = Normal(exeDir);
  std::error_code ec;
  if (fs::is_regular_file(ResolveIn(exeDir, kPieceFile), ec) && IsWritableDir(exeDir)) return dirs;
  std::string userData;
  if (xdgDataHome != nullptr && fs::path(xdgDataHome).is_absolute()) {
    userData = xdgDataHome;
  } else if (home != nullptr && fs::path(home).is_absolute()) {
    userData = PathJoin(home, ".local/share");
  } else {
    return dirs;
  }
  dirs.Base = Normal(PathJoin(userData, kUserFolder));
  dirs.Data = Normal(PathJoin(exeDir, dataRel));
  dirs.Installed = true;
  return dirs;
}

TStatus PrepareUserBase(const TProgDirs& dirs) {
  std::error_code ec;
  fs::create_directories(dirs.Base, ec);
  if (ec || !IsWritableDir(dirs.Base)) {
    return TStatus::Error("データフォルダを作成できませんでした。\nフォルダ: " + dirs.Base +
                          (ec ? "\n" + ec.message() : std::string()));
  }
  const std::string recent = ResolveIn(dirs.Base, kRecentFile);
  if (fs::exists(recent, ec) || fs::exists(ResolveIn(dirs.Base, kSettingsFile), ec)) {
    return TStatus::Ok();
  }
  std::vector<std::string> copied;
  for (const std::string& stem : ListBoards(dirs.Data)) {
    const std::string name = BrdFolderName(dirs.Data, stem);
    // A board of that name, in any letter case, is the user's: it stays as it is.
    if (fs::exists(ResolveIn(dirs.Base, name), ec)) continue;
    if (TStatus st = CopyBoard(ResolveIn(dirs.Data, name), PathJoin(dirs.Base, name)); !st) {
      return st;
    }
    copied.push_back(name);
  }
  if (copied.empty()) return TStatus::Ok();
  return WriteRecentBrds(recent, copied);
}

}  // namespace ramvel

namespace ramvel {

TStatus FindBrdFolder(const std::string& path, std::string& parent, std::string& name) {
  const std::string shown = "\nフォルダ: " + path;
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) {
    return TStatus::Error("指定されたボードのフォルダが見つかりません。" + shown);
  }
  if (!fs::is_directory(path, ec)) {
    return TStatus::Error("指定されたものはフォルダではないため、ボードとして開けません。" + shown);
  }
  fs::path folder = fs::absolute(path, ec).lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();
  if (ec || !folder.has_filename() ||
      !fs::is_regular_file(ResolveIn(folder.string(), "Board.txt"), ec)) {
    return TStatus::Error("指定されたフォルダはボードではありません（Board.txt がありません）。" +
                          shown);
  }
  parent = PathJoin(folder.parent_path().string(), "");
  name = folder.filename().string();
  return TStatus::Ok();
}

bool SameFolder(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace ramvel
