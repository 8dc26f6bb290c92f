// Plain HTTP loads against a loopback server: responses, bodies in every framing, request bodies and upload
// progress, and the order of delegate calls.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionTestUtil.h"
#include "support/LoopbackHTTPServer.h"

namespace {

using nettest::load;
using nettest::requestFor;
using testing::ElementsAre;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;

class URLConnectionTest : public testing::Test {
 protected:
  LoopbackHTTPServer server_;
};

TEST_F(URLConnectionTest, DeliversTheResponseOnceBeforeTheBodyThenFinishes) {
  TestResponse reply = TestResponse::text(200, "hello", "Text/HTML; charset=GBK");
  reply.headers.emplace_back("X-Trace", "abc");
  server_.route("/page", reply);

  const auto delegate = load(requestFor(server_.url("/page?x=1#part")));

  EXPECT_THAT(delegate->events, ElementsAre("response 200", "data", "finish"));
  EXPECT_EQ(delegate->body, "hello");
  const ns::HTTPURLResponse& response = delegate->httpResponse();
  EXPECT_EQ(response.url().absoluteString(), server_.url("/page?x=1#part"));
  EXPECT_EQ(response.MIMEType(), "text/html");
  EXPECT_EQ(response.textEncodingName(), "GBK");
  EXPECT_EQ(response.expectedContentLength(), 5);
  EXPECT_EQ(response.allHeaderFields().at("x-trace"), "abc");
  // The fragment stays with the client.
  EXPECT_EQ(server_.requests().at(0).target, "/page?x=1");
}

TEST_F(URLConnectionTest, ErrorStatusCodesAreResponsesNotFailures) {
  server_.route("/missing", TestResponse::text(404, "no such page"));
  server_.route("/broken", TestResponse::text(500, "{\"code\":1}", "application/json"));

  const auto missing = load(requestFor(server_.url("/missing")));
  const auto broken = load(requestFor(server_.url("/broken")));

  EXPECT_THAT(missing->events, ElementsAre("response 404", "data", "finish"));
  EXPECT_EQ(missing->body, "no such page");
  EXPECT_EQ(broken->httpResponse().statusCode(), 500);
  EXPECT_EQ(broken->body, "{\"code\":1}");
}

TEST_F(URLConnectionTest, ReadsChunkedAndSlowBodiesWhole) {
  const std::string body(100'000, 'x');
  TestResponse chunked = TestResponse::text(200, body);
  chunked.framing = TestResponse::Framing::kChunked;
  chunked.pieceSize = 7'000;
  server_.route("/chunked", chunked);
  TestResponse slow = TestResponse::text(200, "one two three four");
  slow.pieceSize = 4;
  slow.pauseBetweenPieces = std::chrono::milliseconds(20);
  server_.route("/slow", slow);

  const auto chunkedLoad = load(requestFor(server_.url("/chunked")));
  const auto slowLoad = load(requestFor(server_.url("/slow")));

  EXPECT_TRUE(chunkedLoad->finished);
  EXPECT_EQ(chunkedLoad->body, body);
  EXPECT_EQ(chunkedLoad->response->expectedContentLength(), ns::URLResponse::kUnknownLength);
  EXPECT_THAT(slowLoad->events, ElementsAre("response 200", "data", "finish"));
  EXPECT_EQ(slowLoad->body, "one two three four");
}

TEST_F(URLConnectionTest, SendsMethodHeadersAndBodyAsGiven) {
  server_.route("/form", TestResponse::text(200, "{}", "application/json"));
  ns::URLRequest request = requestFor(server_.url("/form"));
  request.setHTTPMethod("POST");
  request.setValue("application/x-www-form-urlencoded", "Content-Type");
  request.setValue("zh-Hans;q=1", "accept-language");
  request.setValue("2", "X-Version");
  request.setHTTPBody(ns::dataFromString("name=a%20b%26c&x=1"));

  const auto delegate = load(request);

  ASSERT_TRUE(delegate->finished);
  const testsupport::RecordedRequest received = server_.requests().at(0);
  EXPECT_EQ(received.method, "POST");
  EXPECT_EQ(received.body, "name=a%20b%26c&x=1");
  EXPECT_EQ(received.header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(received.header("Accept-Language"), "zh-Hans;q=1");
  EXPECT_EQ(received.header("X-Version"), "2");
  EXPECT_FALSE(received.header("Expect").has_value());
  ASSERT_FALSE(delegate->uploads.empty());
  EXPECT_EQ(delegate->uploads.back().totalBytesWritten, 18);
  EXPECT_EQ(delegate->uploads.back().totalBytesExpectedToWrite, 18);
}

TEST_F(URLConnectionTest, UploadsAStreamBodyWithProgress) {
  server_.route("/upload", TestResponse::text(200, "stored"));
  std::string payload(300'000, '\0');
  for (std::size_t i = 0; i < payload.size(); ++i) {
    payload[i] = static_cast<char>('a' + i % 26);
  }
  ns::URLRequest withLength = requestFor(server_.url("/upload"));
  withLength.setHTTPMethod("PUT");
  withLength.setValue(std::to_string(payload.size()), "Content-Length");
  withLength.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString(payload)));
  ns::URLRequest withoutLength = requestFor(server_.url("/upload"));
  withoutLength.setHTTPMethod("POST");
  withoutLength.setHTTPBodyStream(ns::InputStream::withData(ns::dataFromString("streamed")));

  const auto sized = load(withLength);
  const auto unsized = load(withoutLength);

  ASSERT_TRUE(sized->finished);
  EXPECT_EQ(server_.requests().at(0).method, "PUT");
  EXPECT_EQ(server_.requests().at(0).body, payload);
  std::int64_t total = 0;
  for (const nettest::UploadReport& report : sized->uploads) {
    total += report.bytesWritten;
    EXPECT_EQ(report.totalBytesWritten, total);
    EXPECT_EQ(report.totalBytesExpectedToWrite, static_cast<std::int64_t>(payload.size()));
  }
  EXPECT_EQ(total, static_cast<std::int64_t>(payload.size()));
  EXPECT_EQ(sized->events.front(), "upload");
  ASSERT_TRUE(unsized->finished);
  EXPECT_EQ(server_.requests().at(1).body, "streamed");
  EXPECT_EQ(server_.requests().at(1).header("Transfer-Encoding"), "chunked");
  EXPECT_EQ(unsized->uploads.back().totalBytesExpectedToWrite, -1);
}

TEST_F(URLConnectionTest, AHeadRequestFinishesWithoutBody) {
  server_.route("/file", TestResponse::text(200, "0123456789"));
  ns::URLRequest request = requestFor(server_.url("/file"));
  request.setHTTPMethod("HEAD");

  const auto delegate = load(request);

  EXPECT_THAT(delegate->events, ElementsAre("response 200", "finish"));
  EXPECT_EQ(delegate->response->expectedContentLength(), 10);
}

TEST_F(URLConnectionTest, ResumesARangeOnlyWhileTheEntityIsUnchanged) {
  server_.route("/video", [](const testsupport::RecordedRequest& request) {
    return TestResponse::ranged(request, "0123456789", "\"v1\"");
  });
  const auto rangeFrom = [&](const std::string& entityTag) {
    ns::URLRequest request = requestFor(server_.url("/video"));
    request.setValue("bytes=4-", "Range");
    request.setValue(entityTag, "If-Range");
    return load(request);
  };

  const auto unchanged = rangeFrom("\"v1\"");
  const auto changed = rangeFrom("\"v0\"");

  EXPECT_EQ(unchanged->httpResponse().statusCode(), 206);
  EXPECT_EQ(unchanged->httpResponse().allHeaderFields().at("Content-Range"), "bytes 4-9/10");
  EXPECT_EQ(unchanged->body, "456789");
  EXPECT_EQ(changed->httpResponse().statusCode(), 200);
  EXPECT_EQ(changed->body, "0123456789");
}

TEST_F(URLConnectionTest, ConnectionsOfOneLoopShareOpenServerConnections) {
  server_.route("/a", TestResponse::text(200, "a"));

  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(load(requestFor(server_.url("/a")))->finished);
  }

  EXPECT_EQ(server_.requestCount(), 3u);
  EXPECT_EQ(server_.connectionCount(), 1u);
}

}  // namespace
