#include "app/account/QMUserOrderCell.h"

#include "app/account/QMUserOrderList.h"
#include "app/helpers/TRValidate.h"
#include "app/store/ServerValue.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

// The cell's layout: a top bar, the product lines, and a bottom bar, on the screen's width.
constexpr double kTopBarHeight = 40;
constexpr double kBottomBarHeight = 80;
constexpr double kInset = 15;
constexpr double kStatusWidth = 100;
constexpr double kButtonWidth = 80;
constexpr double kButtonHeight = 30;
constexpr double kButtonCornerRadius = 5;
constexpr double kTagSide = 20;

const uikit::Color kDefaultTextColor = uikit::Color::black();
const uikit::Color kClosedStatusColor = uikit::Color::hsba(0, 0, 0.71);
const uikit::Color kClosedPriceColor = uikit::Color::hsba(0.667, 0.007, 0.525);
const uikit::Color kUnpaidStatusColor = uikit::Color::hsba(0.513, 0.362, 0.855);
const uikit::Color kUnpaidPriceColor = uikit::Color::hsba(0.016, 0.61, 0.976);
const uikit::Color kCancelBorderColor = uikit::Color::hsba(0, 0, 0.769);

constexpr std::int64_t kStatusUnpaid = 0;
constexpr std::int64_t kStatusClosed = 2;

std::shared_ptr<uikit::Label> makeLabel(const char* outletName, uikit::Rect frame) {
  return uikit::outlet(outletName, std::make_shared<uikit::Label>(frame));
}

}  // namespace

QMUserOrderCell::QMUserOrderCell()
    : uikit::TableViewCell(uikit::TableViewCellStyle::kDefault, kReuseIdentifier) {
  const double width = uikit::Screen::mainScreen().bounds().width();
  timeLabel_ =
      makeLabel("timeLabel", uikit::Rect(kInset, 0, width - 2 * kInset - kStatusWidth, kTopBarHeight));
  stausLabel_ =
      makeLabel("stausLabel", uikit::Rect(width - kInset - kStatusWidth, 0, kStatusWidth, kTopBarHeight));
  stausLabel_->setTextAlignment(uikit::TextAlignment::kRight);

  midleView_ = uikit::outlet(
      "midleView", std::make_shared<uikit::View>(uikit::Rect(0, kTopBarHeight, width, kProductLineHeight)));
  productNameLabel_ =
      makeLabel("productNameLabel", uikit::Rect(kInset, 0, width - 2 * kInset, kProductLineHeight));
  productNameLabel_->setBackgroundColor(uikit::Color::white(1));
  tagImageview_ = uikit::outlet("tagImageview", std::make_shared<uikit::ImageView>(uikit::Rect(
                                                    width - kInset - kTagSide, 0, kTagSide, kTagSide)));
  midleView_->addSubview(productNameLabel_);
  midleView_->addSubview(tagImageview_);

  botomView_ =
      uikit::outlet("botomView", std::make_shared<uikit::View>(uikit::Rect(
                                     0, kTopBarHeight + kProductLineHeight, width, kBottomBarHeight)));
  priceLabel_ = makeLabel("priceLabel", uikit::Rect(kInset, 0, width / 3, kBottomBarHeight));
  const double buttonY = (kBottomBarHeight - kButtonHeight) / 2;
  cacelBtn_ = uikit::outlet(
      "cacelBtn", std::make_shared<uikit::Button>(uikit::Rect(width - 2 * (kInset + kButtonWidth), buttonY,
                                                              kButtonWidth, kButtonHeight)));
  cacelBtn_->setTitle(kCancelTitle, uikit::kControlStateNormal);
  payBtn_ =
      uikit::outlet("payBtn", std::make_shared<uikit::Button>(uikit::Rect(
                                  width - kInset - kButtonWidth, buttonY, kButtonWidth, kButtonHeight)));
  payBtn_->setTitle(kPayTitle, uikit::kControlStateNormal);
  botomView_->addSubview(priceLabel_);
  botomView_->addSubview(cacelBtn_);
  botomView_->addSubview(payBtn_);

  for (const std::shared_ptr<uikit::View>& part :
       std::initializer_list<std::shared_ptr<uikit::View>>{timeLabel_, stausLabel_, midleView_, botomView_}) {
    contentView().addSubview(part);
  }
  // The buttons live inside the cell and go with it, so their actions may reach it directly.
  cacelBtn_->addAction(
      [this](uikit::Control& control) { cacelOrderAction(static_cast<uikit::Button&>(control)); },
      uikit::kControlEventTouchUpInside);
  payBtn_->addAction(
      [this](uikit::Control& control) { payOrderAction(static_cast<uikit::Button&>(control)); },
      uikit::kControlEventTouchUpInside);
  showSceneLook();
}

std::vector<std::string> QMUserOrderCell::productNamesOf(const ns::Value& order) {
  const std::string joined = TRValidate::validateString(order.find("productDisplayNames"));
  std::vector<std::string> names;
  std::size_t start = 0;
  for (std::size_t comma = joined.find(','); comma != std::string::npos; comma = joined.find(',', start)) {
    names.push_back(joined.substr(start, comma - start));
    start = comma + 1;
  }
  names.push_back(joined.substr(start));
  return names;
}

double QMUserOrderCell::heightForOrder(const ns::Value& order) {
  return kFixedHeight + kProductLineHeight * static_cast<double>(productNamesOf(order).size());
}

std::int64_t QMUserOrderCell::statusOf(const ns::Value& order) {
  // A missing or null status is no known status: the cell shows no buttons for it.
  return serverIntegerOrNil(order.find("status")).value_or(-1);
}

void QMUserOrderCell::showSceneLook() {
  stausLabel_->setText("");
  stausLabel_->setTextColor(kDefaultTextColor);
  priceLabel_->setTextColor(kDefaultTextColor);
  cacelBtn_->setHidden(true);
  payBtn_->setHidden(true);
}

void QMUserOrderCell::setMyOrderModel(ns::Value order) {
  myOrderModel_ = std::move(order);
  showSceneLook();
  cacelBtn_->layer().setCornerRadius(kButtonCornerRadius);
  payBtn_->layer().setCornerRadius(kButtonCornerRadius);
  cacelBtn_->layer().setBorderWidth(1);
  cacelBtn_->layer().setBorderColor(kCancelBorderColor);
  switch (statusOf(myOrderModel_)) {
    case kStatusClosed:
      stausLabel_->setText(kClosedText);
      stausLabel_->setTextColor(kClosedStatusColor);
      priceLabel_->setTextColor(kClosedPriceColor);
      break;
    case kStatusUnpaid:
      stausLabel_->setText(kUnpaidText);
      stausLabel_->setTextColor(kUnpaidStatusColor);
      priceLabel_->setTextColor(kUnpaidPriceColor);
      cacelBtn_->setHidden(false);
      payBtn_->setHidden(false);
      break;
    default:
      break;
  }
  timeLabel_->setText(TRValidate::validateString(myOrderModel_.find("createTime")));
  priceLabel_->setText(TRValidate::validateString(myOrderModel_.find("price")));
  showProductLines(productNamesOf(myOrderModel_));
}

void QMUserOrderCell::showProductLines(const std::vector<std::string>& names) {
  // Lines left from the cell's previous order go first, the front-most first.
  const std::vector<std::shared_ptr<uikit::View>> subviews = midleView_->subviews();
  for (auto subview = subviews.rbegin(); subview != subviews.rend(); ++subview) {
    if (*subview != productNameLabel_ && std::dynamic_pointer_cast<uikit::Label>(*subview)) {
      (*subview)->removeFromSuperview();
    }
  }
  productNameLabel_->setText(names.front());
  const uikit::Rect line = productNameLabel_->frame();
  uikit::Rect middle = midleView_->frame();
  middle.size.height = line.height() * static_cast<double>(names.size());
  midleView_->setFrame(middle);
  for (std::size_t index = 1; index < names.size(); ++index) {
    auto extra = std::make_shared<uikit::Label>(line.offsetBy(0, line.height() * static_cast<double>(index)));
    extra->setBackgroundColor(uikit::Color::white(1));
    extra->setTextColor(productNameLabel_->textColor());
    extra->setFont(productNameLabel_->font());
    extra->setText(names[index]);
    midleView_->addSubview(std::move(extra));
  }
  midleView_->bringSubviewToFront(*tagImageview_);
  uikit::Rect bottom = botomView_->frame();
  bottom.origin.y = middle.maxY();
  botomView_->setFrame(bottom);
}

void QMUserOrderCell::cacelOrderAction(uikit::Button& /*sender*/) {
  if (const std::shared_ptr<QMUserOrderList> list = superController_.lock()) {
    list->cacelOrder(myOrderModel_);
  }
}

void QMUserOrderCell::payOrderAction(uikit::Button& /*sender*/) {
  if (const std::shared_ptr<QMUserOrderList> list = superController_.lock()) {
    list->payOrder(myOrderModel_);
  }
}

}  // namespace app
