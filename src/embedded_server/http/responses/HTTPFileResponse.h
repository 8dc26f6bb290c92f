#pragma once

// HTTPFileResponse: the answer to a GET or HEAD of one file, honouring the request's Range header: 200 with
// the whole file, 206 with one range (Content-Range) or several ("multipart/byteranges"), 416 with
// "Content-Range: bytes */size" when no range can be satisfied. The file is opened here; its bytes are
// taken from it only while the body is being sent. Thread-safety: pure function.

#include <filesystem>
#include <optional>
#include <string_view>

#include "embedded_server/http/responses/HTTPResponse.h"
#include "platform/foundation/values/Result.h"

namespace embedded_server {

class HTTPFileResponse {
 public:
  // Returns the response for the regular file at `path`, or the error that kept the file from being opened.
  // `rangeHeader` is the request's Range value, nullopt when it has none.
  static ns::Result<HTTPResponse> forFile(const std::filesystem::path& path,
                                          std::optional<std::string_view> rangeHeader);
};

}  // namespace embedded_server
