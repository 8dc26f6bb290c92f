#include "ui/hud/ProgressHUD.h"

#include <vector>

#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/render/ScreenText.h"
#include "platform/uikit/support/Seconds.h"

namespace ui {
namespace {

constexpr double kFadeSeconds = 0.3;

}  // namespace

ProgressHUD::ProgressHUD(uikit::Rect frame) : uikit::View(frame) {
  setAlpha(0);
}

std::shared_ptr<ProgressHUD> ProgressHUD::showAlertWithText(const std::string& text, double delaySeconds) {
  QM_DCHECK_MAIN_THREAD();
  const auto window = uikit::Application::sharedApplication().keyWindow();
  auto hud = std::make_shared<ProgressHUD>(window ? window->bounds() : uikit::Screen::mainScreen().bounds());
  hud->setMode(ProgressHUDMode::kText);
  hud->setLabelText(text);
  hud->setRemoveFromSuperViewOnHide(true);
  if (window) {
    window->addSubview(hud);
  }
  hud->show(true);
  hud->hide(true, delaySeconds);
  return hud;
}

std::shared_ptr<ProgressHUD> ProgressHUD::showHUDAddedTo(uikit::View& view, bool animated) {
  QM_DCHECK_MAIN_THREAD();
  auto hud = std::make_shared<ProgressHUD>(view.bounds());
  hud->setRemoveFromSuperViewOnHide(true);
  view.addSubview(hud);
  hud->show(animated);
  return hud;
}

bool ProgressHUD::hideHUDForView(uikit::View& view, bool animated) {
  QM_DCHECK_MAIN_THREAD();
  const auto subviews = view.subviews();
  for (auto subview = subviews.rbegin(); subview != subviews.rend(); ++subview) {
    if (auto hud = std::dynamic_pointer_cast<ProgressHUD>(*subview)) {
      hud->setRemoveFromSuperViewOnHide(true);
      hud->hide(animated);
      return true;
    }
  }
  return false;
}

bool ProgressHUD::hideAllHUDsForView(uikit::View& view, bool animated) {
  QM_DCHECK_MAIN_THREAD();
  bool found = false;
  // A HUD that hides leaves the view's subviews at once, so the walk goes over a copy of the list.
  const std::vector<std::shared_ptr<uikit::View>> subviews = view.subviews();
  for (const auto& subview : subviews) {
    if (auto hud = std::dynamic_pointer_cast<ProgressHUD>(subview)) {
      hud->setRemoveFromSuperViewOnHide(true);
      hud->hide(animated);
      found = true;
    }
  }
  return found;
}

std::shared_ptr<ProgressHUD> ProgressHUD::initWithWindow(const uikit::Window& window) {
  QM_DCHECK_MAIN_THREAD();
  return std::make_shared<ProgressHUD>(window.bounds());
}

void ProgressHUD::show(bool) {
  QM_DCHECK_MAIN_THREAD();
  // The fade-in jumps to its end, as every animation of the stand-in does.
  showing_ = true;
  shownAt_ = ns::RunLoop::main().now();
  setAlpha(1);
}

void ProgressHUD::hide(bool animated) {
  QM_DCHECK_MAIN_THREAD();
  if (minShowTime_ > 0 && showing_) {
    const ns::Duration shownFor = ns::RunLoop::main().now() - shownAt_;
    const ns::Duration minimum = uikit::durationFromSeconds(minShowTime_);
    if (shownFor < minimum) {
      after(minimum - shownFor, &ProgressHUD::hideNow, animated);
      return;
    }
  }
  hideNow(animated);
}

void ProgressHUD::hide(bool animated, double delaySeconds) {
  QM_DCHECK_MAIN_THREAD();
  after(uikit::durationFromSeconds(delaySeconds),
        static_cast<void (ProgressHUD::*)(bool)>(&ProgressHUD::hide), animated);
}

void ProgressHUD::after(ns::Duration delay, void (ProgressHUD::*action)(bool), bool animated) {
  std::weak_ptr<ProgressHUD> weakSelf = std::static_pointer_cast<ProgressHUD>(shared_from_this());
  ns::Timer::scheduled(ns::RunLoop::main(), delay, ns::Timer::Repeats::kNo,
                       [weakSelf, action, animated](ns::Timer&) {
                         if (auto self = weakSelf.lock()) {
                           ((*self).*action)(animated);
                         }
                       });
}

void ProgressHUD::hideNow(bool animated) {
  showing_ = false;
  if (!animated) {
    setAlpha(0);
    finishHiding();
    return;
  }
  // The completion keeps the HUD alive until it is done, even when only its superview held it.
  auto self = std::static_pointer_cast<ProgressHUD>(shared_from_this());
  uikit::View::animateWithDuration(
      kFadeSeconds, [this] { setAlpha(0); }, [self](bool) { self->finishHiding(); });
}

void ProgressHUD::finishHiding() {
  // A HUD shown again while it faded out stays.
  if (!showing_ && removeFromSuperViewOnHide_) {
    removeFromSuperview();
  }
}

void ProgressHUD::renderInto(uikit::ScreenText& text) const {
  if (!showing_) {
    return;
  }
  if (mode_ == ProgressHUDMode::kText) {
    text.addRawLine(uikit::ScreenText::Section::kOnTop, "toast: " + labelText_);
  } else {
    text.addRawLine(uikit::ScreenText::Section::kOnTop,
                    labelText_.empty() ? "loading" : "loading: " + labelText_);
  }
}

}  // namespace ui
