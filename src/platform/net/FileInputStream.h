#pragma once

// ns::FileInputStream: an input stream that reads a file from its start. Thread-safety: as InputStream.

#include <string>

#include "platform/net/InputStream.h"

namespace ns {

class FileInputStream : public InputStream {
 public:
  explicit FileInputStream(std::string path) : path_(std::move(path)) {}
  ~FileInputStream() override;

  void open() override;
  void close() override;
  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength) override;
  bool hasBytesAvailable() const override;

 private:
  const std::string path_;
  int fileDescriptor_ = -1;
};

}  // namespace ns
