#include "platform/foundation/crypto/UUID.h"

#include <algorithm>
#include <span>

#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/crypto/Random.h"

namespace ns {

UUID UUID::random() {
  const Data random = randomBytes(16);
  std::array<std::uint8_t, 16> bytes{};
  std::copy(random.begin(), random.end(), bytes.begin());
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4: random
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // variant 10: RFC 4122
  return UUID(bytes);
}

std::string UUID::uuidString() const {
  const std::span<const std::uint8_t> bytes(bytes_);
  return hexString(bytes.subspan(0, 4), HexCase::kUpper) + "-" +
         hexString(bytes.subspan(4, 2), HexCase::kUpper) + "-" +
         hexString(bytes.subspan(6, 2), HexCase::kUpper) + "-" +
         hexString(bytes.subspan(8, 2), HexCase::kUpper) + "-" +
         hexString(bytes.subspan(10), HexCase::kUpper);
}

}  // namespace ns
