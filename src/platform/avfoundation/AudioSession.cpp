#include "platform/avfoundation/AudioSession.h"

#include "platform/foundation/check/Check.h"

namespace av {

AudioSession& AudioSession::sharedInstance() {
  QM_DCHECK_MAIN_THREAD();
  static AudioSession session;
  return session;
}

void AudioSession::setCategory(AudioSessionCategory category, AudioSessionCategoryOptions options) {
  QM_DCHECK_MAIN_THREAD();
  category_ = category;
  options_ = options;
}

void AudioSession::resetForTesting() {
  QM_DCHECK_MAIN_THREAD();
  *this = AudioSession();
}

}  // namespace av
