#include "platform/foundation/loop/BlockOperation.h"

#include "platform/foundation/check/Check.h"

namespace ns {

std::shared_ptr<BlockOperation> BlockOperation::create(Task block) {
  return std::make_shared<BlockOperation>(std::move(block));
}

BlockOperation::BlockOperation(Task block) {
  blocks_.push_back(std::move(block));
}

void BlockOperation::addExecutionBlock(Task block) {
  QM_DCHECK(!isExecuting() && !isFinished(), "the operation has not started");
  blocks_.push_back(std::move(block));
}

void BlockOperation::main() {
  for (const Task& block : blocks_) {
    block();
  }
}

}  // namespace ns
