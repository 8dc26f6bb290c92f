#pragma once

// uikit::Window: the root of a view tree that the screen shows, with the controller at its root. A window is
// hidden until makeKeyAndVisible(); the application lists it from then on and keeps it as key window until
// another window becomes key. Ownership: whoever made the window (the application delegate) holds it; the
// application keeps only weak references.
//
// The root controller's view fills the window and is its back-most subview; controllers presented over it
// add their views in front; views a screen adds to the window itself (toasts, panels) lie in front of those.
// Setting a root replaces the former root and everything it presented.
//
// The window runs the layout and drawing pass of its views (View.h) once per turn of the main loop when one
// of them asks for it, or at once with updateIfNeeded().
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>

#include "platform/uikit/views/View.h"

namespace uikit {

class Window : public View {
 public:
  // A hidden window over `frame`; the main screen's bounds by default.
  explicit Window(Rect frame);
  Window();

  const std::shared_ptr<ViewController>& rootViewController() const { return rootViewController_; }
  // Makes `controller` the root: its view fills the window and, when the window is visible, it appears (its
  // did-appear callbacks on the next turn) while the former root and what it presented disappear.
  void setRootViewController(std::shared_ptr<ViewController> controller);

  // Shows the window (the root appears) and makes it the key window.
  void makeKeyAndVisible();
  void makeKeyWindow();
  bool isKeyWindow() const;

  // Runs the pending layout and drawing pass now.
  void updateIfNeeded();

 private:
  friend class View;

  // Asks for a layout and drawing pass on the next turn of the main loop; one pass serves many requests.
  void scheduleUpdate();
  // Takes `controller`'s view, and the views of the controllers it presented, off the window.
  void removeControllerViews(ViewController& controller);

  std::shared_ptr<ViewController> rootViewController_;
  bool updateScheduled_ = false;
};

}  // namespace uikit
