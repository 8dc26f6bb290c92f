#include "app/account/QMUserAccount.h"

#include <cmath>
#include <cstdio>

#include "app/base/QMBackItem.h"
#include "app/session/QMUser.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

constexpr double kHeaderHeight = 15;
constexpr double kButtonCornerRadius = 5;
// The balance row: the balance on the left, the recharge button on the right.
constexpr double kInset = 15;
constexpr double kBalanceWidth = 200;
constexpr double kRowHeight = 44;
constexpr double kButtonWidth = 80;
constexpr double kButtonHeight = 30;

enum Section : std::int64_t { kBalanceSection = 0, kTransactionsSection = 1, kSectionCount = 2 };

}  // namespace

std::string QMUserAccount::coinText(double amount) {
  char text[64];
  // A balance kept before amounts were checked may not be finite; it reads as none.
  std::snprintf(text, sizeof text, "%.2fZ币", std::isfinite(amount) ? amount : 0.0);
  return text;
}

void QMUserAccount::loadView() {
  uikit::TableViewController::loadView();
  const double width = tableView().frame().width();
  balanceCell_ = std::make_shared<uikit::TableViewCell>(uikit::TableViewCellStyle::kDefault, "balance");
  balanceCell_->setSelectionStyle(uikit::TableViewCellSelectionStyle::kNone);
  coinNumberLabel_ = uikit::outlet(
      "coinNumberLabel", std::make_shared<uikit::Label>(uikit::Rect(kInset, 0, kBalanceWidth, kRowHeight)));
  addZCoinBtn_ = uikit::outlet(
      "addZCoinBtn",
      std::make_shared<uikit::Button>(uikit::Rect(
          width - kInset - kButtonWidth, (kRowHeight - kButtonHeight) / 2, kButtonWidth, kButtonHeight)));
  addZCoinBtn_->setTitle(kRechargeTitle, uikit::kControlStateNormal);
  balanceCell_->contentView().addSubview(coinNumberLabel_);
  balanceCell_->contentView().addSubview(addZCoinBtn_);
  transactionsCell_ =
      std::make_shared<uikit::TableViewCell>(uikit::TableViewCellStyle::kDefault, "transactions");
  transactionsCell_->textLabel().setText(kTransactionsRowText);
  transactionsCell_->setAccessoryType(uikit::TableViewCellAccessoryType::kDisclosureIndicator);

  auto self = std::static_pointer_cast<QMUserAccount>(shared_from_this());
  addZCoinBtn_->addTarget(self, &QMUserAccount::goAddZCoin, uikit::kControlEventTouchUpInside);
  navigationItem().setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(makeBackItem(self, &QMUserAccount::goBackAction));
}

void QMUserAccount::viewDidLoad() {
  uikit::TableViewController::viewDidLoad();
  addZCoinBtn_->layer().setCornerRadius(kButtonCornerRadius);
  showBalance();
  auto header = std::make_shared<uikit::View>(uikit::Rect(0, 0, tableView().frame().width(), kHeaderHeight));
  header->setBackgroundColor(uikit::Color::clear());
  tableView().setTableHeaderView(std::move(header));
  dataModel_ = std::make_shared<QMUserDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<QMUserDataModelDelegate>(
      std::static_pointer_cast<QMUserAccount>(shared_from_this())));
}

void QMUserAccount::viewWillAppear(bool animated) {
  uikit::TableViewController::viewWillAppear(animated);
  dataModel_->networkGetUserZCoin();
}

void QMUserAccount::showBalance() {
  coinNumberLabel_->setText(coinText(QMUser::sharedInstance()->ZCoinAmount()));
}

void QMUserAccount::networkGetUserZCoinSuccess() {
  showBalance();
}

void QMUserAccount::goAddZCoin(uikit::Button& /*sender*/) {}

void QMUserAccount::goBackAction(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->dismissViewControllerAnimated(true);
  }
}

std::int64_t QMUserAccount::numberOfSectionsInTableView(uikit::TableView& /*tableView*/) {
  return kSectionCount;
}

std::int64_t QMUserAccount::numberOfRowsInSection(uikit::TableView& /*tableView*/, std::int64_t /*section*/) {
  return 1;
}

std::shared_ptr<uikit::TableViewCell> QMUserAccount::cellForRowAtIndexPath(
    uikit::TableView& /*tableView*/, const uikit::IndexPath& indexPath) {
  return indexPath.section == kBalanceSection ? balanceCell_ : transactionsCell_;
}

void QMUserAccount::didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) {
  tableView.deselectRowAtIndexPath(indexPath, false);
  if (indexPath.section == kTransactionsSection) {
    triggerSegueWithIdentifier(kZCoinListSegue, transactionsCell_);
  }
}

}  // namespace app
