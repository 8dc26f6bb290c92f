#pragma once

// SettingsTest: the application launched over the sample back end with the "More" storyboard registered, as
// the assembly wires it, and a learner signed in through the login screen. Opening a screen of "More"
// presents it from the root, as the drawer menu and the subject screen do.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/settings/QMMoreStoryboard.h"
#include "app/shell/shell_test_util.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace app::settingstest {

class SettingsTest : public shelltest::ShellTest {
 protected:
  SettingsTest() { QMMoreStoryboard::registerScenes(); }

  // Launches the application and signs `name` in through the login screen.
  void launchAndLogIn(const std::string& name = apptest::kLearnerName,
                      const std::string& password = apptest::kLearnerPassword) {
    launch();
    ASSERT_TRUE(runUntil([] { return uikit::Driver::findView("userNameTF").ok(); })) << screen();
    submit(name, password);
    ASSERT_TRUE(runUntil([] { return screenShows("[QMSubjectController]"); })) << screen();
    settle();
  }

  // Presents the scene `scene` of storyboard "More" (its initial scene when empty) from the root screen, and
  // lets it appear.
  void open(const std::string& scene = {}) {
    const uikit::Storyboard more = uikit::Storyboard::storyboardWithName(QMMoreStoryboard::kName).value();
    std::shared_ptr<uikit::ViewController> controller =
        (scene.empty() ? more.instantiateInitialViewController()
                       : more.instantiateViewControllerWithIdentifier(scene))
            .value();
    root()->presentViewController(std::move(controller), true);
    settle();
  }

  static std::shared_ptr<uikit::ViewController> root() {
    return uikit::Application::sharedApplication().keyWindow()->rootViewController();
  }

  // Lets the two-second toasts go.
  void letToastsGo() {
    clock_.advance(std::chrono::seconds(2));
    settle();
  }

  static void tap(const std::string& name) {
    const ns::Status tapped = uikit::Driver::tap(name);
    ASSERT_TRUE(tapped.ok()) << tapped.error().localizedDescription() << "\n" << screen();
    settle();
  }

  static void type(const std::string& name, const std::string& text) {
    const ns::Status typed = uikit::Driver::type(name, text);
    ASSERT_TRUE(typed.ok()) << typed.error().localizedDescription() << "\n" << screen();
    settle();
  }
};

}  // namespace app::settingstest
