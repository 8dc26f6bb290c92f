#include "platform/uikit/views/ScrollView.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"

namespace uikit {

ScrollView::ScrollView(Rect frame) : View(frame) {}

void ScrollView::setContentOffset(Point offset, bool) {
  QM_DCHECK_MAIN_THREAD();
  if (offset == contentOffset()) {
    return;
  }
  setBounds(Rect(offset, bounds().size));
  contentOffsetDidChange();
  tellListeners(&ScrollViewDelegate::scrollViewDidScroll);
}

void ScrollView::setContentSize(Size size) {
  QM_DCHECK_MAIN_THREAD();
  contentSize_ = size;
  if (!dragging_ && contentOffset().y > bottomOffset()) {
    setContentOffset(Point{contentOffset().x, bottomOffset()});
  }
}

double ScrollView::bottomOffset() const {
  return std::max(-contentInset_.top, contentSize_.height + contentInset_.bottom - bounds().height());
}

void ScrollView::addScrollObserver(std::weak_ptr<ScrollViewDelegate> observer) {
  QM_DCHECK_MAIN_THREAD();
  scrollObservers_.push_back(std::move(observer));
}

void ScrollView::removeScrollObserver(const ScrollViewDelegate* observer) {
  QM_DCHECK_MAIN_THREAD();
  std::erase_if(scrollObservers_, [observer](const std::weak_ptr<ScrollViewDelegate>& each) {
    const std::shared_ptr<ScrollViewDelegate> alive = each.lock();
    return !alive || alive.get() == observer;
  });
}

void ScrollView::pullDown(double distance) {
  QM_DCHECK_MAIN_THREAD();
  if (!scrollEnabled_) {
    return;
  }
  dragTo(-contentInset_.top - distance);
  setContentOffset(Point{contentOffset().x, -contentInset_.top});
}

void ScrollView::scrollBy(double distance) {
  QM_DCHECK_MAIN_THREAD();
  if (!scrollEnabled_) {
    return;
  }
  dragTo(std::clamp(contentOffset().y + distance, -contentInset_.top, bottomOffset()));
}

void ScrollView::dragTo(double offset) {
  dragging_ = true;
  tellListeners(&ScrollViewDelegate::scrollViewWillBeginDragging);
  setContentOffset(Point{contentOffset().x, offset});
  dragging_ = false;
  tellListeners(&ScrollViewDelegate::scrollViewDidEndDragging);
}

void ScrollView::tellListeners(void (ScrollViewDelegate::*callback)(ScrollView&)) {
  if (auto delegate = scrollDelegate_.lock()) {
    ((*delegate).*callback)(*this);
  }
  // A copy, since a listener may add or remove observers while it is told.
  const std::vector<std::weak_ptr<ScrollViewDelegate>> observers = scrollObservers_;
  for (const std::weak_ptr<ScrollViewDelegate>& each : observers) {
    if (auto observer = each.lock()) {
      ((*observer).*callback)(*this);
    }
  }
}

}  // namespace uikit
