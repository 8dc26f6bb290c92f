#pragma once

// QMDownloadTransfer: one GET of the download manager, a lesson's playlist or one of its segments, over a
// URL data load on the main run loop. The body is kept in memory and handed over whole when the load ends.
// Only a reply that can be stored is accepted: a 2xx status with a "Content-Type" of exactly
// "application/x-mpegURL;charset=utf-8" or "video/MP2T" (same letter case, no other parameters). Any other
// reply is cancelled as soon as its header is in. A body larger than the transfer's maximum, announced by its
// "Content-Length" or found while it arrives, is cancelled at once (kQMDownloadTransferBodyTooLarge). A body
// cut short of its "Content-Length" is a transport failure of the connection.
//
// The completion is called exactly once, on the main loop, unless the transfer is cancelled first; after
// cancel() returns it is never called. Destroying the last reference cancels the transfer.
//
// Thread-safety: main thread only.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/avfoundation/MediaResourceLoad.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/URLDataLoad.h"

namespace learning {

// The errors of a reply refused on arrival; transport failures keep their URL error domain.
inline constexpr std::string_view kQMDownloadTransferErrorDomain = "com.quillmark.transfer";
inline constexpr std::int64_t kQMDownloadTransferRejectedResponse = 1;
inline constexpr std::int64_t kQMDownloadTransferBodyTooLarge = 2;

class QMDownloadTransfer {
 public:
  // Seconds without network activity after which the transfer fails.
  static constexpr double kTimeoutInterval = 30.0;
  // The most a playlist and a segment may hold: what the player accepts of each, since a stored file is
  // played from the lesson server through the same loads. Both lie far beyond a real lesson's (a playlist of
  // some kilobytes, segments of a few megabytes), and bound the memory a transfer can take.
  static constexpr std::size_t kMaximumPlaylistSize = av::MediaResourceLoad::kMaximumPlaylistSize;
  static constexpr std::size_t kMaximumSegmentSize = av::MediaResourceLoad::kMaximumSegmentSize;

  using Completion = std::function<void(ns::Result<ns::Data> body)>;

  // Starts loading `url`, whose body may hold at most `maximumSize` bytes, on the calling thread's run loop.
  // Returns the transfer, which the caller keeps while it wants the result. A URL that does not parse fails
  // on a later turn of the loop.
  static std::shared_ptr<QMDownloadTransfer> start(const std::string& url, std::size_t maximumSize,
                                                   Completion completion);
  ~QMDownloadTransfer();
  QMDownloadTransfer(const QMDownloadTransfer&) = delete;
  QMDownloadTransfer& operator=(const QMDownloadTransfer&) = delete;

  // Stops the transfer; the completion is not called.
  void cancel();

  // Public only for std::make_shared; start() is the way in.
  explicit QMDownloadTransfer(Completion completion);

 private:
  void complete(ns::Result<ns::Data> body);

  std::shared_ptr<ns::URLDataLoad> load_;
  Completion completion_;
};

}  // namespace learning
