#pragma once

// HCHTTPBodyPart: one part of a multipart form body: its boundary, its header lines, an empty line, its
// body and, for the last part, the final boundary. The texts are made afresh for every read from the part's
// fields, and the body (bytes, a file or a stream) is read straight into the caller's buffer, so a part holds
// no copy of what it sends.
//
// A part delivers exactly contentLength() bytes or fails: a body that ends before its declared length, or
// goes on past it, makes the read fail (read() returns -1, streamError() says why), so that a body cut
// short is never sent as a whole one.
//
// Thread-safety: one thread at a time (the thread that reads the request's body).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "platform/foundation/text/StringEncoding.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Error.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/HTTPHeaderFields.h"
#include "platform/net/InputStream.h"

namespace http_client {

class HCHTTPBodyPart {
 public:
  // The body: bytes, the path of a file, or a stream that can be read once.
  struct FilePath {
    std::string path;
  };
  using Body = std::variant<ns::Data, FilePath, std::shared_ptr<ns::InputStream>>;

  // What read() delivers next.
  enum class Phase : std::int32_t { kEncapsulationBoundary = 1, kHeaders = 2, kBody = 3, kFinalBoundary = 4 };

  // A part in its first phase. `bodyContentLength` is the number of bytes the body holds.
  HCHTTPBodyPart(ns::StringEncoding stringEncoding, std::string boundary, ns::HTTPHeaderFields headers,
                 Body body, std::uint64_t bodyContentLength);
  // Closes the body's stream when one was opened.
  ~HCHTTPBodyPart();
  HCHTTPBodyPart(const HCHTTPBodyPart&) = delete;
  HCHTTPBodyPart& operator=(const HCHTTPBodyPart&) = delete;

  // Returns a new unread part with the same encoding, boundary, headers and body. Returns an error for a part
  // whose body is a stream: a stream is read once, so two parts cannot both send it.
  ns::Result<std::unique_ptr<HCHTTPBodyPart>> copy() const;

  const ns::HTTPHeaderFields& headers() const { return headers_; }
  const Body& body() const { return body_; }
  std::uint64_t bodyContentLength() const { return bodyContentLength_; }
  Phase phase() const { return phase_; }

  // The first part starts with the initial boundary instead of the encapsulation boundary; the last part
  // ends with the final boundary.
  bool hasInitialBoundary() const { return hasInitialBoundary_; }
  void setHasInitialBoundary(bool has) { hasInitialBoundary_ = has; }
  bool hasFinalBoundary() const { return hasFinalBoundary_; }
  void setHasFinalBoundary(bool has) { hasFinalBoundary_ = has; }

  // The header lines ("Name: value" and CR LF each, names in ascending order without regard to case) and
  // the empty line that ends them.
  std::string stringForHeaders() const;
  // The bytes this part delivers in all: boundary, headers, declared body length and final boundary.
  std::uint64_t contentLength() const;

  // True until the part has delivered its last byte (or failed).
  bool hasBytesAvailable() const { return !exhausted_; }
  // Copies the part's next bytes into `buffer`, going through the phases as far as `maxLength` lasts.
  // Returns the number of bytes copied (0 once exhausted), or -1 when the body failed or did not have its
  // declared length; streamError() then says why and the part is exhausted.
  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength);
  // The error of the failed read, else std::nullopt.
  const std::optional<ns::Error>& streamError() const { return streamError_; }

 private:
  // `text` in the part's encoding (its UTF-8 bytes where the encoding cannot hold it).
  ns::Data encoded(const std::string& text) const;
  ns::Data boundaryBytes() const;
  ns::Data finalBoundaryBytes() const;
  // Copies the rest of `bytes` (from the phase's offset) into `buffer`; moves on when all are delivered.
  std::size_t readPhaseData(const ns::Data& bytes, std::uint8_t* buffer, std::size_t maxLength);
  std::ptrdiff_t readBody(std::uint8_t* buffer, std::size_t maxLength);
  // True when the body's stream holds nothing past the declared length; sets streamError_ otherwise.
  bool bodyEndsAtDeclaredLength();
  ns::InputStream& inputStream();
  void transitionToNextPhase();
  std::ptrdiff_t fail(ns::Error error);

  const ns::StringEncoding stringEncoding_;
  const std::string boundary_;
  const ns::HTTPHeaderFields headers_;
  const Body body_;
  const std::uint64_t bodyContentLength_;
  bool hasInitialBoundary_ = false;
  bool hasFinalBoundary_ = false;

  Phase phase_ = Phase::kEncapsulationBoundary;
  std::uint64_t phaseReadOffset_ = 0;
  std::uint64_t bodyBytesRead_ = 0;
  bool exhausted_ = false;
  std::shared_ptr<ns::InputStream> inputStream_;
  std::optional<ns::Error> streamError_;
};

}  // namespace http_client
