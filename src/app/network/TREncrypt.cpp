#include "app/network/TREncrypt.h"

#include "platform/foundation/crypto/Base64.h"
#include "platform/foundation/crypto/Digest.h"
#include "platform/foundation/crypto/Hex.h"

namespace app {

std::string TREncrypt::md5Encrypt(std::string_view text) {
  // The digest is taken over the text as a C string, which ends at its first zero byte.
  const std::string_view cString = text.substr(0, text.find('\0'));
  return ns::hexString(ns::md5Digest(ns::dataFromString(cString)));
}

std::string TREncrypt::base64Encrypt(std::string_view text) {
  return ns::base64Encode(ns::dataFromString(text));
}

}  // namespace app
