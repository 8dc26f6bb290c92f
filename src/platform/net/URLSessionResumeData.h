#pragma once

// ns::URLSessionResumeData: what a download task that stopped part-way leaves behind so that a new task can
// ask for the rest: the URL, the file holding the bytes stored so far and how many there are, and the
// validators of the reply they came from. Written as a binary property list; the bytes stay in the file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Data.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/net/URL.h"
#include "platform/net/URLRequest.h"

namespace ns {

// The key of the resume data in the user info of a download task's failure.
inline constexpr std::string_view kURLSessionDownloadTaskResumeData = "NSURLSessionDownloadTaskResumeData";

struct URLSessionResumeData {
  URL url;
  std::string partialFilePath;
  std::uint64_t bytesStored = 0;
  // The reply's "ETag" and "Last-Modified"; one of them at least.
  std::optional<std::string> entityTag;
  std::optional<std::string> lastModified;

  // Resume data for the reply `response` to `url` whose first `bytesStored` bytes are in `partialFilePath`;
  // nullopt when nothing was stored or the reply names no validator to resume against.
  static std::optional<URLSessionResumeData> forPartialDownload(const URL& url,
                                                                const HTTPURLResponse& response,
                                                                std::string partialFilePath,
                                                                std::uint64_t bytesStored);
  // nullopt when `data` is not resume data written by encoded().
  static std::optional<URLSessionResumeData> decode(const Data& data);
  Data encoded() const;

  // A GET of the URL that asks for the bytes after those stored, only while the validator still holds:
  // "Range: bytes=N-" and "If-Range" with the entity tag, else the modification date.
  URLRequest requestForRest() const;
  // True when `response` carries the rest of the same entity: a 206 from the first byte not stored, under
  // the same entity tag when it names one.
  bool isContinuedBy(const HTTPURLResponse& response) const;
};

}  // namespace ns
