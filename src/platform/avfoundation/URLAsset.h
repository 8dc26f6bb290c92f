#pragma once

// av::URLAsset: the media at a URL, whose properties load asynchronously. The one property loaded here is
// "duration": the media playlist is fetched through URL loading on the main run loop and the duration is
// the sum of its segments' "#EXTINF:" durations, or the indefinite time when the list has no
// "#EXT-X-ENDLIST" (it may still grow). A failed load keeps the error: kAVFoundationErrorDomain /
// kAVErrorUnknown, whose underlying error is the cause (MediaErrors.h): CoreMedia's kMediaResourceNotFound
// for a 404, kMediaResourceHTTPError for another HTTP error status, kMediaPlaylistParseError for a text that
// is no playlist, and the URL-loading code in kCFErrorDomainCFNetwork for a transport failure.
//
// Thread-safety: main thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/avfoundation/MediaPlaylist.h"
#include "platform/avfoundation/MediaResourceLoad.h"
#include "platform/avfoundation/Time.h"
#include "platform/foundation/values/Error.h"
#include "platform/net/URL.h"

namespace av {

// The load status of one property.
enum class KeyValueStatus { kUnknown = 0, kLoading = 1, kLoaded = 2, kFailed = 3, kCancelled = 4 };

// How an asset should read the media. The engine always times precisely and follows the playlist's
// references wherever they lead, so both are kept only to be read back.
struct URLAssetOptions {
  bool preferPreciseDurationAndTiming = false;
  std::int64_t referenceRestrictions = 0;
};

class URLAsset : public std::enable_shared_from_this<URLAsset> {
 public:
  // The property key of the media's duration.
  static constexpr std::string_view kDurationKey = "duration";

  // Returns an asset of `url` that has loaded nothing yet.
  static std::shared_ptr<URLAsset> URLAssetWithURL(ns::URL url, URLAssetOptions options = {});

  // Starts loading `keys`, unless loading has started already, and calls `handler` once, on the main loop
  // and never inside this call, when every key of them is loaded, failed or cancelled. Keys other than
  // kDurationKey are not loadable and stay kUnknown.
  void loadValuesAsynchronouslyForKeys(const std::vector<std::string>& keys, std::function<void()> handler);
  // Returns the status of `key`; on kFailed, `error` (when given) receives the failure.
  KeyValueStatus statusOfValueForKey(std::string_view key, std::optional<ns::Error>* error = nullptr) const;
  // Stops loading; keys still loading become kCancelled and the pending handlers are called with that.
  void cancelLoading();

  const ns::URL& URL() const { return url_; }
  const URLAssetOptions& options() const { return options_; }
  // The duration once loaded; before that a zero time.
  Time duration() const;
  // The playlist read by the duration load, or nullptr before it has loaded.
  const std::shared_ptr<const MediaPlaylist>& playlist() const;

  // Use URLAssetWithURL(); public for std::make_shared.
  URLAsset(ns::URL url, URLAssetOptions options);

 private:
  void playlistArrived(ns::Result<ns::Data> body);
  void settle(KeyValueStatus status);

  // Constant after construction
  const ns::URL url_;
  const URLAssetOptions options_;

  KeyValueStatus durationStatus_ = KeyValueStatus::kUnknown;
  std::optional<ns::Error> error_;
  Time duration_;
  std::shared_ptr<const MediaPlaylist> playlist_;
  std::shared_ptr<MediaResourceLoad> load_;
  std::vector<std::function<void()>> handlers_;
};

}  // namespace av
