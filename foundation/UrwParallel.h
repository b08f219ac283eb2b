// Work spread over the machine's cores: independent items processed in any order, with results
// that the caller collects in item order, so that nothing depends on which thread ran first.
#pragma once

#include <cstddef>
#include <functional>

namespace ramvel {

// Calls fn(i) once for every i in 0..n-1, on this thread and at most one helper thread per
// further core (at most maxThreads threads in all). fn must touch nothing shared but its own
// item's slots. Returns when every call has returned. An exception thrown by any call is
// rethrown here once all threads have stopped (the one of the lowest item when several throw);
// the items not yet started are then skipped.
void ForEachParallel(size_t n, const std::function<void(size_t)>& fn, unsigned maxThreads = 2);

}  // namespace ramvel
