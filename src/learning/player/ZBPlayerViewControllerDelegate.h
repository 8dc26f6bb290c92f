#pragma once

// learning::ZBPlayerViewControllerDelegate: the owner of a full-screen player controller. It declares
// nothing of its own: the controller forwards the player's callbacks to it, each only when it answers it.
// Unlike a player's delegate it answers none by default; a delegate overrides the callbacks it wants and
// says so in answers().
//
// Called on the main thread.

#include "learning/player/ZBPlayerDelegate.h"

namespace learning {

class ZBPlayerViewControllerDelegate : public ZBPlayerDelegate {
 public:
  bool answers(Callback /*callback*/) const override { return false; }

  void playerDidStop(ZBPlayer& /*player*/, const std::optional<ns::Error>& /*error*/) override {}
  void playerOnClickedPlayAtEnded(ZBPlayer& /*player*/, bool /*atEnded*/) override {}
  void playerOnClickedNavBack(ZBPlayer& /*player*/, const std::optional<ns::URL>& /*url*/) override {}
};

}  // namespace learning
