#pragma once

// uikit::Storyboard: the screens of one storyboard, as a registry. The stand-in reads no storyboard files:
// each screen registers a factory under its storyboard's name and its scene identifier (the controller's
// class name, by the application's convention), builds its outlets in code, and names each outlet view after
// the outlet (Outlet.h). A storyboard may name an initial scene and the segues between its scenes.
//
// Registration happens at start-up, before the first instantiation; the registry lives for the whole process.
//
// Thread-safety: main thread only, like every class of uikit.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/values/Result.h"
#include "platform/uikit/controllers/StoryboardSegue.h"

namespace uikit {

class ViewController;

// The domain of the errors below; the codes are Storyboard::ErrorCode.
inline constexpr char kStoryboardErrorDomain[] = "com.quillmark.storyboard";

class Storyboard {
 public:
  using SceneFactory = std::function<std::shared_ptr<ViewController>()>;
  enum ErrorCode : int { kNoSuchStoryboard = 1, kNoSuchScene = 2, kNoInitialScene = 3 };

  struct SegueDefinition {
    std::string destinationScene;
    SegueKind kind = SegueKind::kPush;
  };

  // Registers (or replaces) the scene `identifier` of storyboard `storyboardName`.
  static void registerScene(const std::string& storyboardName, const std::string& identifier,
                            SceneFactory factory);
  // Makes `identifier` the scene instantiateInitialViewController() makes.
  static void setInitialScene(const std::string& storyboardName, const std::string& identifier);
  // Registers the segue `segueIdentifier` from scene `sourceScene` to scene `destinationScene`.
  static void registerSegue(const std::string& storyboardName, const std::string& sourceScene,
                            const std::string& segueIdentifier, SegueDefinition definition);
  // Returns the segue `segueIdentifier` of scene `sourceScene`, or std::nullopt.
  static std::optional<SegueDefinition> segueFrom(const std::string& storyboardName,
                                                  const std::string& sourceScene,
                                                  const std::string& segueIdentifier);
  // Forgets every registration. For tests.
  static void removeAllForTesting();

  // Returns the storyboard `name`, or kNoSuchStoryboard when no scene of it is registered.
  static ns::Result<Storyboard> storyboardWithName(const std::string& name);

  const std::string& name() const { return name_; }
  // Returns a new controller of the initial scene, or kNoInitialScene. The caller owns it.
  ns::Result<std::shared_ptr<ViewController>> instantiateInitialViewController() const;
  // Returns a new controller of scene `identifier`, or kNoSuchScene. The caller owns it.
  ns::Result<std::shared_ptr<ViewController>> instantiateViewControllerWithIdentifier(
      const std::string& identifier) const;

 private:
  friend class ViewController;

  explicit Storyboard(std::string name) : name_(std::move(name)) {}

  std::string name_;
};

}  // namespace uikit
