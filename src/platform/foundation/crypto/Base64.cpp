#include "platform/foundation/crypto/Base64.h"

#include <openssl/evp.h>

#include <algorithm>

#include "platform/foundation/check/Check.h"

namespace ns {
namespace {

bool isBase64Digit(char character) {
  return (character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z') ||
         (character >= '0' && character <= '9') || character == '+' || character == '/';
}

// Returns how many "=" end `text`, or std::nullopt when `text` is not well-formed Base64.
std::optional<std::size_t> paddingOfWellFormed(std::string_view text) {
  if (text.size() % 4 != 0) {
    return std::nullopt;
  }
  const std::size_t digits = text.find_last_not_of('=') + 1;
  const std::size_t padding = text.size() - digits;
  if (padding > 2 ||
      !std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(digits), isBase64Digit)) {
    return std::nullopt;
  }
  return padding;
}

}  // namespace

std::string base64Encode(std::span<const std::uint8_t> bytes) {
  QM_DCHECK(bytes.size() < (std::size_t{1} << 30), "bytes.size() < 2^30");
  // EVP_EncodeBlock writes whole groups of four and a terminating zero, with no line breaks.
  std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(),
                                     static_cast<int>(bytes.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::optional<Data> base64Decode(std::string_view text) {
  QM_DCHECK(text.size() < (std::size_t{1} << 31), "text.size() < 2^31");
  // EVP_DecodeBlock would skip surrounding white space and count padding as zero bytes, so the input is
  // checked first and the padding taken off its output.
  const std::optional<std::size_t> padding = paddingOfWellFormed(text);
  if (!padding) {
    return std::nullopt;
  }
  Data bytes(text.size() / 4 * 3);
  const int length = EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
  if (length < 0) {
    return std::nullopt;
  }
  bytes.resize(static_cast<std::size_t>(length) - *padding);
  return bytes;
}

}  // namespace ns
