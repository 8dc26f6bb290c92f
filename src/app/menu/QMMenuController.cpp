#include "app/menu/QMMenuController.h"

#include "app/menu/QMMenuCell.h"
#include "app/session/QMUser.h"
#include "app/settings/QMMoreStoryboard.h"
#include "app/shell/AppDelegate.h"
#include "app/user/QMUserStoryboard.h"
#include "platform/foundation/check/Check.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

namespace {

constexpr double kRowHeight = 50;
constexpr double kMenuTop = 100;

}  // namespace

const std::vector<QMMenuController::Row>& QMMenuController::rows() {
  static const std::vector<Row> kRows = {
      {"menu_user", kUserRowText, &QMMenuController::userSelectedAction},
      {"menu_download", kDownloadRowText, &QMMenuController::downloadSelectedAction},
      {"menu_setting", kSettingRowText, &QMMenuController::settingSelectedAction},
      {"menu_buy", kBuyRowText, &QMMenuController::userByAction},
      {"menu_exit", kExitRowText, &QMMenuController::exitSelectedAction},
  };
  return kRows;
}

void QMMenuController::loadView() {
  uikit::TableViewController::loadView();
  tableView().setRowHeight(kRowHeight);
  tableView().setSeparatorStyle(uikit::TableViewCellSeparatorStyle::kNone);
  tableView().setTableHeaderView(
      std::make_shared<uikit::View>(uikit::Rect(0, 0, tableView().frame().width(), kMenuTop)));
}

bool QMMenuController::present(const std::string& storyboard, const std::optional<std::string>& scene,
                               SceneWrapping wrapping, std::function<void()> completion) {
  if (!presentScene(*this, storyboard, scene, wrapping, std::move(completion)).ok()) {
    ui::ProgressHUD::showAlertWithText(kUnavailableText, kToastSeconds);
    return false;
  }
  return true;
}

void QMMenuController::closeDrawer() {
  if (const std::shared_ptr<ui::DrawerController> drawer = drawer_.lock()) {
    drawer->close();
  }
}

void QMMenuController::userSelectedAction() {
  QM_DCHECK_MAIN_THREAD();
  std::weak_ptr<QMMenuController> weakSelf = std::static_pointer_cast<QMMenuController>(shared_from_this());
  present(QMUserStoryboard::kName, kUserCentreScene, SceneWrapping::kAsItIs, [weakSelf] {
    if (const std::shared_ptr<QMMenuController> self = weakSelf.lock()) {
      self->closeDrawer();
    }
  });
}

void QMMenuController::downloadSelectedAction() {
  QM_DCHECK_MAIN_THREAD();
  if (present(AppDelegate::kCourseStoryboard, kDownloadScene, SceneWrapping::kInNavigation)) {
    closeDrawer();
  }
}

void QMMenuController::settingSelectedAction() {
  QM_DCHECK_MAIN_THREAD();
  if (present(QMMoreStoryboard::kName, std::nullopt, SceneWrapping::kAsItIs)) {
    closeDrawer();
  }
}

void QMMenuController::userByAction() {
  QM_DCHECK_MAIN_THREAD();
  if (present(kPurchaseStoryboard, std::nullopt, SceneWrapping::kAsItIs)) {
    closeDrawer();
  }
}

void QMMenuController::exitSelectedAction() {
  QM_DCHECK_MAIN_THREAD();
  QMUser::sharedInstance()->logout();
}

void QMMenuController::drawerControllerWillOpen(ui::DrawerController& /*drawer*/) {
  view()->setUserInteractionEnabled(false);
}

void QMMenuController::drawerControllerDidOpen(ui::DrawerController& /*drawer*/) {
  view()->setUserInteractionEnabled(true);
}

void QMMenuController::drawerControllerWillClose(ui::DrawerController& /*drawer*/) {
  view()->setUserInteractionEnabled(false);
}

void QMMenuController::drawerControllerDidClose(ui::DrawerController& /*drawer*/) {
  view()->setUserInteractionEnabled(true);
}

std::int64_t QMMenuController::numberOfRowsInSection(uikit::TableView& /*tableView*/,
                                                     std::int64_t /*section*/) {
  return static_cast<std::int64_t>(rows().size());
}

std::shared_ptr<uikit::TableViewCell> QMMenuController::cellForRowAtIndexPath(
    uikit::TableView& tableView, const uikit::IndexPath& indexPath) {
  auto cell = std::dynamic_pointer_cast<QMMenuCell>(
      tableView.dequeueReusableCellWithIdentifier(QMMenuCell::kReuseIdentifier));
  if (!cell) {
    cell = std::make_shared<QMMenuCell>();
  }
  const Row& row = rows()[static_cast<std::size_t>(indexPath.row)];
  cell->show(row.imageName, row.text);
  return cell;
}

void QMMenuController::didSelectRowAtIndexPath(uikit::TableView& tableView,
                                               const uikit::IndexPath& indexPath) {
  tableView.deselectRowAtIndexPath(indexPath, false);
  // Logging out drops this menu with its drawer; it lives until its action ends.
  const std::shared_ptr<QMMenuController> self =
      std::static_pointer_cast<QMMenuController>(shared_from_this());
  (self.get()->*rows()[static_cast<std::size_t>(indexPath.row)].action)();
}

}  // namespace app
