#include "learning/cache/QMDLSubjectController.h"

#include "app/store/QMCoreDataHelper.h"
#include "learning/cache/QMDLStageController.h"
#include "learning/cache/QMDLSubjectCell.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/controllers/StoryboardSegue.h"
#include "platform/uikit/drawing/Image.h"

namespace learning {

std::vector<std::shared_ptr<app::QMSubject>> QMDLSubjectController::subjectModelArray() const {
  std::vector<std::shared_ptr<app::QMSubject>> subjects;
  for (const std::shared_ptr<app::QMCountedNode>& node : nodes()) {
    subjects.push_back(std::static_pointer_cast<app::QMSubject>(node));
  }
  return subjects;
}

std::vector<std::shared_ptr<app::QMCountedNode>> QMDLSubjectController::fetchNodes() {
  const std::vector<std::shared_ptr<app::QMSubject>> subjects =
      app::QMCoreDataHelper::sharedInstance().getUserSubject();
  return {subjects.begin(), subjects.end()};
}

std::shared_ptr<uikit::TableViewCell> QMDLSubjectController::cellForRowAtIndexPath(
    uikit::TableView& tableView, const uikit::IndexPath& indexPath) {
  auto cell = std::dynamic_pointer_cast<QMDLSubjectCell>(
      tableView.dequeueReusableCellWithIdentifier(QMDLSubjectCell::kReuseIdentifier));
  if (!cell) {
    cell = std::make_shared<QMDLSubjectCell>();
  }
  const auto& subject =
      std::static_pointer_cast<app::QMSubject>(nodes().at(static_cast<std::size_t>(indexPath.row)));
  cell->subjectNameLabel()->setText(subject->subjectName().value_or(""));
  cell->cachedLabel()->setText(countText(subject->cachedVideo()));
  cell->cachingLabel()->setText(countText(subject->cachingVideo()));
  cell->subjectImageView()->setImage(uikit::Image::imageNamed(subject->iconID().value_or("")));
  return cell;
}

bool QMDLSubjectController::shouldPerformSegueWithIdentifier(const std::string& /*identifier*/,
                                                             const std::shared_ptr<ns::Object>& sender) {
  const auto subject = std::static_pointer_cast<app::QMSubject>(nodeOfCell(sender.get()));
  if (!subject) {
    return false;
  }
  const std::string status = subject->subjectStaus();
  if (status == kAvailableStatus) {
    return true;
  }
  auto alert =
      std::make_shared<uikit::AlertView>("", status, std::weak_ptr<uikit::AlertViewDelegate>(),
                                         std::string(kConfirmStatusTitle), std::vector<std::string>{});
  alert->show();
  return false;
}

void QMDLSubjectController::prepareForSegue(uikit::StoryboardSegue& segue,
                                            const std::shared_ptr<ns::Object>& sender) {
  const auto stages = std::dynamic_pointer_cast<QMDLStageController>(segue.destinationViewController());
  const auto subject = std::static_pointer_cast<app::QMSubject>(nodeOfCell(sender.get()));
  if (stages && subject && subject->subjectStaus() == kAvailableStatus && !subject->ownStage().empty()) {
    stages->setMySubject(subject);
  }
}

void QMDLSubjectController::goBackAction(uikit::BarButtonItem& /*sender*/) {
  uikit::NavigationController* navigation = navigationController();
  if (!navigation) {
    return;
  }
  if (!navigation->viewControllers().empty() && navigation->viewControllers().front().get() == this) {
    navigation->dismissViewControllerAnimated(true);
  } else {
    navigation->popViewControllerAnimated(true);
  }
}

void QMDLSubjectController::clearAll() {
  QMDownloadHelper::sharedInstance()->deleteAllCourse();
  QMDownloadHelper::sharedInstance()->launchDownloader();
}

}  // namespace learning
