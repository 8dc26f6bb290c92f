#include "embedded_server/http/responses/HTTPResponse.h"

namespace embedded_server {

namespace http = boost::beast::http;

HTTPResponse HTTPResponse::withStatus(http::status status) {
  HTTPResponse response;
  response.head.result(status);
  response.head.content_length(0);
  return response;
}

std::uint64_t HTTPResponse::bodyLength(const std::vector<HTTPBodyPiece>& body) {
  std::uint64_t length = 0;
  for (const auto& piece : body) {
    length += std::holds_alternative<std::string>(piece) ? std::get<std::string>(piece).size()
                                                         : std::get<LGRange>(piece).length;
  }
  return length;
}

}  // namespace embedded_server
