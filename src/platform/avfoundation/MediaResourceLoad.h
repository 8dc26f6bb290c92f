#pragma once

// av::MediaResourceLoad: one GET of a playlist, key or segment through URL loading on the calling thread's
// run loop, with its failure already in the media framework's terms (MediaErrors.h): an HTTP status other
// than 2xx is a CoreMedia error naming the URL, a transport failure a CFNetwork one. The completion is
// called once, on that loop, never inside start(); after cancel() it is never called.
//
// Thread-safety: main thread only (the thread whose loop runs the load).

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

  // Starts loading `url` and returns the load. The caller keeps it: dropping it cancels the load.
  static std::shared_ptr<MediaResourceLoad> start(const ns::URL& url, Completion completion);
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
  MediaResourceLoad(ns::URL url, Completion completion);

 private:
  void finish(ns::Result<ns::Data> result);

  // Constant after construction
  const ns::URL url_;

  Completion completion_;
  std::shared_ptr<ns::URLConnection> connection_;
  int statusCode_ = 0;
  ns::Data body_;
};

}  // namespace av
