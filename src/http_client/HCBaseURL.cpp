#include "http_client/HCBaseURL.h"

namespace http_client {

std::optional<ns::URL> HCBaseURLEndingInSlash(std::optional<ns::URL> url) {
  if (!url || url->path().empty() || url->path().ends_with('/')) {
    return url;
  }
  const std::string& text = url->absoluteString();
  const std::size_t pathEnd = text.size() - (url->query() ? url->query()->size() + 1 : 0) -
                              (url->fragment() ? url->fragment()->size() + 1 : 0);
  std::string withSlash;
  withSlash.reserve(text.size() + 1);
  withSlash.append(text, 0, pathEnd).append(1, '/').append(text, pathEnd);
  return ns::URL::fromString(withSlash);
}

std::string HCURLStringAgainstBaseURL(const std::optional<ns::URL>& baseURL, std::string_view URLString) {
  const std::optional<ns::URL> url = baseURL ? ns::URL::fromString(URLString, *baseURL) : std::nullopt;
  return url ? url->absoluteString() : std::string(URLString);
}

std::optional<ns::URL> HCArchivedBaseURL(const ns::Dictionary& coder) {
  const auto found = coder.find(kHCBaseURLCodingKey);
  if (found == coder.end() || !found->second.isString()) {
    return std::nullopt;
  }
  return ns::URL::fromString(found->second.asString());
}

}  // namespace http_client
