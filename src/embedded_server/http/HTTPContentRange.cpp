#include "embedded_server/http/HTTPContentRange.h"

std::string HTTPContentRange::forRange(const LGRange& range, std::uint64_t fileSize) {
  return "bytes " + std::to_string(range.location) + "-" + std::to_string(range.lastByte()) + "/" +
         std::to_string(fileSize);
}

std::string HTTPContentRange::unsatisfied(std::uint64_t fileSize) {
  return "bytes */" + std::to_string(fileSize);
}
