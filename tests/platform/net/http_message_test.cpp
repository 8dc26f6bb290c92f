// Requests and responses as values: header fields by any letter case, bodies, what a response reads from its
// header fields, and gathering those fields from the lines of one or more header blocks.

#include <gtest/gtest.h>

#include "platform/net/HTTPURLResponse.h"
#include "platform/net/ResponseHeaderReader.h"
#include "platform/net/URLRequest.h"

namespace {

const ns::URL kURL = *ns::URL::fromString("http://host/");

TEST(URLRequestTest, HeaderFieldsIgnoreLetterCaseAndKeepTheFirstSpelling) {
  ns::URLRequest request(kURL);
  request.setValue("text/plain", "Content-Type");
  request.setValue("application/json", "content-type");
  EXPECT_EQ(request.valueForHTTPHeaderField("CONTENT-TYPE"), "application/json");
  ASSERT_EQ(request.allHTTPHeaderFields().size(), 1u);
  EXPECT_EQ(request.allHTTPHeaderFields().begin()->first, "Content-Type");
  request.setValue(std::nullopt, "CONTENT-type");
  EXPECT_TRUE(request.allHTTPHeaderFields().empty());
}

TEST(URLRequestTest, HasOneBodyAtATimeAndIsAGetByDefault) {
  ns::URLRequest request(kURL);
  EXPECT_EQ(request.HTTPMethod(), "GET");
  request.setHTTPBody(ns::dataFromString("a=1"));
  request.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString("b=2")));
  EXPECT_FALSE(request.HTTPBody().has_value());
  request.setHTTPBody(ns::dataFromString("a=1"));
  EXPECT_EQ(request.HTTPBodyStream(), nullptr);
  EXPECT_NE(request.description().find("{ URL: http://host/ }"), std::string::npos);
}

// Malformed or missing fields leave the values unknown.
TEST(HTTPURLResponseTest, ReadsTypeCharsetAndLengthFromTheHeaderFields) {
  struct Case {
    ns::HTTPHeaderFields fields;
    std::optional<std::string> type, charset;
    std::int64_t length;
  };
  const std::vector<Case> cases = {
      {{{"content-type", "Application/JSON ; Charset=\"utf-8\""}, {"Content-Length", "42"}},
       "application/json",
       "utf-8",
       42},
      {{}, std::nullopt, std::nullopt, ns::URLResponse::kUnknownLength},
      {{{"Content-Type", "text/plain; format=flowed"}, {"Content-Length", "12abc"}},
       "text/plain",
       std::nullopt,
       ns::URLResponse::kUnknownLength}};
  for (const Case& c : cases) {
    const ns::HTTPURLResponse response(kURL, 200, c.fields);
    EXPECT_EQ(response.MIMEType(), c.type);
    EXPECT_EQ(response.textEncodingName(), c.charset);
    EXPECT_EQ(response.expectedContentLength(), c.length);
    EXPECT_EQ(response.allHeaderFields(), c.fields) << "kept as given";
  }
}

TEST(HTTPURLResponseTest, NamesStatusCodesInLowerCaseAndUnknownOnesByTheirClass) {
  EXPECT_EQ(ns::HTTPURLResponse::localizedStringForStatusCode(500), "internal server error");
  EXPECT_EQ(ns::HTTPURLResponse::localizedStringForStatusCode(299), "success");
  EXPECT_EQ(ns::HTTPURLResponse::localizedStringForStatusCode(599), "server error");
}

TEST(ResponseHeaderReaderTest, GathersFieldsUntilTheBlankLine) {
  ns::ResponseHeaderReader reader;
  for (const char* line : {"HTTP/1.1 200 OK\r\n", "Content-Type:  text/plain \r\n", "Set-Cookie: a=1\r\n",
                           "set-cookie: b=2\r\n", "X-Long: first\r\n", "\tsecond\r\n", "not a field\r\n"}) {
    EXPECT_FALSE(reader.takeLine(line)) << line;
  }
  EXPECT_TRUE(reader.takeLine("\r\n"));
  EXPECT_EQ(reader.fields(),
            (ns::HTTPHeaderFields{
                {"Content-Type", "text/plain"}, {"Set-Cookie", "a=1, b=2"}, {"X-Long", "first second"}}));
}

TEST(ResponseHeaderReaderTest, AStatusLineStartsAFreshBlock) {
  ns::ResponseHeaderReader reader;
  for (const char* line : {"HTTP/1.1 302 Found\r\n", "Location: /next\r\n", "\r\n", "HTTP/1.1 200 OK\r\n",
                           "Content-Length: 0\r\n"}) {
    reader.takeLine(line);
  }
  EXPECT_EQ(reader.fields(), (ns::HTTPHeaderFields{{"Content-Length", "0"}}));
}

}  // namespace
