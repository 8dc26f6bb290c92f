// Multipart form bodies byte for byte: boundaries, part headers, reads of any size, throttling, files and
// streams, parts that fail or do not hold their declared length, and copies.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "http_client/HCHTTPRequestSerializer.h"
#include "http_client/HCStreamingMultipartFormData.h"
#include "http_client/HCURLRequestSerialization.h"
#include "http_client/multipart_test_util.h"

namespace http_client {

namespace {

using multiparttest::readWhole;
using multiparttest::ScratchFolder;

ns::URLRequest postTo(const std::string& url) {
  ns::URLRequest request(ns::URL::fromString(url));
  request.setHTTPMethod("POST");
  return request;
}

ns::URL fileURL(const std::string& path) {
  return *ns::URL::fromString("file://" + path);
}

std::string disposition(const std::string& name) {
  return "Content-Disposition: form-data; name=\"" + name + "\"\r\n";
}

// `body` with every boundary written as "B", so that bodies built apart compare.
std::string withBoundariesAsB(const std::string& body) {
  return std::regex_replace(body, std::regex("Boundary\\+[0-9A-F]{16}"), "B");
}

// The body of a finalised request, read whole.
std::string bodyOf(const ns::URLRequest& request, std::size_t chunk = 4096) {
  return readWhole(*request.HTTPBodyStream(), chunk);
}

TEST(HCStreamingMultipartFormDataTest, TwoFieldsGiveTheBoundariesHeadersAndBodiesInOrderWithTheirLength) {
  HCStreamingMultipartFormData formData(postTo("http://example.test/upload"), ns::StringEncoding::utf8());
  EXPECT_TRUE(std::regex_match(formData.boundary(), std::regex("Boundary\\+[0-9A-F]{16}")));
  HCStreamingMultipartFormData other(postTo("http://example.test/upload"), ns::StringEncoding::utf8());
  EXPECT_NE(formData.boundary(), other.boundary());

  formData.appendPartWithFormData(ns::dataFromString("1"), "a");
  formData.appendPartWithFormData(ns::dataFromString("2"), "b");
  const ns::URLRequest request = formData.requestByFinalizingMultipartFormData();

  const std::string& boundary = formData.boundary();
  const std::string expected = "--" + boundary + "\r\n" + disposition("a") + "\r\n1" + "\r\n--" + boundary +
                               "\r\n" + disposition("b") + "\r\n2" + "\r\n--" + boundary + "--\r\n";
  EXPECT_EQ(request.valueForHTTPHeaderField("Content-Type"), "multipart/form-data; boundary=" + boundary);
  EXPECT_EQ(request.valueForHTTPHeaderField("Content-Length"), std::to_string(expected.size()));
  EXPECT_EQ(bodyOf(request), expected);
}

TEST(HCStreamingMultipartFormDataTest, OnePartStartsAndEndsTheBodyAndNoPartLeavesTheRequestAsItWas) {
  HCStreamingMultipartFormData one(postTo("http://example.test/"), ns::StringEncoding::utf8());
  one.appendPartWithFileData(ns::dataFromString("<x/>"), "doc", "a.xml", "application/xml");
  const std::string body = bodyOf(one.requestByFinalizingMultipartFormData());
  EXPECT_EQ(body, "--" + one.boundary() +
                      "\r\nContent-Disposition: form-data; name=\"doc\"; filename=\"a.xml\"\r\n"
                      "Content-Type: application/xml\r\n\r\n<x/>\r\n--" +
                      one.boundary() + "--\r\n");

  ns::URLRequest original = postTo("http://example.test/");
  original.setValue("text/plain", "Content-Type");
  HCStreamingMultipartFormData none(original, ns::StringEncoding::utf8());
  const ns::URLRequest unchanged = none.requestByFinalizingMultipartFormData();
  EXPECT_EQ(unchanged.HTTPBodyStream(), nullptr);
  EXPECT_EQ(unchanged.valueForHTTPHeaderField("Content-Type"), "text/plain");
  EXPECT_EQ(unchanged.valueForHTTPHeaderField("Content-Length"), std::nullopt);
}

// Names come from callers; none may close its quotes or start a header line of its own.
TEST(HCStreamingMultipartFormDataTest, NamesAndFileNamesAreEscapedInThePartHeaders) {
  HCStreamingMultipartFormData formData(postTo("http://example.test/"), ns::StringEncoding::utf8());
  formData.appendPartWithFormData(ns::dataFromString("v"), "a\"b\r\nX-Injected: 1");
  formData.appendPartWithFileData(ns::dataFromString("f"), "file", "x\".txt\r\n\r\nevil", "text/plain");
  const std::string body = bodyOf(formData.requestByFinalizingMultipartFormData());
  EXPECT_THAT(body, testing::HasSubstr("name=\"a%22b%0D%0AX-Injected: 1\"\r\n\r\nv"));
  EXPECT_THAT(body, testing::HasSubstr("filename=\"x%22.txt%0D%0A%0D%0Aevil\"\r\n"));
  EXPECT_THAT(body, testing::Not(testing::HasSubstr("\r\nX-Injected")));
}

TEST(HCMultipartBodyStreamTest, ReadsOfAnySizeDeliverTheSameBytesAndNothingBeforeOpen) {
  ScratchFolder folder;
  const std::string path = folder.file("notes.txt", std::string(300, 'n'));
  auto makeRequest = [&] {
    HCStreamingMultipartFormData formData(postTo("http://example.test/"), ns::StringEncoding::utf8());
    formData.appendPartWithFormData(ns::dataFromString("field"), "f");
    EXPECT_TRUE(formData.appendPartWithFileURL(fileURL(path), "file").ok());
    formData.appendPartWithInputStream(ns::InputStream::withData(ns::dataFromString("streamed")), "s",
                                       "s.bin", 8, "application/octet-stream");
    formData.appendPartWithFormData(ns::Data(), "empty");
    return formData.requestByFinalizingMultipartFormData();
  };
  const ns::URLRequest whole = makeRequest();
  const std::string wholeBody = bodyOf(whole, 1 << 20);
  EXPECT_EQ(std::to_string(wholeBody.size()), whole.valueForHTTPHeaderField("Content-Length"));
  const std::string expected = withBoundariesAsB(wholeBody);
  EXPECT_EQ(withBoundariesAsB(bodyOf(makeRequest(), 1)), expected);
  EXPECT_EQ(withBoundariesAsB(bodyOf(makeRequest(), 7)), expected);

  const ns::URLRequest unopened = makeRequest();
  std::uint8_t buffer[64];
  EXPECT_EQ(unopened.HTTPBodyStream()->read(buffer, sizeof buffer), 0);
  unopened.HTTPBodyStream()->open();
  EXPECT_EQ(unopened.HTTPBodyStream()->read(buffer, 2), 2);
  unopened.HTTPBodyStream()->open();
  std::string rest = readWhole(*unopened.HTTPBodyStream(), 4096);
  EXPECT_EQ(withBoundariesAsB("--" + rest), expected);
}

TEST(HCMultipartBodyStreamTest, APacketSizeEndsEachReadOnceThatManyBytesCame) {
  auto makeFormData = [] {
    auto formData = std::make_unique<HCStreamingMultipartFormData>(postTo("http://example.test/"),
                                                                   ns::StringEncoding::utf8());
    formData->appendPartWithFormData(ns::dataFromString("1"), "a");
    formData->appendPartWithFormData(ns::dataFromString("2"), "b");
    formData->appendPartWithFormData(ns::dataFromString("3"), "c");
    return formData;
  };
  auto throttled = makeFormData();
  throttled->throttleBandwidthWithPacketSize(16, 0);
  const std::shared_ptr<ns::InputStream> stream =
      throttled->requestByFinalizingMultipartFormData().HTTPBodyStream();
  const std::uint64_t partLength = throttled->bodyStream()->HTTPBodyParts()[0]->contentLength();
  stream->open();
  std::vector<std::uint8_t> buffer(1000);
  // Each read takes one whole part (a part is offered all the space) and then stops.
  EXPECT_EQ(stream->read(buffer.data(), buffer.size()), static_cast<std::ptrdiff_t>(partLength));
  EXPECT_GT(stream->read(buffer.data(), buffer.size()), 16);

  auto unthrottled = makeFormData();
  const ns::URLRequest request = unthrottled->requestByFinalizingMultipartFormData();
  request.HTTPBodyStream()->open();
  EXPECT_EQ(std::to_string(request.HTTPBodyStream()->read(buffer.data(), buffer.size())),
            request.valueForHTTPHeaderField("Content-Length"));
}

TEST(HCStreamingMultipartFormDataTest, FilesTakeTheirNameAndTypeFromTheURLAndOnlyFileURLsThatExistAreTaken) {
  ScratchFolder folder;
  HCStreamingMultipartFormData formData(postTo("http://example.test/"), ns::StringEncoding::utf8());
  ASSERT_TRUE(formData.appendPartWithFileURL(fileURL(folder.file("picture.PNG", "png")), "p").ok());
  ASSERT_TRUE(formData.appendPartWithFileURL(fileURL(folder.file("data.qmx", "qmx")), "q").ok());
  const std::string body = bodyOf(formData.requestByFinalizingMultipartFormData());
  EXPECT_THAT(body,
              testing::HasSubstr("name=\"p\"; filename=\"picture.PNG\"\r\nContent-Type: image/png\r\n"));
  EXPECT_THAT(body,
              testing::HasSubstr("filename=\"data.qmx\"\r\nContent-Type: application/octet-stream\r\n"));

  HCStreamingMultipartFormData refusing(postTo("http://example.test/"), ns::StringEncoding::utf8());
  const ns::Status web =
      refusing.appendPartWithFileURL(*ns::URL::fromString("http://example.test/a.png"), "w");
  ASSERT_FALSE(web.ok());
  EXPECT_EQ(web.error().domain(), kHCURLRequestSerializationErrorDomain);
  EXPECT_EQ(web.error().code(), kHCRequestErrorBadURL);
  EXPECT_EQ(web.error().localizedDescription(), "Expected URL to be a file URL");
  const ns::Status missing = refusing.appendPartWithFileURL(fileURL(folder.path("missing.png")), "m");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().localizedDescription(), "File URL not reachable.");
  EXPECT_TRUE(refusing.bodyStream()->isEmpty());
}

// A body that cannot be sent whole fails as a whole: the stream fails with the part's error.
TEST(HCMultipartBodyStreamTest, APartThatFailsOrMissesItsDeclaredLengthFailsTheBody) {
  ScratchFolder folder;
  auto failureOf = [](const std::function<void(HCStreamingMultipartFormData&)>& append) {
    HCStreamingMultipartFormData formData(postTo("http://example.test/"), ns::StringEncoding::utf8());
    formData.appendPartWithFormData(ns::dataFromString("before"), "a");
    append(formData);
    formData.appendPartWithFormData(ns::dataFromString("after"), "b");
    const ns::URLRequest request = formData.requestByFinalizingMultipartFormData();
    bool failed = false;
    const std::string body = readWhole(*request.HTTPBodyStream(), 100, &failed);
    EXPECT_TRUE(failed);
    EXPECT_EQ(request.HTTPBodyStream()->streamStatus(), ns::StreamStatus::kError);
    EXPECT_THAT(body, testing::Not(testing::HasSubstr("after")));
    return request.HTTPBodyStream()->streamError().value_or(ns::Error("none", 0));
  };

  // A folder opens as a file but cannot be read.
  const ns::Error unreadable = failureOf([&](HCStreamingMultipartFormData& formData) {
    formData.appendPartWithInputStream(ns::InputStream::withFileAtPath(folder.path("")), "d", "d", 10,
                                       "text/plain");
  });
  EXPECT_EQ(unreadable.code(), EISDIR);

  const ns::Error shortStream = failureOf([](HCStreamingMultipartFormData& formData) {
    formData.appendPartWithInputStream(ns::InputStream::withData(ns::dataFromString("abc")), "s", "s", 10,
                                       "text/plain");
  });
  EXPECT_EQ(shortStream.code(), kHCRequestErrorBodyLengthMismatch);

  const ns::Error longStream = failureOf([](HCStreamingMultipartFormData& formData) {
    formData.appendPartWithInputStream(ns::InputStream::withData(ns::dataFromString("abcdef")), "s", "s", 3,
                                       "text/plain");
  });
  EXPECT_EQ(longStream.code(), kHCRequestErrorBodyLengthMismatch);

  const std::string shrinking = folder.file("shrinking.bin", std::string(5000, 's'));
  const ns::Error shrunk = failureOf([&](HCStreamingMultipartFormData& formData) {
    ASSERT_TRUE(formData.appendPartWithFileURL(fileURL(shrinking), "f").ok());
    std::filesystem::resize_file(shrinking, 1000);
  });
  EXPECT_EQ(shrunk.code(), kHCRequestErrorBodyLengthMismatch);

  const std::string vanishing = folder.file("vanishing.bin", "v");
  const ns::Error vanished = failureOf([&](HCStreamingMultipartFormData& formData) {
    ASSERT_TRUE(formData.appendPartWithFileURL(fileURL(vanishing), "f").ok());
    std::filesystem::remove(vanishing);
  });
  EXPECT_EQ(vanished.code(), ENOENT);
}

TEST(HCMultipartBodyStreamTest, ACopyReadsTheSameBytesButABodyWithAStreamPartIsNotCopied) {
  ScratchFolder folder;
  HCStreamingMultipartFormData formData(postTo("http://example.test/"), ns::StringEncoding::utf8());
  formData.appendPartWithFormData(ns::dataFromString("1"), "a");
  ASSERT_TRUE(formData.appendPartWithFileURL(fileURL(folder.file("f.txt", "file")), "f").ok());
  formData.throttleBandwidthWithPacketSize(8, 0);
  const ns::URLRequest request = formData.requestByFinalizingMultipartFormData();
  ns::Result<std::shared_ptr<HCMultipartBodyStream>> copy = formData.bodyStream()->copy();
  ASSERT_TRUE(copy.ok());
  EXPECT_EQ((*copy)->numberOfBytesInPacket(), static_cast<std::uint64_t>(INT64_MAX));
  EXPECT_EQ(readWhole(**copy, 4096), bodyOf(request));

  HCStreamingMultipartFormData withStream(postTo("http://example.test/"), ns::StringEncoding::utf8());
  withStream.appendPartWithFormData(ns::dataFromString("1"), "a");
  withStream.appendPartWithInputStream(ns::InputStream::withData(ns::dataFromString("x")), "s", "s", 1,
                                       "text/plain");
  ns::Result<std::shared_ptr<HCMultipartBodyStream>> refused = withStream.bodyStream()->copy();
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().code(), kHCRequestErrorStreamNotCopyable);
}

TEST(HCHTTPRequestSerializerMultipartTest, ParametersBecomeFormFieldsBeforeThePartsOfTheBlock) {
  const auto serializer = HCHTTPRequestSerializer::serializer();
  ns::Result<ns::URLRequest> request = serializer->multipartFormRequestWithMethod(
      "POST", "http://example.test/upload?x=1",
      ns::Dictionary{{"name", "张三"},
                     {"tags", ns::Array{"a", 2}},
                     {"raw", ns::dataFromString("\x01")},
                     {"none", ns::Value()}},
      [](HCMultipartFormData& formData) {
        formData.appendPartWithFileData(ns::dataFromString("bytes"), "file", "f.bin",
                                        "application/octet-stream");
      });
  ASSERT_TRUE(request.ok());
  EXPECT_EQ(request->url()->absoluteString(), "http://example.test/upload?x=1");
  EXPECT_EQ(request->HTTPMethod(), "POST");
  EXPECT_TRUE(request->valueForHTTPHeaderField("User-Agent"));
  const std::string body = bodyOf(*request);
  const std::size_t name = body.find(disposition("name") + "\r\n张三\r\n");
  const std::size_t none = body.find(disposition("none") + "\r\n\r\n");
  const std::size_t raw = body.find(disposition("raw") + "\r\n\x01\r\n");
  const std::size_t tagA = body.find(disposition("tags[]") + "\r\na\r\n");
  const std::size_t tag2 = body.find(disposition("tags[]") + "\r\n2\r\n");
  const std::size_t file = body.find("filename=\"f.bin\"");
  ASSERT_NE(file, std::string::npos);
  EXPECT_TRUE(name < none && none < raw && raw < tagA && tagA < tag2 && tag2 < file) << body;

  ns::Result<ns::URLRequest> empty =
      serializer->multipartFormRequestWithMethod("POST", "http://example.test/", std::nullopt, nullptr);
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(empty->HTTPBodyStream(), nullptr);
  EXPECT_EQ(empty->valueForHTTPHeaderField("Content-Type"), std::nullopt);
}

}  // namespace

}  // namespace http_client
