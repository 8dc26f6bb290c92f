#pragma once

// ns::InputStream: bytes read in order from a source, such as a request body given as a stream. Subclass it
// for bodies made on the fly; withData() and withFileAtPath() cover memory and files.
// Thread-safety: a stream is used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/values/Data.h"
#include "platform/net/Stream.h"

namespace ns {

class InputStream : public Stream {
 public:
  // Returns a stream that reads `data`.
  static std::shared_ptr<InputStream> withData(Data data);
  // Returns a stream that reads the file at `path`; a file that cannot be opened puts the stream into kError
  // at open() with an error of the POSIX domain.
  static std::shared_ptr<InputStream> withFileAtPath(std::string path);

  // Reads up to `maxLength` bytes into `buffer`. Returns the number of bytes read (the status becomes kAtEnd
  // after the last byte has been read: then the result is 0), or -1 on failure, when the status is kError.
  // REQUIRES: the stream is open.
  virtual std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength) = 0;
  // True while a read() may return bytes.
  virtual bool hasBytesAvailable() const = 0;
};

}  // namespace ns
