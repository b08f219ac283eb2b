// Writing a set of files all-or-nothing: temporary files first, then renames that are undone
// when any of them fails.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "engine/UrwBackup.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace fs = std::filesystem;

namespace {

// One file on its way into place.
struct TSwap {
  const TFileImage* Image = nullptr;
  std::string Target;  // resolved path
  std::string Temp;    // the new content under a temporary name; empty once renamed
  std::string Old;     // the previous file moved aside; empty when there was none
  bool Placed = false;
};

std::string Errno() { return std::strerror(errno); }

// A fresh empty file named like pattern ("<folder>/.rvnew-XXXXXX"); empty on failure.
std::string MakeTemp(const std::string& folder, const char* stem) {
  std::string name = PathJoin(folder, std::string(stem) + "-XXXXXX");
  const int fd = mkstemp(name.data());
  if (fd < 0) return {};
  fchmod(fd, 0644);
  ::close(fd);
  return name;
}

bool WriteAll(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return ::close(fd) == 0 && done == bytes.size();
}

class TReplacer {
 public:
  TReplacer(const std::string& dir, const std::function<bool(size_t)>& failRename)
      : dir_(dir), failRename_(failRename) {}

  TStatus Run(const std::vector<TFileImage>& files) {
    TStatus st = Plan(files);
    if (st) st = WriteTemps();
    if (st) st = Rename();
    if (!st) Undo();
    Clean(st.ok());
    return st;
  }

 private:
  // The folder of rel inside dir, made when missing; resolved without regard to case.
  TStatus Folder(const std::string& rel, std::string& folder) {
    folder = ResolveIn(dir_, fs::path(rel).parent_path().string());
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return TStatus::Ok();
    for (fs::path p = folder; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
      made_.insert(made_.begin(), p.string());
    }
    fs::create_directories(folder, ec);
    if (ec) return TStatus::Error(folder + " を作れません（" + ec.message() + "）");
    return TStatus::Ok();
  }

  // One swap per distinct target; the last image of a target wins.
  TStatus Plan(const std::vector<TFileImage>& files) {
    for (const TFileImage& f : files) {
      std::string folder;
      const TStatus st = Folder(f.Rel, folder);
      if (!st) return st;
      const std::string target = ResolveIn(folder, fs::path(f.Rel).filename().string());
      const auto [it, added] = index_.emplace(target, swaps_.size());
      if (added) {
        swaps_.push_back({&f, target, {}, {}, false});
      } else {
        swaps_[it->second].Image = &f;
      }
    }
    return TStatus::Ok();
  }

  TStatus WriteTemps() {
    for (TSwap& s : swaps_) {
      std::error_code ec;
      if (fs::is_directory(s.Target, ec)) {
        return TStatus::Error(s.Target + " はフォルダなので書き込めません");
      }
      s.Temp = MakeTemp(fs::path(s.Target).parent_path().string(), ".rvnew");
      if (s.Temp.empty() || !WriteAll(s.Temp, s.Image->Bytes)) {
        return TStatus::Error(s.Target + " を書き込めません（" + Errno() + "）");
      }
    }
    return TStatus::Ok();
  }

  TStatus Rename() {
    for (size_t i = 0; i < swaps_.size(); ++i) {
      TSwap& s = swaps_[i];
      std::error_code ec;
      if (fs::exists(fs::symlink_status(s.Target, ec))) {
        s.Old = MakeTemp(fs::path(s.Target).parent_path().string(), ".rvold");
        if (s.Old.empty() || std::rename(s.Target.c_str(), s.Old.c_str()) != 0) {
          const std::string why = Errno();
          if (!s.Old.empty()) ::unlink(s.Old.c_str());
          s.Old.clear();
          return TStatus::Error(s.Target + " を置き換えられません（" + why + "）");
        }
      }
      const bool fail = failRename_ && failRename_(i);
      if (fail || std::rename(s.Temp.c_str(), s.Target.c_str()) != 0) {
        return TStatus::Error(s.Target + " を置き換えられません（" +
                              (fail ? std::string("test") : Errno()) + "）");
      }
      s.Temp.clear();
      s.Placed = true;
    }
    return TStatus::Ok();
  }

  // Puts every file moved aside back, newest first, and removes what was placed in its stead.
  void Undo() {
    for (auto it = swaps_.rbegin(); it != swaps_.rend(); ++it) {
      if (it->Placed) ::unlink(it->Target.c_str());
      if (!it->Old.empty() && std::rename(it->Old.c_str(), it->Target.c_str()) == 0) {
        it->Old.clear();
      }
    }
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      std::error_code ec;
      fs::remove_all(*it, ec);
    }
  }

  // Temporary files left over and, after success, the files moved aside. After a failure a
  // file that could not be put back stays under its temporary name rather than being lost.
  void Clean(bool done) {
    for (TSwap& s : swaps_) {
      if (!s.Temp.empty()) ::unlink(s.Temp.c_str());
      if (done && !s.Old.empty()) ::unlink(s.Old.c_str());
    }
  }

  const std::string& dir_;
  const std::function<bool(size_t)>& failRename_;
  std::vector<TSwap> swaps_;
  std::map<std::string, size_t, TLessNoCase> index_;  // target -> index into swaps_
  std::vector<std::string> made_;                     // folders made, outermost first
};

}  // namespace

TStatus ReplaceFiles(const std::string& dir, const std::vector<TFileImage>& files,
                     const std::function<bool(size_t)>& failRename) {
  return TReplacer(dir, failRename).Run(files);
}

}  // namespace ramvel
