#include "platform/foundation/crypto/Hex.h"

namespace ns {

std::string hexString(std::span<const std::uint8_t> bytes, HexCase letterCase) {
  const char* digits = letterCase == HexCase::kLower ? "0123456789abcdef" : "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t byte : bytes) {
    text.push_back(digits[byte >> 4]);
    text.push_back(digits[byte & 0x0F]);
  }
  return text;
}

}  // namespace ns
