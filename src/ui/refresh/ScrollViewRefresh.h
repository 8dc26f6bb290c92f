#pragma once

// The pull-to-refresh extension of scroll views: a scroll view holds at most one refresh header, as its first
// subview. Thread-safety: main thread only.

#include <memory>

#include "platform/uikit/views/ScrollView.h"
#include "ui/refresh/RefreshHeader.h"

namespace ui {

// Attaches `header` to `scrollView` as its first subview, removing an earlier header; nullptr only removes.
void setRf_header(uikit::ScrollView& scrollView, std::shared_ptr<RefreshHeader> header);
// Returns the header attached to `scrollView`, or nullptr when none is.
std::shared_ptr<RefreshHeader> rf_header(const uikit::ScrollView& scrollView);

}  // namespace ui
