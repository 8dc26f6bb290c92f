#include "learning/cache/QMCacheManageController.h"

#include <string>

#include "app/helpers/QMHelpler.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {

namespace {

// Below the navigation bar.
constexpr double kTopBarHeight = 64;
constexpr double kTagHeight = 2;

std::string countText(std::optional<std::int64_t> count) {
  return std::to_string(count.value_or(0));
}

}  // namespace

void QMCacheManageController::setMyStage(const std::shared_ptr<app::QMStage>& stage) {
  myStage_ = stage;
  navigationItem().setTitle(stage ? stage->stageName().value_or("") : "");
}

void QMCacheManageController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(app::QMHelpler::colorWithHexString("#36343b"));
  headerView_ = uikit::outlet("headerView", std::make_shared<uikit::View>(uikit::Rect(
                                                0, kTopBarHeight, bounds.width(), kHeaderHeight)));
  headerView_->setBackgroundColor(app::QMHelpler::colorWithHexString("#434350"));
  const double half = bounds.width() / 2;
  cachedBtn_ =
      uikit::outlet("cachedBtn", std::make_shared<uikit::Button>(uikit::Rect(0, 0, half, kHeaderHeight)));
  cachingBtn_ =
      uikit::outlet("cachingBtn", std::make_shared<uikit::Button>(uikit::Rect(half, 0, half, kHeaderHeight)));
  cachedTagLabel_ = uikit::outlet("cachedTagLabel", std::make_shared<uikit::Label>(uikit::Rect(
                                                        0, kHeaderHeight - kTagHeight, half, kTagHeight)));
  cachingTagLabel_ = uikit::outlet(
      "cachingTagLabel",
      std::make_shared<uikit::Label>(uikit::Rect(half, kHeaderHeight - kTagHeight, half, kTagHeight)));
  for (const std::shared_ptr<uikit::Label>& tag : {cachedTagLabel_, cachingTagLabel_}) {
    tag->setBackgroundColor(app::QMHelpler::colorWithHexString("#f5a623"));
  }
  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           cachedBtn_, cachingBtn_, cachedTagLabel_, cachingTagLabel_}) {
    headerView_->addSubview(part);
  }
  view->addSubview(headerView_);
  setView(std::move(view));

  auto back = std::make_shared<uikit::BarButtonItem>(kBackTitle);
  back->setTarget(self(), &QMCacheManageController::goBackAction);
  navigationItem().setLeftBarButtonItem(std::move(back));
  cachedBtn_->addTarget(self(), &QMCacheManageController::cachedAction, uikit::kControlEventTouchUpInside);
  cachingBtn_->addTarget(self(), &QMCacheManageController::cachingAction, uikit::kControlEventTouchUpInside);
}

void QMCacheManageController::viewDidLoad() {
  app::QMBaseViewController::viewDidLoad();
  setupSubviews();
  if (const std::shared_ptr<app::QMStage> stage = myStage()) {
    // The observations end with the screen, so capturing it plainly is safe.
    const auto relabel = [this](const ns::KeyValueChange&) { setLabels(); };
    cachedObservation_ = stage->observe(std::string(app::QMCountedNode::kCachedVideoKey), relabel);
    cachingObservation_ = stage->observe(std::string(app::QMCountedNode::kCachingVideoKey), relabel);
  }
  setSelectedType(0);
}

void QMCacheManageController::setupSubviews() {
  setLabels();
  if (!cachedController_) {
    cachedController_ = makePage(QMCacheController::kCachedPage);
  }
  if (!cachingController_) {
    cachingController_ = makePage(QMCacheController::kCachingPage);
  }
}

std::shared_ptr<QMCacheController> QMCacheManageController::makePage(std::int64_t type) {
  auto page = std::make_shared<QMCacheController>();
  page->setMyStage(myStage());
  page->setType(type);
  const uikit::Rect bounds = view()->bounds();
  const double top = headerView_->frame().maxY();
  page->view()->setFrame(uikit::Rect(bounds.minX(), top, bounds.width(), bounds.height() - top));
  page->setSuperController(self());
  view()->addSubview(page->view());
  return page;
}

void QMCacheManageController::setLabels() {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMStage> stage = myStage();
  cachedBtn_->setTitle("已缓存(" + countText(stage ? stage->cachedVideo() : std::nullopt) + ")",
                       uikit::kControlStateNormal);
  cachingBtn_->setTitle("正在缓存(" + countText(stage ? stage->cachingVideo() : std::nullopt) + ")",
                        uikit::kControlStateNormal);
}

void QMCacheManageController::setSelectedType(std::int64_t type) {
  QM_DCHECK_MAIN_THREAD();
  selectedType_ = type;
  if (type != 0 && type != 1) {
    return;
  }
  const bool cached = type == 0;
  cachedController_->view()->setHidden(!cached);
  cachedTagLabel_->setHidden(!cached);
  cachingController_->view()->setHidden(cached);
  cachingTagLabel_->setHidden(cached);
}

void QMCacheManageController::cachedAction(uikit::Button& /*sender*/) {
  setSelectedType(0);
}

void QMCacheManageController::cachingAction(uikit::Button& /*sender*/) {
  setSelectedType(1);
}

void QMCacheManageController::goBackAction(uikit::BarButtonItem& /*sender*/) {
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->popViewControllerAnimated(true);
  }
}

}  // namespace learning
