#pragma once

// ZBAlertView: the application's own modal panel. A panel covers the key window, dimming it, with a white
// box in its middle: a message and a row of buttons, optionally a remember-my-choice check box, or a message
// beside a view of the caller's. Panels wait in one process-wide queue, so that only one is on screen at a
// time: the queue's first panel, shown on the key window; dismissing it brings up the next.
//
// Each panel gets its `session` number from a counter when it is made, so numbers never repeat and
// dismissAlertView() always reaches the panel meant.
//
// Ownership: the queue owns the panels until they are dismissed; a panel owns its box, label and buttons and
// holds its delegate weakly. Thread-safety: main thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/helpers/MyButton.h"
#include "app/helpers/ZBAlertViewDelegate.h"
#include "platform/uikit/views/View.h"

namespace app {

class ZBAlertView : public uikit::View {
 public:
  // Where showAlertWithMessage(message, view, ...) puts the caller's view.
  enum class Arrangement { kViewAbove, kViewBeside };

  // The panel's box and its parts.
  static constexpr double kBoxWidth = 270;
  static constexpr double kBoxHeight = 170;

  // Queues a panel with `message` and one button per title (no button row for none), and shows it when no
  // panel is on screen. Returns its session number.
  static std::int64_t showAlertWithMessage(const std::string& message,
                                           const std::vector<std::string>& buttonTitles,
                                           const std::weak_ptr<ZBAlertViewDelegate>& delegate);
  // The same with lower buttons and, when `switchTitle` is given, a check box titled with it above them.
  static std::int64_t showAlertWithMessage(const std::string& message,
                                           const std::optional<std::string>& switchTitle,
                                           const std::vector<std::string>& buttonTitles,
                                           const std::weak_ptr<ZBAlertViewDelegate>& delegate);
  // Queues a panel without buttons that shows `message` with `view` above or beside it; when
  // `autoDismissSeconds` is above 0 the panel is dismissed after that long on the main loop's clock.
  static std::int64_t showAlertWithMessage(const std::string& message, std::shared_ptr<uikit::View> view,
                                           Arrangement arrangement, double autoDismissSeconds,
                                           const std::weak_ptr<ZBAlertViewDelegate>& delegate);
  // Queues the network-in-use panel (a spinner in a small dark box) only when the queue is empty, and shows
  // it only when no panel is on screen and there is a key window. Returns its session number either way.
  static std::int64_t showAlertWithNetworkInWorking();

  // Takes the first queued panel numbered `session` off the screen and out of the queue, tells its delegate,
  // and shows the next queued panel, if any. A panel still waiting behind the one on screen only leaves the
  // queue. Does nothing for a number no queued panel has.
  static void dismissAlertView(std::int64_t session);

  // The target of every panel button: tells the panel's delegate, then dismisses the panel.
  static void onClicked(MyButton& button);
  // The target of the check box: flips it, records the state in the panel's switchSave(), selects it while
  // ticked and swaps its image ("icon_selectorSelected" when ticked, else "icon_selectorDeselect").
  static void onSwitched(MyButton& button);

  // The queued panels, the one on screen (or next to be) first.
  static const std::vector<std::shared_ptr<ZBAlertView>>& queuedPanels();
  // True while a panel of the queue is on the key window.
  static bool isShowingPanel();
  // Empties the queue without callbacks, taking its panels off the screen.
  static void resetForTesting();

  // A panel over `frame`; use the show functions above. Public for std::make_shared.
  explicit ZBAlertView(uikit::Rect frame);

  const std::weak_ptr<ZBAlertViewDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::weak_ptr<ZBAlertViewDelegate> delegate) { delegate_ = std::move(delegate); }
  const std::string& message() const { return message_; }
  std::int64_t session() const { return session_; }
  bool isNetFlog() const { return isNetFlog_; }
  // The check box's state when it was last touched: true when ticked.
  bool switchSave() const { return switchSave_; }

  // Paints the panel black at alpha 0.5, so that it dims the window behind its box.
  void layoutSubviews() override;

 private:
  // Makes a panel over the key window's bounds and queues it.
  static std::shared_ptr<ZBAlertView> makePanel(const std::weak_ptr<ZBAlertViewDelegate>& delegate);
  // Makes the white box of `size`, centred on the panel, and adds it.
  std::shared_ptr<uikit::View> addBox(uikit::Size size);
  // Adds the row of buttons of height `height` at the bottom of `box`.
  void addButtonRow(uikit::View& box, const std::vector<std::string>& titles, double height);
  // Puts the queue's first panel on the key window when none is showing.
  static void showFirstQueuedPanel();

  std::weak_ptr<ZBAlertViewDelegate> delegate_;
  std::string message_;
  std::int64_t session_;
  bool isNetFlog_ = false;
  bool switchSave_ = false;
};

}  // namespace app
