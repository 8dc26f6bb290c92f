#pragma once

// ns::URLConnectionDelegate: what a URLConnection tells the object that asked for the load. Every callback
// has a default, so a delegate overrides only what it needs. All calls come on the run loop the connection
// was started on, in this order for each request sent (the original one, then each redirect followed):
//
//   shouldTrustServer          for each TLS connection the load uses: during the handshake of a new one,
//                              before the request goes out on a reused one (never for plain HTTP);
//   didSendBodyData            while the body goes out;
//   willSendRequest            when the response is a redirect, before it is followed;
//
// and then, for the final response:
//
//   didReceiveResponse         once, before any data;
//   didReceiveData             zero or more times, bytes in order;
//   willCacheResponse          once the whole body came, when the load may be cached (URLCache.h);
//   didFinishLoading | didFailWithError   exactly one of them, last (a failure may end the load at any
//                                         point).
//
// After URLConnection::cancel() returns, no call at all is made.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/values/Error.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/net/ServerTrust.h"
#include "platform/net/URLCache.h"
#include "platform/net/URLRequest.h"
#include "platform/net/URLResponse.h"

namespace ns {

class URLConnection;

class URLConnectionDelegate {
 public:
  enum class TrustDecision { kAccept, kRefuse };
  enum class DataDisposition { kConsumed, kNoSpace };

  virtual ~URLConnectionDelegate() = default;

  // Decides whether the TLS server at `host` is trusted. kRefuse fails the handshake and the load with
  // kURLErrorServerCertificateUntrusted. The default evaluates `trust` with the SSL server policy for `host`
  // against the default anchors.
  virtual TrustDecision shouldTrustServer(URLConnection& connection, ServerTrust& trust,
                                          const std::string& host);

  // Called when `redirectResponse` redirects to `proposed`. Returns the request to send instead (`proposed`
  // itself, or a changed copy), or nullopt to refuse the redirect, which makes `redirectResponse` the final
  // response, delivered with its body. The default follows `proposed`.
  virtual std::optional<URLRequest> willSendRequest(URLConnection& connection, URLRequest proposed,
                                                    const HTTPURLResponse& redirectResponse);

  // Body bytes went out: `bytesWritten` now, `totalBytesWritten` so far, of `totalBytesExpectedToWrite`
  // (-1 when the length is unknown).
  virtual void didSendBodyData(URLConnection& connection, std::int64_t bytesWritten,
                               std::int64_t totalBytesWritten, std::int64_t totalBytesExpectedToWrite);

  virtual void didReceiveResponse(URLConnection& connection, std::shared_ptr<const URLResponse> response);

  // The next `length` bytes of the body. Return kNoSpace to take none of them: the connection then stops
  // reading until URLConnection::resumeReceiving(), and offers the same bytes again (perhaps with more).
  virtual DataDisposition didReceiveData(URLConnection& connection, const std::uint8_t* bytes,
                                         std::size_t length);

  // Returns what the URL cache is to store of the finished load: `proposed`, a changed copy, or nullopt for
  // nothing. The default keeps `proposed`.
  virtual std::optional<CachedURLResponse> willCacheResponse(URLConnection& connection,
                                                             CachedURLResponse proposed);

  virtual void didFinishLoading(URLConnection& connection);
  // `error` is of kURLErrorDomain with the failing URL in its user info (and, once a connection was made,
  // the server's address under kURLErrorPeerAddressKey), or, when reading a body stream failed, the stream's
  // own error.
  virtual void didFailWithError(URLConnection& connection, const Error& error);
};

}  // namespace ns
