// Gathering response header fields from the lines of one or more header blocks.

#include <gtest/gtest.h>

#include "platform/net/ResponseHeaderReader.h"

namespace {

TEST(ResponseHeaderReaderTest, GathersFieldsUntilTheBlankLine) {
  ns::ResponseHeaderReader reader;
  EXPECT_FALSE(reader.takeLine("HTTP/1.1 200 OK\r\n"));
  EXPECT_FALSE(reader.takeLine("Content-Type:  text/plain \r\n"));
  EXPECT_FALSE(reader.takeLine("Set-Cookie: a=1\r\n"));
  EXPECT_FALSE(reader.takeLine("set-cookie: b=2\r\n"));
  EXPECT_FALSE(reader.takeLine("X-Long: first\r\n"));
  EXPECT_FALSE(reader.takeLine("\tsecond\r\n"));
  EXPECT_FALSE(reader.takeLine("not a field\r\n"));
  EXPECT_TRUE(reader.takeLine("\r\n"));

  const ns::HTTPHeaderFields& fields = reader.fields();
  EXPECT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields.at("content-type"), "text/plain");
  EXPECT_EQ(fields.at("Set-Cookie"), "a=1, b=2");
  EXPECT_EQ(fields.at("X-Long"), "first second");
}

TEST(ResponseHeaderReaderTest, AStatusLineStartsAFreshBlock) {
  ns::ResponseHeaderReader reader;
  reader.takeLine("HTTP/1.1 302 Found\r\n");
  reader.takeLine("Location: /next\r\n");
  reader.takeLine("\r\n");
  reader.takeLine("HTTP/1.1 200 OK\r\n");
  reader.takeLine("Content-Length: 0\r\n");

  EXPECT_EQ(reader.fields().size(), 1u);
  EXPECT_EQ(reader.fields().count("Location"), 0u);
}

}  // namespace
