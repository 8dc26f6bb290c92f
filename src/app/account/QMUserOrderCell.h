#pragma once

// QMUserOrderCell: one order of the order list: its creation time and status at the top, one line per
// product in the middle, its price and, for an unpaid order, the cancel and pay buttons at the bottom.
//
// setMyOrderModel() first puts the cell back as its scene has it (no status text, the default colours,
// both buttons hidden, one product line), so a reused cell shows nothing of the order it showed before;
// then a closed order (status 2) shows "已关闭", an unpaid one (status 0) "待支付" with both buttons, and
// any other status keeps the scene's look. The buttons hand the order to the list (superController).
//
// Thread-safety: main thread only, like every view.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/values/Value.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/tables/TableViewCell.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"

namespace app {

class QMUserOrderList;

class QMUserOrderCell : public uikit::TableViewCell {
 public:
  static constexpr char kReuseIdentifier[] = "QMUserOrderCell";
  static constexpr char kClosedText[] = "已关闭";
  static constexpr char kUnpaidText[] = "待支付";
  static constexpr char kCancelTitle[] = "取消订单";
  static constexpr char kPayTitle[] = "去支付";
  // The height of one product line, and of the rest of the cell.
  static constexpr double kProductLineHeight = 60;
  static constexpr double kFixedHeight = 120;

  QMUserOrderCell();

  // The names of the order's products: "productDisplayNames" split at ",".
  static std::vector<std::string> productNamesOf(const ns::Value& order);
  // The row height of `order`: kFixedHeight plus a product line per product.
  static double heightForOrder(const ns::Value& order);
  // The order's "status" read as an integer; -1 when it has none.
  static std::int64_t statusOf(const ns::Value& order);

  // Outlets, owned by the cell's content view.
  uikit::Label& timeLabel() { return *timeLabel_; }
  uikit::Label& stausLabel() { return *stausLabel_; }
  uikit::Label& priceLabel() { return *priceLabel_; }
  uikit::Button& cacelBtn() { return *cacelBtn_; }
  uikit::Button& payBtn() { return *payBtn_; }
  uikit::View& botomView() { return *botomView_; }
  uikit::View& midleView() { return *midleView_; }
  uikit::Label& productNameLabel() { return *productNameLabel_; }
  uikit::ImageView& tagImageview() { return *tagImageview_; }

  // The list the buttons report to, held weakly.
  void setSuperController(std::weak_ptr<QMUserOrderList> list) { superController_ = std::move(list); }

  const ns::Value& myOrderModel() const { return myOrderModel_; }
  // Shows `order`, as the header comment describes.
  void setMyOrderModel(ns::Value order);

  // The buttons' actions: the list cancels or pays the cell's order.
  void cacelOrderAction(uikit::Button& sender);
  void payOrderAction(uikit::Button& sender);

 private:
  // The cell as its scene has it before any order is shown.
  void showSceneLook();
  void showProductLines(const std::vector<std::string>& names);

  std::shared_ptr<uikit::Label> timeLabel_;
  std::shared_ptr<uikit::Label> stausLabel_;
  std::shared_ptr<uikit::Label> priceLabel_;
  std::shared_ptr<uikit::Button> cacelBtn_;
  std::shared_ptr<uikit::Button> payBtn_;
  std::shared_ptr<uikit::View> botomView_;
  std::shared_ptr<uikit::View> midleView_;
  std::shared_ptr<uikit::Label> productNameLabel_;
  std::shared_ptr<uikit::ImageView> tagImageview_;
  std::weak_ptr<QMUserOrderList> superController_;
  ns::Value myOrderModel_;
};

}  // namespace app
