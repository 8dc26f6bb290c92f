#include "http_client/HCSerializerCodingKeys.h"

#include <limits>

namespace http_client {

std::optional<unsigned> HCDecodedUnsigned(const ns::Dictionary& coder, std::string_view key) {
  const auto found = coder.find(std::string(key));
  if (found == coder.end() || !found->second.isInteger()) {
    return std::nullopt;
  }
  const std::int64_t value = found->second.asInteger();
  if (value < 0 || value > std::numeric_limits<unsigned>::max()) {
    return std::nullopt;
  }
  return static_cast<unsigned>(value);
}

}  // namespace http_client
