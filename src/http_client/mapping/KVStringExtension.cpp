#include "http_client/mapping/KVStringExtension.h"

#include <cstdio>

namespace http_client {

namespace {

bool isUpper(char c) {
  return c >= 'A' && c <= 'Z';
}

bool isLower(char c) {
  return c >= 'a' && c <= 'z';
}

char lowered(char c) {
  return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

char uppered(char c) {
  return isLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool staysInURL(char c) {
  static constexpr std::string_view kKept = "!$&'()*+,-./:;=?@_~%#[]";
  return isUpper(c) || isLower(c) || isDigit(c) || kKept.find(c) != std::string_view::npos;
}

}  // namespace

std::string kv_underlineFromCamel(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (lowered(c) != c) {
      result += '_';
    }
    result += lowered(c);
  }
  return result;
}

std::string kv_camelFromUnderline(std::string_view text) {
  std::string result;
  bool first = true;
  while (true) {
    const std::size_t underscore = text.find('_');
    const std::string_view piece = text.substr(0, underscore);
    if (first) {
      result += piece;
      first = false;
    } else if (!piece.empty()) {
      result += uppered(piece.front());
      result += piece.substr(1);
    }
    if (underscore == std::string_view::npos) {
      return result;
    }
    text.remove_prefix(underscore + 1);
  }
}

std::string kv_firstCharLower(std::string_view text) {
  std::string result(text);
  if (!result.empty()) {
    result.front() = lowered(result.front());
  }
  return result;
}

std::string kv_firstCharUpper(std::string_view text) {
  std::string result(text);
  if (!result.empty()) {
    result.front() = uppered(result.front());
  }
  return result;
}

bool kv_isPureInt(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isBlank(text.back())) {
    text.remove_suffix(1);
  }
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    text.remove_prefix(1);
  }
  if (text.empty()) {
    return false;
  }
  for (char c : text) {
    if (!isDigit(c)) {
      return false;
    }
  }
  return true;
}

std::optional<ns::URL> kv_url(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (staysInURL(c)) {
      escaped += c;
    } else {
      char percent[4];
      std::snprintf(percent, sizeof percent, "%%%02X", static_cast<unsigned char>(c));
      escaped += percent;
    }
  }
  return ns::URL::fromString(escaped);
}

}  // namespace http_client
