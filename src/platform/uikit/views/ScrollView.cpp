#include "platform/uikit/views/ScrollView.h"

#include "platform/foundation/check/Check.h"

namespace uikit {

ScrollView::ScrollView(Rect frame) : View(frame) {}

void ScrollView::setContentOffset(Point offset, bool) {
  QM_DCHECK_MAIN_THREAD();
  if (offset == contentOffset()) {
    return;
  }
  setBounds(Rect(offset, bounds().size));
  if (auto delegate = scrollDelegate_.lock()) {
    delegate->scrollViewDidScroll(*this);
  }
}

}  // namespace uikit
