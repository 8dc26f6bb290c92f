#pragma once

// QMPurchaseUnavailableController: the purchase flow's screen, which says that courses cannot be bought in
// this application (kMessage). It is the first screen of the navigation controller that is the initial
// scene of storyboard "Perchase" (QMMenuScenes.h); its back item dismisses that navigation controller.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "app/base/QMBaseViewController.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/views/Label.h"

namespace app {

class QMPurchaseUnavailableController : public QMBaseViewController {
 public:
  static constexpr char kTitle[] = "购买课程";
  static constexpr char kMessage[] = "本应用暂不支持购买课程";

  QMPurchaseUnavailableController() = default;

  void loadView() override;
  // Dismisses the navigation controller that holds the screen, animated.
  void goBackAction(uikit::BarButtonItem& sender);
};

}  // namespace app
