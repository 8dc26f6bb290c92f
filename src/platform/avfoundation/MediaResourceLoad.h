#pragma once

// av::MediaResourceLoad: one GET of a playlist, key or segment through URL loading (ns::URLDataLoad) on the
// calling thread's run loop, with its failure already in the media framework's terms (MediaErrors.h): an
// HTTP status other than 2xx is a CoreMedia error naming the URL, a transport failure a CFNetwork one, and a
// body larger than the load's maximum (by its Content-Length or by the bytes received) a
// kMediaResourceTooLarge error that stops the load at once. Each of these errors carries the address of the
// server reached, once a connection was made, under ns::kURLErrorPeerAddressKey. The completion is called
// once, on that loop, never inside start(); after cancel() it is never called.
//
// Thread-safety: main thread only (the thread whose loop runs the load).

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/URL.h"
#include "platform/net/URLDataLoad.h"

namespace av {

class MediaResourceLoad {
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
  ~MediaResourceLoad();
  MediaResourceLoad(const MediaResourceLoad&) = delete;
  MediaResourceLoad& operator=(const MediaResourceLoad&) = delete;

  // Stops the load; the completion is not called.
  void cancel();

  // The numeric address of the server that answered ("127.0.0.1"), known from the moment the completion is
  // called (read it there, before dropping the load); nullopt before, or when the load failed without
  // reaching a server. A failure carries the same address in its user info.
  const std::optional<std::string>& peerAddress() const { return peerAddress_; }

  // Use start(); public for std::make_shared.
  MediaResourceLoad(ns::URL url, std::size_t maximumSize, Completion completion);

 private:
  // Returns the failure of the load in the media framework's terms.
  ns::Error mediaErrorFor(const ns::Error& loadError) const;
  void finish(const std::shared_ptr<const ns::URLResponse>& response, ns::Result<ns::Data> body);

  // Constant after construction
  const ns::URL url_;
  const std::size_t maximumSize_;
  const ns::ThreadChecker ownerThread_;

  Completion completion_;
  std::shared_ptr<ns::URLDataLoad> load_;
  std::optional<std::string> peerAddress_;
};

}  // namespace av
