#pragma once

// uikit::AlertViewDelegate: what an alert view tells when one of its buttons is tapped and when it goes away.
// Every callback is optional (an empty default). Held weakly by the alert.
// Thread-safety: main thread only, like every class of uikit.

#include <cstdint>

namespace uikit {

class AlertView;

class AlertViewDelegate {
 public:
  virtual ~AlertViewDelegate() = default;

  // A finger tapped the button at `index` (the cancel button is index 0 when there is one).
  virtual void alertViewClickedButtonAtIndex(AlertView&, std::int64_t /*index*/) {}
  virtual void alertViewWillDismissWithButtonIndex(AlertView&, std::int64_t /*index*/) {}
  virtual void alertViewDidDismissWithButtonIndex(AlertView&, std::int64_t /*index*/) {}
};

}  // namespace uikit
