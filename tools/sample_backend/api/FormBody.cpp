#include "sample_backend/api/FormBody.h"

#include <optional>

#include "platform/net/PercentEscaping.h"

namespace sample_backend::api {
namespace {

std::string unescape(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      result.push_back(' ');
      continue;
    }
    // A '%' that starts no escape stands for itself: the form decoder forgives what a strict one refuses.
    if (const std::optional<char> byte = ns::leadingPercentEscape(text.substr(i))) {
      result.push_back(*byte);
      i += 2;
      continue;
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
