#pragma once

// StatisticsLoginReply: the play-statistics server's answer to a login. Its text splits at "," into exactly
// two parts: the first is a word, "|" and the id the server assigns; the second begins with the login token,
// ended by "|" (the rest is ignored). Thread-safety: a plain value; parse() is a pure function.

#include <optional>
#include <string>
#include <string_view>

namespace learning {

struct StatisticsLoginReply {
  // Returns the id and token of `text`, or nullopt when it does not split into exactly two parts or its
  // first part holds no "|" before the id.
  static std::optional<StatisticsLoginReply> parse(std::string_view text);

  std::string distributeId;
  std::string token;
};

}  // namespace learning
