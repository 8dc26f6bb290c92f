#pragma once

// uikit::VisibleScreen: what a person sees on the key window, in the layers the screen text and the driver
// walk: the controller on top (the window's root, or what it presents), the view of that controller, the
// views the screen put in front of it on the window (toasts, panels), and the platform alerts over
// everything.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <vector>

#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/ViewController.h"

namespace uikit {

struct VisibleScreen {
  // The key window, or nullptr; the other members are then empty.
  std::shared_ptr<Window> window;
  // The window's root, or the last controller presented over it; nullptr without a root.
  std::shared_ptr<ViewController> topController;
  // The controller whose screen is shown: topController's content (ViewController::contentViewController()).
  std::shared_ptr<ViewController> contentController;
  // topController's view; nullptr without a controller.
  std::shared_ptr<View> contentView;
  // Shown views of the window in front of contentView, back to front.
  std::vector<std::shared_ptr<View>> viewsOnTop;
  // The alerts on screen, the one on top last.
  std::vector<std::shared_ptr<AlertView>> alerts;

  // Looks at the screen now. Runs the window's pending layout and drawing pass first, so that what it sees
  // is what would be drawn.
  static VisibleScreen current();
};

}  // namespace uikit
