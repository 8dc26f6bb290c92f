#pragma once

// uikit::AlertView: the platform's modal alert: a title, a message and buttons, the cancel button first.
//
// show() puts the alert on screen, over everything and over alerts shown before it (the last one shown is the
// one a finger reaches), and records it in the list of alerts shown. A tap on a button tells the delegate
// alertViewClickedButtonAtIndex() and then dismisses the alert: will-dismiss at once, did-dismiss on the next
// turn of the main loop. Alerts on screen are held by the alert list until they are dismissed.
//
// Screen text: "alert: <title> | <message> | [<button>] [<button>]", empty parts left out.
//
// Thread-safety: main thread only, like every class of uikit.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/alerts/AlertViewDelegate.h"
#include "platform/uikit/views/View.h"

namespace uikit {

class AlertView : public View {
 public:
  // How many alerts shownAlerts() remembers; older ones are forgotten.
  static constexpr std::size_t kShownAlertsKept = 64;

  AlertView(std::string title, std::string message, std::weak_ptr<AlertViewDelegate> delegate,
            std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles);

  const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  const std::string& message() const { return message_; }
  void setMessage(std::string message) { message_ = std::move(message); }
  const std::weak_ptr<AlertViewDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::weak_ptr<AlertViewDelegate> delegate) { delegate_ = std::move(delegate); }

  std::int64_t numberOfButtons() const { return static_cast<std::int64_t>(buttonTitles_.size()); }
  // Returns the title, or "" for an index out of range.
  std::string buttonTitleAtIndex(std::int64_t index) const;
  // The index of the first button titled `title`, or std::nullopt.
  std::optional<std::int64_t> indexOfButtonTitled(const std::string& title) const;
  // 0 with a cancel button, -1 without.
  std::int64_t cancelButtonIndex() const { return cancelButtonIndex_; }

  // Puts the alert on screen as the header comment describes; nothing when it is on screen already.
  void show();
  bool isVisible() const;
  // Takes the alert off the screen as if the button at `index` had closed it, without the click callback.
  void dismissWithClickedButtonIndex(std::int64_t index, bool animated);
  // What a finger's tap on the button at `index` does. REQUIRES: the alert is visible.
  void tapButtonAtIndex(std::int64_t index);

  // The alerts on screen, the one on top last.
  static std::vector<std::shared_ptr<AlertView>> visibleAlerts();
  // The alerts shown, oldest first, up to kShownAlertsKept.
  static std::vector<std::shared_ptr<AlertView>> shownAlerts();
  // Takes every alert off the screen without callbacks and forgets the alerts shown. For tests.
  static void removeAllForTesting();

  void renderInto(ScreenText& text) const override;

 private:
  std::string title_;
  std::string message_;
  std::weak_ptr<AlertViewDelegate> delegate_;
  std::vector<std::string> buttonTitles_;
  std::int64_t cancelButtonIndex_ = -1;
};

}  // namespace uikit
