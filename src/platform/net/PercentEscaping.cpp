#include "platform/net/PercentEscaping.h"

#include <cctype>

#include "platform/foundation/crypto/Hex.h"

namespace ns {

std::string percentEscape(std::string_view bytes, std::string_view keep) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 && (std::isalnum(byte) != 0 || keep.find(c) != std::string_view::npos)) {
      escaped.push_back(c);
    } else {
      escaped.push_back('%');
      escaped.push_back(kHexDigits[byte >> 4]);
      escaped.push_back(kHexDigits[byte & 0x0F]);
    }
  }
  return escaped;
}

std::optional<char> leadingPercentEscape(std::string_view text) {
  if (text.size() < 3 || text[0] != '%') {
    return std::nullopt;
  }
  const std::optional<std::vector<std::uint8_t>> byte = bytesFromHex(text.substr(1, 2));
  if (!byte) {
    return std::nullopt;
  }
  return static_cast<char>(byte->front());
}

std::optional<std::string> percentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded.push_back(text[i]);
      continue;
    }
    const std::optional<char> byte = leadingPercentEscape(text.substr(i));
    if (!byte) {
      return std::nullopt;
    }
    decoded.push_back(*byte);
    i += 2;
  }
  return decoded;
}

}  // namespace ns
