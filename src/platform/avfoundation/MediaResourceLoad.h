#pragma once

// av::MediaResourceLoad: one GET of a playlist, key or segment through URL loading on the calling thread's
// run loop, with its failure already in the media framework's terms (MediaErrors.h): an HTTP status other
// than 2xx is a CoreMedia error naming the URL, a transport failure a CFNetwork one, and a body larger than
// the load's maximum (by its Content-Length or by the bytes received) a kMediaResourceTooLarge error that
// stops the load at once. The completion is called once, on that loop, never inside start(); after cancel()
// it is never called.
//
// Thread-safety: main thread only (the thread whose loop runs the load).

#include <cstddef>
#include <functional>
#include <memory>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/URL.h"
#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionDelegate.h"

namespace av {

class MediaResourceLoad : public ns::URLConnectionDelegate,
                          public std::enable_shared_from_this<MediaResourceLoad> {
 public:
  using Completion = std::function<void(ns::Result<ns::Data> body)>;

  // Generous bounds for what each kind of resource may hold; a body past them is an error, not media.
  static constexpr std::size_t kMaximumPlaylistSize = std::size_t{8} << 20;
  static constexpr std::size_t kMaximumKeySize = std::size_t{64} << 10;
  static constexpr std::size_t kMaximumSegmentSize = std::size_t{64} << 20;

  // Starts loading `url`, whose body may hold at most `maximumSize` bytes, and returns the load. The caller
  // keeps it: dropping it cancels the load.
  static std::shared_ptr<MediaResourceLoad> start(const ns::URL& url, std::size_t maximumSize,
                                                  Completion completion);
  ~MediaResourceLoad() override;

  // Stops the load; the completion is not called.
  void cancel();

  void didReceiveResponse(ns::URLConnection& connection,
                          std::shared_ptr<const ns::URLResponse> response) override;
  DataDisposition didReceiveData(ns::URLConnection& connection, const std::uint8_t* bytes,
                                 std::size_t length) override;
  void didFinishLoading(ns::URLConnection& connection) override;
  void didFailWithError(ns::URLConnection& connection, const ns::Error& error) override;

  // Use start(); public for std::make_shared.
  MediaResourceLoad(ns::URL url, std::size_t maximumSize, Completion completion);

 private:
  // Stops the connection and fails the load with kMediaResourceTooLarge.
  void failTooLarge();
  void finish(ns::Result<ns::Data> result);

  // Constant after construction
  const ns::URL url_;
  const std::size_t maximumSize_;

  Completion completion_;
  std::shared_ptr<ns::URLConnection> connection_;
  int statusCode_ = 0;
  ns::Data body_;
};

}  // namespace av
