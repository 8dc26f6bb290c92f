#include "platform/avfoundation/AudioSession.h"

#include "platform/foundation/check/Check.h"

namespace av {

AudioSession& AudioSession::sharedInstance() {
  QM_DCHECK_MAIN_THREAD();
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
