#include "learning/cache/QMDLStageController.h"

#include "learning/cache/QMCacheManageController.h"
#include "learning/cache/QMDLStageCell.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/controllers/StoryboardSegue.h"

namespace learning {

std::vector<std::shared_ptr<app::QMStage>> QMDLStageController::stagelArray() const {
  std::vector<std::shared_ptr<app::QMStage>> stages;
  for (const std::shared_ptr<app::QMCountedNode>& node : nodes()) {
    stages.push_back(std::static_pointer_cast<app::QMStage>(node));
  }
  return stages;
}

std::vector<std::shared_ptr<app::QMCountedNode>> QMDLStageController::fetchNodes() {
  const std::shared_ptr<app::QMSubject> subject = mySubject();
  if (!subject) {
    return {};
  }
  const std::vector<std::shared_ptr<app::QMStage>> stages = subject->sortedStageArray();
  return {stages.begin(), stages.end()};
}

std::shared_ptr<uikit::TableViewCell> QMDLStageController::cellForRowAtIndexPath(
    uikit::TableView& tableView, const uikit::IndexPath& indexPath) {
  auto cell = std::dynamic_pointer_cast<QMDLStageCell>(
      tableView.dequeueReusableCellWithIdentifier(QMDLStageCell::kReuseIdentifier));
  if (!cell) {
    cell = std::make_shared<QMDLStageCell>();
  }
  const auto& stage =
      std::static_pointer_cast<app::QMStage>(nodes().at(static_cast<std::size_t>(indexPath.row)));
  cell->stageNameLabel()->setText(stage->stageName().value_or(""));
  cell->cachedLabel()->setText(countText(stage->cachedVideo()));
  cell->cachingLabel()->setText(countText(stage->cachingVideo()));
  return cell;
}

void QMDLStageController::prepareForSegue(uikit::StoryboardSegue& segue,
                                          const std::shared_ptr<ns::Object>& sender) {
  if (const auto cache =
          std::dynamic_pointer_cast<QMCacheManageController>(segue.destinationViewController())) {
    cache->setMyStage(std::static_pointer_cast<app::QMStage>(nodeOfCell(sender.get())));
  }
}

void QMDLStageController::goBackAction(uikit::BarButtonItem& /*sender*/) {
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->popViewControllerAnimated(true);
  }
}

void QMDLStageController::clearAll() {
  for (const std::shared_ptr<app::QMStage>& stage : stagelArray()) {
    QMDownloadHelper::sharedInstance()->deleteStageCourse(stage);
    QMDownloadHelper::sharedInstance()->launchDownloader();
  }
}

}  // namespace learning
