#pragma once

// QMLiveDetailController: the live lessons of one live group, and the way into them. The subject screen makes
// it from the scene "QMLiveDetailController" of storyboard "Course" (QMLiveStoryboard.h), gives it the group
// and presents it inside a navigation controller; "返回" on the bar dismisses that navigation controller.
//
// The title is the group's name; each row is one lesson (QMLiveCell.h). A tap on a lesson that is live (1) or
// can be replayed (2) shows a loading HUD on the screen and asks the back end for the lesson's entry
// parameters; lessons not started or ended do not react. When the parameters come, the HUD goes and the
// lesson opens in the framework the back end names: provider 3 is the live-class framework (the parameter
// block of QMLiveParameterBlock.h, the class or its replay presented from this screen, this screen its
// host), provider 5 the plug-in player (CustomEPlayerViewController pushed onto this screen's navigation
// stack), any other provider nothing. A failed request only takes the HUD away.
//
// When the live-class framework reports an event, the class's screen is dismissed and the status bar goes
// back to its default style; an event while no class's screen is up leaves this screen where it is.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "app/base/QMBaseViewController.h"
#include "app/course/QMCourseDataModel.h"
#include "app/course/QMCourseDataModelDelegate.h"
#include "app/course/QMLiveGroupModel.h"
#include "app/course/QMLiveModel.h"
#include "platform/outside/ZebLiveSDK.h"
#include "platform/outside/ZebLiveSDKHost.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/tables/TableView.h"
#include "platform/uikit/tables/TableViewDataSource.h"
#include "platform/uikit/tables/TableViewDelegate.h"

namespace learning {

class QMLiveDetailController : public app::QMBaseViewController,
                               public uikit::TableViewDataSource,
                               public uikit::TableViewDelegate,
                               public app::QMCourseDataModelDelegate,
                               public outside::ZebLiveSDKHost {
 public:
  static constexpr char kBackTitle[] = "返回";
  // The providers the back end names.
  static constexpr std::int64_t kProviderLiveClass = 3;
  static constexpr std::int64_t kProviderPluginPlayer = 5;

  QMLiveDetailController() = default;

  const std::shared_ptr<app::QMLiveGroupModel>& groupModel() const { return groupModel_; }
  // Keeps `group`, titles the screen with its name and lists its lessons.
  void setGroupModel(std::shared_ptr<app::QMLiveGroupModel> group);
  // The table of lessons; nullptr before the view is loaded.
  const std::shared_ptr<uikit::TableView>& myTableView() const { return myTableView_; }
  // The lesson tapped last; nullptr before a tap.
  const std::shared_ptr<app::QMLiveModel>& selectedLiveModel() const { return selectedLiveModel_; }
  // The screen's client of the back end; nullptr before viewDidLoad().
  const std::shared_ptr<app::QMCourseDataModel>& dataModel() const { return dataModel_; }
  // The live-class framework of the last entry through provider 3; nullptr before one.
  const std::shared_ptr<outside::ZebLiveSDK>& liveSdk() const { return liveSdk_; }

  // Builds the table and the "返回" bar button.
  void loadView() override;
  // Puts an empty footer under the table and makes the data model, with this screen as its delegate.
  void viewDidLoad() override;
  // "返回": dismisses the navigation controller that holds this screen.
  void goBack(uikit::BarButtonItem& sender);

  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;

  void networkGetLiveParamSuccess() override;
  void networkGetLiveParamFailed() override;

  void ZebLiveClassEventNotify(int event, int type) override;
  // Shares nothing: the application offers no sharing, and the class stays as it is.
  void OpenShared(const std::string& content) override;

 private:
  // Opens selectedLiveModel() in the live-class framework.
  void enterLiveWithGK();
  // Opens selectedLiveModel() in the plug-in player.
  void enterLiveWithEplayer();
  void hideLoading();

  std::shared_ptr<app::QMLiveGroupModel> groupModel_;
  std::shared_ptr<uikit::TableView> myTableView_;
  std::shared_ptr<app::QMLiveModel> selectedLiveModel_;
  std::shared_ptr<app::QMCourseDataModel> dataModel_;
  std::shared_ptr<outside::ZebLiveSDK> liveSdk_;
  // The class's screen presented last, while it may still be up.
  std::weak_ptr<uikit::ViewController> presentedClass_;
};

}  // namespace learning
