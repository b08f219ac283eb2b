// Runs an operation that writes through the journaled save in a child process killed at each of
// its disk steps in turn, so that a test can check what every cut leaves behind.
#pragma once

#include <functional>

namespace ramvel::test {

// For n = 1, 2, ...: prepare() in this process, then op() in a child killed by SIGKILL at its
// n-th save step (SetSaveStepHook), then check(n, finished), finished telling that op ran to its
// end (and returned true) this time. Stops after the first round op finished; fails the test
// when op fails, dies otherwise or never finishes within maxSteps.
void ForEachKillPoint(const std::function<void()>& prepare, const std::function<bool()>& op,
                      const std::function<void(int n, bool finished)>& check, int maxSteps = 400);

}  // namespace ramvel::test
