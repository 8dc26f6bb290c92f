#pragma once

// QMUserDataModelDelegate: what a QMUserDataModel tells the screen that made it, one Success or Failed
// callback per operation. Every callback is optional: the defaults do nothing, so a delegate that does not
// override one does not hear of it. Callbacks run on the main thread, after the reply has been written into
// the shared QMUser.
//
// Thread-safety: main thread only.

#include "platform/foundation/values/Value.h"

namespace app {

class QMUserDataModelDelegate {
 public:
  virtual ~QMUserDataModelDelegate() = default;

  virtual void networkLoginSuccess() {}
  virtual void networkLoginFailed() {}

  virtual void networkGetUserInfoSuccess() {}
  virtual void networkGetUserInfoFailed() {}

  // Also the callbacks of a profile update.
  virtual void networkGetUserAvaterSuccess() {}
  virtual void networkGetUserAvaterFailed() {}

  virtual void networkFeedbackSuccess() {}
  virtual void networkFeedbackFailed() {}

  virtual void networkGetUserZCoinSuccess() {}
  virtual void networkGetUserZCoinFailed() {}

  // `transactions`: the reply's "obj" as it came (null when it had none).
  virtual void networkGetUserZCoinListSuccess(const ns::Value& /*transactions*/) {}
  virtual void networkGetUserZCoinListFailed() {}

  // `orders`: the page's orders, the reply's "obj"."z_data" as it came (null when it had none).
  virtual void networkGetUserOrderListSuccess(const ns::Value& /*orders*/) {}
  virtual void networkGetUserOrderListFailed() {}

  virtual void networkCancelUserOrderSuccess() {}
  virtual void networkCancelUserOrderFailed() {}
};

}  // namespace app
