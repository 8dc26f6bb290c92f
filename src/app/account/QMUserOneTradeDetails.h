#pragma once

// QMUserOneTradeDetails: the details of one coin transaction: its kind, its amount in the colour of its
// kind, the balance after it, its date and time, and its remark. The transaction list hands it the
// transaction before it is shown (the segue from a row); it sends no request.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "app/base/QMBaseViewController.h"
#include "platform/foundation/values/Value.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/views/Label.h"

namespace app {

class QMUserOneTradeDetails : public QMBaseViewController {
 public:
  static constexpr char kTitle[] = "交易详情";

  QMUserOneTradeDetails() = default;

  // The transaction shown. Set before the view loads.
  const ns::Value& tradeDetailDic() const { return tradeDetailDic_; }
  void setTradeDetailDic(ns::Value transaction) { tradeDetailDic_ = std::move(transaction); }

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<uikit::Label>& detailsTypeLabel() const { return detailsTypeLabel_; }
  const std::shared_ptr<uikit::Label>& detailsNumberLabel() const { return detailsNumberLabel_; }
  const std::shared_ptr<uikit::Label>& detailsBalanceLabel() const { return detailsBalanceLabel_; }
  const std::shared_ptr<uikit::Label>& detailsTimeLabel() const { return detailsTimeLabel_; }
  const std::shared_ptr<uikit::Label>& detailsType() const { return detailsType_; }
  const std::shared_ptr<uikit::Label>& detailsRemarkLabel() const { return detailsRemarkLabel_; }

  // Builds the labels under their captions and the back item.
  void loadView() override;
  // Fills the labels from the transaction.
  void viewDidLoad() override;
  // Pops the screen, animated.
  void goBackAction(uikit::BarButtonItem& sender);

 private:
  ns::Value tradeDetailDic_;
  std::shared_ptr<uikit::Label> detailsTypeLabel_;
  std::shared_ptr<uikit::Label> detailsNumberLabel_;
  std::shared_ptr<uikit::Label> detailsBalanceLabel_;
  std::shared_ptr<uikit::Label> detailsTimeLabel_;
  std::shared_ptr<uikit::Label> detailsType_;
  std::shared_ptr<uikit::Label> detailsRemarkLabel_;
};

}  // namespace app
