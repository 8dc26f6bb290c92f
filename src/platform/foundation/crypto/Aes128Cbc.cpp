#include "platform/foundation/crypto/Aes128Cbc.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <memory>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/OpenSslFailure.h"

namespace ns {
namespace {

enum class Direction { kDecrypt = 0, kEncrypt = 1 };

struct CipherContextFree {
  void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

Error cryptorError(std::int64_t code, std::string description) {
  return Error(std::string(kCryptorErrorDomain), code,
               Dictionary{{std::string(kLocalizedDescriptionKey), Value(std::move(description))}});
}

Result<Data> runCipher(Direction direction, std::span<const std::uint8_t> key,
                       std::span<const std::uint8_t> iv, std::span<const std::uint8_t> input) {
  if (key.size() != kAes128KeySize || iv.size() != kAesBlockSize) {
    return cryptorError(kCryptorParameterError, "AES-128 needs a 16-byte key and a 16-byte IV");
  }
  const std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
  if (!context || EVP_CipherInit_ex2(context.get(), EVP_aes_128_cbc(), key.data(), iv.data(),
                                     static_cast<int>(direction), nullptr) != 1) {
    abortOnOpenSslFailure("AES-128-CBC set-up");
  }
  // Padding adds at most one block; decryption never grows.
  Data output(input.size() + kAesBlockSize);
  int updateLength = 0;
  if (EVP_CipherUpdate(context.get(), output.data(), &updateLength, input.data(),
                       static_cast<int>(input.size())) != 1) {
    abortOnOpenSslFailure("AES-128-CBC");
  }
  int finalLength = 0;
  if (EVP_CipherFinal_ex(context.get(), output.data() + updateLength, &finalLength) != 1) {
    // Only decryption can fail here: a last block that is short or carries no valid padding. The error
    // OpenSSL queued is dropped so that it cannot be mistaken later for a failure of, say, a TLS read on
    // this thread.
    ERR_clear_error();
    return cryptorError(kCryptorDecodeError, "The data is not whole AES blocks or its padding is wrong");
  }
  output.resize(static_cast<std::size_t>(updateLength + finalLength));
  return output;
}

}  // namespace

Result<Data> aes128CbcEncrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                              std::span<const std::uint8_t> plaintext) {
  QM_DCHECK(plaintext.size() < (std::size_t{1} << 31) - 16, "plaintext.size() < 2^31 - 16");
  return runCipher(Direction::kEncrypt, key, iv, plaintext);
}

Result<Data> aes128CbcDecrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                              std::span<const std::uint8_t> ciphertext) {
  QM_DCHECK(ciphertext.size() < (std::size_t{1} << 31) - 16, "ciphertext.size() < 2^31 - 16");
  return runCipher(Direction::kDecrypt, key, iv, ciphertext);
}

}  // namespace ns
