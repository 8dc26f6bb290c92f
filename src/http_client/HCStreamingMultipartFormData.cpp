#include "http_client/HCStreamingMultipartFormData.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "http_client/HCFileURL.h"
#include "http_client/HCMIMETypes.h"
#include "http_client/HCURLRequestSerialization.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/Random.h"
#include "platform/foundation/storage/PosixError.h"

namespace http_client {

namespace {

constexpr char kContentDisposition[] = "Content-Disposition";
constexpr char kFailureReasonKey[] = "NSLocalizedFailureReason";

std::string newBoundary() {
  char text[32];
  std::snprintf(text, sizeof text, "Boundary+%08X%08X", ns::randomUInt32(), ns::randomUInt32());
  return text;
}

// A name as it may stand between the double quotes of a part header: a quote, CR or LF would end the
// quoted text or the header line, so each becomes its percent escape.
std::string quotedHeaderParameter(std::string_view name) {
  std::string quoted = "\"";
  for (const char character : name) {
    switch (character) {
      case '"':
        quoted += "%22";
        break;
      case '\r':
        quoted += "%0D";
        break;
      case '\n':
        quoted += "%0A";
        break;
      default:
        quoted += character;
    }
  }
  return quoted + "\"";
}

ns::HTTPHeaderFields fileHeaders(std::string_view name, std::string_view fileName,
                                 std::string_view mimeType) {
  return ns::HTTPHeaderFields{
      {kContentDisposition,
       "form-data; name=" + quotedHeaderParameter(name) + "; filename=" + quotedHeaderParameter(fileName)},
      {"Content-Type", std::string(mimeType)},
  };
}

ns::Error badFileURLError(const char* reason) {
  return ns::Error(
      std::string(kHCURLRequestSerializationErrorDomain), kHCRequestErrorBadURL,
      ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), reason}, {kFailureReasonKey, reason}});
}

std::string lastPathComponent(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos || path.size() == 1 ? path : path.substr(slash + 1);
}

std::string pathExtension(const std::string& fileName) {
  const std::size_t point = fileName.rfind('.');
  return point == std::string::npos || point == 0 ? std::string() : fileName.substr(point + 1);
}

}  // namespace

HCStreamingMultipartFormData::HCStreamingMultipartFormData(ns::URLRequest request,
                                                           ns::StringEncoding stringEncoding)
    : request_(std::move(request)),
      stringEncoding_(std::move(stringEncoding)),
      boundary_(newBoundary()),
      bodyStream_(std::make_shared<HCMultipartBodyStream>(stringEncoding_)) {}

ns::Status HCStreamingMultipartFormData::appendPartWithFileURL(const ns::URL& fileURL,
                                                               std::string_view name) {
  const std::optional<std::string> path = HCFileSystemPathOfURL(fileURL);
  const std::string fileName = path ? lastPathComponent(*path) : std::string();
  return appendPartWithFileURL(fileURL, name, fileName, HCMIMETypeForPathExtension(pathExtension(fileName)));
}

ns::Status HCStreamingMultipartFormData::appendPartWithFileURL(const ns::URL& fileURL, std::string_view name,
                                                               std::string_view fileName,
                                                               std::string_view mimeType) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  const std::optional<std::string> path = HCFileSystemPathOfURL(fileURL);
  if (!path) {
    return badFileURLError("Expected URL to be a file URL");
  }
  // The size the file has now is the length the part declares; the link is followed, as the file is read.
  struct stat attributes {};
  if (::stat(path->c_str(), &attributes) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return badFileURLError("File URL not reachable.");
    }
    return ns::posixError(errno, *path);
  }
  appendPart(fileHeaders(name, fileName, mimeType), HCHTTPBodyPart::FilePath{*path},
             static_cast<std::uint64_t>(attributes.st_size));
  return {};
}

void HCStreamingMultipartFormData::appendPartWithInputStream(std::shared_ptr<ns::InputStream> inputStream,
                                                             std::string_view name, std::string_view fileName,
                                                             std::uint64_t length,
                                                             std::string_view mimeType) {
  appendPart(fileHeaders(name, fileName, mimeType), std::move(inputStream), length);
}

void HCStreamingMultipartFormData::appendPartWithFileData(ns::Data data, std::string_view name,
                                                          std::string_view fileName,
                                                          std::string_view mimeType) {
  appendPartWithHeaders(fileHeaders(name, fileName, mimeType), std::move(data));
}

void HCStreamingMultipartFormData::appendPartWithFormData(ns::Data data, std::string_view name) {
  appendPartWithHeaders(
      ns::HTTPHeaderFields{{kContentDisposition, "form-data; name=" + quotedHeaderParameter(name)}},
      std::move(data));
}

void HCStreamingMultipartFormData::appendPartWithHeaders(ns::HTTPHeaderFields headers, ns::Data body) {
  const std::uint64_t length = body.size();
  appendPart(std::move(headers), std::move(body), length);
}

void HCStreamingMultipartFormData::throttleBandwidthWithPacketSize(std::uint64_t numberOfBytes,
                                                                   double delay) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  bodyStream_->setNumberOfBytesInPacket(numberOfBytes);
  bodyStream_->setDelay(delay);
}

void HCStreamingMultipartFormData::appendPart(ns::HTTPHeaderFields headers, HCHTTPBodyPart::Body body,
                                              std::uint64_t bodyContentLength) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  bodyStream_->appendHTTPBodyPart(std::make_unique<HCHTTPBodyPart>(
      stringEncoding_, boundary_, std::move(headers), std::move(body), bodyContentLength));
}

ns::URLRequest HCStreamingMultipartFormData::requestByFinalizingMultipartFormData() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  if (bodyStream_->isEmpty()) {
    return request_;
  }
  bodyStream_->setInitialAndFinalBoundaries();
  request_.setHTTPBodyStream(bodyStream_);
  request_.setValue("multipart/form-data; boundary=" + boundary_, "Content-Type");
  request_.setValue(std::to_string(bodyStream_->contentLength()), "Content-Length");
  return request_;
}

}  // namespace http_client
