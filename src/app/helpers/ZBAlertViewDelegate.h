#pragma once

namespace app {

// ZBAlertViewDelegate: what a ZBAlertView panel tells the object that showed it. Both callbacks are
// optional; they run on the main thread.

class MyButton;
class ZBAlertView;

class ZBAlertViewDelegate {
 public:
  virtual ~ZBAlertViewDelegate() = default;

  // A button of `alertView` was pressed; the panel goes away right after. The button's tag() is its index
  // in the row of buttons, from 0 on the left. The check box's state is alertView.switchSave().
  virtual void alertViewDidOnClickedButton(ZBAlertView& /*alertView*/, MyButton& /*button*/) {}
  // `alertView` has been taken off the screen and out of the queue.
  virtual void alertViewDidDismiss(ZBAlertView& /*alertView*/) {}
};

}  // namespace app
