#include "ui/drawer/DrawerController.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "ui/drawer/DrawerControllerChild.h"
#include "ui/drawer/DrawerControllerPresenting.h"

namespace ui {

std::shared_ptr<DrawerController> DrawerController::initWithLeftViewController(
    std::shared_ptr<uikit::ViewController> left, std::shared_ptr<uikit::ViewController> center) {
  QM_DCHECK(left != nullptr && center != nullptr, "both controllers are given");
  auto drawer = std::make_shared<DrawerController>(std::move(left), std::move(center));
  for (const auto& child : {drawer->left_, drawer->center_}) {
    if (auto* adopter = dynamic_cast<DrawerControllerChild*>(child.get())) {
      adopter->setDrawer(drawer);
    }
  }
  return drawer;
}

DrawerController::DrawerController(std::shared_ptr<uikit::ViewController> left,
                                   std::shared_ptr<uikit::ViewController> center)
    : left_(std::move(left)), center_(std::move(center)) {
  addChildViewController(left_);
  addChildViewController(center_);
}

void DrawerController::open() {
  QM_DCHECK_MAIN_THREAD();
  move(DrawerState::kOpening, DrawerState::kOpen);
}

void DrawerController::close() {
  QM_DCHECK_MAIN_THREAD();
  move(DrawerState::kClosing, DrawerState::kClosed);
}

void DrawerController::move(DrawerState moving, DrawerState target) {
  const std::uint64_t movement = ++movement_;
  state_ = moving;
  const bool opening = target == DrawerState::kOpen;
  tellChildren(opening ? &DrawerControllerPresenting::drawerControllerWillOpen
                       : &DrawerControllerPresenting::drawerControllerWillClose);
  std::weak_ptr<DrawerController> weakSelf = std::static_pointer_cast<DrawerController>(shared_from_this());
  uikit::View::animateWithDuration(
      0.3, [this, moving] { placeViews(moving); },
      [weakSelf, movement, target, opening](bool) {
        auto self = weakSelf.lock();
        if (!self || self->movement_ != movement) {
          return;
        }
        self->state_ = target;
        self->placeViews(target);
        self->tellChildren(opening ? &DrawerControllerPresenting::drawerControllerDidOpen
                                   : &DrawerControllerPresenting::drawerControllerDidClose);
      });
}

void DrawerController::tellChildren(void (DrawerControllerPresenting::*hook)(DrawerController&)) {
  for (const auto& child : {left_, center_}) {
    if (auto* presenting = dynamic_cast<DrawerControllerPresenting*>(child.get())) {
      (presenting->*hook)(*this);
    }
  }
}

void DrawerController::placeViews(DrawerState state) {
  if (!isViewLoaded()) {
    return;
  }
  const bool closed = state == DrawerState::kClosed;
  left_->view()->setHidden(closed);
  const uikit::Rect bounds = viewIfLoaded()->bounds();
  const bool aside = state == DrawerState::kOpening || state == DrawerState::kOpen;
  center_->view()->setFrame(bounds.offsetBy(aside ? kLeftDrawerWidth : 0, 0));
}

void DrawerController::loadView() {
  auto view = std::make_shared<uikit::View>(uikit::Screen::mainScreen().bounds());
  left_->view()->setFrame(uikit::Rect(0, 0, kLeftDrawerWidth, view->bounds().height()));
  view->addSubview(left_->view());
  view->addSubview(center_->view());
  setView(std::move(view));
  placeViews(state_);
}

std::shared_ptr<uikit::ViewController> DrawerController::contentViewController() {
  return state_ == DrawerState::kOpen ? left_->contentViewController() : center_->contentViewController();
}

}  // namespace ui
