// Killing a child process at every disk step of a journaled save.
#include "KillSteps.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "foundation/UrwSaveBatch.h"

namespace ramvel::test {

namespace {

int gKillAt = 0;
int gSteps = 0;

void KillAtStep() {
  if (++gSteps == gKillAt) ::raise(SIGKILL);
}

}  // namespace

void ForEachKillPoint(const std::function<void()>& prepare, const std::function<bool()>& op,
                      const std::function<void(int n, bool finished)>& check, int maxSteps) {
  bool finished = false;
  for (int n = 1; n <= maxSteps && !finished; ++n) {
    prepare();
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      gKillAt = n;
      SetSaveStepHook(KillAtStep);
      ::_exit(op() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
    if (WIFEXITED(status)) {
      ASSERT_EQ(0, WEXITSTATUS(status)) << "the operation failed at step " << n;
      finished = true;
    } else {
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << n;
    }
    check(n, finished);
  }
  EXPECT_TRUE(finished) << "not finished within " << maxSteps << " steps";
}

}  // namespace ramvel::test
