#include "platform/net/ConnectionTransfer.h"

#include <openssl/x509.h>

#include <chrono>
#include <string_view>

#include "platform/foundation/check/Check.h"
#include "platform/net/CurlErrorMapping.h"
#include "platform/net/CurlMultiEngine.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/net/NetworkLink.h"
#include "platform/net/ServerTrust.h"
#include "platform/net/URLConnection.h"
#include "platform/net/X509Certificates.h"

namespace ns {

namespace {

ConnectionTransfer& transferFrom(void* self) {
  return *static_cast<ConnectionTransfer*>(self);
}

bool isHTTPSScheme(const URL& url) {
  return url.scheme() && equalsIgnoringCase(*url.scheme(), "https");
}

bool isRedirectStatus(long statusCode) {
  return statusCode == 301 || statusCode == 302 || statusCode == 303 || statusCode == 307 ||
         statusCode == 308;
}

// How many times libcurl may send one request. When a kept-alive connection dies after the request went out
// and before any reply came, libcurl sends it again on a new connection; the server may have acted on the
// first one, so only requests that are safe to repeat get that second chance.
int maximumAttemptsFor(const URLRequest& request) {
  const std::string& method = request.HTTPMethod();
  return method == "GET" || method == "HEAD" ? 2 : 1;
}

bool sameOrigin(const URL& a, const URL& b) {
  return a.scheme() == b.scheme() && a.host() == b.host() && a.port() == b.port();
}

Duration idleIntervalOf(const URLRequest& request) {
  const double seconds =
      request.timeoutInterval() > 0 ? request.timeoutInterval() : URLRequest::kDefaultTimeoutInterval;
  return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(seconds));
}

}  // namespace

ConnectionTransfer::ConnectionTransfer(std::shared_ptr<URLConnection> connection,
                                       std::weak_ptr<URLConnectionDelegate> delegate, URLRequest request)
    : delegate_(std::move(delegate)), connection_(std::move(connection)), request_(std::move(request)) {}

void ConnectionTransfer::start() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  engine_ = CurlMultiEngine::forCurrentThread();
  if (engine_ == nullptr) {
    RunLoop::current().post([self = shared_from_this()] { self->fail(kURLErrorUnknown); });
    return;
  }
  engine_->loop().post([self = shared_from_this()] {
    if (!self->ended_) {
      self->armIdleTimer();
      self->sendCurrentRequest();
    }
  });
}

void ConnectionTransfer::cancel() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  end(nullptr);
}

void ConnectionTransfer::loseConnection() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  fail(kURLErrorNetworkConnectionLost);
}

void ConnectionTransfer::resumeReceiving() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (ended_) {
    return;
  }
  // Checked on the later turn: a receiver may ask from inside the very call that answers "no space".
  engine_->loop().post([self = shared_from_this()] {
    if (self->ended_ || !self->receivingHeldBack_) {
      return;
    }
    self->receivingHeldBack_ = false;
    self->armIdleTimer();
    CURLcode resumed = CURLE_OK;
    self->engine_->drive([&] { resumed = curl_easy_pause(self->easy_.get(), CURLPAUSE_CONT); });
    if (resumed != CURLE_OK) {
      self->fail(urlErrorCodeForCurlResult(resumed));
    }
  });
}

void ConnectionTransfer::sendCurrentRequest() {
  if (std::optional<Error> error = errorBeforeSending(request_)) {
    fail(*error);
    return;
  }
  if (!NetworkLink::allowsLoad(*request_.url())) {
    // As on a phone with no network: the load fails at once, and nothing leaves the device.
    fail(kURLErrorNotConnectedToInternet);
    return;
  }
  easy_ = engine_->borrowHandle();
  if (!easy_) {
    fail(kURLErrorUnknown);
    return;
  }
  if (const CURLcode configured = configureHandle(); configured != CURLE_OK) {
    fail(urlErrorCodeForCurlResult(configured));
    return;
  }
  engine_->add(shared_from_this());
}

void ConnectionTransfer::setWaitingForTurn(bool waiting) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (!waiting) {
    armIdleTimer();
  } else if (idleTimer_) {
    idleTimer_->invalidate();
  }
}

CURLcode ConnectionTransfer::configureHandle() {
  responseHeaders_.reset();
  responseDelivered_ = false;
  cacheCandidate_.reset();
  redirectToFollow_.reset();
  receivingHeldBack_ = false;
  trustJudged_ = false;
  trustRefused_ = false;
  uploadedReported_ = 0;
  uploadExpected_ = announcedBodyLength(request_);
  peerAddress_.reset();
  attempts_ = 0;
  repeatRefused_ = false;

  curl_easy_reset(easy_.get());
  CurlEasyOptions options(easy_.get());
  headerList_ = applyRequest(options, request_);
  options.set(CURLOPT_NOSIGNAL, 1L);
  options.set(CURLOPT_FOLLOWLOCATION, 0L);
  options.set(CURLOPT_HEADERFUNCTION, &ConnectionTransfer::onHeader);
  options.set(CURLOPT_HEADERDATA, this);
  options.set(CURLOPT_WRITEFUNCTION, &ConnectionTransfer::onBody);
  options.set(CURLOPT_WRITEDATA, this);
  options.set(CURLOPT_READFUNCTION, &ConnectionTransfer::onReadBody);
  options.set(CURLOPT_READDATA, this);
  options.set(CURLOPT_NOPROGRESS, 0L);
  options.set(CURLOPT_XFERINFOFUNCTION, &ConnectionTransfer::onProgress);
  options.set(CURLOPT_XFERINFODATA, this);
  options.set(CURLOPT_PREREQFUNCTION, &ConnectionTransfer::onPrerequest);
  options.set(CURLOPT_PREREQDATA, this);
  configureTLS(options);
  return options.result();
}

void ConnectionTransfer::configureTLS(CurlEasyOptions& options) {
  // The delegate judges every server chain (onVerifyChain, onPrerequest), so libcurl loads no anchors and
  // checks no name of its own. Resumed TLS sessions would skip the handshake's chain, so there are none.
  options.set(CURLOPT_SSL_VERIFYPEER, 1L);
  options.set(CURLOPT_SSL_VERIFYHOST, 0L);
  options.set(CURLOPT_CAINFO, static_cast<const char*>(nullptr));
  options.set(CURLOPT_CAPATH, static_cast<const char*>(nullptr));
  options.set(CURLOPT_SSL_SESSIONID_CACHE, 0L);
  options.set(CURLOPT_SSL_CTX_FUNCTION, &ConnectionTransfer::onSSLContext);
  options.set(CURLOPT_SSL_CTX_DATA, this);
}

std::size_t ConnectionTransfer::onHeader(char* bytes, std::size_t size, std::size_t count, void* self) {
  return transferFrom(self).receiveHeaderLine(std::string_view(bytes, size * count));
}

std::size_t ConnectionTransfer::receiveHeaderLine(std::string_view line) {
  if (ended_) {
    return 0;
  }
  noteActivity();
  if (responseHeaders_.takeLine(line)) {
    onHeaderBlockEnd();
  }
  return ended_ ? 0 : line.size();
}

void ConnectionTransfer::onHeaderBlockEnd() {
  long statusCode = 0;
  if (const CURLcode read = curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &statusCode);
      read != CURLE_OK) {
    fail(urlErrorCodeForCurlResult(read));
    return;
  }
  if (statusCode < 200) {
    // An interim response (100 Continue); the final one follows.
    responseHeaders_.reset();
    return;
  }
  const HTTPHeaderFields& fields = responseHeaders_.fields();
  auto response =
      std::make_shared<HTTPURLResponse>(*request_.url(), static_cast<int>(statusCode), fields, peerAddress_);
  const auto location = fields.find("Location");
  if (isRedirectStatus(statusCode) && location != fields.end()) {
    if (std::optional<URLRequest> proposed = redirectRequest(statusCode, location->second)) {
      if (redirectsFollowed_ >= URLConnection::kMaximumRedirects) {
        fail(kURLErrorHTTPTooManyRedirects);
        return;
      }
      std::optional<URLRequest> decided;
      if (!tellDelegate([&](URLConnectionDelegate& delegate, URLConnection& connection) {
            decided = delegate.willSendRequest(connection, std::move(*proposed), *response);
          })) {
        return;
      }
      if (decided) {
        redirectToFollow_ = std::move(decided);
        return;
      }
    }
  }
  responseDelivered_ = true;
  if (mayCacheResponse(request_, *response)) {
    cacheCandidate_ = CachedURLResponse{response, {}};
  }
  tellDelegate([&](URLConnectionDelegate& delegate, URLConnection& connection) {
    delegate.didReceiveResponse(connection, response);
  });
}

std::optional<URLRequest> ConnectionTransfer::redirectRequest(long statusCode,
                                                              const std::string& location) const {
  std::optional<URL> target = URL::fromString(location, *request_.url());
  if (!target) {
    return std::nullopt;
  }
  URLRequest next = request_;
  const std::string& method = request_.HTTPMethod();
  const bool becomesGET = (statusCode == 303 && method != "HEAD") ||
                          ((statusCode == 301 || statusCode == 302) && method == "POST");
  if (becomesGET) {
    next.setHTTPMethod("GET");
    next.setHTTPBody(std::nullopt);
    next.setValue(std::nullopt, "Content-Type");
    next.setValue(std::nullopt, "Content-Length");
  }
  if (!sameOrigin(*target, *request_.url())) {
    // Credentials meant for one server are not handed to the next.
    next.setValue(std::nullopt, "Authorization");
  }
  next.setURL(std::move(target));
  return next;
}

std::size_t ConnectionTransfer::onBody(char* bytes, std::size_t size, std::size_t count, void* self) {
  return transferFrom(self).receiveBody(reinterpret_cast<const std::uint8_t*>(bytes), size * count);
}

std::size_t ConnectionTransfer::receiveBody(const std::uint8_t* bytes, std::size_t length) {
  if (ended_) {
    return 0;
  }
  noteActivity();
  if (redirectToFollow_ || !responseDelivered_) {
    return length;
  }
  auto disposition = URLConnectionDelegate::DataDisposition::kConsumed;
  if (!tellDelegate([&](URLConnectionDelegate& delegate, URLConnection& connection) {
        disposition = delegate.didReceiveData(connection, bytes, length);
      })) {
    return 0;
  }
  if (disposition == URLConnectionDelegate::DataDisposition::kNoSpace) {
    // libcurl keeps these bytes and offers them again once unpaused. Waiting for the receiver is not
    // network inactivity, so the idle timer rests meanwhile.
    receivingHeldBack_ = true;
    idleTimer_->invalidate();
    return CURL_WRITEFUNC_PAUSE;
  }
  if (cacheCandidate_) {
    if (cacheCandidate_->data.size() + length > URLCache::kMaximumEntryBytes) {
      cacheCandidate_.reset();
    } else {
      cacheCandidate_->data.insert(cacheCandidate_->data.end(), bytes, bytes + length);
    }
  }
  return length;
}

std::size_t ConnectionTransfer::onReadBody(char* buffer, std::size_t size, std::size_t count, void* self) {
  ConnectionTransfer& transfer = transferFrom(self);
  if (transfer.ended_) {
    return CURL_READFUNC_ABORT;
  }
  const std::ptrdiff_t read =
      transfer.request_.HTTPBodyStream()->read(reinterpret_cast<std::uint8_t*>(buffer), size * count);
  return read < 0 ? CURL_READFUNC_ABORT : static_cast<std::size_t>(read);
}

int ConnectionTransfer::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t uploadTotal,
                                   curl_off_t uploaded) {
  ConnectionTransfer& transfer = transferFrom(self);
  transfer.reportUpload(uploaded, uploadTotal);
  return transfer.ended_ ? 1 : 0;
}

void ConnectionTransfer::reportUpload(std::int64_t uploaded, std::int64_t uploadTotal) {
  if (ended_ || uploaded <= uploadedReported_) {
    return;
  }
  noteActivity();
  const std::int64_t sent = uploaded - uploadedReported_;
  uploadedReported_ = uploaded;
  const std::int64_t expected = uploadExpected_ >= 0 ? uploadExpected_ : (uploadTotal > 0 ? uploadTotal : -1);
  tellDelegate([&](URLConnectionDelegate& delegate, URLConnection& connection) {
    delegate.didSendBodyData(connection, sent, uploaded, expected);
  });
}

CURLcode ConnectionTransfer::onSSLContext(CURL*, void* context, void* self) {
  auto* sslContext = static_cast<SSL_CTX*>(context);
  // The chain is judged once per connection, while its transfer is alive to answer.
  SSL_CTX_set_options(sslContext, SSL_OP_NO_RENEGOTIATION);
  SSL_CTX_set_cert_verify_callback(sslContext, &ConnectionTransfer::onVerifyChain, self);
  return CURLE_OK;
}

int ConnectionTransfer::onVerifyChain(X509_STORE_CTX* storeContext, void* self) {
  ConnectionTransfer& transfer = transferFrom(self);
  // The connection is made: a handshake that fails still names the server it was with.
  char* primaryIP = nullptr;
  if (curl_easy_getinfo(transfer.easy_.get(), CURLINFO_PRIMARY_IP, &primaryIP) == CURLE_OK) {
    transfer.notePeerAddress(primaryIP);
  }
  std::vector<Data> chain = derOfX509Chain(X509_STORE_CTX_get0_untrusted(storeContext));
  if (chain.empty() && X509_STORE_CTX_get0_cert(storeContext) != nullptr) {
    chain.push_back(derOfX509(X509_STORE_CTX_get0_cert(storeContext)));
  }
  const bool accepted = transfer.judgeServer(std::move(chain));
  X509_STORE_CTX_set_error(storeContext, accepted ? X509_V_OK : X509_V_ERR_APPLICATION_VERIFICATION);
  return accepted ? 1 : 0;
}

int ConnectionTransfer::onPrerequest(void* self, char* primaryIP, char*, int, int) {
  ConnectionTransfer& transfer = transferFrom(self);
  if (transfer.ended_) {
    return CURL_PREREQFUNC_ABORT;
  }
  // Called on a new connection and on a reused one alike, so the address is the one this request goes to.
  transfer.notePeerAddress(primaryIP);
  // Called once for each time the request is about to go out, a resend after a lost connection included.
  if (++transfer.attempts_ > maximumAttemptsFor(transfer.request_)) {
    transfer.repeatRefused_ = true;
    return CURL_PREREQFUNC_ABORT;
  }
  if (transfer.trustJudged_ || !isHTTPSScheme(*transfer.request_.url())) {
    return CURL_PREREQFUNC_OK;
  }
  // A reused TLS connection: its chain was judged for an earlier load, perhaps by another policy.
  curl_tlssessioninfo* session = nullptr;
  if (const CURLcode read = curl_easy_getinfo(transfer.easy_.get(), CURLINFO_TLS_SSL_PTR, &session);
      read != CURLE_OK) {
    transfer.fail(urlErrorCodeForCurlResult(read));
    return CURL_PREREQFUNC_ABORT;
  }
  std::vector<Data> chain;
  if (session != nullptr && session->backend == CURLSSLBACKEND_OPENSSL && session->internals != nullptr) {
    chain = derOfX509Chain(SSL_get_peer_cert_chain(static_cast<SSL*>(session->internals)));
  }
  return transfer.judgeServer(std::move(chain)) ? CURL_PREREQFUNC_OK : CURL_PREREQFUNC_ABORT;
}

bool ConnectionTransfer::judgeServer(std::vector<Data> chain) {
  if (ended_) {
    return false;
  }
  trustJudged_ = true;
  ServerTrust trust(std::move(chain));
  const std::string host = request_.url()->host().value_or("");
  auto decision = URLConnectionDelegate::TrustDecision::kRefuse;
  if (!tellDelegate([&](URLConnectionDelegate& delegate, URLConnection& connection) {
        decision = delegate.shouldTrustServer(connection, trust, host);
      })) {
    return false;
  }
  trustRefused_ = decision != URLConnectionDelegate::TrustDecision::kAccept;
  return !trustRefused_;
}

void ConnectionTransfer::notePeerAddress(const char* address) {
  if (address != nullptr && *address != '\0') {
    peerAddress_ = address;
  }
}

void ConnectionTransfer::onTransferDone(CURLcode result) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (ended_) {
    return;
  }
  if (trustRefused_) {
    fail(kURLErrorServerCertificateUntrusted);
    return;
  }
  const std::shared_ptr<InputStream>& bodyStream = request_.HTTPBodyStream();
  if (bodyStream && bodyStream->streamStatus() == StreamStatus::kError && bodyStream->streamError()) {
    fail(*bodyStream->streamError());
    return;
  }
  if (repeatRefused_) {
    fail(kURLErrorNetworkConnectionLost);
    return;
  }
  if (result != CURLE_OK) {
    fail(urlErrorCodeForCurlResult(result));
    return;
  }
  if (redirectToFollow_) {
    ++redirectsFollowed_;
    request_ = std::move(*redirectToFollow_);
    sendCurrentRequest();
    return;
  }
  if (!responseDelivered_) {
    fail(kURLErrorBadServerResponse);
    return;
  }
  finish();
}

void ConnectionTransfer::armIdleTimer() {
  if (idleTimer_) {
    idleTimer_->invalidate();
  }
  std::weak_ptr<ConnectionTransfer> weakSelf = shared_from_this();
  idleTimer_ =
      Timer::scheduled(engine_->loop(), idleIntervalOf(request_), Timer::Repeats::kNo, [weakSelf](Timer&) {
        if (auto self = weakSelf.lock()) {
          self->fail(kURLErrorTimedOut);
        }
      });
}

void ConnectionTransfer::noteActivity() {
  if (idleTimer_ && idleTimer_->isValid()) {
    idleTimer_->setFireDate(engine_->loop().now() + idleIntervalOf(request_));
  }
}

bool ConnectionTransfer::tellDelegate(const DelegateCall& call) {
  if (ended_) {
    return false;
  }
  const std::shared_ptr<URLConnectionDelegate> delegate = delegate_.lock();
  if (!delegate) {
    cancel();
    return false;
  }
  // The delegate may cancel, or drop its last reference to the connection, while it is being called.
  const std::shared_ptr<ConnectionTransfer> keepAlive = shared_from_this();
  const std::shared_ptr<URLConnection> connection = connection_;
  call(*delegate, *connection);
  return !ended_;
}

void ConnectionTransfer::fail(const Error& error) {
  end([&](URLConnectionDelegate& delegate, URLConnection& connection) {
    delegate.didFailWithError(connection, error);
  });
}

void ConnectionTransfer::fail(URLErrorCode code) {
  fail(makeURLError(code, request_.url(), peerAddress_));
}

bool ConnectionTransfer::offerToCache() {
  std::optional<CachedURLResponse> proposed = std::exchange(cacheCandidate_, std::nullopt);
  if (!proposed) {
    return true;
  }
  std::optional<CachedURLResponse> decided;
  if (!tellDelegate([&](URLConnectionDelegate& delegate, URLConnection& connection) {
        decided = delegate.willCacheResponse(connection, std::move(*proposed));
      })) {
    return false;
  }
  if (decided) {
    URLCache::sharedURLCache().storeCachedResponse(std::move(*decided), request_);
  }
  return true;
}

void ConnectionTransfer::finish() {
  if (!offerToCache()) {
    return;
  }
  end([](URLConnectionDelegate& delegate, URLConnection& connection) {
    delegate.didFinishLoading(connection);
  });
}

void ConnectionTransfer::end(const DelegateCall& lastCall) {
  if (ended_) {
    return;
  }
  ended_ = true;
  if (idleTimer_) {
    idleTimer_->invalidate();
  }
  if (engine_ != nullptr) {
    engine_->remove(*this);
  }
  const std::shared_ptr<InputStream>& bodyStream = request_.HTTPBodyStream();
  if (bodyStream && bodyStream->streamStatus() != StreamStatus::kNotOpen) {
    bodyStream->close();
  }
  const std::shared_ptr<ConnectionTransfer> keepAlive = shared_from_this();
  const std::shared_ptr<URLConnection> connection = std::move(connection_);
  const std::shared_ptr<URLConnectionDelegate> delegate = delegate_.lock();
  if (lastCall && delegate && connection) {
    lastCall(*delegate, *connection);
  }
}

}  // namespace ns
