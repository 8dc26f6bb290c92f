#include "sample_backend/api/FormBody.h"

#include <optional>

namespace sample_backend::api {
namespace {

std::optional<int> hexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return std::nullopt;
}

std::string unescape(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      result.push_back(' ');
      continue;
    }
    if (text[i] == '%' && i + 2 < text.size()) {
      std::optional<int> high = hexDigit(text[i + 1]);
      std::optional<int> low = hexDigit(text[i + 2]);
      if (high && low) {
        result.push_back(static_cast<char>(*high * 16 + *low));
        i += 2;
        continue;
      }
    }
    result.push_back(text[i]);
  }
  return result;
}

}  // namespace

std::map<std::string, std::string, std::less<>> decodeFormBody(std::string_view body) {
  std::map<std::string, std::string, std::less<>> pairs;
  while (!body.empty()) {
    const std::size_t end = body.find('&');
    const std::string_view pair = body.substr(0, end);
    body = end == std::string_view::npos ? std::string_view() : body.substr(end + 1);
    if (pair.empty()) {
      continue;
    }
    const std::size_t equals = pair.find('=');
    std::string key = unescape(pair.substr(0, equals));
    pairs[std::move(key)] =
        equals == std::string_view::npos ? std::string() : unescape(pair.substr(equals + 1));
  }
  return pairs;
}

}  // namespace sample_backend::api
