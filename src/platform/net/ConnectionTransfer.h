#pragma once

// ns::ConnectionTransfer: the loading work behind one URLConnection: a libcurl easy handle (lent by the
// engine) configured from the current request, the response being read, redirects, the idle time-out,
// back-pressure, and the calls to the delegate. When a kept-alive connection dies unanswered after the
// request went out, a GET or HEAD is sent once more on a new connection; any other request fails with
// kURLErrorNetworkConnectionLost, since the server may have acted on it. It follows URLConnectionDelegate's
// order and makes no delegate call once it has ended. A load that the network link (NetworkLink.h) does not
// carry fails with kURLErrorNotConnectedToInternet before anything is sent. While running it holds its
// URLConnection, as the loop holds a running connection. Thread-safety: used only on the thread of the engine
// it runs on.

#include <curl/curl.h>
#include <openssl/ssl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/net/CurlEasyOptions.h"
#include "platform/net/CurlHandles.h"
#include "platform/net/CurlRequestSetup.h"
#include "platform/net/ResponseHeaderReader.h"
#include "platform/net/URLCache.h"
#include "platform/net/URLConnectionDelegate.h"
#include "platform/net/URLError.h"
#include "platform/net/URLRequest.h"

namespace ns {

class CurlMultiEngine;
class URLConnection;

class ConnectionTransfer : public std::enable_shared_from_this<ConnectionTransfer> {
 public:
  ConnectionTransfer(std::shared_ptr<URLConnection> connection, std::weak_ptr<URLConnectionDelegate> delegate,
                     URLRequest request);
  ConnectionTransfer(const ConnectionTransfer&) = delete;
  ConnectionTransfer& operator=(const ConnectionTransfer&) = delete;

  // Begins loading on the calling thread's engine, on a later turn of its loop.
  void start();
  // Ends the load without a delegate call. Does nothing once ended.
  void cancel();
  // Ends the load with kURLErrorNetworkConnectionLost, as when the link under it went away. Does nothing
  // once ended.
  void loseConnection();
  // Lets data flow again, on a later turn of the loop, if the delegate has had no space by then.
  void resumeReceiving();

  const URLRequest& currentRequest() const { return request_; }
  // The handle borrowed from the engine for the current request; nullptr when the transfer holds none.
  CURL* easyHandle() const { return easy_.get(); }
  // Called by the engine when it takes the handle back; returns it.
  CurlEasyHandle handleReturned() { return std::move(easy_); }
  // Called by the engine while the transfer waits for its server's turn: waiting is not network
  // inactivity, so the idle timer rests meanwhile and starts afresh when the turn comes.
  void setWaitingForTurn(bool waiting);

  // Called by the engine once libcurl has ended the transfer with `result`; the handle is already out of
  // the engine.
  void onTransferDone(CURLcode result);

 private:
  using DelegateCall = std::function<void(URLConnectionDelegate&, URLConnection&)>;

  // libcurl and OpenSSL callbacks; `self` is the transfer.
  static std::size_t onHeader(char* bytes, std::size_t size, std::size_t count, void* self);
  static std::size_t onBody(char* bytes, std::size_t size, std::size_t count, void* self);
  static std::size_t onReadBody(char* buffer, std::size_t size, std::size_t count, void* self);
  static int onProgress(void* self, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t uploadTotal,
                        curl_off_t uploaded);
  static CURLcode onSSLContext(CURL* easy, void* context, void* self);
  static int onVerifyChain(X509_STORE_CTX* storeContext, void* self);
  static int onPrerequest(void* self, char* primaryIP, char* localIP, int primaryPort, int localPort);

  // Sends the current request: checks it, configures the handle and adds it to the engine.
  void sendCurrentRequest();
  // Returns CURLE_OK, or the first option libcurl refused.
  CURLcode configureHandle();
  void configureTLS(CurlEasyOptions& options);

  std::size_t receiveHeaderLine(std::string_view line);
  void onHeaderBlockEnd();
  std::optional<URLRequest> redirectRequest(long statusCode, const std::string& location) const;
  std::size_t receiveBody(const std::uint8_t* bytes, std::size_t length);
  void reportUpload(std::int64_t uploaded, std::int64_t uploadTotal);
  bool judgeServer(std::vector<Data> chain);
  // Notes the address of the server the current request's connection reached, as libcurl reports it.
  void notePeerAddress(const char* address);

  void armIdleTimer();
  void noteActivity();
  // Calls the delegate unless the load has ended or the delegate is gone (which cancels the load). Returns
  // true when the load is still going afterwards.
  bool tellDelegate(const DelegateCall& call);
  // Proposes the cache candidate to the delegate and stores its answer; returns false when the load ended
  // meanwhile.
  bool offerToCache();
  void fail(const Error& error);
  void fail(URLErrorCode code);
  void finish();
  // Ends the load: stops the transfer and timer, then makes `lastCall` (if any) as the last delegate call.
  void end(const DelegateCall& lastCall);

  // Constant after construction
  const std::weak_ptr<URLConnectionDelegate> delegate_;
  const ThreadChecker ownerThread_;  // the thread that starts the load, whose engine runs it

  std::shared_ptr<URLConnection> connection_;  // held while running; reset when the load ends
  CurlMultiEngine* engine_ = nullptr;          // the engine of the thread that started the load
  CurlEasyHandle easy_;                        // borrowed from engine_ while a request is out
  URLRequest request_;
  int redirectsFollowed_ = 0;
  bool ended_ = false;
  std::shared_ptr<Timer> idleTimer_;

  // State of the current request, reset each time one is sent.
  CurlHeaderList headerList_;
  ResponseHeaderReader responseHeaders_;
  bool responseDelivered_ = false;
  // The reply and its body so far, while the load may propose them for caching (URLCache.h).
  std::optional<CachedURLResponse> cacheCandidate_;
  std::optional<URLRequest> redirectToFollow_;
  bool receivingHeldBack_ = false;
  bool trustJudged_ = false;
  bool trustRefused_ = false;
  std::int64_t uploadedReported_ = 0;
  std::int64_t uploadExpected_ = -1;
  std::optional<std::string> peerAddress_;  // once a connection was made for the request
  int attempts_ = 0;                        // times libcurl set out to send the request
  bool repeatRefused_ = false;  // a resend was stopped: the connection was lost after the request went out
};

}  // namespace ns
