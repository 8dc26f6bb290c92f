#include "platform/net/CurlRequestSetup.h"

#include <cstdlib>
#include <string>

#include "platform/net/URLError.h"

namespace ns {

namespace {

bool isHTTPScheme(const URL& url) {
  return url.scheme() &&
         (equalsIgnoringCase(*url.scheme(), "http") || equalsIgnoringCase(*url.scheme(), "https"));
}

void applyMethodAndBody(CURL* easy, const URLRequest& request) {
  const std::string& method = request.HTTPMethod();
  if (method == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    return;
  }
  if (method == "GET") {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    return;
  }
  if (method != "POST") {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
  }
  const std::optional<Data>& body = request.HTTPBody();
  if (!request.HTTPBodyStream() && !body && method != "POST") {
    return;
  }
  curl_easy_setopt(easy, CURLOPT_POST, 1L);
  curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(announcedBodyLength(request)));
  if (const std::shared_ptr<InputStream>& stream = request.HTTPBodyStream()) {
    stream->open();
  } else {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS,
                     body && !body->empty() ? reinterpret_cast<const char*>(body->data()) : "");
  }
}

CurlHeaderList headerListOf(const URLRequest& request) {
  curl_slist* list = nullptr;
  for (const auto& [name, value] : request.allHTTPHeaderFields()) {
    // libcurl drops a field given as "Name:" and sends an empty one given as "Name;".
    const std::string line = value.empty() ? name + ";" : name + ": " + value;
    list = curl_slist_append(list, line.c_str());
  }
  if (!request.valueForHTTPHeaderField("Expect")) {
    // Bodies go out at once rather than after a "100 Continue" round trip.
    list = curl_slist_append(list, "Expect:");
  }
  return CurlHeaderList(list);
}

}  // namespace

std::optional<Error> errorBeforeSending(const URLRequest& request) {
  const std::optional<URL>& url = request.url();
  if (!url) {
    return makeURLError(kURLErrorBadURL, url);
  }
  if (!isHTTPScheme(*url)) {
    return makeURLError(kURLErrorUnsupportedURL, url);
  }
  if (!url->host() || url->host()->empty()) {
    return makeURLError(kURLErrorBadURL, url);
  }
  const std::shared_ptr<InputStream>& bodyStream = request.HTTPBodyStream();
  if (bodyStream && bodyStream->streamStatus() != StreamStatus::kNotOpen) {
    // A stream is read once; a redirect that keeps the body cannot send it again.
    return makeURLError(kURLErrorRequestBodyStreamExhausted, url);
  }
  return std::nullopt;
}

CurlHeaderList applyRequest(CURL* easy, const URLRequest& request) {
  const std::string wireURL = request.url()->absoluteStringWithoutFragment();
  curl_easy_setopt(easy, CURLOPT_URL, wireURL.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  if (!request.valueForHTTPHeaderField("Accept-Encoding")) {
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
  }
  applyMethodAndBody(easy, request);
  CurlHeaderList headers = headerListOf(request);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
  return headers;
}

std::int64_t announcedBodyLength(const URLRequest& request) {
  if (request.HTTPBodyStream()) {
    const std::optional<std::string> length = request.valueForHTTPHeaderField("Content-Length");
    return length ? std::strtoll(length->c_str(), nullptr, 10) : -1;
  }
  return request.HTTPBody() ? static_cast<std::int64_t>(request.HTTPBody()->size()) : 0;
}

}  // namespace ns
