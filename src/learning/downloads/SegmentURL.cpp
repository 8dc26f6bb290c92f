#include "learning/downloads/SegmentURL.h"

#include "platform/net/PercentEscaping.h"
#include "platform/net/URL.h"

namespace learning {

namespace {

constexpr std::string_view kDownloadableScheme = "http://";
constexpr std::string_view kCharactersNeverUnescaped = "\"<>\\^`{|}";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool startsEscape(std::string_view text, std::size_t position) {
  return ns::leadingPercentEscape(text.substr(position)).has_value();
}

bool mayStandUnescaped(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte > 0x20 && byte < 0x7F && c != '%' &&
         kCharactersNeverUnescaped.find(c) == std::string_view::npos;
}

std::string_view trimmedBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isSafeFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace

std::string percentEscapedSegmentURL(std::string_view line) {
  const std::string_view text = trimmedBlanks(line);
  std::string escaped;
  escaped.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (mayStandUnescaped(c) || startsEscape(text, i)) {
      escaped.push_back(c);
    } else {
      const auto byte = static_cast<unsigned char>(c);
      escaped.push_back('%');
      escaped.push_back(kHexDigits[byte >> 4]);
      escaped.push_back(kHexDigits[byte & 0x0F]);
    }
  }
  return escaped;
}

std::optional<std::string> segmentFileName(std::string_view segmentURL) {
  const std::optional<ns::URL> url = ns::URL::fromString(segmentURL);
  if (!url) {
    return std::nullopt;
  }
  const std::string& path = url->path();
  std::optional<std::string> name = ns::percentDecode(std::string_view(path).substr(path.rfind('/') + 1));
  if (!name || !isSafeFileName(*name)) {
    return std::nullopt;
  }
  return name;
}

std::optional<std::string> downloadableSegmentURL(std::string_view line) {
  std::string url = percentEscapedSegmentURL(line);
  if (!url.starts_with(kDownloadableScheme) || !segmentFileName(url)) {
    return std::nullopt;
  }
  return url;
}

}  // namespace learning
