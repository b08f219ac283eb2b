// The board lock: an advisory lock on one hidden file of a board folder, shared while a program
// reads the board and exclusive while it writes it or recovers a save that was cut off, so that
// several programs on one board never see, remove or mix another's files in the middle of a save.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "foundation/UrwStatus.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

// The lock file; never removed, so that every program locks the same file.
inline constexpr const char* kBrdLockFile = ".ramvel-lock";
// How long a writer and a reader wait for the lock before they give up.
inline constexpr int kLockWaitWriteMs = 3000;
inline constexpr int kLockWaitReadMs = 10000;
// The refusal when the lock cannot be had in time.
inline constexpr const char* kMsgBrdBusy = "ボードは他のプログラムが保存中です";
// The notice of a board read while a cut-off save of it could be neither finished nor undone
// because its folder cannot be written (a read-only mount); the reason follows on the next line.
inline constexpr const char* kMsgPendingReadOnly =
    "ボードのフォルダに書き込めないため、中断された保存を完了できません。"
    "保存を完了したときの内容を読み取り専用で開きます";

class TBrdLock;
TStatus LockForRead(const std::string& folder, TBrdLock& lock);

enum class TLockMode {
  kShared,     // reading: any number of programs at once, no writer
  kExclusive,  // writing or recovering: this program alone
};

// Holds the lock of one board folder for its lifetime. Within one process the lock is counted
// per folder: a folder this process holds exclusively is held again at once in either mode, and
// a shared hold is raised to exclusive for as long as an exclusive one lives inside it. A folder
// whose lock file can neither be opened nor made (a read-only folder without one) is taken as
// locked: nothing can be written there by this program either.
class TBrdLock {
 public:
  TBrdLock() = default;
  ~TBrdLock() { Unlock(); }
  TBrdLock(const TBrdLock&) = delete;
  TBrdLock& operator=(const TBrdLock&) = delete;

  // Waits up to waitMs for the lock (kMsgBrdBusy when another program keeps it longer). A
  // missing folder is refused with a message naming it.
  TStatus Lock(const std::string& folder, TLockMode mode, int waitMs);
  void Unlock();
  bool Held() const { return held_; }
  // After LockForRead: kMsgPendingReadOnly and its reason when the folder holds a cut-off save
  // that could not be recovered for want of writing; empty otherwise. While the lock is held,
  // reads in the folder then see the board as the recovery would have left it.
  const std::string& Pending() const { return pending_; }

 private:
  friend TStatus LockForRead(const std::string& folder, TBrdLock& lock);
  std::string pending_;
  std::unique_ptr<TReadRedirect> view_;
  dev_t dev_ = 0;
  ino_t ino_ = 0;
  TLockMode mode_ = TLockMode::kShared;
  bool held_ = false;
};

// The exclusive lock for a write, with the recovery of a save cut off earlier done under it.
TStatus LockForWrite(const std::string& folder, TBrdLock& lock);
// The shared lock for a read. Traces of a save cut off earlier are recovered first, under the
// exclusive lock, which is then given back for the shared one.
TStatus LockForRead(const std::string& folder, TBrdLock& lock);

}  // namespace ramvel
