#include "platform/foundation/loop/SerialDispatchQueue.h"

namespace ns {

SerialDispatchQueue::SerialDispatchQueue(std::string label) : thread_(std::move(label)) {}

void SerialDispatchQueue::async(Task task) {
  thread_.runLoop().post(std::move(task));
}

bool SerialDispatchQueue::isCurrent() const {
  return thread_.isCurrent();
}

}  // namespace ns
