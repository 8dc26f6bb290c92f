#pragma once

// What the media benchmarks share: the lesson they play, at a lesson recording's real size (1280x720, 25
// pictures a second) in the sample back end's ten-second segments, encoded once and kept in the temporary
// folder for later runs; one play of a URL as the application starts one (an item, its player and the layer
// that shows the player's picture) through the media engine's public API; the stall notifications of a
// play; and the process's resident memory as the kernel counts it.
// Thread-safety: main thread only.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/avfoundation/Player.h"
#include "platform/avfoundation/PlayerItem.h"
#include "platform/avfoundation/PlayerLayer.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "sample_backend/media/MediaLibrary.h"

namespace mediabench {

inline constexpr sample_backend::media::VideoFormat kRecordingVideo{
    .width = 1280, .height = 720, .framesPerSecond = 25};
inline constexpr double kSegmentSeconds = 10.0;

// The folder where the benchmarks keep what takes long to make.
inline std::string benchCacheFolder() {
  return (std::filesystem::temp_directory_path() / "quillmark-media-bench").string();
}

// The options of a `minutes`-minute lesson at kRecordingVideo: encoding it takes longer than playing it, so
// the first run keeps it in benchCacheFolder() and later runs read it from there.
inline sample_backend::media::MediaOptions recordingLesson(int minutes) {
  return {.segmentCount = static_cast<std::size_t>(minutes * 60 / kSegmentSeconds),
          .segmentDuration = kSegmentSeconds,
          .video = kRecordingVideo,
          .cacheFolder = benchCacheFolder() + "/lessons"};
}

// One play of the lesson at a URL: made and started at once, as a tap on a lesson does, and stopped when it
// goes. Counts the stalls of its item.
class Playback {
 public:
  Playback(const std::string& url, float rate)
      : item_(av::PlayerItem::playerItemWithURL(*ns::URL::fromString(url))),
        player_(av::Player::playerWithPlayerItem(item_)),
        stallToken_(ns::NotificationCenter::defaultCenter().addObserverForName(
            std::string(av::kAVPlayerItemPlaybackStalledNotification), item_, nullptr,
            [this](const ns::Notification&) { ++stalls_; })) {
    layer_.setPlayer(player_);
    player_->setRate(rate);
  }
  ~Playback() { ns::NotificationCenter::defaultCenter().removeObserver(stallToken_); }
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  av::PlayerItem& item() { return *item_; }
  av::Player& player() { return *player_; }
  const av::PlayerLayer& layer() const { return layer_; }
  bool failed() const { return item_->status() == av::PlayerItemStatus::kFailed; }
  int stalls() const { return stalls_; }

  // Runs the main loop until `done` holds or the play fails, for at most `timeout`; returns whether `done`
  // held.
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    ns::RunLoop::main().runUntil([&] { return done() || failed(); }, timeout);
    return done();
  }

 private:
  std::shared_ptr<av::PlayerItem> item_;
  std::shared_ptr<av::Player> player_;
  av::PlayerLayer layer_;
  int stalls_ = 0;
  ns::NotificationCenter::ObserverToken stallToken_;
};

// Returns the field `name` of /proc/self/status ("VmRSS", "VmHWM": resident memory now, and its peak) in
// bytes, or 0 when it cannot be read.
inline double residentBytes(std::string_view name) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(name) && line.size() > name.size() && line[name.size()] == ':') {
      return std::stod(line.substr(name.size() + 1)) * 1024;
    }
  }
  return 0;
}

// Starts the peak of resident memory (VmHWM) afresh from what is resident now; returns whether the kernel
// took the request.
inline bool resetPeakResident() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return clear.good();
}

}  // namespace mediabench
