#pragma once

// The captions and layout the two download-area cells share: the downloading and downloaded counts stand
// on the right of the row, each after its caption.
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "platform/uikit/views/Label.h"
#include "platform/uikit/views/View.h"

namespace learning::dlcounts {

inline constexpr char kCachingCaption[] = "正在缓存";
inline constexpr char kCachedCaption[] = "已缓存";

// Adds to `content` the two captions and the two count labels, in the order they read: downloading
// caption, downloading count, downloaded caption, downloaded count.
void addCountLabels(uikit::View& content, const std::shared_ptr<uikit::Label>& cachingLabel,
                    const std::shared_ptr<uikit::Label>& cachedLabel);

}  // namespace learning::dlcounts
