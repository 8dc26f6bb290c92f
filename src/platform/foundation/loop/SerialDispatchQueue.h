#pragma once

// ns::SerialDispatchQueue: a queue with a thread of its own that runs its tasks in order on the thread's
// run loop. Contract: DispatchQueue.h. Thread-safe.

#include <string>

#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/loop/RunLoopThread.h"

namespace ns {

class SerialDispatchQueue final : public DispatchQueue {
 public:
  explicit SerialDispatchQueue(std::string label);

  const std::string& label() const override { return thread_.name(); }
  Kind kind() const override { return Kind::kSerial; }
  void async(Task task) override;
  bool isCurrent() const override;

 private:
  RunLoopThread thread_;
};

}  // namespace ns
