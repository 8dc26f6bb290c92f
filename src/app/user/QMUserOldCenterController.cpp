#include "app/user/QMUserOldCenterController.h"

#include "app/session/QMUser.h"
#include "platform/foundation/check/Check.h"

namespace app {

namespace {

enum Section : std::int64_t { kProfileSection = 0, kEntriesSection = 1, kSectionCount = 2 };

}  // namespace

void QMUserOldCenterController::loadView() {
  uikit::TableViewController::loadView();
  const double width = tableView().frame().width();
  header_.emplace(width);
  rows_.emplace(width);
  tableView().setTableHeaderView(header_->view());
  header_->backButton()->addTarget(std::static_pointer_cast<QMUserOldCenterController>(shared_from_this()),
                                   &QMUserOldCenterController::goBackAction,
                                   uikit::kControlEventTouchUpInside);
}

void QMUserOldCenterController::viewDidLoad() {
  uikit::TableViewController::viewDidLoad();
  setupSubviews();
  dataModel_ = std::make_shared<QMUserDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<QMUserDataModelDelegate>(
      std::static_pointer_cast<QMUserOldCenterController>(shared_from_this())));
  dataModel_->networkGetUserInfo();
  dataModel_->networkGetUserAvater();
}

void QMUserOldCenterController::setupSubviews() {
  QM_DCHECK_MAIN_THREAD();
  QMUser& user = *QMUser::sharedInstance();
  header_->userNameLabel()->setText(user.userLoginName().value_or(""));
  rows_->show(user);
  QMUserProfileHeader::showAvatar(header_->avaterImageView(), user.userAvater());
}

void QMUserOldCenterController::goBackAction(uikit::Button& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  dismissViewControllerAnimated(true);
}

std::int64_t QMUserOldCenterController::numberOfSectionsInTableView(uikit::TableView& /*tableView*/) {
  return kSectionCount;
}

std::int64_t QMUserOldCenterController::numberOfRowsInSection(uikit::TableView& /*tableView*/,
                                                              std::int64_t section) {
  return section == kProfileSection ? static_cast<std::int64_t>(rows_->cells().size()) : 2;
}

std::shared_ptr<uikit::TableViewCell> QMUserOldCenterController::cellForRowAtIndexPath(
    uikit::TableView& /*tableView*/, const uikit::IndexPath& indexPath) {
  if (indexPath.section == kProfileSection) {
    return rows_->cells()[static_cast<std::size_t>(indexPath.row)];
  }
  return indexPath.row == 0 ? entries_.accountCell() : entries_.ordersCell();
}

void QMUserOldCenterController::didSelectRowAtIndexPath(uikit::TableView& tableView,
                                                        const uikit::IndexPath& indexPath) {
  tableView.deselectRowAtIndexPath(indexPath, true);
  if (indexPath.section == kEntriesSection) {
    QMUserCentreEntries::present(
        *this, indexPath.row == 0 ? QMUserCentreEntries::kAccountScene : QMUserCentreEntries::kOrdersScene);
  }
}

}  // namespace app
