#pragma once

// ns::OutputStream: where received bytes go. toMemory() collects them in memory; toFileAtPath() writes a
// file. A subclass may have no space for a while: it answers hasSpaceAvailable() false and calls
// notifySpaceAvailable() once it has space again (or has failed), so that a writer waits without spinning.
// Thread-safety: a stream is written by one thread at a time; the space handler is called on the thread that
// makes the space.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/values/Data.h"
#include "platform/net/Stream.h"

namespace ns {

class OutputStream : public Stream {
 public:
  enum class FileMode { kTruncate, kAppend };

  // Returns a stream that collects every byte written in memory (dataWrittenToMemory()).
  static std::shared_ptr<OutputStream> toMemory();
  // As toMemory(), but a write that would take the bytes past `maximumLength` fails the stream with
  // kURLErrorDataLengthExceedsMaximum instead.
  static std::shared_ptr<OutputStream> toMemory(std::size_t maximumLength);
  // Returns a stream that writes the file at `path`, created when missing, emptied first or appended to as
  // `mode` says. A file that cannot be opened puts the stream into kError at open() (POSIX domain).
  static std::shared_ptr<OutputStream> toFileAtPath(std::string path, FileMode mode);

  // Writes up to `length` bytes of `bytes`. Returns the number written, which may be fewer than `length`
  // (0 when there is no space now), or -1 on failure, when the status is kError. REQUIRES: the stream is
  // open.
  virtual std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) = 0;
  // False while a write() would take nothing; true for an open memory or file stream.
  virtual bool hasSpaceAvailable() const = 0;

  // The bytes written so far to a memory stream; nullptr for any other stream.
  virtual const Data* dataWrittenToMemory() const { return nullptr; }
  // The position in the file where the next byte goes, for a file stream; nullopt for any other stream.
  virtual std::optional<std::uint64_t> fileCurrentOffset() const { return std::nullopt; }
  // Drops every byte written so far, so that the next write starts the output afresh (a download that
  // must start over). Returns false when the stream cannot, which is the default for streams other than
  // memory and file streams.
  virtual bool discardWrittenBytes() { return false; }

  // Sets the callback that notifySpaceAvailable() calls; an empty function clears it.
  void setSpaceAvailableHandler(std::function<void()> handler) {
    spaceAvailableHandler_ = std::move(handler);
  }

 protected:
  // Tells the writer that space became available or that the stream failed.
  void notifySpaceAvailable();

 private:
  std::function<void()> spaceAvailableHandler_;
};

}  // namespace ns
