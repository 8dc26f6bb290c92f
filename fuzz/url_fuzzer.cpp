// Parses the input's first line as a URL and its second line as a reference resolved against it, and
// percent-escapes the whole input. A URL must be known by its text: parsing its absolute string again gives
// the same components, and resolution settles after one more step. Escaped bytes must decode to the input
// and read as a URL path.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/net/PercentEscaping.h"
#include "platform/net/URL.h"

namespace {

bool sameComponents(const ns::URL& a, const ns::URL& b) {
  return a.absoluteString() == b.absoluteString() && a.scheme() == b.scheme() && a.host() == b.host() &&
         a.port() == b.port() && a.user() == b.user() && a.password() == b.password() &&
         a.path() == b.path() && a.query() == b.query() && a.fragment() == b.fragment();
}

// Checks what holds of every URL, however it was made.
void checkURL(const ns::URL& url) {
  requireProperty(!url.port() || (*url.port() >= 0 && *url.port() <= 65535), "a port lies in 0 to 65535");
  const std::optional<ns::URL> reparsed = ns::URL::fromString(url.absoluteString());
  requireProperty(reparsed.has_value(), "the absolute string of a URL parses");
  requireProperty(sameComponents(url, *reparsed), "the absolute string of a URL gives back its components");
  const std::string withoutFragment = url.absoluteStringWithoutFragment();
  requireProperty(withoutFragment + (url.fragment() ? "#" + *url.fragment() : "") == url.absoluteString(),
                  "the text without the fragment is the text before it");
}

void checkParsing(std::string_view text) {
  const std::optional<ns::URL> url = ns::URL::fromString(text);
  if (!url) {
    return;
  }
  requireProperty(url->absoluteString() == text, "a parsed URL keeps its text as written");
  checkURL(*url);
}

void checkResolution(std::string_view baseText, std::string_view reference) {
  const std::optional<ns::URL> base = ns::URL::fromString(baseText);
  // Only absolute URLs serve as bases.
  if (!base || !base->scheme()) {
    return;
  }
  const std::optional<ns::URL> resolved = ns::URL::fromString(reference, *base);
  requireProperty(resolved.has_value() == ns::URL::fromString(reference).has_value(),
                  "a reference resolves exactly when it parses");
  if (!resolved) {
    return;
  }
  requireProperty(resolved->scheme().has_value(), "a reference resolved against an absolute URL is absolute");
  checkURL(*resolved);
  // The first resolution may still hold the dot segments of the base's own path (RFC 3986 section 5.2.2
  // takes the base's path as it is); from then on, resolving changes nothing.
  const std::optional<ns::URL> again = ns::URL::fromString(resolved->absoluteString(), *base);
  requireProperty(again.has_value(), "a resolved URL resolves again");
  checkURL(*again);
  const std::optional<ns::URL> thrice = ns::URL::fromString(again->absoluteString(), *base);
  requireProperty(thrice && sameComponents(*again, *thrice),
                  "resolving a resolved URL again changes nothing");
}

int hexValue(char digit) {
  return digit <= '9' ? digit - '0' : digit - 'A' + 10;
}

void checkEscaping(std::string_view bytes) {
  const std::string escaped = ns::percentEscape(bytes, ns::kURLUnreservedPunctuation);
  std::string decoded;
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    const char c = escaped[i];
    if (c != '%') {
      requireProperty((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          ns::kURLUnreservedPunctuation.find(c) != std::string_view::npos,
                      "only letters, digits and the kept punctuation stand unescaped");
      decoded.push_back(c);
      continue;
    }
    requireProperty(i + 2 < escaped.size(), "an escape has two hexadecimal digits");
    decoded.push_back(static_cast<char>(hexValue(escaped[i + 1]) * 16 + hexValue(escaped[i + 2])));
    i += 2;
  }
  requireProperty(decoded == bytes, "escaped bytes decode to the bytes");
  const std::optional<ns::URL> asPath = ns::URL::fromString(escaped);
  requireProperty(asPath && asPath->path() == escaped, "escaped bytes read as a URL path");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  const std::string_view first = input.substr(0, lineEnd);
  const std::string_view second =
      lineEnd == std::string_view::npos ? std::string_view() : input.substr(lineEnd + 1);
  checkParsing(first);
  checkParsing(second);
  checkResolution(first, second);
  checkEscaping(input);
  return 0;
}
