#include "app/user/QMUserProfileRows.h"

#include "app/session/QMUser.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

constexpr double kRowHeight = 44;
constexpr double kInset = 15;
constexpr double kCaptionWidth = 80;

}  // namespace

QMUserProfileRows::QMUserProfileRows(double width) {
  realNameLabel_ = addRow(width, "姓名", "realNameLabel");
  sexLabel_ = addRow(width, "性别", "sexLabel");
  sexLabel_->setText(kSexSceneText);
  addressLabel_ = addRow(width, "地区", "addressLabel");
}

std::shared_ptr<uikit::Label> QMUserProfileRows::addRow(double width, const std::string& caption,
                                                        const std::string& outletName) {
  auto cell = std::make_shared<uikit::TableViewCell>(uikit::TableViewCellStyle::kDefault, outletName);
  cell->setSelectionStyle(uikit::TableViewCellSelectionStyle::kNone);
  auto captionLabel = std::make_shared<uikit::Label>(uikit::Rect(kInset, 0, kCaptionWidth, kRowHeight));
  captionLabel->setText(caption);
  const double valueX = kInset + kCaptionWidth;
  auto value = uikit::outlet(outletName, std::make_shared<uikit::Label>(
                                             uikit::Rect(valueX, 0, width - valueX - kInset, kRowHeight)));
  cell->contentView().addSubview(std::move(captionLabel));
  cell->contentView().addSubview(value);
  cells_.push_back(std::move(cell));
  return value;
}

std::optional<std::string> QMUserProfileRows::sexText(const std::optional<std::string>& userSex) {
  if (userSex == "1") {
    return "女";
  }
  if (userSex == "2") {
    return "男";
  }
  return std::nullopt;
}

void QMUserProfileRows::show(QMUser& user) {
  realNameLabel_->setText(user.userRealName().value_or(""));
  if (const std::optional<std::string> sex = sexText(user.userSex())) {
    sexLabel_->setText(*sex);
  }
  addressLabel_->setText(user.userAddress().value_or(""));
}

}  // namespace app
