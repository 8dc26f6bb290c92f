#include "app/user/QMUserProfileHeader.h"

#include "http_client/HCImageViewLoading.h"
#include "platform/net/URL.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

constexpr double kHeaderHeight = 180;
constexpr double kAvatarSide = 2 * QMUserProfileHeader::kAvatarCornerRadius;
constexpr double kAvatarTop = 40;
constexpr double kNameHeight = 30;
constexpr double kBackWidth = 60;
constexpr double kBackHeight = 30;
constexpr double kInset = 10;

}  // namespace

QMUserProfileHeader::QMUserProfileHeader(double width)
    : view_(std::make_shared<uikit::View>(uikit::Rect(0, 0, width, kHeaderHeight))) {
  avaterImageView_ =
      uikit::outlet("avaterImageView", std::make_shared<uikit::ImageView>(uikit::Rect(
                                           (width - kAvatarSide) / 2, kAvatarTop, kAvatarSide, kAvatarSide)));
  avaterImageView_->layer().setCornerRadius(kAvatarCornerRadius);
  userNameLabel_ = uikit::outlet(
      "userNameLabel",
      std::make_shared<uikit::Label>(uikit::Rect(0, kAvatarTop + kAvatarSide + kInset, width, kNameHeight)));
  userNameLabel_->setTextAlignment(uikit::TextAlignment::kCenter);
  userNameLabel_->setText(kNameSceneText);
  backButton_ = uikit::outlet("backButton", std::make_shared<uikit::Button>(
                                                uikit::Rect(kInset, kInset + 10, kBackWidth, kBackHeight)));
  backButton_->setTitle(kBackTitle, uikit::kControlStateNormal);
  view_->addSubview(avaterImageView_);
  view_->addSubview(userNameLabel_);
  view_->addSubview(backButton_);
}

void QMUserProfileHeader::showAvatar(const std::shared_ptr<uikit::ImageView>& avatar,
                                     const std::optional<std::string>& url) {
  std::shared_ptr<const uikit::Image> placeholder = uikit::Image::imageNamed(kPlaceholderImage);
  const std::optional<ns::URL> address = url ? ns::URL::fromString(*url) : std::nullopt;
  if (!address) {
    http_client::cancelImageRequestOperation(avatar);
    avatar->setImage(std::move(placeholder));
    return;
  }
  http_client::setImageWithURL(avatar, *address, std::move(placeholder));
}

}  // namespace app
