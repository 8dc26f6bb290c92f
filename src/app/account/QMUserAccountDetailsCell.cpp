#include "app/account/QMUserAccountDetailsCell.h"

#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

// The cell's layout: the kind over the date on the left, the amount on the right.
constexpr double kInset = 15;
constexpr double kLabelWidth = 180;
constexpr double kLabelHeight = 20;
constexpr double kAmountWidth = 120;

}  // namespace

QMUserAccountDetailsCell::QMUserAccountDetailsCell()
    : uikit::TableViewCell(uikit::TableViewCellStyle::kDefault, kReuseIdentifier) {
  detailTypeLabel_ = uikit::outlet(
      "detailTypeLabel", std::make_shared<uikit::Label>(uikit::Rect(kInset, 4, kLabelWidth, kLabelHeight)));
  detailTimeLabel_ = uikit::outlet(
      "detailTimeLabel",
      std::make_shared<uikit::Label>(uikit::Rect(kInset, 4 + kLabelHeight, kLabelWidth, kLabelHeight)));
  detailNumberLabel_ = uikit::outlet(
      "detailNumberLabel",
      std::make_shared<uikit::Label>(uikit::Rect(kInset + kLabelWidth, 12, kAmountWidth, kLabelHeight)));
  detailNumberLabel_->setTextAlignment(uikit::TextAlignment::kRight);
  contentView().addSubview(detailTypeLabel_);
  contentView().addSubview(detailTimeLabel_);
  contentView().addSubview(detailNumberLabel_);
}

uikit::Color QMUserAccountDetailsCell::amountColorForType(std::int64_t type) {
  if (type == 2 || type == 4) {
    return uikit::Color::hsba(0.51, 0.598, 0.8, 1);
  }
  return uikit::Color::hsba(0.016, 0.688, 0.98, 1);
}

std::int64_t QMUserAccountDetailsCell::typeOf(const ns::Value& transaction) {
  const ns::Value* type = transaction.find("type");
  return type != nullptr ? type->integerValue() : 0;
}

}  // namespace app
