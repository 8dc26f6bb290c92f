#pragma once

// What the sound output's tests share: sound to play, and the sound server address the process sees.

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string>

#include "platform/avfoundation/DecodedAudio.h"

namespace soundtest {

inline constexpr int kSampleRate = 48000;
inline constexpr int kChannelCount = 2;
inline constexpr double kToneHertz = 440;

// Returns `duration` seconds of a full-scale tone at item time `seconds`, the same on every channel.
inline av::DecodedAudio tone(double seconds, double duration, int sampleRate = kSampleRate,
                             int channelCount = kChannelCount) {
  av::DecodedAudio audio;
  audio.sampleRate = sampleRate;
  audio.channelCount = channelCount;
  audio.seconds = seconds;
  const auto frames = static_cast<std::size_t>(std::llround(duration * sampleRate));
  audio.samples.reserve(frames * channelCount);
  for (std::size_t frame = 0; frame < frames; ++frame) {
    const double phase =
        2 * std::numbers::pi * kToneHertz * (seconds + static_cast<double>(frame) / sampleRate);
    for (int channel = 0; channel < channelCount; ++channel) {
      audio.samples.push_back(static_cast<float>(std::sin(phase)));
    }
  }
  return audio;
}

// Points the sound server's client library at `address` (as PULSE_SERVER) while it lives, then puts back
// what was there.
class ScopedSoundServerAddress {
 public:
  explicit ScopedSoundServerAddress(const std::string& address) {
    if (const char* previous = std::getenv(kVariable)) {
      previous_ = previous;
    }
    setenv(kVariable, address.c_str(), 1);
  }
  ~ScopedSoundServerAddress() {
    if (previous_) {
      setenv(kVariable, previous_->c_str(), 1);
    } else {
      unsetenv(kVariable);
    }
  }
  ScopedSoundServerAddress(const ScopedSoundServerAddress&) = delete;
  ScopedSoundServerAddress& operator=(const ScopedSoundServerAddress&) = delete;

 private:
  static constexpr char kVariable[] = "PULSE_SERVER";
  std::optional<std::string> previous_;
};

// An address where no sound server listens.
inline std::string addressOfNoServer() {
  return "unix:/nonexistent-quillmark-sound-server/native";
}

}  // namespace soundtest
