#pragma once

// ns::DataInputStream: an input stream over bytes held in memory. Thread-safety: as InputStream.

#include "platform/net/InputStream.h"

namespace ns {

class DataInputStream : public InputStream {
 public:
  explicit DataInputStream(Data data) : data_(std::move(data)) {}

  void open() override;
  void close() override;
  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength) override;
  bool hasBytesAvailable() const override;

 private:
  const Data data_;
  std::size_t position_ = 0;
};

}  // namespace ns
