#include "http_client/HCQueryStringPair.h"

#include <string_view>

#include "platform/net/PercentEscaping.h"

namespace http_client {

namespace {

// Keys keep their brackets so that nested keys such as "a[b][]" stay readable to the server.
constexpr std::string_view kKeptInKeys = "-._~[]";
constexpr std::string_view kKeptInValues = ns::kURLUnreservedPunctuation;

// Text that the encoding cannot represent is escaped from its UTF-8 bytes rather than dropped, so that no
// parameter silently disappears from a request.
std::string escaped(const std::string& text, const ns::StringEncoding& encoding, std::string_view keep) {
  const std::optional<ns::Data> bytes = encoding.encode(text);
  if (!bytes) {
    return ns::percentEscape(text, keep);
  }
  return ns::percentEscape(ns::stringFromData(*bytes), keep);
}

}  // namespace

HCQueryStringPair::HCQueryStringPair(std::string field, ns::Value value)
    : field_(std::move(field)), value_(std::move(value)) {}

std::string HCQueryStringPair::URLEncodedStringValueWithEncoding(const ns::StringEncoding& encoding) const {
  std::string text = escaped(field_, encoding, kKeptInKeys);
  if (value_.isNull()) {
    return text;
  }
  return text + "=" + escaped(ns::describe(value_), encoding, kKeptInValues);
}

}  // namespace http_client
