#include "embedded_server/http/HTTPContentRange.h"

#include "platform/foundation/check/Check.h"

namespace embedded_server {

std::string HTTPContentRange::forRange(const LGRange& range, std::uint64_t fileSize) {
  QM_DCHECK(range.length > 0, "range.length > 0");
  return "bytes " + std::to_string(range.location) + "-" + std::to_string(range.lastByte()) + "/" +
         std::to_string(fileSize);
}

std::string HTTPContentRange::unsatisfied(std::uint64_t fileSize) {
  return "bytes */" + std::to_string(fileSize);
}

}  // namespace embedded_server
