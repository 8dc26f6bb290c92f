#include "platform/uikit/controllers/ViewController.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/controllers/StoryboardSegue.h"
#include "platform/uikit/storyboard/Storyboard.h"
#include "platform/uikit/support/ClassName.h"

namespace uikit {

ViewController::ViewController() : navigationItem_(std::make_shared<NavigationItem>()) {
  QM_DCHECK_MAIN_THREAD();
}

ViewController::~ViewController() {
  if (view_ && view_->viewController_ == this) {
    view_->viewController_ = nullptr;
  }
  for (const auto& child : children_) {
    child->parent_ = nullptr;
  }
  if (presented_) {
    presented_->presenting_ = nullptr;
  }
}

std::string ViewController::className() const {
  return classNameOf(typeid(*this));
}

std::shared_ptr<ViewController> ViewController::sharedSelf() {
  return std::static_pointer_cast<ViewController>(shared_from_this());
}

const std::shared_ptr<View>& ViewController::view() {
  QM_DCHECK_MAIN_THREAD();
  if (!view_) {
    loadView();
    if (!view_) {
      setView(std::make_shared<View>(Screen::mainScreen().bounds()));
    }
    viewDidLoad();
  }
  return view_;
}

void ViewController::loadView() {
  setView(std::make_shared<View>(Screen::mainScreen().bounds()));
}

void ViewController::setView(std::shared_ptr<View> view) {
  QM_DCHECK_MAIN_THREAD();
  if (view_ && view_->viewController_ == this) {
    view_->viewController_ = nullptr;
  }
  view_ = std::move(view);
  if (view_) {
    view_->viewController_ = this;
  }
}

void ViewController::setTitle(std::string title) {
  QM_DCHECK_MAIN_THREAD();
  navigationItem_->setTitle(title);
  title_ = std::move(title);
}

NavigationController* ViewController::navigationController() const {
  for (ViewController* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->parent_) {
    if (auto* navigation = dynamic_cast<NavigationController*>(ancestor)) {
      return navigation;
    }
  }
  return nullptr;
}

void ViewController::addChildViewController(std::shared_ptr<ViewController> child) {
  QM_DCHECK_MAIN_THREAD();
  if (!child || child->parent_ == this) {
    return;
  }
  child->removeFromParentViewController();
  child->willMoveToParentViewController(this);
  child->parent_ = this;
  children_.push_back(child);
  child->didMoveToParentViewController(this);
}

void ViewController::removeFromParentViewController() {
  QM_DCHECK_MAIN_THREAD();
  ViewController* parent = parent_;
  if (parent == nullptr) {
    return;
  }
  // Keeps this controller alive through the callbacks, even when its parent held the last reference.
  const std::shared_ptr<ViewController> self = sharedSelf();
  willMoveToParentViewController(nullptr);
  std::erase_if(parent->children_,
                [this](const std::shared_ptr<ViewController>& child) { return child.get() == this; });
  parent_ = nullptr;
  didMoveToParentViewController(nullptr);
}

ViewController* ViewController::outermostParent() {
  ViewController* outermost = this;
  while (outermost->parent_ != nullptr) {
    outermost = outermost->parent_;
  }
  return outermost;
}

void ViewController::presentViewController(std::shared_ptr<ViewController> controller, bool animated,
                                           std::function<void()> completion) {
  ViewController* host = outermostParent();
  if (!controller) {
    return;
  }
  if (host->presented_) {
    std::fprintf(stderr, "uikit: warning: attempt to present %s on %s, which is already presenting %s\n",
                 controller->className().c_str(), host->className().c_str(),
                 host->presented_->className().c_str());
    return;
  }
  Window* window = host->isViewLoaded() ? host->view_->window() : nullptr;
  if (window == nullptr) {
    std::fprintf(stderr, "uikit: warning: attempt to present %s on %s, whose view is not in a window\n",
                 controller->className().c_str(), host->className().c_str());
    return;
  }
  host->presented_ = controller;
  controller->presenting_ = host;
  host->beginAppearanceTransition(false, animated);
  const std::shared_ptr<View>& presentedView = controller->view();
  presentedView->setFrame(window->bounds());
  window->addSubview(presentedView);
  controller->beginAppearanceTransition(true, animated);
  Application::sharedApplication().updateInterfaceOrientation();
  ns::RunLoop::main().post([host = host->sharedSelf(), controller, completion = std::move(completion)] {
    host->endAppearanceTransition();
    controller->endAppearanceTransition();
    if (completion) {
      completion();
    }
  });
}

void ViewController::dismissViewControllerAnimated(bool animated, std::function<void()> completion) {
  QM_DCHECK_MAIN_THREAD();
  ViewController* host = outermostParent();
  ViewController* presenter = host->presented_ ? host : host->presenting_;
  if (presenter == nullptr) {
    return;
  }
  std::vector<std::shared_ptr<ViewController>> dismissed;
  for (auto presented = presenter->presented_; presented; presented = presented->presented_) {
    dismissed.push_back(presented);
  }
  dismissed.back()->beginAppearanceTransition(false, animated);
  presenter->beginAppearanceTransition(true, animated);
  presenter->presented_.reset();
  for (const auto& controller : dismissed) {
    if (controller->isViewLoaded()) {
      controller->view_->removeFromSuperview();
    }
    controller->presenting_ = nullptr;
    controller->presented_.reset();
  }
  Application::sharedApplication().updateInterfaceOrientation();
  ns::RunLoop::main().post(
      [presenter = presenter->sharedSelf(), top = dismissed.back(), completion = std::move(completion)] {
        top->endAppearanceTransition();
        presenter->endAppearanceTransition();
        if (completion) {
          completion();
        }
      });
}

void ViewController::performSegueWithIdentifier(const std::string& identifier,
                                                const std::shared_ptr<ns::Object>& sender) {
  QM_DCHECK_MAIN_THREAD();
  const auto definition = Storyboard::segueFrom(storyboardName_, sceneIdentifier_, identifier);
  if (!definition) {
    std::fprintf(stderr,
                 "uikit: %s (scene \"%s\" of storyboard \"%s\") has no segue with identifier \"%s\"\n",
                 className().c_str(), sceneIdentifier_.c_str(), storyboardName_.c_str(), identifier.c_str());
    std::abort();
  }
  auto destination =
      Storyboard(storyboardName_).instantiateViewControllerWithIdentifier(definition->destinationScene);
  if (!destination.ok()) {
    std::fprintf(stderr, "uikit: segue \"%s\": %s\n", identifier.c_str(),
                 destination.error().localizedDescription().c_str());
    std::abort();
  }
  StoryboardSegue segue(identifier, sharedSelf(), *destination, definition->kind);
  prepareForSegue(segue, sender);
  segue.perform();
}

void ViewController::triggerSegueWithIdentifier(const std::string& identifier,
                                                const std::shared_ptr<ns::Object>& sender) {
  QM_DCHECK_MAIN_THREAD();
  if (shouldPerformSegueWithIdentifier(identifier, sender)) {
    performSegueWithIdentifier(identifier, sender);
  }
}

std::shared_ptr<ViewController> ViewController::contentViewController() {
  return sharedSelf();
}

bool ViewController::isAppearingOrAppeared() const {
  return appearance_ == AppearanceState::kAppearing || appearance_ == AppearanceState::kAppeared;
}

void ViewController::beginAppearanceTransition(bool isAppearing, bool animated) {
  QM_DCHECK_MAIN_THREAD();
  if (isAppearing == isAppearingOrAppeared()) {
    return;
  }
  transitionAnimated_ = animated;
  if (isAppearing) {
    view();
    appearance_ = AppearanceState::kAppearing;
    viewWillAppear(animated);
  } else {
    appearance_ = AppearanceState::kDisappearing;
    viewWillDisappear(animated);
  }
  const std::vector<std::shared_ptr<ViewController>> children = children_;
  for (const auto& child : children) {
    if (child->isViewLoaded() && child->view_->isDescendantOfView(*view_)) {
      child->beginAppearanceTransition(isAppearing, animated);
    }
  }
}

void ViewController::endAppearanceTransition() {
  QM_DCHECK_MAIN_THREAD();
  if (appearance_ == AppearanceState::kAppearing) {
    appearance_ = AppearanceState::kAppeared;
    viewDidAppear(transitionAnimated_);
  } else if (appearance_ == AppearanceState::kDisappearing) {
    appearance_ = AppearanceState::kDisappeared;
    viewDidDisappear(transitionAnimated_);
  }
  const std::vector<std::shared_ptr<ViewController>> children = children_;
  for (const auto& child : children) {
    child->endAppearanceTransition();
  }
}

}  // namespace uikit
