#include "app/account/QMUserOrderDetails.h"

#include <cstdint>
#include <string>

#include "app/account/QMUserOrderCell.h"
#include "app/account/QMUserOrderList.h"
#include "app/account/QMUserScreenLayout.h"
#include "app/base/QMBackItem.h"
#include "app/helpers/TRValidate.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/controllers/NavigationController.h"

namespace app {

namespace {

// The status of a paid order, which only the all-orders tab lists.
constexpr std::int64_t kPaidStatus = 1;

}  // namespace

std::string QMUserOrderDetails::statusText(const ns::Value& order) {
  switch (QMUserOrderCell::statusOf(order)) {
    case QMUserOrderList::kUnpaidStatus:
      return QMUserOrderCell::kUnpaidText;
    case kPaidStatus:
      return kPaidText;
    case QMUserOrderList::kClosedStatus:
      return QMUserOrderCell::kClosedText;
    default:
      return {};
  }
}

void QMUserOrderDetails::loadView() {
  const auto text = [this](const char* key) { return TRValidate::validateString(order_.find(key)); };
  QMUserScreenLayout layout;
  layout.addCaptionedLine("订单号", "orderNoLabel")->setText(text("orderNo"));
  layout.addCaptionedLine("下单时间", "createTimeLabel")->setText(text("createTime"));
  layout.addCaptionedLine("订单状态", "statusLabel")->setText(statusText(order_));
  layout.addCaptionedLine("价格", "priceLabel")->setText(text("price"));
  const std::vector<std::string> products = QMUserOrderCell::productNamesOf(order_);
  for (std::size_t index = 0; index < products.size(); ++index) {
    layout.addCaptionedLine(index == 0 ? "商品" : "", "productLabel" + std::to_string(index))
        ->setText(products[index]);
  }
  setView(layout.takeView());
  navigationItem().setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(makeBackItem(
      std::static_pointer_cast<QMUserOrderDetails>(shared_from_this()), &QMUserOrderDetails::goBackAction));
}

void QMUserOrderDetails::goBackAction(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->popViewControllerAnimated(true);
  }
}

}  // namespace app
