#include "support/test_response.h"

#include <algorithm>
#include <charconv>

namespace testsupport {

namespace {

// Reads "bytes=N-" or "bytes=N-M"; returns the first and last byte asked for (last may be open).
std::optional<std::pair<std::size_t, std::optional<std::size_t>>> parseRange(const std::string& text) {
  static constexpr std::string_view kPrefix = "bytes=";
  if (!text.starts_with(kPrefix)) {
    return std::nullopt;
  }
  const std::string_view bounds = std::string_view(text).substr(kPrefix.size());
  const std::size_t dash = bounds.find('-');
  if (dash == std::string_view::npos) {
    return std::nullopt;
  }
  std::size_t first = 0;
  if (std::from_chars(bounds.data(), bounds.data() + dash, first).ec != std::errc()) {
    return std::nullopt;
  }
  const std::string_view lastText = bounds.substr(dash + 1);
  if (lastText.empty()) {
    return std::make_pair(first, std::optional<std::size_t>());
  }
  std::size_t last = 0;
  if (std::from_chars(lastText.data(), lastText.data() + lastText.size(), last).ec != std::errc()) {
    return std::nullopt;
  }
  return std::make_pair(first, std::optional<std::size_t>(last));
}

}  // namespace

TestResponse TestResponse::text(int status, std::string body, std::string contentType) {
  TestResponse response;
  response.status = status;
  response.headers.emplace_back("Content-Type", std::move(contentType));
  response.body = std::move(body);
  return response;
}

TestResponse TestResponse::noAnswer() {
  TestResponse response;
  response.neverRespond = true;
  return response;
}

TestResponse TestResponse::redirect(int status, std::string location) {
  TestResponse response = text(status, "redirecting");
  response.headers.emplace_back("Location", std::move(location));
  return response;
}

TestResponse TestResponse::ranged(const RecordedRequest& request, const std::string& body,
                                  const std::string& etag) {
  TestResponse response = text(200, body, "application/octet-stream");
  response.headers.emplace_back("ETag", etag);
  response.headers.emplace_back("Accept-Ranges", "bytes");
  const std::optional<std::string> rangeHeader = request.header("Range");
  const std::optional<std::string> ifRange = request.header("If-Range");
  if (!rangeHeader || (ifRange && *ifRange != etag)) {
    return response;
  }
  const auto range = parseRange(*rangeHeader);
  if (!range) {
    return response;
  }
  if (range->first >= body.size()) {
    response = text(416, "", "application/octet-stream");
    response.headers.emplace_back("Content-Range", "bytes */" + std::to_string(body.size()));
    return response;
  }
  const std::size_t last = std::min(range->second.value_or(body.size() - 1), body.size() - 1);
  response.status = 206;
  response.body = body.substr(range->first, last - range->first + 1);
  response.headers.emplace_back("Content-Range", "bytes " + std::to_string(range->first) + "-" +
                                                     std::to_string(last) + "/" +
                                                     std::to_string(body.size()));
  return response;
}

}  // namespace testsupport
