#include "learning/cache/QMDLCountCaptions.h"

#include "app/helpers/QMHelpler.h"

namespace learning::dlcounts {

namespace {

// A row 70 points high on a 375-point screen; the counts take the right part.
constexpr double kLeft = 215;
constexpr double kCaptionWidth = 70;
constexpr double kCountWidth = 40;
constexpr double kLineHeight = 35;

}  // namespace

void addCountLabels(uikit::View& content, const std::shared_ptr<uikit::Label>& cachingLabel,
                    const std::shared_ptr<uikit::Label>& cachedLabel) {
  const std::pair<const char*, std::shared_ptr<uikit::Label>> lines[] = {{kCachingCaption, cachingLabel},
                                                                         {kCachedCaption, cachedLabel}};
  double y = 0;
  for (const auto& [caption, count] : lines) {
    auto captionLabel = std::make_shared<uikit::Label>(uikit::Rect(kLeft, y, kCaptionWidth, kLineHeight));
    captionLabel->setText(caption);
    captionLabel->setTextColor(app::QMHelpler::colorWithHexString("#999999"));
    count->setFrame(uikit::Rect(kLeft + kCaptionWidth, y, kCountWidth, kLineHeight));
    count->setTextColor(uikit::Color::white(1));
    content.addSubview(captionLabel);
    content.addSubview(count);
    y += kLineHeight;
  }
}

}  // namespace learning::dlcounts
