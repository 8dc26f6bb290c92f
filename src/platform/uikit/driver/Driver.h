#pragma once

// uikit::Driver: uses the application the way a finger would, and reads the screen the way an eye would. It
// is the layer under the terminal front end's commands and the end-to-end tests.
//
// Views are named by their visible text (a label's text, a button's title or, without one, its picture's
// name, a field's text or placeholder, a segment's title) or their accessibility identifier (a storyboard
// outlet's name, such as "userNameTF"). The search runs over what is on screen (VisibleScreen.h): views on
// top of the screen first, front-most first, then the screen itself; within a tree, back to front, depth
// first; hidden views and everything inside them are skipped. The first match wins. Rows of tables are named
// by any one of their texts. A text matches the name exactly, or else, when no view on screen matches so,
// with the blanks (spaces, tabs, U+3000) around both trimmed: "2018考研" names a row showing "    2018考研".
//
// While a platform alert is on screen it takes every touch: tap() may name one of its buttons, and every
// other action fails with kAlertInTheWay until it is answered. A finger reaches only what nothing covers:
// an action on a view whose middle lies under another view that takes touches (a full-screen player, a
// panel, a loading indicator) fails with kCovered and names the cover (TouchCover.h).
//
// Every action returns an error value, never throws: the domain is kDriverErrorDomain, the code a
// Driver::ErrorCode, and the localized description a sentence a person can read, such as
// "There is no view with the text or identifier "登录".".
//
// Actions run synchronously and post what the application posts; run the main loop (waitForText(), wait())
// for their later effects.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <string>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/values/Result.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/views/View.h"

namespace uikit {

inline constexpr char kDriverErrorDomain[] = "com.quillmark.driver";

class Driver {
 public:
  enum ErrorCode : int {
    kNoSuchView = 1,
    kNotTouchable = 2,
    kDisabled = 3,
    kNotTextInput = 4,
    kRefused = 5,
    kNoSuchRow = 6,
    kRowNotDeletable = 7,
    kNoAlert = 8,
    kNoSuchAlertButton = 9,
    kAlertInTheWay = 10,
    kNothingToGoBackTo = 11,
    kTimedOut = 12,
    kNoLivePicture = 13,
    kNotScrollable = 14,
    kCovered = 15,
  };

  // How far past the end of its content a swipe carries a scroll view before it settles.
  static constexpr double kScrollBounce = 40;

  // The screen text of the key window (ScreenRenderer.h).
  static std::string screenText();

  // Returns the first view on screen named `name`, or kNoSuchView.
  static ns::Result<std::shared_ptr<View>> findView(const std::string& name);

  // Returns the live picture (View::livePicture(), such as a video's current frame) of the first view on
  // screen that has one, searched as findView() searches; kNoLivePicture when no view on screen has one.
  static ns::Result<std::shared_ptr<const Image>> livePicture();

  // Taps the view named `name` (or a button of the alert on screen): a control does what its tap does (a
  // button sends its actions, a switch flips, a field takes the keyboard), a segment is selected, a view with
  // a tap recogniser fires it, a table row is selected. A view that lets touches through (a label, an image)
  // passes the tap to the view it lies in. Fails with kNotTouchable when a view on the way has user
  // interaction off, kDisabled for a disabled control, and kNotTouchable when nothing takes the tap.
  static ns::Status tap(const std::string& name);
  // Where a pan's finger comes down: the middle of the view, or the middle of its left or right half.
  enum class PanStart { kMiddle, kLeftHalf, kRightHalf };
  // How fast a pan's finger moves, in points a second, and how far between two of its events.
  static constexpr double kFingerSpeed = 300;
  static constexpr double kPanStep = 5;
  // Moves a finger by `translation` over the view named `name` (or the first view up from it with a pan
  // recogniser), from where `start` says, at kFingerSpeed: the recogniser begins, changes every kPanStep
  // points and ends. With no recogniser on the way, the scroll view the view lies in (a list) scrolls, its
  // content following the finger within its ends. Fails with kNotTouchable when nothing on the way takes a
  // pan.
  static ns::Status pan(const std::string& name, Point translation, PanStart start);
  // Makes the text input named `name` the first responder and replaces its text by `text`, as typing does.
  // Fails with kNotTextInput, kNotTouchable, kDisabled, or kRefused when the input (or its delegate) refuses.
  static ns::Status type(const std::string& name, const std::string& text);
  // Presses the return key of the text input named `name`, making it the first responder first.
  static ns::Status pressReturn(const std::string& name);
  // Taps the first table row that shows `rowText`. Fails with kNoSuchRow or kNotTouchable.
  static ns::Status selectRow(const std::string& rowText);
  // Swipes the first table row that shows `rowText` and taps the first action revealed. Fails with
  // kNoSuchRow, kNotTouchable, or kRowNotDeletable when the swipe reveals nothing.
  static ns::Status swipeDeleteRow(const std::string& rowText);
  // Pulls down, as a finger does past the top of a list, the scroll view named `name` or the one it lies in
  // (a pull-to-refresh header then refreshes). Fails with kNotScrollable when there is none or its scrolling
  // is off, and with kNotTouchable when it takes no touches.
  static ns::Status pullDown(const std::string& name);
  // How far pullDown() pulls, in points.
  static constexpr double kPullDistance = 120;
  // Swipes the scroll view (a table, say) named `name` up to the end of its content, as a finger does: the
  // content runs kScrollBounce points past its end and settles at it, and the scroll delegate hears of
  // each move. Like pullDown(), it moves the scroll view `name` lies in, and fails the same ways.
  static ns::Status scrollToBottom(const std::string& name);
  // Taps the button titled `buttonTitle` of the alert on top. Fails with kNoAlert or kNoSuchAlertButton.
  static ns::Status answerAlert(const std::string& buttonTitle);
  // The identifiers of the back and leave buttons a screen draws itself, instead of a navigation bar's.
  static constexpr char kBackButtonIdentifier[] = "backBtn";
  static constexpr char kLeaveButtonIdentifier[] = "leaveBtn";

  // Goes back as the screen's own back or leave button does (a control identified kBackButtonIdentifier or
  // kLeaveButtonIdentifier, shown or hidden, in what is on screen), else as the navigation bar's left button
  // does: its left item's action, else popping the stack. Fails with kNothingToGoBackTo when the screen has
  // no such button, and kDisabled when its own button is disabled.
  static ns::Status goBack();

  // Runs the main loop until the screen text contains `text`, or fails with kTimedOut once `timeout` of real
  // time has passed.
  static ns::Status waitForText(const std::string& text, ns::Duration timeout);
  // Runs the main loop for `duration` of real time.
  static void wait(ns::Duration duration);
};

}  // namespace uikit
