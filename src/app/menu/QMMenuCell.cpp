#include "app/menu/QMMenuCell.h"

#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

constexpr double kIconSide = 24;
constexpr double kInset = 20;
constexpr double kRowHeight = 50;

}  // namespace

QMMenuCell::QMMenuCell() : uikit::TableViewCell(uikit::TableViewCellStyle::kDefault, kReuseIdentifier) {
  tagBtn_ = uikit::outlet("tagBtn", std::make_shared<uikit::Button>(uikit::Rect(
                                        kInset, (kRowHeight - kIconSide) / 2, kIconSide, kIconSide)));
  // The picture only marks the row; a touch on it is the row's.
  tagBtn_->setUserInteractionEnabled(false);
  contentView().addSubview(tagBtn_);
  setSelectionStyle(uikit::TableViewCellSelectionStyle::kNone);
}

void QMMenuCell::show(const std::string& imageName, const std::string& text) {
  tagBtn_->setImage(uikit::Image::imageNamed(imageName), uikit::kControlStateNormal);
  textLabel().setText(text);
}

}  // namespace app
