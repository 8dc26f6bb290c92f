#pragma once

// uikit::GestureRecognizer: turns touches on a view into a gesture and sends its actions. The stand-in has no
// touches: a test or the driver fires a gesture with the subclasses' simulate...() calls, which set the state
// (and the gesture's values) and send the actions, as recognition does. A disabled recogniser ignores them.
// Targets are held weakly. The view owns its recognisers; view() is non-owning.
//
// Thread-safety: main thread only, like every class of uikit.

#include <functional>
#include <memory>

#include "platform/foundation/values/Object.h"
#include "platform/uikit/geometry/Geometry.h"
#include "platform/uikit/support/TargetActions.h"

namespace uikit {

class View;

enum class GestureState : int {
  kPossible = 0,
  kBegan = 1,
  kChanged = 2,
  kEnded = 3,
  kCancelled = 4,
  kFailed = 5,
  kRecognized = kEnded,
};

class GestureRecognizer : public ns::Object {
 public:
  GestureRecognizer() = default;

  // Adds `action` of `target`; the action receives the recogniser as the type it asks for.
  template <typename T, typename SenderType>
  void addTarget(const std::shared_ptr<T>& target, void (T::*action)(SenderType&)) {
    actions_.add(target, action, kAction);
  }
  // Adds `action` without a target, for a view wiring its own recognisers.
  // REQUIRES: what `action` captures outlives the recogniser.
  void addAction(std::function<void(GestureRecognizer&)> action) { actions_.add(std::move(action), kAction); }
  void removeTarget(const void* target) { actions_.remove(target, kAction); }

  GestureState state() const { return state_; }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  // The view the recogniser is attached to, or nullptr.
  View* view() const { return view_; }
  // Where the gesture happened, in `view`'s coordinates (nullptr: the window's).
  Point locationInView(const View* view) const;

 protected:
  // Moves to `state` at `location` (in the recogniser's view) and sends the actions. Nothing when disabled.
  void recognize(GestureState state, Point location);

 private:
  friend class View;
  static constexpr std::uint64_t kAction = 1;

  TargetActions<GestureRecognizer> actions_;
  GestureState state_ = GestureState::kPossible;
  bool enabled_ = true;
  Point location_;
  View* view_ = nullptr;
};

}  // namespace uikit
