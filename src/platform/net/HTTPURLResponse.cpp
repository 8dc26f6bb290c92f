#include "platform/net/HTTPURLResponse.h"

#include <charconv>
#include <map>

#include "platform/net/DescriptionFormat.h"

namespace ns {

namespace {

std::optional<std::string> headerValue(const HTTPHeaderFields& fields, std::string_view name) {
  const auto found = fields.find(name);
  return found == fields.end() ? std::nullopt : std::optional<std::string>(found->second);
}

// "text/html; charset=GBK" gives "text/html".
std::optional<std::string> mimeTypeOf(const std::optional<std::string>& contentType) {
  if (!contentType) {
    return std::nullopt;
  }
  const std::string_view type =
      trimHTTPWhitespace(std::string_view(*contentType).substr(0, contentType->find(';')));
  return type.empty() ? std::nullopt : std::optional<std::string>(lowercaseASCII(type));
}

// "text/html; charset=\"GBK\"" gives "GBK".
std::optional<std::string> charsetOf(const std::optional<std::string>& contentType) {
  if (!contentType) {
    return std::nullopt;
  }
  std::string_view rest(*contentType);
  while (rest.find(';') != std::string_view::npos) {
    rest.remove_prefix(rest.find(';') + 1);
    const std::string_view parameter = trimHTTPWhitespace(rest.substr(0, rest.find(';')));
    const std::size_t equals = parameter.find('=');
    if (equals == std::string_view::npos ||
        !equalsIgnoringCase(trimHTTPWhitespace(parameter.substr(0, equals)), "charset")) {
      continue;
    }
    std::string_view value = trimHTTPWhitespace(parameter.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (!value.empty()) {
      return std::string(value);
    }
  }
  return std::nullopt;
}

std::int64_t contentLengthOf(const std::optional<std::string>& text) {
  if (!text) {
    return URLResponse::kUnknownLength;
  }
  const std::string_view digits = trimHTTPWhitespace(*text);
  std::int64_t length = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
  if (error != std::errc() || end != digits.data() + digits.size() || length < 0) {
    return URLResponse::kUnknownLength;
  }
  return length;
}

}  // namespace

HTTPURLResponse::HTTPURLResponse(URL url, int statusCode, HTTPHeaderFields headerFields,
                                 std::optional<std::string> peerAddress)
    : URLResponse(std::move(url), mimeTypeOf(headerValue(headerFields, "Content-Type")),
                  contentLengthOf(headerValue(headerFields, "Content-Length")),
                  charsetOf(headerValue(headerFields, "Content-Type")), std::move(peerAddress)),
      statusCode_(statusCode),
      headerFields_(std::move(headerFields)) {}

std::string HTTPURLResponse::localizedStringForStatusCode(int statusCode) {
  // The reason phrases of HTTP itself, in lower case.
  static const std::map<int, std::string_view> kReasons = {
      {100, "continue"},
      {101, "switching protocols"},
      {200, "ok"},
      {201, "created"},
      {202, "accepted"},
      {203, "non-authoritative information"},
      {204, "no content"},
      {205, "reset content"},
      {206, "partial content"},
      {300, "multiple choices"},
      {301, "moved permanently"},
      {302, "found"},
      {303, "see other"},
      {304, "not modified"},
      {305, "use proxy"},
      {307, "temporary redirect"},
      {308, "permanent redirect"},
      {400, "bad request"},
      {401, "unauthorized"},
      {402, "payment required"},
      {403, "forbidden"},
      {404, "not found"},
      {405, "method not allowed"},
      {406, "not acceptable"},
      {407, "proxy authentication required"},
      {408, "request timeout"},
      {409, "conflict"},
      {410, "gone"},
      {411, "length required"},
      {412, "precondition failed"},
      {413, "content too large"},
      {414, "uri too long"},
      {415, "unsupported media type"},
      {416, "range not satisfiable"},
      {417, "expectation failed"},
      {500, "internal server error"},
      {501, "not implemented"},
      {502, "bad gateway"},
      {503, "service unavailable"},
      {504, "gateway timeout"},
      {505, "http version not supported"},
  };
  const auto found = kReasons.find(statusCode);
  if (found != kReasons.end()) {
    return std::string(found->second);
  }
  switch (statusCode / 100) {
    case 1:
      return "informational";
    case 2:
      return "success";
    case 3:
      return "redirection";
    case 4:
      return "client error";
    default:
      return "server error";
  }
}

std::string HTTPURLResponse::description() const {
  return descriptionPrefix("HTTPURLResponse", this) + " { URL: " + url().absoluteString() +
         " } { status code: " + std::to_string(statusCode_) + " }";
}

}  // namespace ns
