#pragma once

// QMDLStageController: the download area's list of one subject's stages (scene "QMDLStageController" of
// storyboard "Course"), in the order the store first saved them, each with its downloading and downloaded
// counts, following them live. A tap on a stage opens its offline cache screen (QMCacheManageController).
// Clear-all deletes every download of every listed stage, finished or not. Back pops the screen. The
// subject list sets the subject before the screen loads; without one the list is empty.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <string>
#include <vector>

#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "learning/cache/QMDLListController.h"

namespace learning {

class QMDLStageController : public QMDLListController {
 public:
  static constexpr char kSceneIdentifier[] = "QMDLStageController";
  static constexpr char kCacheSegue[] = "QMCacheManageSegue";

  QMDLStageController() = default;

  // Held weakly (the store holds it).
  std::shared_ptr<app::QMSubject> mySubject() const { return mySubject_.lock(); }
  void setMySubject(const std::shared_ptr<app::QMSubject>& subject) { mySubject_ = subject; }
  // The stages listed.
  std::vector<std::shared_ptr<app::QMStage>> stagelArray() const;

  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  // Hands the tapped row's stage to the cache screen.
  void prepareForSegue(uikit::StoryboardSegue& segue, const std::shared_ptr<ns::Object>& sender) override;
  void goBackAction(uikit::BarButtonItem& sender) override;

 protected:
  std::vector<std::shared_ptr<app::QMCountedNode>> fetchNodes() override;
  void clearAll() override;
  std::string rowSegueIdentifier() const override { return kCacheSegue; }

 private:
  std::weak_ptr<app::QMSubject> mySubject_;
};

}  // namespace learning
