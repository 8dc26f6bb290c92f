#include "platform/avfoundation/URLAsset.h"

#include <algorithm>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"

namespace av {

std::shared_ptr<URLAsset> URLAsset::URLAssetWithURL(ns::URL url, URLAssetOptions options) {
  QM_DCHECK_MAIN_THREAD();
  return std::make_shared<URLAsset>(std::move(url), options);
}

URLAsset::URLAsset(ns::URL url, URLAssetOptions options) : url_(std::move(url)), options_(options) {}

void URLAsset::loadValuesAsynchronouslyForKeys(const std::vector<std::string>& keys,
                                               std::function<void()> handler) {
  QM_DCHECK_MAIN_THREAD();
  const bool wantsDuration = std::ranges::find(keys, kDurationKey) != keys.end();
  if (wantsDuration && durationStatus_ == KeyValueStatus::kUnknown) {
    durationStatus_ = KeyValueStatus::kLoading;
    std::weak_ptr<URLAsset> weakSelf = weak_from_this();
    load_ = MediaResourceLoad::start(url_, MediaResourceLoad::kMaximumPlaylistSize,
                                     [weakSelf](ns::Result<ns::Data> body) {
                                       if (std::shared_ptr<URLAsset> self = weakSelf.lock()) {
                                         self->playlistArrived(std::move(body));
                                       }
                                     });
  }
  if (wantsDuration && durationStatus_ == KeyValueStatus::kLoading) {
    handlers_.push_back(std::move(handler));
  } else if (handler) {
    // Nothing to wait for; the handler still never runs inside this call.
    ns::RunLoop::main().post(std::move(handler));
  }
}

void URLAsset::playlistArrived(ns::Result<ns::Data> body) {
  load_.reset();
  if (!body.ok()) {
    error_ = mediaFailure(kAVErrorUnknown, body.error());
    settle(KeyValueStatus::kFailed);
    return;
  }
  const ns::Data& bytes = *body;
  ns::Result<MediaPlaylist> playlist =
      MediaPlaylist::read(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), url_);
  if (!playlist.ok()) {
    error_ = mediaFailure(kAVErrorUnknown, playlist.error());
    settle(KeyValueStatus::kFailed);
    return;
  }
  duration_ = playlist->hasEndList() ? Time::fromSeconds(playlist->totalDuration()) : Time::indefiniteTime();
  playlist_ = std::make_shared<const MediaPlaylist>(std::move(*playlist));
  settle(KeyValueStatus::kLoaded);
}

KeyValueStatus URLAsset::statusOfValueForKey(std::string_view key, std::optional<ns::Error>* error) const {
  QM_DCHECK_MAIN_THREAD();
  if (key != kDurationKey) {
    return KeyValueStatus::kUnknown;
  }
  if (error && durationStatus_ == KeyValueStatus::kFailed) {
    *error = error_;
  }
  return durationStatus_;
}

void URLAsset::cancelLoading() {
  QM_DCHECK_MAIN_THREAD();
  if (durationStatus_ != KeyValueStatus::kLoading) {
    return;
  }
  load_.reset();
  // The handlers must not run inside this call: their owner is usually tearing down right now.
  std::vector<std::function<void()>> handlers = std::move(handlers_);
  handlers_.clear();
  durationStatus_ = KeyValueStatus::kCancelled;
  for (std::function<void()>& handler : handlers) {
    if (handler) {
      ns::RunLoop::main().post(std::move(handler));
    }
  }
}

void URLAsset::settle(KeyValueStatus status) {
  durationStatus_ = status;
  std::vector<std::function<void()>> handlers = std::move(handlers_);
  handlers_.clear();
  for (std::function<void()>& handler : handlers) {
    if (handler) {
      handler();
    }
  }
}

Time URLAsset::duration() const {
  QM_DCHECK_MAIN_THREAD();
  return duration_;
}

const std::shared_ptr<const MediaPlaylist>& URLAsset::playlist() const {
  QM_DCHECK_MAIN_THREAD();
  return playlist_;
}

}  // namespace av
