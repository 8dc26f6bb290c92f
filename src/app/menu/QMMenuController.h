#pragma once

// QMMenuController: the drawer's menu, on the left of the drawer while a learner is signed in. Its rows:
//   "个人中心"  presents the user centre (scene "QMUserOldCenterController" of storyboard "User") and
//              closes the drawer once it shows;
//   "下载专区"  presents the download area (scene "QMDLSubjectController" of storyboard "Course") in a new
//              navigation controller, then closes the drawer;
//   "设置"      presents the initial scene of storyboard "More", then closes the drawer;
//   "购买课程"  presents the initial scene of storyboard "Perchase", then closes the drawer;
//   "退出登录"  logs the learner out (QMUser::logout), which puts the login screen in place of the drawer;
//              the drawer is not closed first.
// A screen whose scene is not there (a part of the application not built yet) is not presented: the toast
// kUnavailableText says so, and the drawer stays open.
//
// While the drawer opens or closes the menu takes no touches; once it has opened or closed it takes them
// again. It keeps the drawer weakly. The scene "QMMenuController" of storyboard "Course"
// (QMMenuScenes.h) makes it.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/base/QMScenePresenting.h"
#include "platform/uikit/controllers/TableViewController.h"
#include "ui/drawer/DrawerController.h"
#include "ui/drawer/DrawerControllerChild.h"
#include "ui/drawer/DrawerControllerPresenting.h"

namespace app {

class QMMenuController : public uikit::TableViewController,
                         public ui::DrawerControllerChild,
                         public ui::DrawerControllerPresenting {
 public:
  static constexpr char kUserRowText[] = "个人中心";
  static constexpr char kDownloadRowText[] = "下载专区";
  static constexpr char kSettingRowText[] = "设置";
  static constexpr char kBuyRowText[] = "购买课程";
  static constexpr char kExitRowText[] = "退出登录";
  static constexpr char kUnavailableText[] = "该功能暂未开放";
  static constexpr double kToastSeconds = 2.0;

  static constexpr char kUserCentreScene[] = "QMUserOldCenterController";
  static constexpr char kDownloadScene[] = "QMDLSubjectController";
  static constexpr char kPurchaseStoryboard[] = "Perchase";

  QMMenuController() = default;

  std::shared_ptr<ui::DrawerController> drawer() const { return drawer_.lock(); }
  void setDrawer(std::weak_ptr<ui::DrawerController> drawer) override { drawer_ = std::move(drawer); }

  void loadView() override;

  // The rows' actions, as the header comment describes.
  void userSelectedAction();
  void downloadSelectedAction();
  void settingSelectedAction();
  void userByAction();
  void exitSelectedAction();

  void drawerControllerWillOpen(ui::DrawerController& drawer) override;
  void drawerControllerDidOpen(ui::DrawerController& drawer) override;
  void drawerControllerWillClose(ui::DrawerController& drawer) override;
  void drawerControllerDidClose(ui::DrawerController& drawer) override;

  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;

 private:
  struct Row {
    const char* imageName;
    const char* text;
    void (QMMenuController::*action)();
  };
  static const std::vector<Row>& rows();

  // Presents the scene; returns false, showing the toast, when it cannot be made.
  bool present(const std::string& storyboard, const std::optional<std::string>& scene, SceneWrapping wrapping,
               std::function<void()> completion = {});
  void closeDrawer();

  std::weak_ptr<ui::DrawerController> drawer_;
};

}  // namespace app
