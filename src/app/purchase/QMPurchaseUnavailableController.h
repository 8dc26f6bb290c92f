#pragma once

// QMPurchaseUnavailableController: the purchase flow's screen, which says that courses cannot be bought in
// this application (kMessage). It is the first screen of the navigation controller that is the initial
// scene of storyboard "Perchase" (QMMenuScenes.h), whose back item dismisses that navigation controller;
// pushed over another screen (an order's "去支付"), its back item pops it.
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
  // Pops the screen when it lies over another on its stack, else dismisses the navigation controller that
  // holds it; animated.
  void goBackAction(uikit::BarButtonItem& sender);
};

}  // namespace app
