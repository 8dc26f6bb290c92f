#pragma once

// uikit::ViewController: manages one screen's view, the stand-in for the platform's view controller.
//
// The view is made lazily: the first call of view() runs loadView() (which builds the view and, for a screen
// of a storyboard, its outlets) and then viewDidLoad(), exactly once.
//
// Appearance: a controller's view that comes on screen gets viewWillAppear() at once and viewDidAppear() on
// the next turn of the main loop; one that leaves gets viewWillDisappear() and viewDidDisappear() the same
// way. In a transition the order is: will-disappear of the leaving controller, will-appear of the arriving
// one, [next turn] did-disappear of the leaving one, did-appear of the arriving one. Children whose views lie
// inside the view follow their parent. Repeated calls for a state the controller is already in or entering
// are dropped, so each callback pairs up.
//
// Presentation: presentViewController() shows a controller over the whole window, from the outermost parent
// of the caller; dismissViewControllerAnimated() takes it (and whatever it presented) away. Completions run
// on the next turn of the main loop, after the did-callbacks. As on the platform, presenting while already
// presenting, or from a controller that is not in a window, only logs a warning.
//
// Ownership: controllers live in std::shared_ptr. A parent owns its children and a presenting controller owns
// the controller it presents; the parent and presenting pointers are non-owning and cleared when the owner
// lets go. Storyboards (Storyboard.h) make controllers and name them for segues.
//
// Thread-safety: main thread only, like every class of uikit.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/values/Object.h"
#include "platform/uikit/app/Orientation.h"
#include "platform/uikit/controllers/NavigationItem.h"
#include "platform/uikit/views/View.h"

namespace uikit {

class NavigationController;
class StoryboardSegue;

class ViewController : public ns::Object {
 public:
  ViewController();
  ~ViewController() override;

  // The class name a person reads in the screen text's first line: the dynamic type without namespaces.
  virtual std::string className() const;

  // The view, loaded on first use. Never nullptr.
  const std::shared_ptr<View>& view();
  bool isViewLoaded() const { return view_ != nullptr; }
  // The view, or nullptr before it is loaded.
  const std::shared_ptr<View>& viewIfLoaded() const { return view_; }
  // Builds the view. The default makes a plain view the size of the main screen; screens override it to build
  // their view and outlets, ending with setView().
  virtual void loadView();
  // Sets the view; loadView() overrides call it. The view becomes this controller's root view.
  void setView(std::shared_ptr<View> view);

  // Life cycle callbacks, for subclasses; all default to nothing.
  virtual void viewDidLoad() {}
  virtual void viewWillAppear(bool /*animated*/) {}
  virtual void viewDidAppear(bool /*animated*/) {}
  virtual void viewWillDisappear(bool /*animated*/) {}
  virtual void viewDidDisappear(bool /*animated*/) {}
  virtual void viewWillLayoutSubviews() {}
  virtual void viewDidLayoutSubviews() {}
  virtual void didReceiveMemoryWarning() {}

  // The title; setting it also sets the navigation item's title, as on the platform.
  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  // What a navigation bar shows for this controller. Owned by the controller.
  NavigationItem& navigationItem() { return *navigationItem_; }
  const std::shared_ptr<NavigationItem>& sharedNavigationItem() const { return navigationItem_; }

  // Containment. Pointers are non-owning; nullptr when there is none.
  ViewController* parentViewController() const { return parent_; }
  // The nearest navigation controller among this controller's parents, or nullptr.
  NavigationController* navigationController() const;
  const std::vector<std::shared_ptr<ViewController>>& childViewControllers() const { return children_; }
  // Makes `child` a child of this controller, taking it from its former parent. The caller adds its view.
  void addChildViewController(std::shared_ptr<ViewController> child);
  // Leaves the parent; the caller takes the view away.
  void removeFromParentViewController();
  virtual void willMoveToParentViewController(ViewController* /*parent*/) {}
  virtual void didMoveToParentViewController(ViewController* /*parent*/) {}

  // Presentation, as the header comment describes.
  void presentViewController(std::shared_ptr<ViewController> controller, bool animated,
                             std::function<void()> completion = {});
  void dismissViewControllerAnimated(bool animated, std::function<void()> completion = {});
  // The controller this one presents, or nullptr.
  const std::shared_ptr<ViewController>& presentedViewController() const { return presented_; }
  // The controller that presents this one, or nullptr. Non-owning.
  ViewController* presentingViewController() const { return presenting_; }

  // Orientation answers, asked of the controller on screen (Application.h). The defaults autorotate to
  // portrait and both landscapes, and prefer portrait.
  virtual bool shouldAutorotate() const { return true; }
  virtual InterfaceOrientationMask supportedInterfaceOrientations() const {
    return kInterfaceOrientationMaskAllButUpsideDown;
  }
  virtual InterfaceOrientation preferredInterfaceOrientationForPresentation() const {
    return InterfaceOrientation::kPortrait;
  }

  // The storyboard and scene this controller was made from; empty for controllers made in code.
  const std::string& storyboardName() const { return storyboardName_; }
  const std::string& sceneIdentifier() const { return sceneIdentifier_; }
  // Segues of this controller's scene (Storyboard::registerSegue()). A control wired to a segue calls
  // triggerSegueWithIdentifier(): shouldPerformSegueWithIdentifier(), then, when it answers true,
  // performSegueWithIdentifier(): the destination is made, prepareForSegue() runs, and the segue is performed
  // (pushed onto the navigation controller, or presented when there is none or the segue is modal).
  // REQUIRES: the scene has a segue `identifier` whose destination scene is registered (else the process
  // aborts with a message naming them, as the platform raises).
  virtual bool shouldPerformSegueWithIdentifier(const std::string& /*identifier*/,
                                                const std::shared_ptr<ns::Object>& /*sender*/) {
    return true;
  }
  virtual void prepareForSegue(StoryboardSegue& /*segue*/, const std::shared_ptr<ns::Object>& /*sender*/) {}
  void performSegueWithIdentifier(const std::string& identifier, const std::shared_ptr<ns::Object>& sender);
  void triggerSegueWithIdentifier(const std::string& identifier, const std::shared_ptr<ns::Object>& sender);

  // The controller whose screen a person is looking at when this one is on screen: this one, or for a
  // container the content it shows (a navigation controller's top controller). The screen text names it.
  virtual std::shared_ptr<ViewController> contentViewController();

  // Appearance transitions, as the header comment describes; containers call them for their children.
  void beginAppearanceTransition(bool isAppearing, bool animated);
  void endAppearanceTransition();
  // True from the start of an appearance until the start of the next disappearance.
  bool isAppearingOrAppeared() const;

 private:
  friend class Storyboard;

  enum class AppearanceState { kDisappeared, kAppearing, kAppeared, kDisappearing };

  // The outermost parent of this controller (itself when it has none).
  ViewController* outermostParent();
  std::shared_ptr<ViewController> sharedSelf();

  std::shared_ptr<View> view_;
  std::string title_;
  std::shared_ptr<NavigationItem> navigationItem_;
  ViewController* parent_ = nullptr;
  std::vector<std::shared_ptr<ViewController>> children_;
  std::shared_ptr<ViewController> presented_;
  ViewController* presenting_ = nullptr;
  AppearanceState appearance_ = AppearanceState::kDisappeared;
  bool transitionAnimated_ = false;
  std::string storyboardName_;
  std::string sceneIdentifier_;
};

}  // namespace uikit
