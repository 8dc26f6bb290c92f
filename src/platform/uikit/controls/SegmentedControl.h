#pragma once

// uikit::SegmentedControl: a row of titled segments, at most one selected. Tapping a segment selects it and
// sends value-changed when the selection changed; setting the index in code sends nothing. Its screen-text
// line is "segments <id>: a [b] c", the selected title in brackets.
//
// Thread-safety: main thread only, like every class of uikit.

#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/controls/Control.h"

namespace uikit {

class SegmentedControl : public Control {
 public:
  static constexpr int kNoSegment = -1;

  explicit SegmentedControl(std::vector<std::string> titles = {});

  int numberOfSegments() const { return static_cast<int>(titles_.size()); }
  // Returns the title, or "" for an index out of range.
  std::string titleForSegmentAtIndex(int index) const;
  int selectedSegmentIndex() const { return selectedIndex_; }
  // An index out of range selects nothing.
  void setSelectedSegmentIndex(int index);
  const std::optional<Color>& tintColor() const { return tintColor_; }
  void setTintColor(std::optional<Color> color) { tintColor_ = std::move(color); }

  // What a finger's tap on segment `index` does. REQUIRES: 0 <= index < numberOfSegments().
  void tapSegment(int index);
  // Returns the index of the first segment titled `title`, or std::nullopt.
  std::optional<int> indexOfSegmentTitled(const std::string& title) const;

  void renderInto(ScreenText& text) const override;

 private:
  std::vector<std::string> titles_;
  int selectedIndex_ = kNoSegment;
  std::optional<Color> tintColor_;
};

}  // namespace uikit
