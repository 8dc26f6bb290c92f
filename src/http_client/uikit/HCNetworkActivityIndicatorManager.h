#pragma once

// HCNetworkActivityIndicatorManager: drives the status bar's network activity indicator from every request of
// the process. It counts the requests under way: an operation from its start to its finish (or pause), a
// session task from its resume to its suspension or completion, each request counted at most once however
// often it is announced, so that the count never goes below zero and returns to zero once every request has
// ended. Requests without a URL are not counted. Callers may also count work of their own with
// incrementActivityCount() and decrementActivityCount().
//
// While enabled, the indicator shows at once when the count rises above zero and hides 0.17 s after it
// returns to zero (a run-loop timer, in the common modes), so that back-to-back requests keep it shown
// without a gap. "activityCount" and "networkActivityIndicatorVisible" are observable by key.
//
// Thread-safety: every method may be called from any thread; the indicator changes on the main thread.

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/foundation/notify/Notification.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/values/Object.h"

namespace http_client {

class HCNetworkActivityIndicatorManager : public ns::Object, public ns::KeyValueObservable {
  struct Passkey {};

 public:
  // How long the indicator stays after the last request ended.
  static constexpr ns::Duration kInvisibilityDelay = std::chrono::milliseconds(170);

  // The process's one manager, made on first use.
  static const std::shared_ptr<HCNetworkActivityIndicatorManager>& sharedManager();

  // Returns a new manager that listens for requests; not enabled. Use sharedManager() outside tests.
  static std::shared_ptr<HCNetworkActivityIndicatorManager> create();

  // Use create().
  explicit HCNetworkActivityIndicatorManager(Passkey) {}
  ~HCNetworkActivityIndicatorManager() override;

  bool isEnabled() const;
  void setEnabled(bool enabled);
  std::int64_t activityCount() const;
  bool isNetworkActivityIndicatorVisible() const { return activityCount() > 0; }
  void incrementActivityCount();
  // Never below zero.
  void decrementActivityCount();

  ns::Value valueForKey(std::string_view key) const override;

 private:
  void requestDidStart(const ns::Notification& notification);
  void requestDidFinish(const ns::Notification& notification);
  enum class Change { kIncrement, kDecrement, kRequestStarted, kRequestFinished };
  // Applies `change` (of `request`, for the request changes), announces the count and updates the indicator.
  void changeCount(Change change, const std::shared_ptr<ns::Object>& request) QM_EXCLUDES(mutex_);
  std::int64_t activityCountLocked() const QM_REQUIRES(mutex_);
  void updateIndicatorVisibility();

  mutable ns::Mutex mutex_;
  bool enabled_ QM_GUARDED_BY(mutex_) = false;
  std::int64_t ownCount_ QM_GUARDED_BY(mutex_) = 0;
  // The requests under way, by address, held weakly: one that goes away unannounced stops counting.
  std::map<const void*, std::weak_ptr<ns::Object>> requests_ QM_GUARDED_BY(mutex_);
  std::vector<ns::NotificationCenter::ObserverToken> tokens_;

  // Main thread only
  std::shared_ptr<ns::Timer> visibilityTimer_;
};

}  // namespace http_client
