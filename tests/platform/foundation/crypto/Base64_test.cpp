#include "platform/foundation/crypto/Base64.h"

#include <gtest/gtest.h>

namespace ns {
namespace {

TEST(Base64Test, EncodesAndDecodesTheRfc4648Vectors) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"},
                                                         {"密码?>", "5a+G56CBPz4="}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(base64Encode(dataFromString(plain)), encoded);
    EXPECT_EQ(base64Decode(encoded), dataFromString(plain));
  }
}

TEST(Base64Test, LongInputHasNoLineBreaksAndEveryByteRoundTrips) {
  Data everyByte;
  for (int value = 0; value < 256; ++value) {
    everyByte.push_back(static_cast<std::uint8_t>(value));
  }
  const std::string text = base64Encode(everyByte);
  EXPECT_EQ(text.size(), 344u);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(base64Decode(text), everyByte);
}

TEST(Base64Test, MalformedTextDecodesToNothing) {
  for (const char* bad : {"Zg=", "Zm9", "Zm9v\n", "Zm 9v", " Zm9v", "Z===", "====", "Zg=a",
                          "=Zg=", "Zm9v====", "Zm-_", "Zm9v!A=="}) {
    EXPECT_EQ(base64Decode(bad), std::nullopt) << '"' << bad << '"';
  }
  EXPECT_EQ(base64Decode(std::string_view("Zm\0v", 4)), std::nullopt);
}

}  // namespace
}  // namespace ns
