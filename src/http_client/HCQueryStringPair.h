#pragma once

// HCQueryStringPair: one key and value of a form body or URL query, and its percent-escaped text.
// Thread-safe as a value.

#include <string>

#include "platform/foundation/text/StringEncoding.h"
#include "platform/foundation/values/Value.h"

namespace http_client {

class HCQueryStringPair {
 public:
  // `field` is the key as text; `value` may be the null object, which encodes as the bare key.
  HCQueryStringPair(std::string field, ns::Value value);

  const std::string& field() const { return field_; }
  void setField(std::string field) { field_ = std::move(field); }
  const ns::Value& value() const { return value_; }
  void setValue(ns::Value value) { value_ = std::move(value); }

  // Returns "key=value" with both parts percent-escaped in `encoding`: the key keeps ASCII letters, digits
  // and "-._~[]", the value only ASCII letters, digits and "-._~". A null value gives the escaped key alone.
  std::string URLEncodedStringValueWithEncoding(const ns::StringEncoding& encoding) const;

 private:
  std::string field_;
  ns::Value value_;
};

}  // namespace http_client
