// Work spread over the machine's cores.
#include "foundation/UrwParallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace ramvel {

void ForEachParallel(size_t n, const std::function<void(size_t)>& fn, unsigned maxThreads) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const size_t threads = std::min<size_t>({n, cores, std::max(1u, maxThreads)});
  // Items are taken one at a time from a shared counter, so that a slow item (a big file) does
  // not hold up the items behind it. After a failure only the items above it are skipped: an
  // item below it, taken but not yet begun, still runs and may be the one reported.
  std::atomic<size_t> next{0};
  std::atomic<size_t> firstError{SIZE_MAX};
  std::exception_ptr error;
  std::mutex lock;
  const auto work = [&] {
    for (size_t i = next++; i < n && i < firstError; i = next++) {
      try {
        fn(i);
      } catch (...) {
        const std::lock_guard<std::mutex> guard(lock);
        if (i < firstError) {
          firstError = i;
          error = std::current_exception();
        }
      }
    }
  };
  std::vector<std::thread> helpers;
  for (size_t t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (...) {
      break;  // no thread to be had: this one does the rest
    }
  }
  work();
  for (std::thread& h : helpers) h.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace ramvel
