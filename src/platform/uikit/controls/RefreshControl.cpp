#include "platform/uikit/controls/RefreshControl.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"

namespace uikit {

RefreshControl::RefreshControl() : Control(Rect{0, 0, 320, 60}) {}

void RefreshControl::beginRefreshing() {
  QM_DCHECK_MAIN_THREAD();
  refreshing_ = true;
}

void RefreshControl::endRefreshing() {
  QM_DCHECK_MAIN_THREAD();
  refreshing_ = false;
}

void RefreshControl::renderInto(ScreenText& text) const {
  if (refreshing_) {
    text.addLine(ScreenText::Section::kProgress, "progress", *this, "refreshing");
  }
  View::renderInto(text);
}

}  // namespace uikit
