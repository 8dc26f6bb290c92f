#include "app/user/QMUserInfoController.h"

#include "app/base/QMBackItem.h"
#include "app/session/QMUser.h"
#include "platform/foundation/check/Check.h"

namespace app {

void QMUserInfoController::loadView() {
  uikit::TableViewController::loadView();
  rows_.emplace(tableView().frame().width());
  navigationItem().setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(
      makeBackItem(std::static_pointer_cast<QMUserInfoController>(shared_from_this()),
                   &QMUserInfoController::goBackAction));
}

void QMUserInfoController::viewDidLoad() {
  uikit::TableViewController::viewDidLoad();
  setupSubviews();
}

void QMUserInfoController::setupSubviews() {
  QM_DCHECK_MAIN_THREAD();
  rows_->show(*QMUser::sharedInstance());
}

void QMUserInfoController::goBackAction(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  // The back item sits on the bar of the navigation controller that was presented.
  dismissViewControllerAnimated(true);
}

std::int64_t QMUserInfoController::numberOfRowsInSection(uikit::TableView& /*tableView*/,
                                                         std::int64_t /*section*/) {
  return static_cast<std::int64_t>(rows_->cells().size());
}

std::shared_ptr<uikit::TableViewCell> QMUserInfoController::cellForRowAtIndexPath(
    uikit::TableView& /*tableView*/, const uikit::IndexPath& indexPath) {
  return rows_->cells()[static_cast<std::size_t>(indexPath.row)];
}

}  // namespace app
