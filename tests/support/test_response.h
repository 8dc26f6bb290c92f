#pragma once

// testsupport::TestResponse: what a loopback test server sends back for one request, including the ways a
// real network misbehaves: bodies in chunks or in slow pieces, a connection dropped mid-body, or no answer
// at all.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "support/recorded_request.h"

namespace testsupport {

struct TestResponse {
  enum class Framing { kContentLength, kChunked };

  int status = 200;
  // Sent as given. "Content-Length" is added for kContentLength framing unless present here.
  HeaderList headers;
  std::string body;
  Framing framing = Framing::kContentLength;
  // When non-zero, the body goes out in pieces of this many bytes (one chunk each when chunked)...
  std::size_t pieceSize = 0;
  // ...with this pause of real time before each piece after the first.
  std::chrono::milliseconds pauseBetweenPieces{0};
  // When set, the connection is dropped once this many body bytes are out, whatever was announced.
  std::optional<std::size_t> closeAfterBodyBytes;
  // When true, nothing is sent and the connection stays open until the server stops.
  bool neverRespond = false;
  // When set, these bytes go out in place of the response, as they are, and the connection closes after
  // them: a reply that is no HTTP, or (empty) a server that read the request and hung up.
  std::optional<std::string> rawReply;

  // A complete response with "Content-Type" `contentType`.
  static TestResponse text(int status, std::string body, std::string contentType = "text/plain");
  // No answer at all: the connection stays open and silent.
  static TestResponse noAnswer();
  // A redirect to `location` with a short body.
  static TestResponse redirect(int status, std::string location);
  // `body` served as a resource with entity tag `etag`, honouring "Range" (one "bytes=N-" or "bytes=N-M"
  // range) and "If-Range": 206 with "Content-Range" when the range applies, 200 with the whole body when
  // "If-Range" names another tag, 416 when the range starts past the end.
  static TestResponse ranged(const RecordedRequest& request, const std::string& body,
                             const std::string& etag);

  // Returns the value of the header named `name` in any letter case, or nullopt.
  std::optional<std::string> header(std::string_view name) const { return findHeader(headers, name); }
};

}  // namespace testsupport
