#pragma once

// ns::Stream: what input and output streams share: opening, closing, a status and the error that stopped
// the stream. Subclasses report their state through setStatus() and failWith().
// Thread-safety: a stream is used by one thread at a time.

#include <optional>

#include "platform/foundation/values/Error.h"

namespace ns {

enum class StreamStatus { kNotOpen, kOpen, kAtEnd, kClosed, kError };

class Stream {
 public:
  virtual ~Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // Makes the stream ready for reading or writing. On failure the status becomes kError and streamError()
  // says why. Opening a stream that is not kNotOpen does nothing.
  virtual void open() = 0;
  // Releases what the stream holds open; the status becomes kClosed (kError stays kError).
  virtual void close() = 0;

  StreamStatus streamStatus() const { return status_; }
  // The error that put the stream into kError, else nullopt.
  const std::optional<Error>& streamError() const { return error_; }

 protected:
  Stream() = default;
  void setStatus(StreamStatus status) { status_ = status; }
  // Sets the status to kError with `error`.
  void failWith(Error error);

 private:
  StreamStatus status_ = StreamStatus::kNotOpen;
  std::optional<Error> error_;
};

}  // namespace ns
