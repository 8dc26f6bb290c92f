#pragma once

// QMDownloadTransfer: one GET of the download manager, a lesson's playlist or one of its segments, over a
// URL connection on the main run loop. The body is kept in memory and handed over whole when the load
// ends. Only a reply that can be stored is accepted: a 2xx status with a "Content-Type" of exactly
// "application/x-mpegURL;charset=utf-8" or "video/MP2T" (same letter case, no other parameters). Any other
// reply is cancelled as soon as its header is in. A body cut short of its "Content-Length" is a transport
// failure of the connection.
//
// The completion is called exactly once, on the main loop, unless the transfer is cancelled first; after
// cancel() returns it is never called. Destroying the last reference cancels the transfer.
//
// Thread-safety: main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/URLConnection.h"

namespace learning {

// The error of a reply refused on arrival; transport failures keep their URL error domain.
inline constexpr std::string_view kQMDownloadTransferErrorDomain = "com.quillmark.transfer";
inline constexpr std::int64_t kQMDownloadTransferRejectedResponse = 1;

class QMDownloadTransfer : public ns::URLConnectionDelegate,
                           public std::enable_shared_from_this<QMDownloadTransfer> {
 public:
  // Seconds without network activity after which the transfer fails.
  static constexpr double kTimeoutInterval = 30.0;

  using Completion = std::function<void(ns::Result<ns::Data> body)>;

  // Starts loading `url` on the calling thread's run loop. Returns the transfer, which the caller keeps
  // while it wants the result. A URL that does not parse fails on a later turn of the loop.
  static std::shared_ptr<QMDownloadTransfer> start(const std::string& url, Completion completion);
  ~QMDownloadTransfer() override;

  // Stops the transfer; the completion is not called.
  void cancel();

  void didReceiveResponse(ns::URLConnection& connection,
                          std::shared_ptr<const ns::URLResponse> response) override;
  DataDisposition didReceiveData(ns::URLConnection& connection, const std::uint8_t* bytes,
                                 std::size_t length) override;
  void didFinishLoading(ns::URLConnection& connection) override;
  void didFailWithError(ns::URLConnection& connection, const ns::Error& error) override;

  // Public only for std::make_shared; start() is the way in.
  explicit QMDownloadTransfer(Completion completion);

 private:
  void complete(ns::Result<ns::Data> body);

  std::shared_ptr<ns::URLConnection> connection_;
  Completion completion_;
  ns::Data body_;
};

}  // namespace learning
