#pragma once

// ui::ProgressHUD: a box over a view that shows a spinner or a short text: the application's loading
// indicator and its toasts.
//
// A HUD covers the view it is added to and starts hidden. show() brings it up at once (no grace time); hide()
// takes it down, but not before the minimum show time, when one is set, has passed since it came up: the rest
// of that time runs on the main loop's clock first. With removeFromSuperViewOnHide the HUD leaves its view
// once hidden: at once without animation, on the next turn of the main loop with it. hide(animated, delay)
// hides after the delay on the main loop's clock. Pending hides hold the HUD weakly: a HUD that has gone is
// not hidden.
//
// Screen text, while shown: "toast: <text>" in text-only mode, "loading: <text>" (or "loading") otherwise,
// among what lies on top.
//
// Thread-safety: main thread only, like the views it lives among.

#include <memory>
#include <string>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/drawing/Font.h"
#include "platform/uikit/views/View.h"

namespace ui {

enum class ProgressHUDMode : int {
  kIndeterminate = 0,
  kDeterminate = 1,
  kDeterminateHorizontalBar = 2,
  kAnnularDeterminate = 3,
  kCustomView = 4,
  kText = 5,
};

class ProgressHUD : public uikit::View {
 public:
  // A text-only HUD over the key window showing `text`, removing itself when hidden, shown animated and
  // hidden animated after `delaySeconds`. Returns the HUD. Without a key window the HUD is made over the
  // screen's bounds but put nowhere; it still hides on time.
  static std::shared_ptr<ProgressHUD> showAlertWithText(const std::string& text, double delaySeconds);
  // A spinner HUD covering `view`, removing itself when hidden, added to `view` and shown. Returns the HUD.
  static std::shared_ptr<ProgressHUD> showHUDAddedTo(uikit::View& view, bool animated);
  // Hides the front-most HUD among `view`'s direct subviews. Returns whether there was one.
  static bool hideHUDForView(uikit::View& view, bool animated);
  // Hides every HUD among `view`'s direct subviews, each removing itself. Returns whether there was one.
  static bool hideAllHUDsForView(uikit::View& view, bool animated);
  // A hidden HUD covering `window`; the caller adds it to a view.
  static std::shared_ptr<ProgressHUD> initWithWindow(const uikit::Window& window);

  // A hidden HUD over `frame`. Use the factories above; this is public for std::make_shared.
  explicit ProgressHUD(uikit::Rect frame);

  void show(bool animated);
  void hide(bool animated);
  void hide(bool animated, double delaySeconds);
  // True from show() until hidden.
  bool isShowing() const { return showing_; }

  ProgressHUDMode mode() const { return mode_; }
  // A text-only HUD (a toast) is information only and lets touches through to what lies under it; the
  // other modes take them, as a loading indicator keeps a finger off the screen it waits over.
  void setMode(ProgressHUDMode mode) {
    mode_ = mode;
    setUserInteractionEnabled(mode != ProgressHUDMode::kText);
  }
  const std::string& labelText() const { return labelText_; }
  void setLabelText(std::string text) { labelText_ = std::move(text); }
  const uikit::Font& labelFont() const { return labelFont_; }
  void setLabelFont(uikit::Font font) { labelFont_ = font; }
  // The space between the box and its content, in points.
  double margin() const { return margin_; }
  void setMargin(double margin) { margin_ = margin; }
  // The box's opacity, 0 to 1.
  double opacity() const { return opacity_; }
  void setOpacity(double opacity) { opacity_ = opacity; }
  // True darkens the whole view behind the HUD.
  bool dimBackground() const { return dimBackground_; }
  void setDimBackground(bool dim) { dimBackground_ = dim; }
  // The shortest time, in seconds, the HUD stays once shown.
  double minShowTime() const { return minShowTime_; }
  void setMinShowTime(double seconds) { minShowTime_ = seconds; }
  bool removeFromSuperViewOnHide() const { return removeFromSuperViewOnHide_; }
  void setRemoveFromSuperViewOnHide(bool remove) { removeFromSuperViewOnHide_ = remove; }

  void renderInto(uikit::ScreenText& text) const override;

 private:
  // Hides now, without looking at the minimum show time.
  void hideNow(bool animated);
  // Leaves the superview once hidden, when asked to.
  void finishHiding();
  // Runs `action` with this HUD after `delay` on the main loop's clock, unless the HUD has gone.
  void after(ns::Duration delay, void (ProgressHUD::*action)(bool), bool animated);

  ProgressHUDMode mode_ = ProgressHUDMode::kIndeterminate;
  std::string labelText_;
  uikit::Font labelFont_ = uikit::Font::boldSystemFontOfSize(16);
  double margin_ = 20;
  double opacity_ = 0.8;
  bool dimBackground_ = false;
  double minShowTime_ = 0;
  bool removeFromSuperViewOnHide_ = false;
  bool showing_ = false;
  ns::TimePoint shownAt_{};
};

}  // namespace ui
