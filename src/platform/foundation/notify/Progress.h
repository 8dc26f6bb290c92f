#pragma once

// ns::Progress: how far a piece of work has come, in units of the worker's choice (bytes for a transfer),
// with the handlers that pause and cancel the work for whoever shows the progress. "totalUnitCount" and
// "completedUnitCount" are observable by key.
//
// Thread-safety: every method may be called from any thread; observers and handlers run on the calling
// thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/foundation/values/Object.h"

namespace ns {

class Progress : public Object, public KeyValueObservable {
 public:
  Progress() = default;

  // -1 when unknown.
  std::int64_t totalUnitCount() const { return total_; }
  void setTotalUnitCount(std::int64_t count);
  std::int64_t completedUnitCount() const { return completed_; }
  void setCompletedUnitCount(std::int64_t count);
  // completed / total, or 0 while the total is not above 0.
  double fractionCompleted() const;

  void setPausingHandler(std::function<void()> handler);
  void setCancellationHandler(std::function<void()> handler);
  // Run the handler, when one is set.
  void pause();
  void cancel();

  Value valueForKey(std::string_view key) const override;

 private:
  std::atomic<std::int64_t> total_{0};
  std::atomic<std::int64_t> completed_{0};
  mutable Mutex mutex_;
  std::function<void()> pausingHandler_ QM_GUARDED_BY(mutex_);
  std::function<void()> cancellationHandler_ QM_GUARDED_BY(mutex_);
};

}  // namespace ns
