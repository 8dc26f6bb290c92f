#include "platform/uikit/app/Window.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/ViewController.h"

namespace uikit {

Window::Window(Rect frame) : View(frame) {
  setHidden(true);
}

Window::Window() : Window(Screen::mainScreen().bounds()) {}

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
  QM_DCHECK_MAIN_THREAD();
  if (controller == rootViewController_) {
    return;
  }
  std::shared_ptr<ViewController> former = std::move(rootViewController_);
  rootViewController_ = std::move(controller);
  const bool visible = !isHidden();
  if (former) {
    if (visible) {
      for (auto presented = former; presented; presented = presented->presentedViewController()) {
        presented->beginAppearanceTransition(false, false);
      }
    }
    removeControllerViews(*former);
  }
  if (rootViewController_) {
    const std::shared_ptr<View>& rootView = rootViewController_->view();
    rootView->setFrame(bounds());
    insertSubviewAtIndex(rootView, 0);
    if (visible) {
      rootViewController_->beginAppearanceTransition(true, false);
    }
  }
  if (visible) {
    ns::RunLoop::main().post([former, root = rootViewController_] {
      for (auto presented = former; presented; presented = presented->presentedViewController()) {
        presented->endAppearanceTransition();
      }
      if (root) {
        root->endAppearanceTransition();
      }
    });
    Application::sharedApplication().updateInterfaceOrientation();
  }
}

void Window::removeControllerViews(ViewController& controller) {
  for (ViewController* presented = &controller; presented != nullptr;
       presented = presented->presentedViewController().get()) {
    if (presented->isViewLoaded() && presented->viewIfLoaded()->superview() == this) {
      presented->viewIfLoaded()->removeFromSuperview();
    }
  }
}

void Window::makeKeyAndVisible() {
  QM_DCHECK_MAIN_THREAD();
  makeKeyWindow();
  if (!isHidden()) {
    return;
  }
  setHidden(false);
  Application::sharedApplication().windowDidBecomeVisible(
      std::static_pointer_cast<Window>(shared_from_this()));
  if (rootViewController_) {
    rootViewController_->beginAppearanceTransition(true, false);
    ns::RunLoop::main().post([root = rootViewController_] { root->endAppearanceTransition(); });
  }
  scheduleUpdate();
}

void Window::makeKeyWindow() {
  QM_DCHECK_MAIN_THREAD();
  Application::sharedApplication().windowDidBecomeKey(std::static_pointer_cast<Window>(shared_from_this()));
}

bool Window::isKeyWindow() const {
  return Application::sharedApplication().keyWindow().get() == this;
}

void Window::scheduleUpdate() {
  if (updateScheduled_) {
    return;
  }
  // A window that no shared_ptr holds is being built or torn down: it gets its pass when shown.
  const std::shared_ptr<ns::Object> self = weak_from_this().lock();
  if (!self) {
    return;
  }
  updateScheduled_ = true;
  std::weak_ptr<Window> weakWindow = std::static_pointer_cast<Window>(self);
  ns::RunLoop::main().post([weakWindow] {
    if (auto window = weakWindow.lock()) {
      window->updateIfNeeded();
    }
  });
}

void Window::updateIfNeeded() {
  QM_DCHECK_MAIN_THREAD();
  updateScheduled_ = false;
  layoutIfNeeded();
  displayIfNeeded();
}

}  // namespace uikit
