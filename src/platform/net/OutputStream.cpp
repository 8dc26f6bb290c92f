#include "platform/net/OutputStream.h"

#include "platform/net/FileOutputStream.h"
#include "platform/net/MemoryOutputStream.h"

namespace ns {

std::shared_ptr<OutputStream> OutputStream::toMemory() {
  return std::make_shared<MemoryOutputStream>();
}

std::shared_ptr<OutputStream> OutputStream::toMemory(std::size_t maximumLength) {
  return std::make_shared<MemoryOutputStream>(maximumLength);
}

std::shared_ptr<OutputStream> OutputStream::toFileAtPath(std::string path, FileMode mode) {
  return std::make_shared<FileOutputStream>(std::move(path), mode);
}

void OutputStream::notifySpaceAvailable() {
  if (spaceAvailableHandler_) {
    spaceAvailableHandler_();
  }
}

}  // namespace ns
