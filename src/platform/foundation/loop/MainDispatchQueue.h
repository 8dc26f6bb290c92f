#pragma once

// ns::MainDispatchQueue: the queue whose tasks run on RunLoop::main(). Contract: DispatchQueue.h.
// Thread-safe.

#include <string>

#include "platform/foundation/loop/DispatchQueue.h"

namespace ns {

class MainDispatchQueue final : public DispatchQueue {
 public:
  const std::string& label() const override { return label_; }
  Kind kind() const override { return Kind::kMain; }
  void async(Task task) override;
  void after(Duration delay, Task task) override;
  bool isCurrent() const override;

 private:
  const std::string label_ = "main";
};

}  // namespace ns
