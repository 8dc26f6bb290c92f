#include "platform/uikit/controllers/NavigationController.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Screen.h"

namespace uikit {

NavigationController::NavigationController(std::shared_ptr<ViewController> root) {
  if (root) {
    addChildViewController(root);
    stack_.push_back(std::move(root));
  }
}

std::shared_ptr<ViewController> NavigationController::topViewController() const {
  return stack_.empty() ? nullptr : stack_.back();
}

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller, bool animated) {
  QM_DCHECK_MAIN_THREAD();
  if (!controller) {
    return;
  }
  const std::shared_ptr<ViewController> leaving = topViewController();
  addChildViewController(controller);
  stack_.push_back(std::move(controller));
  transition(leaving, animated);
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated) {
  QM_DCHECK_MAIN_THREAD();
  if (stack_.size() <= 1) {
    return nullptr;
  }
  std::shared_ptr<ViewController> leaving = stack_.back();
  stack_.pop_back();
  transition(leaving, animated);
  leaving->removeFromParentViewController();
  return leaving;
}

void NavigationController::transition(const std::shared_ptr<ViewController>& leaving, bool animated) {
  if (!isViewLoaded()) {
    return;
  }
  const std::shared_ptr<ViewController> arriving = topViewController();
  const bool onScreen = isAppearingOrAppeared();
  if (onScreen && leaving) {
    leaving->beginAppearanceTransition(false, animated);
  }
  if (leaving && leaving->isViewLoaded()) {
    leaving->viewIfLoaded()->removeFromSuperview();
  }
  showTop();
  if (onScreen && arriving) {
    arriving->beginAppearanceTransition(true, animated);
  }
  if (onScreen) {
    ns::RunLoop::main().post([leaving, arriving] {
      if (leaving) {
        leaving->endAppearanceTransition();
      }
      if (arriving) {
        arriving->endAppearanceTransition();
      }
    });
  }
}

void NavigationController::showTop() {
  const std::shared_ptr<ViewController> top = topViewController();
  if (top) {
    const std::shared_ptr<View>& topView = top->view();
    topView->setFrame(viewIfLoaded()->bounds());
    viewIfLoaded()->insertSubviewBelowSubview(topView, *navigationBar_);
  }
  std::shared_ptr<NavigationItem> backItem =
      stack_.size() > 1 ? stack_[stack_.size() - 2]->sharedNavigationItem() : nullptr;
  std::weak_ptr<NavigationController> weakSelf =
      std::static_pointer_cast<NavigationController>(shared_from_this());
  navigationBar_->showItems(top ? top->sharedNavigationItem() : nullptr, std::move(backItem), [weakSelf] {
    if (auto self = weakSelf.lock()) {
      self->popViewControllerAnimated(true);
    }
  });
}

NavigationBar& NavigationController::navigationBar() {
  QM_DCHECK_MAIN_THREAD();
  view();
  return *navigationBar_;
}

void NavigationController::setNavigationBarHidden(bool hidden, bool) {
  QM_DCHECK_MAIN_THREAD();
  navigationBarHidden_ = hidden;
  if (navigationBar_) {
    navigationBar_->setHidden(hidden);
  }
}

void NavigationController::loadView() {
  auto view = std::make_shared<View>(Screen::mainScreen().bounds());
  navigationBar_ =
      std::make_shared<NavigationBar>(Rect(0, 0, view->bounds().width(), NavigationBar::kHeight));
  navigationBar_->setHidden(navigationBarHidden_);
  view->addSubview(navigationBar_);
  setView(std::move(view));
  showTop();
}

std::shared_ptr<ViewController> NavigationController::contentViewController() {
  const std::shared_ptr<ViewController> top = topViewController();
  return top ? top->contentViewController() : ViewController::contentViewController();
}

}  // namespace uikit
