// Requests and responses as values: header fields by any letter case, bodies, what a response reads from its
// header fields, and gathering those fields from the lines of one or more header blocks.

#include <gtest/gtest.h>

#include "platform/net/HTTPURLResponse.h"
#include "platform/net/ResponseHeaderReader.h"
#include "platform/net/URLRequest.h"

namespace {

ns::URL url(const char* text) {
  return *ns::URL::fromString(text);
}

TEST(URLRequestTest, HeaderFieldsIgnoreLetterCaseAndKeepTheFirstSpelling) {
  ns::URLRequest request(url("http://host/"));
  request.setValue("text/plain", "Content-Type");
  request.setValue("application/json", "content-type");

  EXPECT_EQ(request.valueForHTTPHeaderField("CONTENT-TYPE"), "application/json");
  ASSERT_EQ(request.allHTTPHeaderFields().size(), 1u);
  EXPECT_EQ(request.allHTTPHeaderFields().begin()->first, "Content-Type");

  request.setValue(std::nullopt, "CONTENT-type");
  EXPECT_TRUE(request.allHTTPHeaderFields().empty());
}

TEST(URLRequestTest, HasOneBodyAtATimeAndIsAGetByDefault) {
  ns::URLRequest request(url("http://host/"));
  EXPECT_EQ(request.HTTPMethod(), "GET");

  request.setHTTPBody(ns::dataFromString("a=1"));
  request.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString("b=2")));
  EXPECT_FALSE(request.HTTPBody().has_value());
  request.setHTTPBody(ns::dataFromString("a=1"));
  EXPECT_EQ(request.HTTPBodyStream(), nullptr);
  EXPECT_NE(request.description().find("{ URL: http://host/ }"), std::string::npos);
}

TEST(HTTPURLResponseTest, ReadsTypeCharsetAndLengthFromTheHeaderFields) {
  ns::HTTPHeaderFields fields{{"content-type", "Application/JSON ; Charset=\"utf-8\""},
                              {"Content-Length", "42"}};
  const ns::HTTPURLResponse response(url("http://host/x"), 201, fields);

  EXPECT_EQ(response.statusCode(), 201);
  EXPECT_EQ(response.MIMEType(), "application/json");
  EXPECT_EQ(response.textEncodingName(), "utf-8");
  EXPECT_EQ(response.expectedContentLength(), 42);
  EXPECT_EQ(response.allHeaderFields().at("Content-Type"), "Application/JSON ; Charset=\"utf-8\"");
}

TEST(HTTPURLResponseTest, MissingOrMalformedFieldsLeaveTheValuesUnknown) {
  const ns::HTTPURLResponse bare(url("http://host/x"), 200, {});
  EXPECT_FALSE(bare.MIMEType().has_value());
  EXPECT_FALSE(bare.textEncodingName().has_value());
  EXPECT_EQ(bare.expectedContentLength(), ns::URLResponse::kUnknownLength);

  const ns::HTTPURLResponse odd(url("http://host/x"), 200,
                                {{"Content-Type", "text/plain; format=flowed"}, {"Content-Length", "12abc"}});
  EXPECT_EQ(odd.MIMEType(), "text/plain");
  EXPECT_FALSE(odd.textEncodingName().has_value());
  EXPECT_EQ(odd.expectedContentLength(), ns::URLResponse::kUnknownLength);
}

TEST(HTTPURLResponseTest, NamesStatusCodesInLowerCaseAndUnknownOnesByTheirClass) {
  EXPECT_EQ(ns::HTTPURLResponse::localizedStringForStatusCode(500), "internal server error");
  EXPECT_EQ(ns::HTTPURLResponse::localizedStringForStatusCode(299), "success");
  EXPECT_EQ(ns::HTTPURLResponse::localizedStringForStatusCode(599), "server error");
}

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
  for (const char* line : {"HTTP/1.1 302 Found\r\n", "Location: /next\r\n", "\r\n", "HTTP/1.1 200 OK\r\n",
                           "Content-Length: 0\r\n"}) {
    reader.takeLine(line);
  }

  EXPECT_EQ(reader.fields().size(), 1u);
  EXPECT_EQ(reader.fields().count("Location"), 0u);
}

}  // namespace
