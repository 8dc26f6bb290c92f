#pragma once

// Owners of libcurl's handles: each frees its handle with the matching libcurl call when it goes out of
// scope. Thread-safety: as the handle they own (one thread at a time).

#include <curl/curl.h>

#include <memory>

namespace ns {

struct CurlEasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
// An easy handle. REQUIRES: it is out of every multi handle before it is freed.
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyDeleter>;

struct CurlMultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using CurlMultiHandle = std::unique_ptr<CURLM, CurlMultiDeleter>;

struct CurlHeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHeaderList = std::unique_ptr<curl_slist, CurlHeaderListDeleter>;

}  // namespace ns
