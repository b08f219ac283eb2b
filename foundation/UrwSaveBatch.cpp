// All-or-nothing saves of many files in one folder: checking, temporary files, the journal, the
// switch, and the recovery of a save that was cut off.
#include "foundation/UrwSaveBatch.h"

#include "foundation/UrwParallel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <set>
#include <sstream>

namespace ramvel {

namespace fs = std::filesystem;

namespace {

TSaveStepHook gStepHook = nullptr;

void Step() {
  if (gStepHook != nullptr) gStepHook();
}

// The journal: present and whole exactly while a committed save is being switched.
constexpr const char* kJournal = ".rvsave";
constexpr const char* kJournalTmp = ".rvsave.tmp";
constexpr const char* kJournalHead = "RAMVEL-SAVE 1";
constexpr const char* kParked = ".rvdel";
// Far above any board file; a larger existing file is simply rewritten.
constexpr uintmax_t kMaxCompare = 64u << 20;

std::string Errno() { return std::strerror(errno); }

std::string Dir(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Temporary names are short whatever the target's name: ".rv" + letters or digits + ".tmp"
// (a save draws them per process, WriteFileAtomic at random).
bool IsTempName(const std::string& name) {
  if (name.size() < 8 || name.compare(0, 3, ".rv") != 0) return false;
  if (name.compare(name.size() - 4, 4, ".tmp") != 0) return false;
  for (size_t i = 3; i < name.size() - 4; ++i) {
    if (std::isalnum(static_cast<unsigned char>(name[i])) == 0) return false;
  }
  return true;
}

// ".rv" + the process id + "x" + six random letters and digits + ".tmp".
std::string UniqueTempName() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 gen(std::random_device{}() ^
                                   (static_cast<uint64_t>(::getpid()) << 32));
  std::string name = ".rv" + std::to_string(::getpid()) + "x";
  for (int i = 0; i < 6; ++i) name += kChars[gen() % (sizeof kChars - 1)];
  return name + ".tmp";
}

bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() > end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

TStatus WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return TStatus::Error(n == 0 ? std::string("write returned 0") : Errno());
    done += static_cast<size_t>(n);
  }
  return TStatus::Ok();
}

// Makes a rename or removal in dir durable.
void SyncDir(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string ReadWhole(const std::string& path) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) bytes.clear();
  return bytes;
}

// A relative path that stays inside the root: no empty, "." or ".." component, no control
// characters.
bool SafeRel(const std::string& rel) {
  if (rel.empty() || rel[0] == '/') return false;
  size_t start = 0;
  while (start <= rel.size()) {
    size_t end = rel.find('/', start);
    if (end == std::string::npos) end = rel.size();
    const std::string part = rel.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  for (const char c : rel) {
    if (static_cast<unsigned char>(c) < 32) return false;
  }
  return true;
}

}  // namespace

void SetSaveStepHook(TSaveStepHook hook) { gStepHook = hook; }

// ---- Recording ---------------------------------------------------------------------------------

TSaveBatch::TSaveBatch(std::string root) : root_(PathJoin(root, "")) {}

TSaveBatch::~TSaveBatch() {
  if (!committed_) Undo();
}

std::string TSaveBatch::RelOf(const std::string& path) const {
  return path.compare(0, root_.size(), root_) == 0 ? path.substr(root_.size()) : path;
}

void TSaveBatch::Put(const std::string& path, const TextRec& rec) {
  TPut p;
  p.Rel = RelOf(path);
  for (const std::string& line : rec.Lines) {
    p.Text += line;
    p.Text += "\r\n";
  }
  puts_.push_back(std::move(p));
}

void TSaveBatch::Remove(const std::string& path) {
  TDel d;
  d.Rel = RelOf(path);
  dels_.push_back(std::move(d));
}

std::string TSaveBatch::Abs(const std::string& rel) const { return root_ + rel; }

TStatus TSaveBatch::Begin() {
  if (begun_) return TStatus::Ok();
  TStatus st = LockForWrite(root_, lock_);
  begun_ = st.ok();
  return st;
}

// A later file of the same path (without regard to case) replaces the earlier one.
TStatus TSaveBatch::Stage(const std::string& path, std::string_view bytes) {
  TStatus st = Begin();
  if (!st) return st;
  TPut p;
  p.Rel = RelOf(path);
  p.Bytes = bytes;
  p.Staged = true;
  if (!SafeRel(p.Rel)) return TStatus::Error(p.Rel + ": ボードのフォルダの外にあります");
  for (auto it = puts_.begin(); it != puts_.end(); ++it) {
    if (!SameNoCase(it->Rel, p.Rel)) continue;
    if (!it->Tmp.empty()) ::unlink(it->Tmp.c_str());
    puts_.erase(it);
    break;
  }
  st = CheckTarget(p);
  if (st && !p.Keep) st = WriteTemp(p);
  p.Bytes.clear();
  p.Bytes.shrink_to_fit();
  puts_.push_back(std::move(p));  // a temporary file written is removed with the batch
  return st;
}

void TSaveBatch::UpdateStamps(TFileStamps& stamps) const {
  for (const TPut& p : puts_) {
    TFileStamp stamp = p.Disk;
    struct stat sb {};
    if (::lstat(Abs(p.Rel).c_str(), &sb) == 0) {
      stamp.MTimeNs = static_cast<int64_t>(sb.st_mtim.tv_sec) * 1000000000 + sb.st_mtim.tv_nsec;
    }
    stamps[StampKey(Abs(p.Rel))] = stamp;
  }
  for (const TDel& d : dels_) stamps.erase(StampKey(Abs(d.Rel)));
}

bool IsChangedElsewhere(const TStatus& st) {
  return !st && st.Msg().rfind(kMsgChangedElsewhere, 0) == 0;
}

// ---- Committing --------------------------------------------------------------------------------

TStatus TSaveBatch::Commit() {
  written_ = kept_ = 0;
  std::error_code ec;
  if (!fs::is_directory(root_, ec)) {
    return TStatus::Error(root_ + ": フォルダがありません");
  }
  TStatus st = Begin();
  if (st) st = Check();
  if (st && dels_.empty() &&
      std::all_of(puts_.begin(), puts_.end(), [](const TPut& p) { return p.Keep; })) {
    kept_ = static_cast<int>(puts_.size());
    committed_ = true;
    lock_.Unlock();
    return TStatus::Ok();  // nothing to write: no journal, no flush
  }
  if (st) st = WriteTemps();
  if (st) st = ParkStale();
  if (st) st = WriteJournal();
  if (st) st = Flush();
  if (st) {
    Step();
    if (std::rename(Abs(kJournalTmp).c_str(), Abs(kJournal).c_str()) != 0) {
      st = TStatus::Error(std::string(kJournal) + ": 書き込めません (" + Errno() + ")");
    }
  }
  if (!st) {
    Undo();
    return st;
  }
  committed_ = true;  // from here on the journal completes the save whatever happens
  SyncDir(root_);
  st = Switch();
  lock_.Unlock();
  return st;
}

// Everything that can be known before the disk is touched. Encoding and comparing with the
// files on disk run on both cores, each put into its own slots; the first failure in put order
// is the one reported, as when they ran one by one.
TStatus TSaveBatch::Check() {
  std::vector<TStatus> checked(puts_.size());
  ForEachParallel(puts_.size(), [&](size_t i) {
    TPut& p = puts_[i];
    if (p.Staged || !SafeRel(p.Rel)) return;  // checked already, or outside the root
    if (!Utf8ToCp932(p.Text, p.Bytes)) {
      checked[i] = TStatus::Error(p.Rel + ": Shift-JIS で保存できない文字があります");
      return;
    }
    checked[i] = CheckTarget(p);
  });
  std::set<std::string, TLessNoCase> seen;
  for (size_t i = 0; i < puts_.size(); ++i) {
    const TPut& p = puts_[i];
    if (!SafeRel(p.Rel)) return TStatus::Error(p.Rel + ": ボードのフォルダの外にあります");
    if (!seen.insert(p.Rel).second) {
      return TStatus::Error(p.Rel + ": 二つのデータが同じファイル名になります");
    }
    if (!checked[i]) return checked[i];
  }
  for (const TDel& d : dels_) {
    if (!SafeRel(d.Rel)) return TStatus::Error(d.Rel + ": ボードのフォルダの外にあります");
    if (TStatus st = CheckUnchanged(d.Rel, nullptr); !st) return st;
  }
  return TStatus::Ok();
}

// The file at rel must be as the expected stamps have it; bytes, when given, is what it holds.
TStatus TSaveBatch::CheckUnchanged(const std::string& rel, const std::string* bytes) const {
  if (expect_ == nullptr) return TStatus::Ok();
  const auto it = expect_->find(StampKey(Abs(rel)));
  std::optional<TFileStamp> now;
  if (bytes != nullptr) {
    now = TFileStamp{static_cast<int64_t>(bytes->size()), 0, HashBytes(*bytes)};
  } else if (TStatus st = StampFile(Abs(rel), now); !st) {
    return st;
  }
  const bool same = it == expect_->end()
                        ? !now.has_value()
                        : now && now->Size == it->second.Size && now->Hash == it->second.Hash;
  if (same) return TStatus::Ok();
  return TStatus::Error(std::string(kMsgChangedElsewhere) + "\n（" + rel + "）");
}

// A target must be a plain file (or absent) that may be written; one that already holds the
// text is kept as it is.
TStatus TSaveBatch::CheckTarget(TPut& p) {
  const std::string path = Abs(p.Rel);
  p.Disk = {static_cast<int64_t>(p.Bytes.size()), 0, HashBytes(p.Bytes)};
  struct stat sb {};
  if (::lstat(path.c_str(), &sb) != 0) {
    if (errno == ENOENT) return CheckUnchanged(p.Rel, nullptr);
    return TStatus::Error(p.Rel + ": 調べられません (" + Errno() + ")");
  }
  if (S_ISDIR(sb.st_mode)) return TStatus::Error(p.Rel + ": 同じ名前のフォルダがあります");
  if (S_ISREG(sb.st_mode) && static_cast<uintmax_t>(sb.st_size) <= kMaxCompare) {
    const std::string old = ReadWhole(path);
    if (TStatus st = CheckUnchanged(p.Rel, &old); !st) return st;
    std::string oldText;
    p.Keep = old == p.Bytes || (!p.Text.empty() && Cp932ToUtf8(old, oldText) && oldText == p.Text);
    if (p.Keep) {
      p.Disk = {static_cast<int64_t>(old.size()), 0, HashBytes(old)};
      return TStatus::Ok();
    }
  } else if (TStatus st = CheckUnchanged(p.Rel, nullptr); !st) {
    return st;
  }
  if (S_ISREG(sb.st_mode)) {
    if ((sb.st_mode & 0222) == 0) return TStatus::Error(p.Rel + ": 読み取り専用のファイルです");
    p.Mode = sb.st_mode & 07777;
  }
  return TStatus::Ok();
}

// The temporary files are written on both cores; with a step hook installed they are written
// one by one, so that every step of a save has its place in order. After a failure no file
// after it is begun, and the first failure in put order is reported.
TStatus TSaveBatch::WriteTemps() {
  std::vector<size_t> todo;
  for (size_t i = 0; i < puts_.size(); ++i) {
    if (!puts_[i].Keep && !puts_[i].Staged) todo.push_back(i);
  }
  std::vector<TStatus> written(todo.size());
  // The lowest failed item; files above it are not begun.
  std::atomic<size_t> firstFailed{SIZE_MAX};
  ForEachParallel(
      todo.size(),
      [&](size_t k) {
        if (k > firstFailed) return;
        written[k] = WriteTemp(puts_[todo[k]]);
        for (size_t f = firstFailed; !written[k] && k < f;) {
          if (firstFailed.compare_exchange_weak(f, k)) break;
        }
      },
      gStepHook != nullptr ? 1 : 2);
  for (const TStatus& st : written) {
    if (!st) return st;
  }
  return TStatus::Ok();
}

// Temporary names carry the process and a random part and are made with O_EXCL, so that two
// programs saving into one folder can never write into the same temporary file.
TStatus TSaveBatch::WriteTemp(TPut& p) {
  const std::string dir = Dir(Abs(p.Rel));
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    fs::create_directories(dir, ec);
    if (ec) return TStatus::Error(Dir(p.Rel) + ": フォルダを作れません (" + ec.message() + ")");
  }
  Step();
  int fd = -1;
  for (int tries = 0; fd < 0 && tries < 100; ++tries) {
    p.Tmp = dir + "/" + UniqueTempName();
    fd = ::open(p.Tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const std::string why = Errno();
    p.Tmp.clear();
    return TStatus::Error(p.Rel + ": 書き込めません (" + why + ")");
  }
  TStatus st = WriteAll(fd, p.Bytes);
  if (st && ::fchmod(fd, p.Mode) != 0) st = TStatus::Error(Errno());
  if (::close(fd) != 0 && st) st = TStatus::Error(Errno());
  if (!st) return TStatus::Error(p.Rel + ": 書き込めません (" + st.Msg() + ")");
  return TStatus::Ok();
}

TStatus TSaveBatch::ParkStale() {
  for (TDel& d : dels_) {
    const std::string path = Abs(d.Rel);
    struct stat sb {};
    if (::lstat(path.c_str(), &sb) != 0) continue;  // gone already
    if (S_ISDIR(sb.st_mode)) return TStatus::Error(d.Rel + ": フォルダのため削除できません");
    Step();
    if (std::rename(path.c_str(), (path + kParked).c_str()) != 0) {
      return TStatus::Error(d.Rel + ": 削除できません (" + Errno() + ")");
    }
    d.Parked = true;
  }
  return TStatus::Ok();
}

TStatus TSaveBatch::WriteJournal() {
  std::string text = std::string(kJournalHead) + "\n";
  for (const TPut& p : puts_) {
    if (p.Keep) continue;
    text += "W " + p.Tmp.substr(root_.size()) + "\t" + p.Rel + "\n";
  }
  for (const TDel& d : dels_) {
    if (d.Parked) text += "D " + d.Rel + "\n";
  }
  text += "END\n";
  Step();
  const std::string path = Abs(kJournalTmp);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return TStatus::Error(std::string(kJournal) + ": 書き込めません (" + Errno() + ")");
  TStatus st = WriteAll(fd, text);
  if (::close(fd) != 0 && st) st = TStatus::Error(Errno());
  if (!st) return TStatus::Error(std::string(kJournal) + ": 書き込めません (" + st.Msg() + ")");
  return TStatus::Ok();
}

// One flush for the whole save: every temporary file and the journal reach the disk before
// anything is renamed.
TStatus TSaveBatch::Flush() {
  Step();
  const int fd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return TStatus::Error(root_ + ": 開けません (" + Errno() + ")");
  const int rc = ::syncfs(fd);
  const std::string why = rc != 0 ? Errno() : std::string();
  ::close(fd);
  if (rc != 0) return TStatus::Error(root_ + ": ディスクに書き込めません (" + why + ")");
  return TStatus::Ok();
}

// Before the commit: the temporary files go, the set-aside files come back.
void TSaveBatch::Undo() {
  for (TPut& p : puts_) {
    if (!p.Tmp.empty()) ::unlink(p.Tmp.c_str());
    p.Tmp.clear();
  }
  for (TDel& d : dels_) {
    if (!d.Parked) continue;
    const std::string path = Abs(d.Rel);
    std::rename((path + kParked).c_str(), path.c_str());
    d.Parked = false;
  }
  if (begun_) ::unlink(Abs(kJournalTmp).c_str());
}

// After the commit. A step that fails leaves the journal, so the next load completes the save.
TStatus TSaveBatch::Switch() {
  std::set<std::string> dirs = {root_};
  for (const TPut& p : puts_) {
    if (p.Keep) {
      ++kept_;
      continue;
    }
    Step();
    if (std::rename(p.Tmp.c_str(), Abs(p.Rel).c_str()) != 0) {
      return TStatus::Error(p.Rel + ": 書き込めません (" + Errno() + ")");
    }
    ++written_;
    dirs.insert(Dir(Abs(p.Rel)));
  }
  TStatus st;
  for (const TDel& d : dels_) {
    if (!d.Parked) continue;
    Step();
    if (::unlink((Abs(d.Rel) + kParked).c_str()) != 0 && errno != ENOENT && st) {
      st = TStatus::Error(d.Rel + ": 削除できません (" + Errno() + ")");
    }
    dirs.insert(Dir(Abs(d.Rel)));
  }
  for (const std::string& dir : dirs) SyncDir(dir);
  if (!st) return st;
  Step();
  ::unlink(Abs(kJournal).c_str());
  return TStatus::Ok();
}

// ---- Recovering --------------------------------------------------------------------------------

namespace {

struct TJournal {
  std::vector<std::pair<std::string, std::string>> Writes;  // temporary path, target (relative)
  std::vector<std::string> Removes;
};

// False when the text is not a whole journal of safe paths.
bool ParseJournal(const std::string& text, TJournal& j) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kJournalHead) return false;
  while (std::getline(in, line)) {
    if (line == "END") return true;
    if (line.compare(0, 2, "W ") == 0) {
      const size_t tab = line.find('\t');
      if (tab == std::string::npos) return false;
      std::string tmp = line.substr(2, tab - 2), target = line.substr(tab + 1);
      if (!SafeRel(tmp) || !SafeRel(target) || Dir(tmp) != Dir(target)) return false;
      if (!IsTempName(fs::path(tmp).filename().string())) return false;
      j.Writes.emplace_back(std::move(tmp), std::move(target));
    } else if (line.compare(0, 2, "D ") == 0 && SafeRel(line.substr(2))) {
      j.Removes.push_back(line.substr(2));
    } else {
      return false;
    }
  }
  return false;
}

// The root and its sub-folders, where a save leaves its traces. (Listed with POSIX calls, so that
// an allocation failure during the recovery at load throws rather than ends the program.)
std::vector<std::string> SaveDirs(const std::string& root) {
  std::vector<std::string> dirs = {root};
  for (const std::string& name : ListDirNames(root)) {
    const std::string path = PathJoin(root, name);
    struct stat sb {};
    if (::lstat(path.c_str(), &sb) == 0 && S_ISDIR(sb.st_mode)) dirs.push_back(path);
  }
  return dirs;
}

// A temporary file of WriteFileAtomic (".rv" + six characters + ".tmp"), whose writers of single
// files (a station design, a line) do not take the board lock, made in the last minute: it may
// be on its way into place right now. Older ones are left over from a program that ended.
bool InFlightSingleWrite(const std::string& path, const std::string& name) {
  struct stat sb {};
  if (name.size() != 13 || ::lstat(path.c_str(), &sb) != 0) return false;
  return std::time(nullptr) - sb.st_mtim.tv_sec < 60;
}

TRecoverFaultHook gRecoverFault = nullptr;

// False with errno set when the test hook fails the change of path.
bool RecoverMayChange(const std::string& path) {
  if (gRecoverFault == nullptr) return true;
  const int err = gRecoverFault(path);
  if (err != 0) errno = err;
  return err == 0;
}

// A rename or removal of the recovery; false with errno set when it fails.
bool RecoverRename(const std::string& from, const std::string& to) {
  return RecoverMayChange(to) && std::rename(from.c_str(), to.c_str()) == 0;
}
bool RecoverUnlink(const std::string& path) {
  return RecoverMayChange(path) && ::unlink(path.c_str()) == 0;
}

// The folder refuses to be changed at all, rather than one file being in the way.
bool IsReadOnlyErrno(int err) { return err == EROFS || err == EACCES || err == EPERM; }

// Removes temporary files; set-aside files are deleted (forward) or put back. True when anything
// was found. A set-aside file that cannot be put back is reported in err (0 when all went back).
bool ClearTraces(const std::string& root, bool forward, int& err) {
  bool touched = false;
  for (const std::string& dir : SaveDirs(root)) {
    for (const std::string& name : ListDirNames(dir)) {
      const std::string path = PathJoin(dir, name);
      if (IsTempName(name)) {
        if (InFlightSingleWrite(path, name)) continue;
        touched = true;
        RecoverUnlink(path);
      } else if (EndsWith(name, kParked)) {
        touched = true;
        const std::string back = PathJoin(dir, name.substr(0, name.size() - strlen(kParked)));
        struct stat sb {};
        if (forward || ::lstat(back.c_str(), &sb) == 0) {
          RecoverUnlink(path);
        } else if (!RecoverRename(path, back) && err == 0) {
          err = errno;
        }
      }
    }
  }
  return touched;
}

TStatus RollForward(const std::string& root, const TJournal& j, int& err) {
  for (const auto& [tmp, target] : j.Writes) {
    const std::string from = root + tmp;
    struct stat sb {};
    if (::lstat(from.c_str(), &sb) != 0) continue;  // renamed before the cut
    if (!RecoverRename(from, root + target)) {
      err = errno;
      return TStatus::Error(target + ": 前回の保存を完了できません (" + Errno() + ")");
    }
  }
  for (const std::string& rel : j.Removes) RecoverUnlink(root + rel + kParked);
  return TStatus::Ok();
}

}  // namespace

bool HasSaveTraces(const std::string& rootIn) {
  const std::string root = PathJoin(rootIn, "");
  struct stat sb {};
  if (::lstat((root + kJournal).c_str(), &sb) == 0) return true;
  if (::lstat((root + kJournalTmp).c_str(), &sb) == 0) return true;
  for (const std::string& dir : SaveDirs(root)) {
    for (const std::string& name : ListDirNames(dir)) {
      if (IsTempName(name) || EndsWith(name, kParked)) return true;
    }
  }
  return false;
}

TStatus RecoverSave(const std::string& rootIn) { return RecoverSave(rootIn, nullptr); }

TStatus RecoverSave(const std::string& rootIn, bool* readOnly) {
  if (readOnly != nullptr) *readOnly = false;
  const std::string root = PathJoin(rootIn, "");
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return TStatus::Ok();
  const std::string journal = root + kJournal;
  const bool hasJournal = fs::exists(fs::symlink_status(journal, ec));
  // A journal that is not whole was never committed: it is put aside like any other trace.
  TJournal j;
  const bool committed = hasJournal && ParseJournal(ReadWhole(journal), j);
  int err = 0;
  if (committed) {
    if (TStatus st = RollForward(root, j, err); !st) {
      if (readOnly != nullptr) *readOnly = IsReadOnlyErrno(err);
      return st;
    }
  }
  bool touched = ClearTraces(root, committed, err);
  if (err != 0) {
    // Stopping here keeps the journal, if any, so that the next program that can write finishes
    // the same undo.
    if (readOnly != nullptr) *readOnly = IsReadOnlyErrno(err);
    errno = err;
    return TStatus::Error(std::string("前回の保存の取り消しを完了できません (") + Errno() + ")");
  }
  touched = RecoverUnlink(root + kJournalTmp) || touched;
  if (!hasJournal && !touched) return TStatus::Ok();
  for (const std::string& dir : SaveDirs(root)) SyncDir(dir);
  if (hasJournal) RecoverUnlink(journal);
  return TStatus::Ok();
}

std::map<std::string, std::string> PendingSaveView(const std::string& rootIn) {
  const std::string root = PathJoin(rootIn, "");
  std::map<std::string, std::string> view;
  TJournal j;
  if (ParseJournal(ReadWhole(root + kJournal), j)) {
    for (const auto& [tmp, target] : j.Writes) {
      struct stat sb {};
      if (::lstat((root + tmp).c_str(), &sb) == 0) view[root + target] = root + tmp;
    }
    return view;  // the files it removes are set aside already: they are gone for a reader
  }
  for (const std::string& dir : SaveDirs(root)) {
    for (const std::string& name : ListDirNames(dir)) {
      if (!EndsWith(name, kParked)) continue;
      const std::string back = PathJoin(dir, name.substr(0, name.size() - strlen(kParked)));
      struct stat sb {};
      if (::lstat(back.c_str(), &sb) != 0) view[back] = PathJoin(dir, name);
    }
  }
  return view;
}

void SetRecoverFaultHook(TRecoverFaultHook hook) { gRecoverFault = hook; }

}  // namespace ramvel
