#include "platform/net/CurlRequestSetup.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "platform/foundation/check/Check.h"
#include "platform/net/URLError.h"

namespace ns {

namespace {

bool isHTTPScheme(const URL& url) {
  return url.scheme() &&
         (equalsIgnoringCase(*url.scheme(), "http") || equalsIgnoringCase(*url.scheme(), "https"));
}

void applyMethodAndBody(CurlEasyOptions& options, const URLRequest& request) {
  const std::string& method = request.HTTPMethod();
  if (method == "HEAD") {
    options.set(CURLOPT_NOBODY, 1L);
    return;
  }
  if (method == "GET") {
    options.set(CURLOPT_HTTPGET, 1L);
    return;
  }
  if (method != "POST") {
    options.set(CURLOPT_CUSTOMREQUEST, method.c_str());
  }
  const std::optional<Data>& body = request.HTTPBody();
  if (!request.HTTPBodyStream() && !body && method != "POST") {
    return;
  }
  options.set(CURLOPT_POST, 1L);
  options.set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(announcedBodyLength(request)));
  if (const std::shared_ptr<InputStream>& stream = request.HTTPBodyStream()) {
    stream->open();
  } else {
    options.set(CURLOPT_POSTFIELDS,
                body && !body->empty() ? reinterpret_cast<const char*>(body->data()) : "");
  }
}

// Appends `line` to `list`; false when libcurl had no memory for it, and `list` is then unchanged.
bool appendLine(CurlHeaderList& list, const std::string& line) {
  curl_slist* extended = curl_slist_append(list.get(), line.c_str());
  if (extended == nullptr) {
    return false;
  }
  static_cast<void>(list.release());
  list.reset(extended);
  return true;
}

// Returns the request's header fields as libcurl's list, or nullopt when it could not be built.
std::optional<CurlHeaderList> headerListOf(const URLRequest& request) {
  CurlHeaderList list;
  for (const auto& [name, value] : request.allHTTPHeaderFields()) {
    // libcurl drops a field given as "Name:" and sends an empty one given as "Name;".
    if (!appendLine(list, value.empty() ? name + ";" : name + ": " + value)) {
      return std::nullopt;
    }
  }
  // Bodies go out at once rather than after a "100 Continue" round trip.
  if (!request.valueForHTTPHeaderField("Expect") && !appendLine(list, "Expect:")) {
    return std::nullopt;
  }
  return list;
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

CurlHeaderList applyRequest(CurlEasyOptions& options, const URLRequest& request) {
  QM_DCHECK(!errorBeforeSending(request), "errorBeforeSending(request) is nullopt");
  const std::string wireURL = request.url()->absoluteStringWithoutFragment();
  options.set(CURLOPT_URL, wireURL.c_str());
  options.set(CURLOPT_PROTOCOLS_STR, "http,https");
  options.set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  if (!request.valueForHTTPHeaderField("Accept-Encoding")) {
    options.set(CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
  }
  applyMethodAndBody(options, request);
  std::optional<CurlHeaderList> headers = headerListOf(request);
  if (!headers) {
    options.noteResult(CURLE_OUT_OF_MEMORY);
    return nullptr;
  }
  options.set(CURLOPT_HTTPHEADER, headers->get());
  return std::move(*headers);
}

std::int64_t announcedBodyLength(const URLRequest& request) {
  if (request.HTTPBodyStream()) {
    const std::optional<std::string> length = request.valueForHTTPHeaderField("Content-Length");
    return length ? std::strtoll(length->c_str(), nullptr, 10) : -1;
  }
  return request.HTTPBody() ? static_cast<std::int64_t>(request.HTTPBody()->size()) : 0;
}

}  // namespace ns
