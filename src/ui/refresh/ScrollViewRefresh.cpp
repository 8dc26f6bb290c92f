#include "ui/refresh/ScrollViewRefresh.h"

#include "platform/foundation/check/Check.h"

namespace ui {

void setRf_header(uikit::ScrollView& scrollView, std::shared_ptr<RefreshHeader> header) {
  QM_DCHECK_MAIN_THREAD();
  if (auto former = rf_header(scrollView); former && former != header) {
    former->removeFromSuperview();
  }
  if (header) {
    scrollView.insertSubviewAtIndex(std::move(header), 0);
  }
}

std::shared_ptr<RefreshHeader> rf_header(const uikit::ScrollView& scrollView) {
  for (const auto& subview : scrollView.subviews()) {
    if (auto header = std::dynamic_pointer_cast<RefreshHeader>(subview)) {
      return header;
    }
  }
  return nullptr;
}

}  // namespace ui
