#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/controllers/ViewController.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

// Writes "<name> <callback>" into a shared log for each life-cycle callback.
class RecordingController : public ViewController {
 public:
  RecordingController(std::string name, EventLog log) : name_(std::move(name)), log_(std::move(log)) {}
  void viewDidLoad() override { log_->push_back(name_ + " didLoad"); }
  void viewWillAppear(bool) override { log_->push_back(name_ + " willAppear"); }
  void viewDidAppear(bool) override { log_->push_back(name_ + " didAppear"); }
  void viewWillDisappear(bool) override { log_->push_back(name_ + " willDisappear"); }
  void viewDidDisappear(bool) override { log_->push_back(name_ + " didDisappear"); }

 private:
  std::string name_;
  EventLog log_;
};

class ViewControllerTest : public UikitTest {
 protected:
  std::shared_ptr<RecordingController> make(const std::string& name) {
    return std::make_shared<RecordingController>(name, log_);
  }

  EventLog log_ = std::make_shared<std::vector<std::string>>();
};

TEST_F(ViewControllerTest, LoadsTheViewOnceAndAppearsWhenTheWindowShowsWithDidAppearOnTheNextTurn) {
  auto root = make("root");
  EXPECT_FALSE(root->isViewLoaded());
  root->view();
  EXPECT_EQ(root->view()->viewController(), root.get());

  auto window = std::make_shared<Window>();
  window->setRootViewController(root);
  EXPECT_THAT(*log_, ElementsAre("root didLoad"));
  window->makeKeyAndVisible();
  EXPECT_THAT(*log_, ElementsAre("root didLoad", "root willAppear"));
  nextTurn();
  EXPECT_THAT(*log_, ElementsAre("root didLoad", "root willAppear", "root didAppear"));
}

TEST_F(ViewControllerTest, PresentationRunsCallbacksInPlatformOrderAndCompletionOnTheNextTurn) {
  auto root = make("root");
  showWindowWithRoot(root);
  log_->clear();
  auto modal = make("modal");
  bool completed = false;
  root->presentViewController(modal, true, [&] { completed = true; });
  EXPECT_FALSE(completed);
  EXPECT_THAT(*log_, ElementsAre("root willDisappear", "modal didLoad", "modal willAppear"));
  EXPECT_EQ(root->presentedViewController(), modal);
  EXPECT_EQ(modal->presentingViewController(), root.get());
  EXPECT_EQ(Application::sharedApplication().topViewController(), modal);
  nextTurn();
  EXPECT_TRUE(completed);
  EXPECT_THAT(*log_, ElementsAre("root willDisappear", "modal didLoad", "modal willAppear",
                                 "root didDisappear", "modal didAppear"));

  log_->clear();
  bool dismissed = false;
  modal->dismissViewControllerAnimated(true, [&] { dismissed = true; });
  EXPECT_FALSE(dismissed);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(modal->view()->superview(), nullptr);
  nextTurn();
  EXPECT_TRUE(dismissed);
  EXPECT_THAT(*log_,
              ElementsAre("modal willDisappear", "root willAppear", "modal didDisappear", "root didAppear"));
}

TEST_F(ViewControllerTest, PresentingTwiceOrOffScreenDoesNothingAndAChildDismissesThePresentedContainer) {
  auto root = make("root");
  showWindowWithRoot(root);
  auto inner = make("inner");
  auto navigation = std::make_shared<NavigationController>(inner);
  root->presentViewController(navigation, true);
  nextTurn();
  bool completed = false;
  root->presentViewController(make("second"), false, [&] { completed = true; });
  make("offscreen")->presentViewController(make("third"), false, [&] { completed = true; });
  nextTurn();
  EXPECT_FALSE(completed);
  EXPECT_EQ(root->presentedViewController(), navigation);

  inner->dismissViewControllerAnimated(true);
  nextTurn();
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(Application::sharedApplication().topViewController(), root);
}

TEST_F(ViewControllerTest, PushAndPopMoveTheStackWithAppearanceCallbacks) {
  auto first = make("first");
  auto navigation = std::make_shared<NavigationController>(first);
  showWindowWithRoot(navigation);
  log_->clear();
  auto second = make("second");
  navigation->pushViewController(second, true);
  EXPECT_EQ(navigation->topViewController(), second);
  EXPECT_EQ(second->navigationController(), navigation.get());
  nextTurn();
  EXPECT_THAT(*log_, ElementsAre("first willDisappear", "second didLoad", "second willAppear",
                                 "first didDisappear", "second didAppear"));

  log_->clear();
  EXPECT_EQ(navigation->popViewControllerAnimated(true), second);
  nextTurn();
  EXPECT_THAT(*log_, ElementsAre("second willDisappear", "first willAppear", "second didDisappear",
                                 "first didAppear"));
  EXPECT_EQ(second->parentViewController(), nullptr);
  EXPECT_EQ(navigation->popViewControllerAnimated(true), nullptr);
}

TEST_F(ViewControllerTest, ReplacingTheRootTakesAwayWhatTheFormerRootPresented) {
  auto former = make("former");
  auto window = showWindowWithRoot(former);
  auto modal = make("modal");
  former->presentViewController(modal, false);
  nextTurn();
  log_->clear();
  window->setRootViewController(make("next"));
  nextTurn();
  EXPECT_EQ(modal->view()->window(), nullptr);
  EXPECT_EQ(former->view()->window(), nullptr);
  // The former root was covered by the modal screen, so only the modal screen disappears.
  EXPECT_THAT(*log_, ElementsAre("modal willDisappear", "next didLoad", "next willAppear",
                                 "modal didDisappear", "next didAppear"));
}

}  // namespace
}  // namespace uikit::testing
