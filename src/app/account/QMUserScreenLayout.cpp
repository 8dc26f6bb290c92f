#include "app/account/QMUserScreenLayout.h"

#include "platform/uikit/app/Screen.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

// Below the navigation bar, lines of this height, inset from the sides; a caption takes this width.
constexpr double kTopBarHeight = 64;
constexpr double kLineHeight = 44;
constexpr double kInset = 15;
constexpr double kCaptionWidth = 90;

}  // namespace

QMUserScreenLayout::QMUserScreenLayout()
    : view_(std::make_shared<uikit::View>(uikit::Screen::mainScreen().bounds())), nextLineY_(kTopBarHeight) {
  view_->setBackgroundColor(uikit::Color::white(1));
}

std::shared_ptr<uikit::Label> QMUserScreenLayout::addTitleLine(const std::string& outletName) {
  auto label =
      uikit::outlet(outletName, std::make_shared<uikit::Label>(uikit::Rect(
                                    kInset, nextLineY_, view_->bounds().width() - 2 * kInset, kLineHeight)));
  view_->addSubview(label);
  nextLineY_ += kLineHeight;
  return label;
}

std::shared_ptr<uikit::Label> QMUserScreenLayout::addCaptionedLine(const std::string& caption,
                                                                   const std::string& outletName) {
  auto captionLabel =
      std::make_shared<uikit::Label>(uikit::Rect(kInset, nextLineY_, kCaptionWidth, kLineHeight));
  captionLabel->setText(caption);
  view_->addSubview(captionLabel);
  const double valueX = kInset + kCaptionWidth;
  auto label = uikit::outlet(
      outletName, std::make_shared<uikit::Label>(uikit::Rect(
                      valueX, nextLineY_, view_->bounds().width() - valueX - kInset, kLineHeight)));
  view_->addSubview(label);
  nextLineY_ += kLineHeight;
  return label;
}

}  // namespace app
