#include "platform/foundation/crypto/Digest.h"

#include <gtest/gtest.h>

#include "platform/foundation/crypto/Base64.h"
#include "platform/foundation/crypto/Hex.h"

namespace ns {
namespace {

std::string md5Hex(std::string_view text) {
  return hexString(md5Digest(dataFromString(text)));
}
std::string sha1Hex(std::string_view text) {
  return hexString(sha1Digest(dataFromString(text)));
}

TEST(DigestTest, MatchesKnownVectors) {
  EXPECT_EQ(md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(md5Hex("中文"), "a7bac2239fcdcb3a067903d8077c4a07");
  EXPECT_EQ(sha1Hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_NE(md5Digest(Data{'a', 0, 'b'}), md5Digest(Data{'a'}));
}

TEST(DigestTest, Base64OfSha1IsTwentyEightCharacters) {
  EXPECT_EQ(base64Encode(sha1Digest(dataFromString("abc"))), "qZk+NkcGgWq6PiVxeFDCbJzQ2J0=");
}

TEST(HexTest, WritesTwoDigitsPerByteInTheAskedCase) {
  const Data bytes{0x00, 0x0f, 0xa0, 0xff};
  EXPECT_EQ(hexString(bytes), "000fa0ff");
  EXPECT_EQ(hexString(bytes, HexCase::kUpper), "000FA0FF");
}

}  // namespace
}  // namespace ns
