#pragma once

// uikit::Control: a view that a finger operates, with the enabled, selected and highlighted states and
// target–action per control event. Targets are held weakly; actions run in the order they were added.
//
// Thread-safety: main thread only, like every class of uikit.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/uikit/support/TargetActions.h"
#include "platform/uikit/views/View.h"

namespace uikit {

// Control events, a bit set with the platform's numbering (value changed is 4096, editing changed 131072).
using ControlEvents = std::uint64_t;
inline constexpr ControlEvents kControlEventTouchDown = 1u << 0;
inline constexpr ControlEvents kControlEventTouchUpInside = 1u << 6;
inline constexpr ControlEvents kControlEventValueChanged = 1u << 12;
inline constexpr ControlEvents kControlEventEditingDidBegin = 1u << 16;
inline constexpr ControlEvents kControlEventEditingChanged = 1u << 17;
inline constexpr ControlEvents kControlEventEditingDidEnd = 1u << 18;
inline constexpr ControlEvents kControlEventEditingDidEndOnExit = 1u << 19;
inline constexpr ControlEvents kControlEventAllEvents = 0xFFFFFFFFu;

// Control states, a bit set with the platform's numbering; normal is the empty set.
using ControlState = std::uint32_t;
inline constexpr ControlState kControlStateNormal = 0;
inline constexpr ControlState kControlStateHighlighted = 1u << 0;
inline constexpr ControlState kControlStateDisabled = 1u << 1;
inline constexpr ControlState kControlStateSelected = 1u << 2;

class Control : public View {
 public:
  explicit Control(Rect frame = {});

  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  bool isSelected() const { return selected_; }
  void setSelected(bool selected) { selected_ = selected; }
  bool isHighlighted() const { return highlighted_; }
  void setHighlighted(bool highlighted) { highlighted_ = highlighted; }
  ControlState state() const;

  // Adds `action` of `target` for `events`; the action receives the control as the type it asks for.
  // REQUIRES: this control is a SenderType.
  template <typename T, typename SenderType>
  void addTarget(const std::shared_ptr<T>& target, void (T::*action)(SenderType&), ControlEvents events) {
    actions_.add(target, action, events);
  }
  // Adds `action` for `events` without a target, for a view wiring its own parts.
  // REQUIRES: what `action` captures outlives the control.
  void addAction(std::function<void(Control&)> action, ControlEvents events) {
    actions_.add(std::move(action), events);
  }
  // Removes the actions of `target` (nullptr: of every target) for any of `events`.
  void removeTarget(const void* target, ControlEvents events) { actions_.remove(target, events); }
  // Calls the actions for any of `events` whose targets are alive.
  void sendActionsForControlEvents(ControlEvents events) { actions_.send(*this, events); }

  // What a finger's tap does to the control; the default sends touch-down and then touch-up-inside.
  // REQUIRES: the control is enabled (the driver checks).
  virtual void performTap();

 private:
  bool enabled_ = true;
  bool selected_ = false;
  bool highlighted_ = false;
  TargetActions<Control> actions_;
};

}  // namespace uikit
