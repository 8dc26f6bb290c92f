#pragma once

// ns::FileOutputStream: an output stream that writes a file, emptied first or appended to. It has space
// while it is open; a failed write (a full disk) puts it into kError. Thread-safety: as OutputStream.

#include <string>

#include "platform/net/OutputStream.h"

namespace ns {

class FileOutputStream : public OutputStream {
 public:
  FileOutputStream(std::string path, FileMode mode) : path_(std::move(path)), mode_(mode) {}
  ~FileOutputStream() override;

  void open() override;
  void close() override;
  std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) override;
  bool hasSpaceAvailable() const override;
  std::optional<std::uint64_t> fileCurrentOffset() const override;
  // Empties the file; false when it is not open or cannot be emptied.
  bool discardWrittenBytes() override;

 private:
  const std::string path_;
  const FileMode mode_;
  int fileDescriptor_ = -1;
};

}  // namespace ns
