#include "platform/foundation/crypto/Aes128Cbc.h"

#include <gtest/gtest.h>

#include "platform/foundation/crypto/Hex.h"

namespace ns {
namespace {

Data fromHex(std::string_view hex) {
  Data bytes;
  for (std::size_t index = 0; index + 1 < hex.size(); index += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(index, 2)), nullptr, 16)));
  }
  return bytes;
}

// The CBC-AES128 example of NIST SP 800-38A, F.2.1 and F.2.2.
const Data kKey = fromHex("2b7e151628aed2a6abf7158809cf4f3c");
const Data kIv = fromHex("000102030405060708090a0b0c0d0e0f");
const Data kPlaintext = fromHex(
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
constexpr std::string_view kCiphertextHex =
    "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
    "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7";

TEST(Aes128CbcTest, EncryptsTheNistVectorAndPadsAWholeBlock) {
  const Result<Data> ciphertext = aes128CbcEncrypt(kKey, kIv, kPlaintext);
  ASSERT_TRUE(ciphertext.ok());
  ASSERT_EQ(ciphertext->size(), kPlaintext.size() + kAesBlockSize);
  EXPECT_EQ(hexString(std::span(*ciphertext).first(kPlaintext.size())), kCiphertextHex);

  const Result<Data> plaintext = aes128CbcDecrypt(kKey, kIv, *ciphertext);
  ASSERT_TRUE(plaintext.ok());
  EXPECT_EQ(*plaintext, kPlaintext);
}

TEST(Aes128CbcTest, EveryLengthRoundTripsToTheNextWholeBlock) {
  for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 188u * 7}) {
    const Data plaintext(length, 0x5A);
    const Result<Data> ciphertext = aes128CbcEncrypt(kKey, kIv, plaintext);
    ASSERT_TRUE(ciphertext.ok()) << length;
    EXPECT_EQ(ciphertext->size(), (length / kAesBlockSize + 1) * kAesBlockSize) << length;
    const Result<Data> decrypted = aes128CbcDecrypt(kKey, kIv, *ciphertext);
    ASSERT_TRUE(decrypted.ok()) << length;
    EXPECT_EQ(*decrypted, plaintext) << length;
  }
}

TEST(Aes128CbcTest, WrongPaddingIsADecodeErrorNotGarbage) {
  Result<Data> ciphertext = aes128CbcEncrypt(kKey, kIv, kPlaintext);
  ASSERT_TRUE(ciphertext.ok());
  // The last block decrypts to sixteen 0x10 bytes. Flipping bits in the block before it flips the same
  // bits of that padding: 0x10 ^ 0x10 leaves a final 0x00, which no padding ends with.
  Data damaged = *ciphertext;
  damaged[damaged.size() - kAesBlockSize - 1] ^= 0x10;
  const Result<Data> decrypted = aes128CbcDecrypt(kKey, kIv, damaged);
  ASSERT_FALSE(decrypted.ok());
  EXPECT_EQ(decrypted.error().domain(), kCryptorErrorDomain);
  EXPECT_EQ(decrypted.error().code(), kCryptorDecodeError);
  // A final byte of 0x11 claims more padding than a block holds.
  damaged = *ciphertext;
  damaged[damaged.size() - kAesBlockSize - 1] ^= 0x01;
  EXPECT_EQ(aes128CbcDecrypt(kKey, kIv, damaged).error().code(), kCryptorDecodeError);
}

TEST(Aes128CbcTest, PartialBlocksAndBadKeysOrIvsAreErrors) {
  const Data fifteenBytes(15, 0x01);
  EXPECT_EQ(aes128CbcDecrypt(kKey, kIv, fifteenBytes).error().code(), kCryptorDecodeError);
  EXPECT_EQ(aes128CbcDecrypt(kKey, kIv, Data{}).error().code(), kCryptorDecodeError);
  EXPECT_EQ(aes128CbcEncrypt(fifteenBytes, kIv, kPlaintext).error().code(), kCryptorParameterError);
  EXPECT_EQ(aes128CbcDecrypt(kKey, Data(17, 0x01), kPlaintext).error().code(), kCryptorParameterError);
}

}  // namespace
}  // namespace ns
