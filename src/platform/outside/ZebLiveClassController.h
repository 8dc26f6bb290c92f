#pragma once

// outside::ZebLiveClassController: the screen of one live class or replay that the live-class framework
// (ZebLiveSDK.h) hands its host to present. It shows "live class <classroom>" or "replay <classroom>", then
// "waiting" until the framework enters the class and "in class" afterwards, and a "leave" button. While it is
// on screen the status bar shows light content. A tap on "leave" tells the host kEventClassLeft with the
// class's type; the screen does not go away by itself, the host dismisses it.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <string>

#include "platform/outside/ZebLiveSDKHost.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/Label.h"

namespace outside {

class ZebLiveClassController : public uikit::ViewController {
 public:
  static constexpr char kLeaveTitle[] = "leave";

  // A screen of the class `classroomId`, of kind `type` (ZebLiveSDKHost::Type), for `host` (held weakly).
  ZebLiveClassController(std::string classroomId, ZebLiveSDKHost::Type type,
                         std::weak_ptr<ZebLiveSDKHost> host);

  const std::string& classroomId() const { return classroomId_; }
  ZebLiveSDKHost::Type type() const { return type_; }
  bool hasEntered() const { return entered_; }
  // Starts the class: the screen shows "in class".
  void enter();

  void loadView() override;
  void viewWillAppear(bool animated) override;

 private:
  void leave(uikit::Control& sender);
  void showState();

  const std::string classroomId_;
  const ZebLiveSDKHost::Type type_;
  const std::weak_ptr<ZebLiveSDKHost> host_;
  bool entered_ = false;
  std::shared_ptr<uikit::Label> stateLabel_;
};

}  // namespace outside
