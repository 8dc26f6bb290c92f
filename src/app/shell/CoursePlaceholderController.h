#pragma once

// CoursePlaceholderController: stands in for a scene of storyboard "Course" whose screen is not built yet,
// so that the drawer root can be built and walked through. It names itself after its scene in the screen
// text ("[QMSubjectController]"), shows one button and keeps the drawer it is handed, weakly.
//
// registerScenes() registers the scene "QMSubjectController", whose button "菜单" opens the drawer when it is
// closed and closes it otherwise. The application registers the real subject screen over it afterwards (the
// study area's storyboard registration); the app shell's tests, below the study area, walk the drawer with
// it.
//
// Thread-safety: main thread only, like every controller.

#include <functional>
#include <memory>
#include <string>

#include "platform/uikit/controllers/ViewController.h"
#include "ui/drawer/DrawerController.h"
#include "ui/drawer/DrawerControllerChild.h"

namespace app {

class CoursePlaceholderController : public uikit::ViewController, public ui::DrawerControllerChild {
 public:
  static constexpr char kMenuButtonTitle[] = "菜单";

  using Action = std::function<void(CoursePlaceholderController&)>;

  // Registers the scene of the header comment with the storyboard registry.
  static void registerScenes();

  CoursePlaceholderController(std::string sceneName, std::string buttonTitle, Action action);

  std::string className() const override { return sceneName_; }
  void loadView() override;

  void setDrawer(std::weak_ptr<ui::DrawerController> drawer) override { drawer_ = std::move(drawer); }
  // The drawer handed over, or nullptr when there is none (any more).
  std::shared_ptr<ui::DrawerController> drawer() const { return drawer_.lock(); }

 private:
  // Constant after construction
  const std::string sceneName_;
  const std::string buttonTitle_;
  const Action action_;

  std::weak_ptr<ui::DrawerController> drawer_;
};

}  // namespace app
