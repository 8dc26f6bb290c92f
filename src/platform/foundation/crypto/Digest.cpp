#include "platform/foundation/crypto/Digest.h"

#include <openssl/evp.h>

#include "platform/foundation/crypto/OpenSslFailure.h"

namespace ns {
namespace {

Data digest(std::span<const std::uint8_t> bytes, const EVP_MD* algorithm, const char* name) {
  Data result(static_cast<std::size_t>(EVP_MD_get_size(algorithm)));
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), result.data(), &length, algorithm, nullptr) != 1 ||
      length != result.size()) {
    abortOnOpenSslFailure(name);
  }
  return result;
}

}  // namespace

Data md5Digest(std::span<const std::uint8_t> bytes) {
  return digest(bytes, EVP_md5(), "MD5");
}

Data sha1Digest(std::span<const std::uint8_t> bytes) {
  return digest(bytes, EVP_sha1(), "SHA-1");
}

}  // namespace ns
