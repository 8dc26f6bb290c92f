#pragma once

// outside::EPlayerPluginViewController: the screen of the plug-in player framework, made for one lesson's
// EPlayerData and pushed onto the host's navigation stack. It shows "live class <classroom>" or
// "replay <classroom>" after the data's play model, and manages its own navigation item and leaving: it hides
// the back button, and once on screen it sets its right item to a "leave" button (white title) that pops it.
// Hosts may subclass it to restyle it.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "platform/outside/EPlayerData.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/controls/Button.h"

namespace outside {

class EPlayerPluginViewController : public uikit::ViewController {
 public:
  static constexpr char kLeaveTitle[] = "leave";

  // A player for `data`, which it keeps. REQUIRES: data is not nullptr.
  explicit EPlayerPluginViewController(std::shared_ptr<EPlayerData> data);

  const std::shared_ptr<EPlayerData>& data() const { return data_; }

  void loadView() override;
  void viewDidLoad() override;
  // Puts the "leave" button on the right of the bar.
  void viewDidAppear(bool animated) override;

 private:
  void leave(uikit::Button& sender);

  const std::shared_ptr<EPlayerData> data_;
};

}  // namespace outside
