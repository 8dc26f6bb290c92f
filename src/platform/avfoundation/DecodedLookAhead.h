#pragma once

// av::DecodedLookAhead: what a player item's decoder has decoded ahead of the playback position, pictures in
// the decoder's own format and sound as float PCM, both in item time, from the decoding thread to the player
// on the main loop. Pictures are bounded in count and in bytes: the decoder waits in pushPicture() while
// kPictureCapacity pictures or kPictureByteCapacity bytes wait. Sound waits in pushSound() while
// kSoundCapacitySeconds of it wait and a picture waits too; with no picture waiting, sound goes on
// gathering, since the player's position moves only as pictures come, up to kSoundByteCapacity, past which
// the oldest sound is dropped. A stream whose sound leads its pictures therefore never stops its own
// decoding.
//
// The player moves the horizon: the position up to which media is due. Of the pictures due by the horizon
// only the newest can still be shown, so a picture due by it replaces every picture waiting and never waits
// for room: decoding through a long gap keeps one picture, not the gap's every picture. Sound that ends by
// the horizon would never be heard, and is not kept.
//
// Closing releases a waiting decoder and drops everything.
//
// Thread-safety: thread-safe; one decoding thread pushes, one player takes.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>

#include "platform/avfoundation/DecodedAudio.h"
#include "platform/avfoundation/VideoFrame.h"
#include "platform/foundation/check/Mutex.h"

namespace av {

class DecodedLookAhead {
 public:
  static constexpr std::size_t kPictureCapacity = 12;
  static constexpr std::size_t kPictureByteCapacity = std::size_t{32} << 20;
  static constexpr double kSoundCapacitySeconds = 2.0;
  static constexpr std::size_t kSoundByteCapacity = std::size_t{8} << 20;

  // `withPictures`: whether the stream has pictures at all; without them sound waits on its own bound.
  explicit DecodedLookAhead(bool withPictures);
  DecodedLookAhead(const DecodedLookAhead&) = delete;
  DecodedLookAhead& operator=(const DecodedLookAhead&) = delete;

  // Adds `picture`, waiting for room unless it is due by the horizon. Returns false, dropping it, once the
  // look-ahead is closed.
  bool pushPicture(VideoFrame picture) QM_EXCLUDES(mutex_);
  // Adds `sound`, waiting for room as the header says (sound that ends by the horizon is dropped at once).
  // Returns false, dropping it, once closed.
  bool pushSound(DecodedAudio sound) QM_EXCLUDES(mutex_);
  // Drops everything and makes every push fail from now on.
  void close() QM_EXCLUDES(mutex_);

  // Raises the horizon to `seconds`; a lower value leaves it where it is.
  void raiseHorizon(double seconds) QM_EXCLUDES(mutex_);
  // Removes the pictures due by `seconds` and returns the newest of them; nullopt when none is due.
  std::optional<VideoFrame> takePicture(double seconds) QM_EXCLUDES(mutex_);
  // Hands the waiting sound to `sink`, oldest first, until none is left or `sink` refuses one (returns
  // false, leaving it as it was); the refused sound stays first in line. `sink` runs without the lock.
  void feedSound(const std::function<bool(DecodedAudio&&)>& sink) QM_EXCLUDES(mutex_);

  std::size_t pictureCount() const QM_EXCLUDES(mutex_);
  // True when pushPicture() would wait for a picture beyond the horizon.
  bool isPictureRoomFull() const QM_EXCLUDES(mutex_);
  // The item time of the newest picture pushed, nullopt before the first.
  std::optional<double> newestPictureSeconds() const QM_EXCLUDES(mutex_);
  // The seconds of sound waiting.
  double soundSeconds() const QM_EXCLUDES(mutex_);

 private:
  bool picturesFull() const QM_REQUIRES(mutex_);
  bool isDueByHorizon(double seconds) const QM_REQUIRES(mutex_);
  bool soundFull() const QM_REQUIRES(mutex_);
  DecodedAudio takeSoundFront() QM_REQUIRES(mutex_);

  // Constant after construction
  const bool withPictures_;

  mutable ns::Mutex mutex_;
  // Notified when anything is pushed or taken, the horizon moves, or the look-ahead closes.
  std::condition_variable changed_;
  std::deque<VideoFrame> pictures_ QM_GUARDED_BY(mutex_);
  std::size_t pictureBytes_ QM_GUARDED_BY(mutex_) = 0;
  std::optional<double> newestPicture_ QM_GUARDED_BY(mutex_);
  std::deque<DecodedAudio> sound_ QM_GUARDED_BY(mutex_);
  std::size_t soundBytes_ QM_GUARDED_BY(mutex_) = 0;
  double soundSeconds_ QM_GUARDED_BY(mutex_) = 0;
  std::optional<double> horizon_ QM_GUARDED_BY(mutex_);
  bool closed_ QM_GUARDED_BY(mutex_) = false;
};

}  // namespace av
