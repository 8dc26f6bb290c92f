#include "platform/net/OwnedDescriptor.h"

#include <unistd.h>

namespace ns {

OwnedDescriptor::~OwnedDescriptor() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
  }
}

OwnedDescriptor& OwnedDescriptor::operator=(OwnedDescriptor&& other) noexcept {
  if (this != &other) {
    OwnedDescriptor released(std::exchange(descriptor_, std::exchange(other.descriptor_, -1)));
  }
  return *this;
}

}  // namespace ns
