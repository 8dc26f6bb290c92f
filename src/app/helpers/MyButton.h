#pragma once

// MyButton: a button of a ZBAlertView panel: it knows its panel and, as the panel's check box, whether it
// is ticked. It behaves as a plain button otherwise.
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "platform/uikit/controls/Button.h"

namespace app {

class ZBAlertView;

class MyButton : public uikit::Button {
 public:
  using uikit::Button::Button;

  // The panel the button belongs to, held weakly: the panel owns the button.
  std::shared_ptr<ZBAlertView> alertPoint() const { return alertPoint_.lock(); }
  void setAlertPoint(const std::shared_ptr<ZBAlertView>& panel) { alertPoint_ = panel; }
  bool ticked() const { return ticked_; }
  void setTicked(bool ticked) { ticked_ = ticked; }

 private:
  std::weak_ptr<ZBAlertView> alertPoint_;
  bool ticked_ = false;
};

}  // namespace app
