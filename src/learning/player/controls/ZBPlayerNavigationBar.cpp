#include "learning/player/controls/ZBPlayerNavigationBar.h"

#include <cstdio>

#include "learning/player/controls/ZBImageFromBundle.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {
namespace {

// The bar's buttons sit under the status bar.
constexpr double kStatusBarHeight = 20;
constexpr double kRateFontSize = 14;
constexpr uikit::EdgeInsets kRateTitleInsets{5, 20, 0, 0};

uikit::Size sizeOf(const std::shared_ptr<const uikit::Image>& image) {
  return image ? image->size() : uikit::Size{};
}

}  // namespace

ZBPlayerNavigationBar::ZBPlayerNavigationBar(uikit::Rect frame)
    : View(frame),
      tlabel_(std::make_shared<uikit::Label>()),
      imgBack_(ZBImageFromBundle::imageWithResourceName("iconBack")),
      imgRate_(ZBImageFromBundle::imageWithResourceName("iconRate")),
      imgInfo_(ZBImageFromBundle::imageWithResourceName("iconList")),
      // Named so that the terminal's back command finds it, also while the controls are hidden.
      backBtn_(uikit::outlet("backBtn",
                             std::make_shared<uikit::Button>(uikit::Rect(), uikit::ButtonType::kCustom))),
      rateBtn_(std::make_shared<uikit::Button>(uikit::Rect(), uikit::ButtonType::kCustom)),
      infoBtn_(std::make_shared<uikit::Button>(uikit::Rect(), uikit::ButtonType::kCustom)) {
  addSubview(backBtn_);
  infoBtn_->setImage(imgInfo_, uikit::kControlStateNormal);
  tlabel_->setTextColor(uikit::Color::white(1));
  addSubview(tlabel_);
  setRate(1.0F);
}

void ZBPlayerNavigationBar::setRate(float rate) {
  rate_ = rate;
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(rate));
  rateBtn_->setTitle(text, uikit::kControlStateNormal);
  rateBtn_->titleLabel().setFont(uikit::Font::systemFontOfSize(kRateFontSize));
  rateBtn_->setTitleEdgeInsets(kRateTitleInsets);
}

void ZBPlayerNavigationBar::setTitle(std::string title) {
  title_ = std::move(title);
  tlabel_->setText(title_);
  tlabel_->sizeToFit();
  tlabel_->setCenter(uikit::Point{tlabel_->center().x, center().y + 10});
}

void ZBPlayerNavigationBar::drawRect(uikit::Rect rect) {
  backBtn_->setImage(imgBack_, uikit::kControlStateNormal);
  const uikit::Size backSize = sizeOf(imgBack_);
  backBtn_->setFrame(uikit::Rect(uikit::Point{0, kStatusBarHeight}, backSize));
  if (isFull_) {
    if (rateBtn_->superview() == nullptr) {
      addSubview(rateBtn_);
    }
    rateBtn_->setBackgroundImage(imgRate_, uikit::kControlStateNormal);
    const uikit::Size rateSize = sizeOf(imgRate_);
    rateBtn_->setFrame(uikit::Rect(uikit::Point{rect.width() - rateSize.width, kStatusBarHeight}, rateSize));
  } else {
    infoBtn_->removeFromSuperview();
    rateBtn_->removeFromSuperview();
  }
  tlabel_->setCenter(
      uikit::Point{backSize.width + tlabel_->frame().width() / 2, backSize.height / 2 + kStatusBarHeight});
}

}  // namespace learning
