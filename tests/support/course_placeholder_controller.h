#pragma once

// testsupport::CoursePlaceholderController: the scene "QMSubjectController" of storyboard "Course" for the
// tests below the study area, which cannot reach the real subject screen. It names itself after the scene in
// the screen text ("[QMSubjectController]"), keeps the drawer it is handed, weakly, and shows one button,
// "菜单", which opens the drawer when it is closed and closes it otherwise.
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <string>

#include "app/shell/AppDelegate.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/storyboard/Storyboard.h"
#include "ui/drawer/DrawerController.h"
#include "ui/drawer/DrawerControllerChild.h"

namespace testsupport {

class CoursePlaceholderController : public uikit::ViewController, public ui::DrawerControllerChild {
 public:
  static constexpr char kMenuButtonTitle[] = "菜单";

  // Registers the scene with the storyboard registry, in place of whatever was registered under its name.
  static void registerScenes() {
    QM_DCHECK_MAIN_THREAD();
    uikit::Storyboard::registerScene(app::AppDelegate::kCourseStoryboard, app::AppDelegate::kSubjectScene,
                                     [] { return std::make_shared<CoursePlaceholderController>(); });
  }

  std::string className() const override { return app::AppDelegate::kSubjectScene; }

  void loadView() override {
    auto view = std::make_shared<uikit::View>(uikit::Screen::mainScreen().bounds());
    view->setBackgroundColor(uikit::Color::white(1));
    auto button = std::make_shared<uikit::Button>(uikit::Rect(20, 80, 120, 44));
    button->setTitle(kMenuButtonTitle, uikit::kControlStateNormal);
    // The screen owns the button, so the button's action holds the screen weakly.
    std::weak_ptr<CoursePlaceholderController> weakSelf =
        std::static_pointer_cast<CoursePlaceholderController>(shared_from_this());
    button->addAction(
        [weakSelf](uikit::Control&) {
          if (std::shared_ptr<CoursePlaceholderController> self = weakSelf.lock()) {
            self->toggleDrawer();
          }
        },
        uikit::kControlEventTouchUpInside);
    view->addSubview(std::move(button));
    setView(std::move(view));
  }

  void setDrawer(std::weak_ptr<ui::DrawerController> drawer) override { drawer_ = std::move(drawer); }
  // The drawer handed over, or nullptr when there is none (any more).
  std::shared_ptr<ui::DrawerController> drawer() const { return drawer_.lock(); }

 private:
  void toggleDrawer() {
    if (std::shared_ptr<ui::DrawerController> drawer = this->drawer()) {
      if (drawer->drawerState() == ui::DrawerState::kClosed) {
        drawer->open();
      } else {
        drawer->close();
      }
    }
  }

  std::weak_ptr<ui::DrawerController> drawer_;
};

}  // namespace testsupport
