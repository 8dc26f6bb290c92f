#pragma once

// QMDLSubjectController: the first screen of the download area (scene "QMDLSubjectController" of storyboard
// "Course", which the drawer menu wraps in a navigation controller and presents). It lists the learner's
// subjects, sorted by subjectID, each with its downloading and downloaded counts, following them live. A
// tap on an available subject ("正常") goes to its stages (QMDLStageController); any other subject shows
// its status text in an alert with "确认" and stays. Clear-all deletes every download of the learner,
// finished or not. Back dismisses the download area when this is the first screen of its stack, else pops.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <string>
#include <vector>

#include "app/store/QMSubject.h"
#include "learning/cache/QMDLListController.h"

namespace learning {

class QMDLSubjectController : public QMDLListController {
 public:
  static constexpr char kSceneIdentifier[] = "QMDLSubjectController";
  static constexpr char kStageSegue[] = "QMDLStageSegue";
  static constexpr char kConfirmStatusTitle[] = "确认";
  static constexpr char kAvailableStatus[] = "正常";

  QMDLSubjectController() = default;

  // The subjects listed.
  std::vector<std::shared_ptr<app::QMSubject>> subjectModelArray() const;

  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  // Only an available subject opens; the others explain why in an alert.
  bool shouldPerformSegueWithIdentifier(const std::string& identifier,
                                        const std::shared_ptr<ns::Object>& sender) override;
  // Hands an available subject with stages to the stage list.
  void prepareForSegue(uikit::StoryboardSegue& segue, const std::shared_ptr<ns::Object>& sender) override;
  void goBackAction(uikit::BarButtonItem& sender) override;

 protected:
  std::vector<std::shared_ptr<app::QMCountedNode>> fetchNodes() override;
  void clearAll() override;
  std::string rowSegueIdentifier() const override { return kStageSegue; }
};

}  // namespace learning
