#pragma once

// HTTPResponse: what a connection sends for one request: the status line and header fields (with
// Content-Length), then the body pieces in order. A piece is literal text or a run of bytes of `file`, read
// only while it is being sent, so that a file is never held in memory whole.
// Thread-safety: not thread-safe; a response belongs to one connection.

#include <boost/beast/core/file.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "embedded_server/http/LGRange.h"

namespace embedded_server {

using HTTPBodyPiece = std::variant<std::string, LGRange>;

struct HTTPResponse {
  // Returns a response with `status` and an empty body.
  static HTTPResponse withStatus(boost::beast::http::status status);

  // Returns the number of bytes the pieces add up to, the response's Content-Length.
  static std::uint64_t bodyLength(const std::vector<HTTPBodyPiece>& body);

  boost::beast::http::response<boost::beast::http::empty_body> head;
  std::vector<HTTPBodyPiece> body;
  // Open while a piece of the body is a run of its bytes.
  boost::beast::file file;
};

}  // namespace embedded_server
