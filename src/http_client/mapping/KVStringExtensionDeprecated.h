#pragma once

// The older names of the mapping's text operations (KVStringExtension.h), kept for callers written against
// them: each calls the kv_ operation of the same stem.
//
// Thread-safety: pure functions.

#include "http_client/mapping/KVStringExtension.h"

namespace http_client {

inline std::string underlineFromCamel(std::string_view text) {
  return kv_underlineFromCamel(text);
}
inline std::string camelFromUnderline(std::string_view text) {
  return kv_camelFromUnderline(text);
}
inline std::string firstCharLower(std::string_view text) {
  return kv_firstCharLower(text);
}
inline std::string firstCharUpper(std::string_view text) {
  return kv_firstCharUpper(text);
}
inline bool isPureInt(std::string_view text) {
  return kv_isPureInt(text);
}
inline std::optional<ns::URL> url(std::string_view text) {
  return kv_url(text);
}

}  // namespace http_client
