#pragma once

// ns::CurlEasyOptions: sets options on one libcurl easy handle and keeps the first failure, so that a
// transfer configured with many options checks every result and fails once, before it starts, when any
// option was refused. Thread-safety: not thread-safe; used while configuring one handle.

#include <curl/curl.h>

namespace ns {

class CurlEasyOptions {
 public:
  // REQUIRES: `easy` outlives this object.
  explicit CurlEasyOptions(CURL* easy) : easy_(easy) {}

  // Sets `option` to `value`; a refusal is kept when it is the first.
  template <typename Value>
  void set(CURLoption option, Value value) {
    noteResult(curl_easy_setopt(easy_, option, value));
  }
  // Keeps `result` when it is the first failure: for steps of the configuration other than options.
  void noteResult(CURLcode result) {
    if (result_ == CURLE_OK) {
      result_ = result;
    }
  }

  CURL* handle() const { return easy_; }
  // CURLE_OK while every option was taken; otherwise the first refusal.
  CURLcode result() const { return result_; }

 private:
  CURL* const easy_;
  CURLcode result_ = CURLE_OK;
};

}  // namespace ns
