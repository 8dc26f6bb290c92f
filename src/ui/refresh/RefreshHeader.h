#pragma once

// ui::RefreshHeader: a refresh component that sits above a scroll view's content. While it refreshes, the
// scroll view's top inset grows by the header's height so that the header shows; returning to idle restores
// the inset and saves the time of the update in the user defaults, under lastUpdatedTimeKey().
//
// It follows a finger's drag of its scroll view: pulled down by at least its height it is pulling, and
// letting go while pulling begins the refresh. Attach headers with setRf_header() (ScrollViewRefresh.h).
//
// Thread-safety: main thread only, like the views it lives among.

#include <optional>
#include <string>

#include "platform/foundation/values/Date.h"
#include "platform/uikit/views/ScrollViewDelegate.h"
#include "ui/refresh/RefreshComponent.h"

namespace ui {

class RefreshHeader : public RefreshComponent, public uikit::ScrollViewDelegate {
 public:
  static constexpr double kHeight = 54;
  static constexpr char kDefaultLastUpdatedTimeKey[] = "RefreshHeaderLastUpdatedTimeKey";

  const std::string& lastUpdatedTimeKey() const { return lastUpdatedTimeKey_; }
  void setLastUpdatedTimeKey(std::string key) { lastUpdatedTimeKey_ = std::move(key); }
  // The time the last refresh ended, or std::nullopt when none has ended yet.
  std::optional<ns::Date> lastUpdatedTime() const;

  void willMoveToSuperview(uikit::View* newSuperview) override;
  // The drag of the scroll view it lives in.
  void scrollViewDidScroll(uikit::ScrollView& scrollView) override;
  void scrollViewDidEndDragging(uikit::ScrollView& scrollView) override;

 protected:
  RefreshHeader();

  void setState(RefreshState state) override;

 private:
  std::string lastUpdatedTimeKey_ = kDefaultLastUpdatedTimeKey;
  // The scroll view's top inset before a refresh showed the header.
  double insetTopBeforeRefresh_ = 0;
};

}  // namespace ui
