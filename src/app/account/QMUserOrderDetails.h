#pragma once

// QMUserOrderDetails: the details of one order: its number, the time it was made, its status ("待支付",
// "已支付", "已关闭"), its price and one line per product. The order list hands it the order before it is
// shown (a row's selection); it sends no request.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <vector>

#include "app/base/QMBaseViewController.h"
#include "platform/foundation/values/Value.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/views/Label.h"

namespace app {

class QMUserOrderDetails : public QMBaseViewController {
 public:
  static constexpr char kTitle[] = "订单详情";
  static constexpr char kPaidText[] = "已支付";

  explicit QMUserOrderDetails(ns::Value order) : order_(std::move(order)) {}

  // Builds the captioned lines of the order and the back item.
  void loadView() override;
  // Pops the screen, animated.
  void goBackAction(uikit::BarButtonItem& sender);

  // The status's text, empty for a status the list does not know.
  static std::string statusText(const ns::Value& order);

 private:
  const ns::Value order_;
};

}  // namespace app
