#include "platform/net/URLConnectionDelegate.h"

namespace ns {

URLConnectionDelegate::TrustDecision URLConnectionDelegate::shouldTrustServer(URLConnection&,
                                                                              ServerTrust& trust,
                                                                              const std::string& host) {
  trust.setSSLServerPolicy(host);
  return trust.evaluate() ? TrustDecision::kAccept : TrustDecision::kRefuse;
}

std::optional<URLRequest> URLConnectionDelegate::willSendRequest(URLConnection&, URLRequest proposed,
                                                                 const HTTPURLResponse&) {
  return proposed;
}

void URLConnectionDelegate::didSendBodyData(URLConnection&, std::int64_t, std::int64_t, std::int64_t) {}

void URLConnectionDelegate::didReceiveResponse(URLConnection&, std::shared_ptr<const URLResponse>) {}

URLConnectionDelegate::DataDisposition URLConnectionDelegate::didReceiveData(URLConnection&,
                                                                             const std::uint8_t*,
                                                                             std::size_t) {
  return DataDisposition::kConsumed;
}

std::optional<CachedURLResponse> URLConnectionDelegate::willCacheResponse(URLConnection&,
                                                                          CachedURLResponse proposed) {
  return proposed;
}

void URLConnectionDelegate::didFinishLoading(URLConnection&) {}

void URLConnectionDelegate::didFailWithError(URLConnection&, const Error&) {}

}  // namespace ns
