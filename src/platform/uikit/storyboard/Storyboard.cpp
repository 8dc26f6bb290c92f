#include "platform/uikit/storyboard/Storyboard.h"

#include <map>
#include <utility>

#include "platform/foundation/check/Check.h"
#include "platform/uikit/controllers/ViewController.h"

namespace uikit {
namespace {

struct StoryboardEntry {
  std::map<std::string, Storyboard::SceneFactory> scenes;
  std::string initialScene;
  std::map<std::pair<std::string, std::string>, Storyboard::SegueDefinition> segues;
};

std::map<std::string, StoryboardEntry>& registry() {
  static std::map<std::string, StoryboardEntry> storyboards;
  return storyboards;
}

ns::Error storyboardError(Storyboard::ErrorCode code, std::string description) {
  return ns::Error(kStoryboardErrorDomain, code,
                   ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), std::move(description)}});
}

}  // namespace

void Storyboard::registerScene(const std::string& storyboardName, const std::string& identifier,
                               SceneFactory factory) {
  QM_DCHECK_MAIN_THREAD();
  registry()[storyboardName].scenes[identifier] = std::move(factory);
}

void Storyboard::setInitialScene(const std::string& storyboardName, const std::string& identifier) {
  QM_DCHECK_MAIN_THREAD();
  registry()[storyboardName].initialScene = identifier;
}

void Storyboard::registerSegue(const std::string& storyboardName, const std::string& sourceScene,
                               const std::string& segueIdentifier, SegueDefinition definition) {
  QM_DCHECK_MAIN_THREAD();
  registry()[storyboardName].segues[{sourceScene, segueIdentifier}] = std::move(definition);
}

std::optional<Storyboard::SegueDefinition> Storyboard::segueFrom(const std::string& storyboardName,
                                                                 const std::string& sourceScene,
                                                                 const std::string& segueIdentifier) {
  QM_DCHECK_MAIN_THREAD();
  const auto storyboard = registry().find(storyboardName);
  if (storyboard == registry().end()) {
    return std::nullopt;
  }
  const auto segue = storyboard->second.segues.find({sourceScene, segueIdentifier});
  if (segue == storyboard->second.segues.end()) {
    return std::nullopt;
  }
  return segue->second;
}

void Storyboard::removeAllForTesting() {
  QM_DCHECK_MAIN_THREAD();
  registry().clear();
}

ns::Result<Storyboard> Storyboard::storyboardWithName(const std::string& name) {
  QM_DCHECK_MAIN_THREAD();
  if (registry().find(name) == registry().end()) {
    return storyboardError(kNoSuchStoryboard, "There is no storyboard named \"" + name + "\".");
  }
  return Storyboard(name);
}

ns::Result<std::shared_ptr<ViewController>> Storyboard::instantiateInitialViewController() const {
  const auto storyboard = registry().find(name_);
  if (storyboard == registry().end() || storyboard->second.initialScene.empty()) {
    return storyboardError(kNoInitialScene, "The storyboard \"" + name_ + "\" has no initial scene.");
  }
  return instantiateViewControllerWithIdentifier(storyboard->second.initialScene);
}

ns::Result<std::shared_ptr<ViewController>> Storyboard::instantiateViewControllerWithIdentifier(
    const std::string& identifier) const {
  const auto noSuchScene = [&] {
    return storyboardError(kNoSuchScene,
                           "The storyboard \"" + name_ + "\" has no scene \"" + identifier + "\".");
  };
  const auto storyboard = registry().find(name_);
  if (storyboard == registry().end()) {
    return noSuchScene();
  }
  const auto scene = storyboard->second.scenes.find(identifier);
  if (scene == storyboard->second.scenes.end()) {
    return noSuchScene();
  }
  std::shared_ptr<ViewController> controller = scene->second();
  if (!controller) {
    return storyboardError(kNoSuchScene, "The scene \"" + identifier + "\" of the storyboard \"" + name_ +
                                             "\" made no controller.");
  }
  controller->storyboardName_ = name_;
  controller->sceneIdentifier_ = identifier;
  return controller;
}

}  // namespace uikit
