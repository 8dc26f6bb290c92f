#include "platform/net/URL.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace ns {

// A reference split into its five parts (RFC 3986 section 3), each still escaped.
struct URL::Components {
  std::optional<std::string> scheme;
  std::optional<std::string> authority;
  std::string path;
  std::optional<std::string> query;
  std::optional<std::string> fragment;
};

namespace {

bool isHexDigit(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Characters that may stand unescaped anywhere in a URL: unreserved, general and sub-delimiters, and the
// '%' that starts an escape.
bool isURLCharacter(char c) {
  if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
    return true;
  }
  static constexpr std::string_view kAllowed = "-._~:/?#[]@!$&'()*+,;=%";
  return kAllowed.find(c) != std::string_view::npos;
}

bool hasOnlyURLCharacters(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!isURLCharacter(text[i])) {
      return false;
    }
    if (text[i] == '%' && (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2]))) {
      return false;
    }
  }
  return true;
}

bool isSchemeText(std::string_view text) {
  if (text.empty() || std::isalpha(static_cast<unsigned char>(text.front())) == 0) {
    return false;
  }
  return std::all_of(text.begin(), text.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
  });
}

// Splits a reference by the grammar of RFC 3986 appendix B.
URL::Components split(std::string_view text) {
  URL::Components parts;
  const std::size_t colon = text.find(':');
  if (colon != std::string_view::npos && colon < text.find_first_of("/?#") &&
      isSchemeText(text.substr(0, colon))) {
    parts.scheme = std::string(text.substr(0, colon));
    text.remove_prefix(colon + 1);
  }
  if (text.starts_with("//")) {
    text.remove_prefix(2);
    const std::size_t end = std::min(text.find_first_of("/?#"), text.size());
    parts.authority = std::string(text.substr(0, end));
    text.remove_prefix(end);
  }
  const std::size_t hash = text.find('#');
  if (hash != std::string_view::npos) {
    parts.fragment = std::string(text.substr(hash + 1));
    text = text.substr(0, hash);
  }
  const std::size_t question = text.find('?');
  if (question != std::string_view::npos) {
    parts.query = std::string(text.substr(question + 1));
    text = text.substr(0, question);
  }
  parts.path = std::string(text);
  return parts;
}

// RFC 3986 section 5.2.4.
std::string removeDotSegments(std::string_view input) {
  std::string output;
  while (!input.empty()) {
    if (input.starts_with("../")) {
      input.remove_prefix(3);
    } else if (input.starts_with("./")) {
      input.remove_prefix(2);
    } else if (input.starts_with("/./")) {
      input.remove_prefix(2);
    } else if (input == "/.") {
      input = "/";
    } else if (input.starts_with("/../") || input == "/..") {
      input = input.size() == 3 ? std::string_view("/") : input.substr(3);
      const std::size_t lastSlash = output.rfind('/');
      output.erase(lastSlash == std::string::npos ? 0 : lastSlash);
    } else if (input == "." || input == "..") {
      input = {};
    } else {
      const std::size_t next = input.find('/', 1);
      const std::size_t length = next == std::string_view::npos ? input.size() : next;
      output.append(input.substr(0, length));
      input.remove_prefix(length);
    }
  }
  return output;
}

// RFC 3986 section 5.2.3.
std::string merge(const URL::Components& base, std::string_view referencePath) {
  if (base.authority && base.path.empty()) {
    return std::string("/").append(referencePath);
  }
  const std::size_t lastSlash = base.path.rfind('/');
  if (lastSlash == std::string::npos) {
    return std::string(referencePath);
  }
  return base.path.substr(0, lastSlash + 1).append(referencePath);
}

// RFC 3986 section 5.2.2.
URL::Components resolve(const URL::Components& reference, const URL::Components& base) {
  URL::Components target;
  target.fragment = reference.fragment;
  if (reference.scheme) {
    target.scheme = reference.scheme;
    target.authority = reference.authority;
    target.path = removeDotSegments(reference.path);
    target.query = reference.query;
    return target;
  }
  target.scheme = base.scheme;
  if (reference.authority) {
    target.authority = reference.authority;
    target.path = removeDotSegments(reference.path);
    target.query = reference.query;
    return target;
  }
  target.authority = base.authority;
  if (reference.path.empty()) {
    target.path = base.path;
    target.query = reference.query ? reference.query : base.query;
    return target;
  }
  target.path =
      removeDotSegments(reference.path.starts_with('/') ? std::string_view(reference.path)
                                                        : std::string_view(merge(base, reference.path)));
  target.query = reference.query;
  return target;
}

// A path that starts with "//" in a URL without authority would read back as an authority. Removing dot
// segments can make one ("http:/.//x" gives the path "//x"); "/." in front keeps it a path, as the dot
// segment it was (RFC 3986 section 3.3).
void keepPathOutOfAuthority(URL::Components& parts) {
  if (!parts.authority && parts.path.starts_with("//")) {
    parts.path.insert(0, "/.");
  }
}

// RFC 3986 section 5.3.
std::string recompose(const URL::Components& parts) {
  std::string text;
  if (parts.scheme) {
    text.append(*parts.scheme).append(":");
  }
  if (parts.authority) {
    text.append("//").append(*parts.authority);
  }
  text.append(parts.path);
  if (parts.query) {
    text.append("?").append(*parts.query);
  }
  if (parts.fragment) {
    text.append("#").append(*parts.fragment);
  }
  return text;
}

// The parts of an authority: [user[:password]@]host[:port].
struct AuthorityParts {
  std::optional<std::string> user;
  std::optional<std::string> password;
  std::string host;
  std::optional<int> port;
  bool hasValidPort = true;
};

AuthorityParts splitAuthority(std::string_view authority) {
  AuthorityParts parts;
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    const std::string_view userInfo = authority.substr(0, at);
    const std::size_t colon = userInfo.find(':');
    parts.user = std::string(userInfo.substr(0, colon));
    if (colon != std::string_view::npos) {
      parts.password = std::string(userInfo.substr(colon + 1));
    }
    authority.remove_prefix(at + 1);
  }
  const std::size_t closingBracket = authority.rfind(']');
  const std::size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos &&
      (closingBracket == std::string_view::npos || colon > closingBracket)) {
    const std::string_view port = authority.substr(colon + 1);
    authority = authority.substr(0, colon);
    int value = 0;
    // from_chars would also take a minus sign; a port is digits only.
    const bool digitsOnly = port.find_first_not_of("0123456789") == std::string_view::npos;
    const auto error = std::from_chars(port.data(), port.data() + port.size(), value).ec;
    parts.hasValidPort = port.empty() || (digitsOnly && error == std::errc() && value <= 65535);
    if (!port.empty() && parts.hasValidPort) {
      parts.port = value;
    }
  }
  if (authority.starts_with('[') && authority.ends_with(']')) {
    authority = authority.substr(1, authority.size() - 2);
  }
  parts.host = std::string(authority);
  return parts;
}

std::optional<URL::Components> parse(std::string_view text) {
  if (!hasOnlyURLCharacters(text)) {
    return std::nullopt;
  }
  URL::Components parts = split(text);
  if (parts.authority && !splitAuthority(*parts.authority).hasValidPort) {
    return std::nullopt;
  }
  return parts;
}

}  // namespace

std::optional<URL> URL::fromString(std::string_view text) {
  const std::optional<Components> parts = parse(text);
  if (!parts) {
    return std::nullopt;
  }
  return URL(*parts);
}

std::optional<URL> URL::fromString(std::string_view text, const URL& base) {
  const std::optional<Components> reference = parse(text);
  if (!reference) {
    return std::nullopt;
  }
  URL::Components target = resolve(*reference, split(base.absoluteString()));
  keepPathOutOfAuthority(target);
  return URL(target);
}

URL::URL(const Components& parts)
    : text_(recompose(parts)),
      scheme_(parts.scheme),
      path_(parts.path),
      query_(parts.query),
      fragment_(parts.fragment) {
  if (!parts.authority) {
    return;
  }
  AuthorityParts authority = splitAuthority(*parts.authority);
  user_ = std::move(authority.user);
  password_ = std::move(authority.password);
  host_ = std::move(authority.host);
  port_ = authority.port;
}

std::string URL::absoluteStringWithoutFragment() const {
  return text_.substr(0, text_.find('#'));
}

}  // namespace ns
