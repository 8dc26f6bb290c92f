#include "platform/foundation/crypto/Aes128Cbc.h"

#include <gtest/gtest.h>

#include "platform/foundation/crypto/Hex.h"

namespace ns {
namespace {

// The CBC-AES128 example of NIST SP 800-38A, F.2.1 and F.2.2 (its first two blocks).
const Data kKey{0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6,
                0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c};
const Data kIv{0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
               0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f};
const Data kPlaintext{0x6b, 0xc1, 0xbe, 0xe2, 0x2e, 0x40, 0x9f, 0x96, 0xe9, 0x3d, 0x7e,
                      0x11, 0x73, 0x93, 0x17, 0x2a, 0xae, 0x2d, 0x8a, 0x57, 0x1e, 0x03,
                      0xac, 0x9c, 0x9e, 0xb7, 0x6f, 0xac, 0x45, 0xaf, 0x8e, 0x51};
constexpr std::string_view kCiphertextHex =
    "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2";

// A whole block of padding follows the NIST blocks, so the ciphertext is one block longer.
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
  for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 188u * 7}) {
    const Data plaintext(length, 0x5A);
    const Result<Data> ciphertext = aes128CbcEncrypt(kKey, kIv, plaintext);
    ASSERT_TRUE(ciphertext.ok()) << length;
    EXPECT_EQ(ciphertext->size(), (length / kAesBlockSize + 1) * kAesBlockSize) << length;
    const Result<Data> decrypted = aes128CbcDecrypt(kKey, kIv, *ciphertext);
    ASSERT_TRUE(decrypted.ok()) << length;
    EXPECT_EQ(*decrypted, plaintext) << length;
  }
}

// The last block decrypts to sixteen 0x10 bytes; flipping bits in the block before it flips the same bits of
// that padding, giving a final 0x00 (no padding ends so) or 0x11 (more than a block).
TEST(Aes128CbcTest, WrongPaddingIsADecodeErrorNotGarbage) {
  const Result<Data> ciphertext = aes128CbcEncrypt(kKey, kIv, kPlaintext);
  ASSERT_TRUE(ciphertext.ok());
  for (const std::uint8_t flip : {0x10, 0x01}) {
    Data damaged = *ciphertext;
    damaged[damaged.size() - kAesBlockSize - 1] ^= flip;
    const Result<Data> decrypted = aes128CbcDecrypt(kKey, kIv, damaged);
    ASSERT_FALSE(decrypted.ok()) << int{flip};
    EXPECT_EQ(decrypted.error().domain(), kCryptorErrorDomain);
    EXPECT_EQ(decrypted.error().code(), kCryptorDecodeError);
  }
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
