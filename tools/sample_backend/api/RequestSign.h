#pragma once

// The request sign as the back end checks it: the parameter keys (all but "sign") in ascending order of
// their UTF-16 code units; for each, key, "=" and the value cut to its first 50 UTF-16 code units (a cut
// that would split a surrogate pair leaves the whole character out), with nothing between the pairs; then
// the signing key; and the lower-case hexadecimal MD5 of those UTF-8 bytes.
//
// The back end computes the sign on its own, from the rule above, so that a fault in the client's sign
// shows as a refused request. Thread-safe: pure functions.

#include <map>
#include <string>
#include <string_view>

namespace sample_backend::api {

// Returns the sign of `parameters` (its "sign" entry left out) under `signingKey`.
std::string computeRequestSign(const std::map<std::string, std::string, std::less<>>& parameters,
                               std::string_view signingKey);

// Returns the text that computeRequestSign() digests, for messages that explain a mismatch.
std::string requestSignSource(const std::map<std::string, std::string, std::less<>>& parameters,
                              std::string_view signingKey);

}  // namespace sample_backend::api
