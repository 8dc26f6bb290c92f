#pragma once

// ui::RefreshComponent: the state machine of a pull-to-refresh view that lives inside a scroll view: idle,
// pulling, refreshing, about to refresh (kWillRefresh) and no more data.
//
// beginRefreshing() fades the component in and enters the refreshing state at once when the component is in a
// window, or as soon as it is drawn otherwise. Entering the refreshing state runs the refreshing block once
// the component has faded in, 0.25 s later on the main loop's clock. endRefreshing() returns to idle; a
// refresh that ends before its block ran does not run it.
//
// Thread-safety: main thread only, like the views it lives among.

#include <functional>
#include <memory>

#include "platform/foundation/loop/Timer.h"
#include "platform/uikit/views/ScrollView.h"

namespace ui {

enum class RefreshState : int { kIdle = 1, kPulling = 2, kRefreshing = 3, kWillRefresh = 4, kNoMoreData = 5 };

class RefreshComponent : public uikit::View {
 public:
  using RefreshingBlock = std::function<void()>;

  // How long the fade-in before a refresh takes, in seconds.
  static constexpr double kFadeSeconds = 0.25;

  void beginRefreshing();
  void endRefreshing();
  // True in the refreshing state and while a refresh is about to begin.
  bool isRefreshing() const {
    return state_ == RefreshState::kRefreshing || state_ == RefreshState::kWillRefresh;
  }
  RefreshState state() const { return state_; }
  void setRefreshingBlock(RefreshingBlock block) { refreshingBlock_ = std::move(block); }

  // The scroll view the component lives in, or nullptr. Non-owning.
  uikit::ScrollView* scrollView() const { return dynamic_cast<uikit::ScrollView*>(superview()); }

  void drawRect(uikit::Rect rect) override;

 protected:
  explicit RefreshComponent(uikit::Rect frame);

  // Moves to `state`. Subclasses that override it call it first.
  virtual void setState(RefreshState state);

 private:
  RefreshingBlock refreshingBlock_;
  RefreshState state_ = RefreshState::kIdle;
  std::shared_ptr<ns::Timer> pendingRefresh_;
};

}  // namespace ui
