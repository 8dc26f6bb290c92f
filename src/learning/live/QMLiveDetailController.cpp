#include "learning/live/QMLiveDetailController.h"

#include "learning/live/CustomEPlayerViewController.h"
#include "learning/live/QMLiveCell.h"
#include "learning/live/QMLiveParameterBlock.h"
#include "platform/foundation/check/Check.h"
#include "platform/outside/EPlayerData.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "ui/hud/ProgressHUD.h"

namespace learning {

namespace {

// How the plug-in player signs the viewer in: with the lesson's pass.
constexpr int kLoginTypeByPass = 3;
constexpr double kLessonRowHeight = 68;

}  // namespace

void QMLiveDetailController::setGroupModel(std::shared_ptr<app::QMLiveGroupModel> group) {
  QM_DCHECK_MAIN_THREAD();
  groupModel_ = std::move(group);
  setTitle(groupModel_ ? groupModel_->groupName().value_or("") : "");
  if (myTableView_) {
    myTableView_->reloadData();
  }
}

void QMLiveDetailController::loadView() {
  auto self = std::static_pointer_cast<QMLiveDetailController>(shared_from_this());
  auto view = std::make_shared<uikit::View>(uikit::Screen::mainScreen().bounds());
  view->setBackgroundColor(uikit::Color::white(1));
  myTableView_ = uikit::outlet("myTableView", std::make_shared<uikit::TableView>(view->bounds()));
  myTableView_->setRowHeight(kLessonRowHeight);
  myTableView_->setDataSource(std::static_pointer_cast<uikit::TableViewDataSource>(self));
  myTableView_->setDelegate(std::static_pointer_cast<uikit::TableViewDelegate>(self));
  view->addSubview(myTableView_);
  auto back = std::make_shared<uikit::BarButtonItem>(kBackTitle);
  back->setTarget(self, &QMLiveDetailController::goBack);
  navigationItem().setLeftBarButtonItem(back);
  setView(view);
}

void QMLiveDetailController::viewDidLoad() {
  app::QMBaseViewController::viewDidLoad();
  myTableView_->setTableFooterView(std::make_shared<uikit::View>(uikit::Rect()));
  dataModel_ = std::make_shared<app::QMCourseDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<app::QMCourseDataModelDelegate>(
      std::static_pointer_cast<QMLiveDetailController>(shared_from_this())));
}

void QMLiveDetailController::goBack(uikit::BarButtonItem& /*sender*/) {
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->dismissViewControllerAnimated(true);
  }
}

std::int64_t QMLiveDetailController::numberOfRowsInSection(uikit::TableView& /*tableView*/,
                                                           std::int64_t /*section*/) {
  return groupModel_ ? static_cast<std::int64_t>(groupModel_->groupLives().size()) : 0;
}

std::shared_ptr<uikit::TableViewCell> QMLiveDetailController::cellForRowAtIndexPath(
    uikit::TableView& tableView, const uikit::IndexPath& indexPath) {
  auto cell = std::dynamic_pointer_cast<QMLiveCell>(
      tableView.dequeueReusableCellWithIdentifier(QMLiveCell::kReuseIdentifier));
  if (!cell) {
    cell = std::make_shared<QMLiveCell>(uikit::TableViewCellStyle::kDefault, QMLiveCell::kReuseIdentifier);
  }
  cell->setLiveModel(groupModel_->groupLives().at(static_cast<std::size_t>(indexPath.row)));
  return cell;
}

void QMLiveDetailController::didSelectRowAtIndexPath(uikit::TableView& tableView,
                                                     const uikit::IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  tableView.deselectRowAtIndexPath(indexPath, false);
  selectedLiveModel_ = groupModel_->groupLives().at(static_cast<std::size_t>(indexPath.row));
  const std::int64_t status = selectedLiveModel_->liveStatus();
  if (status != app::QMLiveModel::kStatusLive && status != app::QMLiveModel::kStatusReplay) {
    return;
  }
  ui::ProgressHUD::showHUDAddedTo(*view(), true);
  dataModel_->networkGetLiveParamWith(selectedLiveModel_);
}

void QMLiveDetailController::networkGetLiveParamSuccess() {
  hideLoading();
  switch (selectedLiveModel_->liveProviderType()) {
    case kProviderLiveClass:
      enterLiveWithGK();
      break;
    case kProviderPluginPlayer:
      enterLiveWithEplayer();
      break;
    default:
      break;
  }
}

void QMLiveDetailController::networkGetLiveParamFailed() {
  hideLoading();
}

void QMLiveDetailController::hideLoading() {
  ui::ProgressHUD::hideAllHUDsForView(*view(), false);
}

void QMLiveDetailController::enterLiveWithGK() {
  const QMLiveParameterBlock::Bytes block = QMLiveParameterBlock::blockFor(*selectedLiveModel_);
  liveSdk_ = std::make_shared<outside::ZebLiveSDK>();
  auto host = std::static_pointer_cast<outside::ZebLiveSDKHost>(
      std::static_pointer_cast<QMLiveDetailController>(shared_from_this()));
  std::shared_ptr<uikit::ViewController> classScreen;
  if (selectedLiveModel_->liveStatus() == app::QMLiveModel::kStatusReplay) {
    classScreen = liveSdk_->InitZebPlayPlayer(block, host);
    liveSdk_->EnterPlayClass();
  } else if (selectedLiveModel_->liveStatus() == app::QMLiveModel::kStatusLive) {
    classScreen = liveSdk_->InitZebLivePlayer(block, host);
    liveSdk_->EnterLiveClass();
  }
  presentedClass_ = classScreen;
  presentViewController(std::move(classScreen), true);
}

void QMLiveDetailController::enterLiveWithEplayer() {
  const app::QMLiveModel& live = *selectedLiveModel_;
  auto data = std::make_shared<outside::EPlayerData>();
  data->setLiveClassroomId(live.liveProviderId().value_or(""));
  data->setCustomer(live.liveCustomer().value_or(""));
  const bool isLive = live.liveStatus() == app::QMLiveModel::kStatusLive;
  data->setPlayModel(isLive ? outside::EPlayerData::kPlayModelLive : outside::EPlayerData::kPlayModelReplay);
  data->setLoginType(kLoginTypeByPass);
  data->setValidateStr(live.liveP().value_or(""));
  if (!isLive) {
    data->setPlaybackid(std::nullopt);
  }
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->pushViewController(std::make_shared<CustomEPlayerViewController>(std::move(data)), true);
  }
}

void QMLiveDetailController::ZebLiveClassEventNotify(int /*event*/, int /*type*/) {
  QM_DCHECK_MAIN_THREAD();
  // Dismissing while nothing is presented would take this screen itself away.
  std::shared_ptr<uikit::ViewController> classScreen = presentedClass_.lock();
  if (classScreen && classScreen->presentingViewController() != nullptr) {
    dismissViewControllerAnimated(true);
  }
  uikit::Application::sharedApplication().setStatusBarStyle(uikit::StatusBarStyle::kDefault);
}

void QMLiveDetailController::OpenShared(const std::string& /*content*/) {}

}  // namespace learning
