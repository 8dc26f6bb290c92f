#include "platform/uikit/app/Keyboard.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/app/Screen.h"

namespace uikit {
namespace {

constexpr double kAnimationDuration = 0.25;

bool& visibleFlag() {
  static bool visible = false;
  return visible;
}

ns::Dictionary userInfoForFrame(Rect frame) {
  ns::Dictionary frameValue{
      {"x", frame.minX()}, {"y", frame.minY()}, {"width", frame.width()}, {"height", frame.height()}};
  return ns::Dictionary{{kKeyboardFrameEndUserInfoKey, std::move(frameValue)},
                        {kKeyboardAnimationDurationUserInfoKey, kAnimationDuration}};
}

// Posts `willName` now and `didName` on the next turn, both with the frame the keyboard ends at.
void postChange(const char* willName, const char* didName, Rect endFrame) {
  ns::NotificationCenter::defaultCenter().postNotificationName(willName, nullptr, userInfoForFrame(endFrame));
  ns::RunLoop::main().post([didName, endFrame] {
    ns::NotificationCenter::defaultCenter().postNotificationName(didName, nullptr,
                                                                 userInfoForFrame(endFrame));
  });
}

}  // namespace

bool Keyboard::isVisible() {
  QM_DCHECK_MAIN_THREAD();
  return visibleFlag();
}

Rect Keyboard::shownFrame() {
  QM_DCHECK_MAIN_THREAD();
  const Rect screen = Screen::mainScreen().bounds();
  return Rect(0, screen.height() - kHeight, screen.width(), kHeight);
}

void Keyboard::show() {
  QM_DCHECK_MAIN_THREAD();
  if (visibleFlag()) {
    return;
  }
  visibleFlag() = true;
  postChange(kKeyboardWillShowNotification, kKeyboardDidShowNotification, shownFrame());
}

void Keyboard::hide() {
  QM_DCHECK_MAIN_THREAD();
  if (!visibleFlag()) {
    return;
  }
  visibleFlag() = false;
  postChange(kKeyboardWillHideNotification, kKeyboardDidHideNotification, shownFrame().offsetBy(0, kHeight));
}

}  // namespace uikit
