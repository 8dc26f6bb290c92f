#include "ui/refresh/RefreshHeader.h"

#include "platform/foundation/storage/UserDefaults.h"

namespace ui {

RefreshHeader::RefreshHeader() : RefreshComponent(uikit::Rect(0, -kHeight, 0, kHeight)) {}

std::optional<ns::Date> RefreshHeader::lastUpdatedTime() const {
  const auto stored = ns::UserDefaults::standardUserDefaults().objectForKey(lastUpdatedTimeKey_);
  if (!stored || !stored->isDate()) {
    return std::nullopt;
  }
  return stored->asDate();
}

void RefreshHeader::willMoveToSuperview(uikit::View* newSuperview) {
  if (uikit::ScrollView* former = scrollView()) {
    former->removeScrollObserver(this);
  }
  if (auto* scroll = dynamic_cast<uikit::ScrollView*>(newSuperview)) {
    setFrame(uikit::Rect(0, -kHeight, scroll->bounds().width(), kHeight));
    scroll->addScrollObserver(std::static_pointer_cast<RefreshHeader>(shared_from_this()));
  }
}

void RefreshHeader::scrollViewDidScroll(uikit::ScrollView& scrollView) {
  const RefreshState current = state();
  if (!scrollView.isDragging() || (current != RefreshState::kIdle && current != RefreshState::kPulling)) {
    return;
  }
  const double pulled = -(scrollView.contentOffset().y + scrollView.contentInset().top);
  setState(pulled >= kHeight ? RefreshState::kPulling : RefreshState::kIdle);
}

void RefreshHeader::scrollViewDidEndDragging(uikit::ScrollView& /*scrollView*/) {
  if (state() == RefreshState::kPulling) {
    beginRefreshing();
  }
}

void RefreshHeader::setState(RefreshState state) {
  const RefreshState former = this->state();
  RefreshComponent::setState(state);
  uikit::ScrollView* scroll = scrollView();
  if (scroll == nullptr || state == former) {
    return;
  }
  uikit::EdgeInsets inset = scroll->contentInset();
  if (state == RefreshState::kRefreshing) {
    insetTopBeforeRefresh_ = inset.top;
    inset.top += kHeight;
    scroll->setContentInset(inset);
    scroll->setContentOffset(uikit::Point{scroll->contentOffset().x, -inset.top}, true);
  } else if (former == RefreshState::kRefreshing && state == RefreshState::kIdle) {
    ns::UserDefaults::standardUserDefaults().setObject(ns::Date::now(), lastUpdatedTimeKey_);
    inset.top = insetTopBeforeRefresh_;
    scroll->setContentInset(inset);
  }
}

}  // namespace ui
