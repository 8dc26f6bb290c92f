#include "app/account/QMUserOneTradeDetails.h"

#include <utility>

#include "app/account/QMUserAccountDetailsCell.h"
#include "app/account/QMUserScreenLayout.h"
#include "app/base/QMBackItem.h"
#include "app/helpers/TRValidate.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/controllers/NavigationController.h"

namespace app {

void QMUserOneTradeDetails::loadView() {
  QMUserScreenLayout layout;
  detailsTypeLabel_ = layout.addTitleLine("detailsTypeLabel");
  detailsNumberLabel_ = layout.addTitleLine("detailsNumberLabel");
  detailsBalanceLabel_ = layout.addCaptionedLine("余额", "detailsBalanceLabel");
  detailsTimeLabel_ = layout.addCaptionedLine("交易时间", "detailsTimeLabel");
  detailsType_ = layout.addCaptionedLine("交易类型", "detailsType");
  detailsRemarkLabel_ = layout.addCaptionedLine("备注", "detailsRemarkLabel");
  setView(layout.takeView());
  navigationItem().setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(
      makeBackItem(std::static_pointer_cast<QMUserOneTradeDetails>(shared_from_this()),
                   &QMUserOneTradeDetails::goBackAction));
}

void QMUserOneTradeDetails::viewDidLoad() {
  QMBaseViewController::viewDidLoad();
  const auto text = [this](const char* key) { return TRValidate::validateString(tradeDetailDic_.find(key)); };
  detailsTypeLabel_->setText(text("type_desc"));
  detailsNumberLabel_->setText(text("amount"));
  detailsNumberLabel_->setTextColor(
      QMUserAccountDetailsCell::amountColorForType(QMUserAccountDetailsCell::typeOf(tradeDetailDic_)));
  detailsBalanceLabel_->setText(text("yu_e"));
  detailsTimeLabel_->setText(text("yyyyMMddhhmmss_time"));
  detailsType_->setText(text("type_desc"));
  detailsRemarkLabel_->setText(text("remark"));
}

void QMUserOneTradeDetails::goBackAction(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->popViewControllerAnimated(true);
  }
}

}  // namespace app
