#pragma once

// outside::ZebLiveSDKHost: what the live-class framework (ZebLiveSDK.h) tells the application that hosts a
// class. The framework holds its host weakly.
//
// Thread-safety: called on the main thread only.

#include <string>

namespace outside {

class ZebLiveSDKHost {
 public:
  // The events the framework reports, and the kinds of class they concern.
  enum Event : int { kEventClassLeft = 1 };
  enum Type : int { kTypeLive = 0, kTypeReplay = 1 };

  virtual ~ZebLiveSDKHost() = default;

  // Something happened to the class the framework shows: `event` is an Event, `type` a Type. The stand-in
  // reports kEventClassLeft when the person closes the class's screen; the screen stays up until the host
  // takes it away.
  virtual void ZebLiveClassEventNotify(int event, int type) = 0;
  // The person asked the class's screen to share `content` (a text or a link) through the host.
  virtual void OpenShared(const std::string& content) = 0;
};

}  // namespace outside
