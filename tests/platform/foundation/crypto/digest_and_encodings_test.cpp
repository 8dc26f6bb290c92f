#include <gtest/gtest.h>

#include <numeric>

#include "platform/foundation/crypto/Base64.h"
#include "platform/foundation/crypto/Digest.h"
#include "platform/foundation/crypto/Hex.h"

namespace ns {
namespace {

// Bytes after a NUL count too.
TEST(DigestTest, MatchesKnownVectors) {
  EXPECT_EQ(hexString(md5Digest(dataFromString(""))), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(hexString(md5Digest(dataFromString("中文"))), "a7bac2239fcdcb3a067903d8077c4a07");
  EXPECT_EQ(hexString(sha1Digest(dataFromString("abc"))), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(base64Encode(sha1Digest(dataFromString("abc"))), "qZk+NkcGgWq6PiVxeFDCbJzQ2J0=");
  EXPECT_NE(md5Digest(Data{'a', 0, 'b'}), md5Digest(Data{'a'}));
}

TEST(HexTest, WritesTwoDigitsPerByteInTheAskedCase) {
  EXPECT_EQ(hexString(Data{0x00, 0x0f, 0xa0, 0xff}), "000fa0ff");
  EXPECT_EQ(hexString(Data{0x00, 0x0f, 0xa0, 0xff}, HexCase::kUpper), "000FA0FF");
}

// RFC 4648 vectors, with none, one and two padding characters.
TEST(Base64Test, EncodesAndDecodesTheRfc4648Vectors) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foobar", "Zm9vYmFy"}, {"密码?>", "5a+G56CBPz4="}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(base64Encode(dataFromString(plain)), encoded);
    EXPECT_EQ(base64Decode(encoded), dataFromString(plain));
  }
}

TEST(Base64Test, LongInputHasNoLineBreaksAndEveryByteRoundTrips) {
  Data everyByte(256);
  std::iota(everyByte.begin(), everyByte.end(), 0);
  const std::string text = base64Encode(everyByte);
  EXPECT_EQ(text.size(), 344u);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(base64Decode(text), everyByte);
}

TEST(Base64Test, MalformedTextDecodesToNothing) {
  using namespace std::string_view_literals;
  for (const std::string_view bad : {"Zg="sv, "Zm9"sv, "Zm9v\n"sv, "Zm 9v"sv, " Zm9v"sv, "Z==="sv, "===="sv,
                                     "Zg=a"sv, "=Zg="sv, "Zm9v===="sv, "Zm-_"sv, "Zm9v!A=="sv, "Zm\0v"sv}) {
    EXPECT_EQ(base64Decode(bad), std::nullopt) << '"' << bad << '"';
  }
}

}  // namespace
}  // namespace ns
