#pragma once

// How the transfer engine's result codes read as URL loading errors. Thread-safe: a pure function.

#include <curl/curl.h>

#include "platform/net/URLError.h"

namespace ns {

// Returns the URL error code for the failed transfer result `result`. REQUIRES: result != CURLE_OK, and the
// transfer's URL is http or https.
URLErrorCode urlErrorCodeForCurlResult(CURLcode result);

}  // namespace ns
