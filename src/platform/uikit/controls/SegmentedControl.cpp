#include "platform/uikit/controls/SegmentedControl.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/render/ScreenText.h"

namespace uikit {

SegmentedControl::SegmentedControl(std::vector<std::string> titles) : titles_(std::move(titles)) {}

std::string SegmentedControl::titleForSegmentAtIndex(int index) const {
  return index >= 0 && index < numberOfSegments() ? titles_[static_cast<std::size_t>(index)] : std::string();
}

void SegmentedControl::setSelectedSegmentIndex(int index) {
  QM_DCHECK_MAIN_THREAD();
  selectedIndex_ = index >= 0 && index < numberOfSegments() ? index : kNoSegment;
}

void SegmentedControl::tapSegment(int index) {
  QM_DCHECK(0 <= index && index < numberOfSegments(), "0 <= index < numberOfSegments()");
  if (index == selectedIndex_) {
    return;
  }
  setSelectedSegmentIndex(index);
  sendActionsForControlEvents(kControlEventValueChanged);
}

std::optional<int> SegmentedControl::indexOfSegmentTitled(const std::string& title) const {
  for (int index = 0; index < numberOfSegments(); ++index) {
    if (titles_[static_cast<std::size_t>(index)] == title) {
      return index;
    }
  }
  return std::nullopt;
}

void SegmentedControl::renderInto(ScreenText& text) const {
  std::string content;
  for (int index = 0; index < numberOfSegments(); ++index) {
    if (index > 0) {
      content += ' ';
    }
    const std::string& title = titles_[static_cast<std::size_t>(index)];
    content += index == selectedIndex_ ? "[" + title + "]" : title;
  }
  text.addLine(ScreenText::Section::kButton, "segments", *this, content);
  View::renderInto(text);
}

}  // namespace uikit
