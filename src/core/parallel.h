// Exceptions and OpenMP regions. An exception that leaves a parallel region ends the process
// (std::terminate), so a region's body runs under a RegionGuard: the first exception any thread
// meets (a failed allocation, a stage that ends the run) is kept, the other threads skip their
// remaining work, and after the region the calling thread throws it on as if the work had run on
// one thread. main turns a failed allocation into its "not enough memory" end.
#pragma once

#include <atomic>
#include <exception>
#include <mutex>

namespace korvelan {

class RegionGuard {
 public:
  // Runs one piece of a region's work on the current thread; never throws.
  template <class Body>
  void run(Body&& body) noexcept {
    if (failed_.load(std::memory_order_relaxed)) return;
    try {
      body();
    } catch (...) {
      keep(std::current_exception());
    }
  }

  bool failed() const { return failed_.load(std::memory_order_relaxed); }

  // After the region, on the thread that started it: throws the kept exception, if any.
  void rethrow() {
    if (failed_.load()) std::rethrow_exception(error_);
  }

 private:
  void keep(std::exception_ptr error) noexcept {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!error_) error_ = std::move(error);
    failed_.store(true);
  }

  std::atomic<bool> failed_{false};
  std::mutex mutex_;
  std::exception_ptr error_;
};

}  // namespace korvelan
