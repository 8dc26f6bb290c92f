// Writing a multipart request's body into a file: the whole body on success, and every failure of the body
// or the file reported, never a short file passed for whole.

#include <gtest/gtest.h>

#include <filesystem>

#include "http_client/HCHTTPRequestSerializer.h"
#include "http_client/HCMultipartBodyStream.h"
#include "http_client/HCURLRequestSerialization.h"
#include "http_client/http_client_test_util.h"
#include "http_client/multipart_test_util.h"

namespace http_client {

namespace {

using multiparttest::ScratchFolder;

struct Written {
  bool called = false;
  bool onMainThread = false;
  std::optional<ns::Error> error;
};

class HCBodyStreamFileWriterTest : public testing::Test {
 protected:
  // A multipart request with a field and the file `path`.
  ns::URLRequest multipartRequest(const std::string& path) {
    ns::Result<ns::URLRequest> request = serializer_->multipartFormRequestWithMethod(
        "POST", "http://example.test/upload", ns::Dictionary{{"a", "1"}}, [&](HCMultipartFormData& formData) {
          EXPECT_TRUE(formData.appendPartWithFileURL(*ns::URL::fromString("file://" + path), "file").ok());
        });
    EXPECT_TRUE(request.ok());
    return *request;
  }

  // Writes the body of `request` to `target` and waits for the completion handler.
  Written write(const ns::URLRequest& request, const std::string& target,
                ns::URLRequest* returned = nullptr) {
    Written written;
    ns::URLRequest result = serializer_->requestWithMultipartFormRequest(
        request, *ns::URL::fromString(target), [&](const std::optional<ns::Error>& error) {
          written.called = true;
          written.onMainThread = ns::RunLoop::isMainThread();
          written.error = error;
        });
    EXPECT_TRUE(httpclienttest::runMainLoopUntil([&] { return written.called; }));
    if (returned != nullptr) {
      *returned = std::move(result);
    }
    return written;
  }

  ScratchFolder folder_;
  std::shared_ptr<HCHTTPRequestSerializer> serializer_ = HCHTTPRequestSerializer::serializer();
};

TEST_F(HCBodyStreamFileWriterTest, TheWholeBodyReachesTheFileAndTheRequestComesBackWithoutItsStream) {
  const std::string source = folder_.file("source.bin", std::string(200000, 'x'));
  const ns::URLRequest request = multipartRequest(source);
  ns::Result<std::shared_ptr<HCMultipartBodyStream>> sameBody =
      std::static_pointer_cast<HCMultipartBodyStream>(request.HTTPBodyStream())->copy();
  ASSERT_TRUE(sameBody.ok());
  const std::string target = folder_.path("body.bin");
  folder_.file("body.bin", std::string(500000, 'o'));

  ns::URLRequest returned;
  const Written written = write(request, "file://" + target, &returned);
  EXPECT_EQ(written.error, std::nullopt);
  EXPECT_TRUE(written.onMainThread);
  EXPECT_EQ(returned.HTTPBodyStream(), nullptr);
  EXPECT_EQ(returned.valueForHTTPHeaderField("Content-Type"),
            request.valueForHTTPHeaderField("Content-Type"));
  EXPECT_NE(request.HTTPBodyStream(), nullptr);
  const std::string contents = multiparttest::fileContents(target);
  EXPECT_EQ(std::to_string(contents.size()), request.valueForHTTPHeaderField("Content-Length"));
  EXPECT_EQ(contents, multiparttest::readWhole(**sameBody, 4096));
}

TEST_F(HCBodyStreamFileWriterTest, AFileThatCannotBeWrittenOrABodyThatFailsIsReportedAsAnError) {
  const std::string source = folder_.file("source.bin", std::string(100000, 'x'));

  const Written full = write(multipartRequest(source), "file:///dev/full");
  ASSERT_TRUE(full.error);
  EXPECT_EQ(full.error->code(), ENOSPC);

  const Written noFolder = write(multipartRequest(source), "file://" + folder_.path("missing/body.bin"));
  ASSERT_TRUE(noFolder.error);
  EXPECT_EQ(noFolder.error->code(), ENOENT);

  const ns::URLRequest shrinking = multipartRequest(source);
  std::filesystem::resize_file(source, 10);
  const Written shortBody = write(shrinking, "file://" + folder_.path("short.bin"));
  ASSERT_TRUE(shortBody.error);
  EXPECT_EQ(shortBody.error->code(), kHCRequestErrorBodyLengthMismatch);

  const ns::URLRequest readBefore = multipartRequest(source);
  readBefore.HTTPBodyStream()->open();
  const Written exhausted = write(readBefore, "file://" + folder_.path("again.bin"));
  ASSERT_TRUE(exhausted.error);
  EXPECT_EQ(exhausted.error->code(), kHCRequestErrorBodyLengthMismatch);
  EXPECT_FALSE(std::filesystem::exists(folder_.path("again.bin")));

  const Written notAFile = write(multipartRequest(source), "http://example.test/body.bin");
  ASSERT_TRUE(notAFile.error);
  EXPECT_EQ(notAFile.error->code(), kHCRequestErrorBadURL);
}

}  // namespace

}  // namespace http_client
