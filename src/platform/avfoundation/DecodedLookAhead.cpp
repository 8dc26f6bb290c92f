#include "platform/avfoundation/DecodedLookAhead.h"

#include <algorithm>
#include <utility>

namespace av {

namespace {

std::size_t bytesOf(const DecodedAudio& sound) {
  return sound.samples.size() * sizeof(float);
}

}  // namespace

DecodedLookAhead::DecodedLookAhead(bool withPictures) : withPictures_(withPictures) {}

bool DecodedLookAhead::picturesFull() const {
  return !pictures_.empty() &&
         (pictures_.size() >= kPictureCapacity || pictureBytes_ >= kPictureByteCapacity);
}

bool DecodedLookAhead::isDueByHorizon(double seconds) const {
  return horizon_ && seconds <= *horizon_;
}

bool DecodedLookAhead::soundFull() const {
  return soundSeconds_ >= kSoundCapacitySeconds;
}

bool DecodedLookAhead::pushPicture(VideoFrame picture) {
  {
    ns::MutexLock lock(mutex_);
    while (!closed_ && !isDueByHorizon(picture.seconds) && picturesFull()) {
      lock.wait(changed_);
    }
    if (closed_) {
      return false;
    }
    if (isDueByHorizon(picture.seconds)) {
      pictures_.clear();
      pictureBytes_ = 0;
    }
    newestPicture_ = picture.seconds;
    pictureBytes_ += picture.byteSize();
    pictures_.push_back(std::move(picture));
  }
  changed_.notify_all();
  return true;
}

bool DecodedLookAhead::pushSound(DecodedAudio sound) {
  {
    ns::MutexLock lock(mutex_);
    while (!closed_ && !isDueByHorizon(sound.seconds + sound.duration()) && soundFull() &&
           (!withPictures_ || !pictures_.empty())) {
      lock.wait(changed_);
    }
    if (closed_) {
      return false;
    }
    if (isDueByHorizon(sound.seconds + sound.duration())) {
      return true;
    }
    soundBytes_ += bytesOf(sound);
    soundSeconds_ += sound.duration();
    sound_.push_back(std::move(sound));
    while (soundBytes_ > kSoundByteCapacity && sound_.size() > 1) {
      takeSoundFront();
    }
  }
  changed_.notify_all();
  return true;
}

DecodedAudio DecodedLookAhead::takeSoundFront() {
  soundBytes_ -= bytesOf(sound_.front());
  soundSeconds_ = std::max(0.0, soundSeconds_ - sound_.front().duration());
  DecodedAudio front = std::move(sound_.front());
  sound_.pop_front();
  return front;
}

void DecodedLookAhead::close() {
  std::deque<VideoFrame> droppedPictures;
  std::deque<DecodedAudio> droppedSound;
  {
    ns::MutexLock lock(mutex_);
    closed_ = true;
    droppedPictures.swap(pictures_);
    droppedSound.swap(sound_);
    pictureBytes_ = 0;
    soundBytes_ = 0;
    soundSeconds_ = 0;
  }
  changed_.notify_all();
}

void DecodedLookAhead::raiseHorizon(double seconds) {
  {
    ns::MutexLock lock(mutex_);
    if (horizon_ && *horizon_ >= seconds) {
      return;
    }
    horizon_ = seconds;
  }
  changed_.notify_all();
}

std::optional<VideoFrame> DecodedLookAhead::takePicture(double seconds) {
  std::optional<VideoFrame> due;
  {
    ns::MutexLock lock(mutex_);
    while (!pictures_.empty() && pictures_.front().seconds <= seconds) {
      pictureBytes_ -= pictures_.front().byteSize();
      due = std::move(pictures_.front());
      pictures_.pop_front();
    }
  }
  if (due) {
    changed_.notify_all();
  }
  return due;
}

void DecodedLookAhead::feedSound(const std::function<bool(DecodedAudio&&)>& sink) {
  bool taken = false;
  while (true) {
    DecodedAudio sound;
    {
      ns::MutexLock lock(mutex_);
      if (sound_.empty()) {
        break;
      }
      sound = takeSoundFront();
    }
    if (!sink(std::move(sound))) {
      ns::MutexLock lock(mutex_);
      if (!closed_) {
        soundBytes_ += bytesOf(sound);
        soundSeconds_ += sound.duration();
        sound_.push_front(std::move(sound));
      }
      break;
    }
    taken = true;
  }
  if (taken) {
    changed_.notify_all();
  }
}

std::size_t DecodedLookAhead::pictureCount() const {
  ns::MutexLock lock(mutex_);
  return pictures_.size();
}

bool DecodedLookAhead::isPictureRoomFull() const {
  ns::MutexLock lock(mutex_);
  return picturesFull();
}

std::optional<double> DecodedLookAhead::newestPictureSeconds() const {
  ns::MutexLock lock(mutex_);
  return newestPicture_;
}

double DecodedLookAhead::soundSeconds() const {
  ns::MutexLock lock(mutex_);
  return soundSeconds_;
}

}  // namespace av
