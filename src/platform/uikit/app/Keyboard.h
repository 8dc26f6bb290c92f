#pragma once

// uikit::Keyboard: the on-screen keyboard, as far as screens can see it: the notifications around its showing
// and hiding. It comes up when a text input becomes the first responder and goes down when that input
// resigns; tests may also raise and lower it themselves.
//
// Each change posts its will-notification at once and its did-notification on the next turn of the main loop
// (after the animation, which the stand-in does not wait for), with the user-info keys below. The object is
// null.
//
// Thread-safety: main thread only, like every class of uikit.

#include "platform/uikit/geometry/Geometry.h"

namespace uikit {

inline constexpr char kKeyboardWillShowNotification[] = "UIKeyboardWillShowNotification";
inline constexpr char kKeyboardDidShowNotification[] = "UIKeyboardDidShowNotification";
inline constexpr char kKeyboardWillHideNotification[] = "UIKeyboardWillHideNotification";
inline constexpr char kKeyboardDidHideNotification[] = "UIKeyboardDidHideNotification";
// The keyboard's frame at the end of the change, in screen coordinates: a dictionary with the numbers "x",
// "y", "width" and "height".
inline constexpr char kKeyboardFrameEndUserInfoKey[] = "UIKeyboardFrameEndUserInfoKey";
// The duration of the change in seconds (a double).
inline constexpr char kKeyboardAnimationDurationUserInfoKey[] = "UIKeyboardAnimationDurationUserInfoKey";

class Keyboard {
 public:
  // The keyboard's height in points.
  static constexpr double kHeight = 216;

  static bool isVisible();
  // The frame the keyboard takes when shown: the bottom kHeight points of the main screen.
  static Rect shownFrame();
  // Shows the keyboard and posts the show notifications; nothing when it is shown already.
  static void show();
  // Hides the keyboard and posts the hide notifications; nothing when it is hidden already.
  static void hide();
};

}  // namespace uikit
