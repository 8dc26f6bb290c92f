#pragma once

// av::AudioPlayer: plays one sound file, as far as this stand-in plays: it checks that the file can be read
// and records what the application asks of it (preparing, volume, loops, playing), without making a sound.
// A negative numberOfLoops() asks for the sound to repeat for ever. No clip time passes in this stand-in, so
// a player that has started stays playing whatever its number of loops.
//
// Thread-safety: main thread only.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/values/Result.h"

namespace av {

class AudioPlayer {
 public:
  // Returns a player, not playing, of the file at `path`, owned by the caller, or the error (POSIX domain,
  // with the path) that kept the file from being read.
  static ns::Result<std::shared_ptr<AudioPlayer>> initWithContentsOfFile(const std::string& path);

  // Use initWithContentsOfFile(); public for std::make_shared.
  explicit AudioPlayer(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // Readies the player to start at once. Returns true.
  bool prepareToPlay();
  bool isPrepared() const { return prepared_; }
  // Starts playing, preparing first when needed. Returns true.
  bool play();
  bool isPlaying() const { return playing_; }

  // From 0 (silent) to 1; values outside are cut to that range.
  float volume() const { return volume_; }
  void setVolume(float volume);
  // How many times the sound repeats after its first play; negative repeats it for ever.
  std::int64_t numberOfLoops() const { return numberOfLoops_; }
  void setNumberOfLoops(std::int64_t loops) { numberOfLoops_ = loops; }

 private:
  // Constant after construction
  const std::string path_;

  bool prepared_ = false;
  bool playing_ = false;
  float volume_ = 1;
  std::int64_t numberOfLoops_ = 0;
};

}  // namespace av
