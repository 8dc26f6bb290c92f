#include "platform/uikit/storyboard/Storyboard.h"

#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/controllers/StoryboardSegue.h"
#include "platform/uikit/storyboard/Nib.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

// Answers segues into a shared log and refuses the segue "blocked".
class SegueSource : public ViewController {
 public:
  explicit SegueSource(EventLog log) : log_(std::move(log)) {}
  bool shouldPerformSegueWithIdentifier(const std::string& identifier,
                                        const std::shared_ptr<ns::Object>&) override {
    log_->push_back("should " + identifier);
    return identifier != "blocked";
  }
  void prepareForSegue(StoryboardSegue& segue, const std::shared_ptr<ns::Object>& sender) override {
    log_->push_back("prepare " + segue.identifier() + " to " +
                    segue.destinationViewController()->sceneIdentifier() + (sender ? " with sender" : ""));
  }

 private:
  EventLog log_;
};

class AwakeView : public View {
 public:
  void awakeFromNib() override { awake = true; }
  bool awake = false;
};

std::shared_ptr<ViewController> makePlain() {
  return std::make_shared<ViewController>();
}

using StoryboardTest = UikitTest;

TEST_F(StoryboardTest, MakesNewNamedControllersOfRegisteredScenesAndMissingOnesAreErrors) {
  Storyboard::registerScene("User", "QMUserLogController", makePlain);
  Storyboard::setInitialScene("User", "QMUserLogController");
  auto user = Storyboard::storyboardWithName("User");
  ASSERT_TRUE(user.ok());
  auto first = user->instantiateViewControllerWithIdentifier("QMUserLogController");
  auto initial = user->instantiateInitialViewController();
  ASSERT_TRUE(first.ok());
  ASSERT_TRUE(initial.ok());
  EXPECT_NE(*first, *initial);
  EXPECT_EQ((*first)->storyboardName(), "User");
  EXPECT_EQ((*first)->sceneIdentifier(), "QMUserLogController");

  Storyboard::registerScene("Course", "QMSubjectController", makePlain);
  EXPECT_EQ(Storyboard::storyboardWithName("Perchase").error().code(), Storyboard::kNoSuchStoryboard);
  auto course = Storyboard::storyboardWithName("Course");
  const auto missingScene = course->instantiateViewControllerWithIdentifier("QMMenuController");
  EXPECT_EQ(missingScene.error().code(), Storyboard::kNoSuchScene);
  EXPECT_EQ(missingScene.error().localizedDescription(),
            "The storyboard \"Course\" has no scene \"QMMenuController\".");
  EXPECT_EQ(course->instantiateInitialViewController().error().code(), Storyboard::kNoInitialScene);
  EXPECT_EQ(Nib::loadNibNamed("QMSubjectCell", nullptr).error().code(), Nib::kNoSuchNib);
}

TEST_F(StoryboardTest, ATriggeredSegueAsksThenPreparesThenPushes) {
  auto log = std::make_shared<std::vector<std::string>>();
  Storyboard::registerScene("User", "QMUserAccountDetails",
                            [log] { return std::make_shared<SegueSource>(log); });
  Storyboard::registerScene("User", "QMUserOneTradeDetails", makePlain);
  Storyboard::registerSegue("User", "QMUserAccountDetails", "details",
                            {"QMUserOneTradeDetails", SegueKind::kPush});
  auto source = *Storyboard::storyboardWithName("User")->instantiateViewControllerWithIdentifier(
      "QMUserAccountDetails");
  auto navigation = std::make_shared<NavigationController>(source);
  showWindowWithRoot(navigation);

  source->triggerSegueWithIdentifier("blocked", nullptr);
  source->triggerSegueWithIdentifier("details", std::make_shared<View>());
  EXPECT_THAT(*log, ElementsAre("should blocked", "should details",
                                "prepare details to QMUserOneTradeDetails with sender"));
  EXPECT_EQ(navigation->topViewController()->sceneIdentifier(), "QMUserOneTradeDetails");
}

TEST_F(StoryboardTest, NibsMakeNewViewsForTheirOwnerAndWakeThem) {
  std::shared_ptr<ns::Object> seenOwner;
  Nib::registerNib("QMCommonTreeCell", [&seenOwner](const std::shared_ptr<ns::Object>& owner) {
    seenOwner = owner;
    return std::vector<std::shared_ptr<View>>{std::make_shared<AwakeView>()};
  });
  auto owner = std::make_shared<ViewController>();
  auto views = Nib::loadNibNamed("QMCommonTreeCell", owner);
  ASSERT_TRUE(views.ok());
  ASSERT_EQ(views->size(), 1u);
  EXPECT_TRUE(std::static_pointer_cast<AwakeView>(views->front())->awake);
  EXPECT_EQ(seenOwner, owner);
}

}  // namespace
}  // namespace uikit::testing
