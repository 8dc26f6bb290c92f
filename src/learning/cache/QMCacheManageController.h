#pragma once

// QMCacheManageController: the offline cache screen of one stage, pushed by the download area's stage list.
// A header holds two tab buttons, "已缓存(<n>)" and "正在缓存(<n>)", titled with the stage's downloaded and
// downloading counters and following them live; below it one of two pages (QMCacheController of type 0, the
// downloaded lessons, and type 1, the lessons being downloaded) is shown, the downloaded one first. The
// back item pops the screen.
//
// The presenter sets the stage before the screen loads; the screen's title is the stage's name.
//
// Thread-safety: main thread only, like every controller.

#include <cstdint>
#include <memory>

#include "app/base/QMBaseViewController.h"
#include "app/store/QMStage.h"
#include "learning/cache/QMCacheController.h"
#include "platform/foundation/notify/KeyValueObservation.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class QMCacheManageController : public app::QMBaseViewController {
 public:
  static constexpr char kSceneIdentifier[] = "QMCacheManageController";
  static constexpr char kBackTitle[] = "返回";
  static constexpr double kHeaderHeight = 44;

  QMCacheManageController() = default;

  // Keeps the stage weakly and takes its name as the screen's title.
  void setMyStage(const std::shared_ptr<app::QMStage>& stage);
  std::shared_ptr<app::QMStage> myStage() const { return myStage_.lock(); }

  void loadView() override;
  // Makes the pages, follows the stage's counters and shows the downloaded page.
  void viewDidLoad() override;

  // Titles the tab buttons with the stage's counters.
  void setLabels();
  // 0 shows the downloaded page, 1 the downloading page; any other value is stored and changes nothing.
  void setSelectedType(std::int64_t type);
  std::int64_t selectedType() const { return selectedType_; }

  void cachedAction(uikit::Button& sender);
  void cachingAction(uikit::Button& sender);
  void goBackAction(uikit::BarButtonItem& sender);

  // The pages and outlets, made at load.
  const std::shared_ptr<QMCacheController>& cachedController() const { return cachedController_; }
  const std::shared_ptr<QMCacheController>& cachingController() const { return cachingController_; }
  const std::shared_ptr<uikit::Button>& cachedBtn() const { return cachedBtn_; }
  const std::shared_ptr<uikit::Button>& cachingBtn() const { return cachingBtn_; }

 private:
  std::shared_ptr<QMCacheManageController> self() {
    return std::static_pointer_cast<QMCacheManageController>(shared_from_this());
  }
  void setupSubviews();
  std::shared_ptr<QMCacheController> makePage(std::int64_t type);

  std::int64_t selectedType_ = 0;
  std::weak_ptr<app::QMStage> myStage_;
  std::shared_ptr<QMCacheController> cachedController_;
  std::shared_ptr<QMCacheController> cachingController_;
  std::shared_ptr<uikit::View> headerView_;
  std::shared_ptr<uikit::Button> cachedBtn_;
  std::shared_ptr<uikit::Button> cachingBtn_;
  std::shared_ptr<uikit::Label> cachedTagLabel_;
  std::shared_ptr<uikit::Label> cachingTagLabel_;
  ns::KeyValueObservation cachedObservation_;
  ns::KeyValueObservation cachingObservation_;
};

}  // namespace learning
