#include "embedded_server/http/mime/HTTPMultipartByteranges.h"

#include "embedded_server/http/HTTPContentRange.h"
#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/crypto/Random.h"

namespace embedded_server {

std::string HTTPMultipartByteranges::makeBoundary() {
  return ns::hexString(ns::randomBytes(16));
}

std::string HTTPMultipartByteranges::contentType(std::string_view boundary) {
  return "multipart/byteranges; boundary=" + std::string(boundary);
}

std::vector<HTTPBodyPiece> HTTPMultipartByteranges::body(const std::vector<LGRange>& ranges,
                                                         std::uint64_t fileSize, std::string_view partType,
                                                         std::string_view boundary) {
  std::vector<HTTPBodyPiece> pieces;
  std::string separator = "--";
  for (const LGRange& range : ranges) {
    separator.append(boundary)
        .append("\r\nContent-Type: ")
        .append(partType)
        .append("\r\nContent-Range: ")
        .append(HTTPContentRange::forRange(range, fileSize))
        .append("\r\n\r\n");
    pieces.emplace_back(std::move(separator));
    pieces.emplace_back(range);
    separator = "\r\n--";
  }
  separator.append(boundary).append("--\r\n");
  pieces.emplace_back(std::move(separator));
  return pieces;
}

}  // namespace embedded_server
