#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/uikit_test_util.h"
#include "ui/drawer/DrawerController.h"
#include "ui/drawer/DrawerControllerChild.h"
#include "ui/drawer/DrawerControllerPresenting.h"

namespace ui {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

// The menu on the left: it keeps its drawer and logs the drawer's hooks with the state at each.
class QMSampleMenuController : public uikit::ViewController,
                               public DrawerControllerChild,
                               public DrawerControllerPresenting {
 public:
  void setDrawer(std::weak_ptr<DrawerController> drawer) override { drawer_ = std::move(drawer); }
  void drawerControllerWillOpen(DrawerController& drawer) override { record(drawer, "willOpen"); }
  void drawerControllerDidOpen(DrawerController& drawer) override { record(drawer, "didOpen"); }
  void drawerControllerWillClose(DrawerController& drawer) override { record(drawer, "willClose"); }
  void drawerControllerDidClose(DrawerController& drawer) override { record(drawer, "didClose"); }
  void record(DrawerController& drawer, const std::string& hook) {
    hooks.push_back(hook + " in state " + std::to_string(static_cast<int>(drawer.drawerState())));
  }

  std::weak_ptr<DrawerController> drawer_;
  std::vector<std::string> hooks;
};

// The study screen in the centre adopts the hooks too, but sits inside a navigation controller.
class QMSampleSubjectController : public uikit::ViewController, public DrawerControllerPresenting {
 public:
  void drawerControllerWillOpen(DrawerController&) override { ++hooks; }
  int hooks = 0;
};

class DrawerControllerTest : public uikit::testing::UikitTest {
 protected:
  void SetUp() override {
    UikitTest::SetUp();
    showWindowWithRoot(drawer_);
  }

  std::shared_ptr<QMSampleMenuController> menu_ = std::make_shared<QMSampleMenuController>();
  std::shared_ptr<QMSampleSubjectController> subject_ = std::make_shared<QMSampleSubjectController>();
  std::shared_ptr<DrawerController> drawer_ = DrawerController::initWithLeftViewController(
      menu_, std::make_shared<uikit::NavigationController>(subject_));
};

TEST_F(DrawerControllerTest, StartsClosedThenOpensAndClosesThroughTheirStatesTellingOnlyAdoptingChildren) {
  EXPECT_EQ(menu_->drawer_.lock(), drawer_);
  EXPECT_EQ(drawer_->drawerState(), DrawerState::kClosed);
  EXPECT_THAT(drawer_->childViewControllers(), ElementsAre(menu_, drawer_->centerViewController()));
  EXPECT_TRUE(menu_->view()->isHidden());
  EXPECT_THAT(uikit::Driver::screenText(), StartsWith("[QMSampleSubjectController]\n"));

  drawer_->open();
  EXPECT_EQ(drawer_->drawerState(), DrawerState::kOpening);
  EXPECT_FALSE(menu_->view()->isHidden());
  nextTurn();
  EXPECT_EQ(drawer_->drawerState(), DrawerState::kOpen);
  EXPECT_EQ(drawer_->centerViewController()->view()->frame().minX(), DrawerController::kLeftDrawerWidth);
  EXPECT_THAT(uikit::Driver::screenText(), StartsWith("[QMSampleMenuController]\n"));

  drawer_->close();
  EXPECT_EQ(drawer_->drawerState(), DrawerState::kClosing);
  nextTurn();
  EXPECT_EQ(drawer_->drawerState(), DrawerState::kClosed);
  EXPECT_TRUE(menu_->view()->isHidden());
  EXPECT_THAT(menu_->hooks, ElementsAre("willOpen in state 1", "didOpen in state 2", "willClose in state 3",
                                        "didClose in state 0"));
  EXPECT_EQ(subject_->hooks, 0);
}

TEST_F(DrawerControllerTest, AMovementOvertakenByAnotherDoesNotFinish) {
  drawer_->open();
  drawer_->close();
  nextTurn();
  EXPECT_EQ(drawer_->drawerState(), DrawerState::kClosed);
  EXPECT_THAT(menu_->hooks,
              ElementsAre("willOpen in state 1", "willClose in state 3", "didClose in state 0"));
}

}  // namespace
}  // namespace ui
