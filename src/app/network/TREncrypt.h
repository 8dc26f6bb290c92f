#pragma once

// TREncrypt: the digests and encodings of the request layer: the lower-case hexadecimal MD5 that signs
// requests, and the Base64 that carries the login password.
// Thread-safe: pure functions.

#include <string>
#include <string_view>

namespace app {

class TREncrypt {
 public:
  // Returns the MD5 digest of the UTF-8 bytes of `text` up to its first zero byte, as 32 lower-case
  // hexadecimal characters.
  static std::string md5Encrypt(std::string_view text);

  // Returns the standard Base64 of the UTF-8 bytes of `text` ("=" filling the last group, no line breaks).
  static std::string base64Encrypt(std::string_view text);
};

}  // namespace app
