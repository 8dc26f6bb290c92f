#pragma once

// The form encoding of request parameters: nested dictionaries, arrays and sets flatten into key-value
// pairs ("a[b]", "a[]", "a"), which are escaped and joined by "&". The same text is a form body or a URL
// query. Thread-safe: pure functions.

#include <optional>
#include <string>
#include <vector>

#include "http_client/HCQueryStringPair.h"
#include "platform/foundation/text/StringEncoding.h"
#include "platform/foundation/values/Value.h"

namespace http_client {

// Returns the pairs that `value` flattens into under `key` (nullopt at the top level): a dictionary's
// entries in ascending order of their keys (UTF-16 order), each under "key[k]" (or "k" at the top); an
// array's elements in order, each under "key[]"; a set's elements in ascending order of their descriptions
// (UTF-16 order), each under "key" itself; anything else as one pair.
std::vector<HCQueryStringPair> HCQueryStringPairsFromKeyAndValue(const std::optional<std::string>& key,
                                                                 const ns::Value& value);

// Returns the escaped pairs of `parameters` joined by "&"; empty for no parameters.
std::string HCQueryStringFromParameters(const ns::Dictionary& parameters, const ns::StringEncoding& encoding);

}  // namespace http_client
