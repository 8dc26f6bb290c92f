#pragma once

// QMUserAccount: the learner's coin account: the balance in Z币 (coinText()) beside the recharge button,
// and a row that opens the transactions (the segue kZCoinListSegue to QMUserAccountDetails). It shows the
// stored balance at once and refreshes it each time it appears; a failed refresh keeps what is shown. It is
// presented inside a navigation controller, which its back item dismisses.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <string>

#include "app/user/QMUserDataModel.h"
#include "app/user/QMUserDataModelDelegate.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/controllers/TableViewController.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/Label.h"

namespace app {

class QMUserAccount : public uikit::TableViewController, public QMUserDataModelDelegate {
 public:
  static constexpr char kTitle[] = "我的Z币";
  static constexpr char kRechargeTitle[] = "充值";
  static constexpr char kTransactionsRowText[] = "Z币明细";
  static constexpr char kZCoinListSegue[] = "showZCoinList";

  QMUserAccount() = default;

  // The balance as the screen shows it: two decimals, then "Z币" ("12.50Z币").
  static std::string coinText(double amount);

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<uikit::Button>& addZCoinBtn() const { return addZCoinBtn_; }
  const std::shared_ptr<uikit::Label>& coinNumberLabel() const { return coinNumberLabel_; }
  const std::shared_ptr<QMUserDataModel>& dataModel() const { return dataModel_; }

  void loadView() override;
  // Shows the stored balance and makes the data model.
  void viewDidLoad() override;
  // Asks for the balance again.
  void viewWillAppear(bool animated) override;
  // The recharge button: nothing of its own.
  void goAddZCoin(uikit::Button& sender);
  // Dismisses the navigation controller that holds the screen, animated.
  void goBackAction(uikit::BarButtonItem& sender);

  std::int64_t numberOfSectionsInTableView(uikit::TableView& tableView) override;
  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;

  void networkGetUserZCoinSuccess() override;

 private:
  void showBalance();

  std::shared_ptr<uikit::Button> addZCoinBtn_;
  std::shared_ptr<uikit::Label> coinNumberLabel_;
  std::shared_ptr<uikit::TableViewCell> balanceCell_;
  std::shared_ptr<uikit::TableViewCell> transactionsCell_;
  std::shared_ptr<QMUserDataModel> dataModel_;
};

}  // namespace app
