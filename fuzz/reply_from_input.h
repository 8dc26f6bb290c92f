#pragma once

// How the fuzz targets of the HTTP client's response serializers make a reply of their input: its first line
// is the status code, its second the Content-Type header (none when empty), and the rest the body.

#include <charconv>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/foundation/values/Data.h"
#include "platform/net/HTTPURLResponse.h"

struct FuzzedReply {
  std::shared_ptr<const ns::HTTPURLResponse> response;
  ns::Data body;
};

// The reply `input` describes, answered from `url`; std::nullopt when the input has fewer than two lines or
// its first line is not a number.
inline std::optional<FuzzedReply> replyFromInput(std::string_view input, const ns::URL& url) {
  const std::size_t statusEnd = input.find('\n');
  const std::size_t typeEnd = input.find('\n', statusEnd + 1);
  if (typeEnd == std::string_view::npos) {
    return std::nullopt;
  }
  int statusCode = 0;
  const auto [end, error] = std::from_chars(input.data(), input.data() + statusEnd, statusCode);
  if (error != std::errc() || end != input.data() + statusEnd) {
    return std::nullopt;
  }
  ns::HTTPHeaderFields headers;
  if (typeEnd > statusEnd + 1) {
    headers["Content-Type"] = std::string(input.substr(statusEnd + 1, typeEnd - statusEnd - 1));
  }
  return FuzzedReply{std::make_shared<const ns::HTTPURLResponse>(url, statusCode, std::move(headers)),
                     ns::dataFromString(input.substr(typeEnd + 1))};
}
