#pragma once

// ns::URLSessionDelegate: what a URLSession tells the object that owns it about the session and each of its
// tasks. Every callback has a default, so a delegate overrides only what it needs. All calls come on the
// session's delegate queue, one at a time, in the order the events happened. For each task:
//
//   taskDidReceiveChallenge / didReceiveChallenge   for a TLS server's trust (the session-level one when the
//                                                    delegate answers it) and for each 401 Basic reply;
//   willPerformHTTPRedirection                       for each redirect;
//   needNewBodyStream                                when a streamed body must be sent again;
//   didSendBodyData                                  while the body goes out;
//   didReceiveResponse, didReceiveData               data and upload tasks: the final response, then its
//                                                    body;
//   didBecomeDownloadTask                            a data task whose response was answered
//                                                    kBecomeDownload, after which the download task's
//                                                    calls follow;
//   didResumeAtOffset, didWriteData,                 download tasks: where a resumed download goes on from,
//   didFinishDownloadingToPath                       the body written to a temporary file, then the file
//                                                    handed over;
//   didCompleteWithError                             exactly once, last.
//
// The decision callbacks (the two challenges, redirection, needNewBodyStream, didReceiveResponse,
// willCacheResponse, which comes after the body and before didCompleteWithError) are asked
// only when answers() says the delegate answers them; otherwise the session decides as the platform does
// by default. While one is asked, loading waits for the answer (at most the request's time-out, after which
// the default applies). didBecomeInvalidWithError is the last call a session makes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Error.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/net/InputStream.h"
#include "platform/net/URLAuthenticationChallenge.h"
#include "platform/net/URLCache.h"
#include "platform/net/URLRequest.h"
#include "platform/net/URLResponse.h"

namespace ns {

class URLSession;
class URLSessionTask;

// The platform's numbering.
enum class URLSessionResponseDisposition : int { kCancel = 0, kAllow = 1, kBecomeDownload = 2 };

class URLSessionDelegate {
 public:
  enum class Callback {
    kDidReceiveChallenge,
    kTaskDidReceiveChallenge,
    kWillPerformHTTPRedirection,
    kNeedNewBodyStream,
    kDidReceiveResponse,
    kWillCacheResponse,
  };

  virtual ~URLSessionDelegate() = default;

  // Returns whether the decision `callback` is to be asked. The default answers none.
  virtual bool answers(Callback /*callback*/) const { return false; }

  virtual void didBecomeInvalidWithError(URLSession& /*session*/, const std::optional<Error>& /*error*/) {}
  // A TLS server challenge for the whole session.
  virtual URLAuthenticationChallengeAnswer didReceiveChallenge(
      URLSession& /*session*/, const URLAuthenticationChallenge& /*challenge*/) {
    return {};
  }

  virtual URLAuthenticationChallengeAnswer taskDidReceiveChallenge(
      URLSession& /*session*/, URLSessionTask& /*task*/, const URLAuthenticationChallenge& /*challenge*/) {
    return {};
  }
  // Returns the request to follow the redirect with (`proposed`, or a changed copy), or nullopt to take
  // `response` as the final response.
  virtual std::optional<URLRequest> willPerformHTTPRedirection(URLSession& /*session*/,
                                                               URLSessionTask& /*task*/,
                                                               const HTTPURLResponse& /*response*/,
                                                               URLRequest proposed) {
    return proposed;
  }
  // Returns a fresh stream of the body, or nullptr, which fails the task.
  virtual std::shared_ptr<InputStream> needNewBodyStream(URLSession& /*session*/, URLSessionTask& /*task*/) {
    return nullptr;
  }
  // `totalBytesExpectedToSend` is -1 when the length is unknown.
  virtual void didSendBodyData(URLSession& /*session*/, URLSessionTask& /*task*/, std::int64_t /*bytesSent*/,
                               std::int64_t /*totalBytesSent*/, std::int64_t /*totalBytesExpectedToSend*/) {}
  // `error` is nullopt on success; a cancelled task fails with kURLErrorCancelled.
  virtual void didCompleteWithError(URLSession& /*session*/, URLSessionTask& /*task*/,
                                    const std::optional<Error>& /*error*/) {}

  virtual URLSessionResponseDisposition didReceiveResponse(
      URLSession& /*session*/, URLSessionTask& /*task*/,
      const std::shared_ptr<const URLResponse>& /*response*/) {
    return URLSessionResponseDisposition::kAllow;
  }
  virtual void didReceiveData(URLSession& /*session*/, URLSessionTask& /*task*/, const Data& /*data*/) {}
  // Returns what the URL cache is to store of a data or upload task's finished load (URLCache.h):
  // `proposed`, a changed copy, or nullopt for nothing.
  virtual std::optional<CachedURLResponse> willCacheResponse(URLSession& /*session*/,
                                                             URLSessionTask& /*task*/,
                                                             CachedURLResponse proposed) {
    return proposed;
  }
  // A data task whose response was answered kBecomeDownload goes on as `downloadTask`, a new running
  // download task that takes the same load (the body goes to its file); the data task is completed without
  // a didCompleteWithError call of its own.
  virtual void didBecomeDownloadTask(URLSession& /*session*/, URLSessionTask& /*dataTask*/,
                                     const std::shared_ptr<URLSessionTask>& /*downloadTask*/) {}

  // A download made from resume data goes on from `fileOffset` bytes (0 when the server sent the whole body
  // again); `expectedTotalBytes` is -1 when the server announced no length.
  virtual void didResumeAtOffset(URLSession& /*session*/, URLSessionTask& /*task*/,
                                 std::int64_t /*fileOffset*/, std::int64_t /*expectedTotalBytes*/) {}
  // `totalBytesExpectedToWrite` is -1 when the server announced no length.
  virtual void didWriteData(URLSession& /*session*/, URLSessionTask& /*task*/, std::int64_t /*bytesWritten*/,
                            std::int64_t /*totalBytesWritten*/, std::int64_t /*totalBytesExpectedToWrite*/) {}
  // The whole body is in the file at `location`; move it elsewhere before returning, since the session
  // removes whatever is still there afterwards.
  virtual void didFinishDownloadingToPath(URLSession& /*session*/, URLSessionTask& /*task*/,
                                          const std::string& /*location*/) {}
};

}  // namespace ns
