#include "platform/avfoundation/AudioPlayer.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/FileManager.h"

namespace av {

ns::Result<std::shared_ptr<AudioPlayer>> AudioPlayer::initWithContentsOfFile(const std::string& path) {
  QM_DCHECK_MAIN_THREAD();
  ns::Result<ns::Data> contents = ns::FileManager::defaultManager().contentsAtPath(path);
  if (!contents.ok()) {
    return contents.error();
  }
  return std::make_shared<AudioPlayer>(path);
}

bool AudioPlayer::prepareToPlay() {
  QM_DCHECK_MAIN_THREAD();
  prepared_ = true;
  return true;
}

bool AudioPlayer::play() {
  QM_DCHECK_MAIN_THREAD();
  prepared_ = true;
  playing_ = true;
  return true;
}

void AudioPlayer::setVolume(float volume) {
  QM_DCHECK_MAIN_THREAD();
  volume_ = std::clamp(volume, 0.0f, 1.0f);
}

}  // namespace av
