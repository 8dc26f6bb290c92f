#include "ui/refresh/RefreshComponent.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/support/Seconds.h"

namespace ui {

RefreshComponent::RefreshComponent(uikit::Rect frame) : uikit::View(frame) {}

void RefreshComponent::beginRefreshing() {
  QM_DCHECK_MAIN_THREAD();
  // The fade-in jumps to its end, as every animation of the stand-in does; its length still times the block.
  setAlpha(1);
  if (window() != nullptr) {
    setState(RefreshState::kRefreshing);
  } else if (state_ != RefreshState::kRefreshing) {
    setState(RefreshState::kWillRefresh);
    setNeedsDisplay();
  }
}

void RefreshComponent::endRefreshing() {
  QM_DCHECK_MAIN_THREAD();
  setState(RefreshState::kIdle);
}

void RefreshComponent::drawRect(uikit::Rect) {
  if (state_ == RefreshState::kWillRefresh) {
    setState(RefreshState::kRefreshing);
  }
}

void RefreshComponent::setState(RefreshState state) {
  const RefreshState former = state_;
  state_ = state;
  if (former == RefreshState::kRefreshing && state != RefreshState::kRefreshing && pendingRefresh_) {
    pendingRefresh_->invalidate();
    pendingRefresh_.reset();
  }
  if (state != RefreshState::kRefreshing || former == RefreshState::kRefreshing) {
    return;
  }
  std::weak_ptr<RefreshComponent> weakSelf = std::static_pointer_cast<RefreshComponent>(shared_from_this());
  pendingRefresh_ = ns::Timer::scheduled(ns::RunLoop::main(), uikit::durationFromSeconds(kFadeSeconds),
                                         ns::Timer::Repeats::kNo, [weakSelf](ns::Timer&) {
                                           auto self = weakSelf.lock();
                                           if (!self) {
                                             return;
                                           }
                                           self->pendingRefresh_.reset();
                                           if (self->refreshingBlock_) {
                                             self->refreshingBlock_();
                                           }
                                         });
}

}  // namespace ui
