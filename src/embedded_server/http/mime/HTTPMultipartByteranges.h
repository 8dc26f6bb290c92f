#pragma once

// HTTPMultipartByteranges: the "multipart/byteranges" body that answers a request for several ranges of one
// file: for each range a part header (boundary, Content-Type, Content-Range) followed by the range's bytes,
// then the closing boundary. Thread-safety: pure functions, except makeBoundary(), which is thread-safe.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "embedded_server/http/LGRange.h"
#include "embedded_server/http/responses/HTTPResponse.h"

namespace embedded_server {

class HTTPMultipartByteranges {
 public:
  // Returns a fresh random boundary, which cannot be mistaken for the contents of a lesson file.
  static std::string makeBoundary();

  // Returns the Content-Type of the whole response.
  static std::string contentType(std::string_view boundary);

  // Returns the body pieces for `ranges` of a file of `fileSize` bytes whose own type is `partType`.
  // REQUIRES: every range lies inside the file and has a length above 0.
  static std::vector<HTTPBodyPiece> body(const std::vector<LGRange>& ranges, std::uint64_t fileSize,
                                         std::string_view partType, std::string_view boundary);
};

}  // namespace embedded_server
