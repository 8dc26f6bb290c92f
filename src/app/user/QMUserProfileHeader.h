#pragma once

// QMUserProfileHeader: the top of the user-centre screens as their scenes lay it out: the round avatar
// (avaterImageView, 75 points wide with a corner radius of 37.5), the login name under it
// (userNameLabel, kNameSceneText until a screen fills it), and the back button ("返回"), which the screens
// wire to their goBackAction. A screen puts view() above its table.
//
// Thread-safety: main thread only.

#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"
#include "platform/uikit/views/View.h"

namespace app {

class QMUserProfileHeader {
 public:
  static constexpr char kPlaceholderImage[] = "avater";
  static constexpr char kNameSceneText[] = "用户名";
  static constexpr char kBackTitle[] = "返回";
  static constexpr double kAvatarCornerRadius = 37.5;

  // Builds the header `width` points wide.
  explicit QMUserProfileHeader(double width);

  // Shows the picture at `url` in `avatar` over the placeholder "avater", or the placeholder alone when
  // there is no address or it is not a URL.
  static void showAvatar(const std::shared_ptr<uikit::ImageView>& avatar,
                         const std::optional<std::string>& url);

  const std::shared_ptr<uikit::View>& view() const { return view_; }
  const std::shared_ptr<uikit::ImageView>& avaterImageView() const { return avaterImageView_; }
  const std::shared_ptr<uikit::Label>& userNameLabel() const { return userNameLabel_; }
  const std::shared_ptr<uikit::Button>& backButton() const { return backButton_; }

 private:
  std::shared_ptr<uikit::View> view_;
  std::shared_ptr<uikit::ImageView> avaterImageView_;
  std::shared_ptr<uikit::Label> userNameLabel_;
  std::shared_ptr<uikit::Button> backButton_;
};

}  // namespace app
