#pragma once

// ui::RefreshNormalHeader: the refresh header the screens use: a spinner that turns while it refreshes. Its
// screen text, while refreshing or about to, is "progress <id>: refreshing".
//
// Thread-safety: main thread only, like the views it lives among.

#include <memory>

#include "platform/uikit/views/ActivityIndicatorView.h"
#include "ui/refresh/RefreshHeader.h"

namespace ui {

class RefreshNormalHeader : public RefreshHeader {
 public:
  // A new header that runs `block` each time it enters the refreshing state.
  static std::shared_ptr<RefreshNormalHeader> headerWithRefreshingBlock(RefreshingBlock block);

  // Use headerWithRefreshingBlock(); public for std::make_shared.
  RefreshNormalHeader();

  void renderInto(uikit::ScreenText& text) const override;

 protected:
  void setState(RefreshState state) override;

 private:
  std::shared_ptr<uikit::ActivityIndicatorView> spinner_;
};

}  // namespace ui
