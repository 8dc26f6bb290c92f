#include "ui/refresh/RefreshNormalHeader.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"

namespace ui {

std::shared_ptr<RefreshNormalHeader> RefreshNormalHeader::headerWithRefreshingBlock(RefreshingBlock block) {
  QM_DCHECK_MAIN_THREAD();
  auto header = std::make_shared<RefreshNormalHeader>();
  header->setRefreshingBlock(std::move(block));
  return header;
}

RefreshNormalHeader::RefreshNormalHeader()
    : spinner_(std::make_shared<uikit::ActivityIndicatorView>(uikit::ActivityIndicatorViewStyle::kGray)) {
  addSubview(spinner_);
}

void RefreshNormalHeader::setState(RefreshState state) {
  RefreshHeader::setState(state);
  if (state == RefreshState::kRefreshing) {
    spinner_->startAnimating();
  } else {
    spinner_->stopAnimating();
  }
}

void RefreshNormalHeader::renderInto(uikit::ScreenText& text) const {
  if (isRefreshing()) {
    text.addLine(uikit::ScreenText::Section::kProgress, "progress", *this, "refreshing");
  }
}

}  // namespace ui
