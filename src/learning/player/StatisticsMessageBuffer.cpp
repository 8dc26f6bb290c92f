#include "learning/player/StatisticsMessageBuffer.h"

namespace learning {

std::vector<std::string> StatisticsMessageBuffer::append(std::string_view bytes) {
  pending_.append(bytes);
  std::vector<std::string> messages;
  std::size_t start = 0;
  for (std::size_t mark = pending_.find(kEndMark); mark != std::string::npos;
       mark = pending_.find(kEndMark, start)) {
    messages.push_back(pending_.substr(start, mark + kEndMark.size() - start));
    start = mark + kEndMark.size();
  }
  pending_.erase(0, start);
  if (pending_.size() > kMaximumPendingBytes) {
    pending_.clear();
  }
  return messages;
}

}  // namespace learning
