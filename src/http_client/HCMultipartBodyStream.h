#pragma once

// HCMultipartBodyStream: the input stream that a multipart request sends as its body. It reads its parts in
// order, each straight into the reader's buffer, so the whole body is never held in memory, and its
// contentLength() is known without reading any body.
//
// A part that fails (its stream fails, or its body is shorter or longer than declared) fails the stream:
// the read returns -1 and streamError() holds the part's error, so the upload fails rather than send a
// body cut short.
//
// Thread-safety: built on one thread, then read by one thread at a time (the URL loading thread).

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "http_client/HCHTTPBodyPart.h"
#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/foundation/text/StringEncoding.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/InputStream.h"

namespace http_client {

class HCMultipartBodyStream : public ns::InputStream {
 public:
  // An empty body whose boundaries and headers are written in `stringEncoding`.
  explicit HCMultipartBodyStream(ns::StringEncoding stringEncoding);

  // Returns a new unopened stream with copies of every part (boundaries marked) and the default packet size
  // and delay. Returns an error when a part is read from a stream, which cannot be read twice.
  ns::Result<std::shared_ptr<HCMultipartBodyStream>> copy() const;

  const ns::StringEncoding& stringEncoding() const { return stringEncoding_; }

  // A read call stops adding parts once it has delivered at least this many bytes.
  std::uint64_t numberOfBytesInPacket() const { return numberOfBytesInPacket_; }
  void setNumberOfBytesInPacket(std::uint64_t bytes) { numberOfBytesInPacket_ = bytes; }
  // Seconds the reading thread sleeps after each part's read; 0 for none.
  double delay() const { return delay_; }
  void setDelay(double seconds) { delay_ = seconds; }

  // Adds `part` at the end. REQUIRES: the stream is not open yet.
  void appendHTTPBodyPart(std::unique_ptr<HCHTTPBodyPart> part);
  // Marks the first part as starting the body and the last as ending it (one part does both).
  void setInitialAndFinalBoundaries();
  bool isEmpty() const { return parts_.empty(); }
  // The number of bytes the stream delivers: the sum of the parts' lengths.
  std::uint64_t contentLength() const;
  const std::vector<std::unique_ptr<HCHTTPBodyPart>>& HTTPBodyParts() const { return parts_; }

  // ns::InputStream. Opening marks the boundaries and starts at the first part. A stream that is not open
  // reads nothing; the status becomes kAtEnd once every part has been read.
  void open() override;
  void close() override;
  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength) override;
  bool hasBytesAvailable() const override;

 private:
  const ns::StringEncoding stringEncoding_;
  std::uint64_t numberOfBytesInPacket_ = std::numeric_limits<std::int64_t>::max();
  double delay_ = 0;
  std::vector<std::unique_ptr<HCHTTPBodyPart>> parts_;
  // The part being read: an index into parts_.
  std::size_t currentPart_ = 0;
  ns::OneThreadAtATimeChecker useChecker_;
};

}  // namespace http_client
