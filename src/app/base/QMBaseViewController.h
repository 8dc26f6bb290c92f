#pragma once

// QMBaseViewController: the base of the application's study, download, live, user-centre and purchase
// screens. Its screens stay in portrait: they never turn with the device and are presented in portrait.
// It offers subclasses one HUD slot, `warnHud`, and writes a console line when a screen is released.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "platform/uikit/controllers/ViewController.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

class QMBaseViewController : public uikit::ViewController {
 public:
  // The console line a released screen writes.
  static constexpr char kDeallocLine[] = "#############Dealloc##############";

  QMBaseViewController() = default;
  ~QMBaseViewController() override;

  const std::shared_ptr<ui::ProgressHUD>& warnHud() const { return warnHud_; }
  void setWarnHud(std::shared_ptr<ui::ProgressHUD> hud) { warnHud_ = std::move(hud); }

  // False: the screen does not turn with the device.
  bool shouldAutorotate() const override { return false; }
  uikit::InterfaceOrientation preferredInterfaceOrientationForPresentation() const override {
    return uikit::InterfaceOrientation::kPortrait;
  }

 private:
  std::shared_ptr<ui::ProgressHUD> warnHud_;
};

}  // namespace app
