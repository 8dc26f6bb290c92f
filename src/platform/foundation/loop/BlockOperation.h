#pragma once

// ns::BlockOperation: a plain operation whose work is one or more tasks, run one after the other in the
// order added, on the thread that starts the operation.
//
// Thread-safety: as Operation; addExecutionBlock() must not race with start().

#include <memory>
#include <vector>

#include "platform/foundation/loop/Operation.h"

namespace ns {

class BlockOperation : public Operation {
 public:
  // Returns a new operation that runs `block`. The result is owned by the caller.
  static std::shared_ptr<BlockOperation> create(Task block);

  explicit BlockOperation(Task block);

  // Adds a task to run after the others. REQUIRES: the operation has not started.
  void addExecutionBlock(Task block);

  void main() override;

 private:
  std::vector<Task> blocks_;
};

}  // namespace ns
