#include "platform/uikit/views/ScrollView.h"

namespace uikit {

ScrollView::ScrollView(Rect frame) : View(frame) {}

void ScrollView::setContentOffset(Point offset, bool) {
  if (offset == contentOffset()) {
    return;
  }
  setBounds(Rect(offset, bounds().size));
  if (auto delegate = scrollDelegate_.lock()) {
    delegate->scrollViewDidScroll(*this);
  }
}

}  // namespace uikit
