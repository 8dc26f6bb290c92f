#include "platform/avfoundation/AudioSession.h"

namespace av {

AudioSession& AudioSession::sharedInstance() {
  static AudioSession session;
  return session;
}

void AudioSession::setCategory(AudioSessionCategory category, AudioSessionCategoryOptions options) {
  category_ = category;
  options_ = options;
}

void AudioSession::resetForTesting() {
  *this = AudioSession();
}

}  // namespace av
