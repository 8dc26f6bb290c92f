#include <gtest/gtest.h>

#include <string>

#include "app/network/TREncrypt.h"
#include "app/network/ZBHost.h"

namespace app {

namespace {

TEST(TREncryptTest, Md5IsLowerCaseHexOfTheBytesBeforeTheFirstZero) {
  EXPECT_EQ(TREncrypt::md5Encrypt(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(TREncrypt::md5Encrypt("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(TREncrypt::md5Encrypt(std::string("abc\0def", 7)), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(TREncrypt::md5Encrypt("名=澜屿7b2e9d40c5a1f8e36d0b4c92a7f15e08"),
            "cca08d46b1230bd9f31cd946ea73e18f");
}

TEST(TREncryptTest, Base64IsStandardAndUnbroken) {
  EXPECT_EQ(TREncrypt::base64Encrypt("quill2016"), "cXVpbGwyMDE2");
  EXPECT_EQ(TREncrypt::base64Encrypt("ab"), "YWI=");
  EXPECT_EQ(TREncrypt::base64Encrypt("澜屿"), "5r6c5bG/");
  EXPECT_EQ(TREncrypt::base64Encrypt(std::string(60, 'x')).find('\n'), std::string::npos);
}

TEST(ZBHostTest, ResolvesAHostOrTheHostOfAURL) {
  EXPECT_EQ(ZBHost::ipAddressFromHost("127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(ZBHost::ipAddressFromHost("http://127.0.0.1:8080/common/get/time"), "127.0.0.1");
  EXPECT_EQ(ZBHost::ipAddressFromHost("localhost"), "127.0.0.1");
  EXPECT_EQ(ZBHost::ipAddressFromHost(""), std::nullopt);
}

}  // namespace

}  // namespace app
