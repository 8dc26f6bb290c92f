#pragma once

// ns::MemoryOutputStream: an output stream that keeps every byte written in memory; it always has space.
// Thread-safety: as OutputStream.

#include "platform/net/OutputStream.h"

namespace ns {

class MemoryOutputStream : public OutputStream {
 public:
  void open() override;
  void close() override;
  std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) override;
  bool hasSpaceAvailable() const override;
  const Data* dataWrittenToMemory() const override { return &data_; }
  bool discardWrittenBytes() override;

 private:
  Data data_;
};

}  // namespace ns
