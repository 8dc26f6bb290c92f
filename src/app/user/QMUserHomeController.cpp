#include "app/user/QMUserHomeController.h"

#include "app/session/QMUser.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

constexpr double kInfoButtonWidth = 90;
constexpr double kInfoButtonHeight = 30;
constexpr double kInset = 10;

}  // namespace

void QMUserHomeController::loadView() {
  uikit::TableViewController::loadView();
  const double width = tableView().frame().width();
  header_.emplace(width);
  infoButton_ = uikit::outlet("infoButton", std::make_shared<uikit::Button>(
                                                uikit::Rect(width - kInset - kInfoButtonWidth, kInset + 10,
                                                            kInfoButtonWidth, kInfoButtonHeight)));
  infoButton_->setTitle(kInfoTitle, uikit::kControlStateNormal);
  header_->view()->addSubview(infoButton_);
  tableView().setTableHeaderView(header_->view());
  auto self = std::static_pointer_cast<QMUserHomeController>(shared_from_this());
  header_->backButton()->addTarget(self, &QMUserHomeController::goBackAction,
                                   uikit::kControlEventTouchUpInside);
  infoButton_->addTarget(self, &QMUserHomeController::goUserInfoAction, uikit::kControlEventTouchUpInside);
}

void QMUserHomeController::viewDidLoad() {
  uikit::TableViewController::viewDidLoad();
  QMUserProfileHeader::showAvatar(header_->avaterImageView(), QMUser::sharedInstance()->userAvater());
  dataModel_ = std::make_shared<QMUserDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<QMUserDataModelDelegate>(
      std::static_pointer_cast<QMUserHomeController>(shared_from_this())));
  dataModel_->networkGetUserAvater();
  dataModel_->networkGetUserInfo();
  dataModel_->networkGetUserZCoin();
}

void QMUserHomeController::networkGetUserAvaterSuccess() {
  QMUserProfileHeader::showAvatar(header_->avaterImageView(), QMUser::sharedInstance()->userAvater());
}

void QMUserHomeController::networkGetUserInfoSuccess() {
  header_->userNameLabel()->setText(QMUser::sharedInstance()->userLoginName().value_or(""));
}

void QMUserHomeController::goUserInfoAction(uikit::Button& /*sender*/) {
  QMUserCentreEntries::present(*this, QMUserCentreEntries::kInfoScene);
}

void QMUserHomeController::goUserAccountAction() {
  QMUserCentreEntries::present(*this, QMUserCentreEntries::kAccountScene);
}

void QMUserHomeController::goUserOrdersAction() {
  QMUserCentreEntries::present(*this, QMUserCentreEntries::kOrdersScene);
}

void QMUserHomeController::goBackAction(uikit::Button& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  dismissViewControllerAnimated(true);
}

std::int64_t QMUserHomeController::numberOfRowsInSection(uikit::TableView& /*tableView*/,
                                                         std::int64_t /*section*/) {
  return 2;
}

std::shared_ptr<uikit::TableViewCell> QMUserHomeController::cellForRowAtIndexPath(
    uikit::TableView& /*tableView*/, const uikit::IndexPath& indexPath) {
  return indexPath.row == 0 ? entries_.accountCell() : entries_.ordersCell();
}

void QMUserHomeController::didSelectRowAtIndexPath(uikit::TableView& /*tableView*/,
                                                   const uikit::IndexPath& indexPath) {
  if (indexPath.row == 0) {
    goUserAccountAction();
  } else {
    goUserOrdersAction();
  }
}

}  // namespace app
