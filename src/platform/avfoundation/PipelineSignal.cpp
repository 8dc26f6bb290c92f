#include "platform/avfoundation/PipelineSignal.h"

namespace av {

void PipelineSignal::notify() {
  {
    ns::MutexLock lock(mutex_);
    ++generation_;
  }
  changed_.notify_all();
}

std::uint64_t PipelineSignal::generation() const {
  ns::MutexLock lock(mutex_);
  return generation_;
}

bool PipelineSignal::waitForChange(std::uint64_t seen, std::chrono::steady_clock::time_point deadline) {
  ns::MutexLock lock(mutex_);
  while (generation_ == seen) {
    if (lock.waitUntil(changed_, deadline) == std::cv_status::timeout) {
      return generation_ != seen;
    }
  }
  return true;
}

}  // namespace av
