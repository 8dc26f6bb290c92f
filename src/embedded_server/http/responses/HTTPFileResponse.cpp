#include "embedded_server/http/responses/HTTPFileResponse.h"

#include "embedded_server/http/HTTPContentRange.h"
#include "embedded_server/http/HTTPRangeRequest.h"
#include "embedded_server/http/mime/HTTPMimeTypes.h"
#include "embedded_server/http/mime/HTTPMultipartByteranges.h"
#include "embedded_server/sockets/SocketError.h"

namespace embedded_server {

namespace beast = boost::beast;
namespace http = beast::http;

ns::Result<HTTPResponse> HTTPFileResponse::forFile(const std::filesystem::path& path,
                                                   std::optional<std::string_view> rangeHeader) {
  HTTPResponse response;
  beast::error_code error;
  response.file.open(path.c_str(), beast::file_mode::read, error);
  const std::uint64_t fileSize = error ? 0 : response.file.size(error);
  if (error) {
    return socketError(error);
  }

  const std::string fileType(HTTPMimeTypes::typeForPath(path));
  const HTTPRangeRequest request = HTTPRangeRequest::parse(rangeHeader, fileSize);
  switch (request.kind()) {
    case HTTPRangeRequest::Kind::kWholeFile:
      response.head.result(http::status::ok);
      response.head.set(http::field::content_type, fileType);
      if (fileSize > 0) {
        response.body.emplace_back(LGRange{0, fileSize});
      }
      break;
    case HTTPRangeRequest::Kind::kUnsatisfiable:
      response = HTTPResponse::withStatus(http::status::range_not_satisfiable);
      response.head.set(http::field::content_range, HTTPContentRange::unsatisfied(fileSize));
      return response;
    case HTTPRangeRequest::Kind::kRanges:
      response.head.result(http::status::partial_content);
      if (request.ranges().size() == 1) {
        const LGRange& range = request.ranges().front();
        response.head.set(http::field::content_type, fileType);
        response.head.set(http::field::content_range, HTTPContentRange::forRange(range, fileSize));
        response.body.emplace_back(range);
      } else {
        const std::string boundary = HTTPMultipartByteranges::makeBoundary();
        response.head.set(http::field::content_type, HTTPMultipartByteranges::contentType(boundary));
        response.body = HTTPMultipartByteranges::body(request.ranges(), fileSize, fileType, boundary);
      }
      break;
  }
  response.head.set(http::field::accept_ranges, "bytes");
  response.head.content_length(HTTPResponse::bodyLength(response.body));
  return response;
}

}  // namespace embedded_server
