#include "embedded_server/http/HTTPRangeRequest.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace embedded_server {

namespace {

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::optional<std::uint64_t> parseNumber(std::string_view digits) {
  if (digits.empty() ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  return value;
}

// One element of the list ("first-last", "first-" or "-suffixLength"). Returns nullopt when it does not
// parse; otherwise the range cut to the file, or an empty optional range when it is not satisfiable.
std::optional<std::optional<LGRange>> parseElement(std::string_view element, std::uint64_t fileSize) {
  const auto dash = element.find('-');
  if (dash == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view firstText = element.substr(0, dash);
  const std::string_view lastText = element.substr(dash + 1);
  if (firstText.empty()) {
    const auto suffixLength = parseNumber(lastText);
    if (!suffixLength) {
      return std::nullopt;
    }
    if (*suffixLength == 0 || fileSize == 0) {
      return std::optional<LGRange>();
    }
    const std::uint64_t length = std::min(*suffixLength, fileSize);
    return std::optional<LGRange>(LGRange{fileSize - length, length});
  }
  const auto first = parseNumber(firstText);
  std::optional<std::uint64_t> last;
  if (!lastText.empty()) {
    last = parseNumber(lastText);
    if (!last) {
      return std::nullopt;
    }
  }
  if (!first || (last && *last < *first)) {
    return std::nullopt;
  }
  if (*first >= fileSize) {
    return std::optional<LGRange>();
  }
  const std::uint64_t end = last ? std::min(*last, fileSize - 1) : fileSize - 1;
  return std::optional<LGRange>(LGRange{*first, end - *first + 1});
}

}  // namespace

HTTPRangeRequest HTTPRangeRequest::parse(std::optional<std::string_view> header, std::uint64_t fileSize) {
  const HTTPRangeRequest wholeFile(Kind::kWholeFile, {});
  constexpr std::string_view kUnit = "bytes=";
  if (!header) {
    return wholeFile;
  }
  std::string_view list = trimmed(*header);
  if (list.substr(0, kUnit.size()) != kUnit) {
    return wholeFile;
  }
  list.remove_prefix(kUnit.size());

  std::vector<LGRange> ranges;
  std::size_t elementCount = 0;
  while (!list.empty()) {
    const auto comma = list.find(',');
    const std::string_view element = trimmed(list.substr(0, comma));
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    if (element.empty()) {
      continue;  // the list syntax allows empty elements
    }
    if (++elementCount > kMaximumRanges) {
      return wholeFile;
    }
    const auto parsed = parseElement(element, fileSize);
    if (!parsed) {
      return wholeFile;
    }
    if (*parsed) {
      ranges.push_back(**parsed);
    }
  }
  if (elementCount == 0) {
    return wholeFile;
  }
  if (ranges.empty()) {
    return HTTPRangeRequest(Kind::kUnsatisfiable, {});
  }
  return HTTPRangeRequest(Kind::kRanges, std::move(ranges));
}

}  // namespace embedded_server
