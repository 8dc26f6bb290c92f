#pragma once

// presentScene(): how the menu and the user centre open a screen of a storyboard: a new controller of the
// scene, presented modally and animated, inside a new QMBaseNavigationController when the screen needs a
// navigation bar. A scene that cannot be made (its storyboard or scene is not registered) is not presented:
// the error is written to the console and returned, and the caller says so to the learner.
//
// Thread-safety: main thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/values/Result.h"
#include "platform/uikit/controllers/ViewController.h"

namespace app {

enum class SceneWrapping { kAsItIs, kInNavigation };

// Presents scene `scene` of storyboard `storyboard` (its initial scene when `scene` is std::nullopt) from
// `presenter`, animated, running `completion` once it is shown. Returns the presented controller (the
// navigation controller when wrapped), or the storyboard's error when the scene cannot be made.
ns::Result<std::shared_ptr<uikit::ViewController>> presentScene(uikit::ViewController& presenter,
                                                                const std::string& storyboard,
                                                                const std::optional<std::string>& scene,
                                                                SceneWrapping wrapping,
                                                                std::function<void()> completion = {});

}  // namespace app
