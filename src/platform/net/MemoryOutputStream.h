#pragma once

// ns::MemoryOutputStream: an output stream that keeps every byte written in memory, up to a maximum length
// when it is given one: a write that would go past it fails the stream with kURLErrorDataLengthExceedsMaximum
// and keeps nothing of that write. Until then it always has space.
// Thread-safety: as OutputStream.

#include <cstddef>
#include <limits>

#include "platform/net/OutputStream.h"

namespace ns {

class MemoryOutputStream : public OutputStream {
 public:
  explicit MemoryOutputStream(std::size_t maximumLength = std::numeric_limits<std::size_t>::max())
      : maximumLength_(maximumLength) {}

  void open() override;
  void close() override;
  std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) override;
  bool hasSpaceAvailable() const override;
  const Data* dataWrittenToMemory() const override { return &data_; }
  bool discardWrittenBytes() override;

 private:
  const std::size_t maximumLength_;
  Data data_;
};

}  // namespace ns
