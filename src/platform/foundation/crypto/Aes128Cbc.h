#pragma once

// AES-128 in CBC mode with PKCS#7 padding: the cipher of encrypted HLS media segments (a 16-byte key from
// the key file, a 16-byte IV from the playlist or the segment's sequence number).
// Thread-safe: pure functions.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"

namespace ns {

inline constexpr std::string_view kCryptorErrorDomain = "com.quillmark.crypto";
// The key or the IV is not 16 bytes long.
inline constexpr std::int64_t kCryptorParameterError = -4300;
// The ciphertext is not a whole number of blocks, or its padding is wrong (a wrong key or IV, or damaged
// data).
inline constexpr std::int64_t kCryptorDecodeError = -4304;

inline constexpr std::size_t kAes128KeySize = 16;
inline constexpr std::size_t kAesBlockSize = 16;

// Returns `plaintext` encrypted and padded: the next multiple of 16 bytes above its length (a whole block
// of padding when the length already is one). Fails with kCryptorParameterError for a bad key or IV.
// REQUIRES: plaintext.size() < 2^31 - 16 (OpenSSL counts in int).
Result<Data> aes128CbcEncrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                              std::span<const std::uint8_t> plaintext);

// Returns `ciphertext` decrypted with its padding removed. Fails with kCryptorParameterError for a bad key
// or IV and with kCryptorDecodeError when the ciphertext is not whole blocks or its padding does not check
// out; no partly decrypted bytes are returned then.
// REQUIRES: ciphertext.size() < 2^31 - 16.
Result<Data> aes128CbcDecrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                              std::span<const std::uint8_t> ciphertext);

}  // namespace ns
