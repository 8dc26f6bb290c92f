#pragma once

// av::AudioSession: the application's audio session, as far as this stand-in keeps one: its category, the
// category's options and whether it is active. Nothing reaches a sound device; the session records what the
// application asks for, and every request succeeds.
//
// Thread-safety: main thread only.

namespace av {

enum class AudioSessionCategory : int {
  // The platform's default: other audio stops, and the application's sound stops in the background.
  kSoloAmbient = 0,
  // Sound that keeps playing in the background.
  kPlayback = 1,
};

// Options of a category, a bit set.
using AudioSessionCategoryOptions = unsigned;
inline constexpr AudioSessionCategoryOptions kAudioSessionCategoryOptionNone = 0;
inline constexpr AudioSessionCategoryOptions kAudioSessionCategoryOptionMixWithOthers = 1;

class AudioSession {
 public:
  // The one session; it lives for the whole process.
  static AudioSession& sharedInstance();

  void setActive(bool active) { active_ = active; }
  bool isActive() const { return active_; }
  void setCategory(AudioSessionCategory category, AudioSessionCategoryOptions options);
  AudioSessionCategory category() const { return category_; }
  AudioSessionCategoryOptions categoryOptions() const { return options_; }

  // Returns the session to its state at the start of a process.
  void resetForTesting();

 private:
  AudioSession() = default;

  bool active_ = false;
  AudioSessionCategory category_ = AudioSessionCategory::kSoloAmbient;
  AudioSessionCategoryOptions options_ = kAudioSessionCategoryOptionNone;
};

}  // namespace av
