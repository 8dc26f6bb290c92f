#include "platform/net/Stream.h"

namespace ns {

void Stream::failWith(Error error) {
  error_ = std::move(error);
  status_ = StreamStatus::kError;
}

}  // namespace ns
