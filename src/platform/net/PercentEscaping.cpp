#include "platform/net/PercentEscaping.h"

#include <cctype>

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

}  // namespace ns
