#include "app/settings/QMSettingController.h"

#include "app/session/QMUser.h"
#include "app/settings/QMMoreStoryboard.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

constexpr std::int64_t kMoreSection = 1;
constexpr std::int64_t kAboutRowIndex = 0;
constexpr std::int64_t kFeedbackRowIndex = 1;
const uikit::Rect kSwitchFrame(250, 6, 51, 31);

std::shared_ptr<uikit::TableViewCell> cellWithText(const char* text) {
  auto cell = std::make_shared<uikit::TableViewCell>(uikit::TableViewCellStyle::kDefault, std::string());
  cell->textLabel().setText(text);
  return cell;
}

}  // namespace

QMSettingController::QMSettingController() : uikit::TableViewController(uikit::TableViewStyle::kGrouped) {}

void QMSettingController::loadView() {
  uikit::TableViewController::loadView();
  setTitle(kTitle);
  wifiPlaySwitch_ = uikit::outlet("wifiPlaySwitch", std::make_shared<uikit::Switch>(kSwitchFrame));
  wifiDownloadSwitch_ = uikit::outlet("wifiDownloadSwitch", std::make_shared<uikit::Switch>(kSwitchFrame));
  auto playCell = cellWithText(kWifiPlayRow);
  playCell->contentView().addSubview(wifiPlaySwitch_);
  playCell->setSelectionStyle(uikit::TableViewCellSelectionStyle::kNone);
  auto downloadCell = cellWithText(kWifiDownloadRow);
  downloadCell->contentView().addSubview(wifiDownloadSwitch_);
  downloadCell->setSelectionStyle(uikit::TableViewCellSelectionStyle::kNone);
  auto aboutCell = cellWithText(kAboutRow);
  aboutCell->setAccessoryType(uikit::TableViewCellAccessoryType::kDisclosureIndicator);
  auto feedbackCell = cellWithText(kFeedbackRow);
  feedbackCell->setAccessoryType(uikit::TableViewCellAccessoryType::kDisclosureIndicator);
  cells_ = {{playCell, downloadCell}, {aboutCell, feedbackCell}};

  auto self = std::static_pointer_cast<QMSettingController>(shared_from_this());
  wifiPlaySwitch_->addTarget(self, &QMSettingController::wifiPlayAction, uikit::kControlEventValueChanged);
  wifiDownloadSwitch_->addTarget(self, &QMSettingController::wifiDownloadAction,
                                 uikit::kControlEventValueChanged);
  auto back = std::make_shared<uikit::BarButtonItem>(kBackTitle);
  back->setTarget(self, &QMSettingController::goBackAction);
  navigationItem().setLeftBarButtonItem(std::move(back));
}

void QMSettingController::viewDidLoad() {
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  wifiPlaySwitch_->setOn(user->onlyWifiPlay());
  wifiDownloadSwitch_->setOn(user->onlyWifiDown());
}

void QMSettingController::wifiPlayAction(uikit::Switch& sender) {
  QM_DCHECK_MAIN_THREAD();
  QMUser::sharedInstance()->setOnlyWifiPlay(sender.isOn());
}

void QMSettingController::wifiDownloadAction(uikit::Switch& sender) {
  QM_DCHECK_MAIN_THREAD();
  QMUser::sharedInstance()->setOnlyWifiDown(sender.isOn());
}

void QMSettingController::goBackAction(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->dismissViewControllerAnimated(true);
  }
}

std::int64_t QMSettingController::numberOfSectionsInTableView(uikit::TableView& /*tableView*/) {
  return static_cast<std::int64_t>(cells_.size());
}

std::int64_t QMSettingController::numberOfRowsInSection(uikit::TableView& /*tableView*/,
                                                        std::int64_t section) {
  return section >= 0 && static_cast<std::size_t>(section) < cells_.size()
             ? static_cast<std::int64_t>(cells_[static_cast<std::size_t>(section)].size())
             : 0;
}

std::shared_ptr<uikit::TableViewCell> QMSettingController::cellForRowAtIndexPath(
    uikit::TableView& /*tableView*/, const uikit::IndexPath& indexPath) {
  return cells_[static_cast<std::size_t>(indexPath.section)][static_cast<std::size_t>(indexPath.row)];
}

void QMSettingController::didSelectRowAtIndexPath(uikit::TableView& tableView,
                                                  const uikit::IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  tableView.deselectRowAtIndexPath(indexPath, true);
  if (indexPath.section != kMoreSection) {
    return;
  }
  if (indexPath.row == kAboutRowIndex) {
    performSegueWithIdentifier(QMMoreStoryboard::kAboutSegue, nullptr);
  } else if (indexPath.row == kFeedbackRowIndex) {
    performSegueWithIdentifier(QMMoreStoryboard::kFeedbackSegue, nullptr);
  }
}

}  // namespace app
