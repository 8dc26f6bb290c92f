#pragma once

// uikit::NavigationController: a stack of controllers, the top one on screen under a navigation bar.
//
// Pushing and popping move the stack at once; when the navigation controller is on screen, the leaving and
// arriving controllers get their appearance callbacks (ViewController.h): the will-callbacks at once and the
// did-callbacks on the next turn of the main loop. The controllers on the stack are its children; only the
// top one's view is in its view.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <vector>

#include "platform/uikit/controllers/NavigationBar.h"
#include "platform/uikit/controllers/ViewController.h"

namespace uikit {

class NavigationController : public ViewController {
 public:
  // A stack holding `root`, or an empty stack when it is nullptr.
  explicit NavigationController(std::shared_ptr<ViewController> root = nullptr);

  const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return stack_; }
  // The top controller, or nullptr when the stack is empty.
  std::shared_ptr<ViewController> topViewController() const;

  void pushViewController(std::shared_ptr<ViewController> controller, bool animated);
  // Pops the top controller and returns it; returns nullptr, popping nothing, when only the root is left.
  std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);

  // The bar, made with the view. REQUIRES: the view is loaded (view() loads it).
  NavigationBar& navigationBar();
  bool isNavigationBarHidden() const { return navigationBarHidden_; }
  void setNavigationBarHidden(bool hidden, bool animated = false);

  void loadView() override;
  std::shared_ptr<ViewController> contentViewController() override;

 private:
  // Moves the stack from `leaving` on top to the current top, as the header comment describes.
  void transition(const std::shared_ptr<ViewController>& leaving, bool animated);
  // Puts the top controller's view in place and the bar in step with the stack.
  void showTop();

  std::vector<std::shared_ptr<ViewController>> stack_;
  std::shared_ptr<NavigationBar> navigationBar_;
  bool navigationBarHidden_ = false;
};

}  // namespace uikit
