#pragma once

// ns::URL: a URL or relative reference, parsed by the generic syntax of RFC 3986 and kept as written. The
// components are returned still percent-escaped, exactly as they appear in the text. A reference parsed
// against a base is resolved at once (RFC 3986 section 5.2), so every URL is known by its absolute string.
// Thread-safe as a value.

#include <optional>
#include <string>
#include <string_view>

namespace ns {

class URL {
 public:
  // Returns the URL that `text` spells, or nullopt when `text` holds a character that a URL may not hold
  // unescaped (space, control, non-ASCII, '"', '<', '>', '\', '^', '`', '{', '|', '}'), a '%' not followed by
  // two hexadecimal digits, or a port that is not a number. A text without a scheme is a relative reference;
  // its absoluteString() is the text itself.
  static std::optional<URL> fromString(std::string_view text);
  // Returns `text` resolved as a reference relative to `base` (RFC 3986 section 5.2), or nullopt when `text`
  // is not a valid reference (as above).
  static std::optional<URL> fromString(std::string_view text, const URL& base);

  // The whole URL as text: scheme, authority, path, query and fragment.
  const std::string& absoluteString() const { return text_; }

  // The components, still escaped. An absent component is nullopt; the path is never absent but may be
  // empty. host() drops the brackets of an IPv6 literal; port() is nullopt when the authority names none.
  const std::optional<std::string>& scheme() const { return scheme_; }
  const std::optional<std::string>& host() const { return host_; }
  std::optional<int> port() const { return port_; }
  const std::optional<std::string>& user() const { return user_; }
  const std::optional<std::string>& password() const { return password_; }
  const std::string& path() const { return path_; }
  const std::optional<std::string>& query() const { return query_; }
  const std::optional<std::string>& fragment() const { return fragment_; }

  // Returns the URL without its fragment (the text sent on the wire).
  std::string absoluteStringWithoutFragment() const;

  friend bool operator==(const URL& a, const URL& b) { return a.text_ == b.text_; }

  // The five parts of a reference (RFC 3986 section 3); defined with the parser.
  struct Components;

 private:
  explicit URL(const Components& components);

  std::string text_;
  std::optional<std::string> scheme_;
  std::optional<std::string> host_;
  std::optional<int> port_;
  std::optional<std::string> user_;
  std::optional<std::string> password_;
  std::string path_;
  std::optional<std::string> query_;
  std::optional<std::string> fragment_;
};

}  // namespace ns
