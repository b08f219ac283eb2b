// The board lock: flock on the board folder's lock file, counted within the process.
#include "foundation/UrwBrdLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "foundation/UrwSaveBatch.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace {

// One folder locked by this process: the open lock file and how many holds of each mode live.
struct THeld {
  int Fd = -1;  // -1: the folder could not be locked (read-only without a lock file)
  int Shared = 0;
  int Exclusive = 0;
};

std::mutex gMutex;
std::map<std::pair<dev_t, ino_t>, THeld> gHeld;

// Sets the flock mode of fd, trying again until waitMs have passed. A conversion that fails
// may have dropped the lock held before (flock converts by unlocking first); the caller puts
// it back.
bool FlockWait(int fd, int op, int waitMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    if (::flock(fd, op | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int OpenLockFile(const std::string& folder) {
  const std::string path = PathJoin(folder, kBrdLockFile);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  return fd;
}

int FlockOp(const THeld& h) { return h.Exclusive > 0 ? LOCK_EX : LOCK_SH; }

}  // namespace

TStatus TBrdLock::Lock(const std::string& folder, TLockMode mode, int waitMs) {
  Unlock();
  pending_.clear();
  struct stat sb {};
  if (::stat(folder.c_str(), &sb) != 0 || !S_ISDIR(sb.st_mode)) {
    return TStatus::Error(folder + ": ボードのフォルダが見つかりません");
  }
  const std::lock_guard<std::mutex> guard(gMutex);
  THeld& h = gHeld[{sb.st_dev, sb.st_ino}];
  const bool fresh = h.Shared == 0 && h.Exclusive == 0;
  if (fresh) h.Fd = OpenLockFile(folder);
  const int before = fresh ? LOCK_UN : FlockOp(h);
  (mode == TLockMode::kExclusive ? h.Exclusive : h.Shared)++;
  const int want = FlockOp(h);
  if (h.Fd >= 0 && want != before && !FlockWait(h.Fd, want, waitMs)) {
    (mode == TLockMode::kExclusive ? h.Exclusive : h.Shared)--;
    if (fresh) {
      ::close(h.Fd);
      gHeld.erase({sb.st_dev, sb.st_ino});
    } else {
      FlockWait(h.Fd, before, kLockWaitReadMs);  // what this process held stays held
    }
    return TStatus::Error(kMsgBrdBusy);
  }
  dev_ = sb.st_dev;
  ino_ = sb.st_ino;
  mode_ = mode;
  held_ = true;
  return TStatus::Ok();
}

void TBrdLock::Unlock() {
  view_.reset();
  if (!held_) return;
  held_ = false;
  const std::lock_guard<std::mutex> guard(gMutex);
  const auto it = gHeld.find({dev_, ino_});
  if (it == gHeld.end()) return;
  THeld& h = it->second;
  const int before = FlockOp(h);
  (mode_ == TLockMode::kExclusive ? h.Exclusive : h.Shared)--;
  if (h.Shared == 0 && h.Exclusive == 0) {
    if (h.Fd >= 0) ::close(h.Fd);  // closing the last descriptor releases the flock
    gHeld.erase(it);
  } else if (h.Fd >= 0 && FlockOp(h) != before) {
    FlockWait(h.Fd, FlockOp(h), kLockWaitReadMs);  // exclusive to shared never waits
  }
}

TStatus LockForWrite(const std::string& folder, TBrdLock& lock) {
  TStatus st = lock.Lock(folder, TLockMode::kExclusive, kLockWaitWriteMs);
  if (st) st = RecoverSave(folder);
  if (!st) lock.Unlock();
  return st;
}

TStatus LockForRead(const std::string& folder, TBrdLock& lock) {
  TStatus st = lock.Lock(folder, TLockMode::kShared, kLockWaitReadMs);
  if (!st || !HasSaveTraces(folder)) return st;
  // Under the shared lock no save is running: the traces are of one that was cut off.
  TBrdLock writer;
  st = writer.Lock(folder, TLockMode::kExclusive, kLockWaitWriteMs);
  bool readOnly = false;
  if (st) {
    st = RecoverSave(folder, &readOnly);
  } else if (!HasSaveTraces(folder)) {
    st = TStatus::Ok();  // another reader recovered them meanwhile
  }
  if (!st && readOnly) {
    // Nothing can change such a folder, so the board is shown as the recovery would leave it;
    // the next program that can write there recovers it for real.
    lock.view_ = std::make_unique<TReadRedirect>(PendingSaveView(folder));
    lock.pending_ = std::string(kMsgPendingReadOnly) + "\n" + st.Msg();
    return TStatus::Ok();
  }
  if (!st) lock.Unlock();
  return st;
}

}  // namespace ramvel
