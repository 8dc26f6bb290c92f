#pragma once

// uikit::RefreshControl: the platform's pull-to-refresh control at the top of a scroll view. It is refreshing
// from beginRefreshing() to endRefreshing(); while refreshing its screen-text line is
// "progress <id>: refreshing".
//
// Thread-safety: main thread only, like every class of uikit.

#include "platform/uikit/controls/Control.h"

namespace uikit {

class RefreshControl : public Control {
 public:
  RefreshControl();

  bool isRefreshing() const { return refreshing_; }
  void beginRefreshing();
  void endRefreshing();

  void renderInto(ScreenText& text) const override;

 private:
  bool refreshing_ = false;
};

}  // namespace uikit
